#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

// What start-up takes from the command line. The toolkit sees none of the
// user's arguments: the first one names the file whatever it looks like, so
// a file called "-reverse" or "-style" is opened, not obeyed.
struct TStartArguments {
    // The first argument in the file system's bytes, exactly as given.
    std::optional<std::string> Path;
    // For the application object: the program name alone.
    int ToolkitArgc = 1;
    char* ToolkitArgv[2] = {nullptr, nullptr};
};

TStartArguments TakeArguments(int argc, char** argv);

// Whether the program runs installed: from a program folder beside which
// the install put its desktop entry (any prefix, a package too), or from a
// folder of the search path. A program run from its build folder or copied
// to a folder of its own is not installed.
bool RunsInstalled(const QString& programFolder, const QString& searchPath);

// Where the open dialog starts. Beside the program while it is not installed,
// since such a program is kept beside its files. An installed program's folder
// holds no transfer files: it starts in the current folder, or in home when
// that is the root or the program's folder, as for a program started from a
// desktop menu or by the session.
QString DialogStartFolder(const QString& programFolder, bool installed, const QString& currentFolder,
                          const QString& homeFolder);

// Both for this process.
QString DialogStartFolder();
