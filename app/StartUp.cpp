#include "StartUp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifdef _WIN32
#include "WideText.h"

#include <windows.h>
// After windows.h, whose declarations it needs.
#include <shellapi.h>
#endif

namespace {

#ifdef _WIN32

// Windows hands main() the arguments in the ANSI code page, which loses every
// character outside it; the wide command line holds them all.
std::optional<std::string> FirstArgument(int, char**)
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr)
        return std::nullopt;
    std::optional<std::string> first;
    if (count > 1) {
        first = WideToUtf8(arguments[1]);
    }
    LocalFree(arguments);
    return first;
}

#else

std::optional<std::string> FirstArgument(int argc, char** argv)
{
    if (argc < 2 || argv[1] == nullptr)
        return std::nullopt;
    return std::string(argv[1]);
}

#endif

QString Canonical(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}

} // namespace

TStartArguments TakeArguments(int argc, char** argv)
{
    TStartArguments arguments;
    arguments.Path = FirstArgument(argc, argv);
    static char fallbackName[] = "morvask-betrachter";
    arguments.ToolkitArgv[0] = argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName;
    return arguments;
}

bool RunsInstalled(const QString& programFolder, const QString& searchPath)
{
    if (QFileInfo::exists(QDir(programFolder).filePath(QStringLiteral(MORVASK_DESKTOP_ENTRY_FROM_BINDIR))))
        return true;
    const QString program = Canonical(programFolder);
    for (const QString& folder : searchPath.split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        // A relative entry such as "." names wherever one happens to be.
        if (QDir::isAbsolutePath(folder) && Canonical(folder) == program)
            return true;
    }
    return false;
}

QString DialogStartFolder(const QString& programFolder, bool installed, const QString& currentFolder,
                          const QString& homeFolder)
{
    if (!installed)
        return programFolder;
    const QString current = Canonical(currentFolder);
    if (current.isEmpty() || QDir(current).isRoot() || current == Canonical(programFolder))
        return homeFolder;
    return currentFolder;
}

QString DialogStartFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const bool installed = RunsInstalled(programFolder, QString::fromLocal8Bit(qgetenv("PATH")));
    return DialogStartFolder(programFolder, installed, QDir::currentPath(), QDir::homePath());
}
