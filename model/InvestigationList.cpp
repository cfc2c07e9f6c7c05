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

// Offsets inside an examination are 32-bit; keep them within int range too.
constexpr std::size_t MaxInvestigationSpan = std::numeric_limits<int32_t>::max();

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

// A line of the text as the load hands it to the block walk: the walk reads
// its text, the load also the number of separators the line cutter counted.
struct TLoadLine {
    std::string_view Text;
    uint32_t Separators = 0;
    operator std::string_view() const { return Text; }
};

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

// Walks the lines once, as the file comes in, through the block walk under the
// viewer's rules (BlockGrammar.h). Header lines and parameter lines give
// fields; an end line gives none. A file without examinations shows one
// examination without data.
class TInvestigationList::TBuilder : private TLineGatherer {
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
        if (FPending)
            FWalk->OnLine(*FPending, true);
        FPending.reset();
        std::vector<TInvestigation>& investigations = FList.FInvestigations;
        if (investigations.empty())
            investigations.push_back(TInvestigation{0, 0, 0, 0, 0});
        FList.FKeys.resize(investigations.size() * FList.FKeyEntries.size() * KeyBytes, '\0');
    }

    // What the line cutter reports.
    using TLineGatherer::BeginLine;
    using TLineGatherer::LineBytes;
    // The walk is told a line once the next has come: only then is it known
    // not to be the last.
    void EndLine()
    {
        if (FPending)
            FWalk->OnLine(*FPending, false);
        FPending = TLoadLine{Text(), Separators};
    }

    // What the block walk reports.
    void BlockLine(EBlockLine role, const TLoadLine& line, std::int64_t number)
    {
        switch (role) {
        case EBlockLine::Header1:
            BeginInvestigation(line, number - 1);
            return;
        case EBlockLine::Header2:
        case EBlockLine::EndAsHeader2:
        case EBlockLine::Parameter:
            AddFields(line);
            return;
        case EBlockLine::End:
        case EBlockLine::Outside:
            return;
        }
    }

private:
    void Restart()
    {
        FList.FLineRefs.clear();
        FList.FInvestigations.clear();
        FList.FKeys.clear();
        FCurrent = nullptr;
        FFed = 0;
        FPending.reset();
        FWalk.emplace(*this, TBlockGrammar(BlockRules::Viewer));
        FCutter.emplace(*this);
    }

    void AddFields(const TLoadLine& line)
    {
        const auto count = static_cast<uint32_t>(FieldCountOf(line.Text, line.Separators));
        if (count == 0)
            return;
        const auto offset = static_cast<std::size_t>(line.Text.data() - FText.data()) - FCurrent->Start;
        if (offset + line.Text.size() > MaxInvestigationSpan)
            throw std::length_error("Untersuchung zu groß");
        FList.FLineRefs.push_back({static_cast<uint32_t>(offset), FCurrent->FieldCount});
        const std::vector<int>& keyEntries = FList.FKeyEntries;
        if (!keyEntries.empty() && FCurrent->FieldCount <= static_cast<uint32_t>(keyEntries.back()))
            FList.KeepKeys(line.Text, FCurrent->FieldCount, FList.FInvestigations.size() - 1);
        ++FCurrent->LineRefCount;
        FCurrent->FieldCount += count;
    }

    void BeginInvestigation(const TLoadLine& line, int64_t lineIndex)
    {
        const auto start = static_cast<std::size_t>(line.Text.data() - FText.data());
        std::vector<TInvestigation>& investigations = FList.FInvestigations;
        FCurrent = &investigations.emplace_back(TInvestigation{start, FList.FLineRefs.size(), lineIndex, 0, 0});
        FList.FKeys.resize(investigations.size() * FList.FKeyEntries.size() * KeyBytes, '\0');
        AddFields(line);
    }

    TInvestigationList& FList;
    std::optional<TLineCutter<TBuilder>> FCutter;
    std::optional<TBlockWalk<TBuilder>> FWalk;
    std::optional<TLoadLine> FPending;
    std::string_view FText;
    std::size_t FFed = 0;
    TInvestigation* FCurrent = nullptr;
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
