#include "LayoutBlocks.h"
#include "FieldCaptions.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <vector>

namespace {

// The blocks as the window shows them, written down by hand: column by column,
// each block's value boxes row by row, left to right within a row.
struct TBlockCase {
    std::string_view Title;
    std::vector<int> Fields;
    std::vector<std::string_view> TextLabels;
};

const std::vector<TBlockCase> BlockCases = {
    {"Entnahmestelle", {16, 14, 15, 38, 17, 18, 19, 24, 25, 26, 27}, {}},
    {"Betreiber (WVU)", {6, 7, 8, 9, 10, 11, 12, 13}, {}},
    {"Datei-Format", {}, {"Label65", "lblSchnittstelle1", "lblSchnittstelle2"}},
    {"Probe-Daten", {4, 22, 23, 28, 29, 31, 30, 3, 35, 5, 39, 32}, {}},
};

TEST(LayoutBlocks, BlocksAndFieldsInTheWindowsReadingOrder)
{
    ASSERT_EQ(LayoutBlocks().size(), BlockCases.size());
    std::set<int> fields;
    for (std::size_t b = 0; b < BlockCases.size(); ++b) {
        const TLayoutBlock& block = LayoutBlocks()[b];
        const TBlockCase& expected = BlockCases[b];
        SCOPED_TRACE(expected.Title);
        EXPECT_EQ(block.Title, expected.Title);
        EXPECT_EQ(std::vector<int>(block.Fields.begin(), block.Fields.end()), expected.Fields);
        EXPECT_EQ(std::vector<std::string_view>(block.TextLabels.begin(), block.TextLabels.end()), expected.TextLabels);
        // Every field the block shows is captioned under the block's own title.
        for (const int field : block.Fields) {
            EXPECT_EQ(FieldCaption(field).Block, block.Title) << field;
            EXPECT_TRUE(fields.insert(field).second) << field;
        }
    }
}

} // namespace
