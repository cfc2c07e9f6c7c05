// morvask-check: runs the viewer's check on each file given and prints the
// findings in the form compilers use, or as JSON Lines.

#include "CheckReport.h"
#include "CodeListError.h"
#include "CodeListFolder.h"
#include "CodeLists.h"
#include "ContentFileCheck.h"
#include "Cp1252.h"
#include "ExitStatus.h"
#include "FileNameCheck.h"
#include "FileOpenError.h"
#include "SamplingData.h"
#include "SystemErrorText.h"
#include "Tool.h"
#include "ToolPlatform.h"
#include "TransferFileCheck.h"
#include "Utf8Text.h"

#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

const char* const Usage =
    "Aufruf: morvask-check [--json] [--inhalt [--kodelisten ORDNER]] DATEI...\n"
    "\n"
    "Prüft übermittelte Trinkwasser-Dateien (.dat) wie der Morvask-Betrachter:\n"
    "den Dateinamen und den Aufbau der Zeilen und Blöcke.\n"
    "\n"
    "Ausgabe je Meldung:  DATEI:ZEILE: TEXT   (Meldungen zum Dateinamen: DATEI: TEXT)\n"
    "Datei ohne Meldung:  DATEI: OK\n"
    "\n"
    "Optionen:\n"
    "  --json      je Datei ein JSON-Objekt in einer Zeile (JSON Lines)\n"
    "  --inhalt    auch den Inhalt der Felder prüfen, bei Dateien ohne Meldung zu\n"
    "              Name und Aufbau (siehe unten)\n"
    "  --kodelisten ORDNER  der Ordner der Kodelisten (nur mit --inhalt)\n"
    "  --help, -h  diese Hilfe zeigen\n"
    "  --version   die Version zeigen\n"
    "  --          alle folgenden Argumente sind Dateien\n"
    "\n"
    "Inhaltsprüfung (--inhalt), je Befund eine Meldung an der Zeile des Feldes:\n"
    "  ohne Kodeliste: Feld 3, 14, 16, 17, 19 und 38 nicht leer, Feld 5 nicht leer\n"
    "  in Schnittstelle 2; Feld 18 fünf Ziffern; Feld 22 und, wenn angegeben,\n"
    "  Feld 30 ein echtes Datum T.M.JJJJ, T.M.JJ oder JJJJ-MM-TT, dahinter nach\n"
    "  Leerzeichen oder \"T\" wahlweise eine Uhrzeit h:mm oder h:mm:ss, mit oder\n"
    "  ohne \"Uhr\"; in jeder Parameterzeile Feld 44 oder Feld 45 angegeben.\n"
    "  mit Kodeliste FeldN.txt (ein Eintrag je Zeile, Spalten durch \"|\" getrennt,\n"
    "  Leerzeilen und Zeilen mit \"#\" am Anfang zählen nicht; UTF-8 oder\n"
    "  Windows-1252): die Kodes der Felder 24, 27, 28, 29, 31, 35, 39, 51 und 52,\n"
    "  die Texte der Felder 49 und 53 (ohne Rücksicht auf Groß- und\n"
    "  Kleinschreibung), Feld 25 mit Feld 35 (Feld25.txt: ID|GA-Kodierung),\n"
    "  Feld 44 mit 45 und 50 (Feld44.txt: Kode|Klartext|Einheit), Feld 48 (eine\n"
    "  Zahl oder ein Text aus Feld48.txt). Leere Felder prüft keine Liste.\n"
    "  Ohne Liste entfallen ihre Prüfungen; ein Hinweis sagt, welche.\n"
    "  Ohne --kodelisten: der Ordner \"Kodelisten\" neben dem Programm"
#ifdef _WIN32
    ".\n"
#else
    ", sonst\n"
    "  /usr/share/morvask-betrachter/kodelisten.\n"
#endif
    "\n"
    "Exit-Status: 0 alle Dateien ohne Meldung, 1 mindestens eine Datei mit Meldungen,\n"
    "2 eine Datei konnte nicht gelesen werden, die Ausgabe konnte nicht geschrieben\n"
    "werden, eine Kodeliste ist nicht lesbar oder fehlerhaft oder die Argumente sind\n"
    "falsch.\n";

// A file that could not be checked: the reason on standard error, and with
// --json a record of its own, so that every file given has its line.
void Failed(TTool& tool, const std::string& path, bool json, std::string_view code, const std::string& text)
{
    tool.Complain(text);
    if (json)
        tool.Write(stdout, FailureToJsonLine(path, code, text) + "\n");
}

} // namespace

int main(int argc, char** argv)
{
    PrepareToolOutput();
    TTool tool("morvask-check", Usage);
    bool json = false;
    bool content = false;
    std::optional<std::string> listFolder;
    std::vector<std::string> files;
    const auto option = [&](TTool::TOption& o) {
        if (o.Is("--json")) {
            json = true;
        } else if (o.Is("--inhalt")) {
            content = true;
        } else if (o.Takes("--kodelisten")) {
            listFolder = o.Value();
            if (!listFolder || listFolder->empty())
                o.Refuse("--kodelisten ohne Ordner");
        } else {
            return false;
        }
        return true;
    };
    if (const std::optional<int> status = tool.ReadArguments(ToolArguments(argc, argv), option, files))
        return *status;
    if (listFolder && !content)
        return tool.UsageError("--kodelisten nur mit --inhalt");
    if (files.empty())
        return tool.UsageError("keine Datei angegeben");

    TCodeLists lists;
    if (content) {
        std::string searched;
        try {
            lists = LoadCodeLists(listFolder, searched);
        } catch (const ECodeListError& e) {
            tool.Complain(e.what());
            return tool.Finished(ExitFailure);
        } catch (const std::bad_alloc&) {
            tool.Complain("Nicht genug Arbeitsspeicher f\xC3\xBCr die Kodelisten.");
            return tool.Finished(ExitFailure);
        }
        const std::string note = MissingListsNote(lists, searched);
        if (!note.empty())
            tool.Complain(note);
    }

    int status = ExitPassed;
    for (const std::string& path : files) {
        TSamplingData data;
        std::size_t firstContent = 0;
        try {
            if (content) {
                std::vector<TContentFinding> findings;
                CheckTransferFileContent(path, data, lists, findings);
                firstContent = AddContentMessages(data, findings);
            } else {
                CheckTransferFile(path, data);
            }
        } catch (const EFileOpenError& e) {
            const std::string text = WithReason(CannotOpenText(BytesToUtf8(e.Path())) + ".", e.Why());
            Failed(tool, path, json, ReasonOf(e.Why()).Code, text);
            status = ExitFailure;
            continue;
        } catch (const std::bad_alloc&) {
            Failed(tool, path, json, "no-memory", BytesToUtf8(path) + ": Nicht genug Arbeitsspeicher.");
            status = ExitFailure;
            continue;
        } catch (const std::exception& e) {
            Failed(tool, path, json, "other", BytesToUtf8(path) + ": " + ExceptionText(e));
            status = ExitFailure;
            continue;
        }
        if (json && content)
            tool.Write(stdout, CheckResultToJsonLine(path, data, InterfaceKindOf(data), firstContent) + "\n");
        else if (json)
            tool.Write(stdout, CheckResultToJsonLine(path, data, InterfaceKindOf(data)) + "\n");
        else
            tool.Write(stdout, CheckResultToText(path, data));
        // Nothing more can be said once the output is lost.
        if (tool.StandardOutputLost())
            return tool.Finished(ExitFailure);
        tool.Write(stderr, UnexaminedNote(path, data));
        if (data.MessageCount > 0 && status == ExitPassed)
            status = ExitFindings;
    }
    return tool.Finished(status);
}
