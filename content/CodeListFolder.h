#pragma once

#include <optional>
#include <string>
#include <vector>

// Where the code lists are looked for when no folder is named: a folder
// "Kodelisten" beside the program, then, on Linux, the folder where an
// administrator puts the office's lists. No environment variable is read.

constexpr const char* SystemCodeListFolder = "/usr/share/morvask-betrachter/kodelisten";

// The folders in the order they are tried.
std::vector<std::string> CodeListFolderCandidates(const std::string& programFolder);

// The first of them that is a folder, or nullopt.
std::optional<std::string> FindCodeListFolder(const std::string& programFolder);

// The folder of the running program's file (UTF-8 on Windows), empty when the
// system does not say.
std::string ProgramFolder();
