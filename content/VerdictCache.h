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
// combination is a few fields of one line, joined into one key; a slot holds
// the last key that hashed to it.
class TVerdictCache {
public:
    static constexpr std::size_t Slots = 16384;

    TVerdictCache() : FSlots(std::make_unique<std::array<TSlot, Slots>>()) { }

    // Joins the values into the key that Passed and Pass take; a NUL ends
    // each, since no field holds one (the line cutter ends the text there).
    template <std::size_t N>
    std::string_view Key(const std::array<std::string_view, N>& values)
    {
        FKey.clear();
        for (const std::string_view v : values) {
            FKey += v;
            FKey += '\0';
        }
        FHash = Hash(FKey);
        return FKey;
    }

    // True when the key last made is known to pass.
    bool Passed() const
    {
        const TSlot& slot = (*FSlots)[FHash % Slots];
        return slot.Used && slot.Hash == FHash && slot.Key == FKey;
    }

    // Notes that the key last made passed.
    void Pass()
    {
        TSlot& slot = (*FSlots)[FHash % Slots];
        slot.Hash = FHash;
        slot.Used = true;
        slot.Key = FKey;
    }

private:
    struct TSlot {
        std::uint64_t Hash = 0;
        bool Used = false;
        std::string Key;
    };

    static std::uint64_t Hash(std::string_view key);

    std::unique_ptr<std::array<TSlot, Slots>> FSlots;
    std::string FKey;
    std::uint64_t FHash = 0;
};
