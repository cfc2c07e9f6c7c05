#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The keys of a code list, each with a dense id in the order first added: one
// buffer for all keys and one array of slots, so that a list of 100,000
// entries fills in a few allocations and a lookup costs one hash and a
// compare or two.
class TKeyTable {
public:
    static constexpr std::uint32_t None = 0xFFFFFFFFu;

    // Room for this many keys without growing.
    void Reserve(std::size_t keys);
    // The id of key, a new one when the table lacks it.
    std::uint32_t Add(std::string_view key);
    // The id of key, or None.
    std::uint32_t Find(std::string_view key) const;
    std::size_t Size() const { return FCount; }

private:
    struct TSlot {
        std::uint64_t Hash = 0;
        std::uint32_t Offset = 0;
        std::uint32_t Length = 0;
        std::uint32_t Id = None;
    };
    static std::uint64_t Hash(std::string_view key);
    std::size_t Place(std::uint64_t hash, std::string_view key) const;
    void Grow(std::size_t slots);

    std::vector<TSlot> FSlots;
    std::string FKeys;
    std::uint32_t FCount = 0;
};
