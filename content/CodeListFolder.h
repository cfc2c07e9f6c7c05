#pragma once

#include "CodeLists.h"

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

// The lists of a content check: from folder when one is named, else from the
// first candidate that is a folder; none when there is none, and then searched
// names the places looked in (UTF-8). Throws ECodeListError.
TCodeLists LoadCodeLists(const std::optional<std::string>& folder, std::string& searched);

// The one note (German, UTF-8) on which checks run without their list; empty
// when every list is there.
std::string MissingListsNote(const TCodeLists& lists, const std::string& searched);
