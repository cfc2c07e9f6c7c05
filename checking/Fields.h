#pragma once

#include "ByteScan.h"

#include <cstdint>
#include <string_view>
#include <type_traits>

// Trimming removes the control characters and the blank (codes 0 to 32); a
// character of 127 or more is never removed.
constexpr bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

inline std::string_view TrimField(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsTrimmed(s[b]))
        ++b;
    while (e > b && IsTrimmed(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// The number of fields a line gives, from what a scan of it counted: none for
// an empty line, and a "|" as the very last character adds no empty last field.
constexpr std::uint64_t FieldCountOf(bool empty, std::uint64_t separators, bool endsWithSeparator)
{
    return empty ? 0 : separators + (endsWithSeparator ? 0 : 1);
}
constexpr std::uint64_t FieldCountOf(std::string_view line, std::uint64_t separators)
{
    return FieldCountOf(line.empty(), separators, !line.empty() && line.back() == FieldSeparator);
}

// The one field cutter. findSeparator(line, from) gives the position of the
// next separator at or after from, or line.size(). onField(std::string_view
// trimmedField) is called per field; when it returns bool, false stops the cut.
template <class FFind, class F>
void CutFields(std::string_view line, FFind&& findSeparator, F&& onField)
{
    if (line.empty())
        return;
    std::size_t start = 0;
    for (;;) {
        const std::size_t pos = findSeparator(line, start);
        const std::string_view field = TrimField(line.substr(start, pos - start));
        if constexpr (std::is_same_v<decltype(onField(field)), bool>) {
            if (!onField(field))
                return;
        } else {
            onField(field);
        }
        // No character behind the separator: no empty last field.
        if (pos + 1 >= line.size())
            return;
        start = pos + 1;
    }
}

// CutFields at "|", the transfer format's only separator.
template <class F>
void ForEachField(std::string_view line, F&& onField)
{
    CutFields(
        line,
        [](std::string_view text, std::size_t from) {
            const std::size_t pos = text.find(FieldSeparator, from);
            return pos == std::string_view::npos ? text.size() : pos;
        },
        onField);
}

// Field index (from 0) of line, trimmed; empty when the line has no such field.
inline std::string_view FieldOfLine(std::string_view line, std::size_t index)
{
    std::string_view found;
    ForEachField(line, [&](std::string_view field) {
        if (index-- > 0)
            return true;
        found = field;
        return false;
    });
    return found;
}
