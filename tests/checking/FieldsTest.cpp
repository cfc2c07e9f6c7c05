#include "Fields.h"

#include <gtest/gtest.h>

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

TEST(FieldSplitting, ForEachFieldAgreesWithAppendFields)
{
    std::mt19937 random(7);
    const char alphabet[] = {'|', '|', ' ', '\t', 'a', 'b', '\xA0', '\x01'};
    for (int round = 0; round < 5000; ++round) {
        std::string line(random() % 12, ' ');
        for (char& c : line)
            c = alphabet[random() % sizeof alphabet];
        TFieldList viaVisit;
        ForEachField(line, [&](std::string_view f) { viaVisit.emplace_back(f); });
        ASSERT_EQ(viaVisit, Split(line)) << testing::PrintToString(line);
    }
}

} // namespace
