#pragma once

#include "BlockGrammar.h"
#include "ByteScan.h"
#include "FieldLayout.h"
#include "Fields.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The fields of one line that the content check judges, gathered while the
// line streams past. Each is kept up to Cap bytes, so that memory stays the
// same whatever the line's length; a longer value is marked as such.
class TContentLine {
public:
    static constexpr std::size_t Cap = 8192;
    static constexpr int Fields = FieldLayout::Header1.FieldCount;

    void Reset()
    {
        for (int i = 0; i < FUsed; ++i) {
            TField& f = FFields[static_cast<std::size_t>(i)];
            f.Bytes = nullptr;
            f.Size = 0;
            if (f.Owned) {
                f.Copy.clear();
                f.Owned = false;
            }
        }
        FUsed = 0;
        FIndex = 0;
        FOverlong = 0;
    }

    // Which fields to keep, by index in their line (bit i for index i); the
    // first field, which tells an end line, is always kept.
    void KeepFields(std::uint32_t wanted)
    {
        FWanted = wanted | 1u;
        FLast = static_cast<std::uint64_t>(31 - std::countl_zero(FWanted));
    }

    // n bytes of the line; bit i of separators marks p[i] == '|'. They stay
    // valid until Keep is called.
    void Add(const char* p, std::size_t n, std::uint64_t separators)
    {
        // Behind the last field kept, the rest of the line does not matter.
        if (FIndex > FLast)
            return;
        std::size_t pos = 0;
        while (separators != 0) {
            const auto at = static_cast<std::size_t>(ByteScan::LowestBit(separators));
            Capture(p + pos, at - pos);
            ++FIndex;
            pos = at + 1;
            separators &= separators - 1;
        }
        Capture(p + pos, n - pos);
    }

    // The bytes handed to Add are about to go: fields that point into them
    // are copied, up to Cap bytes each.
    void Keep()
    {
        for (int i = 0; i < FUsed; ++i) {
            TField& f = FFields[static_cast<std::size_t>(i)];
            if (!f.Owned && f.Size > 0) {
                f.Copy.assign(f.Bytes, f.Size);
                f.Owned = true;
            }
        }
    }

    // Field index (from 0) of the line, trimmed; empty when the line has none.
    std::string_view Field(int index) const
    {
        if (index < 0 || index >= FUsed)
            return {};
        const TField& f = FFields[static_cast<std::size_t>(index)];
        return TrimField(f.Owned ? std::string_view(f.Copy) : std::string_view(f.Bytes, f.Size));
    }
    // Whether field index was longer than Cap and is cut there.
    bool Overlong(int index) const { return index >= 0 && index < Fields && ((FOverlong >> index) & 1) != 0; }

private:
    // A field points into the bytes fed while they last, and is copied only
    // when a line goes on in the next chunk.
    struct TField {
        const char* Bytes = nullptr;
        std::size_t Size = 0;
        bool Owned = false;
        std::string Copy;
    };

    void Capture(const char* p, std::size_t n)
    {
        if (n == 0 || FIndex > FLast || ((FWanted >> FIndex) & 1) == 0)
            return;
        const auto index = static_cast<int>(FIndex);
        const std::uint32_t bit = std::uint32_t{1} << index;
        if ((FOverlong & bit) != 0)
            return;
        TField& f = FFields[static_cast<std::size_t>(index)];
        if (index >= FUsed) {
            for (int i = FUsed; i < index; ++i) {
                TField& gap = FFields[static_cast<std::size_t>(i)];
                gap.Size = 0;
                gap.Owned = false;
                gap.Copy.clear();
            }
            FUsed = index + 1;
        }
        const std::size_t held = f.Owned ? f.Copy.size() : f.Size;
        if (held == 0) {
            while (n > 0 && IsTrimmed(*p)) {
                ++p;
                --n;
            }
            if (n == 0)
                return;
        }
        if (n > Cap - held) {
            FOverlong |= bit;
            n = Cap - held;
        }
        if (f.Owned) {
            f.Copy.append(p, n);
        } else if (held == 0) {
            f.Bytes = p;
            f.Size = n;
        } else if (f.Bytes + f.Size == p) {
            f.Size += n;
        } else {
            f.Copy.assign(f.Bytes, f.Size);
            f.Copy.append(p, n);
            f.Owned = true;
        }
    }

    std::array<TField, Fields> FFields;
    int FUsed = 0; // fields below this may hold bytes
    std::uint64_t FIndex = 0; // the field the next byte belongs to
    std::uint32_t FOverlong = 0;
    std::uint32_t FWanted = 0xFFFFFFFFu;
    std::uint64_t FLast = Fields - 1; // the highest index kept
};

// What the block walk asks of a line: the check's rule, its first field trimmed is "3".
inline bool IsEndLine(const TContentLine& line, const TBlockRules&) { return line.Field(0) == FieldLayout::EndKind; }
inline bool IsBlankLine(const TContentLine&) { return false; } // the check has no blank-line rule
