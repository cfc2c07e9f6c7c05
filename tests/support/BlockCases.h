#pragma once

#include "TransferText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The one table of how lines group into examinations, run against every
// reader of examinations: the block walk itself, the check, the index and the
// walk under the viewer's and the export's rules, the viewer's list and the
// export's search for where to cut. Each case is a file
// written in line codes, and the role of each line under the check's, the
// viewer's and the export's rules, one character a line:
//   1 header line 1, 2 header line 2, P parameter line, E end line,
//   X end line standing as header line 2, - no examination's line.
namespace BlockCases {

struct TCase {
    const char* Name;
    // A header line 1, B header line 2, P parameter line, 0 to 9 end line with
    // that count, _ blank line, . empty line, s " 3|0" (end line by its
    // trimmed first field, not by its first byte), x "3x|0" (the reverse).
    const char* Lines;
    const char* Check;
    const char* Viewer;
    const char* Export;
};

inline const std::vector<TCase>& Cases()
{
    static const std::vector<TCase> cases = {
        {"empty file", "", "", "", ""},
        {"one examination", "ABPP2", "12PPE", "12PPE", "12PPE"},
        {"two examinations", "ABP1AB0", "12PE12E", "12PE12E", "12PE12E"},
        {"a single line behind the last", "AB0A", "12E-", "12E-", "12E-"},
        {"an empty line behind the last", "AB0.", "12E-", "12E-", "12E-"},
        {"header line 2 as the last line", "AB0AB", "12E1P", "12E12", "12E12"},
        {"header line 1 as the only line", "A", "P", "-", "-"},
        {"an end line as the only line", "0", "E", "-", "-"},
        {"an end line in place of header line 2", "A0", "1E", "1X", "1X"},
        {"an end line as header line 2, not last", "A0A", "12P", "12P", "12P"},
        {"a blank line after an end line", "AB0_AB0", "12E12PE", "12E----", "12E12PE"},
        {"an empty line, then a last line", "AB0.A", "12E1P", "12E--", "12E12"},
        {"blank before the end line is a parameter", "AB_0", "12PE", "12PE", "12PE"},
        {"end by the trimmed first field", "ABs", "12E", "12P", "12E"},
        {"end by the first byte", "ABx", "12P", "12E", "12P"},
        {"no end line", "ABPP", "12PP", "12PP", "12PP"},
    };
    return cases;
}

// The text of one line code.
inline std::string LineText(char code, int block, int parameter)
{
    switch (code) {
    case 'A':
        return TransferText::Header1(block);
    case 'B':
        return TransferText::Header2(block);
    case 'P':
        return TransferText::Parameter(block, parameter);
    case '_':
        return " \t ";
    case '.':
        return "";
    case 's':
        return " 3|0";
    case 'x':
        return "3x|0";
    default:
        return TransferText::EndLine(code - '0');
    }
}

// The file of a case, lines ended by CR LF.
inline std::string Text(const TCase& c)
{
    TransferText::TLines lines;
    int block = 0, parameter = 0;
    for (const char* code = c.Lines; *code != '\0'; ++code) {
        if (*code == 'A')
            ++block, parameter = 0;
        lines.push_back(LineText(*code, block, *code == 'P' ? parameter++ : 0));
    }
    return TransferText::Join(lines);
}

// Numbers (from 1) of the lines whose role is role.
inline std::vector<std::int64_t> LinesWithRole(const char* roles, char role)
{
    std::vector<std::int64_t> lines;
    for (std::size_t i = 0; roles[i] != '\0'; ++i) {
        if (roles[i] == role)
            lines.push_back(static_cast<std::int64_t>(i + 1));
    }
    return lines;
}

} // namespace BlockCases
