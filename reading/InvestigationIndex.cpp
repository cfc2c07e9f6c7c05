#include "InvestigationIndex.h"

#include "ByteScan.h"
#include "CheckGuard.h"
#include "Fields.h"
#include "Lines.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>

namespace {

// Offsets inside an examination are 32-bit; keep them within int range too.
constexpr std::uint64_t MaxInvestigationSpan = std::numeric_limits<std::int32_t>::max();

} // namespace

// Cuts the bytes fed into lines and walks them once, as the file comes in.
// Bytes are told by their offset in the file: the window that holds them may
// move between pieces, and holds at least the bytes from NeededFrom() on.
class TInvestigationIndex::TBuilder {
public:
    TBuilder(TInvestigationIndex& index, const TOptions& options, const TOnInvestigation& onInvestigation)
        : FIndex(index),
          FOnInvestigation(onInvestigation),
          FKeepLengths(!options.KeepText),
          FEntriesTold(onInvestigation ? options.EntriesTold : 0),
          FKeepFirstEntries(options.KeepFirstEntries),
          FTellSeparators(options.TellSeparators && FEntriesTold > 0),
          FGrammar(options.Rules),
          FCutter(*this)
    {
        if (options.Guard)
            FGuard.emplace();
    }

    // The file's bytes from windowStart on lie at window.
    void SetWindow(const char* window, std::uint64_t windowStart)
    {
        FWindow = window;
        FWindowStart = windowStart;
    }
    // Bytes of the window that follow those fed before.
    void Feed(const char* bytes, std::size_t count) { FCutter.Feed(bytes, count); }
    // A NUL ended the text: nothing behind it is read.
    bool Ended() const { return FCutter.Ended(); }

    void Finish()
    {
        FCutter.Finish();
        if (FHasPending)
            Walk(true);
        FHasPending = false;
        if (FOpen)
            Emit();
        if (FGuard)
            FGuard->Finish();
    }

    // The first byte that the window must still hold; fedTo when none.
    std::uint64_t NeededFrom(std::uint64_t fedTo) const
    {
        if (FOpen)
            return FIndex.FEntries.back().Start;
        if (FHasPending)
            return FPending.Begin;
        return FInLine ? FLineBegin : fedTo;
    }

    // What the line cutter reports.
    void BeginLine(const char* at)
    {
        FLineBegin = FLineEnd = OffsetOf(at);
        FSeparators = 0;
        FInLine = true;
        FCollecting = FTellSeparators && MayBeTold();
        if (FCollecting)
            FCutting.clear();
    }
    MORVASK_ALWAYS_INLINE void LineBytes(const char* p, std::size_t n, std::uint64_t separators)
    {
        FLineEnd = OffsetOf(p) + n;
        FSeparators += static_cast<std::uint64_t>(ByteScan::BitCount(separators));
        if (FCollecting)
            Collect(p, separators);
    }
    // A line's role waits for the next line: only then is it known not to be the last.
    MORVASK_ALWAYS_INLINE void EndLine()
    {
        FInLine = false;
        if (FHasPending)
            Walk(false);
        const std::string_view text = TextOf(FLineBegin, FLineEnd);
        const TBlockRules& rules = FGrammar.Rules();
        FPending.Begin = FLineBegin;
        FPending.End = FLineEnd;
        FPending.FieldCount = static_cast<std::uint32_t>(FieldCountOf(text, FSeparators));
        FPending.IsEnd = IsEndLine(text, rules);
        FPending.Blank = rules.BlankLineStops && IsBlankLine(text);
        if (FGuard)
            FPendingFacts = TCheckGuard::FactsOf(text, FSeparators);
        FHasPending = true;
        if (FCollecting)
            FPendingSeparators.swap(FCutting);
        else
            FPendingSeparators.clear();
    }

private:
    struct TPending {
        std::uint64_t Begin, End;
        std::uint32_t FieldCount;
        bool IsEnd, Blank;
    };

    // Out of the line: most lines are not told.
    [[gnu::noinline]] void Collect(const char* p, std::uint64_t separators)
    {
        const auto offset = static_cast<std::uint32_t>(OffsetOf(p) - FLineBegin);
        for (; separators != 0 && FCutting.size() < FEntriesTold; separators &= separators - 1)
            FCutting.push_back(offset + static_cast<std::uint32_t>(ByteScan::LowestBit(separators)));
    }

    // Whether the line that begins may come to be told: it may begin an
    // examination, or its first field comes before EntriesTold. Its
    // separators are kept then, so that the hearer needs no second scan.
    bool MayBeTold() const
    {
        if (!FOpen || !FHasPending || FPending.IsEnd)
            return true;
        return FIndex.FEntries.back().FieldCount + FPending.FieldCount < FEntriesTold;
    }

    std::uint64_t OffsetOf(const char* p) const { return FWindowStart + static_cast<std::uint64_t>(p - FWindow); }
    std::string_view TextOf(std::uint64_t begin, std::uint64_t end) const
    {
        return {FWindow + (begin - FWindowStart), static_cast<std::size_t>(end - begin)};
    }

    // The pending line's role.
    MORVASK_ALWAYS_INLINE void Walk(bool isLast)
    {
        const TPending& line = FPending;
        if (FGuard)
            FGuard->OnLine(FPendingFacts, isLast);
        ++FLine;
        switch (FGrammar.Next(line.IsEnd, line.Blank, isLast)) {
        case EBlockLine::Header1:
            if (FOpen)
                Emit();
            FIndex.FEntries.push_back({line.Begin, FIndex.FLineOffsets.size(), FLine, 0, 0});
            FOpen = true;
            FLineLengths.clear();
            FIndex.FToldSeparators.clear();
            FIndex.FToldStarts.assign(1, 0);
            FLength = 0;
            Add(line);
            return;
        case EBlockLine::Header2:
        case EBlockLine::Parameter:
            Add(line);
            return;
        case EBlockLine::EndAsHeader2:
            Add(line);
            Emit();
            return;
        case EBlockLine::End:
        case EBlockLine::Outside:
            if (FOpen)
                Emit();
            return;
        }
    }

    // Header lines and parameter lines give fields, if any: the entries of a
    // line's fields follow those of the lines before.
    MORVASK_ALWAYS_INLINE void Add(const TPending& line)
    {
        TEntry& entry = FIndex.FEntries.back();
        const std::uint64_t offset = line.Begin - entry.Start;
        if (line.End - entry.Start > MaxInvestigationSpan)
            throw std::length_error("Untersuchung zu groß");
        FIndex.FLineOffsets.push_back(static_cast<std::uint32_t>(offset));
        if (FKeepFirstEntries)
            FIndex.FFirstEntries.push_back(entry.FieldCount);
        if (entry.FieldCount < FEntriesTold)
            Tell(line);
        FLength = static_cast<std::uint32_t>(line.End - entry.Start);
        ++entry.LineCount;
        entry.FieldCount += line.FieldCount;
    }

    // The pending line is told: its length, and where its separators stand
    // (MayBeTold kept them for every line that comes to be told).
    void Tell(const TPending& line)
    {
        FLineLengths.push_back(static_cast<std::uint32_t>(line.End - line.Begin));
        if (!FTellSeparators)
            return;
        std::vector<std::uint32_t>& separators = FIndex.FToldSeparators;
        separators.insert(separators.end(), FPendingSeparators.begin(), FPendingSeparators.end());
        FIndex.FToldStarts.push_back(separators.size());
    }

    void Emit()
    {
        FOpen = false;
        const std::size_t i = FIndex.FEntries.size() - 1;
        const TEntry& entry = FIndex.FEntries[i];
        if (FKeepLengths)
            FIndex.FLengths.push_back(FLength);
        if (!FOnInvestigation)
            return;
        const std::span<const std::uint32_t> offsets = FIndex.LineOffsets(i);
        FLines.clear();
        for (std::size_t k = 0; k < FLineLengths.size(); ++k)
            FLines.push_back(TextOf(entry.Start + offsets[k], entry.Start + offsets[k] + FLineLengths[k]));
        FOnInvestigation(i, TInvestigationText{entry.FirstLine, FLines, entry.Start});
    }

    TInvestigationIndex& FIndex;
    const TOnInvestigation& FOnInvestigation;
    bool FKeepLengths;
    std::uint32_t FEntriesTold;
    bool FKeepFirstEntries;
    bool FTellSeparators;
    TBlockGrammar FGrammar;
    std::optional<TCheckGuard> FGuard;
    TLineCutter<TBuilder> FCutter;
    const char* FWindow = nullptr;
    std::uint64_t FWindowStart = 0;
    std::int64_t FLine = 0;
    // The line being cut.
    bool FInLine = false;
    std::uint64_t FLineBegin = 0, FLineEnd = 0, FSeparators = 0;
    bool FCollecting = false;
    std::vector<std::uint32_t> FCutting;
    bool FHasPending = false;
    std::vector<std::uint32_t> FPendingSeparators;
    TPending FPending{};
    TCheckGuard::TFacts FPendingFacts;
    // The examination being read: its length so far, the lengths of its lines
    // told, and their text.
    bool FOpen = false;
    std::uint32_t FLength = 0;
    std::vector<std::uint32_t> FLineLengths;
    std::vector<std::string_view> FLines;
};

void TInvestigationIndex::Clear()
{
    FText = TFileText();
    FFile.reset();
    FEntries.clear();
    FEntries.shrink_to_fit();
    FLineOffsets.clear();
    FLineOffsets.shrink_to_fit();
    FFirstEntries.clear();
    FFirstEntries.shrink_to_fit();
    FLengths.clear();
    FLengths.shrink_to_fit();
}

void TInvestigationIndex::Build(const std::string& path, const TOptions& options, const TOnInvestigation& onInvestigation,
                                std::stop_token stop)
{
    Clear();
    try {
        TBuilder builder(*this, options, onInvestigation);
        const std::size_t pieceSize = std::max<std::size_t>(options.PieceSize, 1);
        if (options.KeepText)
            ReadKept(path, builder, pieceSize, stop);
        else
            ReadInPieces(path, builder, pieceSize, stop);
        if (stop.stop_requested())
            Clear();
    } catch (...) {
        Clear(); // nothing half-built stays behind
        throw;
    }
}

// Each piece is cut right after it is read, while it is still in the cache.
void TInvestigationIndex::ReadKept(const std::string& path, TBuilder& builder, std::size_t pieceSize, std::stop_token stop)
{
    std::size_t fed = 0;
    FText = TFileText::Read(
        path,
        [&](std::string_view textSoFar) {
            if (stop.stop_requested())
                return false;
            builder.SetWindow(textSoFar.data(), 0);
            builder.Feed(textSoFar.data() + fed, textSoFar.size() - fed);
            fed = textSoFar.size();
            return !builder.Ended();
        },
        pieceSize);
    if (stop.stop_requested())
        return;
    builder.SetWindow(FText.Text().data(), 0);
    builder.Finish();
}

// The buffer holds the file's bytes from offset `base` on: the examination
// being read and the bytes behind it. It grows for an examination larger than
// itself, and no byte behind the first NUL is read.
void TInvestigationIndex::ReadInPieces(const std::string& path, TBuilder& builder, std::size_t pieceSize, std::stop_token stop)
{
    FFile = std::make_unique<TReadOnlyFile>(path);
    std::vector<char> buffer(pieceSize);
    std::uint64_t base = 0;
    std::size_t filled = 0;
    while (!builder.Ended()) {
        if (stop.stop_requested())
            return;
        if (filled == buffer.size()) {
            const auto dropped = static_cast<std::size_t>(builder.NeededFrom(base + filled) - base);
            if (dropped > 0) {
                std::memmove(buffer.data(), buffer.data() + dropped, filled - dropped);
                base += dropped;
                filled -= dropped;
            }
            if (filled > buffer.size() / 2)
                buffer.resize(buffer.size() * 2);
        }
        const std::size_t got = FFile->ReadAt(base + filled, buffer.data() + filled, buffer.size() - filled);
        if (got == 0)
            break;
        builder.SetWindow(buffer.data(), base);
        builder.Feed(buffer.data() + filled, got);
        filled += got;
    }
    builder.SetWindow(buffer.data(), base);
    builder.Finish();
}

TInvestigationIndex::TReader::TReader(const TInvestigationIndex& index, std::size_t pieceSize)
    : FIndex(index),
      FPieceSize(pieceSize)
{
}

TInvestigationText TInvestigationIndex::TReader::Investigation(std::size_t i)
{
    const TEntry& entry = FIndex.FEntries[i];
    const std::uint32_t length = FIndex.FLengths[i];
    if (entry.Start < FBufferStart || entry.Start + length > FBufferStart + FFilled) {
        // Where the examination follows close on the one read before, a piece
        // from it on brings the next ones too; one standing apart is read alone.
        const bool close = entry.Start >= FLastEnd && entry.Start - FLastEnd <= length;
        FBuffer.resize(close ? std::max<std::size_t>(FPieceSize, length) : length);
        FBufferStart = entry.Start;
        FFilled = 0;
        while (FFilled < FBuffer.size()) {
            const std::size_t got = FIndex.FFile->ReadAt(FBufferStart + FFilled, FBuffer.data() + FFilled, FBuffer.size() - FFilled);
            if (got == 0)
                break;
            FFilled += got;
        }
    }
    FLastEnd = entry.Start + length;
    // A file cut short since it was read gives its lines as far as they go.
    const std::string_view text(FBuffer.data() + (entry.Start - FBufferStart),
                                std::min<std::size_t>(length, FFilled - static_cast<std::size_t>(entry.Start - FBufferStart)));
    FLines.clear();
    for (const std::uint32_t offset : FIndex.LineOffsets(i)) {
        const std::string_view rest = text.substr(std::min<std::size_t>(offset, text.size()));
        FLines.push_back(rest.substr(0, LineLength(rest)));
    }
    return {entry.FirstLine, FLines, entry.Start};
}
