#pragma once

#include "TempDir.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Transfer files that pass the check, for the export's walk, its tables and
// its output: blocks of every line end, cut and odd byte.

inline std::string Line(std::string first, int count, const std::string& filler)
{
    for (int i = 1; i < count; ++i)
        first += "|" + filler + std::to_string(i);
    return first + "|";
}

// One block: header lines, n parameter lines, end line; br between lines.
inline std::string Block(int n, const std::string& filler, const std::string& br)
{
    std::string b = Line("1|E", 31, filler) + br + Line("2|MATW", 9, filler) + br;
    for (int k = 0; k < n; ++k)
        b += Line("2", 11, filler) + br;
    return b + "3|" + std::to_string(n) + br;
}

// A block whose parameter fields hold one odd byte at every place in every
// length up to two words and a bit: the writers treat whole words and the
// bytes after the last one apart.
inline std::string OddBytesEverywhere()
{
    std::vector<std::string> fields;
    for (const char odd : std::string("\",\\\x7f\x01\xfc\x81\xb5"))
        for (std::size_t length = 1; length <= 17; ++length)
            for (std::size_t at = 0; at < length; ++at)
                fields.push_back(std::string(length, 'a').replace(at, 1, 1, odd));
    std::string lines;
    for (std::size_t k = 0; k + 10 < fields.size(); k += 10) {
        lines += "2";
        for (std::size_t i = k; i < k + 10; ++i)
            lines += "|" + fields[i];
        lines += "|\n";
    }
    const std::size_t n = std::count(lines.begin(), lines.end(), '\n');
    return Line("1|E", 31, "f") + "\n" + Line("2|MATW", 9, "f") + "\n" + lines + "3|" + std::to_string(n) + "\n";
}

// Files that pass the check, with every kind of line end, cut and odd byte.
struct TWalkCase {
    const char* Name;
    std::string Bytes;
};

inline std::vector<TWalkCase> WalkCases()
{
    const std::string odd = " M\xFC"
                            "ller \"&\" \xB5g,l;x \x81 =SUMME(A1) \t";
    return {
        {"crlf", Block(2, "f", "\r\n") + Block(0, "g", "\r\n")},
        {"lf", Block(1, "f", "\n") + Block(3, "g", "\n")},
        {"cr", Block(3, "f", "\r") + Block(1, "g", "\r")},
        {"no final break", Block(1, "f", "\r\n") + "1|E|2|3"},
        {"end line with separator", Block(0, "x", "\n").replace(Block(0, "x", "\n").size() - 4, 3, "3|0|")},
        {"odd bytes", Block(2, odd, "\r\n") + Block(0, "", "\r\n")},
        {"odd bytes everywhere", OddBytesEverywhere()},
        {"lone line behind", Block(2, "f", "\r\n") + "kein Block\r\n"},
        {"NUL ends the text", Block(1, "f", "\n") + std::string(1, '\0') + "Rest|"},
        {"end line as the last line after header line 1", Block(1, "f", "\n") + Line("1|E", 31, "h") + "\n3|0\n"},
    };
}

inline std::string Slurp(const std::string& path)
{
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
