#pragma once

#include "Fields.h"

#include <bitset>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The field list of the format's description, for the tests and their oracles:
// a line cut at any separator of a set into trimmed fields, appended to or
// replacing a list. The product cuts fields with CutFields where it needs them.

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
    static const TSeparatorSet& Bar()
    {
        static const TSeparatorSet bar{FieldSeparator};
        return bar;
    }

private:
    std::bitset<256> FMembers;
};

using TFieldList = std::vector<std::string>;

// Appends line's trimmed fields to fields, keeping the entries already there.
inline void AppendFields(std::string_view line, TFieldList& fields, const TSeparatorSet& separators)
{
    CutFields(
        line,
        [&separators](std::string_view text, std::size_t pos) {
            while (pos < text.size() && !separators.Contains(text[pos]))
                ++pos;
            return pos;
        },
        [&fields](std::string_view field) { fields.emplace_back(field); });
}

// Empties fields, then does exactly what AppendFields does.
inline void SplitFields(std::string_view line, TFieldList& fields, const TSeparatorSet& separators)
{
    fields.clear();
    AppendFields(line, fields, separators);
}
