// The export for any file content: either the check has findings, or the CSV
// and JSON Lines tables read back exactly as the examinations of the file,
// whatever the chunks the file arrives in. Checked in pieces, the file passes
// only when it passes whole, with the same parts; written in parts side by
// side, the tables are byte for byte those of one walk.
#include "ByteSource.h"
#include "CsvTable.h"
#include "ExportCheck.h"
#include "ExportOracle.h"
#include "ExportPlan.h"
#include "FuzzSupport.h"
#include "InvestigationWalk.h"
#include "JsonLinesTable.h"
#include "ParallelExport.h"
#include "SamplingData.h"
#include "TransferFileCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct TStringOutput : TOutput {
    void Write(std::string_view bytes) override { Text += bytes; }
    std::string Text;
};

struct TBoth : TInvestigationSink {
    TBoth(TInvestigationSink& a, TInvestigationSink& b) : A(a),
                                                          B(b) { }
    void BeginInvestigation(const TWalkInvestigation& i) override
    {
        A.BeginInvestigation(i);
        B.BeginInvestigation(i);
    }
    void Parameter(const TWalkInvestigation& i, std::int64_t line, const TParameterFields& f) override
    {
        A.Parameter(i, line, f);
        B.Parameter(i, line, f);
    }
    void EndInvestigation(const TWalkInvestigation& i, std::int64_t n) override
    {
        A.EndInvestigation(i, n);
        B.EndInvestigation(i, n);
    }
    TInvestigationSink& A;
    TInvestigationSink& B;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // First byte: the chunk size the file arrives in (0 for all at once).
    if (size == 0)
        return 0;
    const std::string_view content(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t chunk = data[0] == 0 ? std::max<std::size_t>(content.size(), 1) : data[0];

    TSamplingData result;
    TExportPlan plan(1);
    CheckTransferBytes(content, result, 256 << 10, &plan);
    TMemorySource source(content);
    TExportPlan pieces(1);
    if (CheckPassesInPieces(source, pieces, 3, 1)) {
        FUZZ_ASSERT(result.MessageCount == 0, "pieces passed where the whole file did not");
        const std::vector<TFilePart> a = pieces.Parts(), b = plan.Parts();
        FUZZ_ASSERT(std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TFilePart& x, const TFilePart& y) {
                        return x.Offset == y.Offset && x.Number == y.Number && x.FirstLine == y.FirstLine &&
                               x.Last == y.Last && x.End == y.End && x.NextLine == y.NextLine;
                    }),
                    "pieces planned other parts than the whole check");
    }

    TStringOutput csvOut, jsonOut;
    TCsvTable csv(csvOut);
    TJsonLinesTable json(jsonOut);
    const std::string file = "Datei \xC3\xA4,\"x\".dat";
    csv.BeginFile(file);
    json.BeginFile(file);
    TBoth both(csv, json);
    TInvestigationWalk walk(both);
    try {
        for (std::size_t pos = 0; pos < content.size(); pos += chunk)
            walk.Feed(content.data() + pos, std::min(chunk, content.size() - pos));
        walk.Finish();
    } catch (const ETransferChanged&) {
        // A file with findings may stop the walk; one without must not.
        FUZZ_ASSERT(result.MessageCount > 0, "walk stopped on a file that passed the check");
        return 0;
    }
    if (result.MessageCount > 0)
        return 0;
    csv.Flush();
    json.Flush();
    const auto exams = ExportOracle::Investigations(content);
    const std::string csvDiff = ExportOracle::CompareCsv(csvOut.Text, file, exams);
    FUZZ_ASSERT(csvDiff.empty(), csvDiff);
    const std::string jsonDiff = ExportOracle::CompareJsonLines(jsonOut.Text, file, exams);
    FUZZ_ASSERT(jsonDiff.empty(), jsonDiff);

    TStringOutput csvParts, jsonParts;
    TCsvTable csvSide(csvParts);
    TJsonLinesTable jsonSide(jsonParts);
    for (TBufferedTable* table : {static_cast<TBufferedTable*>(&csvSide), static_cast<TBufferedTable*>(&jsonSide)}) {
        table->BeginFile(file);
        table->Flush();
        ExportParts(source, plan.Parts(), *table, table == &csvSide ? csvParts : jsonParts, 3, 16);
    }
    FUZZ_ASSERT(csvParts.Text == csvOut.Text, "CSV in parts differs");
    FUZZ_ASSERT(jsonParts.Text == jsonOut.Text, "JSON Lines in parts differs");
    return 0;
}
