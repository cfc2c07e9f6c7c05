#include "InvestigationList.h"

#include "FieldLayout.h"
#include "Fields.h"
#include "Lines.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

// Offsets inside an examination are 32-bit; keep them within int range too.
constexpr std::size_t MaxInvestigationSpan = std::numeric_limits<int32_t>::max();

bool IsBlank(std::string_view line) { return TrimField(line).empty(); }

// The loader knows an end line by its very first character alone.
bool IsEndLine(std::string_view line) { return !line.empty() && line.front() == FieldLayout::EndKind.front(); }

} // namespace

void TInvestigationList::Clear()
{
    FInvestigations.clear();
    FInvestigations.shrink_to_fit();
    FLineRefs.clear();
    FLineRefs.shrink_to_fit();
    FKeys.clear();
    FKeys.shrink_to_fit();
    FText = TFileText();
}

void TInvestigationList::Load(const std::string& path)
{
    Clear();
    FText = TFileText::Read(path);
    try {
        Build(FText.Text());
    } catch (...) {
        Clear(); // nothing half-built stays behind
        throw;
    }
}

// Walks the lines once. An examination is header line 1 and header line 2
// (taken as they are), then every line up to the next one whose first
// character is "3" (the end line, which gives no fields). After an end line a
// blank line ends the file's examinations. The walk never looks past the last
// line: an examination that would begin on the very last line is no
// examination, unless it is the file's only line, which makes one
// examination without data.
void TInvestigationList::Build(std::string_view text)
{
    enum class TState { Header1,
                        Header2,
                        Parameters,
                        AfterEnd,
                        Done };
    TState state = TState::Header1;
    int64_t lineIndex = 0;
    TInvestigation* current = nullptr;

    auto addFields = [&](std::string_view line, uint32_t separators) {
        const auto count = static_cast<uint32_t>(FieldCountOf(line, separators));
        if (count == 0)
            return;
        const auto offset = static_cast<std::size_t>(line.data() - text.data()) - current->Start;
        if (offset + line.size() > MaxInvestigationSpan)
            throw std::length_error("Untersuchung zu gro\xDF");
        FLineRefs.push_back({static_cast<uint32_t>(offset), current->FieldCount});
        if (!FKeyEntries.empty() && current->FieldCount <= static_cast<uint32_t>(FKeyEntries.back()))
            KeepKeys(line, current->FieldCount, FInvestigations.size() - 1);
        ++current->LineRefCount;
        current->FieldCount += count;
    };
    auto beginInvestigation = [&](std::string_view line, uint32_t separators) {
        const auto start = static_cast<std::size_t>(line.data() - text.data());
        current = &FInvestigations.emplace_back(TInvestigation{start, FLineRefs.size(), lineIndex, 0, 0});
        FKeys.resize(FInvestigations.size() * FKeyEntries.size() * KeyBytes, '\0');
        addFields(line, separators);
        state = TState::Header2;
    };

    ForEachLineCountingSeparators(text, [&](std::string_view line, uint32_t separators) {
        switch (state) {
        case TState::Header1:
            beginInvestigation(line, separators);
            break;
        case TState::Header2:
            addFields(line, separators);
            state = TState::Parameters;
            break;
        case TState::Parameters:
            if (IsEndLine(line))
                state = TState::AfterEnd;
            else
                addFields(line, separators);
            break;
        case TState::AfterEnd:
            if (IsBlank(line))
                state = TState::Done;
            else
                beginInvestigation(line, separators);
            break;
        case TState::Done:
            break;
        }
        ++lineIndex;
    });

    if (state == TState::Header2) {
        // The last examination began on the last line.
        FLineRefs.resize(current->FirstLineRef);
        if (FInvestigations.size() == 1) {
            current->LineRefCount = 0;
            current->FieldCount = 0;
        } else {
            FInvestigations.pop_back();
        }
    }
    if (FInvestigations.empty()) // an empty file: one examination without data
        FInvestigations.push_back(TInvestigation{0, 0, 0, 0, 0});
    if (FInvestigations.size() == 1 && FInvestigations.front().FieldCount == 0)
        std::fill(FKeys.begin(), FKeys.end(), '\0');
    FKeys.resize(FInvestigations.size() * FKeyEntries.size() * KeyBytes, '\0');
}

// One pass over the separators of a line that the load has just read, so the
// line is still in the cache.
void TInvestigationList::KeepKeys(std::string_view line, uint32_t firstEntry, std::size_t investigation)
{
    char* const keys = FKeys.data() + investigation * FKeyEntries.size() * KeyBytes;
    std::size_t column = 0;
    while (column < FKeyEntries.size() && static_cast<uint32_t>(FKeyEntries[column]) < firstEntry)
        ++column;
    uint32_t entry = firstEntry;
    // The cut stops behind the last wanted field.
    ForEachField(line, [&](std::string_view field) {
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
    if (investigation < 0 || investigation >= Count() || entry < 0)
        return {};
    const TInvestigation& inv = FInvestigations[static_cast<std::size_t>(investigation)];
    if (static_cast<uint32_t>(entry) >= inv.FieldCount)
        return {};

    const auto first = FLineRefs.begin() + static_cast<std::ptrdiff_t>(inv.FirstLineRef);
    const auto last = first + inv.LineRefCount;
    const auto line = std::prev(std::upper_bound(first, last, static_cast<uint32_t>(entry),
                                                 [](uint32_t value, const TLineRef& ref) { return value < ref.FirstEntry; }));

    const std::string_view rest = FText.Text().substr(inv.Start + line->Offset);
    return FieldOfLine(rest.substr(0, LineLength(rest)), static_cast<uint32_t>(entry) - line->FirstEntry);
}

void TInvestigationList::Fields(int investigation, std::span<const int> entries,
                                std::span<std::string_view> out) const
{
    for (std::size_t i = 0; i < entries.size() && i < out.size(); ++i)
        out[i] = Field(investigation, entries[i]);
}

int TInvestigationList::FieldCount(int investigation) const
{
    if (investigation < 0 || investigation >= Count())
        return 0;
    return static_cast<int>(FInvestigations[static_cast<std::size_t>(investigation)].FieldCount);
}

int64_t TInvestigationList::FirstLineIndex(int investigation) const
{
    if (investigation < 0 || investigation >= Count())
        return 0;
    return FInvestigations[static_cast<std::size_t>(investigation)].FirstLineIndex;
}

int TInvestigationList::ParameterCount(int investigation) const
{
    return std::max(0, (FieldCount(investigation) - FieldLayout::HeaderEntries) / FieldLayout::ParameterEntries);
}
