#include "FileOpenError.h"
#include "FileText.h"
#include "LineListCheck.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

TLineList LinesOf(std::string_view text)
{
    TLineList lines;
    SplitTextIntoLines(text, lines);
    return lines;
}

TEST(LineReading, LineEndsAndNul)
{
    using namespace std::string_literals;
    struct Case {
        std::string Text;
        TLineList Expected;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb\r\n\r\n", {"a", "b", ""}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\n\r", {"a", ""}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"\r\r\n", {"", ""}},
        {"ab\0cd\r\nef"s, {"ab"}},
        {"ab\r\n\0cd"s, {"ab"}},
        {"\0abc"s, {}},
        {"ab\r\0\ncd"s, {"ab"}},
        {"\xEF\xBB\xBF"
         "1|E|",
         {"\xEF\xBB\xBF"
          "1|E|"}},
        {"  a \t\r\n", {"  a \t"}},
        {"aB|c\r\n", {"aB|c"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LinesOf(c.Text), c.Expected) << testing::PrintToString(c.Text);
}

TEST(LineReading, LongLinesAcrossScanBlocks)
{
    for (std::size_t length : {63u, 64u, 65u, 127u, 128u, 1000u}) {
        const std::string line(length, 'x');
        EXPECT_EQ(LinesOf(line + "\r\n" + line), (TLineList{line, line})) << length;
    }
}

TEST(LineReading, ReadsFilesAndRefusesTheRest)
{
    TTempDir dir;
    const std::string file = dir.Write("a.dat", "1|E|\r\n2|MATW|\r\n");
    TLineList lines{"stale"};
    ReadFileIntoLines(file, lines);
    EXPECT_EQ(lines, (TLineList{"1|E|", "2|MATW|"}));
    EXPECT_EQ(TFileText::Read(file).Text(), "1|E|\r\n2|MATW|\r\n");

#ifdef _WIN32
    // A device and a name that is not UTF-8 are no files either.
    std::vector<std::string> refused = {dir.Path() + "/missing.dat", dir.Path(), "NUL", "\xC4.dat", ""};
#else
    const std::string fifo = dir.Path() + "/pipe.dat";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string unreadable = dir.Write("secret.dat", "x");
    chmod(unreadable.c_str(), 0);
    const bool rootReadsAnything = access(unreadable.c_str(), R_OK) == 0;

    std::vector<std::string> refused = {dir.Path() + "/missing.dat", dir.Path(), fifo, "/dev/zero", ""};
    if (!rootReadsAnything)
        refused.push_back(unreadable);
#endif
    for (const std::string& path : refused) {
        try {
            ReadFileIntoLines(path, lines);
            ADD_FAILURE() << "no failure for " << path;
        } catch (const EFileOpenError& e) {
            EXPECT_EQ(e.Path(), path);
            EXPECT_EQ(std::string(e.what()), "Datei " + path + " kann nicht geöffnet werden");
        }
    }
#ifndef _WIN32
    if (rootReadsAnything)
        GTEST_SKIP() << "the unreadable file was left out: this user reads any file";
#endif
}

// Read in pieces: each call sees the text so far; a stop keeps what was read;
// a file that grows while it is read is read to its new end, and the text
// then moves, the one case in which it may.
TEST(LineReading, ReadsInPieces)
{
    TTempDir dir;
    const std::string text = "1|E|\r\n2|MATW|\r\n3|1\r\n";
    const std::string file = dir.Write("a.dat", text);
    std::vector<std::string> seen;
    const TFileText whole = TFileText::Read(
        file,
        [&](std::string_view soFar) {
            seen.emplace_back(soFar);
            return true;
        },
        4);
    EXPECT_EQ(whole.Text(), text);
    ASSERT_EQ(seen.size(), (text.size() + 3) / 4);
    for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], text.substr(0, std::min(text.size(), 4 * (i + 1))));

    const TFileText stopped = TFileText::Read(
        file, [](std::string_view soFar) { return soFar.size() < 8; }, 4);
    EXPECT_EQ(stopped.Text(), text.substr(0, 8));

#ifndef _WIN32 // there the open file refuses writers
    // A small file, and one large enough that its buffer is faulted in
    // beside the reads when it has to move.
    const std::string added = "1|E|more\r\n";
    for (const std::string& before : {text, std::string(17 << 20, 'x')}) {
        const std::string path = dir.Write("b.dat", before);
        const char* firstAddress = nullptr;
        const char* lastAddress = nullptr;
        const TFileText grown = TFileText::Read(
            path,
            [&](std::string_view soFar) {
                if (firstAddress == nullptr) {
                    firstAddress = soFar.data();
                    std::ofstream(path, std::ios::binary | std::ios::app) << added;
                }
                lastAddress = soFar.data();
                return true;
            },
            4096);
        EXPECT_TRUE(grown.Text() == before + added) << before.size();
        EXPECT_EQ(grown.Text().data(), lastAddress);
        EXPECT_NE(firstAddress, lastAddress);
    }
#endif
}

} // namespace
