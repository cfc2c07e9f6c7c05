// morvask-check: runs the viewer's check on each file given and prints the
// findings in the form compilers use, or as JSON Lines.

#include "CheckReport.h"
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
    "Aufruf: morvask-check [--json] DATEI...\n"
    "\n"
    "Prüft übermittelte Trinkwasser-Dateien (.dat) wie der Morvask-Betrachter:\n"
    "den Dateinamen und den Aufbau der Zeilen und Blöcke.\n"
    "\n"
    "Ausgabe je Meldung:  DATEI:ZEILE: TEXT   (Meldungen zum Dateinamen: DATEI: TEXT)\n"
    "Datei ohne Meldung:  DATEI: OK\n"
    "\n"
    "Optionen:\n"
    "  --json      je Datei ein JSON-Objekt in einer Zeile (JSON Lines)\n"
    "  --help, -h  diese Hilfe zeigen\n"
    "  --version   die Version zeigen\n"
    "  --          alle folgenden Argumente sind Dateien\n"
    "\n"
    "Exit-Status: 0 alle Dateien ohne Meldung, 1 mindestens eine Datei mit Meldungen,\n"
    "2 eine Datei konnte nicht gelesen werden, die Ausgabe konnte nicht geschrieben\n"
    "werden oder die Argumente sind falsch.\n";

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
    std::vector<std::string> files;
    const auto option = [&json](TTool::TOption& o) {
        if (!o.Is("--json"))
            return false;
        json = true;
        return true;
    };
    if (const std::optional<int> status = tool.ReadArguments(ToolArguments(argc, argv), option, files))
        return *status;
    if (files.empty())
        return tool.UsageError("keine Datei angegeben");

    int status = ExitPassed;
    for (const std::string& path : files) {
        TSamplingData data;
        try {
            CheckTransferFile(path, data);
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
        if (json)
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
