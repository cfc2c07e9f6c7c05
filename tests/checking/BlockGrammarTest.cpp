#include "BlockGrammar.h"
#include "BlockCases.h"
#include "Lines.h"
#include "TransferScanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

// The role of each line of text, one character a line, as the block walk tells them.
std::string Roles(const std::string& text, TBlockGrammar grammar)
{
    struct TRecord {
        std::string Roles;
        void BlockLine(EBlockLine role, std::string_view, std::int64_t) { Roles += "12PEX-"[static_cast<int>(role)]; }
    } record;
    TBlockWalk<TRecord> walk(record, grammar);
    std::vector<std::string_view> lines;
    ForEachLine(text, [&](std::string_view line) { lines.push_back(line); });
    for (std::size_t i = 0; i < lines.size(); ++i)
        walk.OnLine(lines[i], i + 1 == lines.size());
    return record.Roles;
}

} // namespace

TEST(BlockGrammar, GivesEachLineItsRoleUnderEachRules)
{
    for (const BlockCases::TCase& c : BlockCases::Cases()) {
        const std::string text = BlockCases::Text(c);
        EXPECT_EQ(Roles(text, TBlockGrammar(BlockRules::Check)), c.Check) << c.Name;
        EXPECT_EQ(Roles(text, TBlockGrammar(BlockRules::Viewer)), c.Viewer) << c.Name;
        EXPECT_EQ(Roles(text, TBlockGrammar(BlockRules::Export)), c.Export) << c.Name;
    }
}

TEST(BlockGrammar, AWalkInsideAFileBeginsAfterTheFirstEndLine)
{
    const std::string text = BlockCases::Text({"", "PP0AB1AB0", "", "", ""});
    EXPECT_EQ(Roles(text, TBlockGrammar::MidFile(BlockRules::Check)), "---12E12E");
}

// The check begins its examinations where the walk finds header line 1, at
// that line's offset, counts at least one, and finds a block open where the
// walk ends inside one.
TEST(BlockGrammar, TheCheckFollowsTheWalk)
{
    struct TBegins : TInvestigationObserver {
        std::vector<std::pair<std::int64_t, std::uint64_t>> Seen;
        void InvestigationBegins(std::int64_t line, std::uint64_t offset) override { Seen.emplace_back(line, offset); }
    };
    for (const BlockCases::TCase& c : BlockCases::Cases()) {
        const std::string text = BlockCases::Text(c);
        std::vector<std::uint64_t> offsets;
        ForEachLine(text, [&](std::string_view line) { offsets.push_back(static_cast<std::uint64_t>(line.data() - text.data())); });
        std::vector<std::pair<std::int64_t, std::uint64_t>> expected;
        for (const std::int64_t line : BlockCases::LinesWithRole(c.Check, '1'))
            expected.emplace_back(line, offsets[static_cast<std::size_t>(line - 1)]);

        TSamplingData data;
        TBegins begins;
        TTransferScanner scanner(data, &begins);
        scanner.Feed(text.data(), text.size());
        scanner.Finish();
        EXPECT_EQ(begins.Seen, expected) << c.Name;
        EXPECT_EQ(data.InvestigationCount, std::max<std::size_t>(1, expected.size())) << c.Name;
        const std::string roles = c.Check;
        const bool closed = !roles.empty() && (roles.back() == 'E' || roles.back() == '-');
        EXPECT_EQ(data.MessageText.find("unerwartet erreicht") == std::string::npos, closed) << c.Name << ": " << data.MessageText;
    }
}
