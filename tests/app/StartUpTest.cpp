// Start-up's choices: the command line's first argument names the file
// whatever it looks like and the toolkit sees none of the arguments; where
// the open dialog starts, by whether the program runs installed.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "LinuxOnly.h"
#include "StartUp.h"

namespace {

// Arguments as main() gets them.
class TArgv {
public:
    explicit TArgv(const QList<QByteArray>& arguments)
        : FStorage(arguments)
    {
        for (QByteArray& argument : FStorage)
            FPointers.push_back(argument.data());
        FPointers.push_back(nullptr);
    }
    int Count() const { return int(FPointers.size()) - 1; }
    char** Values() { return FPointers.data(); }

private:
    QList<QByteArray> FStorage;
    std::vector<char*> FPointers;
};

} // namespace

class TStartUpTest : public QObject {
    Q_OBJECT

private slots:
    void firstArgumentIsThePath_data();
    void firstArgumentIsThePath();
    void toolkitTookNoOption();
    void runsInstalled_data();
    void runsInstalled();
    void dialogStartFolder();
};

void TStartUpTest::firstArgumentIsThePath_data()
{
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::addColumn<bool>("hasPath");
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("none") << QList<QByteArray>{} << false << QByteArray();
    QTest::newRow("a file") << QList<QByteArray>{"a.dat"} << true << QByteArray("a.dat");
    QTest::newRow("only the first") << QList<QByteArray>{"a.dat", "b.dat"} << true << QByteArray("a.dat");
    for (const char* option : {"-reverse", "-style", "-platform", "-display", "-session"})
        QTest::newRow(option) << QList<QByteArray>{option, "offscreen"} << true << QByteArray(option);
    QTest::newRow("Latin-1 bytes") << QList<QByteArray>{"Pr\xFC"
                                                        "fung.dat"}
                                   << true << QByteArray("Pr\xFC"
                                                         "fung.dat");
}

void TStartUpTest::firstArgumentIsThePath()
{
    MORVASK_LINUX_ONLY("Windows reads the process's own wide command line, not argv; tested end to end under Wine");
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(bool, hasPath);
    QFETCH(QByteArray, path);

    TArgv argv(QList<QByteArray>{"morvask-betrachter"} + arguments);
    const TStartArguments taken = TakeArguments(argv.Count(), argv.Values());
    QCOMPARE(taken.Path.has_value(), hasPath);
    if (hasPath)
        QCOMPARE(QByteArray::fromStdString(*taken.Path), path);
    QCOMPARE(taken.ToolkitArgc, 1);
    QCOMPARE(QByteArray(taken.ToolkitArgv[0]), QByteArray("morvask-betrachter"));
    QCOMPARE(taken.ToolkitArgv[1], nullptr);
}

// The application object of this test was made from what start-up hands the
// toolkit for a command line that names a file "-reverse".
void TStartUpTest::toolkitTookNoOption()
{
    QCOMPARE(QCoreApplication::arguments().size(), 1);
    QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
}

void TStartUpTest::runsInstalled_data()
{
    QTest::addColumn<QString>("program"); // below the scratch folder
    QTest::addColumn<QString>("desktopEntry"); // empty: none written
    QTest::addColumn<QString>("searchPath"); // ROOT stands for the scratch folder
    QTest::addColumn<bool>("installed");
    QTest::newRow("build folder") << "build/bin"
                                  << ""
                                  << "/usr/bin:/bin" << false;
    QTest::newRow("any prefix") << "opt/m/bin"
                                << "opt/m/share/applications/morvask-betrachter.desktop"
                                << "" << true;
    QTest::newRow("another program's entry") << "opt/o/bin"
                                             << "opt/o/share/applications/o.desktop"
                                             << "" << false;
    QTest::newRow("on the search path") << "home/.local/bin"
                                        << ""
                                        << "/usr/bin:ROOT/home/.local/bin" << true;
    QTest::newRow("relative search path entry") << "build/bin"
                                                << ""
                                                << ".:bin" << false;
}

void TStartUpTest::runsInstalled()
{
    QFETCH(QString, program);
    QFETCH(QString, desktopEntry);
    QFETCH(QString, searchPath);
    QFETCH(bool, installed);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString folder = root.filePath(program);
    QVERIFY(QDir().mkpath(folder));
    if (!desktopEntry.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(root.filePath(desktopEntry)).path()));
        QFile entry(root.filePath(desktopEntry));
        QVERIFY(entry.open(QIODevice::WriteOnly));
    }
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder)); // what a relative search path entry would name
    searchPath.replace(QLatin1Char(':'), QDir::listSeparator());
    searchPath.replace(QStringLiteral("ROOT"), root.path());
    const bool taken = RunsInstalled(folder, searchPath);
    QDir::setCurrent(before); // Windows removes no folder that is current
    QCOMPARE(taken, installed);
}

void TStartUpTest::dialogStartFolder()
{
    const QString program = QStringLiteral("/opt/m/bin");
    const QString current = QStringLiteral("/srv/daten");
    const QString home = QStringLiteral("/home/nutzer");
    QCOMPARE(DialogStartFolder(program, false, current, home), program);
    QCOMPARE(DialogStartFolder(program, true, current, home), current);
    QCOMPARE(DialogStartFolder(program, true, QDir::rootPath(), home), home);
    QCOMPARE(DialogStartFolder(program, true, program, home), home);
}

int main(int argc, char** argv)
{
    // Made up as a user might: a transfer file named like a toolkit option.
    TArgv commandLine({"StartUpTest", "-reverse"});
    TStartArguments arguments = TakeArguments(commandLine.Count(), commandLine.Values());
    QGuiApplication app(arguments.ToolkitArgc, arguments.ToolkitArgv);
    TStartUpTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StartUpTest.moc"
