#include "VerdictCache.h"

#include <bit>
#include <cstring>

std::uint64_t TVerdictCache::Hash(std::string_view key)
{
    constexpr std::uint64_t K = 0x9E3779B97F4A7C15u;
    std::uint64_t h = key.size() * K;
    std::size_t i = 0;
    for (; i + 8 <= key.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, key.data() + i, 8);
        h = (std::rotl(h, 23) ^ word) * K;
    }
    if (i < key.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, key.data() + i, key.size() - i);
        h = (std::rotl(h, 23) ^ word) * K;
    }
    // The slot is taken from the low bits: every bit of the key must reach them.
    h = (h ^ (h >> 33)) * 0xFF51AFD7ED558CCDu;
    h = (h ^ (h >> 33)) * 0xC4CEB9FE1A85EC53u;
    return h ^ (h >> 33);
}
