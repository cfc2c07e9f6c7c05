#pragma once

#include <stdexcept>
#include <string>

// The one failure of a check that is not a finding: the file cannot be read.
// what() is the Windows-1252 text; Path() keeps the caller's path bytes so a
// display can decode them as a file name rather than as Windows-1252.
class EFileOpenError : public std::runtime_error {
public:
    explicit EFileOpenError(const std::string& path);

    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};
