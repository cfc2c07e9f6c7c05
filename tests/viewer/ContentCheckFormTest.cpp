// The window "Inhaltsprüfung": the shared table of content cases as the
// window lists them, the way from the examination list's menu to one finding
// after the other in the main window, another folder of lists, copy, print,
// and what keeps the check from running.
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include "CheckPath.h"
#include "ContentCases.h"
#include "ContentCheckForm.h"
#include "ContextMenu.h"
#include "DisplayText.h"
#include "LinuxOnly.h"
#include "MainFormFixture.h"
#include "PdfReading.h"
#include "StringGrid.h"
#include "TempDir.h"

#include <atomic>
#include <fstream>
#include <future>
#include <iterator>
#include <thread>

namespace {

const QString KExamples = QStringLiteral(MORVASK_EXAMPLES_DIR);
enum EColumn { LineColumn,
               InvestigationColumn,
               FieldColumn,
               CodeColumn,
               MessageColumn };

// The table's rows as "line code", in order.
QStringList Rows(const TfrmContentCheck& form)
{
    QStringList rows;
    for (int row = 1; row < form.Table()->RowCount(); ++row)
        rows << form.Table()->Cell(LineColumn, row) + QLatin1Char(' ') + form.Table()->Cell(CodeColumn, row);
    return rows;
}

int RowOfLine(const TStringGrid* table, int line)
{
    for (int row = 1; row < table->RowCount(); ++row)
        if (table->Cell(LineColumn, row) == QString::number(line))
            return row;
    return 0;
}

// The first example with its faults: an impossible sampling date (line 1), a
// parameter with neither code nor text (line 4), the second examination
// without its laboratory's sample id (line 9).
std::string FaultyExample(const TTempDir& dir)
{
    std::ifstream in(PathFromUtf8(CheckPathBytes(KExamples + QStringLiteral("/WVMO_261015_093000.DAT"))), std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"|12.10.2026 07:00|", "|31.02.2026 07:00|"},
                                   {"2|4002|Mangan|", "2|||"},
                                   {"1|E|L-2026-04712|", "1|E||"}}) {
        const std::size_t at = text.find(from);
        if (at == std::string::npos)
            return {};
        text.replace(at, from.size(), to);
    }
    return dir.Write("WVMO_261015_093000.DAT", text);
}

} // namespace

class TContentCheckFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void tableOfCases_data();
    void tableOfCases();
    void oneFindingAfterTheOther();
    void notChecked_data();
    void notChecked();
    void offTheUserInterfaceThread();
    void folderDialog_data();
    void folderDialog();

private:
    TTempDir FSettings;
};

// The toolkit's file dialog saves its state when it closes; the program sends
// that nowhere, the test into a folder of its own, not the user's home.
void TContentCheckFormTest::initTestCase()
{
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, CheckPathText(FSettings.Path()));
}

void TContentCheckFormTest::tableOfCases_data()
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < ContentCases::Cases().size(); ++i)
        QTest::newRow(ContentCases::Cases()[i].Name) << static_cast<int>(i);
}

void TContentCheckFormTest::tableOfCases()
{
    QFETCH(int, index);
    const ContentCases::TCase& c = ContentCases::Cases()[static_cast<std::size_t>(index)];
    TTempDir dir, lists;
    const std::string file = dir.Write(ContentCases::FileName(c), ContentCases::FileText(c));
    if (c.List != nullptr)
        lists.Write("Feld" + std::to_string(ContentCases::ListOf(c)) + ".txt", ContentCases::ListText(c));
    // No list at all is no folder: the window says which checks did not run.
    TfrmContentCheck form(file, c.List != nullptr ? std::optional(lists.Path()) : std::nullopt);
    QTRY_VERIFY_WITH_TIMEOUT(!form.Checking(), 60000);
    QVERIFY(!form.Messages()->isVisibleTo(&form));
    QCOMPARE(form.Unchecked()->text().contains(QStringLiteral("Feld44.txt (Feld 44,")), c.List == nullptr || ContentCases::ListOf(c) != 44);
    if (c.Code < 0) {
        QCOMPARE(Rows(form), QStringList());
        QCOMPARE(form.Summary()->text(), QStringLiteral("Keine Meldung zum Inhalt."));
        return;
    }
    QCOMPARE(Rows(form), QStringList{QStringLiteral("%1 %2").arg(c.Line).arg(c.Code)});
    QCOMPARE(form.Table()->Cell(InvestigationColumn, 1), QStringLiteral("2"));
    QCOMPARE(form.Table()->Cell(MessageColumn, 1), Cp1252ToQString(ContentCases::ExpectedBody(c)).trimmed());
    QCOMPARE(form.Summary()->text(), QStringLiteral("1 Meldung zum Inhalt."));
}

// A user goes through the findings of a file in the main window, with the
// lists found nowhere and then with those of a folder chosen for this run.
void TContentCheckFormTest::oneFindingAfterTheOther()
{
    TTempDir dir;
    const std::string file = FaultyExample(dir);
    QVERIFY(!file.empty());
    TMainFormFixture main;
    main.Start();
    main->SetPathSource(GivenPath(file));
    main->SetCodeListFolderLookup([] { return std::optional<std::string>(); });
    QVERIFY(main.Show());
    QTRY_COMPARE(main->FileName(), file);
    const QString title = main->windowTitle();
    auto* list = main->findChild<TStringGrid*>(QStringLiteral("sgObjectList"));
    auto* samples = main->findChild<TStringGrid*>(QStringLiteral("sgSamples"));
    auto* errorPanel = main->findChild<QWidget*>(QStringLiteral("pnlErrorText"));

    QVERIFY(ContextMenu::Choose(list, QStringLiteral("Inhalt prüfen…")));
    TfrmContentCheck* form = main->ContentCheckForm();
    QVERIFY(form != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->windowTitle(), QStringLiteral("Morvask-Betrachter  -  Inhaltsprüfung"));
    QTRY_VERIFY_WITH_TIMEOUT(!form->Checking(), 60000);
    QCOMPARE(Rows(*form), (QStringList{QStringLiteral("1 9"), QStringLiteral("4 29"), QStringLiteral("9 2")}));
    QVERIFY(form->Unchecked()->isVisibleTo(form));
    QVERIFY(form->Unchecked()->text().contains(QStringLiteral("Feld44.txt (Feld 44, ")));
    QVERIFY(form->Lists()->text().startsWith(QStringLiteral("keine")));
    // The main window's verdict stays the structure check's.
    QVERIFY(!errorPanel->isVisibleTo(main.get()));
    QCOMPARE(main->windowTitle(), title);
    // A picture for people to look at.
    QVERIFY(form->grab().save(QStringLiteral(MORVASK_TEST_OUTPUT_DIR "/ContentCheckForm.png")));

    // Enter on the parameter: its examination and its grid row; the window stays open.
    TStringGrid* table = form->Table();
    table->SetRow(RowOfLine(table, 4));
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(main->CurrentIndex(), 0);
    QCOMPARE(samples->Cell(1, samples->Row()), QStringLiteral("4"));
    QCOMPARE(form->Status()->text(), QStringLiteral("Gezeigt: die Untersuchung ab Zeile 1, ihr Parameter in Zeile 4."));
    QVERIFY(form->isVisible());
    // A double click on the second examination's finding.
    const int second = RowOfLine(table, 9);
    table->SetRow(second);
    const QPoint cell = table->visualRect(table->model()->index(second - 1, MessageColumn)).center();
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell);
    QTRY_COMPARE(main->CurrentIndex(), 1);
    QCOMPARE(list->Row(), 3);
    QCOMPARE(form->Status()->text(), QStringLiteral("Gezeigt: die Untersuchung ab Zeile 9."));

    // Ctrl+C copies the selected rows with the headings.
    table->SetRow(RowOfLine(table, 1));
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
    QCOMPARE(copied.value(0), QStringLiteral("Zeile\tUntersuchung\tFeld\tKode\tMeldung"));
    QVERIFY2(copied.value(1).startsWith(QStringLiteral("1\t1\t")) && copied.value(1).contains(QStringLiteral("31.02.2026")),
             qPrintable(copied.value(1)));

    // Another folder for this run: the example lists judge what they know, and nothing runs without its list.
    const std::string folder = CheckPathBytes(KExamples + QStringLiteral("/kodelisten"));
    form->SetFolderSource(GivenPath(folder));
    form->ChooseButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->Checking(), 60000);
    QCOMPARE(Rows(*form), (QStringList{QStringLiteral("1 9"), QStringLiteral("4 29"), QStringLiteral("9 2")}));
    QVERIFY(!form->Unchecked()->isVisibleTo(form));
    QCOMPARE(form->Lists()->text(), QDir::toNativeSeparators(QFileInfo(CheckPathText(folder)).absoluteFilePath()));

    // "Drucken…": the file, the lists, then the findings.
    QStringList errors;
    form->SetErrorSink([&errors](const QString&, const QString& text) { errors << text; });
    const QString pdf = CheckPathText(dir.File("inhalt.pdf"));
    form->SetPrintDialog([&pdf](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    QVERIFY(ContextMenu::Choose(table, QStringLiteral("Drucken…")));
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    QCOMPARE(PdfReading::Pages(pdf), 1);
    PdfReading::KeepForPeople(pdf, QStringLiteral(MORVASK_TEST_OUTPUT_DIR "/print-content-check"));
#ifndef Q_OS_WIN
    const QString text = PdfReading::Text(pdf);
    for (const QString& expected : {QStringLiteral("Datei: WVMO_261015_093000.DAT"), QStringLiteral("Kodelisten: ") + form->Lists()->text(),
                                    QStringLiteral("3 Meldungen zum Inhalt."), QStringLiteral("Meldungen zum Inhalt (3):"),
                                    QStringLiteral("31.02.2026"), QStringLiteral("Seite 1 von 1")})
        QVERIFY2(text.contains(expected), qPrintable(expected));
#endif

    QTest::keyClick(table, Qt::Key_Escape);
    QTRY_VERIFY(main->ContentCheckForm() == nullptr);
    QCOMPARE(main->CurrentIndex(), 1);
}

void TContentCheckFormTest::notChecked_data()
{
    QTest::addColumn<bool>("badList");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a folder named as a list") << true << QStringLiteral("Feld24.txt");
    QTest::newRow("a file changed since it was opened") << false << QStringLiteral("Zeile   1: ");
}

// What the window says when the check cannot run: the reason on red, no table, no print.
void TContentCheckFormTest::notChecked()
{
    QFETCH(bool, badList);
    QFETCH(QString, expected);
    TTempDir dir, lists;
    const std::string file =
        dir.Write("pruefung.dat", badList ? ContentCases::FileText(ContentCases::Cases().front()) : std::string("1|E|kurz|\r\n3|0\r\n"));
    std::filesystem::create_directory(PathFromUtf8(lists.File("Feld24.txt")));
    TfrmContentCheck form(file, badList ? std::optional(lists.Path()) : std::nullopt);
    form.show();
    QTRY_VERIFY_WITH_TIMEOUT(!form.Checking(), 60000);
    QVERIFY(form.Messages()->isVisibleTo(&form));
    QVERIFY(!form.Table()->isVisibleTo(&form));
    QVERIFY2(form.Messages()->toPlainText().contains(expected), qPrintable(form.Messages()->toPlainText()));
    QCOMPARE(form.Summary()->text(), QStringLiteral("Nicht geprüft."));
    QCOMPARE(form.FindingsReport().SectionCount, badList ? 0 : 1);
    QVERIFY(!form.ShowButton()->isEnabled());
    // Another folder may still be chosen.
    QVERIFY(form.ChooseButton()->isEnabled());
}

// A long check leaves the window to the user meanwhile and says that it runs.
void TContentCheckFormTest::offTheUserInterfaceThread()
{
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> elsewhere = false;
    const std::thread::id here = std::this_thread::get_id();
    TfrmContentCheck form("pruefung.dat", std::nullopt, nullptr, [&](const std::string&, const std::optional<std::string>&) {
        elsewhere = std::this_thread::get_id() != here;
        released.wait();
        TContentRun run;
        run.Findings.push_back({7, ECheckMessage::SamplingDateInvalid, 22, "31.02.2026", 1, 1, -1});
        return run;
    });
    QVERIFY(form.Checking());
    QCOMPARE(form.Summary()->text(), QStringLiteral("Der Inhalt wird geprüft …"));
    QVERIFY(!form.ChooseButton()->isEnabled());
    release.set_value();
    QTRY_VERIFY(!form.Checking());
    QVERIFY(elsewhere);
    QCOMPARE(Rows(form), QStringList{QStringLiteral("7 9")});
    QVERIFY(form.ChooseButton()->isEnabled());
}

void TContentCheckFormTest::folderDialog_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("cancelled") << false;
    QTest::newRow("a folder chosen") << true;
}

// "Kodelisten wählen…" asks in the toolkit's dialog for folders alone, starting where it is told.
void TContentCheckFormTest::folderDialog()
{
    MORVASK_LINUX_ONLY("the toolkit's dialog; Windows shows its own");
    QFETCH(bool, chosen);
    TTempDir dir;
    const QString lists = CheckPathText(dir.File("Kodelisten Amt")), start = CheckPathText(dir.Path());
    QVERIFY(QDir().mkpath(lists));
    QString title, folder;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QTimer user;
    connect(&user, &QTimer::timeout, this, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !title.isEmpty())
            return;
        title = dialog->windowTitle();
        folder = dialog->directory().absolutePath();
        mode = dialog->fileMode();
        if (chosen) {
            // The name typed whole, as a paste would: the listing is read in the background.
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(edit != nullptr);
            edit->setText(QFileInfo(lists).fileName());
            static_cast<QDialog*>(dialog)->accept(); // public there, and still the file dialog's own
        } else {
            dialog->reject();
        }
    });
    user.start(10);
    const std::optional<std::string> answer = FolderChoice(start)(nullptr);
    QCOMPARE(title, QStringLiteral("Morvask-Betrachter  -  Ordner der Kodelisten wählen ..."));
    QCOMPARE(folder, QDir(start).absolutePath());
    QCOMPARE(mode, QFileDialog::Directory);
    QCOMPARE(QString::fromStdString(answer.value_or("(keine)")), chosen ? lists : QStringLiteral("(keine)"));
}

QTEST_MAIN(TContentCheckFormTest)
#include "ContentCheckFormTest.moc"
