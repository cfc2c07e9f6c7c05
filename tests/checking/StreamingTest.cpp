#include "CheckTestSupport.h"
#include "Fields.h"
#include "LineListCheck.h"
#include "Lines.h"
#include "TransferFileCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

// The streaming reader and walk hold only a few bytes of each line; these
// tests hold them against plain implementations of the reading rules and of
// the line-list walk, on many generated files and at every buffer boundary.

namespace {

std::string RandomField(std::mt19937& random)
{
    static const char* const pieces[] = {"1", "2", "3", "E", "e", "MATW", "matw", "0", "02", "+2", "$2", "0x2",
                                         "x", " ", "\t", "\xA0", "Leitf\xE4higkeit", "\xB5S/cm", "-1", "11"};
    std::string field;
    const int n = static_cast<int>(random() % 3);
    for (int i = 0; i < n; ++i)
        field += pieces[random() % (sizeof pieces / sizeof *pieces)];
    return field;
}

std::string RandomLine(std::mt19937& random)
{
    static const int fieldCounts[] = {0, 1, 2, 2, 3, 10, 10, 11, 11, 11, 12, 31, 32, 32, 33};
    const int kind = static_cast<int>(random() % 6);
    std::string line;
    int fields = fieldCounts[random() % (sizeof fieldCounts / sizeof *fieldCounts)];
    const char* const firsts[] = {"1", "2", "3", "2", "3", "x"};
    for (int f = 0; f < fields; ++f) {
        line += f == 0 ? std::string(firsts[kind]) : RandomField(random);
        if (f == 1 && random() % 2)
            line += std::string(random() % 70, random() % 2 ? '0' : ' ');
        line += '|';
    }
    switch (random() % 5) {
    case 0:
        if (!line.empty())
            line.pop_back();
        break;
    case 1:
        line += RandomField(random);
        break;
    default:
        break;
    }
    return line;
}

std::string RandomText(std::mt19937& random)
{
    static const char* const ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r", "\n\r", "\r\r\n"};
    std::string text;
    const int lines = static_cast<int>(random() % 14);
    for (int i = 0; i < lines; ++i) {
        text += RandomLine(random);
        if (i + 1 < lines || random() % 2)
            text += ends[random() % (sizeof ends / sizeof *ends)];
    }
    if (random() % 25 == 0 && !text.empty())
        text.insert(random() % text.size(), 1, '\0');
    return text;
}

// Each line as the cutter gives it, with its count of "|", beside the same
// from the byte-by-byte rules.
using TCutLines = std::vector<std::pair<std::string, std::uint32_t>>;

TCutLines CutLines(std::string_view text)
{
    TCutLines lines;
    ForEachLineCountingSeparators(text, [&](std::string_view line, std::uint32_t separators) {
        lines.emplace_back(std::string(line), separators);
    });
    return lines;
}

// Runs body with the baseline scan and, where the processor has it, with the
// AVX2 scan: both copies of the hot loops must cut alike.
template <class F>
void ForEachScan(F&& body)
{
#ifdef MORVASK_SCAN_AVX2
    bool& use = ByteScan::UseAvx2();
    const bool available = use;
    for (const bool wide : {false, true}) {
        if (wide && !available)
            continue;
        use = wide;
        SCOPED_TRACE(wide ? "AVX2 scan" : "baseline scan");
        body();
    }
    use = available;
#else
    body();
#endif
}

TCutLines ExpectedLines(std::string_view text)
{
    TCutLines lines;
    for (const std::string& line : NaiveLines(text))
        lines.emplace_back(line, static_cast<std::uint32_t>(std::count(line.begin(), line.end(), '|')));
    return lines;
}

TEST(StreamingReader, LinesAgreeWithTheByteByByteRules)
{
    ForEachScan([&] {
        std::mt19937 random(20261015);
        for (int round = 0; round < 3000; ++round) {
            const std::string text = RandomText(random);
            ASSERT_EQ(CutLines(text), ExpectedLines(text)) << testing::PrintToString(text);
        }
        // Short alphabets put every mix of breaks, separators and NULs at every
        // offset within a 64-byte block.
        const char alphabet[] = {'a', 'a', '|', '|', '\r', '\n', ' ', '\0'};
        for (int round = 0; round < 3000; ++round) {
            std::string text(random() % 300, 'a');
            for (char& c : text)
                c = alphabet[random() % (round % 2 == 0 ? 7 : 8)];
            ASSERT_EQ(CutLines(text), ExpectedLines(text)) << testing::PrintToString(text);
        }
    });
}

TEST(StreamingReader, LineEndsAtBlockBorders)
{
    ForEachScan([&] {
        using namespace std::string_literals;
        const std::string a63(63, 'a'), a64(64, 'a');
        const std::string cases[] = {
            a63 + "\r\nb|c",
            a63 + "\r\n",
            a64 + "\n|",
            std::string(200, '|') + "\n" + std::string(130, '|'),
            std::string(1000, 'a') + "|" + std::string(1000, 'a') + "|\r\nx",
            std::string(150, '\n') + "a|",
            a64 + "\0x|"s,
            "a|b\n\0c\n"s,
        };
        for (const std::string& text : cases)
            EXPECT_EQ(CutLines(text), ExpectedLines(text)) << testing::PrintToString(text);
    });
}

TEST(StreamingWalk, AgreesWithTheLineListWalkOnGeneratedFiles)
{
    ForEachScan([&] {
        std::mt19937 random(4711);
        for (int round = 0; round < 3000; ++round) {
            const std::string text = RandomText(random);
            TSamplingData reference;
            CheckLines(NaiveLines(text), reference);
            for (std::size_t chunk : {std::size_t(1), std::size_t(1 + random() % 80), std::size_t(1) << 18}) {
                TSamplingData streamed;
                CheckTransferBytes(text, streamed, chunk);
                ASSERT_EQ(VerdictOf(streamed), VerdictOf(reference))
                    << "chunk " << chunk << " text " << testing::PrintToString(text);
            }
        }
    });
}

TEST(StreamingWalk, LongLinesAcrossManyBuffers)
{
    ForEachScan([&] {
        const std::string h1 = "1|E|" + std::string(300000, 'a') + "|" + std::string(29, '|');
        const std::string h2 = " 2" + std::string(100000, ' ') + "|" + std::string(100000, '\t') + "mAtW|" + std::string(8, '|');
        const std::string longCount = "3|" + std::string(200000, '0') + "1" + std::string(5000, ' ');
        const std::string p = "2|" + std::string(70000, 'x') + "|||||||||";
        struct Case {
            std::string Text;
            TFindings Expected;
        };
        const Case cases[] = {
            {h1 + "\r\n" + h2 + "\r\n" + p + "|\r\n" + longCount + "\r\n", {}},
            {h1 + "\r\n" + h2 + "\r\n" + p + "\r\n" + longCount, {{3, 22}, {4, 36}}},
            {h1 + "x\r\n" + h2 + "\r\n" + longCount, {{1, 11}, {3, 36}}},
            {std::string(500000, '|') + "\n", {{1, 22}, {2, 37}}},
        };
        for (const Case& c : cases) {
            TSamplingData reference;
            CheckLines(NaiveLines(c.Text), reference);
            EXPECT_EQ(FindingsOf(reference), c.Expected);
            for (std::size_t chunk : {7u, 4096u, 65536u}) {
                TSamplingData streamed;
                CheckTransferBytes(c.Text, streamed, chunk);
                EXPECT_EQ(VerdictOf(streamed), VerdictOf(reference)) << "chunk " << chunk;
            }
        }
    });
}

} // namespace
