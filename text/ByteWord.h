#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Tests on eight bytes of text at once, so that writers copy clean runs whole
// and look at single bytes only where something must change.
namespace ByteWord {

constexpr std::uint64_t Ones = 0x0101010101010101u;
constexpr std::uint64_t Highs = 0x8080808080808080u;

inline std::uint64_t Load(const char* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Whether LoadShort and FirstFlagged can be used: they count bytes from the low end.
constexpr bool LittleEndian = std::endian::native == std::endian::little;

// The index of the lowest byte flagged in a nonzero mask of high bits.
inline std::size_t FirstFlagged(std::uint64_t flags) { return static_cast<std::size_t>(std::countr_zero(flags)) / 8; }

// The n (1 to 7) bytes at p as the low bytes of a word, zeros above, reading
// nothing beyond them: the last few bytes of a field are tested as a whole too.
inline std::uint64_t LoadShort(const char* p, std::size_t n)
{
    if (n >= 4) {
        std::uint32_t low, high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + n - 4, 4);
        return low | (std::uint64_t{high} << (8 * (n - 4)));
    }
    const auto byte = [p](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i); };
    return byte(0) | byte(n / 2) | byte(n - 1);
}

// The high bits of the low n (below 8) bytes: the flags that count after LoadShort.
constexpr std::uint64_t HighsOf(std::size_t n) { return Highs & ((std::uint64_t{1} << (8 * n)) - 1); }

// Copies n (1 to 7) bytes without a call for the variable length.
inline void CopyShort(char* out, const char* p, std::size_t n)
{
    if (n >= 4) {
        std::memcpy(out + n - 4, p + n - 4, 4);
        std::memcpy(out, p, 4);
        return;
    }
    out[n - 1] = p[n - 1];
    out[n / 2] = p[n / 2];
    out[0] = p[0];
}

// Nonzero when a byte is 0x80 or more.
constexpr std::uint64_t AnyHigh(std::uint64_t x) { return x & Highs; }
// Nonzero when a byte is below n; exact whenever AnyHigh(x) is zero, which
// every caller tests as well.
constexpr std::uint64_t AnyBelow(std::uint64_t x, unsigned n) { return (x - Ones * n) & ~x & Highs; }
constexpr std::uint64_t AnyEqual(std::uint64_t x, unsigned char c) { return AnyBelow(x ^ (Ones * c), 1); }

} // namespace ByteWord
