#pragma once

#include <cstddef>
#include <string_view>

// Byte helpers on Windows-1252 text that must not depend on the machine's
// locale: fixed codes are compared after upper-casing a to z only.
namespace AsciiText {

inline char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when text, with a to z upper-cased, equals upper.
inline bool EqualsUpper(std::string_view text, std::string_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (Upper(text[i]) != upper[i])
            return false;
    }
    return true;
}

// Value of a hexadecimal digit, or -1.
inline int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace AsciiText
