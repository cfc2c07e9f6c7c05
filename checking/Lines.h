#pragma once

#include "ByteScan.h"

#include <string>
#include <string_view>
#include <vector>

// The lines of a transfer file in file order (line numbers count from 1).
using TLineList = std::vector<std::string>;

// Calls onLine(std::string_view) for each line of text: CR, LF, CR LF and
// LF CR (a break, then an empty line) end lines; a break at the very end adds
// no empty line; the first NUL ends the text. Lines are not trimmed.
template <class F>
void ForEachLine(std::string_view text, F&& onLine)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end && *p != '\0') {
        const char* lineEnd = ByteScan::FindLineEnd(p, end);
        onLine(std::string_view(p, static_cast<std::size_t>(lineEnd - p)));
        p = lineEnd;
        if (p < end && *p == '\r')
            ++p;
        if (p < end && *p == '\n')
            ++p;
    }
}

// Empties lines and fills it with the lines of text.
void SplitTextIntoLines(std::string_view text, TLineList& lines);

// Reads the file at path into lines; throws EFileOpenError when it cannot be read.
void ReadFileIntoLines(const std::string& path, TLineList& lines);
