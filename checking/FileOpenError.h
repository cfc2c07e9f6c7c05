#pragma once

#include "SystemError.h"

#include <stdexcept>
#include <string>
#include <string_view>

// "Datei %s kann nicht geöffnet werden", the one text for a file that cannot
// be read, in whatever encoding the caller shows: fromCp1252 turns the fixed
// Windows-1252 words into it, and path is already in it.
template <class TText, class TFromCp1252>
TText CannotOpenText(const TText& path, TFromCp1252&& fromCp1252)
{
    return fromCp1252(std::string_view("Datei ")) + path +
           fromCp1252(std::string_view(" kann nicht ge\xF6"
                                       "ffnet werden"));
}

// The one failure of a check that is not a finding: the file cannot be read.
// what() is the Windows-1252 text; Path() keeps the caller's path bytes so a
// display can decode them as a file name rather than as Windows-1252. Why()
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
