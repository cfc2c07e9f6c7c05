#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

#include <functional>

#include "ClassicLook.h"
#include "ErrorDisplay.h"
#include "FieldLayout.h"
#include "HelpInfoForm.h"
#include "Main.h"

namespace {

const QByteArray KCrLf = QByteArrayLiteral("\r\n");

QByteArray Header1()
{
    QByteArray line = "1|E|";
    for (int field = FieldLayout::Header1.FirstField + 2; field < FieldLayout::Header2.FirstField; ++field)
        line += "f" + QByteArray::number(field) + "|";
    return line;
}

QByteArray Header2()
{
    QByteArray line = "2|MATW|";
    for (int field = FieldLayout::Header2.FirstField + 2; field < FieldLayout::Parameter.FirstField; ++field)
        line += "f" + QByteArray::number(field) + "|";
    return line;
}

QByteArray Parameter()
{
    QByteArray line = "2|";
    for (int field = FieldLayout::Parameter.FirstField + 1; field < FieldLayout::End.FirstField; ++field)
        line += "p" + QByteArray::number(field) + "|";
    return line;
}

QByteArray Lines(const QList<QByteArray>& lines)
{
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line + KCrLf;
    return text;
}

// One block with two parameter lines: passes the structure check.
QByteArray GoodFile()
{
    return Lines({Header1(), Header2(), Parameter(), Parameter(), "3|2"});
}

// The second parameter line lacks its final "|": messages for lines 4 and 5.
QByteArray FaultyFile()
{
    return Lines({Header1(), Header2(), Parameter(), Parameter().chopped(1), "3|2"});
}

const QString KKind0Line1 = QStringLiteral("ist mit dieser Datei schnittstellenkonform NICHT möglich !!!");
const QString KKind0Line2 = QStringLiteral("Der Dateiname entspricht NICHT der Schnittstellenkonvention !!!");
const QString KKind1Line1 = QStringLiteral("vom Wasserversorgungsunternehmen zum Gesundheitsamt");
const QString KKind1Line2 = QStringLiteral("nach Schnittstelle 1");
const QString KKind2Line1 = QStringLiteral("vom Gesundheitsamt zum Landesgesundheitsamt");
const QString KKind2Line2 = QStringLiteral("nach Schnittstelle 2");

QString OpenedTitle(const QString& path)
{
    return QStringLiteral("Morvask-Betrachter 1.0  -  '") + path + QLatin1Char('\'');
}

struct TShown {
    QStringList Texts;
};

class TSinkGuard {
public:
    explicit TSinkGuard(TShown& shown)
        : FPrevious(SetErrorSink([&shown](const QString&, const QString& text) { shown.Texts << text; }))
    {
    }
    ~TSinkGuard() { SetErrorSink(FPrevious); }

private:
    TErrorSink FPrevious;
};

// What one look at the window shows.
struct TView {
    QString Title;
    QString Interface1;
    QString Interface2;
    bool ErrorPanelShown = false;
    bool ErrorPanelOnTop = false;
    QString ErrorText;
    QString FileName;
};

TView Look(TMainForm& form)
{
    TView view;
    view.Title = form.windowTitle();
    view.Interface1 = form.findChild<QLabel*>(QStringLiteral("lblSchnittstelle1"))->text();
    view.Interface2 = form.findChild<QLabel*>(QStringLiteral("lblSchnittstelle2"))->text();
    auto* panel = form.findChild<QWidget*>(QStringLiteral("pnlErrorText"));
    view.ErrorPanelShown = !panel->isHidden();
    QWidget* top = nullptr;
    for (QObject* child : form.children()) {
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
            top = widget;
    }
    view.ErrorPanelOnTop = top == panel;
    view.ErrorText = form.findChild<QPlainTextEdit*>(QStringLiteral("memErrorText"))->toPlainText();
    view.FileName = form.FileName();
    return view;
}

// Plays the user at the open dialog: waits for it, notes how it was set up,
// then cancels it or types a name and presses Enter.
class TDialogUser : public QObject {
public:
    QString Title;
    QString Folder;
    QStringList Filters;
    QString SelectedFilter;
    QString AcceptLabel;
    QFileDialog::Options Options;
    QFileDialog::FileMode Mode = QFileDialog::Directory;
    QFileDialog::AcceptMode Accept = QFileDialog::AcceptSave;
    int Seen = 0;

    // An empty name cancels.
    explicit TDialogUser(const QString& typedName)
        : FTypedName(typedName)
    {
        connect(&FPoll, &QTimer::timeout, this, [this] { Poll(); });
        FPoll.start(10);
    }

private:
    void Poll()
    {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog == FLast)
            return;
        FLast = dialog;
        ++Seen;
        Title = dialog->windowTitle();
        Folder = dialog->directory().absolutePath();
        Filters = dialog->nameFilters();
        SelectedFilter = dialog->selectedNameFilter();
        AcceptLabel = dialog->labelText(QFileDialog::Accept);
        Options = dialog->options();
        Mode = dialog->fileMode();
        Accept = dialog->acceptMode();
        if (FTypedName.isEmpty()) {
            dialog->reject();
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit != nullptr);
        // Typing key by key is left to the desktop run; here the name is put
        // in whole, as a paste would, and Enter confirms it.
        edit->setFocus();
        edit->setText(FTypedName);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    QString FTypedName;
    QTimer FPoll;
    QFileDialog* FLast = nullptr;
};

// Waits until the open has run (it runs from a zero timer after the first show).
void ShowAndSettle(TMainForm& form)
{
    form.show();
    QTest::qWait(50);
}

} // namespace

class TMainOpenTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void createdState();
    void openShowsView_data();
    void openShowsView();
    void unreadableFileLeavesWindowUnopened_data();
    void unreadableFileLeavesWindowUnopened();
    void openDialog_data();
    void openDialog();
    void openRunsOnceOnly();
    void keysInErrorView_data();
    void keysInErrorView();
    void helpKeepsDataView();

private:
    QString Write(const QString& name, const QByteArray& content);
    QTemporaryDir FFolder;
    // Catches what a test does not expect to be shown, instead of a blocking box.
    TShown FUnexpected;
    TErrorSink FPreviousSink;
};

void TMainOpenTest::initTestCase()
{
    QVERIFY(FFolder.isValid());
}

void TMainOpenTest::init()
{
    FUnexpected.Texts.clear();
    FPreviousSink = SetErrorSink([this](const QString&, const QString& text) { FUnexpected.Texts << text; });
}

void TMainOpenTest::cleanup()
{
    SetErrorSink(FPreviousSink);
    QVERIFY2(FUnexpected.Texts.isEmpty(), qPrintable(FUnexpected.Texts.join(QLatin1Char('\n'))));
}

QString TMainOpenTest::Write(const QString& name, const QByteArray& content)
{
    const QString path = FFolder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(content);
    return path;
}

void TMainOpenTest::createdState()
{
    TMainForm form;
    const TView view = Look(form);
    QCOMPARE(view.Title, QStringLiteral("Morvask-Betrachter"));
    QCOMPARE(view.Interface1, QString());
    QCOMPARE(view.Interface2, QString());
    QVERIFY(!view.ErrorPanelShown);
    QCOMPARE(view.FileName, QString());
    QCOMPARE(form.InvestigationCount(), 0);
}

void TMainOpenTest::openShowsView_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("interface1");
    QTest::addColumn<QString>("interface2");
    QTest::addColumn<QString>("errorText"); // empty: the data view

    const QString line4 = QStringLiteral("       Zeile   4: Die Zeile muss genau 11 Felder (Felder 43-53) enthalten.\n");
    const QString line5 = QStringLiteral("       Zeile   5: Die Anzahl der übermittelten Parameter stimmt nicht.\n");

    QTest::newRow("interface 1") << "ABCD_070312_143005.DAT" << GoodFile() << KKind1Line1 << KKind1Line2 << "";
    QTest::newRow("interface 1, lower case") << "abcd_070312_143005.dat" << GoodFile() << KKind1Line1 << KKind1Line2 << "";
    QTest::newRow("interface 2") << "ABCD_EFGH_071231_235959.DAT" << GoodFile() << KKind2Line1 << KKind2Line2 << "";
    QTest::newRow("name off the convention") << "data.dat" << GoodFile() << KKind0Line1 << KKind0Line2 << "";
    QTest::newRow("structure errors, interface 2")
        << "ABCD_EFGH_071231_235958.DAT" << FaultyFile() << KKind2Line1 << KKind2Line2 << line4 + line5;
    QTest::newRow("structure errors, no convention")
        << "fehler.dat" << FaultyFile() << KKind0Line1 << KKind0Line2 << line4 + line5;
    QTest::newRow("impossible date")
        << "ABCD_070229_120000.DAT" << GoodFile() << KKind1Line1 << KKind1Line2
        << "Die Datumsangabe '29.02.07' im Dateinamen ist ungültig.\n";
    QTest::newRow("malformed conventional name")
        << "ABCD-070312_143005.DAT" << GoodFile() << KKind0Line1 << KKind0Line2 << "Der Dateiname ist ungültig.\n";
    QTest::newRow("name and structure messages in order")
        << "ABCD_071301_120000.DAT" << FaultyFile() << KKind1Line1 << KKind1Line2
        << "Die Datumsangabe '01.13.07' im Dateinamen ist ungültig.\n" + line4 + line5;
    QTest::newRow("empty file")
        << "leer.dat" << QByteArray() << KKind0Line1 << KKind0Line2
        << "       Zeile   1: Das Datensatzende wurde unerwartet erreicht (Feld 55 fehlt).\n";
}

void TMainOpenTest::openShowsView()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, interface1);
    QFETCH(QString, interface2);
    QFETCH(QString, errorText);

    const QString path = Write(name, content);
    QVERIFY(!path.isEmpty());
    TShown shown;
    TSinkGuard guard(shown);
    TMainForm form;
    Guarded([&] { form.OpenTransferFile(path); });

    QCOMPARE(shown.Texts, QStringList());
    const TView view = Look(form);
    QCOMPARE(view.Title, OpenedTitle(path));
    QCOMPARE(view.Interface1, interface1);
    QCOMPARE(view.Interface2, interface2);
    if (errorText.isEmpty()) {
        QVERIFY2(!view.ErrorPanelShown, qPrintable(view.ErrorText));
        QCOMPARE(view.FileName, path);
        QCOMPARE(form.InvestigationCount(), 1);
    } else {
        QVERIFY(view.ErrorPanelShown);
        QVERIFY(view.ErrorPanelOnTop);
        QCOMPARE(view.FileName, QString());
        QCOMPARE(view.ErrorText, errorText);
        QCOMPARE(form.InvestigationCount(), 0);
    }
}

void TMainOpenTest::unreadableFileLeavesWindowUnopened_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");

    // A relative path is reported exactly as given.
    QTest::newRow("relative, missing") << "fehlt/ABCD_070312_143005.DAT"
                                       << "Datei fehlt/ABCD_070312_143005.DAT kann nicht geöffnet werden.";
    const QString missing = FFolder.filePath(QStringLiteral("nicht da.dat"));
    QTest::newRow("absolute, missing") << missing << "Datei " + missing + " kann nicht geöffnet werden.";
    QTest::newRow("a folder") << FFolder.path() << "Datei " + FFolder.path() + " kann nicht geöffnet werden.";
    const QString pipe = FFolder.filePath(QStringLiteral("ABCD_070312_143005.DAT"));
    QFile::remove(pipe);
    mkfifo(QFile::encodeName(pipe).constData(), 0600); // must not block the window
    QTest::newRow("a named pipe") << pipe << "Datei " + pipe + " kann nicht geöffnet werden.";
    const QString umlaut = FFolder.filePath(QStringLiteral("Prüfung_fehlt.dat"));
    QTest::newRow("non-ASCII name") << umlaut << "Datei " + umlaut + " kann nicht geöffnet werden.";
}

void TMainOpenTest::unreadableFileLeavesWindowUnopened()
{
    QFETCH(QString, path);
    QFETCH(QString, message);

    TShown shown;
    TSinkGuard guard(shown);
    TMainForm form;
    Guarded([&] { form.OpenTransferFile(path); });

    QCOMPARE(shown.Texts, QStringList {message});
    const TView view = Look(form);
    QCOMPARE(view.Title, QStringLiteral("Morvask-Betrachter"));
    QCOMPARE(view.Interface1, QString());
    QCOMPARE(view.Interface2, QString());
    QVERIFY(!view.ErrorPanelShown);
    QCOMPARE(view.FileName, QString());
    QCOMPARE(form.InvestigationCount(), 0);
}

void TMainOpenTest::openDialog_data()
{
    QTest::addColumn<QString>("typed"); // empty: cancel
    QTest::addColumn<bool>("stillOpen");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("messages");

    const QString good = Write(QStringLiteral("WXYZ_070312_143005.DAT"), GoodFile());
    const QString missing = FFolder.filePath(QStringLiteral("getippt.dat"));
    QTest::newRow("cancelled: the program ends quietly") << "" << false << "Morvask-Betrachter" << QStringList();
    QTest::newRow("good file typed") << good << true << OpenedTitle(good) << QStringList();
    QTest::newRow("name of a missing file typed")
        << missing << true << "Morvask-Betrachter"
        << QStringList {"Datei " + missing + " kann nicht geöffnet werden."};
}

void TMainOpenTest::openDialog()
{
    QFETCH(QString, typed);
    QFETCH(bool, stillOpen);
    QFETCH(QString, title);
    QFETCH(QStringList, messages);

    TShown shown;
    TSinkGuard guard(shown);
    TDialogUser user(typed);
    TMainForm form;
    ShowAndSettle(form);
    QTRY_COMPARE(user.Seen, 1);
    QTRY_COMPARE(form.isVisible(), stillOpen);

    QCOMPARE(user.Title, QStringLiteral("Morvask-Betrachter  -  Schnittstellen-Datei öffnen ..."));
    QCOMPARE(user.Folder, QDir(QCoreApplication::applicationDirPath()).absolutePath());
    QCOMPARE(user.Filters, (QStringList {"DAT-Dateien (*.dat)", "Alle Dateien (*.*)"}));
    QCOMPARE(user.SelectedFilter, QStringLiteral("DAT-Dateien (*.dat)"));
    QCOMPARE(user.AcceptLabel, QStringLiteral("Öffnen"));
    QCOMPARE(user.Mode, QFileDialog::AnyFile);
    QCOMPARE(user.Accept, QFileDialog::AcceptOpen);
    QVERIFY(user.Options.testFlag(QFileDialog::DontUseNativeDialog));
    QVERIFY(user.Options.testFlag(QFileDialog::ReadOnly));

    QCOMPARE(form.windowTitle(), title);
    QCOMPARE(shown.Texts, messages);
}

// Showing the window again (as after a minimise or a return from another
// program) neither opens the dialog again nor reopens the file.
void TMainOpenTest::openRunsOnceOnly()
{
    const QString path = Write(QStringLiteral("ABCD_EFGH_070312_143005.DAT"), GoodFile());
    TDialogUser user(path);
    TMainForm form;
    ShowAndSettle(form);
    QTRY_COMPARE(form.windowTitle(), OpenedTitle(path));

    Write(QStringLiteral("ABCD_EFGH_070312_143005.DAT"), FaultyFile());
    form.hide();
    form.show();
    QApplication::setActiveWindow(&form);
    QTest::qWait(100);
    QCOMPARE(user.Seen, 1);
    QVERIFY(!Look(form).ErrorPanelShown);
    QCOMPARE(form.FileName(), path);
}

void TMainOpenTest::keysInErrorView_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Escape in the error text") << "memErrorText" << int(Qt::Key_Escape) << false;
    QTest::newRow("Enter in the error text") << "memErrorText" << int(Qt::Key_Return) << false;
    QTest::newRow("Escape on the list") << "sgObjectList" << int(Qt::Key_Escape) << true;
    QTest::newRow("Enter on the list") << "sgObjectList" << int(Qt::Key_Return) << true;
    QTest::newRow("Escape on OK") << "bbtnClose" << int(Qt::Key_Escape) << true;
}

void TMainOpenTest::keysInErrorView()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(bool, closes);

    const QString path = Write(QStringLiteral("ABCD_070312_150000.DAT"), FaultyFile());
    TDialogUser user(path);
    TMainForm form;
    ShowAndSettle(form);
    QTRY_VERIFY(Look(form).ErrorPanelShown);

    QApplication::setActiveWindow(&form);
    auto* target = form.findChild<QWidget*>(focus);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);
    QTest::keyClick(target, Qt::Key(key));
    QTest::qWait(300); // the button animates its click
    QCOMPARE(form.isVisible(), !closes);
}

// F1 shows the help; closing it leaves the data view as it was, and the file
// is not checked again (it has turned faulty meanwhile).
void TMainOpenTest::helpKeepsDataView()
{
    const QString path = Write(QStringLiteral("HILF_070312_143005.DAT"), GoodFile());
    TDialogUser user(path);
    TMainForm form;
    TfrmInfoHelp help;
    form.SetHelpForm(&help);
    ShowAndSettle(form);
    QTRY_COMPARE(form.FileName(), path);
    const TView before = Look(form);
    Write(QStringLiteral("HILF_070312_143005.DAT"), FaultyFile());

    int helpShown = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        if (QApplication::activeModalWidget() == &help && help.isVisible()) {
            ++helpShown;
            help.close();
        }
    });
    closer.start(10);
    QApplication::setActiveWindow(&form);
    form.findChild<QWidget*>(QStringLiteral("sgObjectList"))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QTRY_COMPARE(helpShown, 1);
    closer.stop();
    QTest::qWait(50);

    const TView after = Look(form);
    QCOMPARE(after.Title, before.Title);
    QCOMPARE(after.Interface1, before.Interface1);
    QCOMPARE(after.ErrorPanelShown, false);
    QCOMPARE(after.FileName, path);
    QCOMPARE(form.InvestigationCount(), 1);
    QCOMPARE(user.Seen, 1);
    QVERIFY(form.isVisible());
}

// The window reads its file from the first command-line argument; the test's
// own options must not look like one.
int main(int argc, char** argv)
{
    int appArgc = 1;
    QApplication app(appArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ApplyClassicLook(app);
    TMainOpenTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MainOpen.moc"
