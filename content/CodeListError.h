#pragma once

#include "SystemError.h"

#include <cstdint>
#include <stdexcept>
#include <string>

// A code list, or the folder of the lists, that cannot be used: it cannot be
// read, or a line of it is malformed. what() is the whole German text in
// UTF-8, "Kodeliste PATH, Zeile N: PROBLEM." (without ", Zeile N" when the
// file as a whole is meant), with the system's reason where it gave one.
class ECodeListError : public std::runtime_error {
public:
    // path as given (UTF-8); line 0 for the whole file; problem a German
    // phrase in UTF-8 without a final full stop.
    ECodeListError(const std::string& path, std::int64_t line, const std::string& problem, TSystemError why = {});

    const std::string& Path() const { return FPath; }
    std::int64_t Line() const { return FLine; }
    const std::string& Problem() const { return FProblem; }
    const TSystemError& Why() const { return FWhy; }

    // For the folder of the lists rather than one list.
    static ECodeListError Folder(const std::string& path, const std::string& problem, TSystemError why = {});

private:
    ECodeListError(std::string text, const std::string& path, std::int64_t line, const std::string& problem,
                   TSystemError why);

    std::string FPath;
    std::int64_t FLine;
    std::string FProblem;
    TSystemError FWhy;
};
