#include "Cp1252.h"

namespace {

const char16_t HighHalf[32] = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

// Decodes one UTF-8 sequence at text[pos]; returns its length or 0 when invalid.
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(text[pos]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    size_t len;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - pos < len)
        return 0;
    for (size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + i]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

} // namespace

char16_t Cp1252ToUnicode(unsigned char b)
{
    return (b >= 0x80 && b < 0xA0) ? HighHalf[b - 0x80] : char16_t(b);
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

const std::array<TUtf8Sequence, 256>& Cp1252Utf8Table()
{
    static const auto table = [] {
        std::array<TUtf8Sequence, 256> t{};
        std::string utf8;
        for (unsigned b = 0; b < 256; ++b) {
            utf8.clear();
            AppendUtf8(utf8, Cp1252ToUnicode(static_cast<unsigned char>(b)));
            utf8.copy(t[b].Bytes, utf8.size());
            t[b].Size = static_cast<unsigned char>(utf8.size());
        }
        return t;
    }();
    return table;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    AppendCp1252AsUtf8(out, bytes);
    return out;
}

void AppendCp1252AsUtf8(std::string& out, std::string_view cp1252)
{
    const std::array<TUtf8Sequence, 256>& utf8 = Cp1252Utf8Table();
    std::size_t start = 0;
    for (std::size_t i = 0; i < cp1252.size(); ++i) {
        const auto b = static_cast<unsigned char>(cp1252[i]);
        if (b < 0x80)
            continue;
        out.append(cp1252.substr(start, i - start));
        out.append(utf8[b].Bytes, utf8[b].Size);
        start = i + 1;
    }
    out.append(cp1252.substr(start));
}

bool Utf8ToCp1252(std::string_view utf8, std::string& out)
{
    out.clear();
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t cp = 0;
        const size_t len = DecodeUtf8(utf8, pos, cp);
        if (len == 0)
            return false;
        pos += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        bool found = false;
        for (unsigned i = 0; i < 32; ++i) {
            if (HighHalf[i] == cp) {
                out += static_cast<char>(0x80 + i);
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}
