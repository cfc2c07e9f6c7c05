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
#include "ToolPlatform.h"
#ifdef MORVASK_HAVE_XLSX
#include "DifferenceWorkbook.h"
#include "ExportTarget.h"
#include "OutputFile.h"
#endif

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <exception>
#include <new>
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
    "                        gelb, neue Zeilen grün, entfallene rot; jede Zelle ist\n"
    "                        Text\n" MORVASK_XLSX_NOTE
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

bool WriteFailed = false;
TSystemError WriteError; // why the output failed, once it has

void Write(std::FILE* stream, std::string_view text)
{
    if (!WriteText(stream, text) && !WriteFailed) {
        WriteFailed = true;
        WriteError = LastErrno();
    }
}

void Complain(std::string_view text)
{
    std::fflush(stdout);
    Write(stderr, "morvask-vergleich: ");
    Write(stderr, text);
    Write(stderr, "\n");
}

int UsageError(std::string_view problem)
{
    Complain(problem);
    Write(stderr, "Weitere Informationen mit »morvask-vergleich --help«.\n");
    return ExitFailure;
}

// A message that could not be written leaves the caller uninformed: a failure.
int Finished(int status)
{
    if (std::fflush(stdout) != 0 && !WriteFailed)
        WriteError = LastErrno();
    if (std::ferror(stdout) || WriteFailed) {
        Complain(WithReason("Die Ausgabe kann nicht geschrieben werden.", WriteError));
        return ExitFailure;
    }
    return status;
}

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

// The value of an option given as "--name VALUE" or "--name=VALUE".
std::optional<std::string_view> OptionValue(const std::vector<std::string>& args, std::size_t& i, std::string_view name)
{
    const std::string_view arg = args[i];
    if (arg == name)
        return i + 1 < args.size() ? std::optional<std::string_view>(args[++i]) : std::nullopt;
    return arg.substr(name.size() + 1);
}

bool IsOption(std::string_view arg, std::string_view name) { return arg == name || (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '='); }

std::optional<int> ParseArguments(const std::vector<std::string>& args, TOptions& options)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.Files.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (IsOption(arg, "--format")) {
            const std::optional<std::string_view> value = OptionValue(args, i, "--format");
            if (!value)
                return UsageError("--format ohne Wert");
            if (*value == "text")
                options.Format = EFormat::Text;
            else if (*value == "jsonl")
                options.Format = EFormat::JsonLines;
            else if (*value == "csv")
                options.Format = EFormat::Csv;
            else
                return UsageError("unbekanntes Format " + BytesToUtf8(*value) + " (text, jsonl oder csv)");
            options.FormatGiven = true;
        } else if (IsOption(arg, "--xlsx")) {
            const std::optional<std::string_view> value = OptionValue(args, i, "--xlsx");
            if (!value || value->empty())
                return UsageError("--xlsx ohne Ausgabedatei");
            options.Target = *value;
        } else if (IsOption(arg, "--schluessel")) {
            const std::optional<std::string_view> value = OptionValue(args, i, "--schluessel");
            if (!value)
                return UsageError("--schluessel ohne Felder");
            const std::optional<std::vector<int>> fields = KeyFields(*value);
            if (!fields)
                return UsageError("ungültige Schlüsselfelder " + BytesToUtf8(*value) + " (Feldnummern 1 bis 42, durch Kommas getrennt)");
            options.Compare.KeyFields = *fields;
        } else if (arg == "--help" || arg == "-h") {
            Write(stdout, Usage);
            return Finished(ExitPassed);
        } else if (arg == "--version") {
            Write(stdout, "morvask-vergleich 1.0\n");
            return Finished(ExitPassed);
        } else {
            return UsageError("unbekannte Option " + BytesToUtf8(arg));
        }
    }
    if (options.Files.size() != 2)
        return UsageError(options.Files.size() < 2 ? "zwei Dateien erwartet: ALT.DAT NEU.DAT" : "mehr als zwei Dateien angegeben");
    if (!options.Target.empty() && options.FormatGiven)
        return UsageError("--format und --xlsx schließen sich aus");
#ifndef MORVASK_HAVE_XLSX
    if (!options.Target.empty())
        return UsageError("--xlsx ist in dieser Ausgabe nicht enthalten; --format csv verwenden");
#endif
    return std::nullopt;
}

void WriteDifferences(const TComparison& comparison, EFormat format)
{
    switch (format) {
    case EFormat::Text:
        Write(stdout, ComparisonText(comparison));
        return;
    case EFormat::JsonLines:
        for (const TDifference& d : comparison.Differences)
            Write(stdout, DifferenceJsonLine(d) + "\n");
        return;
    case EFormat::Csv:
        Write(stdout, DifferenceCsvHeading());
        for (const TDifference& d : comparison.Differences)
            Write(stdout, DifferenceCsvRow(d));
        return;
    }
}

int Compare(const TOptions& options)
{
    const std::string& oldPath = options.Files[0];
    const std::string& newPath = options.Files[1];
#ifdef MORVASK_HAVE_XLSX
    // The target first: a refused one costs no reading.
    const std::string where = options.Target.empty() ? std::string() : CheckWorkbookTarget(options.Target, options.Files);
#endif
    TCompareOptions compare = options.Compare;
    compare.KeepFields = !options.Target.empty();
    const TComparison comparison = CompareTransferFiles(oldPath, newPath, compare);
    bool findings = false;
    for (const auto& [path, check] : {std::pair{&oldPath, &comparison.OldCheck}, std::pair{&newPath, &comparison.NewCheck}}) {
        if (check->MessageCount > 0) {
            Write(stderr, CheckResultToText(*path, *check));
            findings = true;
        } else {
            Write(stderr, UnexaminedNote(*path, *check));
        }
    }
    if (findings) {
        Complain("Eine Datei mit Meldungen wird nicht verglichen.");
        if (!options.Target.empty())
            Complain("Die Arbeitsmappe " + BytesToUtf8(options.Target) + " wurde nicht geschrieben.");
        return ExitFailure;
    }
#ifdef MORVASK_HAVE_XLSX
    if (!options.Target.empty()) {
        WriteDifferenceWorkbook(where, comparison);
        return comparison.HasDifferences() ? ExitFindings : ExitPassed;
    }
#endif
    WriteDifferences(comparison, options.Format);
    return comparison.HasDifferences() ? ExitFindings : ExitPassed;
}

} // namespace

int main(int argc, char** argv)
{
    PrepareToolOutput();
    TOptions options;
    if (const std::optional<int> status = ParseArguments(ToolArguments(argc, argv), options))
        return *status;
    try {
        return Finished(Compare(options));
    } catch (const EFileOpenError& e) {
        Complain(WithReason(CannotOpenText(BytesToUtf8(e.Path()), Cp1252ToUtf8) + ".", e.Why()));
#ifdef MORVASK_HAVE_XLSX
    } catch (const EOutputError& e) {
        Complain(e.what());
#endif
    } catch (const std::bad_alloc&) {
        Complain("Nicht genug Arbeitsspeicher.");
    } catch (const std::exception& e) {
        Complain(ExceptionText(e));
    }
    return Finished(ExitFailure);
}
