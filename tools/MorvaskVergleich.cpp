// morvask-vergleich: what changed between an earlier and a later transfer
// file, examination by examination and field by field.

#include "CheckReport.h"
#include "Comparison.h"
#include "Cp1252.h"
#include "DifferenceReport.h"
#include "ExitStatus.h"
#include "FileOpenError.h"
#include "JsonWriter.h"
#include "SystemErrorText.h"
#include "Tool.h"
#include "ToolPlatform.h"
#ifdef MORVASK_HAVE_XLSX
#include "DifferenceWorkbook.h"
#include "ExportTarget.h"
#include "Output.h"
#endif

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

#ifdef MORVASK_HAVE_XLSX
#define MORVASK_XLSX_NOTE ""
#else
#define MORVASK_XLSX_NOTE "                        (in dieser Ausgabe nicht enthalten)\n"
#endif

const char* const Usage =
    "Aufruf: morvask-vergleich [--format text|jsonl|csv] [--schluessel FELDER] ALT.DAT NEU.DAT\n"
    "        morvask-vergleich --xlsx AUSGABE.xlsx [--schluessel FELDER] ALT.DAT NEU.DAT\n"
    "\n"
    "Vergleicht zwei übermittelte Trinkwasser-Dateien (.dat): was ist in NEU.DAT\n"
    "anders als in ALT.DAT? Beide Dateien werden zuerst wie im Morvask-Betrachter\n"
    "geprüft. Untersuchungen werden über einen Schlüssel einander zugeordnet, ihre\n"
    "Parameter über die Param.-ID (Feld 44); verglichen werden die Felder 1 bis 42\n"
    "und je Parameter die Felder 43 bis 53, ohne Leerzeichen am Rand. Zeilenenden\n"
    "und die Reihenfolge der Untersuchungen und Parameter sind kein Unterschied.\n"
    "\n"
    "Die Ausgabe beginnt mit einer Zusammenfassung, etwa\n"
    "„2 Untersuchungen neu, 1 entfallen, 5 geändert, 120 gleich“, dann folgt jeder\n"
    "Unterschied mit dem Schlüssel der Untersuchung, ihren Zeilen in beiden Dateien,\n"
    "dem Feld mit Nummer und Namen und dem alten und neuen Wert.\n"
    "\n"
    "Optionen:\n"
    "  --format text         die Ausgabe zum Lesen (Vorgabe)\n"
    "  --format jsonl        je Unterschied ein JSON-Objekt in einer Zeile (JSON Lines):\n"
    "                        kind (examinationAdded, examinationRemoved, fieldChanged,\n"
    "                        parameterAdded, parameterRemoved), key, oldLine, newLine,\n"
    "                        field, name, old, new, parameterId, parameterText\n"
    "  --format csv          dieselben Angaben als CSV nach RFC 4180 in UTF-8 mit\n"
    "                        Kopfzeile, Zeilenende LF\n"
    "  --xlsx DATEI          eine Excel-Arbeitsmappe mit den Blättern „Unterschiede“\n"
    "                        und „Untersuchungen“ (alt über neu); geänderte Zellen\n"
    "                        gelb, neue Zeilen grün, entfallene rot; Zeilen- und\n"
    "                        Feldnummern sind Zahlen, alles andere Text\n" MORVASK_XLSX_NOTE
    "  --schluessel FELDER   die Felder des Schlüssels, durch Kommas getrennt, etwa 3,31\n"
    "                        (Feldnummern 1 bis 42). Vorgabe: Feld 31 (Schlüssel des\n"
    "                        Labors) mit Feld 3 (Proben-ID des Labors), wo Feld 3 leer\n"
    "                        ist mit Feld 5 (Proben-ID des GA). Kommt ein Schlüssel\n"
    "                        mehrfach vor, gilt die Reihenfolge in der Datei.\n"
    "  --help, -h            diese Hilfe zeigen\n"
    "  --version             die Version zeigen\n"
    "  --                    alle folgenden Argumente sind Dateien\n"
    "\n"
    "Hat eine Datei Meldungen, wird nicht verglichen: ihre Meldungen erscheinen auf\n"
    "der Standardfehlerausgabe wie bei morvask-check.\n"
    "\n"
    "Eine vorhandene Arbeitsmappe wird nur ersetzt, wenn der Vergleich gelungen ist;\n"
    "das Ziel muss auf .xlsx enden, darf keine der beiden Dateien sein, und eine\n"
    "vorhandene Datei wird nur ersetzt, wenn sie leer oder eine Arbeitsmappe ist.\n"
    "\n"
    "Exit-Status: 0 kein Unterschied, 1 Unterschiede, 2 eine Datei hat Meldungen oder\n"
    "konnte nicht gelesen werden, die Ausgabe konnte nicht geschrieben werden oder die\n"
    "Argumente sind falsch.\n";

enum class EFormat { Text,
                     JsonLines,
                     Csv };

struct TOptions {
    EFormat Format = EFormat::Text;
    bool FormatGiven = false;
    std::string Target; // the workbook, when one is asked for
    TCompareOptions Compare;
    std::vector<std::string> Files;
};

// "3,31" into field numbers 1 to 42, each once; nothing when the list is no such list.
std::optional<std::vector<int>> KeyFields(std::string_view list)
{
    std::vector<int> fields;
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        int field = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), field);
        if (item.empty() || error != std::errc() || end != item.data() + item.size() || field < 1 || field > LastKeyField ||
            std::find(fields.begin(), fields.end(), field) != fields.end())
            return std::nullopt;
        fields.push_back(field);
        if (comma == std::string_view::npos)
            return fields;
        list.remove_prefix(comma + 1);
    }
}

std::optional<int> ParseArguments(TTool& tool, const std::vector<std::string>& args, TOptions& options)
{
    const auto option = [&options](TTool::TOption& o) {
        if (o.Takes("--format")) {
            constexpr EFormat formats[] = {EFormat::Text, EFormat::JsonLines, EFormat::Csv};
            if (const std::optional<std::size_t> chosen = o.Choice("Format", {"text", "jsonl", "csv"}))
                options.Format = formats[*chosen];
            options.FormatGiven = true;
        } else if (o.Takes("--xlsx")) {
            options.Target = o.OutputFile();
        } else if (o.Takes("--schluessel")) {
            const std::optional<std::string> value = o.Value();
            const std::optional<std::vector<int>> fields = value ? KeyFields(*value) : std::nullopt;
            if (!value)
                o.Refuse("--schluessel ohne Felder");
            else if (!fields)
                o.Refuse("ungültige Schlüsselfelder " + BytesToUtf8(*value) + " (Feldnummern 1 bis 42, durch Kommas getrennt)");
            else
                options.Compare.KeyFields = *fields;
        } else {
            return false;
        }
        return true;
    };
    if (const std::optional<int> status = tool.ReadArguments(args, option, options.Files))
        return status;
    if (options.Files.size() != 2)
        return tool.UsageError(options.Files.size() < 2 ? "zwei Dateien erwartet: ALT.DAT NEU.DAT" : "mehr als zwei Dateien angegeben");
    if (!options.Target.empty() && options.FormatGiven)
        return tool.UsageError("--format und --xlsx schließen sich aus");
#ifndef MORVASK_HAVE_XLSX
    if (!options.Target.empty())
        return tool.UsageError("--xlsx ist in dieser Ausgabe nicht enthalten; --format csv verwenden");
#endif
    return std::nullopt;
}

void WriteDifferences(TTool& tool, const TComparison& comparison, EFormat format)
{
    switch (format) {
    case EFormat::Text:
        tool.Write(stdout, ComparisonText(comparison));
        return;
    case EFormat::JsonLines:
        for (const TDifference& d : comparison.Differences)
            tool.Write(stdout, DifferenceJsonLine(d) + "\n");
        return;
    case EFormat::Csv:
        tool.Write(stdout, DifferenceCsvHeading());
        for (const TDifference& d : comparison.Differences)
            tool.Write(stdout, DifferenceCsvRow(d));
        return;
    }
}

int Compare(TTool& tool, const TOptions& options)
{
    const std::string& oldPath = options.Files[0];
    const std::string& newPath = options.Files[1];
#ifdef MORVASK_HAVE_XLSX
    // The target first: a refused one costs no reading.
    const std::string where = options.Target.empty() ? std::string() : CheckWorkbookTarget(options.Target, options.Files);
#endif
    TCompareOptions compare = options.Compare;
    compare.KeepFields = !options.Target.empty();
#ifdef MORVASK_HAVE_XLSX
    // The workbook's rows wait beside it as they come.
    std::optional<TDifferenceWorkbook> workbook;
    if (!options.Target.empty())
        workbook.emplace(where);
    const TComparison comparison = workbook ? CompareTransferFiles(oldPath, newPath, compare, *workbook)
                                            : CompareTransferFiles(oldPath, newPath, compare);
#else
    const TComparison comparison = CompareTransferFiles(oldPath, newPath, compare);
#endif
    bool findings = false;
    for (const auto& [path, check] : {std::pair{&oldPath, &comparison.OldCheck}, std::pair{&newPath, &comparison.NewCheck}}) {
        if (check->MessageCount > 0) {
            tool.Report(CheckResultToText(*path, *check));
            findings = true;
        } else {
            tool.Report(UnexaminedNote(*path, *check));
        }
    }
    if (findings) {
        tool.Complain("Eine Datei mit Meldungen wird nicht verglichen.");
        if (!options.Target.empty())
            tool.Complain("Die Arbeitsmappe " + BytesToUtf8(options.Target) + " wurde nicht geschrieben.");
        return ExitFailure;
    }
#ifdef MORVASK_HAVE_XLSX
    if (!options.Target.empty()) {
        workbook->Commit(comparison, oldPath, newPath, options.Compare.KeyFields);
        return comparison.HasDifferences() ? ExitFindings : ExitPassed;
    }
#endif
    WriteDifferences(tool, comparison, options.Format);
    return comparison.HasDifferences() ? ExitFindings : ExitPassed;
}

} // namespace

int main(int argc, char** argv)
{
    PrepareToolOutput();
    TTool tool("morvask-vergleich", Usage);
    TOptions options;
    if (const std::optional<int> status = ParseArguments(tool, ToolArguments(argc, argv), options))
        return *status;
    return tool.Run([&] {
        try {
            return Compare(tool, options);
        } catch (const EFileOpenError& e) {
            tool.Complain(WithReason(CannotOpenText(BytesToUtf8(e.Path())) + ".", e.Why()));
#ifdef MORVASK_HAVE_XLSX
        } catch (const EOutputError& e) {
            tool.Complain(e.what());
#endif
        }
        return ExitFailure;
    });
}
