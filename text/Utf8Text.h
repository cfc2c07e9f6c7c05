#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Bytes of unknown text (a path, an argument, a field) made into UTF-8.

// Length of the valid UTF-8 sequence at pos, or 0. Inline: the JSON writer
// asks it for every character beyond ASCII.
inline std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos)
{
    const auto b0 = static_cast<unsigned char>(s[pos]);
    std::size_t len;
    if (b0 < 0x80)
        return 1;
    if (b0 >= 0xC2 && b0 <= 0xDF)
        len = 2;
    else if (b0 >= 0xE0 && b0 <= 0xEF)
        len = 3;
    else if (b0 >= 0xF0 && b0 <= 0xF4)
        len = 4;
    else
        return 0;
    if (s.size() - pos < len)
        return 0;
    const auto b1 = static_cast<unsigned char>(s[pos + 1]);
    // Overlong forms, surrogates and code points above U+10FFFF show in the second byte.
    if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 > 0x9F) || (b0 == 0xF0 && b1 < 0x90) || (b0 == 0xF4 && b1 > 0x8F))
        return 0;
    for (std::size_t i = 1; i < len; ++i) {
        if ((static_cast<unsigned char>(s[pos + i]) & 0xC0) != 0x80)
            return 0;
    }
    return len;
}

// Valid UTF-8 sequences kept, every other byte decoded as Windows-1252.
std::string BytesToUtf8(std::string_view bytes);
