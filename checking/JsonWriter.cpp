#include "JsonWriter.h"

#include "Cp1252.h"

#include <cstdio>

namespace {

// Length of the valid UTF-8 sequence at pos, or 0.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos)
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
    if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 > 0x9F) || (b0 == 0xF0 && b1 < 0x90)
        || (b0 == 0xF4 && b1 > 0x8F))
        return 0;
    for (std::size_t i = 1; i < len; ++i) {
        if ((static_cast<unsigned char>(s[pos + i]) & 0xC0) != 0x80)
            return 0;
    }
    return len;
}

} // namespace

std::string BytesToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t len = Utf8SequenceLength(bytes, pos);
        if (len == 0) {
            AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(bytes[pos])));
            ++pos;
        } else {
            out.append(bytes.substr(pos, len));
            pos += len;
        }
    }
    return out;
}

void TJsonWriter::MoveTextTo(std::string& out)
{
    out += FText;
    FText.clear();
}

void TJsonWriter::Reset()
{
    FText.clear();
    FNeedComma = false;
}

void TJsonWriter::BeforeValue()
{
    if (FNeedComma)
        FText += ',';
    FNeedComma = true;
}

void TJsonWriter::BeginObject()
{
    BeforeValue();
    FText += '{';
    FNeedComma = false;
}

void TJsonWriter::EndObject()
{
    FText += '}';
    FNeedComma = true;
}

void TJsonWriter::BeginArray()
{
    BeforeValue();
    FText += '[';
    FNeedComma = false;
}

void TJsonWriter::EndArray()
{
    FText += ']';
    FNeedComma = true;
}

void TJsonWriter::Key(std::string_view utf8)
{
    String(utf8);
    FText += ':';
    FNeedComma = false;
}

void TJsonWriter::String(std::string_view utf8)
{
    BeforeValue();
    FText += '"';
    // Most text is plain ASCII that needs no escape: copied in one piece.
    std::size_t plain = 0;
    while (plain < utf8.size()) {
        const auto u = static_cast<unsigned char>(utf8[plain]);
        if (u < 0x20 || u >= 0x7F || u == '"' || u == '\\')
            break;
        ++plain;
    }
    FText.append(utf8.substr(0, plain));
    if (plain == utf8.size()) {
        FText += '"';
        return;
    }
    const std::string valid = BytesToUtf8(utf8.substr(plain));
    for (const char c : valid) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            FText += "\\\"";
            break;
        case '\\':
            FText += "\\\\";
            break;
        case '\n':
            FText += "\\n";
            break;
        case '\r':
            FText += "\\r";
            break;
        case '\t':
            FText += "\\t";
            break;
        default:
            if (u < 0x20 || u == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", u);
                FText += escape;
            } else {
                FText += c;
            }
        }
    }
    FText += '"';
}

void TJsonWriter::Number(std::int64_t value)
{
    BeforeValue();
    FText += std::to_string(value);
}
