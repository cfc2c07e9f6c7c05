#pragma once

#include "AsciiText.h"
#include "Fields.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Reads field 55 (the end line's count of parameter lines) as it streams
// past, however many leading zeros it carries: decimal with an optional sign,
// or hexadecimal behind "$", "x", "X", "0x" or "0X" standing for the signed
// 32-bit number with those bits; -1 when it is no valid 32-bit number.
class TCountParser {
public:
    void Reset() { *this = TCountParser(); }

    void Add(const char* p, std::size_t n)
    {
        for (std::size_t i = 0; i < n && FState != EState::Invalid; ++i) {
            const char c = p[i];
            if (IsTrimmed(c)) {
                if (FState != EState::Leading)
                    FBlankSeen = true;
                continue;
            }
            if (FBlankSeen) {
                FState = EState::Invalid;
                return;
            }
            Step(c);
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
    enum class EState : std::uint8_t { Leading,
                                       Sign,
                                       Zero,
                                       Decimal,
                                       HexStart,
                                       Hex,
                                       Invalid };

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

// The number in a field 55 already cut out of its line.
inline std::int32_t ConvertParameterCount(std::string_view field)
{
    TCountParser parser;
    parser.Add(field.data(), field.size());
    return parser.Value();
}
