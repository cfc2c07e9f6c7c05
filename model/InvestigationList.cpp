#include "InvestigationList.h"

#include "BlockGrammar.h"
#include "FieldLayout.h"
#include "Fields.h"
#include "Lines.h"

#include <algorithm>

void TInvestigationList::Clear()
{
    FIndex.Clear();
    FCount = 0;
    FKeys.clear();
    FKeys.shrink_to_fit();
}

// The index tells the lines that hold the kept beginnings, and no more.
uint32_t TInvestigationList::KeysUpTo() const { return FKeyEntries.empty() ? 0 : static_cast<uint32_t>(FKeyEntries.back()) + 1; }

void TInvestigationList::Load(const std::string& path, std::stop_token stop, std::size_t pieceSize)
{
    Clear();
    const std::size_t keyBytes = FKeyEntries.size() * KeyBytes;
    try {
        FIndex.Build(
            path, {BlockRules::Viewer, true, false, pieceSize, KeysUpTo(), true, true},
            [&](std::size_t investigation, const TInvestigationText& text) {
                FKeys.resize((investigation + 1) * keyBytes, '\0');
                if (FKeyEntries.empty())
                    return;
                const auto firstEntries = FIndex.FirstEntries(investigation);
                for (std::size_t k = 0; k < text.Lines.size(); ++k)
                    KeepKeys(text.Lines[k], FIndex.ToldSeparators(k), firstEntries[k], investigation);
            },
            stop);
    } catch (...) {
        Clear(); // nothing half-built stays behind
        throw;
    }
    if (stop.stop_requested()) {
        Clear();
        return;
    }
    FCount = static_cast<int>(std::max<std::size_t>(FIndex.Count(), 1));
    FKeys.resize(static_cast<std::size_t>(FCount) * keyBytes, '\0');
}

// The fields are cut at the separators that the index found as it read the
// line: no second scan.
void TInvestigationList::KeepKeys(std::string_view line, std::span<const uint32_t> separators, uint32_t firstEntry,
                                  std::size_t investigation)
{
    char* const keys = FKeys.data() + investigation * FKeyEntries.size() * KeyBytes;
    // The line's fields: one behind each separator, and the rest unless the
    // line is empty or ends with a separator.
    const bool rest = !line.empty() && line.back() != FieldSeparator;
    for (std::size_t column = 0; column < FKeyEntries.size(); ++column) {
        if (static_cast<uint32_t>(FKeyEntries[column]) < firstEntry)
            continue;
        const std::size_t field = static_cast<uint32_t>(FKeyEntries[column]) - firstEntry;
        if (field > separators.size() || (field == separators.size() && !rest))
            return;
        const std::size_t begin = field == 0 ? 0 : separators[field - 1] + 1;
        const std::size_t end = field < separators.size() ? separators[field] : line.size();
        const std::string_view text = TrimField(line.substr(begin, end - begin));
        std::copy_n(text.data(), std::min(text.size(), KeyBytes), keys + column * KeyBytes);
    }
}

std::string_view TInvestigationList::Field(int investigation, int entry) const
{
    if (investigation < 0 || static_cast<std::size_t>(investigation) >= FIndex.Count() || entry < 0)
        return {};
    const TInvestigationIndex::TEntry& inv = FIndex.Entry(static_cast<std::size_t>(investigation));
    if (static_cast<uint32_t>(entry) >= inv.FieldCount)
        return {};

    // The last line whose first field comes at or before the entry.
    const auto firstEntries = FIndex.FirstEntries(static_cast<std::size_t>(investigation));
    const auto line = static_cast<std::size_t>(
        std::upper_bound(firstEntries.begin(), firstEntries.end(), static_cast<uint32_t>(entry)) - firstEntries.begin() - 1);

    const std::string_view rest =
        FIndex.Text().substr(static_cast<std::size_t>(inv.Start) + FIndex.LineOffsets(static_cast<std::size_t>(investigation))[line]);
    return FieldOfLine(rest.substr(0, LineLength(rest)), static_cast<uint32_t>(entry) - firstEntries[line]);
}

void TInvestigationList::Fields(int investigation, std::span<const int> entries,
                                std::span<std::string_view> out) const
{
    for (std::size_t i = 0; i < entries.size() && i < out.size(); ++i)
        out[i] = Field(investigation, entries[i]);
}

int TInvestigationList::FieldCount(int investigation) const
{
    if (investigation < 0 || static_cast<std::size_t>(investigation) >= FIndex.Count())
        return 0;
    return static_cast<int>(FIndex.Entry(static_cast<std::size_t>(investigation)).FieldCount);
}

int64_t TInvestigationList::FirstLineIndex(int investigation) const
{
    if (investigation < 0 || static_cast<std::size_t>(investigation) >= FIndex.Count())
        return 0;
    return FIndex.Entry(static_cast<std::size_t>(investigation)).FirstLine - 1;
}

int TInvestigationList::ParameterCount(int investigation) const
{
    return std::max(0, (FieldCount(investigation) - FieldLayout::HeaderEntries) / FieldLayout::ParameterEntries);
}
