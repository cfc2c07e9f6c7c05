#pragma once

#include <array>
#include <string>
#include <string_view>

// The one converter between the check's Windows-1252 bytes and Unicode. Every
// place that shows or prints check text goes through this table.

// The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control characters of the same number, so no byte is lost.
char16_t Cp1252ToUnicode(unsigned char b);

std::string Cp1252ToUtf8(std::string_view bytes);
// Appends Windows-1252 bytes as UTF-8.
void AppendCp1252AsUtf8(std::string& out, std::string_view cp1252);

// The UTF-8 form of one byte, made once so that converting text takes a
// lookup and a copy per byte. Bytes holds Size bytes and is padded, so the
// whole entry may be copied.
struct TUtf8Sequence {
    char Bytes[3];
    unsigned char Size;
};
const std::array<TUtf8Sequence, 256>& Cp1252Utf8Table();

// False when utf8 is not valid UTF-8 or holds a character Windows-1252 lacks;
// out is then unspecified.
bool Utf8ToCp1252(std::string_view utf8, std::string& out);

// Appends the UTF-8 form of one code point (below U+10000 is all the table needs).
void AppendUtf8(std::string& out, char32_t codePoint);
