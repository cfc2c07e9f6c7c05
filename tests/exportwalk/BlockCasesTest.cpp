// The table of block cases against the export's search for where to cut a file.
#include "BlockCases.h"
#include "ByteSource.h"
#include "ExportCheck.h"
#include "Lines.h"
#include "TransferFileCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The cases whose files pass the check, the only ones the export walks.
std::vector<BlockCases::TCase> PassingCases()
{
    std::vector<BlockCases::TCase> passing;
    for (const BlockCases::TCase& c : BlockCases::Cases()) {
        TSamplingData data;
        CheckTransferBytes(BlockCases::Text(c), data);
        if (data.MessageCount == 0)
            passing.push_back(c);
    }
    return passing;
}

} // namespace

// In a file that passes, wherever the search begins, what it finds is where
// the check begins an examination when more lines follow (the search cannot
// know the last line). In a broken file a cut is a guess, which the check of
// the pieces refutes.
TEST(BlockCases, TheCutSearchFindsOnlyWhereTheCheckBeginsAnInvestigation)
{
    for (const BlockCases::TCase& c : PassingCases()) {
        const std::string text = BlockCases::Text(c);
        struct TStarts {
            const std::string& Text;
            std::vector<std::uint64_t> Offsets;
            void BlockLine(EBlockLine role, std::string_view line, std::int64_t)
            {
                if (role == EBlockLine::Header1)
                    Offsets.push_back(static_cast<std::uint64_t>(line.data() - Text.data()));
            }
        } starts{text, {}};
        TBlockWalk<TStarts> walk(starts, TBlockGrammar(BlockRules::Check));
        ForEachLine(text, [&](std::string_view line) { walk.OnLine(line, false); });
        TMemorySource source(text);
        for (std::uint64_t from = 0; from < text.size(); ++from) {
            const std::uint64_t found = FindInvestigationStart(source, from);
            EXPECT_TRUE(found == 0 || std::find(starts.Offsets.begin(), starts.Offsets.end(), found) != starts.Offsets.end()) << c.Name << " from " << from;
        }
    }
}
