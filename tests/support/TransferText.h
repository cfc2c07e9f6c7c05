#pragma once

#include "FieldLayout.h"

#include <string>
#include <vector>

// The one builder of transfer-file text in tests. Every field carries its own
// name, so a test can tell which field ended up where: in block b, field N of a
// header line holds "b<b>f<N>", field N of parameter k "b<b>p<k>f<N>".
namespace TransferText {

using TLines = std::vector<std::string>;

// Appends text and number; built by appending, since MinGW's GCC 12 warns
// falsely about a literal added to a temporary string.
inline std::string& Put(std::string& to, const char* text, int number)
{
    to += text;
    to += std::to_string(number);
    return to;
}

inline std::string Header1(int block)
{
    std::string line = "1|E|";
    for (int field = FieldLayout::Header1.FirstField + 2; field < FieldLayout::Header2.FirstField; ++field)
        Put(Put(line, "b", block), "f", field) += "|";
    return line;
}

inline std::string Header2(int block)
{
    std::string line = "2|MATW|";
    for (int field = FieldLayout::Header2.FirstField + 2; field < FieldLayout::Parameter.FirstField; ++field)
        Put(Put(line, "b", block), "f", field) += "|";
    return line;
}

inline std::string Parameter(int block, int k)
{
    std::string line = "2|";
    for (int field = FieldLayout::Parameter.FirstField + 1; field < FieldLayout::End.FirstField; ++field)
        Put(Put(Put(line, "b", block), "p", k), "f", field) += "|";
    return line;
}

inline std::string EndLine(int parameters)
{
    std::string line;
    return Put(line, "3|", parameters);
}

// Header lines, the given number of parameter lines and the end line.
inline TLines Block(int block, int parameters)
{
    TLines lines{Header1(block), Header2(block)};
    for (int k = 0; k < parameters; ++k)
        lines.push_back(Parameter(block, k));
    lines.push_back(EndLine(parameters));
    return lines;
}

inline TLines& operator+=(TLines& a, const TLines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline TLines operator+(TLines a, const TLines& b) { return a += b; }

// Every line followed by lineBreak.
inline std::string Join(const TLines& lines, const std::string& lineBreak = "\r\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + lineBreak;
    return text;
}

} // namespace TransferText
