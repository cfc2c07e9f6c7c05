#pragma once

#include <bitset>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Any character of the set ends a field; every use passes exactly "|".
class TSeparatorSet {
public:
    TSeparatorSet() = default;
    TSeparatorSet(std::initializer_list<char> separators)
    {
        for (const char c : separators)
            FMembers.set(static_cast<unsigned char>(c));
    }
    bool Contains(char c) const { return FMembers.test(static_cast<unsigned char>(c)); }

    // The set {"|"} that the transfer format uses.
    static const TSeparatorSet& Bar();

private:
    std::bitset<256> FMembers;
};

using TFieldList = std::vector<std::string>;

// Removes every character with code 0 to 32 from both ends.
inline std::string_view TrimField(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return s.substr(b, e - b);
}

// Calls onField(std::string_view trimmedField) for each field of line, cut at
// "|" exactly as AppendFields cuts it: an empty line has no fields, and a "|"
// as the very last character adds no empty last field.
template <class F>
void ForEachField(std::string_view line, F&& onField)
{
    if (line.empty())
        return;
    std::size_t start = 0;
    for (;;) {
        std::size_t pos = line.find('|', start);
        if (pos == std::string_view::npos)
            pos = line.size();
        onField(TrimField(line.substr(start, pos - start)));
        if (pos + 1 >= line.size())
            return;
        start = pos + 1;
    }
}

// Appends line's trimmed fields to fields, keeping the entries already there.
void AppendFields(std::string_view line, TFieldList& fields, const TSeparatorSet& separators);

// Empties fields, then does exactly what AppendFields does.
void SplitFields(std::string_view line, TFieldList& fields, const TSeparatorSet& separators);
