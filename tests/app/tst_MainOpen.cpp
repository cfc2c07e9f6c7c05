#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>

#include "CheckPath.h"
#include "ClassicLook.h"
#include "ErrorDisplay.h"
#include "HelpInfoForm.h"
#include "Main.h"
#include "StringGrid.h"

namespace {

const QByteArray KCrLf = QByteArrayLiteral("\r\n");

QByteArray Header1()
{
    QByteArray line = "1|E|";
    for (int field = 3; field <= 32; ++field)
        line += "f" + QByteArray::number(field) + "|";
    return line;
}

QByteArray Header2()
{
    QByteArray line = "2|MATW|";
    for (int field = 35; field <= 42; ++field)
        line += "f" + QByteArray::number(field) + "|";
    return line;
}

QByteArray Parameter()
{
    QByteArray line = "2|";
    for (int field = 44; field <= 53; ++field)
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

// Well-formed blocks of the given number of parameter lines each.
QByteArray GoodBlocks(int blocks, int parameters)
{
    QList<QByteArray> lines;
    for (int block = 0; block < blocks; ++block) {
        lines << Header1() << Header2();
        for (int parameter = 0; parameter < parameters; ++parameter)
            lines << Parameter();
        lines << "3|" + QByteArray::number(parameters);
    }
    return Lines(lines);
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
    view.FileName = CheckPathText(form.FileName());
    return view;
}

// Plays the user at the open dialog: waits for it, notes how it was set up,
// lets Inspect look at it, then cancels it or types a name and presses Enter.
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
    std::function<void(QFileDialog&)> Inspect;

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
        if (Inspect)
            Inspect(*dialog);
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

// What the dialog's current view lists, as rows of its columns; waits until
// the listing holds count rows (the folder is read in the background).
QList<QStringList> Listing(QFileDialog& dialog, int count)
{
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    QList<QStringList> rows;
    if (view == nullptr)
        return rows;
    const auto read = [&] {
        rows.clear();
        const QAbstractItemModel* model = view->model();
        for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
            QStringList columns;
            for (int column = 0; column < 4; ++column)
                columns << model->index(row, column, view->rootIndex()).data().toString();
            rows << columns;
        }
        std::sort(rows.begin(), rows.end());
        return rows.size() == count;
    };
    (void)QTest::qWaitFor(read, 5000);
    return rows;
}

// Writes a file under a name given as bytes, which need not be valid text.
bool WriteBytesNamed(const std::string& path, const QByteArray& content)
{
    std::ofstream file(path, std::ios::binary);
    file.write(content.constData(), content.size());
    return bool(file);
}

// Removes a file named by bytes: the temporary folder's own clean-up lists
// names as text and cannot remove those that are none.
struct TRemoveOnExit {
    std::string Path;
    ~TRemoveOnExit() { std::remove(Path.c_str()); }
};

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
    void nameNotText_data();
    void nameNotText();
    void openDialog_data();
    void openDialog();
    void dialogListing();
    void openRunsOnceOnly();
    void keysInErrorView_data();
    void keysInErrorView();
    void tabLeavesErrorText();
    void listFollowsScrollBoxOnRelease();
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
    form.SetPathSource(OpenDialogChoice(FFolder.path()));
    form.show();
    QTRY_COMPARE(user.Seen, 1);
    QTRY_COMPARE(form.isVisible(), stillOpen);

    QCOMPARE(user.Title, QStringLiteral("Morvask-Betrachter  -  Schnittstellen-Datei öffnen ..."));
    QCOMPARE(user.Folder, QDir(FFolder.path()).absolutePath());
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
    int asked = 0;
    TMainForm form;
    form.SetPathSource([&](QWidget*) {
        ++asked;
        return std::optional<std::string>(CheckPathBytes(path));
    });
    form.show();
    QTRY_COMPARE(form.windowTitle(), OpenedTitle(path));

    Write(QStringLiteral("ABCD_EFGH_070312_143005.DAT"), FaultyFile());
    form.hide();
    form.show();
    QApplication::setActiveWindow(&form);
    QTRY_VERIFY(form.isActiveWindow());
    // Whatever the new showing queued has run by now.
    QCoreApplication::sendPostedEvents();
    QCOMPARE(asked, 1);
    QVERIFY(!Look(form).ErrorPanelShown);
    QCOMPARE(Look(form).FileName, path);
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
    TMainForm form;
    form.SetPathSource(GivenPath(CheckPathBytes(path)));
    form.show();
    QTRY_VERIFY(Look(form).ErrorPanelShown);

    QApplication::setActiveWindow(&form);
    auto* target = form.findChild<QWidget*>(focus);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);
    auto* ok = form.findChild<QPushButton*>(QStringLiteral("bbtnClose"));
    QSignalSpy pressed(ok, &QPushButton::pressed);
    QTest::keyClick(target, Qt::Key(key));
    if (closes) {
        QTRY_VERIFY(!form.isVisible());
    } else {
        // The key would have pressed the button at once; its click follows later.
        QCOMPARE(pressed.count(), 0);
        QVERIFY(!ok->isDown());
        QVERIFY(form.isVisible());
    }
}

// F1 shows the help; closing it leaves the data view as it was, and the file
// is not checked again (it has turned faulty meanwhile).
void TMainOpenTest::helpKeepsDataView()
{
    const QString path = Write(QStringLiteral("HILF_070312_143005.DAT"), GoodFile());
    int asked = 0;
    TMainForm form;
    TfrmInfoHelp help;
    form.SetHelpForm(&help);
    form.SetPathSource([&](QWidget*) {
        ++asked;
        return std::optional<std::string>(CheckPathBytes(path));
    });
    form.show();
    QTRY_COMPARE(Look(form).FileName, path);
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
    QTRY_VERIFY(!help.isVisible());
    QCoreApplication::sendPostedEvents();

    const TView after = Look(form);
    QCOMPARE(after.Title, before.Title);
    QCOMPARE(after.Interface1, before.Interface1);
    QCOMPARE(after.ErrorPanelShown, false);
    QCOMPARE(after.FileName, path);
    QCOMPARE(form.InvestigationCount(), 1);
    QCOMPARE(asked, 1);
    QVERIFY(form.isVisible());
}

// A name whose bytes are no valid text opens all the same, whether it comes
// from the command line or from the dialog, where the toolkit shows it with
// a replacement character.
void TMainOpenTest::nameNotText_data()
{
    QTest::addColumn<bool>("viaDialog");
    QTest::newRow("command line") << false;
    QTest::newRow("dialog") << true;
}

void TMainOpenTest::nameNotText()
{
    QFETCH(bool, viaDialog);

    const std::string path = CheckPathBytes(FFolder.path()) + (viaDialog ? "/D" : "/A") + "Pr\xFC" "fung.dat"; // Latin-1
    const TRemoveOnExit written {path};
    QVERIFY(WriteBytesNamed(path, GoodFile()));

    TShown shown;
    TSinkGuard guard(shown);
    TDialogUser user(viaDialog ? CheckPathText(path) : QString());
    TMainForm form;
    form.SetPathSource(viaDialog ? OpenDialogChoice(FFolder.path()) : GivenPath(path));
    form.show();
    QTRY_COMPARE(form.FileName(), path);
    QCOMPARE(shown.Texts, QStringList());
    QCOMPARE(form.windowTitle(), OpenedTitle(CheckPathText(path)));
    QCOMPARE(form.InvestigationCount(), 1);
}

// The dialog lists in German: the columns, and every file under
// "Alle Dateien (*.*)", names without a dot included.
void TMainOpenTest::dialogListing()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Ordner")));
    const QByteArray fiveBytes = "12345";
    for (const char* name : {"A.DAT", "b.txt", "LIESMICH"})
        QVERIFY(WriteBytesNamed(CheckPathBytes(folder.filePath(QString::fromLatin1(name))), fiveBytes));

    QList<QStringList> datOnly;
    QList<QStringList> all;
    QStringList headers;
    TDialogUser user {QString()};
    user.Inspect = [&](QFileDialog& dialog) {
        datOnly = Listing(dialog, 2);
        auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        for (int column = 0; view != nullptr && column < 4; ++column)
            headers << view->model()->headerData(column, Qt::Horizontal).toString();
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (types != nullptr)
            QTest::keyClick(types, Qt::Key_Down);
        all = Listing(dialog, 4);
    };
    std::optional<std::string> chosen = std::string("not asked");
    Guarded([&] { chosen = ChooseTransferFile(nullptr, folder.path()); });
    QCOMPARE(user.Seen, 1);
    QVERIFY(!chosen);

    QCOMPARE(headers, (QStringList {"Name", "Größe", "Typ", "Änderungsdatum"}));
    QCOMPARE(datOnly.size(), 2);
    QCOMPARE(all.size(), 4);
    const QRegularExpression germanDate(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$"));
    for (QStringList& row : all)
        QVERIFY2(germanDate.match(row.takeLast()).hasMatch(), qPrintable(row.join(' ')));
    QCOMPARE(all, (QList<QStringList> {{"A.DAT", "5 Bytes", "DAT-Datei"}, {"LIESMICH", "5 Bytes", "Datei"},
                                       {"Ordner", "", "Dateiordner"}, {"b.txt", "5 Bytes", "TXT-Datei"}}));
    QCOMPARE(datOnly[0][0] + datOnly[1][0], QStringLiteral("A.DATOrdner"));
}

// Tab and Shift+Tab move through the error view, out of the text box too,
// and type nothing into it.
void TMainOpenTest::tabLeavesErrorText()
{
    const QString path = Write(QStringLiteral("TABS_070312_150000.DAT"), FaultyFile());
    TMainForm form;
    form.SetPathSource(GivenPath(CheckPathBytes(path)));
    form.show();
    QTRY_VERIFY(Look(form).ErrorPanelShown);
    const QString text = Look(form).ErrorText;
    QApplication::setActiveWindow(&form);
    auto* list = form.findChild<QWidget*>(QStringLiteral("sgObjectList"));
    list->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), list);

    const QStringList order = {"sgSamples", "bbtnClose", "memErrorText", "bbtnHelpInfo", "sgObjectList"};
    QStringList forward;
    for (int i = 0; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        forward << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(forward, order);
    QStringList backward;
    for (int i = 0; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        backward << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(backward, (QStringList {"bbtnHelpInfo", "memErrorText", "bbtnClose", "sgSamples", "sgObjectList"}));
    QCOMPARE(Look(form).ErrorText, text);
}

// While the scroll box is dragged, the analysis grid follows it and the
// examination list waits until it is let go.
void TMainOpenTest::listFollowsScrollBoxOnRelease()
{
    const QString path = Write(QStringLiteral("ROLL_070312_143005.DAT"), GoodBlocks(300, 100));
    TMainForm form;
    form.SetPathSource(GivenPath(CheckPathBytes(path)));
    form.show();
    QTRY_COMPARE(form.InvestigationCount(), 300);

    for (const char* name : {"sgObjectList", "sgSamples"}) {
        auto* grid = form.findChild<TStringGrid*>(QString::fromLatin1(name));
        QScrollBar* bar = grid->verticalScrollBar();
        const int before = grid->TopRow();
        bar->setSliderDown(true);
        bar->setSliderPosition(bar->maximum() / 2);
        const int whileDragged = grid->TopRow();
        bar->setSliderDown(false);
        const int released = grid->TopRow();
        QVERIFY2(released > before, name);
        QCOMPARE(whileDragged, qstrcmp(name, "sgSamples") == 0 ? released : before);
    }
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ApplyClassicLook(app);
    TMainOpenTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MainOpen.moc"
