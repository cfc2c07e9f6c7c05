// morvask-export: checks transfer files like the viewer and writes the
// examinations of those without findings as one table: CSV or JSON Lines on
// standard output, or an Excel workbook.

#include "ExitStatus.h"
#include "ExportRun.h"
#include "Output.h"
#include "Tool.h"
#include "ToolPlatform.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

#ifdef MORVASK_HAVE_XLSX
#define MORVASK_XLSX_NOTE ""
#else
#define MORVASK_XLSX_NOTE "              (in dieser Ausgabe nicht enthalten)\n"
#endif

const char* const Usage =
    "Aufruf: morvask-export [--format csv|jsonl] DATEI...\n"
    "        morvask-export [--quiet] --xlsx AUSGABE.xlsx DATEI...\n"
    "\n"
    "Prüft übermittelte Trinkwasser-Dateien (.dat) wie der Morvask-Betrachter und gibt die\n"
    "Untersuchungen der Dateien ohne Meldung als eine Tabelle aus: eine Zeile je\n"
    "Analyse-Parameter mit Datei, Nummer und erster Zeile der Untersuchung, ihren\n"
    "Stammdaten (Felder 1 bis 42), der eigenen Zeile des Parameters in der Datei\n"
    "(„Zeilen-Nr. in Datei“) und seinen Feldern 43 bis 53; eine\n"
    "Untersuchung ohne Parameter gibt eine Zeile mit leeren Parameter-Spalten. Die\n"
    "Spalten heißen wie im Fenster des Betrachters, etwa „Entnahmestelle Kurzbez. (16)“.\n"
    "Die Felder stehen als Text genau wie in der Datei, ohne Leerzeichen am Rand.\n"
    "\n"
    "Eine Datei mit Meldungen wird nicht ausgegeben: ihre Meldungen erscheinen auf\n"
    "der Standardfehlerausgabe wie bei morvask-check, die übrigen Dateien werden\n"
    "trotzdem ausgegeben.\n"
    "\n"
    "Optionen:\n"
    "  --format csv     CSV nach RFC 4180 in UTF-8 auf der Standardausgabe (Vorgabe):\n"
    "                   Komma als Trenner, Zeilenende LF, für Skripte und Datenwerkzeuge\n"
    "  --format jsonl   je Untersuchung ein JSON-Objekt in einer Zeile (JSON Lines):\n"
    "                   file, number, firstLine, fields (\"1\" bis \"42\") und\n"
    "                   parameters (je line und \"43\" bis \"53\")\n"
    "  --xlsx DATEI     eine Excel-Arbeitsmappe mit den Blättern „Parameter“ und\n"
    "                   „Untersuchungen“; die Felder sind Text, Nummern und Zeilen\n"
    "                   Zahlen\n" MORVASK_XLSX_NOTE
    "  --quiet          beim Schreiben einer Arbeitsmappe keinen Fortschritt zeigen\n"
    "                   (er erscheint nur, wenn die Standardfehlerausgabe ein\n"
    "                   Terminal ist)\n"
    "  --help           diese Hilfe zeigen\n"
    "  --version        die Version zeigen\n"
    "  --               alle folgenden Argumente sind Dateien\n"
    "\n"
    "Eine CSV-Datei, die eine Tabellenkalkulation per Doppelklick öffnet, wird dort\n"
    "umgedeutet: führende Nullen fallen weg, „0,53“ wird eine Zahl, ein Feld wie\n"
    "„=SUMME(A1)“ eine Formel. Für die Tabellenkalkulation daher --xlsx verwenden.\n"
    "\n"
    "Eine vorhandene Arbeitsmappe wird nur ersetzt, wenn die ganze Ausgabe gelungen\n"
    "ist (Exit-Status 0 oder 1); sonst bleibt sie unverändert. Das Ziel muss auf\n"
    ".xlsx enden und darf keine der Eingabedateien sein; eine vorhandene Datei wird\n"
    "nur ersetzt, wenn sie leer oder eine Arbeitsmappe ist. Eine symbolische\n"
    "Verknüpfung bleibt, ersetzt wird die Datei, auf die sie verweist. Ein\n"
    "Arbeitsblatt fasst höchstens 1048575 Zeilen, ein Teil der Arbeitsmappe höchstens\n"
    "4 GiB: passt die Ausgabe nicht, wird gleich nach der Prüfung abgebrochen, bevor\n"
    "etwas geschrieben ist. Eine Zelle fasst höchstens 32767 Zeichen: eine Datei mit\n"
    "einem längeren Feld wird wie eine Datei mit Meldungen ausgelassen, mit Zeile und\n"
    "Nummer des Feldes auf der Standardfehlerausgabe.\n"
    "\n"
    "Exit-Status: 0 alle Dateien ausgegeben, 1 mindestens eine Datei wegen Meldungen\n"
    "ausgelassen, 2 eine Datei konnte nicht gelesen werden, die Ausgabe konnte nicht\n"
    "geschrieben werden oder die Argumente sind falsch.\n";

struct TOptions {
    EFormat Format = EFormat::Csv;
    bool FormatGiven = false;
    std::string Target; // the workbook, when one is asked for
    bool Quiet = false; // only the workbook shows progress
    std::vector<std::string> Files;
};

// The arguments into options; an exit status when the program ends here
// (a usage error, --help, --version).
std::optional<int> ParseArguments(TTool& tool, const std::vector<std::string>& args, TOptions& options)
{
    const auto option = [&options](TTool::TOption& o) {
        if (o.Takes("--format")) {
            if (const std::optional<std::size_t> chosen = o.Choice("Format", {"csv", "jsonl"}))
                options.Format = *chosen == 0 ? EFormat::Csv : EFormat::JsonLines;
            options.FormatGiven = true;
        } else if (o.Takes("--xlsx")) {
            options.Target = o.OutputFile();
        } else if (o.Is("--quiet") || o.Is("-q")) {
            options.Quiet = true;
        } else {
            return false;
        }
        return true;
    };
    if (const std::optional<int> status = tool.ReadArguments(args, option, options.Files))
        return status;
    if (!options.Target.empty() && options.FormatGiven)
        return tool.UsageError("--format und --xlsx schließen sich aus");
    if (options.Files.empty())
        return tool.UsageError("keine Datei angegeben");
#ifndef MORVASK_HAVE_XLSX
    if (!options.Target.empty())
        return tool.UsageError("--xlsx ist in dieser Ausgabe nicht enthalten; --format csv verwenden");
#endif

    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    PrepareToolOutput();
    TTool tool("morvask-export", Usage);
    TOptions options;
    if (const std::optional<int> status = ParseArguments(tool, ToolArguments(argc, argv), options))
        return *status;
    return tool.Run([&] {
        try {
#ifdef MORVASK_HAVE_XLSX
            if (!options.Target.empty())
                return ExportToWorkbook(tool, options.Files, options.Target, options.Quiet);
#endif
            return ExportToStandardOutput(tool, options.Files, options.Format);
        } catch (const EOutputError& e) {
            tool.Complain(e.what());
        }
        return ExitFailure;
    });
}
