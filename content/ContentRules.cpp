#include "ContentRules.h"

#include <cstddef>

namespace ContentRules {

namespace {

    bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

    // Reads 'min' to 'max' digits at pos into number; false when there are fewer
    // or more.
    bool Digits(std::string_view s, std::size_t& pos, std::size_t min, std::size_t max, int& number)
    {
        std::size_t n = 0;
        number = 0;
        while (pos < s.size() && IsDigit(s[pos])) {
            if (++n > max)
                return false;
            number = number * 10 + (s[pos] - '0');
            ++pos;
        }
        return n >= min;
    }

    bool Take(std::string_view s, std::size_t& pos, char c)
    {
        if (pos < s.size() && s[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }

    int DaysInMonth(int year, int month)
    {
        static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        if (month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))
            return 29;
        return days[month - 1];
    }

    bool RealDate(int year, int month, int day)
    {
        return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
    }

    bool Date(std::string_view s, std::size_t& pos)
    {
        const std::size_t start = pos;
        int a = 0, b = 0, c = 0;
        if (Digits(s, pos, 1, 2, a) && Take(s, pos, '.') && Digits(s, pos, 1, 2, b) && Take(s, pos, '.')) {
            const std::size_t yearStart = pos;
            if (!Digits(s, pos, 2, 4, c) || pos - yearStart == 3)
                return false;
            // A two-digit year: 2000 plus it decides the leap year as any window does.
            return RealDate(pos - yearStart == 2 ? 2000 + c : c, b, a);
        }
        pos = start;
        if (Digits(s, pos, 4, 4, a) && Take(s, pos, '-') && Digits(s, pos, 1, 2, b) && Take(s, pos, '-') &&
            Digits(s, pos, 1, 2, c))
            return RealDate(a, b, c);
        return false;
    }

    bool Time(std::string_view s, std::size_t& pos)
    {
        int h = 0, m = 0, sec = 0;
        if (!Digits(s, pos, 1, 2, h) || !Take(s, pos, ':') || !Digits(s, pos, 2, 2, m))
            return false;
        if (Take(s, pos, ':') && !Digits(s, pos, 2, 2, sec))
            return false;
        return h <= 23 && m <= 59 && sec <= 59;
    }

    bool IsUhr(std::string_view s)
    {
        return s.size() == 3 && (s[0] == 'U' || s[0] == 'u') && (s[1] == 'H' || s[1] == 'h') && (s[2] == 'R' || s[2] == 'r');
    }

    char Lower(char c)
    {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
            return static_cast<char>(b + 0x20);
        switch (b) {
        case 0x8A: // Š
        case 0x8C: // Œ
        case 0x8E: // Ž
            return static_cast<char>(b + 0x10);
        case 0x9F: // Ÿ
            return static_cast<char>(0xFF);
        default:
            return c;
        }
    }

} // namespace

bool IsPostcode(std::string_view value)
{
    if (value.size() != 5)
        return false;
    for (char c : value) {
        if (!IsDigit(c))
            return false;
    }
    return true;
}

bool IsDateTime(std::string_view value)
{
    std::size_t pos = 0;
    if (!Date(value, pos))
        return false;
    if (pos == value.size())
        return true;
    if (value[pos] == 'T') {
        ++pos;
    } else {
        if (!IsBlank(value[pos]))
            return false;
        while (pos < value.size() && IsBlank(value[pos]))
            ++pos;
    }
    if (!Time(value, pos))
        return false;
    while (pos < value.size() && IsBlank(value[pos]))
        ++pos;
    return pos == value.size() || IsUhr(value.substr(pos));
}

bool IsMeasuredNumber(std::string_view value)
{
    std::size_t pos = 0;
    if (value.substr(0, 3) == "\xE2\x89\xA4" || value.substr(0, 3) == "\xE2\x89\xA5") {
        pos = 3;
    } else if (pos < value.size() && (value[pos] == '<' || value[pos] == '>')) {
        ++pos;
        Take(value, pos, '=');
    }
    if (pos > 0) {
        while (pos < value.size() && IsBlank(value[pos]))
            ++pos;
    }
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-'))
        ++pos;
    int ignored = 0;
    const std::size_t intStart = pos;
    Digits(value, pos, 0, value.size(), ignored);
    bool digits = pos > intStart;
    if (pos < value.size() && (value[pos] == ',' || value[pos] == '.')) {
        ++pos;
        const std::size_t fracStart = pos;
        Digits(value, pos, 0, value.size(), ignored);
        if (pos == fracStart)
            return false;
        digits = true;
    }
    if (!digits)
        return false;
    if (pos < value.size() && (value[pos] == 'E' || value[pos] == 'e')) {
        ++pos;
        if (pos < value.size() && (value[pos] == '+' || value[pos] == '-'))
            ++pos;
        if (!Digits(value, pos, 1, value.size(), ignored))
            return false;
    }
    return pos == value.size();
}

bool HasInnerBlank(std::string_view value)
{
    for (char c : value) {
        if (IsBlank(c))
            return true;
    }
    return false;
}

bool NeedsNormalizing(std::string_view value, bool foldCase)
{
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (IsBlank(c) && (c != ' ' || (i + 1 < value.size() && IsBlank(value[i + 1]))))
            return true;
        if (foldCase && Lower(c) != c)
            return true;
    }
    return false;
}

bool EqualNormalized(std::string_view a, std::string_view b, bool foldCase)
{
    std::size_t i = 0, j = 0;
    const auto skip = [](std::string_view s, std::size_t& k) {
        while (k < s.size() && IsBlank(s[k]))
            ++k;
    };
    skip(a, i);
    skip(b, j);
    while (i < a.size() && j < b.size()) {
        const bool blankA = IsBlank(a[i]), blankB = IsBlank(b[j]);
        if (blankA != blankB)
            return false;
        if (blankA) {
            skip(a, i);
            skip(b, j);
            // A run of blanks at the end is trimmed away on both sides.
            if ((i == a.size()) != (j == b.size()))
                return false;
            continue;
        }
        if ((foldCase ? Lower(a[i]) : a[i]) != (foldCase ? Lower(b[j]) : b[j]))
            return false;
        ++i;
        ++j;
    }
    skip(a, i);
    skip(b, j);
    return i == a.size() && j == b.size();
}

void Normalize(std::string_view value, bool foldCase, std::string& out)
{
    out.clear();
    bool blank = false;
    for (char c : value) {
        if (IsBlank(c)) {
            blank = true;
            continue;
        }
        if (blank && !out.empty())
            out += ' ';
        blank = false;
        out += foldCase ? Lower(c) : c;
    }
}

} // namespace ContentRules
