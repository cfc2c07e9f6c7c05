#include "TransferScanner.h"

#include "ByteScan.h"

#include <algorithm>

TTransferScanner::TTransferScanner(TSamplingData& data)
    : FWalk(data)
{
}

inline void TTransferScanner::Capture(const char* p, std::size_t n)
{
    if (n == 0)
        return;
    FFacts.Empty = false;
    FFacts.LastByte = p[n - 1];
    if (FFacts.Separators == 0) {
        FFacts.First.Add(p, n);
    } else {
        FFacts.Second.Add(p, n);
        if (FFacts.FirstIsThree)
            FFacts.Count.Add(p, n);
    }
}

inline void TTransferScanner::EndLine(char lineEnd)
{
    FPending = true;
    switch (lineEnd) {
    case '\r':
        FState = EState::AfterCr;
        break;
    case '\n':
        FState = EState::LineStart;
        break;
    default: // NUL: nothing behind it counts
        FState = EState::Ended;
        break;
    }
}

#if defined(__GNUC__) || defined(__clang__)
__attribute__((always_inline))
#endif
inline unsigned TTransferScanner::ScanLine(const char* block, unsigned pos, unsigned avail, std::uint64_t sep,
                                    std::uint64_t eol)
{
    using namespace ByteScan;
    // sep and eol are shifted so that bit 0 stands for block[pos].
    while (FFacts.Separators < 2) {
        const std::uint64_t stops = sep | eol;
        if (stops == 0) {
            Capture(block + pos, avail - pos);
            return avail;
        }
        const auto skip = static_cast<unsigned>(LowestBit(stops));
        const unsigned at = pos + skip;
        Capture(block + pos, skip);
        if (block[at] != '|') {
            EndLine(block[at]);
            return at + 1;
        }
        if (++FFacts.Separators == 1)
            FFacts.FirstIsThree = FFacts.First.Equals("3");
        FFacts.Empty = false;
        FFacts.LastByte = '|';
        pos = at + 1;
        if (pos >= avail)
            return avail;
        sep >>= skip + 1;
        eol >>= skip + 1;
    }

    // Behind the first two fields, separators are only counted.
    if (eol == 0) {
        FFacts.Separators += static_cast<unsigned>(BitCount(sep));
        FFacts.Empty = false;
        FFacts.LastByte = block[avail - 1];
        return avail;
    }
    const auto skip = static_cast<unsigned>(LowestBit(eol));
    FFacts.Separators += static_cast<unsigned>(BitCount(sep & ((std::uint64_t(1) << skip) - 1)));
    if (skip > 0) {
        FFacts.Empty = false;
        FFacts.LastByte = block[pos + skip - 1];
    }
    EndLine(block[pos + skip]);
    return pos + skip + 1;
}

void TTransferScanner::Feed(const char* bytes, std::size_t count)
{
    using namespace ByteScan;
    // Each 64-byte block is scanned once; the loop then walks its marked bytes.
    for (std::size_t blockStart = 0; blockStart < count && FState != EState::Ended; blockStart += BlockSize) {
        const char* const block = bytes + blockStart;
        const auto avail = static_cast<unsigned>(std::min<std::size_t>(BlockSize, count - blockStart));
        const TBlockMasks masks = avail == BlockSize ? Scan64(block) : ScanTail(block, avail);
        unsigned pos = 0;
        while (pos < avail) {
            switch (FState) {
            case EState::Ended:
                return;
            case EState::AfterCr:
                if (block[pos] == '\n')
                    ++pos;
                FState = EState::LineStart;
                break;
            case EState::LineStart:
                if (block[pos] == '\0') {
                    FState = EState::Ended;
                    return;
                }
                // Another line begins, so the finished one was not the last.
                if (FPending)
                    FWalk.OnLine(FFacts, false);
                FFacts.Reset();
                FPending = false;
                FState = EState::InLine;
                break;
            case EState::InLine:
                pos = ScanLine(block, pos, avail, masks.Separators >> pos, masks.LineEnds >> pos);
                break;
            }
        }
    }
}

void TTransferScanner::Finish()
{
    if (FPending || FState == EState::InLine)
        FWalk.OnLine(FFacts, true);
    FPending = false;
    FState = EState::Ended;
    FWalk.Finish();
}

