#include "ViewerCommandLine.h"

#include <cstdio>
#include <filesystem>
#include <string_view>

#include "ToolPlatform.h"

namespace {

const char* const Usage =
    "Aufruf: morvask-betrachter [DATEI]\n"
    "\n"
    "Zeigt eine übermittelte Trinkwasser-Datei (.dat): prüft den Dateinamen und den\n"
    "Aufbau der Zeilen und Blöcke und zeigt die Meldungen oder die Untersuchungen.\n"
    "Ohne DATEI fragt ein Dateidialog nach der Datei.\n"
    "\n"
    "Optionen:\n"
    "  --help, -h  diese Hilfe zeigen\n"
    "  --version   die Version zeigen\n"
    "\n"
    "Exit-Status: 0 das Fenster wurde geschlossen, 1 keine Anzeige erreichbar oder\n"
    "das Fenster ließ sich nicht anlegen.\n";

} // namespace

int AnswerInfoOption(int argc, char** argv)
{
    if (argc != 2)
        return -1;
    const std::string_view arg = argv[1];
    const std::string_view text = arg == "--help" || arg == "-h" ? std::string_view(Usage)
                                  : arg == "--version"           ? std::string_view("morvask-betrachter " MORVASK_VERSION "\n")
                                                                 : std::string_view();
    // The first argument is the path whatever it looks like: a file that
    // really is called "--help" is opened, not answered.
    std::error_code error;
    if (text.empty() || std::filesystem::exists(std::filesystem::path(arg), error))
        return -1;
    BorrowParentConsole();
    PrepareToolOutput();
    const bool written = WriteText(stdout, text);
    return std::fflush(stdout) == 0 && written ? 0 : 1;
}
