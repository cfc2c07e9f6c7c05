// Both readers of examinations, the index and the walk, under the viewer's and
// the export's rules: the table of block cases in pieces of every size, line
// ends across pieces, the first NUL, and the guard.
#include "BlockCases.h"
#include "ByteSource.h"
#include "ExportCases.h"
#include "InvestigationIndex.h"
#include "InvestigationWalk.h"
#include "TempDir.h"
#include "TransferFileCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// The examinations a reader hands out, as the numbers of their lines.
using TLineNumbers = std::vector<std::vector<std::int64_t>>;

struct TRules {
    const char* Name;
    TBlockRules Rules;
    const char* BlockCases::TCase::*Roles;
};
const TRules BothRules[] = {{"viewer", BlockRules::Viewer, &BlockCases::TCase::Viewer},
                            {"export", BlockRules::Export, &BlockCases::TCase::Export}};

TLineNumbers ByRoles(const char* roles)
{
    TLineNumbers expected;
    for (std::int64_t line = 1; roles[line - 1] != '\0'; ++line) {
        const char role = roles[line - 1];
        if (role == '1')
            expected.emplace_back();
        if (role == '1' || role == '2' || role == 'P' || role == 'X')
            expected.back().push_back(line);
    }
    return expected;
}

bool Passes(const std::string& text)
{
    TSamplingData data;
    CheckTransferBytes(text, data);
    return data.MessageCount == 0;
}

void Note(TLineNumbers& out, const TInvestigationText& inv)
{
    std::vector<std::int64_t>& lines = out.emplace_back();
    for (std::size_t k = 0; k < inv.Lines.size(); ++k)
        lines.push_back(inv.LineOf(k));
}

// The lines of each examination as the index tells them; read back from the
// file, where the text is not kept, they are the same.
TLineNumbers Indexed(const std::string& path, const TInvestigationIndex::TOptions& options)
{
    TInvestigationIndex index;
    TLineNumbers told;
    index.Build(path, options, [&](std::size_t, const TInvestigationText& inv) { Note(told, inv); });
    EXPECT_EQ(index.Count(), told.size());
    if (!options.KeepText) {
        TInvestigationIndex::TReader reader(index, 7);
        TLineNumbers readBack;
        for (std::size_t i = 0; i < index.Count(); ++i)
            Note(readBack, reader.Investigation(i));
        EXPECT_EQ(readBack, told);
    }
    return told;
}

// The lines of each examination as the walk hands them out; each ends with
// its count of parameters.
struct TWalked : TInvestigationSink {
    TLineNumbers Lines;
    std::size_t Ended = 0;
    void BeginInvestigation(const TWalkInvestigation& i) override { Lines.push_back({i.FirstLine, i.FirstLine + 1}); }
    void Parameter(const TWalkInvestigation&, std::int64_t line, const TParameterFields&) override { Lines.back().push_back(line); }
    void EndInvestigation(const TWalkInvestigation&, std::int64_t count) override
    {
        EXPECT_EQ(static_cast<std::size_t>(count) + 2, Lines.back().size());
        ++Ended;
    }
};

TLineNumbers Walked(const std::string& text, const TBlockRules& rules, std::size_t chunk)
{
    TWalked walked;
    TInvestigationWalk walk(walked, rules);
    for (std::size_t pos = 0; pos < text.size(); pos += chunk)
        walk.Feed(text.data() + pos, std::min(chunk, text.size() - pos));
    walk.Finish();
    EXPECT_EQ(walked.Ended, walked.Lines.size());
    return walked.Lines;
}

} // namespace

TEST(Readers, BlockCasesUnderBothRulesWholeAndInPieces)
{
    for (const BlockCases::TCase& c : BlockCases::Cases()) {
        const std::string text = BlockCases::Text(c);
        const bool passes = Passes(text);
        TTempDir dir;
        const std::string path = dir.Write("a.dat", text);
        for (const TRules& rules : BothRules) {
            SCOPED_TRACE(std::string(c.Name) + ", " + rules.Name + "'s rules");
            const TLineNumbers expected = ByRoles(c.*rules.Roles);
            for (const std::size_t piece : {std::size_t(1), std::size_t(5), std::size_t(64)}) {
                EXPECT_EQ(Indexed(path, {rules.Rules, true, false, piece}), expected) << "kept, pieces of " << piece;
                EXPECT_EQ(Indexed(path, {rules.Rules, false, passes, piece}), expected) << "read back, pieces of " << piece;
                // The walk reads only files that passed.
                if (passes) {
                    EXPECT_EQ(Walked(text, rules.Rules, piece), expected) << "walked, chunks of " << piece;
                }
            }
        }
    }
}

TEST(Readers, LineEndsAcrossPieces)
{
    // Every kind of line end, and a NUL that ends the text, met at every
    // place of a piece: the same lines as the file held whole.
    using namespace TransferText;
    const TLines lines = Block(1, 3) + Block(2, 0) + Block(3, 2);
    const char* const ends[] = {"\r\n", "\n", "\r", "\n\r"};
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += lines[i] + (i + 1 == lines.size() ? "\r" : ends[i % 4]);
    text += std::string(1, '\0') + "1|E|hidden";
    TTempDir dir;
    const std::string path = dir.Write("a.dat", text);
    const auto read = [&](bool keep, std::size_t piece) {
        std::vector<std::vector<std::string>> texts;
        TInvestigationIndex index;
        index.Build(path, {BlockRules::Export, keep, false, piece},
                    [&](std::size_t, const TInvestigationText& inv) { texts.emplace_back(inv.Lines.begin(), inv.Lines.end()); });
        return texts;
    };
    const std::vector<std::vector<std::string>> whole = read(true, 1 << 20);
    ASSERT_EQ(whole.size(), 3u);
    EXPECT_EQ(whole[0][0], lines[0]);
    for (std::size_t piece = 1; piece < 80; piece += 3) {
        EXPECT_EQ(read(false, piece), whole) << "pieces of " << piece;
        EXPECT_EQ(read(true, piece), whole) << "pieces of " << piece;
    }
}

// Where the check's reading stops, both readers stop reading: a file padded
// behind a NUL costs nothing for its padding.
TEST(Readers, NothingBehindTheFirstNulIsRead)
{
    const std::string checked = TransferText::Join(TransferText::Block(1, 1));
    const std::string padded = checked + std::string(std::size_t(1) << 20, '\0');
    ASSERT_TRUE(Passes(padded));
    TTempDir dir;
    TInvestigationIndex index;
    index.Build(dir.Write("a.dat", padded), {BlockRules::Viewer, true, true, 16});
    EXPECT_EQ(index.Count(), 1u);
    EXPECT_LE(index.Text().size(), checked.size() + 16);

    struct TCounted : TMemorySource {
        using TMemorySource::TMemorySource;
        std::uint64_t Read = 0;
        std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override
        {
            const std::size_t n = TMemorySource::ReadAt(offset, buffer, count);
            Read += n;
            return n;
        }
    } source(padded);
    TWalked walked;
    std::unique_ptr<char[]> buffer;
    WalkInvestigationsPart(source, TFilePart{}, walked, buffer);
    EXPECT_EQ(walked.Lines, ByRoles("12PE"));
    EXPECT_LT(source.Read, padded.size());
}

TEST(Readers, ALineThatNoLongerMatchesTheCheckStopsBothReaders)
{
    struct TIgnore : TInvestigationSink {
        void BeginInvestigation(const TWalkInvestigation&) override { }
        void Parameter(const TWalkInvestigation&, std::int64_t, const TParameterFields&) override { }
        void EndInvestigation(const TWalkInvestigation&, std::int64_t) override { }
    } ignore;
    const std::string good = Block(1, "f", "\n");
    TTempDir dir;
    for (const std::string& changed : {good.substr(0, good.size() - 4), "1|E|x|\n" + good.substr(good.find('\n') + 1),
                                       good.substr(0, good.rfind("2|", good.size() - 5)) + "2|a|\n3|1\n"}) {
        ASSERT_FALSE(Passes(changed)) << changed;
        for (const TRules& rules : BothRules) {
            TInvestigationWalk walk(ignore, rules.Rules);
            EXPECT_THROW(
                {
                    walk.Feed(changed.data(), changed.size());
                    walk.Finish();
                },
                ETransferChanged)
                << changed;
            TInvestigationIndex index;
            EXPECT_THROW(index.Build(dir.Write("a.dat", changed), {rules.Rules, false, true}), ETransferChanged) << changed;
            EXPECT_EQ(index.Count(), 0u);
        }
    }
}
