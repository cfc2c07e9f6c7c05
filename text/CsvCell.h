#pragma once

#include <string>
#include <string_view>

// One cell of CSV as RFC 4180 writes it: in double quotes, its quotes
// doubled, when it holds a comma, a quote or a line break; as it is otherwise.
void AppendCsvCell(std::string& out, std::string_view text);
