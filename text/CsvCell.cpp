#include "CsvCell.h"

bool CsvCellNeedsQuotes(std::string_view text) { return text.find_first_of(",\"\r\n") != std::string_view::npos; }

void AppendCsvCell(std::string& out, std::string_view text)
{
    if (!CsvCellNeedsQuotes(text)) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}
