#include "VerdictCache.h"

#include <cstring>

std::uint64_t TVerdictCache::Mix(std::uint64_t h, std::string_view v)
{
    constexpr std::uint64_t K = 0x9E3779B97F4A7C15u;
    h = (h ^ v.size()) * K;
    std::size_t i = 0;
    for (; i + 8 <= v.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, v.data() + i, 8);
        h = ((h ^ word) * K) ^ (h >> 29);
    }
    if (i < v.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, v.data() + i, v.size() - i);
        h = ((h ^ word) * K) ^ (h >> 29);
    }
    return h ^ (h >> 32);
}
