#pragma once

#include "LineFacts.h"
#include "Lines.h"
#include "StructureWalk.h"

#include <cstddef>
#include <cstdint>

// Streams the bytes of a transfer file through the structure walk, in chunks
// of any size: the line cutter cuts the lines, and each is reduced to its
// facts on the fly, so memory stays the same whatever the file or line length.
class TTransferScanner {
public:
    explicit TTransferScanner(TSamplingData& data, TInvestigationObserver* observer = nullptr);

    void Feed(const char* bytes, std::size_t count)
    {
        FChunk = bytes;
        FCutter.Feed(bytes, count);
        FChunkOffset += count;
    }

    // True once a NUL has ended the text: later bytes are ignored.
    bool Ended() const { return FCutter.Ended(); }

    // Call once after the last chunk.
    void Finish();

    // Instead of Finish, when the bytes fed are the first part of a longer
    // file and the byte that follows them is neither a line break nor NUL:
    // true when they ended with a complete end line, so that the rest begins
    // a new examination and can be checked as a file of its own.
    bool FinishBeforeInvestigation();
    std::int64_t Lines() const { return FWalk.Lines(); }

    // What the line cutter calls.
    void BeginLine(const char* at);
    void LineBytes(const char* p, std::size_t n, std::uint64_t separators);
    void EndLine() { FPending = true; }

private:
    void Capture(const char* p, std::size_t n);

    TStructureWalk FWalk;
    TLineFacts FFacts;
    TLineCutter<TTransferScanner> FCutter;
    bool FPending = false; // FFacts holds a finished line not yet handed on
    const char* FChunk = nullptr; // the chunk being fed, which starts FChunkOffset bytes into the file
    std::uint64_t FChunkOffset = 0;
};

MORVASK_ALWAYS_INLINE void TTransferScanner::BeginLine(const char* at)
{
    // Another line begins, so the finished one was not the last.
    if (FPending)
        FWalk.OnLine(FFacts, false);
    FFacts.Reset();
    FFacts.Offset = FChunkOffset + static_cast<std::uint64_t>(at - FChunk);
    FPending = false;
}

MORVASK_ALWAYS_INLINE void TTransferScanner::Capture(const char* p, std::size_t n)
{
    if (n == 0)
        return;
    if (FFacts.Separators == 0) {
        FFacts.First.Add(p, n);
    } else {
        FFacts.Second.Add(p, n);
        if (FFacts.FirstIsThree)
            FFacts.Count.Add(p, n);
    }
}

MORVASK_ALWAYS_INLINE void TTransferScanner::LineBytes(const char* p, std::size_t n, std::uint64_t separators)
{
    FFacts.Empty = false;
    FFacts.LastByte = p[n - 1];
    // Only the first two fields are kept; behind them, separators are only counted.
    std::size_t pos = 0;
    while (FFacts.Separators < 2) {
        if (separators == 0) {
            Capture(p + pos, n - pos);
            return;
        }
        const auto at = static_cast<std::size_t>(ByteScan::LowestBit(separators));
        Capture(p + pos, at - pos);
        separators &= separators - 1;
        if (++FFacts.Separators == 1)
            FFacts.FirstIsThree = FFacts.First.Equals(FieldLayout::EndKind);
        pos = at + 1;
    }
    FFacts.Separators += static_cast<std::uint64_t>(ByteScan::BitCount(separators));
}
