#pragma once

#include "AsciiText.h"
#include "FieldLayout.h"
#include "Fields.h"
#include "ParameterCount.h"

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
        // Most fields captured are a line's one-byte kind.
        if (n == 1 && FLength == 0) {
            if (!IsTrimmed(*p)) {
                FBytes[0] = *p;
                FLength = FTrimmedLength = 1;
            }
            return;
        }
        std::size_t i = 0;
        if (FLength == 0) {
            while (i < n && IsTrimmed(p[i]))
                ++i;
        }
        for (; i < n && FLength < Cap; ++i) {
            FBytes[FLength++] = p[i];
            if (!IsTrimmed(p[i]))
                FTrimmedLength = FLength;
        }
        if (i < n) {
            std::size_t j = n;
            while (j > i && IsTrimmed(p[j - 1]))
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
    std::uint64_t FLength = 0; // bytes from the first non-blank on
    std::uint64_t FTrimmedLength = 0; // up to and including the last non-blank
};

struct TLineFacts {
    std::uint64_t Offset = 0; // where the line begins in the file
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

    std::uint64_t FieldCount() const { return FieldCountOf(Empty, Separators, EndsWithSeparator()); }
    bool EndsWithSeparator() const { return !Empty && LastByte == FieldSeparator; }
};
