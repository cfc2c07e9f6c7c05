#pragma once

#include <string>
#include <string_view>

// Whether a CSV cell must stand in double quotes: it holds a comma, a quote
// or a line break (RFC 4180).
bool CsvCellNeedsQuotes(std::string_view text);
// One cell of CSV: in double quotes, its quotes doubled, when it needs them;
// as it is otherwise.
void AppendCsvCell(std::string& out, std::string_view text);
