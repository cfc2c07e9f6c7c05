#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

// Remembers which combinations of values passed their rules, so that the
// lines of a large file, which repeat a few codes, units and procedures over
// and over, are judged once per combination instead of once per line. A
// combination is a few fields of one line; a slot holds the last one that
// hashed to it, joined into one key kept in the slot itself, so that a lookup
// touches one place. A longer combination is judged every time.
class TVerdictCache {
public:
    static constexpr std::size_t Slots = 8192;
    static constexpr std::size_t KeyCap = 240;

    TVerdictCache() : FSlots(std::make_unique<std::array<TSlot, Slots>>()) { }

    // True when values are known to pass. The values are hashed and compared
    // where they stand: most lines are asked about and few are ever stored.
    template <std::size_t N>
    bool Passed(const std::array<std::string_view, N>& values)
    {
        static_assert(N > 0, "an empty slot must not match");
        std::uint64_t h = N;
        std::size_t size = 0;
        for (const std::string_view v : values) {
            h = Mix(h, v);
            size += v.size() + 1;
        }
        FHash = Finish(h);
        FSize = size;
        const TSlot& slot = (*FSlots)[FHash % Slots];
        return slot.Size == size && slot.Hash == FHash && Same(slot.Key, values);
    }

    // Notes that the values last asked about passed.
    template <std::size_t N>
    void Pass(const std::array<std::string_view, N>& values)
    {
        if (FSize > KeyCap)
            return;
        TSlot& slot = (*FSlots)[FHash % Slots];
        slot.Hash = FHash;
        slot.Size = static_cast<std::uint32_t>(FSize);
        // A NUL ends each value, since no field holds one (the line cutter ends the text there).
        char* at = slot.Key;
        for (const std::string_view v : values) {
            if (!v.empty())
                std::memcpy(at, v.data(), v.size());
            at[v.size()] = '\0';
            at += v.size() + 1;
        }
    }

private:
    struct TSlot {
        std::uint64_t Hash = 0;
        std::uint32_t Size = 0; // 0: empty, since every key holds a NUL per value
        char Key[KeyCap];
    };

    template <std::size_t N>
    static bool Same(const char* key, const std::array<std::string_view, N>& values)
    {
        const char* at = key;
        for (const std::string_view v : values) {
            if (!SameBytes(at, v.data(), v.size()) || at[v.size()] != '\0')
                return false;
            at += v.size() + 1;
        }
        return true;
    }

    // Values are short: words compared here cost less than a call of memcmp
    // each, and the last word overlaps the one before rather than going byte by byte.
    static bool SameBytes(const char* a, const char* b, std::size_t n)
    {
        if (n < 8) {
            if (n >= 4)
                return Word<std::uint32_t>(a) == Word<std::uint32_t>(b) &&
                       Word<std::uint32_t>(a + n - 4) == Word<std::uint32_t>(b + n - 4);
            // Up to three bytes: the first, the middle and the last are all of them.
            return n == 0 || (a[0] == b[0] && a[n / 2] == b[n / 2] && a[n - 1] == b[n - 1]);
        }
        for (std::size_t i = 0; i + 8 < n; i += 8) {
            if (Word<std::uint64_t>(a + i) != Word<std::uint64_t>(b + i))
                return false;
        }
        return Word<std::uint64_t>(a + n - 8) == Word<std::uint64_t>(b + n - 8);
    }

    template <class TWord>
    static TWord Word(const char* p)
    {
        TWord w;
        std::memcpy(&w, p, sizeof w);
        return w;
    }

    // The length and the first and last bytes of a value: enough to tell the
    // combinations of a file apart, and a collision costs only a judgement.
    static std::uint64_t Mix(std::uint64_t h, std::string_view v)
    {
        constexpr std::uint64_t K = 0x9E3779B97F4A7C15u;
        const std::size_t n = v.size();
        std::uint64_t head = 0, tail = 0;
        if (n >= 8) {
            std::memcpy(&head, v.data(), 8);
            std::memcpy(&tail, v.data() + n - 8, 8);
        } else if (n >= 4) {
            std::uint32_t a, b;
            std::memcpy(&a, v.data(), 4);
            std::memcpy(&b, v.data() + n - 4, 4);
            head = a;
            tail = b;
        } else if (n > 0) {
            head = static_cast<unsigned char>(v[0]) | static_cast<std::uint64_t>(static_cast<unsigned char>(v[n / 2])) << 8 |
                   static_cast<std::uint64_t>(static_cast<unsigned char>(v[n - 1])) << 16;
        }
        h = ((h << 23 | h >> 41) ^ head ^ (static_cast<std::uint64_t>(n) << 56)) * K;
        return ((h << 23 | h >> 41) ^ tail) * K;
    }

    // The slot is taken from the low bits: every bit must reach them.
    static std::uint64_t Finish(std::uint64_t h)
    {
        h = (h ^ (h >> 33)) * 0xFF51AFD7ED558CCDu;
        return h ^ (h >> 33);
    }

    std::unique_ptr<std::array<TSlot, Slots>> FSlots;
    std::uint64_t FHash = 0;
    std::size_t FSize = 0;
};
