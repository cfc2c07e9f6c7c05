// morvask-check: runs the viewer's check on each file given and prints the
// findings in the form compilers use, or as JSON Lines.

#include "CheckReport.h"
#include "Cp1252.h"
#include "ExitStatus.h"
#include "FileNameCheck.h"
#include "FileOpenError.h"
#include "JsonWriter.h"
#include "SamplingData.h"
#include "SystemErrorText.h"
#include "ToolPlatform.h"
#include "TransferFileCheck.h"

#include <cstdio>
#include <exception>
#include <new>
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

// Why standard output failed, once it has.
bool OutputFailed = false;
TSystemError OutputError;

void Write(std::FILE* stream, std::string_view text)
{
    if (!WriteText(stream, text) && stream == stdout && !OutputFailed) {
        OutputFailed = true;
        OutputError = LastErrno();
    }
}

// Standard output written through; false (and the reason said) when it was not.
bool OutputArrived()
{
    if (std::fflush(stdout) != 0 && !OutputFailed) {
        OutputFailed = true;
        OutputError = LastErrno();
    }
    if (OutputFailed || std::ferror(stdout)) {
        Write(stderr, "morvask-check: " + WithReason("Die Ausgabe kann nicht geschrieben werden.", OutputError) + "\n");
        return false;
    }
    return true;
}

int UsageError(std::string_view problem)
{
    Write(stderr, "morvask-check: ");
    Write(stderr, problem);
    Write(stderr, "\nWeitere Informationen mit »morvask-check --help«.\n");
    return ExitFailure;
}

// A file that could not be checked: the reason on standard error, and with
// --json a record of its own, so that every file given has its line.
void Failed(const std::string& path, bool json, std::string_view code, const std::string& text)
{
    std::fflush(stdout);
    Write(stderr, "morvask-check: " + text + "\n");
    if (json)
        Write(stdout, FailureToJsonLine(path, code, text) + "\n");
}

} // namespace

int main(int argc, char** argv)
{
    PrepareToolOutput();
    bool json = false;
    bool optionsEnded = false;
    std::vector<std::string> files;
    for (const std::string& arg : ToolArguments(argc, argv)) {
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--json") {
                json = true;
            } else if (arg == "--help" || arg == "-h") {
                Write(stdout, Usage);
                return OutputArrived() ? ExitPassed : ExitFailure;
            } else if (arg == "--version") {
                Write(stdout, "morvask-check 1.0\n");
                return OutputArrived() ? ExitPassed : ExitFailure;
            } else {
                return UsageError("unbekannte Option " + BytesToUtf8(arg));
            }
        } else {
            files.emplace_back(arg);
        }
    }
    if (files.empty())
        return UsageError("keine Datei angegeben");

    int status = ExitPassed;
    for (const std::string& path : files) {
        TSamplingData data;
        try {
            CheckTransferFile(path, data);
        } catch (const EFileOpenError& e) {
            const std::string text = WithReason(CannotOpenText(BytesToUtf8(e.Path()), Cp1252ToUtf8) + ".", e.Why());
            Failed(path, json, ReasonOf(e.Why()).Code, text);
            status = ExitFailure;
            continue;
        } catch (const std::bad_alloc&) {
            Failed(path, json, "no-memory", BytesToUtf8(path) + ": Nicht genug Arbeitsspeicher.");
            status = ExitFailure;
            continue;
        } catch (const std::exception& e) {
            Failed(path, json, "other", BytesToUtf8(path) + ": " + ExceptionText(e));
            status = ExitFailure;
            continue;
        }
        if (json)
            Write(stdout, CheckResultToJsonLine(path, data, InterfaceKindOf(data)) + "\n");
        else
            Write(stdout, CheckResultToText(path, data));
        // Nothing more can be said once the output is lost.
        if (!OutputArrived())
            return ExitFailure;
        Write(stderr, UnexaminedNote(path, data));
        if (data.MessageCount > 0 && status == ExitPassed)
            status = ExitFindings;
    }
    return OutputArrived() ? status : ExitFailure;
}
