#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define MORVASK_SCAN_SSE2 1
#endif

// On x86-64 with GCC or Clang (MinGW-w64 too) the hot loops have a second
// copy for processors with AVX2 and POPCNT, chosen when the program runs;
// the baseline copy stays for every other processor.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(__AVX2__)
#include <immintrin.h>
#define MORVASK_SCAN_AVX2 1
#define MORVASK_TARGET_AVX2 __attribute__((target("avx2,popcnt,bmi")))
#endif

// For the few per-line steps of the scan loops, which the compiler might
// otherwise leave as calls.
#if defined(__GNUC__) || defined(__clang__)
#define MORVASK_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define MORVASK_ALWAYS_INLINE inline
#endif

// The one character that separates fields; no other does, and there is no
// quoting or escaping.
constexpr char FieldSeparator = '|';

// Finds the bytes the transfer format cares about ("|", CR, LF, NUL) 64 at a
// time: bit i of a mask stands for byte i of the block.
namespace ByteScan {

constexpr std::size_t BlockSize = 64;

struct TBlockMasks {
    std::uint64_t Separators; // "|"
    std::uint64_t LineEnds; // CR, LF, NUL
};

inline int LowestBit(std::uint64_t mask)
{
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctzll(mask);
#else
    int n = 0;
    while (!(mask & 1)) {
        mask >>= 1;
        ++n;
    }
    return n;
#endif
}

inline int BitCount(std::uint64_t mask)
{
#if defined(__POPCNT__) && (defined(__GNUC__) || defined(__clang__))
    return __builtin_popcountll(mask);
#else
    // Without the popcnt instruction the builtin becomes a library call; this
    // stays inline and branch-free.
    mask = mask - ((mask >> 1) & 0x5555555555555555ULL);
    mask = (mask & 0x3333333333333333ULL) + ((mask >> 2) & 0x3333333333333333ULL);
    mask = (mask + (mask >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((mask * 0x0101010101010101ULL) >> 56);
#endif
}

#ifndef MORVASK_SCAN_SSE2
// High bit set in every byte of x that is zero, exactly (no false positives).
inline std::uint64_t ZeroBytes(std::uint64_t x)
{
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
    return ~(((x & low7) + low7) | x | low7);
}

// Gathers the high bit of each byte into the low 8 bits.
inline unsigned GatherHighBits(std::uint64_t x)
{
    return static_cast<unsigned>(((x >> 7) * 0x0102040810204080ULL) >> 56);
}

inline std::uint64_t Load64(const char* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}
#endif

// Masks for the 64 bytes at p; all 64 must be readable.
inline TBlockMasks Scan64(const char* p)
{
#ifdef MORVASK_SCAN_SSE2
    const __m128i bar = _mm_set1_epi8(FieldSeparator);
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i nul = _mm_setzero_si128();
    const auto quarter = [&](int i, std::uint64_t& sep, std::uint64_t& eol) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        const __m128i ends = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)),
                                          _mm_cmpeq_epi8(v, nul));
        sep = static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, bar)))) << (16 * i);
        eol = static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(ends))) << (16 * i);
    };
    std::uint64_t s0, s1, s2, s3, e0, e1, e2, e3;
    quarter(0, s0, e0);
    quarter(1, s1, e1);
    quarter(2, s2, e2);
    quarter(3, s3, e3);
    const std::uint64_t sep = s0 | s1 | s2 | s3;
    const std::uint64_t eol = e0 | e1 | e2 | e3;
    return {sep, eol};
#else
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    std::uint64_t sep = 0, eol = 0;
    for (int i = 0; i < 8; ++i) {
        const std::uint64_t x = Load64(p + 8 * i);
        const std::uint64_t s = ZeroBytes(x ^ (ones * static_cast<unsigned char>(FieldSeparator)));
        const std::uint64_t e = ZeroBytes(x ^ (ones * '\r')) | ZeroBytes(x ^ (ones * '\n')) | ZeroBytes(x);
        sep |= static_cast<std::uint64_t>(GatherHighBits(s)) << (8 * i);
        eol |= static_cast<std::uint64_t>(GatherHighBits(e)) << (8 * i);
    }
    return {sep, eol};
#endif
}

// Masks for the count (< 64) bytes at p, without reading beyond them.
inline TBlockMasks ScanTail(const char* p, std::size_t count)
{
    char block[BlockSize];
    std::memset(block, 'A', sizeof block);
    std::memcpy(block, p, count);
    return Scan64(block);
}

// Masks for up to 64 bytes at p (fewer at the end), bits beyond end cleared.
inline TBlockMasks ScanAt(const char* p, const char* end)
{
    const auto left = static_cast<std::size_t>(end - p);
    return left >= BlockSize ? Scan64(p) : ScanTail(p, left);
}

// First CR, LF or NUL in [p, end), or end.
inline const char* FindLineEnd(const char* p, const char* end)
{
    while (p < end) {
        const TBlockMasks m = ScanAt(p, end);
        if (m.LineEnds) {
            const char* hit = p + LowestBit(m.LineEnds);
            return hit < end ? hit : end;
        }
        p += BlockSize;
    }
    return end;
}

// The scan as the baseline compiles it.
struct TBaseline {
    static TBlockMasks Scan64(const char* p) { return ByteScan::Scan64(p); }
    static int BitCount(std::uint64_t mask) { return ByteScan::BitCount(mask); }
};

#ifdef MORVASK_SCAN_AVX2
// The same masks 32 bytes at a time, and a one-instruction count; call only
// where UseAvx2() says yes, from a function compiled for it.
struct TAvx2 {
    MORVASK_TARGET_AVX2 static TBlockMasks Scan64(const char* p)
    {
        const __m256i bar = _mm256_set1_epi8(FieldSeparator);
        const __m256i cr = _mm256_set1_epi8('\r');
        const __m256i lf = _mm256_set1_epi8('\n');
        const __m256i nul = _mm256_setzero_si256();
        const auto half = [&](int i, std::uint64_t& sep, std::uint64_t& eol) MORVASK_TARGET_AVX2 {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * i));
            const __m256i ends = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(v, cr), _mm256_cmpeq_epi8(v, lf)),
                                                 _mm256_cmpeq_epi8(v, nul));
            sep = static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, bar)))) << (32 * i);
            eol = static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(ends))) << (32 * i);
        };
        std::uint64_t s0, s1, e0, e1;
        half(0, s0, e0);
        half(1, s1, e1);
        return {s0 | s1, e0 | e1};
    }
    MORVASK_TARGET_AVX2 static int BitCount(std::uint64_t mask) { return __builtin_popcountll(mask); }
};

// Whether the AVX2 copies run: where the processor has what they use. Tests
// switch it off to run the baseline copies on such a processor too.
inline bool& UseAvx2()
{
    static bool use = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt") &&
                      __builtin_cpu_supports("bmi");
    return use;
}
#endif

} // namespace ByteScan
