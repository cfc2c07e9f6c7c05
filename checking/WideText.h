#pragma once

// UTF-8, as paths and text travel here on every system, and the UTF-16 of
// Windows' wide calls: converted in this one place.
#ifdef _WIN32

#include <string>
#include <string_view>

// Text for a wide call. Invalid UTF-8 gives an empty result and valid false
// when valid is given; without it, U+FFFD stands in for the invalid bytes.
std::wstring Utf8ToWide(std::string_view utf8, bool* valid = nullptr);

// A path for a wide call: empty when it is no valid UTF-8 or holds a NUL,
// which no file matches. A path of MAX_PATH characters or more is made full
// and given the \\?\ prefix (\\?\UNC\ for a network path), the only form the
// system opens past that length.
std::wstring WidePath(std::string_view path);

// What a wide call gave, as UTF-8; up to the first NUL.
std::string WideToUtf8(std::wstring_view wide);

#endif
