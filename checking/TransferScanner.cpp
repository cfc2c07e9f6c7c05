#include "TransferScanner.h"

#include <algorithm>

TTransferScanner::TTransferScanner(TSamplingData& data, TInvestigationObserver* observer)
    : FWalk(data, observer)
{
}

MORVASK_ALWAYS_INLINE void TTransferScanner::BeginLine(std::uint64_t offset)
{
    // Another line begins, so the finished one was not the last.
    if (FPending)
        FWalk.OnLine(FFacts, false);
    FFacts.Reset();
    FFacts.Offset = offset;
    FPending = false;
    FCapturedFields = FWalk.InParameters() ? 1 : 2;
}

MORVASK_ALWAYS_INLINE void TTransferScanner::CaptureField(const char* p, std::size_t n)
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

MORVASK_ALWAYS_INLINE std::uint64_t TTransferScanner::Capture(const char* p, std::size_t n, std::uint64_t separators)
{
    std::size_t pos = 0;
    while (FFacts.Separators < FCapturedFields) {
        if (separators == 0) {
            CaptureField(p + pos, n - pos);
            return 0;
        }
        const auto at = static_cast<std::size_t>(ByteScan::LowestBit(separators));
        CaptureField(p + pos, at - pos);
        separators &= separators - 1;
        if (++FFacts.Separators == 1) {
            FFacts.FirstIsThree = FFacts.First.Equals(FieldLayout::EndKind);
            if (FFacts.FirstIsThree)
                FCapturedFields = 2;
        }
        pos = at + 1;
    }
    return separators;
}

// The rules of TLineCutter, with the state of the current line kept in
// registers: behind its leading fields a line costs a count of its "|" per
// block of 64 bytes.
template <class TScan>
MORVASK_ALWAYS_INLINE void TTransferScanner::FeedWith(const char* bytes, std::size_t count)
{
    using ByteScan::BlockSize;
    using ByteScan::LowestBit;
    using ByteScan::TBlockMasks;
    EState state = FState;
    std::uint64_t separators = FFacts.Separators; // of the current line so far
    for (std::size_t blockStart = 0; blockStart < count && state != EState::Ended; blockStart += BlockSize) {
        const char* const block = bytes + blockStart;
        const auto avail = static_cast<unsigned>(std::min<std::size_t>(BlockSize, count - blockStart));
        const TBlockMasks masks = avail == BlockSize ? TScan::Scan64(block) : ByteScan::ScanTail(block, avail);
        unsigned pos = 0;
        while (pos < avail) {
            if (state == EState::InLine) {
                const std::uint64_t ends = masks.LineEnds >> pos;
                std::uint64_t seps = masks.Separators >> pos;
                const unsigned length = ends == 0 ? avail - pos : static_cast<unsigned>(LowestBit(ends));
                if (length > 0) {
                    if (ends != 0)
                        seps &= (std::uint64_t(1) << length) - 1;
                    FFacts.Empty = false;
                    FFacts.LastByte = block[pos + length - 1];
                    if (separators < FCapturedFields) {
                        FFacts.Separators = separators;
                        seps = Capture(block + pos, length, seps);
                        separators = FFacts.Separators;
                    }
                    separators += static_cast<std::uint64_t>(TScan::BitCount(seps));
                }
                if (ends == 0)
                    break;
                FFacts.Separators = separators;
                FPending = true;
                const char lineEnd = block[pos + length];
                pos += length + 1;
                if (lineEnd == '\0') {
                    state = EState::Ended;
                    break;
                }
                // Most lines end in CR LF inside the block.
                if (lineEnd == '\r') {
                    if (pos == avail) {
                        state = EState::AfterCr;
                        break;
                    }
                    if (block[pos] == '\n')
                        ++pos;
                }
                state = EState::LineStart;
                continue;
            }
            if (state == EState::AfterCr) {
                if (block[pos] == '\n')
                    ++pos;
                state = EState::LineStart;
                continue;
            }
            // At a line start: a NUL ends the text, anything else begins a line.
            if (block[pos] == '\0') {
                state = EState::Ended;
                break;
            }
            BeginLine(FFed + blockStart + pos);
            separators = 0;
            state = EState::InLine;
        }
    }
    FState = state;
    FFacts.Separators = separators;
    FFed += count;
}

#ifdef MORVASK_SCAN_AVX2
MORVASK_TARGET_AVX2 void TTransferScanner::FeedAvx2(const char* bytes, std::size_t count)
{
    FeedWith<ByteScan::TAvx2>(bytes, count);
}
#endif

void TTransferScanner::Feed(const char* bytes, std::size_t count)
{
#ifdef MORVASK_SCAN_AVX2
    if (ByteScan::UseAvx2()) {
        FeedAvx2(bytes, count);
        return;
    }
#endif
    FeedWith<ByteScan::TBaseline>(bytes, count);
}

void TTransferScanner::Finish()
{
    // A line that no break ended ends here.
    if (FState == EState::InLine)
        FPending = true;
    FState = EState::Ended;
    if (FPending)
        FWalk.OnLine(FFacts, true);
    FPending = false;
    FWalk.Finish();
}

bool TTransferScanner::FinishBeforeInvestigation()
{
    if (FState != EState::LineStart && FState != EState::AfterCr)
        return false;
    // The line that follows makes this one not the last.
    if (FPending)
        FWalk.OnLine(FFacts, false);
    FPending = false;
    return FWalk.BetweenBlocks();
}
