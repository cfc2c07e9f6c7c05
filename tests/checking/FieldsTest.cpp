#include "FieldLists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

TFieldList Split(std::string_view line)
{
    TFieldList fields{"stale"};
    SplitFields(line, fields, TSeparatorSet::Bar());
    return fields;
}

TEST(FieldSplitting, CutsAtBarsAndTrims)
{
    struct Case {
        std::string Line;
        TFieldList Expected;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a|", {"a"}},
        {"a||b", {"a", "", "b"}},
        {"|", {""}},
        {"||", {"", ""}},
        {"|a", {"", "a"}},
        {"a| ", {"a", ""}},
        {" \t ", {""}},
        {"|||", {"", "", ""}},
        {"||x", {"", "", "x"}},
        {" a\t| b |", {"a", "b"}},
        {"\xA0x\xA0|", {"\xA0x\xA0"}},
        {std::string("\x01x\x1F|\x7F", 5), {"x", "\x7F"}},
        {"aBc|DeF", {"aBc", "DeF"}},
        {"3|2", {"3", "2"}},
        {"3|2|", {"3", "2"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Split(c.Line), c.Expected) << testing::PrintToString(c.Line);
}

TEST(FieldSplitting, AppendKeepsEarlierEntries)
{
    TFieldList fields{"x"};
    AppendFields("a|b|", fields, TSeparatorSet::Bar());
    AppendFields("", fields, TSeparatorSet::Bar());
    AppendFields("c", fields, TSeparatorSet::Bar());
    EXPECT_EQ(fields, (TFieldList{"x", "a", "b", "c"}));
}

// The loader and the check count fields from a line's separators and cut
// single fields out of it on demand: both must give what the splitting gives.
TEST(FieldSplitting, CountAndSingleFieldsAgreeWithSplitting)
{
    std::mt19937 random(7);
    const char alphabet[] = {'|', '|', ' ', '\t', 'a', 'b', '\xA0', '\x01'};
    for (int round = 0; round < 5000; ++round) {
        std::string line(random() % 12, ' ');
        for (char& c : line)
            c = alphabet[random() % sizeof alphabet];
        const TFieldList fields = Split(line);
        const auto separators = static_cast<std::uint64_t>(std::count(line.begin(), line.end(), '|'));
        ASSERT_EQ(FieldCountOf(line, separators), fields.size())
            << testing::PrintToString(line);
        TFieldList viaVisit;
        ForEachField(line, [&](std::string_view f) { viaVisit.emplace_back(f); });
        ASSERT_EQ(viaVisit, fields) << testing::PrintToString(line);
        for (std::size_t i = 0; i <= fields.size(); ++i)
            ASSERT_EQ(FieldOfLine(line, i), i < fields.size() ? fields[i] : "") << testing::PrintToString(line) << i;
    }
}

} // namespace
