#pragma once

#include "ByteWord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// A small JSON writer for one line of JSON Lines output. Strings handed to it
// are taken as UTF-8; any byte that is not part of a valid UTF-8 sequence is
// read as Windows-1252, so the output is always valid UTF-8 and nothing is
// silently dropped. Every control character is escaped.
class TJsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(std::string_view utf8);
    void String(std::string_view utf8);
    // Key(key) then String(utf8), in one piece when neither needs an escape.
    void Member(std::string_view key, std::string_view utf8);
    void Number(std::int64_t value);
    void Null();
    void Bool(bool value);

    const std::string& Text() const { return FText; }
    // Appends the text so far to out and empties it; writing goes on where it
    // stopped, so one long value can be written out in pieces.
    void MoveTextTo(std::string& out);
    // Starts afresh, for the next line of JSON Lines.
    void Reset();

private:
    void BeforeValue();

    std::string FText;
    bool FNeedComma = false;
};

// The most bytes one Windows-1252 byte takes inside a JSON string ("\u001f").
constexpr std::size_t JsonBytesPerCp1252Byte = 6;

// What a byte becomes inside a JSON string, read as Windows-1252: itself,
// its escape or its UTF-8 form. Padded so that a whole entry may be copied.
struct TJsonByte {
    char Bytes[7];
    unsigned char Size;
};
extern const std::array<TJsonByte, 256> JsonBytes;

// The bytes of x that do not stand in a JSON string as they are, flagged.
constexpr std::uint64_t JsonSpecials(std::uint64_t x)
{
    using namespace ByteWord;
    return AnyHigh(x) | AnyBelow(x, 0x20) | AnyEqual(x, '"') | AnyEqual(x, '\\') | AnyEqual(x, 0x7F);
}

// Writes Windows-1252 text as the inside of a JSON string: converted to UTF-8
// and escaped as String escapes. out needs room for JsonBytesPerCp1252Byte
// bytes per byte of cp1252 and 8 more. Returns the end of what it wrote.
// Inline: tables call it for every field.
inline char* WriteCp1252JsonText(char* out, std::string_view cp1252)
{
    const char* in = cp1252.data();
    const char* const end = in + cp1252.size();
    // Clean runs go eight bytes at a time; a word with anything to change goes byte by byte.
    while (end - in >= 8) {
        if (JsonSpecials(ByteWord::Load(in)) == 0) {
            std::memcpy(out, in, 8);
            out += 8;
            in += 8;
            continue;
        }
        for (const char* const stop = in + 8; in < stop; ++in) {
            const TJsonByte& form = JsonBytes[static_cast<unsigned char>(*in)];
            std::memcpy(out, &form, sizeof form);
            out += form.Size;
        }
    }
    const auto rest = static_cast<std::size_t>(end - in);
    if constexpr (ByteWord::LittleEndian) {
        if (rest > 0 && (JsonSpecials(ByteWord::LoadShort(in, rest)) & ByteWord::HighsOf(rest)) == 0) {
            ByteWord::CopyShort(out, in, rest);
            return out + rest;
        }
    }
    for (; in < end; ++in) {
        const TJsonByte& form = JsonBytes[static_cast<unsigned char>(*in)];
        std::memcpy(out, &form, sizeof form);
        out += form.Size;
    }
    return out;
}
