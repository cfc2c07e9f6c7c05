#pragma once

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

// Nonzero when a byte is 0x80 or more.
constexpr std::uint64_t AnyHigh(std::uint64_t x) { return x & Highs; }
// Nonzero when a byte is below n; exact whenever AnyHigh(x) is zero, which
// every caller tests as well.
constexpr std::uint64_t AnyBelow(std::uint64_t x, unsigned n) { return (x - Ones * n) & ~x & Highs; }
constexpr std::uint64_t AnyEqual(std::uint64_t x, unsigned char c) { return AnyBelow(x ^ (Ones * c), 1); }

} // namespace ByteWord
