#pragma once

#include <cstddef>
#include <cstdint>
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

// Writes Windows-1252 text as the inside of a JSON string: converted to UTF-8
// and escaped as String escapes. out needs room for JsonBytesPerCp1252Byte
// bytes per byte of cp1252 and 8 more. Returns the end of what it wrote.
char* WriteCp1252JsonText(char* out, std::string_view cp1252);

// Valid UTF-8 sequences kept, every other byte decoded as Windows-1252.
std::string BytesToUtf8(std::string_view bytes);
