#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Remembers which combinations of values passed their rules, so that the
// lines of a large file, which repeat a few codes, units and procedures over
// and over, are judged once per combination instead of once per line. A
// combination is a few fields of one line; a slot holds the last one that
// hashed to it.
class TVerdictCache {
public:
    static constexpr std::size_t Slots = 16384;

    TVerdictCache() : FSlots(std::make_unique<std::array<TSlot, Slots>>()) { }

    // The hash of the values, in order.
    template <std::size_t N>
    static std::uint64_t Hash(const std::array<std::string_view, N>& values)
    {
        std::uint64_t h = 0x243F6A8885A308D3u;
        for (const std::string_view v : values)
            h = Mix(h, v);
        // The slot is taken from the low bits: every bit of the values must reach them.
        h = (h ^ (h >> 33)) * 0xFF51AFD7ED558CCDu;
        h = (h ^ (h >> 33)) * 0xC4CEB9FE1A85EC53u;
        return h ^ (h >> 33);
    }

    // True when these values, with this hash, are known to pass.
    template <std::size_t N>
    bool Passed(std::uint64_t hash, const std::array<std::string_view, N>& values) const
    {
        const TSlot& slot = (*FSlots)[hash % Slots];
        if (slot.Hash != hash || !slot.Used)
            return false;
        std::size_t at = 0;
        for (const std::string_view v : values) {
            if (slot.Key.size() < at + v.size() + 1 || slot.Key.compare(at, v.size(), v) != 0 || slot.Key[at + v.size()] != '\0')
                return false;
            at += v.size() + 1;
        }
        return at == slot.Key.size();
    }

    // Notes that these values passed.
    template <std::size_t N>
    void Pass(std::uint64_t hash, const std::array<std::string_view, N>& values)
    {
        TSlot& slot = (*FSlots)[hash % Slots];
        slot.Hash = hash;
        slot.Used = true;
        slot.Key.clear();
        for (const std::string_view v : values) {
            slot.Key += v;
            slot.Key += '\0'; // no field holds a NUL: the line cutter ends the text there
        }
    }

private:
    struct TSlot {
        std::uint64_t Hash = 0;
        bool Used = false;
        std::string Key;
    };

    static std::uint64_t Mix(std::uint64_t h, std::string_view v);

    std::unique_ptr<std::array<TSlot, Slots>> FSlots;
};
