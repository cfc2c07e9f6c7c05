#include "TransferScanner.h"

#include "ByteScan.h"

#include <algorithm>

TTransferScanner::TTransferScanner(TSamplingData& data)
    : FWalk(data)
{
}

void TTransferScanner::Feed(const char* p, std::size_t count)
{
    const char* const end = p + count;
    while (p < end) {
        switch (FState) {
        case EState::Ended:
            return;
        case EState::AfterCr:
            if (*p == '\n')
                ++p;
            FState = EState::LineStart;
            break;
        case EState::LineStart:
            if (*p == '\0') {
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
            p = ScanLine(p, end);
            break;
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

void TTransferScanner::Capture(const char* p, std::size_t n)
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

const char* TTransferScanner::EndLine(const char* lineEnd)
{
    FPending = true;
    switch (*lineEnd) {
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
    return lineEnd + 1;
}

const char* TTransferScanner::ScanLine(const char* p, const char* end)
{
    using namespace ByteScan;
    while (p < end) {
        const TBlockMasks masks = ScanAt(p, end);
        std::size_t avail = std::min<std::size_t>(BlockSize, static_cast<std::size_t>(end - p));
        std::uint64_t sep = masks.Separators;
        std::uint64_t eol = masks.LineEnds;

        // The first two fields are looked at; stop at each of their ends.
        while (FFacts.Separators < 2) {
            const std::uint64_t stops = sep | eol;
            if (stops == 0) {
                Capture(p, avail);
                p += avail;
                avail = 0;
                break;
            }
            const unsigned at = static_cast<unsigned>(LowestBit(stops));
            Capture(p, at);
            if (p[at] != '|')
                return EndLine(p + at);
            if (++FFacts.Separators == 1)
                FFacts.FirstIsThree = FFacts.First.Equals("3");
            FFacts.Empty = false;
            FFacts.LastByte = '|';
            p += at + 1;
            avail -= at + 1;
            if (avail == 0)
                break;
            sep >>= at + 1;
            eol >>= at + 1;
        }
        if (avail == 0)
            continue;

        // Behind them, separators are only counted.
        if (eol == 0) {
            FFacts.Separators += static_cast<unsigned>(BitCount(sep));
            FFacts.Empty = false;
            FFacts.LastByte = p[avail - 1];
            p += avail;
            continue;
        }
        const unsigned at = static_cast<unsigned>(LowestBit(eol));
        FFacts.Separators += static_cast<unsigned>(BitCount(sep & ((std::uint64_t(1) << at) - 1)));
        if (at > 0) {
            FFacts.Empty = false;
            FFacts.LastByte = p[at - 1];
        }
        return EndLine(p + at);
    }
    return end;
}
