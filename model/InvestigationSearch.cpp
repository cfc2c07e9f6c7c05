#include "InvestigationSearch.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <vector>

namespace {

// Lower case of every Windows-1252 letter that has one; other bytes stay.
const std::array<unsigned char, 256>& FoldTable()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
        for (int b = 'A'; b <= 'Z'; ++b)
            t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b + 32);
        // À to Þ except the multiplication sign.
        for (int b = 0xC0; b <= 0xDE; ++b)
            if (b != 0xD7)
                t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b + 32);
        t[0x8A] = 0x9A; // Š
        t[0x8C] = 0x9C; // Œ
        t[0x8E] = 0x9E; // Ž
        t[0x9F] = 0xFF; // Ÿ
        return t;
    }();
    return table;
}

bool BeginsWith(std::string_view text, std::string_view foldedPrefix, const std::array<unsigned char, 256>& fold)
{
    if (text.size() < foldedPrefix.size())
        return false;
    for (std::size_t i = 0; i < foldedPrefix.size(); ++i)
        if (fold[static_cast<unsigned char>(text[i])] != static_cast<unsigned char>(foldedPrefix[i]))
            return false;
    return true;
}

// Whether the kept beginning of a field can begin with the prefix; true
// means certain when the prefix is no longer than the key.
bool KeyBeginsWith(const char* key, std::string_view foldedPrefix, const std::array<unsigned char, 256>& fold)
{
    const std::size_t n = std::min(foldedPrefix.size(), TInvestigationList::KeyBytes);
    for (std::size_t i = 0; i < n; ++i) {
        // A NUL byte ends a field shorter than the key.
        if (key[i] == '\0' || fold[static_cast<unsigned char>(key[i])] != static_cast<unsigned char>(foldedPrefix[i]))
            return false;
    }
    return true;
}

bool NumberBeginsWith(int number, std::string_view digits)
{
    char text[16];
    const auto result = std::to_chars(text, text + sizeof text, number);
    const std::string_view shown(text, static_cast<std::size_t>(result.ptr - text));
    return shown.substr(0, digits.size()) == digits;
}

} // namespace

int FindInvestigation(const TInvestigationList& list, std::span<const int> entries, std::string_view prefix,
                      int from)
{
    const int count = list.Count();
    if (count == 0 || prefix.empty())
        return -1;
    const auto& fold = FoldTable();
    std::string folded(prefix);
    for (char& ch : folded)
        ch = static_cast<char>(fold[static_cast<unsigned char>(ch)]);
    const bool digitsOnly = folded.find_first_not_of("0123456789") == std::string::npos;
    // The kept beginnings answer most examinations without reading the text.
    const bool keyed = std::ranges::equal(list.KeyEntries(), entries);
    const bool longer = folded.size() > TInvestigationList::KeyBytes;

    std::vector<std::string_view> fields(entries.size());
    from = from < 0 || from >= count ? 0 : from;
    for (int step = 0; step < count; ++step) {
        const int index = from + step < count ? from + step : from + step - count;
        if (digitsOnly && NumberBeginsWith(index + 1, folded))
            return index;
        if (keyed) {
            for (std::size_t column = 0; column < entries.size(); ++column) {
                if (!KeyBeginsWith(list.Key(index, column), folded, fold))
                    continue;
                if (!longer || BeginsWith(list.Field(index, entries[column]), folded, fold))
                    return index;
            }
            continue;
        }
        list.Fields(index, entries, fields);
        for (const std::string_view field : fields)
            if (BeginsWith(field, folded, fold))
                return index;
    }
    return -1;
}
