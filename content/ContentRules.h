#pragma once

#include <string>
#include <string_view>

// The judgements of single values that need no code list. Values are the
// trimmed fields of a transfer file, Windows-1252 bytes.
namespace ContentRules {

// Five digits, nothing else.
bool IsPostcode(std::string_view value);

// A real calendar date, day.month.year (one or two digits for day and month,
// two or four for the year) or year-month-day (four digits for the year),
// optionally followed, after blanks or a "T", by a real time h:mm or h:mm:ss,
// with or without "Uhr". A two-digit year is a leap year when it divides by 4:
// 00 is 2000 in every window a reader of these files uses.
bool IsDateTime(std::string_view value);

// A measured number: a comparison "<", ">", "<=", ">=", "≤" or "≥" (the last
// two as UTF-8 bytes, which is how they reach a Windows-1252 file) with or
// without a blank behind it, a sign, digits with one decimal comma or point,
// and an exponent ("1,5E-3").
bool IsMeasuredNumber(std::string_view value);

// True when a blank or a control character stands inside the value: no code
// of a list may hold one.
bool HasInnerBlank(std::string_view value);

// The value as lists compare it: runs of blanks and control characters made
// one blank, and with foldCase every letter in lower case (Windows-1252, the
// umlauts included). Trimmed input gives trimmed output.
void Normalize(std::string_view value, bool foldCase, std::string& out);

// Whether a and b are the same after Normalize, without building either.
bool EqualNormalized(std::string_view a, std::string_view b, bool foldCase);

// Whether Normalize would change value: most values pass unchanged.
bool NeedsNormalizing(std::string_view value, bool foldCase);

} // namespace ContentRules
