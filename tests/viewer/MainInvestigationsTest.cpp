#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QTest>

#include "CheckPath.h"
#include "ClassicLook.h"
#include "ErrorDisplay.h"
#include "FieldHints.h"
#include "FindComponent.h"
#include "InvestigationCells.h"
#include "Main.h"
#include "MainFormFixture.h"
#include "Panel.h"
#include "StringGrid.h"
#include "TransferFiles.h"

using namespace TransferFiles;

// The main window with loaded examinations: the list and its caption, the
// detail display, the analysis grid, selecting, and the field hints.
class TMainInvestigationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void SelectionWithoutInvestigationsShowsNothing();
    void HeaderRows_data();
    void HeaderRows();
    void ListAndCaption_data();
    void ListAndCaption();
    void WorkedExample();
    void InvestigationsWithoutData_data();
    void InvestigationsWithoutData();
    void SelectByMouse();
    void SelectByKeyboard();
    void ClicksOutsideRowsChangeNothing();
    void ErrorPanelBlocksSelection();
    void FailedReloadShowsNothing();
    void FieldTextsShowLiterally();
    void Hints_data();
    void Hints();
    void HintAtExactWidth();
    void HintsFollowSelection();
    void HundredThousandParameters();

private:
    template <class T = QWidget>
    T* Find(const char* name) const { return FindComponent<T>(*FForm, name); }
    TStringGrid* ObjectList() const { return Find<TStringGrid>("sgObjectList"); }
    TStringGrid* Samples() const { return Find<TStringGrid>("sgSamples"); }
    // Loads and shows the file as the open does after a passed check.
    void Open(const QByteArray& text);
    void ClickRow(TStringGrid* grid, int row, int col = 1);

    QTemporaryDir FDir;
    TMainFormFixture FForm;
    int FFileNumber = 0;
};

namespace {

// Every value label of the data blocks with the field it shows.
const QList<QPair<const char*, int>> ValueLabels{
    {"Label33", 16}, {"Label10", 14}, {"Label11", 15}, {"Label58", 38}, {"Label20", 17}, {"Label15", 18}, {"Label16", 19}, {"Label35", 24}, {"Label36", 25}, {"Label40", 26}, {"Label41", 27}, {"Label22", 6}, {"Label23", 7}, {"Label32", 8}, {"Label27", 9}, {"Label28", 10}, {"Label29", 11}, {"Label30", 12}, {"Label31", 13}, {"Label6", 4}, {"Label19", 22}, {"Label17", 23}, {"Label43", 28}, {"Label45", 29}, {"Label49", 31}, {"Label47", 30}, {"Label1", 3}, {"Label57", 35}, {"Label8", 5}, {"Label59", 39}, {"Label51", 32}};

QString Caption(int count)
{
    return QStringLiteral(" Mit dieser Datei werden %1 Untersuchungen übermittelt:  ").arg(count);
}

QString Name(int block, int field) { return QStringLiteral("b%1f%2").arg(block).arg(field); }
QString ParameterName(int block, int k, int field) { return QStringLiteral("b%1p%2f%3").arg(block).arg(k).arg(field); }

QStringList RowOf(const TStringGrid* grid, int row)
{
    QStringList cells;
    for (int col = 0; col < grid->ColCount(); ++col)
        cells << grid->Cell(col, row);
    return cells;
}

} // namespace

void TMainInvestigationsTest::initTestCase()
{
    QVERIFY(FDir.isValid());
    // Without a path source the window opens nothing by itself.
    FForm.Start();
    QVERIFY(FForm.Show());
}

void TMainInvestigationsTest::cleanupTestCase()
{
    FForm.Stop();
}

void TMainInvestigationsTest::Open(const QByteArray& text)
{
    const QString path = Write(FDir, text, QStringLiteral("file%1.dat").arg(++FFileNumber));
    QVERIFY(!path.isEmpty());
    FForm->LoadInvestigations(CheckPathBytes(path));
    FForm->ShowInvestigation();
}

void TMainInvestigationsTest::ClickRow(TStringGrid* grid, int row, int col)
{
    const QModelIndex index = grid->model()->index(row - grid->FixedRows(), col);
    static_cast<QAbstractItemView*>(grid)->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

void TMainInvestigationsTest::SelectionWithoutInvestigationsShowsNothing()
{
    // Runs first: the open at start failed, the list has its design rows.
    QCOMPARE(FForm->InvestigationCount(), 0);
    QCOMPARE(ObjectList()->RowCount(), 8);
    ClickRow(ObjectList(), 4);
    QTest::keyClick(ObjectList(), Qt::Key_Down);
    QCOMPARE(FForm->CurrentIndex(), 0);
    QCOMPARE(Find<QLabel>("lblSampleTitle")->text(), QStringLiteral(" Analyse-Daten: "));
    QCOMPARE(Find<QLabel>("Label1")->text(), QString());
    QCOMPARE(LabelHint(Find<QLabel>("Label1")), QString());
    QCOMPARE(RowOf(ObjectList(), 4), QStringList(6, QString()));
}

void TMainInvestigationsTest::HeaderRows_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QStringList>("row0");
    QTest::addColumn<QStringList>("row1");
    QTest::newRow("examination list")
        << "sgObjectList"
        << QStringList{"Nr.", "Proben-ID des Labors", "Entnahmestelle", "Probenahme", "Vers.-Gebiet", "Zust. GA"}
        << QStringList{"", "Feld 3", "Feld 14", "Feld 22", "Feld 25", "Feld 35"};
    QTest::newRow("analysis grid")
        << "sgSamples"
        << QStringList{"Nr.", "Zeilen-Nr.", "Param.-ID", "Param.-Text", "U-Wert", "Einheit", "Beurteilung",
                       "Verfahren", "U-Stelle", "Ausnahme"}
        << QStringList{"", "in Datei", "Feld 44", "Feld 45", "Feld 48", "Feld 50", "Feld 49", "Feld 51", "Feld 52",
                       "Feld 53"};
}

void TMainInvestigationsTest::HeaderRows()
{
    QFETCH(QString, grid);
    QFETCH(QStringList, row0);
    QFETCH(QStringList, row1);
    const auto* sg = Find<TStringGrid>(qPrintable(grid));
    QCOMPARE(sg->FixedRows(), 2);
    QCOMPARE(RowOf(sg, 0), row0);
    QCOMPARE(RowOf(sg, 1), row1);
}

void TMainInvestigationsTest::ListAndCaption_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<int>>("blocks"); // the block numbers listed, in order

    QTest::newRow("one block") << Join(Block(1, 2)) << QList<int>{1};
    QTest::newRow("three blocks") << Join(Block(1, 1) + Block(2, 0) + Block(3, 4)) << QList<int>{1, 2, 3};
    QTest::newRow("blank lines after the blocks")
        << Join(Block(1, 1) + Block(2, 1) + QList<QByteArray>{"", "  ", ""}) << QList<int>{1, 2};
    QTest::newRow("blank line between blocks") << Join(Block(1, 1) + QList<QByteArray>{""} + Block(2, 1))
                                               << QList<int>{1};
    QTest::newRow("end line beginning with a blank")
        << Join(QList<QByteArray>{Header1(1), Header2(1), " 3|0"} + Block(2, 0) + Block(3, 0)) << QList<int>{1, 3};
    QTest::newRow("block without end line at the end")
        << Join(Block(1, 0) + QList<QByteArray>{Header1(2), Header2(2), Parameter(2, 0)}) << QList<int>{1, 2};
    QTest::newRow("single line after the last end line")
        << Join(Block(1, 0) + Block(2, 0) + QList<QByteArray>{Header1(3)}) << QList<int>{1, 2};
}

void TMainInvestigationsTest::ListAndCaption()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<int>, blocks);
    Open(text);
    QCOMPARE(FForm->InvestigationCount(), blocks.size());
    QCOMPARE(Find<QGroupBox>("gbObjectList")->title(), Caption(static_cast<int>(blocks.size())));
    QCOMPARE(ObjectList()->RowCount(), blocks.size() + 2);
    for (int i = 0; i < blocks.size(); ++i) {
        const int b = blocks[i];
        QCOMPARE(RowOf(ObjectList(), i + 2), (QStringList{QString::number(i + 1), Name(b, 3), Name(b, 14),
                                                          Name(b, 22), Name(b, 25), Name(b, 35)}));
    }
    // Examination 0 is shown and its row is selected.
    QCOMPARE(FForm->CurrentIndex(), 0);
    QCOMPARE(ObjectList()->Row(), 2);
    QCOMPARE(Find<QLabel>("Label1")->text(), Name(blocks[0], 3));
}

void TMainInvestigationsTest::WorkedExample()
{
    Open(Join(Block(1, 2)));
    for (const auto& [name, field] : ValueLabels)
        QCOMPARE(Find<QLabel>(name)->text(), Name(1, field));
    QCOMPARE(Find<QLabel>("Label4")->text(), QStringLiteral("Label1"));
    QCOMPARE(Find<QLabel>("lblSampleTitle")->text(), QStringLiteral("Analyse-Daten (2 Parameter):"));
    QCOMPARE(Samples()->RowCount(), 4);
    QCOMPARE(Samples()->FixedRows(), 2);
    for (int k = 0; k < 2; ++k) {
        QCOMPARE(RowOf(Samples(), k + 2),
                 (QStringList{QString::number(k + 1), QString::number(3 + k), ParameterName(1, k, 44),
                              ParameterName(1, k, 45), ParameterName(1, k, 48), ParameterName(1, k, 50),
                              ParameterName(1, k, 49), ParameterName(1, k, 51), ParameterName(1, k, 52),
                              ParameterName(1, k, 53)}));
    }
    // Rows beyond the parameters stay empty.
    QCOMPARE(RowOf(Samples(), 4), QStringList(10, QString()));
}

void TMainInvestigationsTest::InvestigationsWithoutData_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<int>>("shownFields"); // fields the examination has; the others show empty

    QList<int> headerFields;
    for (int field = 1; field <= 42; ++field)
        headerFields << field;
    QTest::newRow("only line is an end line") << Join({EndLine(0)}) << QList<int>{};
    QTest::newRow("block without parameters") << Join(Block(1, 0)) << headerFields;
    QTest::newRow("header line 2 missing") << Join({Header1(1), "", EndLine(0)})
                                           << headerFields.mid(0, 32);
    QTest::newRow("short header line 1, no header line 2") << Join({"1|E|b1f3|b1f4|", "", EndLine(0)})
                                                           << QList<int>{3, 4};
}

void TMainInvestigationsTest::InvestigationsWithoutData()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<int>, shownFields);
    Open(Join(Block(9, 3))); // something to overwrite
    Open(text);
    QCOMPARE(FForm->InvestigationCount(), 1);
    QCOMPARE(Find<QGroupBox>("gbObjectList")->title(), Caption(1));
    QCOMPARE(ObjectList()->RowCount(), 3);
    for (const auto& [name, field] : ValueLabels)
        QCOMPARE(Find<QLabel>(name)->text(), shownFields.contains(field) ? Name(1, field) : QString());
    QCOMPARE(Find<QLabel>("lblSampleTitle")->text(), QStringLiteral("Analyse-Daten (0 Parameter):"));
    QCOMPARE(Samples()->RowCount(), 2);
    QCOMPARE(Samples()->FixedRows(), 2);
    QCOMPARE(RowOf(Samples(), 1).at(2), QStringLiteral("Feld 44"));
}

void TMainInvestigationsTest::SelectByMouse()
{
    Open(Join(Block(1, 1) + Block(2, 3) + Block(3, 0)));
    ClickRow(ObjectList(), 3);
    QCOMPARE(FForm->CurrentIndex(), 1);
    QCOMPARE(Find<QLabel>("Label10")->text(), Name(2, 14));
    QCOMPARE(Find<QLabel>("lblSampleTitle")->text(), QStringLiteral("Analyse-Daten (3 Parameter):"));
    QCOMPARE(Samples()->RowCount(), 5);
    // The second block starts at line 5: its first parameter is line 7.
    QCOMPARE(Samples()->Cell(1, 2), QStringLiteral("7"));
    QCOMPARE(Samples()->Cell(2, 4), ParameterName(2, 2, 44));

    ClickRow(ObjectList(), 4, 3);
    QCOMPARE(FForm->CurrentIndex(), 2);
    QCOMPARE(Find<QLabel>("Label10")->text(), Name(3, 14));
    QCOMPARE(Samples()->RowCount(), 2);

    // The row already shown shows again.
    ClickRow(ObjectList(), 4);
    QCOMPARE(FForm->CurrentIndex(), 2);
    QCOMPARE(Find<QLabel>("Label10")->text(), Name(3, 14));
}

void TMainInvestigationsTest::SelectByKeyboard()
{
    Open(Join(Block(1, 1) + Block(2, 2) + Block(3, 3)));
    ObjectList()->setFocus();
    const QList<QPair<Qt::Key, int>> moves{{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Down, 2}, {Qt::Key_Up, 1}, {Qt::Key_Home, 0}, {Qt::Key_End, 2}};
    for (const auto& [key, index] : moves) {
        QTest::keyClick(ObjectList(), key);
        QCOMPARE(FForm->CurrentIndex(), index);
        QCOMPARE(Find<QLabel>("Label1")->text(), Name(index + 1, 3));
        QCOMPARE(Find<QLabel>("lblSampleTitle")->text(), QStringLiteral("Analyse-Daten (%1 Parameter):").arg(index + 1));
    }
}

void TMainInvestigationsTest::ClicksOutsideRowsChangeNothing()
{
    Open(Join(Block(1, 0) + Block(2, 0)));
    ClickRow(ObjectList(), 3);
    QCOMPARE(FForm->CurrentIndex(), 1);
    // The fixed column and the header rows select nothing.
    ClickRow(ObjectList(), 2, 0);
    QCOMPARE(FForm->CurrentIndex(), 1);
    const QRect header = ObjectList()->horizontalHeader()->geometry();
    QTest::mouseClick(ObjectList()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(100, header.height() / 4));
    QCOMPARE(FForm->CurrentIndex(), 1);
    QCOMPARE(Find<QLabel>("Label1")->text(), Name(2, 3));
}

void TMainInvestigationsTest::ErrorPanelBlocksSelection()
{
    Open(Join(Block(1, 0) + Block(2, 0)));
    auto* panel = Find<TPanel>("pnlErrorText");
    panel->show();
    panel->raise();
    ObjectList()->SetRow(3);
    emit ObjectList()->Click();
    QCOMPARE(FForm->CurrentIndex(), 0);
    QCOMPARE(Find<QLabel>("Label1")->text(), Name(1, 3));
    panel->hide();
    emit ObjectList()->Click();
    QCOMPARE(FForm->CurrentIndex(), 1);
}

void TMainInvestigationsTest::FailedReloadShowsNothing()
{
    Open(Join(Block(1, 1) + Block(2, 1)));
    const QString missing = FDir.filePath(QStringLiteral("entfernt.dat"));
    bool failed = false;
    try {
        FForm->LoadInvestigations(CheckPathBytes(missing));
    } catch (const std::exception&) {
        failed = true;
    }
    QVERIFY(failed);
    QCOMPARE(FForm->InvestigationCount(), 0);
    QCOMPARE(FForm->CurrentIndex(), 0);
    // The rows of the list stay, but no examination is behind them.
    ClickRow(ObjectList(), 3);
    FForm->ShowInvestigation();
    QCOMPARE(FForm->CurrentIndex(), 0);
    QCOMPARE(Find<QLabel>("Label1")->text(), Name(1, 3));
    QCOMPARE(Samples()->Cell(2, 2), QString());
    QCOMPARE(ObjectList()->Cell(1, 3), QString());
}

void TMainInvestigationsTest::FieldTextsShowLiterally()
{
    const QByteArray header1 = "1|E|M\xFC"
                               "ller & S\xF6hne|<b>fett</b>|&amp;|" +
                               Header1(1).mid(22);
    QByteArray parameter = "2|A&B|<i>x</i>|";
    for (int field = 46; field <= 53; ++field)
        parameter += "&|";
    Open(Join({header1, Header2(1), parameter, EndLine(1)}));
    QCOMPARE(Find<QLabel>("Label1")->text(), QStringLiteral("Müller & Söhne"));
    QCOMPARE(Find<QLabel>("Label6")->text(), QStringLiteral("<b>fett</b>"));
    QCOMPARE(Find<QLabel>("Label8")->text(), QStringLiteral("&amp;"));
    QCOMPARE(Find<QLabel>("Label1")->textFormat(), Qt::PlainText);
    QCOMPARE(ObjectList()->Cell(1, 2), QStringLiteral("Müller & Söhne"));
    QCOMPARE(Samples()->Cell(2, 2), QStringLiteral("A&B"));
    QCOMPARE(Samples()->Cell(3, 2), QStringLiteral("<i>x</i>"));
}

void TMainInvestigationsTest::Hints_data()
{
    QTest::addColumn<QByteArray>("value"); // field 14, shown by Label10 (305 pixels wide)
    QTest::addColumn<bool>("overlong");
    QTest::addColumn<QString>("hint");

    QTest::newRow("empty") << QByteArray() << false << QStringLiteral("Feld 14");
    QTest::newRow("fits") << QByteArray("Brunnen Nord") << false << QStringLiteral("Feld 14");
    const QByteArray a35(35, 'W');
    const QByteArray b30(30, 'M');
    QTest::newRow("overlong, one break")
        << a35 + " " + b30 << true << "Feld 14: " + QString(a35) + " \r\n" + QString(b30);
    QTest::newRow("overlong word")
        << QByteArray(80, 'W') << true << "Feld 14: \r\n" + QString(80, u'W');
    QTest::newRow("overlong with markup")
        << "<b>" + QByteArray(60, 'W') + "</b> & " + QByteArray(20, 'M') << true
        << "Feld 14: \r\n<b>" + QString(60, u'W') + "</b> \r\n& " + QString(20, u'M');
    QTest::newRow("overlong, quote never closed")
        << "\"" + QByteArray(20, 'W') + " " + QByteArray(40, 'M') + " xx" << true
        << "Feld 14: \"" + QString(20, u'W') + " " + QString(40, u'M') + " xx";
}

void TMainInvestigationsTest::Hints()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, overlong);
    QFETCH(QString, hint);
    QByteArray header1 = "1|E|";
    for (int field = 3; field <= 32; ++field)
        header1 += (field == 14 ? value : Name(1, field).toLatin1()) + "|";
    Open(Join({header1, Header2(1), EndLine(0)}));

    auto* label = Find<QLabel>("Label10");
    QCOMPARE(label->text(), QString::fromLatin1(value));
    QCOMPARE(QFontMetrics(label->font()).horizontalAdvance(label->text()) > label->width(), overlong);
    QCOMPARE(LabelHint(label), hint);
    QCOMPARE(label->toolTip(), LiteralToolTip(hint));
    QCOMPARE(label->toolTipDuration(), 10000);
    // Every other value label fits and names its field; Label4 gets its hint too.
    QCOMPARE(LabelHint(Find<QLabel>("Label58")), QStringLiteral("Feld 38"));
    QCOMPARE(LabelHint(Find<QLabel>("Label4")), QStringLiteral("Feld 22"));
    // Caption labels carry no hint.
    QCOMPARE(LabelHint(Find<QLabel>("Label61")), QString());
    QCOMPARE(Find<QLabel>("Label61")->toolTip(), QString());
}

void TMainInvestigationsTest::HintAtExactWidth()
{
    Open(Join(Block(1, 0)));
    auto* label = Find<QLabel>("Label33");
    const QSize designed = label->size();
    const int width = QFontMetrics(label->font()).horizontalAdvance(label->text());
    label->resize(width, designed.height());
    FForm->UpdateFieldHints();
    QCOMPARE(LabelHint(label), QStringLiteral("Feld 16"));
    label->resize(width - 1, designed.height());
    FForm->UpdateFieldHints();
    QCOMPARE(LabelHint(label), QStringLiteral("Feld 16: b1f16"));
    label->resize(designed);
    FForm->UpdateFieldHints();
    QCOMPARE(LabelHint(label), QStringLiteral("Feld 16"));
}

void TMainInvestigationsTest::HintsFollowSelection()
{
    QByteArray header1 = "1|E|";
    for (int field = 3; field <= 32; ++field)
        header1 += (field == 6 ? QByteArray("Zweckverband ") + QByteArray(70, 'W') : Name(1, field).toLatin1()) + "|";
    Open(Join(QList<QByteArray>{header1, Header2(1), EndLine(0)} + Block(2, 0)));
    QVERIFY(LabelHint(Find<QLabel>("Label22")).startsWith(QStringLiteral("Feld 6: Zweckverband ")));
    ClickRow(ObjectList(), 3);
    QCOMPARE(FForm->CurrentIndex(), 1);
    QCOMPARE(LabelHint(Find<QLabel>("Label22")), QStringLiteral("Feld 6"));
    QCOMPARE(Find<QLabel>("Label22")->toolTip(), LiteralToolTip(QStringLiteral("Feld 6")));
}

void TMainInvestigationsTest::HundredThousandParameters()
{
    constexpr int parameters = 100000;
    Open(Join(Block(1, 1) + Block(2, parameters)));
    ClickRow(ObjectList(), 3);
    QCOMPARE(FForm->CurrentIndex(), 1);
    QCOMPARE(Samples()->RowCount(), parameters + 2);
    QCOMPARE(Find<QLabel>("lblSampleTitle")->text(), QStringLiteral("Analyse-Daten (100000 Parameter):"));
    Samples()->viewport()->repaint();
    FForm->grab();
    // The last row is there all the same; block 2 starts at line 5 (index 4).
    QCOMPARE(Samples()->Cell(0, parameters + 1), QStringLiteral("100000"));
    QCOMPARE(Samples()->Cell(1, parameters + 1), QString::number(4 + 3 + parameters - 1));
    QCOMPARE(Samples()->Cell(9, parameters + 1), ParameterName(2, parameters - 1, 53));
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ApplyClassicLook(application);
    TMainInvestigationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainInvestigationsTest.moc"
