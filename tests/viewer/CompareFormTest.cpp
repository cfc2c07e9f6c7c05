// The window "Vergleich": the table of comparisons as it shows them, and its
// way from the examination list's menu and back to the main window.
#include <QAbstractItemView>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include "CheckPath.h"
#include "CompareForm.h"
#include "ComparisonCases.h"
#include "DifferenceReport.h"
#include "FileOpenError.h"
#include "MainFormFixture.h"
#include "StringGrid.h"
#include "TempDir.h"
#ifdef _WIN32
#include "SystemDialogUser.h"
#endif

#include <algorithm>

namespace {

const QString KExamples = QStringLiteral(MORVASK_EXAMPLES_DIR);
const std::string KEarlier = CheckPathBytes(KExamples + QStringLiteral("/WVMO_261015_093000.DAT"));
const std::string KLater = CheckPathBytes(KExamples + QStringLiteral("/WVMO_261016_081500.DAT"));

int Number(const QString& text, const QString& pattern)
{
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// A row of the table written as the table of cases writes a difference.
std::string Describe(const TStringGrid* table, int row)
{
    const QString kind = table->Cell(1, row);
    std::string id;
    for (const EDifference k : {EDifference::InvestigationAdded, EDifference::InvestigationRemoved, EDifference::FieldChanged,
                                EDifference::ParameterAdded, EDifference::ParameterRemoved})
        if (kind == QString::fromUtf8(KindText(k).data(), static_cast<qsizetype>(KindText(k).size())))
            id = KindId(k);
    QString key = table->Cell(0, row);
    key.remove(QStringLiteral("„")).remove(QStringLiteral("“")).replace(QStringLiteral(", "), QStringLiteral(" "));
    const QString field = table->Cell(2, row);
    const int number = id == "fieldChanged" ? Number(field, QStringLiteral("(?:\\(|^Feld )(\\d+)\\)?$")) : 0;
    const QString parameter = QRegularExpression(QStringLiteral("^Parameter (\\S+) „")).match(field).captured(1);
    const QString lines = table->Cell(5, row);
    return ComparisonCases::Describe(id, key.toStdString(), number, Number(lines, QStringLiteral("Zeile (\\d+) alt")),
                                     Number(lines, QStringLiteral("Zeile (\\d+) neu")), table->Cell(3, row).toStdString(),
                                     table->Cell(4, row).toStdString(), parameter.toStdString());
}

// Runs `inside` once the modal window "Vergleich" is up, then lets it go on.
void WhenCompareIsShown(std::function<void(TfrmCompare*)> inside)
{
    QTimer::singleShot(0, [inside = std::move(inside)] {
        TfrmCompare* form = nullptr;
        [&] { QTRY_VERIFY((form = qobject_cast<TfrmCompare*>(QApplication::activeModalWidget())) != nullptr); }();
        if (form != nullptr)
            inside(form);
    });
}

} // namespace

class TCompareFormTest : public QObject {
    Q_OBJECT

private slots:
    void tableOfCases_data();
    void tableOfCases();
    void fromTheListMenuAndBack();
    void swapCopyAndClose();
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
    // The window's file is the later one; the other file counts as the earlier.
    const std::string shown = c.Outcome == EOutcome::Missing ? dir.File("fehlt.dat") : dir.Write("neu.dat", c.New);
    if (c.Outcome == EOutcome::Missing) {
        bool thrown = false;
        try {
            TfrmCompare form(shown, oldPath);
        } catch (const EFileOpenError&) {
            thrown = true;
        }
        QVERIFY(thrown);
        return;
    }
    TfrmCompare form(shown, oldPath);
    QCOMPARE(form.windowTitle(), QStringLiteral("Morvask-Betrachter  -  Vergleich"));
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
    std::vector<std::string> rows;
    for (int row = 1; row < form.Table()->RowCount(); ++row)
        rows.push_back(Describe(form.Table(), row));
    QCOMPARE(rows, c.Differences);
}

void TCompareFormTest::fromTheListMenuAndBack()
{
    TMainFormFixture form;
    form.Start();
    QVERIFY(form.Show());
    form->OpenTransferFile(KLater);
    const QString title = form->windowTitle();
    auto* list = form->findChild<TStringGrid*>(QStringLiteral("sgObjectList"));
    list->setFocus();

    for (const bool choose : {false, true}) {
        form->SetOtherFileSource(GivenPath(KEarlier));
        // The menu key opens the list's menu, which offers the comparison.
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5), list->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(list->viewport(), &menuKey);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr);
        const QList<QAction*> actions = menu->actions();
        const auto found = std::find_if(actions.begin(), actions.end(),
                                        [](QAction* a) { return a->text() == QStringLiteral("Mit anderer Datei vergleichen…"); });
        QVERIFY(found != actions.end());
        QAction* compare = *found;
        QVERIFY(compare->isEnabled());
        menu->close();

        bool seen = false;
        WhenCompareIsShown([&](TfrmCompare* compareForm) {
            seen = true;
            TStringGrid* table = compareForm->Table();
            if (!choose) {
                QTest::keyClick(table, Qt::Key_Escape);
                return;
            }
            // The corrected sampling time: its examination is the fifth of the later file.
            for (int row = 1; row < table->RowCount(); ++row)
                if (table->Cell(2, row).startsWith(QStringLiteral("Probe-Daten Probenahme am")))
                    table->SetRow(row);
            QTest::keyClick(table, Qt::Key_Return);
        });
        compare->trigger();
        QVERIFY(seen);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(form->windowTitle(), title);
        QCOMPARE(form->CurrentIndex(), choose ? 4 : 0);
        QCOMPARE(form->Investigations().FirstLineIndex(form->CurrentIndex()), choose ? 80 : 0);
        QCOMPARE(list->Row(), form->CurrentIndex() + 2);
    }

    // A cancelled dialog compares nothing.
    form->SetOtherFileSource([](QWidget*) { return std::optional<std::string>(); });
    form->CompareWithOtherFile();
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void TCompareFormTest::swapCopyAndClose()
{
    TfrmCompare form(KLater, KEarlier);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.ShownIsNew());
    // A picture for people to look at.
    QVERIFY(form.grab().save(QStringLiteral(MORVASK_TEST_OUTPUT_DIR "/CompareForm.png")));
    const int rows = form.Table()->RowCount();
    QCOMPARE(form.Comparison().Differences.front().Kind, EDifference::FieldChanged);

    form.SwapButton()->click();
    QVERIFY(!form.ShownIsNew());
    QCOMPARE(form.Table()->RowCount(), rows);
    // The examination added is now the one gone, and the other way round.
    QCOMPARE(form.Comparison().Differences.back().Kind, EDifference::InvestigationRemoved);
    QCOMPARE(form.Comparison().Differences.back().OldLine, 130);

    form.Table()->SelectAllRows();
    QTest::keyClick(form.Table(), Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
    QCOMPARE(copied.front(), QStringLiteral("Untersuchung\tArt\tFeld\tAlt\tNeu\tZeilen"));
    QCOMPARE(copied.size(), rows + 1); // the heading, the rows and the final line break

    QTest::keyClick(form.Table(), Qt::Key_Escape);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
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
    bool shown = false;
    if (chosen) {
        WhenCompareIsShown([&](TfrmCompare* compareForm) {
            shown = compareForm->Comparison().Compared;
            QTest::keyClick(compareForm->Table(), Qt::Key_Escape);
        });
    }
    form->CompareWithOtherFile();
    user.join();
    QCOMPARE(QDir(seen.Folder).canonicalPath(), QDir(KExamples).canonicalPath());
    QCOMPARE(shown, chosen);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(form->CurrentIndex(), 0);
}
#endif

QTEST_MAIN(TCompareFormTest)
#include "CompareFormTest.moc"
