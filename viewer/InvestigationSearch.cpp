#include "InvestigationSearch.h"

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

    std::vector<std::string_view> fields(entries.size());
    from = from < 0 || from >= count ? 0 : from;
    for (int step = 0; step < count; ++step) {
        const int index = from + step < count ? from + step : from + step - count;
        if (digitsOnly) {
            char number[16];
            const auto result = std::to_chars(number, number + sizeof number, index + 1);
            if (BeginsWith(std::string_view(number, static_cast<std::size_t>(result.ptr - number)), folded, fold))
                return index;
        }
        list.Fields(index, entries, fields);
        for (const std::string_view field : fields)
            if (BeginsWith(field, folded, fold))
                return index;
    }
    return -1;
}
