#include <QApplication>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QSettings>
#include <QTranslator>

#include <cstdio>
#include <exception>

#include "AppIcon.h"
#include "ClassicLook.h"
#include "DisplayCheck.h"
#include "ErrorDisplay.h"
#include "HelpInfoForm.h"
#include "Main.h"
#include "PathSource.h"
#include "StartUp.h"
#include "ViewerCommandLine.h"

namespace {

// The viewer keeps no settings, and neither may the toolkit: its file dialog
// saves its state in the user's configuration folder when it closes. A folder
// below /dev/null can never be created, so every such write fails quietly.
void KeepNoSettings()
{
    const QString nowhere = QStringLiteral("/dev/null/morvask-betrachter");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
}

// A session manager restores a program by starting it with "-session" and an
// identifier, which the viewer would take for the name of its file. It keeps
// no state worth restoring, so it asks not to be restarted.
void StayOutOfSessionRestore(QGuiApplication& app)
{
#if QT_CONFIG(sessionmanager)
    QObject::connect(&app, &QGuiApplication::saveStateRequest,
                     [](QSessionManager& manager) { manager.setRestartHint(QSessionManager::RestartNever); });
#else
    Q_UNUSED(app);
#endif
}

} // namespace

int main(int argc, char* argv[])
{
    // Help and version need no display; a file of that name still opens.
    const int answered = AnswerInfoOption(argc, argv);
    if (answered >= 0)
        return answered;

    TStartArguments arguments = TakeArguments(argc, argv);
    // Without a display the toolkit would abort with a core dump.
    const std::string displayProblem = MissingDisplayMessage();
    if (!displayProblem.empty()) {
        std::fprintf(stderr, "%s\n", displayProblem.c_str());
        return 1;
    }

    KeepNoSettings();
    // A desktop's own file chooser (the print dialog asks one for "print to
    // file") may note the file among its recent ones; the toolkit's keeps nothing.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(arguments.ToolkitArgc, arguments.ToolkitArgv);
    ReleaseDisplayProbe();
    StayOutOfSessionRestore(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("morvask-betrachter"));
    QApplication::setWindowIcon(AppIcon());
    ApplyClassicLook(app);
    // The program speaks German; so should the toolkit's own dialog texts
    // wherever the system carries its translations.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    try {
        // The main window comes first: it is the one whose closing ends the run.
        TMainForm MainForm;
        TfrmInfoHelp frmInfoHelp;
        frmInfoHelp.hide();
        MainForm.SetHelpForm(&frmInfoHelp);
        // The first argument names the file; without one the user picks it.
        MainForm.SetPathSource(arguments.Path ? GivenPath(*arguments.Path) : OpenDialogChoice(DialogStartFolder()));
        MainForm.show();
        return app.exec();
    } catch (const std::exception& error) {
        // Only the creation of the windows can get here; handlers catch their own.
        ShowApplicationError(error);
        return 1;
    }
}
