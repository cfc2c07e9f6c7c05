#include "InvestigationList.h"

#include "BlockGrammar.h"
#include "FieldLayout.h"
#include "Fields.h"
#include "Lines.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>

namespace {

// The core's field cutter, with the separators found 64 bytes at a time: a
// header line has dozens of short fields, and a search call per field costs
// more than the scan.
template <class F>
void ForEachFieldScanned(std::string_view line, F&& onField)
{
    const char* const end = line.data() + line.size();
    std::size_t block = SIZE_MAX;
    std::uint64_t separators = 0;
    CutFields(
        line,
        [&](std::string_view text, std::size_t from) {
            for (;;) {
                const std::size_t at = from - from % ByteScan::BlockSize;
                if (at >= text.size())
                    return text.size();
                if (at != block) {
                    block = at;
                    separators = ByteScan::ScanAt(text.data() + at, end).Separators;
                }
                const std::uint64_t ahead = separators >> (from - at) << (from - at);
                if (ahead != 0)
                    return at + static_cast<std::size_t>(ByteScan::LowestBit(ahead));
                from = at + ByteScan::BlockSize;
            }
        },
        onField);
}

} // namespace

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
            path, {BlockRules::Viewer, true, false, pieceSize, KeysUpTo()},
            [&](std::size_t investigation, const TInvestigationText& text) {
                FKeys.resize((investigation + 1) * keyBytes, '\0');
                if (FKeyEntries.empty())
                    return;
                const auto firstEntries = FIndex.FirstEntries(investigation);
                for (std::size_t k = 0; k < text.Lines.size(); ++k)
                    KeepKeys(text.Lines[k], firstEntries[k], investigation);
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

// One pass over the separators of a line that the load has just read, so the
// line is likely still in the cache.
void TInvestigationList::KeepKeys(std::string_view line, uint32_t firstEntry, std::size_t investigation)
{
    char* const keys = FKeys.data() + investigation * FKeyEntries.size() * KeyBytes;
    std::size_t column = 0;
    while (column < FKeyEntries.size() && static_cast<uint32_t>(FKeyEntries[column]) < firstEntry)
        ++column;
    uint32_t entry = firstEntry;
    // The cut stops behind the last wanted field.
    ForEachFieldScanned(line, [&](std::string_view field) {
        if (column < FKeyEntries.size() && static_cast<uint32_t>(FKeyEntries[column]) == entry) {
            std::copy_n(field.data(), std::min(field.size(), KeyBytes), keys + column * KeyBytes);
            ++column;
        }
        ++entry;
        return column < FKeyEntries.size();
    });
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
