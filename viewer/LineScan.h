#pragma once

#include "ByteScan.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace LineScan {

// Inline so that no library call is made per line where the compiler may not
// use the processor's own instruction.
inline std::uint32_t BitCount(std::uint64_t x)
{
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<std::uint32_t>((x * 0x0101010101010101ULL) >> 56);
}

} // namespace LineScan

// Cuts text into lines by the same rules as ForEachLine (CR, LF, CR LF, LF CR;
// the first NUL ends the text) and counts the "|" of every line in the same
// pass, 64 bytes at a time: onLine(std::string_view line, uint32_t separators).
// Loading a big file is one pass over it instead of two.
template <class F>
void ForEachLineCountingSeparators(std::string_view text, F&& onLine)
{
    using LineScan::BitCount;
    using ByteScan::BlockSize;
    const char* const begin = text.data();
    const std::size_t size = text.size();
    std::size_t lineStart = 0;
    std::uint32_t separators = 0;

    for (std::size_t base = 0; base < size; base += BlockSize) {
        const ByteScan::TBlockMasks masks = ByteScan::ScanAt(begin + base, begin + size);
        std::uint64_t seps = masks.Separators;
        std::uint64_t ends = masks.LineEnds;
        if (lineStart > base) { // the LF of a CR LF that closed the previous block
            const std::uint64_t keep = ~std::uint64_t{0} << (lineStart - base);
            seps &= keep;
            ends &= keep;
        }
        while (ends != 0) {
            const int bit = ByteScan::LowestBit(ends);
            const std::uint64_t below = (std::uint64_t{1} << bit) - 1;
            separators += BitCount(seps & below);
            const std::size_t lineEnd = base + static_cast<std::size_t>(bit);
            const char breakChar = begin[lineEnd];
            if (breakChar == '\0' && lineEnd == lineStart)
                return;
            onLine(std::string_view(begin + lineStart, lineEnd - lineStart), separators);
            if (breakChar == '\0')
                return;
            std::size_t next = lineEnd + 1;
            if (breakChar == '\r' && next < size && begin[next] == '\n')
                ++next;
            lineStart = next;
            separators = 0;
            const std::size_t consumed = next - base;
            if (consumed >= BlockSize) {
                seps = 0;
                ends = 0;
            } else {
                const std::uint64_t keep = ~std::uint64_t{0} << consumed;
                seps &= keep;
                ends &= keep;
            }
        }
        separators += BitCount(seps);
    }
    if (lineStart < size)
        onLine(std::string_view(begin + lineStart, size - lineStart), separators);
}
