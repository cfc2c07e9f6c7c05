#include "JsonWriter.h"

#include "ByteWord.h"
#include "Cp1252.h"
#include "Utf8Text.h"

#include <array>
#include <cstdio>
#include <cstring>

const std::array<TJsonByte, 256> JsonBytes = [] {
    std::array<TJsonByte, 256> t{};
    for (unsigned b = 0; b < 256; ++b) {
        char* out = t[b].Bytes;
        int size = 0;
        switch (b) {
        case '"':
            size = std::snprintf(out, sizeof t[b].Bytes, "\\\"");
            break;
        case '\\':
            size = std::snprintf(out, sizeof t[b].Bytes, "\\\\");
            break;
        case '\n':
            size = std::snprintf(out, sizeof t[b].Bytes, "\\n");
            break;
        case '\r':
            size = std::snprintf(out, sizeof t[b].Bytes, "\\r");
            break;
        case '\t':
            size = std::snprintf(out, sizeof t[b].Bytes, "\\t");
            break;
        default:
            if (b < 0x20 || b == 0x7F) {
                size = std::snprintf(out, sizeof t[b].Bytes, "\\u%04x", b);
            } else {
                const TUtf8Sequence& utf8 = Cp1252Utf8Table()[b];
                std::memcpy(out, utf8.Bytes, utf8.Size);
                size = utf8.Size;
            }
        }
        t[b].Size = static_cast<unsigned char>(size);
    }
    return t;
}();

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
    // Runs of characters that need nothing are copied in one piece.
    std::size_t run = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto u = static_cast<unsigned char>(utf8[pos]);
        if (u >= 0x20 && u < 0x7F && u != '"' && u != '\\') {
            ++pos;
            continue;
        }
        if (u >= 0x80) {
            const std::size_t len = Utf8SequenceLength(utf8, pos);
            if (len > 0) {
                pos += len;
                continue;
            }
        }
        FText.append(utf8.substr(run, pos - run));
        // An escape, or a byte that is not UTF-8 read as Windows-1252.
        const TJsonByte& form = JsonBytes[u];
        FText.append(form.Bytes, form.Size);
        run = ++pos;
    }
    FText.append(utf8.substr(run));
    FText += '"';
}

void TJsonWriter::Member(std::string_view key, std::string_view utf8)
{
    // Fields of a table are mostly short plain text: one append per member
    // instead of one per quote and separator.
    constexpr std::size_t Room = 256;
    auto plain = [](std::string_view s) {
        for (const char c : s) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u >= 0x7F || u == '"' || u == '\\')
                return false;
        }
        return true;
    };
    if (key.size() + utf8.size() + 6 > Room || !plain(key) || !plain(utf8)) {
        Key(key);
        String(utf8);
        return;
    }
    char piece[Room];
    char* p = piece;
    if (FNeedComma)
        *p++ = ',';
    *p++ = '"';
    std::memcpy(p, key.data(), key.size());
    p += key.size();
    *p++ = '"';
    *p++ = ':';
    *p++ = '"';
    std::memcpy(p, utf8.data(), utf8.size());
    p += utf8.size();
    *p++ = '"';
    FText.append(piece, static_cast<std::size_t>(p - piece));
    FNeedComma = true;
}

void TJsonWriter::Number(std::int64_t value)
{
    BeforeValue();
    FText += std::to_string(value);
}

void TJsonWriter::Null()
{
    BeforeValue();
    FText += "null";
}

void TJsonWriter::Bool(bool value)
{
    BeforeValue();
    FText += value ? "true" : "false";
}
