#pragma once

#include "ByteScan.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The one line cutter of the transfer format. CR, LF and CR LF end a line (LF
// CR is a break and then an empty line); a break at the very end adds no
// empty line; the first NUL ends the text. Lines are not trimmed.
//
// Bytes arrive in chunks of any size and are scanned 64 at a time for "|" and
// the line ends. The sink hears, inlined:
//   BeginLine(const char* at)   a line, possibly empty, begins at `at`;
//   LineBytes(const char* p, std::size_t n, std::uint64_t separators)
//                               n > 0 bytes of it; bit i of separators marks p[i] == '|';
//   EndLine()                   the line is complete.
template <class TSink>
class TLineCutter {
public:
    explicit TLineCutter(TSink& sink)
        : FSink(sink)
    {
    }

    // True once a NUL has ended the text: later bytes are ignored.
    bool Ended() const { return FState == EState::Ended; }
    // True when the bytes so far ended with a line break, so that a next
    // byte that is neither LF nor NUL begins a line.
    bool AtLineStart() const { return FState == EState::LineStart || FState == EState::AfterCr; }

    void Feed(const char* bytes, std::size_t count)
    {
#ifdef MORVASK_SCAN_AVX2
        if (ByteScan::UseAvx2()) {
            FeedAvx2(bytes, count);
            return;
        }
#endif
        FeedWith<ByteScan::TBaseline>(bytes, count);
    }

    // Call once after the last chunk: ends a line that no break ended.
    void Finish()
    {
        if (FState == EState::InLine)
            FSink.EndLine();
        FState = EState::Ended;
    }

private:
    enum class EState { LineStart,
                        InLine,
                        AfterCr,
                        Ended };

#ifdef MORVASK_SCAN_AVX2
    MORVASK_TARGET_AVX2 void FeedAvx2(const char* bytes, std::size_t count)
    {
        FeedWith<ByteScan::TAvx2>(bytes, count);
    }
#endif

    template <class TScan>
    MORVASK_ALWAYS_INLINE void FeedWith(const char* bytes, std::size_t count)
    {
        using ByteScan::BlockSize;
        using ByteScan::LowestBit;
        using ByteScan::TBlockMasks;
        for (std::size_t blockStart = 0; blockStart < count; blockStart += BlockSize) {
            const char* const block = bytes + blockStart;
            const auto avail = static_cast<unsigned>(std::min<std::size_t>(BlockSize, count - blockStart));
            const TBlockMasks masks = avail == BlockSize ? TScan::Scan64(block) : ByteScan::ScanTail(block, avail);
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
                    if (!BeginLine(block, pos))
                        return;
                    break;
                case EState::InLine: {
                    const std::uint64_t separators = masks.Separators >> pos;
                    const std::uint64_t ends = masks.LineEnds >> pos;
                    if (ends == 0) {
                        FSink.LineBytes(block + pos, avail - pos, separators);
                        pos = avail;
                        break;
                    }
                    const auto length = static_cast<unsigned>(LowestBit(ends));
                    if (length > 0)
                        FSink.LineBytes(block + pos, length, separators & ((std::uint64_t(1) << length) - 1));
                    FSink.EndLine();
                    const char lineEnd = block[pos + length];
                    pos += length + 1;
                    if (lineEnd == '\0') {
                        FState = EState::Ended;
                        return;
                    }
                    // Most lines end in CR LF inside the block: take the LF and
                    // begin the next line here rather than in further rounds.
                    if (lineEnd == '\r') {
                        if (pos == avail) {
                            FState = EState::AfterCr;
                            break;
                        }
                        if (block[pos] == '\n')
                            ++pos;
                    }
                    FState = EState::LineStart;
                    if (pos < avail && !BeginLine(block, pos))
                        return;
                    break;
                }
                }
            }
        }
    }

    // At a line start: a NUL ends the text (false), anything else begins a line.
    bool BeginLine(const char* block, unsigned pos)
    {
        if (block[pos] == '\0') {
            FState = EState::Ended;
            return false;
        }
        FSink.BeginLine(block + pos);
        FState = EState::InLine;
        return true;
    }

    TSink& FSink;
    EState FState = EState::LineStart;
};

// A line gathered from what the cutter reports of it in pieces: where it
// begins and ends, and how many "|" it holds. A sink derives from it and adds EndLine.
struct TLineGatherer {
    const char* Begin = nullptr;
    const char* End = nullptr;
    std::uint32_t Separators = 0;

    void BeginLine(const char* at)
    {
        Begin = End = at;
        Separators = 0;
    }
    void LineBytes(const char* p, std::size_t n, std::uint64_t separators)
    {
        End = p + n;
        Separators += static_cast<std::uint32_t>(ByteScan::BitCount(separators));
    }
    std::string_view Text() const { return std::string_view(Begin, static_cast<std::size_t>(End - Begin)); }
};

// Calls onLine(std::string_view line, std::uint32_t separators) for each line
// of text held whole in memory, with the number of "|" in it.
template <class F>
void ForEachLineCountingSeparators(std::string_view text, F&& onLine)
{
    struct TSink : TLineGatherer {
        explicit TSink(F& f) : OnLine(f) { }
        F& OnLine;
        void EndLine() { OnLine(Text(), Separators); }
    } sink(onLine);
    TLineCutter<TSink> cutter(sink);
    cutter.Feed(text.data(), text.size());
    cutter.Finish();
}
// Calls onLine(std::string_view) for each line of text held whole in memory.
template <class F>
void ForEachLine(std::string_view text, F&& onLine)
{
    ForEachLineCountingSeparators(text, [&onLine](std::string_view line, std::uint32_t) { onLine(line); });
}

// The length of the line that begins text: up to its first CR, LF or NUL.
inline std::size_t LineLength(std::string_view text)
{
    return static_cast<std::size_t>(ByteScan::FindLineEnd(text.data(), text.data() + text.size()) - text.data());
}
