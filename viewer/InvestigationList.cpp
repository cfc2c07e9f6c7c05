#include "InvestigationList.h"

#include "FieldLayout.h"
#include "Fields.h"
#include "Lines.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>

namespace {

// Offsets inside an examination are 32-bit; keep them within int range too.
constexpr std::size_t MaxInvestigationSpan = std::numeric_limits<int32_t>::max();

bool IsBlank(std::string_view line) { return TrimField(line).empty(); }

// The loader knows an end line by its very first character alone.
bool IsEndLine(std::string_view line) { return !line.empty() && line.front() == FieldLayout::EndKind.front(); }

// ForEachField (fields trimmed, none behind a final "|"), with the
// separators found 64 bytes at a time: a header line has dozens of short
// fields, and a search call per field costs more than the scan.
template <class F>
void ForEachFieldScanned(std::string_view line, F&& onField)
{
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    std::size_t start = 0;
    for (std::size_t block = 0; block < line.size(); block += ByteScan::BlockSize) {
        for (std::uint64_t separators = ByteScan::ScanAt(begin + block, end).Separators; separators != 0;
             separators &= separators - 1) {
            const std::size_t pos = block + static_cast<std::size_t>(ByteScan::LowestBit(separators));
            if (!onField(TrimField(line.substr(start, pos - start))) || pos + 1 >= line.size())
                return;
            start = pos + 1;
        }
    }
    if (!line.empty())
        onField(TrimField(line.substr(start)));
}

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

// Walks the lines once, as the file comes in. An examination is header line 1
// and header line 2 (taken as they are), then every line up to the next one
// whose first character is "3" (the end line, which gives no fields). After
// an end line a blank line ends the file's examinations. The walk never looks
// past the last line: an examination that would begin on the very last line
// is no examination, unless it is the file's only line, which makes one
// examination without data.
class TInvestigationList::TBuilder {
public:
    explicit TBuilder(TInvestigationList& list)
        : FList(list)
    {
    }

    // The text read so far. Its start moves only when the file grew while it
    // was read; the walk then begins anew on the moved text.
    void Feed(std::string_view textSoFar)
    {
        if (textSoFar.data() != FText.data())
            Restart();
        FText = textSoFar;
        FCutter->Feed(FText.data() + FFed, FText.size() - FFed);
        FFed = FText.size();
    }

    void Finish()
    {
        if (!FCutter)
            Restart(); // nothing was read: an empty file
        FCutter->Finish();
        std::vector<TInvestigation>& investigations = FList.FInvestigations;
        if (FState == TState::Header2) {
            // The last examination began on the last line.
            FList.FLineRefs.resize(FCurrent->FirstLineRef);
            if (investigations.size() == 1) {
                FCurrent->LineRefCount = 0;
                FCurrent->FieldCount = 0;
            } else {
                investigations.pop_back();
            }
        }
        if (investigations.empty()) // an empty file: one examination without data
            investigations.push_back(TInvestigation{0, 0, 0, 0, 0});
        if (investigations.size() == 1 && investigations.front().FieldCount == 0)
            std::fill(FList.FKeys.begin(), FList.FKeys.end(), '\0');
        FList.FKeys.resize(investigations.size() * FList.FKeyEntries.size() * KeyBytes, '\0');
    }

    // What the line cutter reports.
    void BeginLine(const char* at)
    {
        FLineBegin = FLineEnd = at;
        FSeparators = 0;
    }
    void LineBytes(const char* p, std::size_t n, std::uint64_t separators)
    {
        FLineEnd = p + n;
        FSeparators += static_cast<uint32_t>(ByteScan::BitCount(separators));
    }
    void EndLine()
    {
        OnLine(std::string_view(FLineBegin, static_cast<std::size_t>(FLineEnd - FLineBegin)), FSeparators);
    }

private:
    enum class TState { Header1,
                        Header2,
                        Parameters,
                        AfterEnd,
                        Done };

    void Restart()
    {
        FList.FLineRefs.clear();
        FList.FInvestigations.clear();
        FList.FKeys.clear();
        FState = TState::Header1;
        FLineIndex = 0;
        FCurrent = nullptr;
        FFed = 0;
        FCutter.emplace(*this);
    }

    void OnLine(std::string_view line, uint32_t separators)
    {
        switch (FState) {
        case TState::Header1:
            BeginInvestigation(line, separators);
            break;
        case TState::Header2:
            AddFields(line, separators);
            FState = TState::Parameters;
            break;
        case TState::Parameters:
            if (IsEndLine(line))
                FState = TState::AfterEnd;
            else
                AddFields(line, separators);
            break;
        case TState::AfterEnd:
            if (IsBlank(line))
                FState = TState::Done;
            else
                BeginInvestigation(line, separators);
            break;
        case TState::Done:
            break;
        }
        ++FLineIndex;
    }

    void AddFields(std::string_view line, uint32_t separators)
    {
        const auto count = static_cast<uint32_t>(FieldCountOf(line, separators));
        if (count == 0)
            return;
        const auto offset = static_cast<std::size_t>(line.data() - FText.data()) - FCurrent->Start;
        if (offset + line.size() > MaxInvestigationSpan)
            throw std::length_error("Untersuchung zu gro\xDF");
        FList.FLineRefs.push_back({static_cast<uint32_t>(offset), FCurrent->FieldCount});
        const std::vector<int>& keyEntries = FList.FKeyEntries;
        if (!keyEntries.empty() && FCurrent->FieldCount <= static_cast<uint32_t>(keyEntries.back()))
            FList.KeepKeys(line, FCurrent->FieldCount, FList.FInvestigations.size() - 1);
        ++FCurrent->LineRefCount;
        FCurrent->FieldCount += count;
    }

    void BeginInvestigation(std::string_view line, uint32_t separators)
    {
        const auto start = static_cast<std::size_t>(line.data() - FText.data());
        std::vector<TInvestigation>& investigations = FList.FInvestigations;
        FCurrent = &investigations.emplace_back(TInvestigation{start, FList.FLineRefs.size(), FLineIndex, 0, 0});
        FList.FKeys.resize(investigations.size() * FList.FKeyEntries.size() * KeyBytes, '\0');
        AddFields(line, separators);
        FState = TState::Header2;
    }

    TInvestigationList& FList;
    std::optional<TLineCutter<TBuilder>> FCutter;
    std::string_view FText;
    std::size_t FFed = 0;
    TState FState = TState::Header1;
    int64_t FLineIndex = 0;
    TInvestigation* FCurrent = nullptr;
    const char* FLineBegin = nullptr;
    const char* FLineEnd = nullptr;
    uint32_t FSeparators = 0;
};

void TInvestigationList::Load(const std::string& path, std::stop_token stop, std::size_t pieceSize)
{
    Clear();
    try {
        // Each piece is cut right after it is read, while it is still in the cache.
        TBuilder builder(*this);
        FText = TFileText::Read(
            path,
            [&](std::string_view textSoFar) {
                if (stop.stop_requested())
                    return false;
                builder.Feed(textSoFar);
                return true;
            },
            pieceSize);
        if (stop.stop_requested()) {
            Clear();
            return;
        }
        builder.Finish();
    } catch (...) {
        Clear(); // nothing half-built stays behind
        throw;
    }
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
