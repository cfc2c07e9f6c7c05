// Cutting a transfer file into examinations as the viewer shows them, and
// reading their fields.
#include "InvestigationList.h"
#include "BlockCases.h"
#include "Fields.h"
#include "FileOpenError.h"
#include "LineListCheck.h"
#include "TempDir.h"
#include "TransferText.h"

#include <gtest/gtest.h>

#include <stop_token>
#include <string>
#include <vector>

using namespace TransferText;

namespace {

using TLineGroups = std::vector<std::vector<int>>;

struct TLoadCase {
    const char* Name;
    std::string Text;
    // For every examination the file lines (0-based) whose fields it gathers.
    TLineGroups Groups;
    std::vector<std::int64_t> FirstLines;
};

std::string Load(const TTempDir& dir, const std::string& text, TInvestigationList& list, std::size_t pieceSize)
{
    const std::string path = dir.Write("WVMO_261015_093000.DAT", text);
    list.Load(path, {}, pieceSize);
    return path;
}

// The examinations of text as loaded in pieces of every size, down to single
// bytes (a CR LF split between two pieces), against the lines they gather.
void ExpectLoad(const TLoadCase& c)
{
    TTempDir dir;
    const TLineList lines = NaiveLines(c.Text);
    for (const std::size_t pieceSize : {std::size_t(1), std::size_t(2), std::size_t(63), TInvestigationList::DefaultPieceSize}) {
        SCOPED_TRACE(std::string(c.Name) + ", pieces of " + std::to_string(pieceSize));
        TInvestigationList list;
        // Kept beginnings from both header lines and from a parameter line.
        const std::vector<int> keyed{2, 13, 21, 34, 44};
        list.SetKeyEntries(keyed);
        Load(dir, c.Text, list, pieceSize);
        ASSERT_EQ(static_cast<std::size_t>(list.Count()), c.Groups.size());
        for (int i = 0; i < list.Count(); ++i) {
            std::vector<std::string_view> expected;
            for (const int line : c.Groups[static_cast<std::size_t>(i)])
                ForEachField(lines.at(static_cast<std::size_t>(line)), [&](std::string_view field) { expected.push_back(field); });
            EXPECT_EQ(list.FirstLineIndex(i), c.FirstLines[static_cast<std::size_t>(i)]);
            ASSERT_EQ(list.FieldCount(i), static_cast<int>(expected.size()));
            for (int entry = 0; entry < list.FieldCount(i); ++entry)
                EXPECT_EQ(list.Field(i, entry), expected[static_cast<std::size_t>(entry)]);
            std::vector<std::string_view> cut(keyed.size());
            list.Fields(i, keyed, cut);
            for (std::size_t column = 0; column < keyed.size(); ++column) {
                const std::string_view field = list.Field(i, keyed[column]);
                EXPECT_EQ(cut[column], field);
                const std::string key(list.Key(i, column), TInvestigationList::KeyBytes);
                EXPECT_EQ(key, (std::string(field.substr(0, TInvestigationList::KeyBytes)) +
                                std::string(TInvestigationList::KeyBytes, '\0'))
                                   .substr(0, TInvestigationList::KeyBytes));
            }
        }
    }
}

} // namespace

TEST(InvestigationList, CutsTheFileIntoInvestigations)
{
    const std::string nul(1, '\0');
    const TLoadCase cases[] = {
        {"one block, two parameters", Join(Block(1, 2)), {{0, 1, 2, 3}}, {0}},
        {"field texts longer than the kept beginnings", Join(Block(123456, 2)), {{0, 1, 2, 3}}, {0}},
        {"three blocks", Join(Block(1, 2) + Block(2, 0) + Block(3, 1)), {{0, 1, 2, 3}, {5, 6}, {8, 9, 10}}, {0, 5, 8}},
        {"empty lines after the last block", Join(Block(1, 1) + TLines{"", "", ""}), {{0, 1, 2}}, {0}},
        {"blank-only line after the last block", Join(Block(1, 1) + TLines{" \t "}), {{0, 1, 2}}, {0}},
        {"blank line between blocks ends the loading", Join(Block(1, 1) + TLines{" "} + Block(2, 1)), {{0, 1, 2}}, {0}},
        {"empty lines among parameter lines",
         Join(TLines{Header1(1), Header2(1), "", Parameter(1, 0), "", "", Parameter(1, 1), EndLine(2)} + Block(2, 0)),
         {{0, 1, 3, 6}, {8, 9}},
         {0, 8}},
        {"end line beginning with a blank runs on into the next block",
         Join(TLines{Header1(1), Header2(1), Parameter(1, 0), " 3|1"} + Block(2, 1) + Block(3, 0)),
         {{0, 1, 2, 3, 4, 5, 6}, {8, 9}},
         {0, 8}},
        {"any line beginning with 3 ends the parameters",
         Join(TLines{Header1(1), Header2(1), Parameter(1, 0), "3x|y|z|"} + Block(2, 0)),
         {{0, 1, 2}, {4, 5}},
         {0, 4}},
        {"block without end line at the end of the file",
         Join(Block(1, 0) + TLines{Header1(2), Header2(2), Parameter(2, 0), Parameter(2, 1)}),
         {{0, 1}, {3, 4, 5, 6}},
         {0, 3}},
        {"header lines are taken as they are", Join(TLines{"3|0", "", Parameter(1, 0), EndLine(1)}), {{0, 2}}, {0}},
        // A single line left for a further examination: the file whose only
        // line is an end line is one examination without data; a single line
        // after the last end line is no examination.
        {"only line is an end line", Join({EndLine(0)}), {{}}, {0}},
        {"only line is an end line, no line break", EndLine(0), {{}}, {0}},
        {"single line after the last end line", Join(Block(1, 1) + TLines{Header1(2)}), {{0, 1, 2}}, {0}},
        {"single end line after the last end line", Join(Block(1, 0) + TLines{EndLine(0)}), {{0, 1}}, {0}},
        {"empty file", "", {{}}, {0}},
        {"two lines after the last end line", Join(Block(1, 0) + TLines{"x|", "y|"}), {{0, 1}, {3, 4}}, {0, 3}},
        {"NUL hides the rest of the file", Join(Block(1, 1)) + nul + Join(Block(2, 1)), {{0, 1, 2}}, {0}},
        {"fields are trimmed, a final separator adds no field",
         Join(TLines{" 1 | E |\tx\t|" + Header1(1).substr(4), "2|MATW| a b |\xA0|", "2|||", "3|1"}),
         {{0, 1, 2}},
         {0}},
        {"blank behind the last separator adds an empty field",
         Join(TLines{Header1(1) + " ", Header2(1) + "\t", EndLine(0)}),
         {{0, 1}},
         {0}},
    };
    for (const TLoadCase& c : cases)
        ExpectLoad(c);
}

// The table of block cases: the load gathers each examination's header lines
// and parameter lines where the block walk under the viewer's rules finds
// them, and shows one examination without data where it finds none.
TEST(InvestigationList, FollowsTheBlockWalk)
{
    for (const BlockCases::TCase& c : BlockCases::Cases()) {
        TLoadCase load{c.Name, BlockCases::Text(c), {}, {}};
        for (std::size_t i = 0; c.Viewer[i] != '\0'; ++i) {
            const char role = c.Viewer[i];
            if (role == '1') {
                load.Groups.emplace_back();
                load.FirstLines.push_back(static_cast<std::int64_t>(i));
            }
            if (role == '1' || role == '2' || role == 'X' || role == 'P')
                load.Groups.back().push_back(static_cast<int>(i));
        }
        if (load.Groups.empty()) {
            load.Groups.emplace_back();
            load.FirstLines.push_back(0);
        }
        ExpectLoad(load);
    }
}

TEST(InvestigationList, CountsParameterLinesByTheFieldsHeld)
{
    const std::pair<std::string, int> cases[] = {
        {Join(Block(1, 0)), 0},
        {Join(Block(1, 3)), 3},
        {Join({EndLine(0)}), 0},
        {Join({"1|E|x|", "2|MATW|", EndLine(0)}), 0},
        {Join({Header1(1), Header2(1), "2|a|b|", EndLine(1)}), 0}, // a partial parameter line is dropped
        {Join({Header1(1), Header2(1), Parameter(1, 0), " 3|1", "3|1"}), 1}, // the end line taken as fields
    };
    TTempDir dir;
    for (const auto& [text, parameters] : cases) {
        TInvestigationList list;
        Load(dir, text, list, TInvestigationList::DefaultPieceSize);
        EXPECT_EQ(list.ParameterCount(0), parameters) << text;
    }
}

TEST(InvestigationList, FieldsOutsideAreEmpty)
{
    TTempDir dir;
    TInvestigationList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.Field(0, 0).empty());
    EXPECT_EQ(list.FieldCount(0), 0);
    EXPECT_EQ(list.ParameterCount(0), 0);

    Load(dir, Join(Block(1, 1) + Block(2, 0)), list, TInvestigationList::DefaultPieceSize);
    EXPECT_EQ(list.Field(0, 53 - 1), "b1p0f53");
    EXPECT_EQ(list.Field(1, 2), "b2f3");
    for (const auto& [investigation, entry] : {std::pair{0, 53}, {0, -1}, {1, 42}, {1, 1000000}, {2, 0}, {-1, 0}})
        EXPECT_TRUE(list.Field(investigation, entry).empty()) << investigation << "/" << entry;
    EXPECT_EQ(list.FirstLineIndex(2), 0);
}

TEST(InvestigationList, LineBreaksGiveSameInvestigations)
{
    TTempDir dir;
    for (const std::string lineBreak : {"\r\n", "\n", "\r"}) {
        TInvestigationList list;
        Load(dir, Join(Block(1, 2) + TLines{""} + Block(2, 1), lineBreak), list, TInvestigationList::DefaultPieceSize);
        // The empty line after the first end line ends the loading.
        EXPECT_EQ(list.Count(), 1);
        EXPECT_EQ(list.FieldCount(0), 64);
        EXPECT_EQ(list.Field(0, 63), "b1p1f53");
        EXPECT_EQ(list.Field(0, 43), "b1p0f44");
    }
}

TEST(InvestigationList, UnreadableOrStoppedLoadLeavesNothing)
{
    TTempDir dir;
    TInvestigationList list;
    const std::string path = Load(dir, Join(Block(1, 3) + Block(2, 3)), list, TInvestigationList::DefaultPieceSize);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_THROW(list.Load(dir.File("fehlt.dat")), EFileOpenError);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.Field(0, 2).empty());

    list.Load(path);
    std::stop_source stop;
    stop.request_stop();
    list.Load(path, stop.get_token(), 16);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.Field(0, 2).empty());
}

TEST(InvestigationList, LoadReplacesPreviousFile)
{
    TTempDir dir;
    TInvestigationList list;
    list.Load(dir.Write("a.dat", Join(Block(1, 0) + Block(2, 0) + Block(3, 0))));
    EXPECT_EQ(list.Count(), 3);
    list.Load(dir.Write("b.dat", Join(Block(7, 1))));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Field(0, 2), "b7f3");
    EXPECT_TRUE(list.Field(1, 2).empty());
}
