#include "InvestigationWalk.h"
#include "ByteSource.h"
#include "CsvTable.h"
#include "ExportCases.h"
#include "ExportCheck.h"
#include "ExportOracle.h"
#include "ExportPlan.h"
#include "JsonLinesTable.h"
#include "ParallelExport.h"
#include "SamplingData.h"
#include "TransferFileCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

struct TStringOutput : TOutput {
    void Write(std::string_view bytes) override { Text += bytes; }
    std::string Text;
};

TEST(ExportWalk, TablesReadBackExactlyWhateverTheChunks)
{
    for (const TWalkCase& c : WalkCases()) {
        SCOPED_TRACE(c.Name);
        TSamplingData data;
        CheckTransferBytes(c.Bytes, data);
        ASSERT_EQ(data.MessageCount, 0) << data.MessageText;
        const auto exams = ExportOracle::Investigations(c.Bytes);
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{64}, c.Bytes.size()}) {
            SCOPED_TRACE(chunk);
            TStringOutput csvOut, jsonOut;
            TCsvTable csv(csvOut);
            TJsonLinesTable json(jsonOut);
            csv.BeginFile("a,\"b\".dat");
            json.BeginFile("a,\"b\".dat");
            struct TBoth : TInvestigationSink {
                TInvestigationSink *A, *B;
                void BeginInvestigation(const TWalkInvestigation& i) override { A->BeginInvestigation(i), B->BeginInvestigation(i); }
                void Parameter(const TWalkInvestigation& i, std::int64_t l, const TParameterFields& f) override
                {
                    A->Parameter(i, l, f), B->Parameter(i, l, f);
                }
                void EndInvestigation(const TWalkInvestigation& i, std::int64_t n) override { A->EndInvestigation(i, n), B->EndInvestigation(i, n); }
            } both;
            both.A = &csv;
            both.B = &json;
            TInvestigationWalk walk(both);
            for (std::size_t pos = 0; pos < c.Bytes.size(); pos += chunk)
                walk.Feed(c.Bytes.data() + pos, std::min(chunk, c.Bytes.size() - pos));
            walk.Finish();
            csv.Flush();
            json.Flush();
            EXPECT_EQ(ExportOracle::CompareCsv(csvOut.Text, "a,\"b\".dat", exams), "");
            EXPECT_EQ(ExportOracle::CompareJsonLines(jsonOut.Text, "a,\"b\".dat", exams), "");
        }
    }
}

// Many blocks of different lengths: enough for every cut and part.
std::string ManyBlocks(const std::string& br)
{
    std::string bytes;
    for (int e = 0; e < 40; ++e)
        bytes += Block(e % 7, std::string("w").append(std::to_string(e)), br);
    return bytes;
}

// What one walk of the whole file writes as CSV and as JSON Lines; the
// tables are left flushed when the walk throws, as the program leaves them.
std::pair<std::string, std::string> OneWalk(std::string_view bytes)
{
    TStringOutput csvOut, jsonOut;
    TCsvTable csv(csvOut);
    TJsonLinesTable json(jsonOut);
    csv.BeginFile("f.dat");
    json.BeginFile("f.dat");
    for (TBufferedTable* table : {static_cast<TBufferedTable*>(&csv), static_cast<TBufferedTable*>(&json)}) {
        TInvestigationWalk walk(*table);
        try {
            walk.Feed(bytes.data(), bytes.size());
            walk.Finish();
        } catch (const ETransferChanged&) {
        }
        table->Flush();
    }
    return {csvOut.Text, jsonOut.Text};
}

// The same, walked in parts on three threads; true when a part threw ETransferChanged.
bool InParts(std::string_view bytes, const std::vector<TFilePart>& parts, std::pair<std::string, std::string>& out)
{
    TStringOutput csvOut, jsonOut;
    TCsvTable csv(csvOut);
    TJsonLinesTable json(jsonOut);
    bool changed = false;
    for (TBufferedTable* table : {static_cast<TBufferedTable*>(&csv), static_cast<TBufferedTable*>(&json)}) {
        table->BeginFile("f.dat");
        table->Flush();
        TMemorySource source(bytes);
        try {
            // A small buffer makes the threads wait for their turn inside a part too.
            ExportParts(source, parts, *table, table == &csv ? static_cast<TOutput&>(csvOut) : jsonOut, 3, 16);
        } catch (const ETransferChanged&) {
            changed = true;
        }
    }
    out = {csvOut.Text, jsonOut.Text};
    return changed;
}

std::vector<std::tuple<std::uint64_t, std::int64_t, std::int64_t, bool, std::uint64_t, std::int64_t>> Fields(const std::vector<TFilePart>& parts)
{
    std::vector<std::tuple<std::uint64_t, std::int64_t, std::int64_t, bool, std::uint64_t, std::int64_t>> fields;
    for (const TFilePart& p : parts)
        fields.emplace_back(p.Offset, p.Number, p.FirstLine, p.Last, p.End, p.NextLine);
    return fields;
}

TEST(ExportParts, PiecesAndPartsSideBySideGiveWhatOneWalkGives)
{
    std::vector<TWalkCase> cases = WalkCases();
    cases.push_back({"many, CR LF", ManyBlocks("\r\n")});
    cases.push_back({"many, CR", ManyBlocks("\r")});
    cases.push_back({"many, lone line behind", ManyBlocks("\n") + "3|x"});
    for (const TWalkCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSamplingData data;
        TExportPlan whole(1);
        CheckTransferBytes(c.Bytes, data, 256 << 10, &whole);
        ASSERT_EQ(data.MessageCount, 0);
        TMemorySource source(c.Bytes);
        TExportPlan pieces(1);
        std::int32_t unexamined = -1;
        const bool split = CheckPassesInPieces(source, pieces, 3, 1, &unexamined);
        if (std::string_view(c.Name).starts_with("many")) {
            EXPECT_TRUE(split);
        }
        if (split) {
            EXPECT_EQ(Fields(pieces.Parts()), Fields(whole.Parts()));
            EXPECT_EQ(unexamined, data.UnexaminedLine);
        }
        // The rows of the workbook's sheets, counted by the check.
        const auto exams = ExportOracle::Investigations(c.Bytes);
        std::int64_t parameterRows = 0;
        for (const auto& exam : exams)
            parameterRows += std::max<std::int64_t>(static_cast<std::int64_t>(exam.Parameters.size()), 1);
        for (const TExportPlan* plan : {&whole, split ? &pieces : &whole}) {
            EXPECT_EQ(plan->Investigations(), static_cast<std::int64_t>(exams.size()));
            EXPECT_EQ(plan->ParameterRows(), parameterRows);
        }
        const auto expected = OneWalk(c.Bytes);
        TExportPlan few(1, 3);
        CheckTransferBytes(c.Bytes, data, 256 << 10, &few);
        EXPECT_LE(few.Parts().size(), 3u);
        for (const TExportPlan* plan : {&whole, &few}) {
            std::pair<std::string, std::string> got;
            EXPECT_FALSE(InParts(c.Bytes, plan->Parts(), got));
            EXPECT_EQ(got, expected);
        }
    }
}

TEST(ExportParts, AFindingInAnyPieceLeavesTheFileToTheWholeCheck)
{
    const std::string good = ManyBlocks("\r\n");
    for (const std::size_t at : {good.size() / 6, good.size() / 2, good.size() - 20}) {
        std::string bad = good;
        bad[bad.find("|w", at)] = 'x'; // one field fewer
        TMemorySource source(bad);
        TExportPlan plan(1);
        EXPECT_FALSE(CheckPassesInPieces(source, plan, 3, 1)) << at;
    }
    // A NUL ends the text in the first piece: what follows is no examination.
    std::string ended = good;
    ended[good.size() / 4] = '\0';
    TMemorySource source(ended);
    TExportPlan plan(1);
    EXPECT_FALSE(CheckPassesInPieces(source, plan, 3, 1));
}

TEST(ExportParts, AFileChangedAfterItsCheckStopsWhereOneWalkStops)
{
    const std::string good = ManyBlocks("\n");
    TSamplingData data;
    TExportPlan plan(1);
    CheckTransferBytes(good, data, 256 << 10, &plan);
    std::string changed = good;
    changed[changed.find("|w3", good.size() / 2)] = 'x';
    std::pair<std::string, std::string> got;
    EXPECT_TRUE(InParts(changed, plan.Parts(), got));
    EXPECT_EQ(got, OneWalk(changed));
    EXPECT_TRUE(InParts(good.substr(0, good.size() / 2), plan.Parts(), got));
}

} // namespace
