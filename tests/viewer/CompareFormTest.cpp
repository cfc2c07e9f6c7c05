// The window "Vergleich": the table of comparisons as it shows them, which
// file is the older one, the way from the examination list's menu and on to
// one examination after the other in the main window, its menu, print and hints.
#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolTip>
#include <QtTest>

#include "CheckPath.h"
#include "CompareForm.h"
#include "ComparisonCases.h"
#include "ContextMenu.h"
#include "Cp1252.h"
#include "DifferenceReport.h"
#include "FileOpenError.h"
#include "MainFormFixture.h"
#include "PdfReading.h"
#include "StringGrid.h"
#include "TempDir.h"
#ifdef _WIN32
#include "SystemDialogUser.h"
#endif

#include <algorithm>
#include <fstream>
#include <iterator>

using ContextMenu::Choose;

namespace {

const QString KExamples = QStringLiteral(MORVASK_EXAMPLES_DIR);
const std::string KEarlier = CheckPathBytes(KExamples + QStringLiteral("/WVMO_261015_093000.DAT"));
const std::string KLater = CheckPathBytes(KExamples + QStringLiteral("/WVMO_261016_081500.DAT"));
enum EColumn { KeyColumn,
               PointColumn,
               TimeColumn,
               KindColumn,
               FieldColumn,
               OldColumn,
               NewColumn,
               LinesColumn };

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string Bytes(const std::string& path)
{
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Field `field` (1 to 32) of line `line` of a file's bytes, trimmed of blanks.
std::string HeaderFieldBytes(const std::string& text, std::int64_t line, int field)
{
    std::size_t start = 0;
    for (std::int64_t n = 1; n < line; ++n) {
        if ((start = text.find('\n', start)) == std::string::npos)
            return {};
        ++start;
    }
    for (int n = 1; n < field; ++n) {
        if ((start = text.find('|', start)) == std::string::npos)
            return {};
        ++start;
    }
    std::string value = text.substr(start, text.find_first_of("|\r\n", start) - start);
    value.erase(0, value.find_first_not_of(" \t"));
    value.erase(value.find_last_not_of(" \t") + 1);
    return value;
}

QString HeaderField(const std::string& text, std::int64_t line, int field)
{
    return Utf8(Cp1252ToUtf8(HeaderFieldBytes(text, line, field)));
}

// The comparison, with the sampling point and time of each examination where
// the comparison leaves them empty, taken from its header line as the comparison takes them.
TfrmCompare::TComparer WithSampling()
{
    return [](const std::string& oldPath, const std::string& newPath) {
        TComparison c = CompareTransferFiles(oldPath, newPath);
        const std::string before = Bytes(oldPath), after = Bytes(newPath);
        for (TDifference& d : c.Differences) {
            const std::string& text = d.NewInvestigationLine > 0 ? after : before;
            const std::int64_t line = d.NewInvestigationLine > 0 ? d.NewInvestigationLine : d.OldInvestigationLine;
            if (d.SamplingPoint.empty())
                d.SamplingPoint = HeaderFieldBytes(text, line, 16);
            if (d.SamplingTime.empty())
                d.SamplingTime = HeaderFieldBytes(text, line, 22);
        }
        return c;
    };
}

void SetModified(const std::string& path, int day)
{
    QFile file(CheckPathText(path));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2026, 10, day), QTime(9, 30), Qt::UTC), QFileDevice::FileModificationTime));
}

int Number(const QString& text, const QString& pattern)
{
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// A key cell as the table of cases writes a key.
std::string CaseKey(QString key)
{
    return key.remove(QStringLiteral("„")).remove(QStringLiteral("“")).replace(QStringLiteral(", "), QStringLiteral(" ")).toStdString();
}

// A row of the table written as the table of cases writes a difference; the
// old key of an examination whose key changed goes to oldKey.
std::string Describe(const TStringGrid* table, int row, std::string& oldKey)
{
    const QString kind = table->Cell(KindColumn, row);
    std::string id;
    for (const EDifference k : {EDifference::InvestigationAdded, EDifference::InvestigationRemoved, EDifference::FieldChanged,
                                EDifference::ParameterAdded, EDifference::ParameterRemoved})
        if (kind == Utf8(std::string(KindText(k))))
            id = KindId(k);
    const QRegularExpressionMatch key = QRegularExpression(QStringLiteral("^(.*?)(?: \\(vorher (.*)\\))?$")).match(table->Cell(KeyColumn, row));
    oldKey = CaseKey(key.captured(2));
    const QString field = table->Cell(FieldColumn, row);
    const int number = id == "fieldChanged" ? Number(field, QStringLiteral("(?:\\(|^Feld )(\\d+)\\)?$")) : 0;
    const QString parameter = QRegularExpression(QStringLiteral("^Parameter (\\S+) „")).match(field).captured(1);
    const QString lines = table->Cell(LinesColumn, row);
    return ComparisonCases::Describe(id, CaseKey(key.captured(1)), number, Number(lines, QStringLiteral("Zeile (\\d+) alt")),
                                     Number(lines, QStringLiteral("Zeile (\\d+) neu")),
                                     table->Cell(OldColumn, row).toStdString(), table->Cell(NewColumn, row).toStdString(),
                                     parameter.toStdString());
}

// The first row whose column holds text; 0 when none does.
int RowWith(const TStringGrid* table, int col, const QString& text)
{
    for (int row = table->FixedRows(); row < table->RowCount(); ++row)
        if (table->Cell(col, row).contains(text))
            return row;
    return 0;
}

} // namespace

class TCompareFormTest : public QObject {
    Q_OBJECT

private slots:
    void tableOfCases_data();
    void tableOfCases();
    void olderFileFirst_data();
    void olderFileFirst();
    void oneDifferenceAfterTheOther();
    void menuPrintAndHints();
    void placedBeside_data();
    void placedBeside();
#ifdef _WIN32
    void systemDialog_data();
    void systemDialog();
#endif
};

void TCompareFormTest::tableOfCases_data()
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < ComparisonCases::Cases().size(); ++i)
        QTest::newRow(ComparisonCases::Cases()[i].Name) << static_cast<int>(i);
}

void TCompareFormTest::tableOfCases()
{
    using ComparisonCases::EOutcome;
    QFETCH(int, index);
    const ComparisonCases::TCase& c = ComparisonCases::Cases()[static_cast<std::size_t>(index)];
    TTempDir dir;
    const std::string oldPath = dir.Write("alt.dat", c.Old);
    SetModified(oldPath, 15);
    // The window's file is the later one by its time, the other the earlier.
    const std::string shown = c.Outcome == EOutcome::Missing ? dir.File("fehlt.dat") : dir.Write("neu.dat", c.New);
    if (c.Outcome == EOutcome::Missing) {
        QVERIFY_THROWS_EXCEPTION(EFileOpenError, TfrmCompare(shown, oldPath));
        return;
    }
    SetModified(shown, 16);
    TfrmCompare form(shown, oldPath, nullptr, WithSampling());
    QCOMPARE(form.windowTitle(), QStringLiteral("Morvask-Betrachter  -  Vergleich"));
    QVERIFY(form.ShownIsNew());
    if (c.Outcome == EOutcome::Findings) {
        QVERIFY(form.Messages()->isVisibleTo(&form));
        QVERIFY(!form.Table()->isVisibleTo(&form));
        QVERIFY(form.Messages()->toPlainText().contains(QStringLiteral("Zeile   3: Die Zeile muss genau 11 Felder")));
        QVERIFY(!form.Messages()->toPlainText().contains(QStringLiteral("alt.dat")));
        return;
    }
    QVERIFY(!form.Messages()->isVisibleTo(&form));
    QVERIFY(form.Table()->isVisibleTo(&form));
    QCOMPARE(form.Summary()->text().toStdString(), c.Summary);
    std::vector<std::string> rows, oldKeys;
    for (int row = 1; row < form.Table()->RowCount(); ++row) {
        std::string oldKey;
        rows.push_back(Describe(form.Table(), row, oldKey));
        if (!oldKey.empty())
            oldKeys.push_back(oldKey);
        // A person names the examination by its sampling point and time, of the new file where both have it.
        const TDifference& d = form.Comparison().Differences[static_cast<std::size_t>(row - 1)];
        const std::string& text = d.NewInvestigationLine > 0 ? c.New : c.Old;
        const std::int64_t line = d.NewInvestigationLine > 0 ? d.NewInvestigationLine : d.OldInvestigationLine;
        QCOMPARE(form.Table()->Cell(PointColumn, row), HeaderField(text, line, 16));
        QCOMPARE(form.Table()->Cell(TimeColumn, row), HeaderField(text, line, 22));
        QVERIFY(!form.Table()->Cell(TimeColumn, row).isEmpty());
    }
    QCOMPARE(rows, c.Differences);
    // A key filled in or corrected shows beside the new one.
    QCOMPARE(std::all_of(oldKeys.begin(), oldKeys.end(), [&c](const std::string& k) { return k == c.OldKey; }), true);
    QCOMPARE(oldKeys.empty(), c.OldKey.empty());
}

void TCompareFormTest::olderFileFirst_data()
{
    QTest::addColumn<QString>("shownName");
    QTest::addColumn<QString>("otherName");
    QTest::addColumn<bool>("shownIsLater"); // its content, and the day of its time
    QTest::addColumn<int>("shownDay");
    QTest::addColumn<int>("otherDay");
    QTest::addColumn<int>("rule");
    const auto byName = static_cast<int>(EOrderRule::FileName);
    const auto byTime = static_cast<int>(EOrderRule::ModificationTime);
    const auto none = static_cast<int>(EOrderRule::None);
    // The names win over times that say the opposite.
    QTest::newRow("names: the shown file is the earlier")
        << "WVMO_261015_093000.DAT"
        << "WVMO_261016_081500.DAT" << false << 20 << 10 << byName;
    QTest::newRow("names: the shown file is the later")
        << "WVMO_261016_081500.DAT"
        << "WVMO_261015_093000.DAT" << true << 10 << 20 << byName;
    QTest::newRow("times: the shown file is the earlier") << "erste.dat"
                                                          << "zweite.dat" << false << 10 << 20 << byTime;
    QTest::newRow("times: the same date and time in both names")
        << "WVMO_261016_081500.DAT"
        << "kopie/WVMO_261016_081500.DAT" << true << 20 << 10 << byTime;
    QTest::newRow("nothing tells: the other file counts as the earlier") << "b.dat"
                                                                         << "a.dat" << true << 10 << 10 << none;
}

// The user: the older file open, the next day's re-send chosen.
void TCompareFormTest::olderFileFirst()
{
    QFETCH(QString, shownName);
    QFETCH(QString, otherName);
    QFETCH(bool, shownIsLater);
    QFETCH(int, shownDay);
    QFETCH(int, otherDay);
    QFETCH(int, rule);
    TTempDir dir;
    QVERIFY(QDir().mkpath(CheckPathText(dir.File("kopie"))));
    const std::string shown = dir.Write(shownName.toStdString(), Bytes(shownIsLater ? KLater : KEarlier));
    const std::string other = dir.Write(otherName.toStdString(), Bytes(shownIsLater ? KEarlier : KLater));
    SetModified(shown, shownDay);
    SetModified(other, otherDay);

    TfrmCompare form(shown, other);
    QCOMPARE(form.ShownIsNew(), shownIsLater);
    QCOMPARE(static_cast<int>(form.OrderRule()), rule);
    const QString ruleText = Utf8(OrderRuleText(static_cast<EOrderRule>(rule)));
    QCOMPARE(form.Order()->text(), QStringLiteral("Reihenfolge: ") + ruleText);
    // Fluorid went from 0,53 to 0,35; the examination L-2026-04718 came.
    const auto fluorid = [&form] { return RowWith(form.Table(), FieldColumn, QStringLiteral("„Fluorid“")); };
    QCOMPARE(form.Table()->Cell(OldColumn, fluorid()), QStringLiteral("0,53"));
    QCOMPARE(form.Table()->Cell(NewColumn, fluorid()), QStringLiteral("0,35"));
    QVERIFY(form.Summary()->text().startsWith(QStringLiteral("1 Untersuchung neu, 1 entfallen")));
    QCOMPARE(form.Table()->Cell(KindColumn, RowWith(form.Table(), KeyColumn, QStringLiteral("L-2026-04718"))),
             QStringLiteral("Untersuchung neu"));

    // Enter presses the focused button.
    form.SwapButton()->setFocus();
    QTest::keyClick(form.SwapButton(), Qt::Key_Return);
    QTRY_COMPARE(form.ShownIsNew(), !shownIsLater);
    QCOMPARE(form.Order()->text(), QStringLiteral("Reihenfolge: von Hand getauscht; bestimmt war sie ") + ruleText);
    QCOMPARE(form.Table()->Cell(OldColumn, fluorid()), QStringLiteral("0,35"));
}

// The older file is shown; each difference is looked at in the main window
// while the comparison stays open, and coming back to the main window opens nothing again.
void TCompareFormTest::oneDifferenceAfterTheOther()
{
    TMainFormFixture form;
    form.Start();
    int asked = 0;
    form->SetPathSource([&asked](QWidget*) {
        ++asked;
        return std::optional<std::string>(KEarlier);
    });
    QVERIFY(form.Show());
    QTRY_COMPARE(form->FileName(), KEarlier);
    const QString title = form->windowTitle();
    auto* list = form->findChild<TStringGrid*>(QStringLiteral("sgObjectList"));
    auto* samples = form->findChild<TStringGrid*>(QStringLiteral("sgSamples"));

    // The menu key opens the list's menu, which offers the comparison.
    form->SetOtherFileSource(GivenPath(KLater));
    QVERIFY(Choose(list, QStringLiteral("Mit anderer Datei vergleichen…")));
    TfrmCompare* compareForm = form->CompareForm();
    QVERIFY(compareForm != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(compareForm));
    QVERIFY(!compareForm->isModal());
    QVERIFY(!compareForm->ShownIsNew());
    TStringGrid* table = compareForm->Table();

    // Enter on a parameter gone from the later file: its examination (the
    // third) and its grid row, the one that shows its line.
    table->SetRow(RowWith(table, FieldColumn, QStringLiteral("„Färbung (SAK 436 nm)“")));
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(form->CurrentIndex(), 2);
    QCOMPARE(list->Row(), 4);
    QCOMPARE(samples->Cell(1, samples->Row()), QStringLiteral("55"));
    QVERIFY(compareForm->isVisible());
    QCOMPARE(compareForm->Status()->text(), QStringLiteral("Gezeigt: die Untersuchung ab Zeile 24, ihr Parameter in Zeile 55."));

    // A double click on the corrected sampling time: the examination of line 92.
    const int time = RowWith(table, FieldColumn, QStringLiteral("Probe-Daten Probenahme am"));
    QVERIFY(time > 0);
    table->SetRow(time);
    const QPoint cell = table->visualRect(table->model()->index(time - 1, FieldColumn)).center();
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell);
    QTRY_COMPARE(form->CurrentIndex(), 5);
    QCOMPARE(form->Investigations().FirstLineIndex(5), 91);
    QVERIFY(compareForm->isVisible());

    // A parameter only in the later file: its examination, and a word on the parameter.
    table->SetRow(RowWith(table, FieldColumn, QStringLiteral("„Antimon“")));
    compareForm->ShowButton()->click();
    QCOMPARE(form->CurrentIndex(), 2);
    QCOMPARE(compareForm->Status()->text(),
             QStringLiteral("Gezeigt: die Untersuchung ab Zeile 24. Den Parameter 4010 gibt es nur in der neueren Datei (Zeile 26)."));

    // An examination only in the later file: the window says so and the main window stays.
    table->SetRow(RowWith(table, KeyColumn, QStringLiteral("L-2026-04718")));
    compareForm->ShowButton()->click();
    QCOMPARE(form->CurrentIndex(), 2);
    QCOMPARE(compareForm->Status()->text(), QStringLiteral("Diese Untersuchung gibt es nur in der neueren Datei WVMO_261016_081500.DAT "
                                                           "(ab Zeile 130), nicht in der Datei des Hauptfensters."));
    QVERIFY(compareForm->isVisible());

    // Focus to the main window and back, as a user goes between them, and the main window shown again.
    for (QWidget* window : {static_cast<QWidget*>(form.get()), static_cast<QWidget*>(compareForm), static_cast<QWidget*>(form.get())}) {
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow());
    }
    form->hide();
    QVERIFY(form.Show());
    QTest::keyClick(table, Qt::Key_Escape);
    QTRY_VERIFY(form->CompareForm() == nullptr);
    QCoreApplication::processEvents();
    QCOMPARE(asked, 1);
    QCOMPARE(form->FileName(), KEarlier);
    QCOMPARE(form->windowTitle(), title);
    QCOMPARE(form->CurrentIndex(), 2);

    // A cancelled dialog compares nothing.
    form->SetOtherFileSource([](QWidget*) { return std::optional<std::string>(); });
    form->CompareWithOtherFile();
    QVERIFY(form->CompareForm() == nullptr);
}

void TCompareFormTest::menuPrintAndHints()
{
    TTempDir dir;
    TfrmCompare form(KLater, KEarlier, nullptr, WithSampling());
    TMainFormFixture main;
    main.Start();
    form.SetLook(main->CompareLook());
    QStringList errors;
    form.SetErrorSink([&errors](const QString&, const QString& text) { errors << text; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // A picture for people to look at.
    QVERIFY(form.grab().save(QStringLiteral(MORVASK_TEST_OUTPUT_DIR "/CompareForm.png")));
    TStringGrid* table = form.Table();
    const int rows = table->RowCount();

    // "Kopieren" copies the selected rows, as Ctrl+C does.
    table->SelectAllRows();
    QGuiApplication::clipboard()->clear();
    QVERIFY(Choose(table, QStringLiteral("Kopieren")));
    const QStringList copied = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
    QCOMPARE(copied.front(),
             QStringLiteral("Untersuchung\tEntnahmestelle (16)\tProbenahme (22)\tArt\tFeld\tAlt\tNeu\tZeilen"));
    QCOMPARE(copied.size(), rows + 1); // the heading, the rows and the final line break

    // "Drucken…": the page heading with both files, the summary, then the table.
    const QString pdf = CheckPathText(dir.File("vergleich.pdf"));
    form.SetPrintDialog([&pdf](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    QVERIFY(Choose(table, QStringLiteral("Drucken…")));
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    QCOMPARE(PdfReading::Pages(pdf), 1);
    PdfReading::KeepForPeople(pdf, QStringLiteral(MORVASK_TEST_OUTPUT_DIR "/print-comparison"));
#ifndef Q_OS_WIN
    const QString text = PdfReading::Text(pdf);
    for (const QString& expected :
         {QStringLiteral("Ältere Datei (alt): ") + QDir::toNativeSeparators(CheckPathText(KEarlier)),
          QStringLiteral("Neuere Datei (neu): ") + QDir::toNativeSeparators(CheckPathText(KLater)),
          QStringLiteral("Reihenfolge: nach Datum und Uhrzeit in den Dateinamen"), form.Summary()->text(),
          QStringLiteral("Unterschiede (%1):").arg(rows - 1), QStringLiteral("Entnahmestelle"), QStringLiteral("Feld 16"),
          QStringLiteral("31=„L0815“"), QStringLiteral("WW-LH-01"), QStringLiteral("0,53"), QStringLiteral("0,35"), QStringLiteral("Seite 1 von 1")})
        QVERIFY2(text.contains(expected), qPrintable(expected));
#endif

    // A value the column cuts off shows whole as a hint; one that fits shows none.
    const int longRow = RowWith(table, FieldColumn, QStringLiteral("Probe-Daten Probenahme am"));
    QVERIFY(longRow > 0);
    const QString whole = table->Cell(FieldColumn, longRow);
    const int fits = table->fontMetrics().horizontalAdvance(whole) + 2; // the grid's indent
    table->SetColWidth(FieldColumn, fits);
    QCOMPARE(form.CutOffText(FieldColumn, longRow), QString());
    table->SetColWidth(FieldColumn, fits - 1);
    QCOMPARE(form.CutOffText(FieldColumn, longRow), whole);
    table->SetRow(longRow);
    const QRect area = table->visualRect(table->model()->index(longRow - 1, FieldColumn));
    QHelpEvent hint(QEvent::ToolTip, area.center(), table->viewport()->mapToGlobal(area.center()));
    QApplication::sendEvent(table->viewport(), &hint);
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY(QToolTip::text().contains(whole));
    QToolTip::hideText();

    QTest::keyClick(table, Qt::Key_Escape);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
}

void TCompareFormTest::placedBeside_data()
{
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("placed");
    const QRect main(560, 190, 800, 700);
    QTest::newRow("room on the right") << main << QRect(0, 0, 2880, 1080) << QPoint(1360, 190);
    QTest::newRow("room below alone") << main << QRect(0, 0, 1920, 1440) << QPoint(560, 890);
    // Right and left would cover 760 by 480 pixels, below and above 800 by 290.
    QTest::newRow("no room: least covered") << main << QRect(0, 0, 1920, 1080) << QPoint(560, 600);
    QTest::newRow("a second screen") << QRect(2480, 190, 800, 700) << QRect(1920, 0, 1920, 1080) << QPoint(2480, 600);
}

void TCompareFormTest::placedBeside()
{
    QFETCH(QRect, main);
    QFETCH(QRect, screen);
    QFETCH(QPoint, placed);
    QCOMPARE(TfrmCompare::PlaceBeside(main, QSize(1320, 480), screen), placed);
}

#ifdef _WIN32
void TCompareFormTest::systemDialog_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("cancelled") << false;
    QTest::newRow("chosen") << true;
}

// Windows asks for the other file in its own dialog, which starts in the
// folder of the shown file.
void TCompareFormTest::systemDialog()
{
    QFETCH(bool, chosen);
    TMainFormFixture form;
    form.Start();
    QVERIFY(form.Show());
    form->OpenTransferFile(KLater);
    SystemDialogUser::TSeen seen;
    const QString typed = chosen ? QStringLiteral("WVMO_261015_093000.DAT") : QString();
    std::thread user(SystemDialogUser::PlayUser, typed, std::ref(seen));
    form->CompareWithOtherFile();
    user.join();
    QCOMPARE(QDir(seen.Folder).canonicalPath(), QDir(KExamples).canonicalPath());
    TfrmCompare* compareForm = form->CompareForm();
    QCOMPARE(compareForm != nullptr && compareForm->Comparison().Compared, chosen);
    if (compareForm != nullptr)
        compareForm->close();
    QTRY_VERIFY(form->CompareForm() == nullptr);
    QCOMPARE(form->CurrentIndex(), 0);
}
#endif

QTEST_MAIN(TCompareFormTest)
#include "CompareFormTest.moc"
