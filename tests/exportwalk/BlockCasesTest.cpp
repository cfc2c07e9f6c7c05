// The table of block cases against the export's walk and its search for
// where to cut a file.
#include "BlockCases.h"
#include "ByteSource.h"
#include "ExportCheck.h"
#include "InvestigationWalk.h"
#include "Lines.h"
#include "TransferFileCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// One call of the walk as text: what, and the line or count.
std::string Call(const char* what, std::int64_t number)
{
    std::string call = what;
    call += ' ';
    call += std::to_string(number);
    return call;
}

// What the walk hands on, one entry a call.
struct TRecord : TInvestigationSink {
    std::vector<std::string> Calls;
    void BeginInvestigation(const TWalkInvestigation& i) override { Calls.push_back(Call("begin", i.FirstLine)); }
    void Parameter(const TWalkInvestigation&, std::int64_t line, const TParameterFields&) override
    {
        Calls.push_back(Call("parameter", line));
    }
    void EndInvestigation(const TWalkInvestigation&, std::int64_t count) override { Calls.push_back(Call("end", count)); }
};

// The calls a walk makes by the roles of the export's rules.
std::vector<std::string> ExpectedCalls(const char* roles)
{
    std::vector<std::string> calls;
    std::int64_t header1 = 0, parameters = 0;
    for (std::int64_t line = 1; roles[line - 1] != '\0'; ++line) {
        switch (roles[line - 1]) {
        case '1':
            header1 = line, parameters = 0;
            break;
        case '2':
            calls.push_back(Call("begin", header1));
            break;
        case 'X':
            calls.push_back(Call("begin", header1));
            calls.push_back("end 0");
            break;
        case 'P':
            ++parameters;
            calls.push_back(Call("parameter", line));
            break;
        case 'E':
            calls.push_back(Call("end", parameters));
            break;
        }
    }
    return calls;
}

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

TEST(BlockCases, TheExportWalksTheInvestigationsOfEveryFileThatPasses)
{
    for (const BlockCases::TCase& c : PassingCases()) {
        const std::string text = BlockCases::Text(c);
        for (const std::size_t chunk : {std::size_t(1), std::size_t(5), text.size() + 1}) {
            TRecord record;
            TInvestigationWalk walk(record);
            for (std::size_t pos = 0; pos < text.size(); pos += chunk)
                walk.Feed(text.data() + pos, std::min(chunk, text.size() - pos));
            walk.Finish();
            EXPECT_EQ(record.Calls, ExpectedCalls(c.Export)) << c.Name << ", chunks of " << chunk;
        }
    }
}

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
