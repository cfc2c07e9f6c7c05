#pragma once

#include "AsciiText.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// What the structure check needs to know about one line, gathered while the
// line streams past, so that no line is ever held whole.

// The trimmed content of one field, kept up to Cap bytes; longer fields keep
// their trimmed length, which is enough to tell they match no fixed code.
class TFieldCapture {
public:
    static constexpr std::size_t Cap = 8;

    void Reset() { FLength = FTrimmedLength = 0; }

    void Add(const char* p, std::size_t n)
    {
        std::size_t i = 0;
        if (FLength == 0) {
            while (i < n && static_cast<unsigned char>(p[i]) <= 32)
                ++i;
        }
        for (; i < n && FLength < Cap; ++i) {
            FBytes[FLength++] = p[i];
            if (static_cast<unsigned char>(p[i]) > 32)
                FTrimmedLength = FLength;
        }
        if (i < n) {
            std::size_t j = n;
            while (j > i && static_cast<unsigned char>(p[j - 1]) <= 32)
                --j;
            if (j > i)
                FTrimmedLength = FLength + (j - i);
            FLength += n - i;
        }
    }

    bool Equals(std::string_view s) const
    {
        if (FTrimmedLength != s.size())
            return false;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (FBytes[i] != s[i])
                return false;
        }
        return true;
    }

    // Compares after turning a to z into A to Z; upper must be upper case.
    bool EqualsUpper(std::string_view upper) const
    {
        return FTrimmedLength == upper.size() && upper.size() <= Cap &&
               AsciiText::EqualsUpper(std::string_view(FBytes, upper.size()), upper);
    }

private:
    char FBytes[Cap] = {};
    std::uint64_t FLength = 0;        // bytes from the first non-blank on
    std::uint64_t FTrimmedLength = 0; // up to and including the last non-blank
};

// Reads field 55 as it streams past, by the rules of ConvertParameterCount,
// however many leading zeros it carries.
class TCountParser {
public:
    void Reset() { *this = TCountParser(); }

    void Add(const char* p, std::size_t n)
    {
        for (std::size_t i = 0; i < n && FState != EState::Invalid; ++i) {
            const auto c = static_cast<unsigned char>(p[i]);
            if (c <= 32) {
                if (FState != EState::Leading)
                    FBlankSeen = true;
                continue;
            }
            if (FBlankSeen) {
                FState = EState::Invalid;
                return;
            }
            Step(static_cast<char>(c));
        }
    }

    // The number, or -1 when the field is no valid number.
    std::int32_t Value() const
    {
        switch (FState) {
        case EState::Zero:
            return 0;
        case EState::Decimal:
            if (FNegative)
                return FValue > 0x80000000ULL ? -1 : static_cast<std::int32_t>(-static_cast<std::int64_t>(FValue));
            return FValue > 0x7FFFFFFFULL ? -1 : static_cast<std::int32_t>(FValue);
        case EState::Hex:
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(FValue));
        default:
            return -1;
        }
    }

private:
    enum class EState : std::uint8_t { Leading, Sign, Zero, Decimal, HexStart, Hex, Invalid };

    void Step(char c)
    {
        const bool digit = c >= '0' && c <= '9';
        switch (FState) {
        case EState::Leading:
            if (c == '+' || c == '-') {
                FNegative = c == '-';
                FState = EState::Sign;
            } else if (c == '0') {
                FState = EState::Zero;
            } else if (digit) {
                FValue = static_cast<unsigned>(c - '0');
                FState = EState::Decimal;
            } else if (c == '$' || c == 'x' || c == 'X') {
                FState = EState::HexStart;
            } else {
                FState = EState::Invalid;
            }
            break;
        case EState::Zero:
            if (c == 'x' || c == 'X') {
                FState = EState::HexStart;
                break;
            }
            [[fallthrough]];
        case EState::Sign:
        case EState::Decimal:
            if (!digit) {
                FState = EState::Invalid;
                break;
            }
            FValue = FValue * 10 + static_cast<unsigned>(c - '0');
            FState = FValue > 0x80000000ULL ? EState::Invalid : EState::Decimal;
            break;
        case EState::HexStart:
        case EState::Hex: {
            const int d = AsciiText::HexDigit(c);
            if (d < 0) {
                FState = EState::Invalid;
                break;
            }
            FValue = FValue * 16 + static_cast<unsigned>(d);
            FState = FValue > 0xFFFFFFFFULL ? EState::Invalid : EState::Hex;
            break;
        }
        case EState::Invalid:
            break;
        }
    }

    EState FState = EState::Leading;
    bool FNegative = false;
    bool FBlankSeen = false;
    std::uint64_t FValue = 0;
};

struct TLineFacts {
    std::uint64_t Separators = 0;
    bool Empty = true;
    char LastByte = 0;
    bool FirstIsThree = false; // known once the first separator is passed
    TFieldCapture First;
    TFieldCapture Second;
    TCountParser Count; // fed only when the first field is "3"

    void Reset()
    {
        Separators = 0;
        Empty = true;
        LastByte = 0;
        FirstIsThree = false;
        First.Reset();
        Second.Reset();
        Count.Reset();
    }

    // The number of fields the splitting rules give.
    std::uint64_t FieldCount() const { return Empty ? 0 : Separators + (LastByte == '|' ? 0 : 1); }
    bool EndsWithSeparator() const { return !Empty && LastByte == '|'; }
};
