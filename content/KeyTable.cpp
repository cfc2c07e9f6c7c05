#include "KeyTable.h"

#include <bit>
#include <cstring>

std::uint64_t TKeyTable::Hash(std::string_view key)
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

std::size_t TKeyTable::Place(std::uint64_t hash, std::string_view key) const
{
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const TSlot& slot = FSlots[at];
        if (slot.Id == None)
            return at;
        if (slot.Hash == hash && slot.Length == key.size() && FKeys.compare(slot.Offset, slot.Length, key) == 0)
            return at;
    }
}

void TKeyTable::Grow(std::size_t slots)
{
    std::vector<TSlot> old(slots);
    old.swap(FSlots);
    const std::size_t mask = FSlots.size() - 1;
    for (const TSlot& slot : old) {
        if (slot.Id == None)
            continue;
        std::size_t at = slot.Hash & mask;
        while (FSlots[at].Id != None)
            at = (at + 1) & mask;
        FSlots[at] = slot;
    }
}

void TKeyTable::Reserve(std::size_t keys)
{
    // At most half the slots in use: probes stay short.
    const std::size_t wanted = std::bit_ceil(keys * 2 + 2);
    if (wanted > FSlots.size())
        Grow(wanted);
}

std::uint32_t TKeyTable::Add(std::string_view key)
{
    if ((FCount + 1) * 2 > FSlots.size())
        Grow(FSlots.empty() ? 16 : FSlots.size() * 2);
    const std::uint64_t hash = Hash(key);
    TSlot& slot = FSlots[Place(hash, key)];
    if (slot.Id != None)
        return slot.Id;
    slot.Hash = hash;
    slot.Offset = static_cast<std::uint32_t>(FKeys.size());
    slot.Length = static_cast<std::uint32_t>(key.size());
    slot.Id = FCount++;
    FKeys.append(key);
    return slot.Id;
}

std::uint32_t TKeyTable::Find(std::string_view key) const
{
    if (FSlots.empty())
        return None;
    return FSlots[Place(Hash(key), key)].Id;
}
