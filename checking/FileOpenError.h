#pragma once

#include "SystemError.h"

#include <stdexcept>
#include <string>
#include <string_view>

// "Datei %s kann nicht geöffnet werden", the one text for a file that cannot
// be read, in whatever encoding the caller shows: fromUtf8 turns the fixed
// words into it, and path is already in it.
template <class TText, class TFromUtf8>
TText CannotOpenText(const TText& path, TFromUtf8&& fromUtf8)
{
    return fromUtf8(std::string_view("Datei ")) + path + fromUtf8(std::string_view(" kann nicht geöffnet werden"));
}

// The same in UTF-8, for a path already in UTF-8.
inline std::string CannotOpenText(const std::string& utf8Path)
{
    return CannotOpenText(utf8Path, [](std::string_view utf8) { return std::string(utf8); });
}

// The one failure of a check that is not a finding: the file cannot be read.
// what() is UTF-8, as every exception's text, with the path as given; Path()
// keeps the caller's path bytes so that a display can decode them as a file name. Why()
// is the system's reason, for callers that name it.
class EFileOpenError : public std::runtime_error {
public:
    explicit EFileOpenError(const std::string& path, TSystemError why = {});

    const std::string& Path() const { return FPath; }
    const TSystemError& Why() const { return FWhy; }

private:
    std::string FPath;
    TSystemError FWhy;
};
