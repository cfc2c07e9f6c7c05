#include "CheckTestSupport.h"
#include "FileNameCheck.h"
#include "FileOpenError.h"
#include "LineFacts.h"
#include "LineListCheck.h"
#include "Lines.h"
#include "ParameterCount.h"
#include "TempDir.h"
#include "TransferFileCheck.h"

#include "TransferText.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

using TransferText::Join;
const std::string H1 = TransferText::Header1(1);
const std::string H2 = TransferText::Header2(1);
const std::string P = TransferText::Parameter(1, 0);

std::string WorkedExample(const std::string& eol = "\r\n")
{
    return Join({H1, H2, P, P, "3|2"}, eol);
}

struct TStructureCase {
    const char* Name;
    std::string Text;
    TFindings Expected;
    std::int32_t Investigations;
    std::int32_t Parameters;
    std::int32_t Lines;
    std::int32_t Unexamined = 0; // the lone line behind the last block, when it is not blank
};

void PrintTo(const TStructureCase& c, std::ostream* out)
{
    *out << c.Name;
}

std::vector<TStructureCase> StructureCases()
{
    std::string h1Lower = H1;
    h1Lower[2] = 'e';
    std::string h2Lower = H2;
    h2Lower.replace(2, 4, "matw");
    std::string h2Mixed = H2;
    h2Mixed.replace(2, 4, "Matw");
    std::string h1Wrong = H1;
    h1Wrong.replace(0, 3, "0|x");
    std::string h1Padded = " 1 |" + H1.substr(2);
    std::string h1Zero = "0" + H1;
    std::string h1NoBar = H1.substr(0, H1.size() - 1);
    std::string h1Short = H1.substr(0, H1.size() - 4);
    std::string h2WrongBoth = "3|MATX|" + H2.substr(7);
    std::string h2NoBar = H2.substr(0, H2.size() - 1);
    std::string pNoBar = P.substr(0, P.size() - 1);

    return {
        {"worked example", WorkedExample(), {}, 1, 2, 5},
        {"lone LF line ends", WorkedExample("\n"), {}, 1, 2, 5},
        {"lone CR line ends", WorkedExample("\r"), {}, 1, 2, 5},
        {"no break after the end line", Join({H1, H2, P, P}) + "3|2", {}, 1, 2, 5},
        {"variant 1: parameter line without final bar", Join({H1, H2, P, pNoBar, "3|2"}), {{4, 22}, {5, 36}}, 1, 1, 5},
        {"variant 2: wrong codes and no end line", Join({h1Wrong, H2, P, P}), {{1, 0}, {1, 1}, {5, 37}}, 1, 2, 4},
        {"empty file", "", {{1, 37}}, 1, 0, 0},
        {"file starting with NUL", "\0"s + WorkedExample(), {{1, 37}}, 1, 0, 0},
        {"one line behind the last block is never examined", WorkedExample() + "garbage\r\n", {}, 1, 2, 6, 6},
        {"one header line behind the last block", WorkedExample() + H1, {}, 1, 2, 6, 6},
        {"one bar behind the last block", WorkedExample() + "|", {}, 1, 2, 6, 6},
        {"one blank line behind the last block", WorkedExample() + " \t\r\n", {}, 1, 2, 6, 0},
        {"two empty lines start a new block", WorkedExample() + "\r\n\r\n", {{6, 11}, {7, 22}, {8, 37}}, 2, 2, 7},
        {"header line 1 alone", Join({H1}), {{1, 22}, {2, 37}}, 1, 0, 1},
        {"header lines 1 and 2 alone", Join({H1, H2}), {{2, 22}, {3, 37}}, 1, 0, 2},
        {"block without parameter lines", Join({H1, H2, "3|0"}), {}, 1, 0, 3},
        {"end line alone", "3|0", {}, 1, 0, 1},
        {"end line alone with wrong count", "3|1\r\n", {{1, 36}}, 1, 0, 1},
        {"lower-case codes", Join({h1Lower, h2Lower, P, "3|1", h1Lower, h2Mixed, "3|0"}), {}, 2, 1, 7},
        {"field 1 with a leading zero", Join({h1Zero.substr(0, 1) + H1, H2, "3|0"}), {{1, 0}}, 1, 0, 3},
        {"field 1 trimmed", Join({h1Padded, H2, "3|0"}), {}, 1, 0, 3},
        {"header line 1 without final bar", Join({h1NoBar, H2, "3|0"}), {{1, 11}}, 1, 0, 3},
        {"header line 1 with 31 fields", Join({h1Short, H2, "3|0"}), {{1, 11}}, 1, 0, 3},
        {"header line 2 wrong codes", Join({H1, h2WrongBoth, "3|0"}), {{2, 19}, {2, 20}}, 1, 0, 3},
        {"header line 2 without final bar", Join({H1, h2NoBar, "3|0"}), {{2, 12}}, 1, 0, 3},
        {"end line with final bar", Join({H1, H2, P, P, "3|2|"}), {}, 1, 2, 5},
        {"count 02", Join({H1, H2, P, P, "3|02"}), {}, 1, 2, 5},
        {"count +2", Join({H1, H2, P, P, "3|+2"}), {}, 1, 2, 5},
        {"count $2", Join({H1, H2, P, P, "3|$2"}), {}, 1, 2, 5},
        {"count x2", Join({H1, H2, P, P, "3|x2"}), {}, 1, 2, 5},
        {"count 0x2", Join({H1, H2, P, P, "3|0x2"}), {}, 1, 2, 5},
        {"count with many leading zeros", Join({H1, H2, P, P, "3|" + std::string(300, '0') + "2"}), {}, 1, 2, 5},
        {"count with blanks around", Join({H1, H2, P, P, " 3 | 2 \t"}), {}, 1, 2, 5},
        {"count 2.0", Join({H1, H2, P, P, "3|2.0"}), {{5, 36}}, 1, 2, 5},
        {"count 2 0", Join({H1, H2, P, P, "3|2 0"}), {{5, 36}}, 1, 2, 5},
        {"count empty", Join({H1, H2, P, P, "3||"}), {{5, 36}}, 1, 2, 5},
        {"count minus zero", Join({H1, H2, "3|-0"}), {}, 1, 0, 3},
        {"count $FFFFFFFF is -1", Join({H1, H2, P, "3|$FFFFFFFF"}), {{4, 36}}, 1, 1, 4},
        {"count too large", Join({H1, H2, "3|4294967296"}), {{3, 36}}, 1, 0, 3},
        {"end line with one field", Join({H1, H2, P, P, "3|"}), {{5, 35}}, 1, 2, 5},
        {"end line with three fields", Join({H1, H2, P, P, "3|2|x"}), {{5, 35}}, 1, 2, 5},
        {"byte-order mark", "\xEF\xBB\xBF" + WorkedExample(), {{1, 0}}, 1, 2, 5},
        {"parameter kind 02", Join({H1, H2, "02" + P.substr(1), "3|1"}), {{3, 25}}, 1, 1, 4},
        {"parameter kind empty", Join({H1, H2, P.substr(1), "3|1"}), {{3, 25}}, 1, 1, 4},
        {"parameter line with 12 fields", Join({H1, H2, P + "x|", "3|0"}), {{3, 22}}, 1, 0, 4},
        {"parameter line with a blank behind the last bar", Join({H1, H2, P + " ", "3|0"}), {{3, 22}}, 1, 0, 4},
        {"empty parameter line", Join({H1, H2, "", "3|0"}), {{3, 22}}, 1, 0, 4},
        {"missing end line joins two blocks", Join({H1, H2, P, H1, H2, P, "3|1"}), {{4, 22}, {5, 22}, {7, 36}}, 1, 2, 7},
        {"NUL ends the text", WorkedExample() + "\0garbage\r\n\r\n"s, {}, 1, 2, 5},
        {"NUL inside a line", Join({H1, H2}) + "2|p44\0|p45"s, {{3, 22}, {4, 37}}, 1, 0, 3},
        {"LF CR adds an empty line", Join({H1, H2, P, P, "3|2"}, "\n\r"), {{2, 12}, {3, 22}, {4, 22}, {6, 22}, {8, 22}}, 1, 2, 10},
        {"two blocks", WorkedExample() + WorkedExample(), {}, 2, 4, 10},
    };
}

class StructureCheck : public testing::TestWithParam<TStructureCase> { };

TEST_P(StructureCheck, LineListWalk)
{
    const TStructureCase& c = GetParam();
    TLineList lines;
    SplitTextIntoLines(c.Text, lines);
    TSamplingData data;
    CheckLines(lines, data);
    EXPECT_EQ(FindingsOf(data), c.Expected);
    EXPECT_EQ(data.InvestigationCount, c.Investigations);
    EXPECT_EQ(data.ParameterCount, c.Parameters);
    EXPECT_EQ(data.LineCount, c.Lines);
    EXPECT_EQ(data.MessageCount, static_cast<std::int32_t>(c.Expected.size()));
    if (c.Expected.empty()) {
        EXPECT_EQ(data.MessageText, "OK");
    }
}

TEST_P(StructureCheck, StreamingWalkInAnyChunkSize)
{
    const TStructureCase& c = GetParam();
    TLineList lines;
    SplitTextIntoLines(c.Text, lines);
    TSamplingData reference;
    CheckLines(lines, reference);
    for (std::size_t chunk : {1u, 2u, 3u, 63u, 64u, 65u, 1000u, 262144u}) {
        TSamplingData data;
        CheckTransferBytes(c.Text, data, chunk);
        EXPECT_EQ(VerdictOf(data), VerdictOf(reference)) << "chunk " << chunk;
    }
}

TEST_P(StructureCheck, WholeFileWithConformingName)
{
    const TStructureCase& c = GetParam();
    TTempDir dir;
    const std::string path = dir.Write("abcd_070312_143005.dat", c.Text);
    TSamplingData data;
    data.MessageText = "stale";
    CheckTransferFile(path, data);
    EXPECT_EQ(data.FileName, "ABCD_070312_143005.DAT");
    EXPECT_EQ(GetInterfaceKind(), 1);
    EXPECT_EQ(FindingsOf(data), c.Expected);
    EXPECT_EQ(data.InvestigationCount, c.Investigations);
    EXPECT_EQ(data.ParameterCount, c.Parameters);
    EXPECT_EQ(data.LineCount, c.Lines);
    EXPECT_EQ(data.UnexaminedLine, c.Unexamined);
}

INSTANTIATE_TEST_SUITE_P(Cases, StructureCheck, testing::ValuesIn(StructureCases()),
                         [](const testing::TestParamInfo<TStructureCase>& testInfo) {
                             std::string name = "c" + std::to_string(testInfo.index) + "_";
                             for (const char ch : std::string(testInfo.param.Name))
                                 name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

TEST(StructureCheckMessages, WorkedExampleVariantTextsInOrder)
{
    TTempDir dir;
    std::string h1Wrong = H1;
    h1Wrong.replace(0, 3, "0|x");
    const std::string path = dir.Write("ABCD_070312_143005.DAT", Join({h1Wrong, H2, P, P}));
    TSamplingData data;
    CheckTransferFile(path, data);
    EXPECT_EQ(data.MessageText,
              "       Zeile   1: In Feld 1 wird eine '1' erwartet.\r\n"
              "       Zeile   1: In Feld 2 wird ein 'E' (f\xFCr Endbefund) erwartet.\r\n"
              "       Zeile   5: Das Datensatzende wurde unerwartet erreicht (Feld 55 fehlt).\r\n");
}

TEST(StructureCheckMessages, FileNameMessagesComeFirstAndLinesStillGetChecked)
{
    TTempDir dir;
    const std::string path = dir.Write("ABCD_070229_120000.DAT", Join({H1, H2, P, "3|2"}));
    TSamplingData data;
    CheckTransferFile(path, data);
    EXPECT_EQ(FindingsOf(data), (TFindings{{0, 43}, {4, 36}}));
    EXPECT_EQ(GetInterfaceKind(), 1);
}

TEST(StructureCheckMessages, UnreadableFileLeavesOnlyTheNameVerdict)
{
    TTempDir dir;
    struct Case {
        std::string Path;
        TFindings Expected;
        std::int32_t Kind;
    };
    const Case cases[] = {
        {dir.Path() + "/ABCD_071301_120000.DAT", {{0, 43}}, 1},
        {dir.Path() + "/data.dat", {}, 0},
        {dir.Path(), {}, 0},
    };
    for (const Case& c : cases) {
        TSamplingData data;
        data.ParameterCount = 99;
        EXPECT_THROW(CheckTransferFile(c.Path, data), EFileOpenError);
        EXPECT_EQ(FindingsOf(data), c.Expected);
        EXPECT_EQ(data.InvestigationCount, 0);
        EXPECT_EQ(data.ParameterCount, 0);
        EXPECT_EQ(data.LineCount, 0);
        EXPECT_NE(data.MessageText, "OK");
        EXPECT_EQ(GetInterfaceKind(), c.Kind);
    }
}

TEST(FieldFiftyFive, ConvertsLikeTheRules)
{
    struct Case {
        const char* Field;
        std::int32_t Expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"2", 2},
        {"02", 2},
        {"+2", 2},
        {"-2", -2},
        {"$2", 2},
        {"x2", 2},
        {"X2", 2},
        {"0x2", 2},
        {"0X1f", 31},
        {"$ff", 255},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", -1},
        {"$FFFFFFFF", -1},
        {"$7FFFFFFF", 2147483647},
        {"$100000000", -1},
        {"0x00000000000000000001", 1},
        {"", -1},
        {"+", -1},
        {"-", -1},
        {"$", -1},
        {"0x", -1},
        {"x", -1},
        {"2.0", -1},
        {"2 0", -1},
        {"+-2", -1},
        {"-0x2", -1},
        {"+$2", -1},
        {"00x2", -1},
        {"2a", -1},
        {"0xg", -1},
        {"\xB2", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ConvertParameterCount(c.Field), c.Expected) << c.Field;
        // The field may arrive in pieces as small as one byte.
        TCountParser streamed;
        for (const char* p = c.Field; *p != '\0'; ++p)
            streamed.Add(p, 1);
        EXPECT_EQ(streamed.Value(), c.Expected) << c.Field;
    }
}

} // namespace
