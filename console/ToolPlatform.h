#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// What the command-line tools need from the operating system, in one place.

// The arguments after the program name. On Windows they are taken in Unicode
// and handed on as UTF-8, so names outside the ANSI code page survive; on
// Linux they are the bytes the system passed.
std::vector<std::string> ToolArguments(int argc, char** argv);

// Prepares stdout and stderr: on Windows they stay binary, so a "\n" leaves as
// LF alone and output is the same bytes as on Linux.
void PrepareToolOutput();

// For a window program's text answers (--help): started from a console, it
// has no standard output of its own on Windows and borrows that console's;
// output redirected into a file or a pipe stays there.
void BorrowParentConsole();

// Writes UTF-8 text. A Windows console gets it through its wide API, so that
// umlauts show whatever its code page; files and pipes get the bytes. False
// when the text could not be written.
bool WriteText(std::FILE* stream, std::string_view utf8);

// Whether stream goes to a terminal (on Windows a console), where a line may
// be overwritten; false for files and pipes.
bool IsTerminal(std::FILE* stream);
