#include "ExportRun.h"

#include "CheckReport.h"
#include "CsvTable.h"
#include "ExitStatus.h"
#include "ExportCheck.h"
#include "ExportPlan.h"
#include "ExportTarget.h"
#include "FileOpenError.h"
#include "InvestigationWalk.h"
#include "JsonLinesTable.h"
#include "OutputFile.h"
#include "ParallelExport.h"
#include "SamplingData.h"
#include "SystemErrorText.h"
#include "ToolPlatform.h"
#include "Utf8Text.h"
#ifdef MORVASK_HAVE_XLSX
#include "WorkbookExport.h"
#include "XlsxTable.h"
#endif

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

void ComplainCannotOpen(TTool& tool, const EFileOpenError& e)
{
    tool.Complain(WithReason(CannotOpenText(BytesToUtf8(e.Path())) + ".", e.Why()));
}

void ComplainChanged(TTool& tool, const std::string& path, const ETransferChanged& e)
{
    tool.Complain("Datei " + BytesToUtf8(path) + " wurde während der Ausgabe verändert: " + e.what() + ".");
}

// One file checked for the export, with the cut points of its parts: its
// findings, or the note on a line not examined, reported as morvask-check
// words them. Returns ExitFindings or ExitPassed; throws EFileOpenError.
int CheckAndReport(TTool& tool, const std::string& path, TExportPlan& plan)
{
    TSamplingData data;
    CheckForExport(path, data, plan, ExportThreads());
    if (data.MessageCount > 0) {
        tool.Report(CheckResultToText(path, data));
        return ExitFindings;
    }
    if (data.UnexaminedLine != 0)
        tool.Report(UnexaminedNote(path, data));
    return ExitPassed;
}

// One file: checked, then on a clean check walked into the table in parts
// side by side. What the table holds so far is handed on first, so that the
// file's messages follow the rows before them. Returns its exit status.
int ExportFile(TTool& tool, const std::string& path, TBufferedTable& table, TOutput& output)
{
    table.Flush();
    try {
        TExportPlan plan;
        const int status = CheckAndReport(tool, path, plan);
        if (status != ExitPassed)
            return status;
        table.BeginFile(path);
        table.Flush();
        TFileSource file(path);
        ExportParts(file, plan.Parts(), table, output, ExportThreads());
        return ExitPassed;
    } catch (const EFileOpenError& e) {
        ComplainCannotOpen(tool, e);
    } catch (const ETransferChanged& e) {
        table.Flush();
        ComplainChanged(tool, path, e);
    }
    return ExitFailure;
}

int Worse(int a, int b) { return a == ExitFailure || b == ExitFailure ? ExitFailure : std::max(a, b); }

} // namespace

int ExportToStandardOutput(TTool& tool, const std::vector<std::string>& files, EFormat format)
{
    TStandardOutput output;
    std::unique_ptr<TBufferedTable> table;
    if (format == EFormat::Csv)
        table = std::make_unique<TCsvTable>(output);
    else
        table = std::make_unique<TJsonLinesTable>(output);
    int status = ExitPassed;
    for (const std::string& path : files)
        status = Worse(status, ExportFile(tool, path, *table, output));
    table->Flush();
    output.Finish();
    return status;
}

#ifdef MORVASK_HAVE_XLSX
namespace {

// One file checked for the workbook, reported as ExportFile reports it. Adds
// its rows and size when it passes.
int CheckForWorkbook(TTool& tool, const std::string& path, TWorkbookRows& rows, std::uint64_t& bytes)
{
    try {
        TExportPlan plan;
        const int status = CheckAndReport(tool, path, plan);
        if (status != ExitPassed)
            return status;
        if (const std::optional<TLongField> field = rows.Measure(path)) {
            tool.Report(LongFieldText(path, *field));
            return ExitFindings;
        }
        rows.Add(plan);
        bytes += TReadOnlyFile(path).Size();
        return ExitPassed;
    } catch (const EFileOpenError& e) {
        ComplainCannotOpen(tool, e);
    } catch (const ETransferChanged& e) {
        ComplainChanged(tool, path, e);
    }
    return ExitFailure;
}

} // namespace

// Every file is checked before the workbook is begun, so that one that cannot
// be read, or rows that no sheet holds, stop the export before anything is
// written. Then the files that passed are written, with progress on a terminal.
int ExportToWorkbook(TTool& tool, const std::vector<std::string>& files, const std::string& target, bool quiet)
{
    // The target first: a refused one costs no reading.
    const std::string where = CheckWorkbookTarget(target, files);
    TWorkbookRows rows;
    std::uint64_t bytes = 0;
    std::vector<const std::string*> passed;
    int status = ExitPassed;
    for (const std::string& path : files) {
        const int fileStatus = CheckForWorkbook(tool, path, rows, bytes);
        if (fileStatus == ExitPassed)
            passed.push_back(&path);
        status = Worse(status, fileStatus);
    }
    const std::string overflow = rows.Overflow(BytesToUtf8(target));
    if (!overflow.empty()) {
        tool.Complain(overflow);
        return ExitFailure;
    }
    if (status == ExitFailure) {
        tool.Complain("Die Arbeitsmappe " + BytesToUtf8(target) + " wurde nicht geschrieben.");
        return status;
    }
    TXlsxTable workbook(where, rows.Widths());
    TProgress progress(bytes, !quiet && IsTerminal(stderr), [](std::string_view text) { WriteText(stderr, text); });
    for (const std::string* path : passed) {
        try {
            WalkIntoWorkbook(*path, workbook, progress);
        } catch (const EFileOpenError& e) {
            progress.Clear();
            ComplainCannotOpen(tool, e);
            status = ExitFailure;
        } catch (const ETransferChanged& e) {
            progress.Clear();
            ComplainChanged(tool, *path, e);
            status = ExitFailure;
        }
    }
    if (status == ExitFailure) {
        tool.Complain("Die Arbeitsmappe " + BytesToUtf8(target) + " wurde nicht geschrieben.");
        return status;
    }
    workbook.Commit();
    return status;
}
#endif
