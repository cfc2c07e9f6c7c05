// morvask-vergleich: what changed between an earlier and a later transfer
// file, examination by examination and field by field.

#include "CheckReport.h"
#include "Comparison.h"
#include "DifferenceStream.h"
#include "ExitStatus.h"
#include "FileOpenError.h"
#include "SystemErrorText.h"
#include "Tool.h"
#include "ToolPlatform.h"
#include "TransmissionOrder.h"
#include "Utf8Text.h"
#ifdef MORVASK_HAVE_XLSX
#include "DifferenceWorkbook.h"
#include "ExportTarget.h"
#include "Output.h"
#endif

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
    "geprüft. Verglichen werden die Felder 1 bis 42 und je Parameter die Felder 43\n"
    "bis 53, ohne Leerzeichen am Rand. Zeilenenden und die Reihenfolge der\n"
    "Untersuchungen und Parameter sind kein Unterschied.\n"
    "\n"
    "Gleiche Untersuchungen werden einander zuerst zugeordnet, wo sie auch stehen;\n"
    "von den übrigen mit demselben Schlüssel immer die beiden mit den wenigsten\n"
    "Unterschieden. Mit dem vorgegebenen Schlüssel ist eine Untersuchung, die dann\n"
    "in beiden Dateien übrig ist und dasselbe Feld 31, dieselbe Probenahmestelle\n"
    "(Feld 16) und dieselbe Probenahmezeit (Feld 22) hat, dieselbe Untersuchung mit\n"
    "geändertem Schlüssel. Parameter werden ebenso über die Param.-ID (Feld 44)\n"
    "zugeordnet. Mehr als 64 ungleiche Untersuchungen eines Schlüssels (oder\n"
    "Parameter einer Param.-ID) werden in der Reihenfolge der Datei zugeordnet;\n"
    "ein Hinweis sagt es.\n"
    "\n"
    "Die Ausgabe beginnt mit einer Zusammenfassung, etwa\n"
    "„2 Untersuchungen neu, 1 entfallen, 5 geändert, 120 gleich“, dann folgt jeder\n"
    "Unterschied mit dem Schlüssel der Untersuchung, ihren Zeilen in beiden Dateien,\n"
    "dem Feld mit Nummer und Namen und dem alten und neuen Wert. Sagen die Daten\n"
    "und Uhrzeiten in den Dateinamen, dass NEU.DAT die ältere Datei ist, steht ein\n"
    "Hinweis auf der Standardfehlerausgabe; verglichen wird wie angegeben.\n"
    "\n"
    "Optionen:\n"
    "  --format text         die Ausgabe zum Lesen (Vorgabe)\n"
    "  --format jsonl        je Unterschied ein JSON-Objekt in einer Zeile (JSON Lines):\n"
    "                        kind (examinationAdded, examinationRemoved, fieldChanged,\n"
    "                        parameterAdded, parameterRemoved), key, oldKey (wo der\n"
    "                        Schlüssel sich geändert hat), oldLine, newLine, field,\n"
    "                        name, old, new, parameterId, parameterText; für Skripte\n"
    "  --format csv          dieselben Angaben als CSV nach RFC 4180 in UTF-8 mit\n"
    "                        Kopfzeile, Zeilenende LF, die Art in Worten („Feld\n"
    "                        geändert“ usw.); für Menschen und Tabellenkalkulationen\n"
    "  --xlsx DATEI          eine Excel-Arbeitsmappe mit den Blättern „Unterschiede“\n"
    "                        und „Untersuchungen“ (alt über neu); geänderte Zellen\n"
    "                        gelb, neue Zeilen grün, entfallene rot; Zeilen- und\n"
    "                        Feldnummern sind Zahlen, alles andere Text\n" MORVASK_XLSX_NOTE
    "  --schluessel FELDER   die Felder des Schlüssels, durch Kommas getrennt, etwa 3,31\n"
    "                        (Feldnummern 1 bis 42). Vorgabe: Feld 31 (Schlüssel des\n"
    "                        Labors) mit Feld 3 (Proben-ID des Labors), wo Feld 3 leer\n"
    "                        ist mit Feld 5 (Proben-ID des GA).\n"
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

struct TOptions {
    EReportFormat Format = EReportFormat::Text;
    bool FormatGiven = false;
    std::string Target; // the workbook, when one is asked for
    TCompareOptions Compare;
    std::vector<std::string> Files;
};

std::optional<int> ParseArguments(TTool& tool, const std::vector<std::string>& args, TOptions& options)
{
    const auto option = [&options](TTool::TOption& o) {
        if (o.Takes("--format")) {
            constexpr EReportFormat formats[] = {EReportFormat::Text, EReportFormat::JsonLines, EReportFormat::Csv};
            if (const std::optional<std::size_t> chosen = o.Choice("Format", {"text", "jsonl", "csv"}))
                options.Format = formats[*chosen];
            options.FormatGiven = true;
        } else if (o.Takes("--xlsx")) {
            options.Target = o.OutputFile();
        } else if (o.Takes("--schluessel")) {
            const std::optional<std::string> value = o.Value();
            const std::optional<std::vector<int>> fields = value ? ParseKeyFields(*value) : std::nullopt;
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

int Compare(TTool& tool, const TOptions& options)
{
    const std::string& oldPath = options.Files[0];
    const std::string& newPath = options.Files[1];
#ifdef MORVASK_HAVE_XLSX
    // The target first: a refused one costs no reading.
    const std::string where = options.Target.empty() ? std::string() : CheckWorkbookTarget(options.Target, options.Files);
#endif
    if (const std::string note = ReversedOrderNote(oldPath, newPath); !note.empty())
        tool.Report(note);
    TCompareOptions compare = options.Compare;
    compare.KeepFields = !options.Target.empty();
    TDifferenceStream report(options.Format, [&tool](std::string_view text) { tool.Write(stdout, text); });
    TDifferenceSink* sink = &report;
#ifdef MORVASK_HAVE_XLSX
    // The workbook's rows wait beside it as they come.
    std::optional<TDifferenceWorkbook> workbook;
    if (!options.Target.empty())
        sink = &workbook.emplace(where);
#endif
    const TComparison comparison = CompareTransferFiles(oldPath, newPath, compare, *sink);
    bool findings = false;
    for (const auto& [path, check] : {std::pair{&oldPath, &comparison.OldCheck}, std::pair{&newPath, &comparison.NewCheck}}) {
        findings = findings || check->MessageCount > 0;
        tool.Report(check->MessageCount > 0 ? CheckResultToText(*path, *check) : UnexaminedNote(*path, *check));
    }
    if (findings) {
        tool.Complain("Eine Datei mit Meldungen wird nicht verglichen.");
        if (!options.Target.empty())
            tool.Complain("Die Arbeitsmappe " + BytesToUtf8(options.Target) + " wurde nicht geschrieben.");
        return ExitFailure;
    }
#ifdef MORVASK_HAVE_XLSX
    if (workbook)
        workbook->Commit(comparison, oldPath, newPath, options.Compare.KeyFields);
#endif
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
