#include "CsvCell.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

TEST(CsvCell, QuotedOnlyWhenACommaQuoteOrLineBreakAsksForIt)
{
    struct Case {
        std::string_view Text;
        std::string_view Cell;
    };
    const Case cases[] = {
        {"", ""},
        {"Fluorid", "Fluorid"},
        {"F\xC3\xA4rbung; pH 7", "F\xC3\xA4rbung; pH 7"}, // UTF-8 and semicolons stay as they are
        {"0,53", "\"0,53\""},
        {"31=\"L0815\"", "\"31=\"\"L0815\"\"\""},
        {"\"", "\"\"\"\""},
        {"a\rb", "\"a\rb\""},
        {"a\nb", "\"a\nb\""},
        {" lead and trail ", " lead and trail "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Text));
        std::string out = "x,";
        AppendCsvCell(out, c.Text);
        EXPECT_EQ(out, "x," + std::string(c.Cell)); // appended, never replacing
        EXPECT_EQ(CsvCellNeedsQuotes(c.Text), c.Cell != c.Text);
    }
}

} // namespace
