// The string grid: cells and their source, fixed header rows and columns,
// row selection and its Click by mouse and keyboard, a million rows.
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "ClassicLook.h"
#include "StringGrid.h"

namespace {

// A grid like the examination list: 6 columns, 2 header rows, a fixed first column.
std::unique_ptr<TStringGrid> MakeGrid(int rows, bool range = false)
{
    auto grid = std::make_unique<TStringGrid>();
    grid->SetColCount(6);
    grid->SetRowCount(rows);
    grid->SetFixedRows(2);
    grid->SetFixedCols(1);
    grid->SetDefaultColWidth(40);
    grid->SetDefaultRowHeight(16);
    grid->SetRangeSelect(range);
    grid->setGeometry(100, 100, 320, 2 + 2 * 17 + 6 * 17 + 2);
    return grid;
}

QPoint CellCentre(const TStringGrid& grid, int col, int row)
{
    const QModelIndex index = grid.model()->index(row - grid.FixedRows(), col);
    return grid.visualRect(index).center();
}

} // namespace

class TStringGridTest : public QObject {
    Q_OBJECT

private slots:
    void Cells();
    void CellSource();
    void RowCountKeepsCellsAndSelection();
    void HeaderOnlyGrid();
    void MillionRowsAskOnlyForVisibleCells();
    void FixedRowsStayWhileScrolling();
    void ColumnWidthsDraggedInHeader();
    void Mouse_data();
    void Mouse();
    void Keyboard_data();
    void Keyboard();
    void SetRowEmitsNoClick();
};

void TStringGridTest::Cells()
{
    auto grid = MakeGrid(5);
    grid->SetCell(0, 0, QStringLiteral("Nr."));
    grid->SetCell(2, 1, QStringLiteral("Feld 14"));
    grid->SetCell(3, 4, QStringLiteral("A & B <i>"));
    QCOMPARE(grid->Cell(0, 0), QStringLiteral("Nr."));
    QCOMPARE(grid->Cell(2, 1), QStringLiteral("Feld 14"));
    QCOMPARE(grid->Cell(3, 4), QStringLiteral("A & B <i>"));
    QCOMPARE(grid->Cell(1, 1), QString());
    // Outside the grid: ignored on write, empty on read.
    grid->SetCell(6, 0, QStringLiteral("x"));
    grid->SetCell(0, 5, QStringLiteral("x"));
    grid->SetCell(-1, 2, QStringLiteral("x"));
    QCOMPARE(grid->Cell(6, 0), QString());
    QCOMPARE(grid->Cell(0, 5), QString());
    QCOMPARE(grid->Cell(-1, 2), QString());
    // The cell text reaches the view unchanged.
    QCOMPARE(grid->model()->index(2, 3).data().toString(), QStringLiteral("A & B <i>"));
    // Column widths are the cell widths; the grid line comes on top.
    grid->SetColWidth(1, 176);
    QCOMPARE(grid->ColWidth(1), 176);
    QCOMPARE(grid->horizontalHeader()->sectionSize(1), 177);
    QCOMPARE(grid->ColWidth(2), 40);
}

void TStringGridTest::CellSource()
{
    auto grid = MakeGrid(6);
    grid->SetCell(1, 0, QStringLiteral("Kopf"));
    grid->SetCell(1, 3, QStringLiteral("gesetzt"));
    grid->SetCellSource([](int col, int row) { return QStringLiteral("%1/%2").arg(col).arg(row); });
    QCOMPARE(grid->Cell(1, 3), QStringLiteral("gesetzt")); // explicit cells win
    QCOMPARE(grid->Cell(2, 3), QStringLiteral("2/3"));
    QCOMPARE(grid->Cell(0, 5), QStringLiteral("0/5")); // the fixed column of a scrolling row too
    QCOMPARE(grid->Cell(1, 0), QStringLiteral("Kopf")); // header rows never ask the source
    QCOMPARE(grid->Cell(2, 1), QString());
    QCOMPARE(grid->Cell(2, 6), QString()); // beyond the last row
    grid->SetCellSource({});
    QCOMPARE(grid->Cell(2, 3), QString());
}

void TStringGridTest::RowCountKeepsCellsAndSelection()
{
    auto grid = MakeGrid(8);
    for (int row = 0; row < 8; ++row)
        grid->SetCell(1, row, QString::number(row));
    grid->SetRow(4);
    grid->SetRowCount(20);
    QCOMPARE(grid->RowCount(), 20);
    QCOMPARE(grid->Row(), 4);
    QCOMPARE(grid->Cell(1, 7), QStringLiteral("7"));
    QCOMPARE(grid->Cell(1, 0), QStringLiteral("0"));

    // Shrinking drops the cells of the rows that go and moves a lost selection to the last row.
    grid->SetRow(6);
    grid->SetRowCount(5);
    QCOMPARE(grid->Cell(1, 4), QStringLiteral("4"));
    QCOMPARE(grid->Row(), 4);
    QCOMPARE(grid->SelectionTop(), 4);
    QCOMPARE(grid->SelectionBottom(), 4);
    grid->SetRowCount(8);
    QCOMPARE(grid->Cell(1, 6), QString());
    QCOMPARE(grid->Row(), 4);
}

void TStringGridTest::HeaderOnlyGrid()
{
    // A grid may hold its header rows only, both still header rows.
    auto grid = MakeGrid(10);
    grid->SetCell(0, 0, QStringLiteral("Nr."));
    grid->SetRowCount(2);
    QCOMPARE(grid->RowCount(), 2);
    QCOMPARE(grid->FixedRows(), 2);
    QCOMPARE(grid->model()->rowCount(), 0);
    QCOMPARE(grid->Cell(0, 0), QStringLiteral("Nr."));
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    QSignalSpy clicks(grid.get(), &TStringGrid::Click);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(60, 8));
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QCOMPARE(clicks.count(), 0);
    grid->SetRowCount(4);
    QCOMPARE(grid->Row(), 2); // the first scrolling row is selected again
}

void TStringGridTest::MillionRowsAskOnlyForVisibleCells()
{
    auto grid = MakeGrid(2);
    int asked = 0;
    int highestRow = 0;
    grid->SetCellSource([&](int col, int row) {
        ++asked;
        highestRow = std::max(highestRow, row);
        return QStringLiteral("%1:%2").arg(col).arg(row);
    });
    grid->SetRowCount(1'000'002);
    QCOMPARE(grid->RowCount(), 1'000'002);
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    QTRY_VERIFY2(asked > 0, "the visible cells come from the source");
    const int visibleCells = 6 * 8;
    QVERIFY2(asked <= 4 * visibleCells, qPrintable(QStringLiteral("asked %1 cells").arg(asked)));
    QVERIFY(highestRow < 20);

    // Jumping to the end asks again only for what is then on screen.
    asked = 0;
    QTest::keyClick(grid.get(), Qt::Key_End);
    QTRY_VERIFY(highestRow == 1'000'001); // painted at the end
    QCOMPARE(grid->Row(), 1'000'001);
    QVERIFY(grid->TopRow() > 999'990);
    QVERIFY2(asked <= 4 * visibleCells, qPrintable(QStringLiteral("asked %1 cells").arg(asked)));
    QCOMPARE(grid->Cell(3, 1'000'001), QStringLiteral("3:1000001"));
}

void TStringGridTest::FixedRowsStayWhileScrolling()
{
    auto grid = MakeGrid(100);
    grid->SetCell(1, 0, QStringLiteral("Kopf"));
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    const int headerTop = grid->horizontalHeader()->geometry().top();
    QCOMPARE(grid->horizontalHeader()->height(), 2 * 17);
    QCOMPARE(grid->TopRow(), 2);
    grid->verticalScrollBar()->setValue(50);
    QCOMPARE(grid->TopRow(), 52);
    QCOMPARE(grid->horizontalHeader()->geometry().top(), headerTop);
    QVERIFY(grid->horizontalHeader()->isVisible());
    // No horizontal scroll bar, ever; rows have one fixed height.
    QVERIFY(!grid->horizontalScrollBar()->isVisible());
    QCOMPARE(grid->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    QCOMPARE(grid->rowHeight(0), 17);
}

void TStringGridTest::ColumnWidthsDraggedInHeader()
{
    auto grid = MakeGrid(10);
    grid->SetColWidth(1, 60);
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    QHeaderView* header = grid->horizontalHeader();
    // The border right of column 1 lies at the end of its section.
    const int border = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
    QWidget* surface = header->viewport();
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(border, 20));
    QTest::mouseMove(surface, QPoint(border + 25, 20));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(border + 25, 20));
    QCOMPARE(grid->ColWidth(1), 85);
}

void TStringGridTest::Mouse_data()
{
    QTest::addColumn<bool>("range");
    QTest::addColumn<int>("pressRow");
    QTest::addColumn<int>("pressCol");
    QTest::addColumn<int>("releaseRow");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<int>("clicks");
    // Starting selection: row 3.
    QTest::newRow("click a row") << false << 5 << 2 << 5 << 0 << 5 << 5 << 5 << 1;
    QTest::newRow("click the selected row") << false << 3 << 2 << 3 << 0 << 3 << 3 << 3 << 1;
    QTest::newRow("control does not toggle") << false << 3 << 2 << 3 << int(Qt::ControlModifier) << 3 << 3 << 3 << 1;
    QTest::newRow("click the fixed column") << false << 5 << 0 << 5 << 0 << 3 << 3 << 3 << 0;
    QTest::newRow("drag in single mode") << false << 4 << 2 << 6 << 0 << 6 << 6 << 6 << 1;
    QTest::newRow("drag a range") << true << 4 << 2 << 6 << 0 << 6 << 4 << 6 << 1;
    QTest::newRow("drag a range upwards") << true << 6 << 3 << 2 << 0 << 2 << 2 << 6 << 1;
    QTest::newRow("shift click extends") << true << 6 << 2 << 6 << int(Qt::ShiftModifier) << 6 << 3 << 6 << 1;
    QTest::newRow("shift click in single mode") << false << 6 << 2 << 6 << int(Qt::ShiftModifier) << 6 << 6 << 6 << 1;
}

void TStringGridTest::Mouse()
{
    QFETCH(bool, range);
    QFETCH(int, pressRow);
    QFETCH(int, pressCol);
    QFETCH(int, releaseRow);
    QFETCH(int, modifiers);
    QFETCH(int, row);
    QFETCH(int, top);
    QFETCH(int, bottom);
    QFETCH(int, clicks);
    auto grid = MakeGrid(20, range);
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    grid->SetRow(3);
    QSignalSpy spy(grid.get(), &TStringGrid::Click);
    const auto keys = Qt::KeyboardModifiers(modifiers);
    QWidget* surface = grid->viewport();
    QTest::mousePress(surface, Qt::LeftButton, keys, CellCentre(*grid, pressCol, pressRow));
    if (releaseRow != pressRow)
        QTest::mouseMove(surface, CellCentre(*grid, pressCol, releaseRow));
    QTest::mouseRelease(surface, Qt::LeftButton, keys, CellCentre(*grid, pressCol, releaseRow));
    QCOMPARE(grid->Row(), row);
    QCOMPARE(grid->SelectionTop(), top);
    QCOMPARE(grid->SelectionBottom(), bottom);
    QCOMPARE(spy.count(), clicks);
}

void TStringGridTest::Keyboard_data()
{
    QTest::addColumn<bool>("range");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<int>("clicks");
    // 30 rows: header rows 0 and 1, scrolling rows 2 to 29; 6 rows fit in the view.
    QTest::newRow("down") << false << 3 << int(Qt::Key_Down) << 0 << 4 << 4 << 4 << 1;
    QTest::newRow("up") << false << 3 << int(Qt::Key_Up) << 0 << 2 << 2 << 2 << 1;
    QTest::newRow("up at the first row") << false << 2 << int(Qt::Key_Up) << 0 << 2 << 2 << 2 << 0;
    QTest::newRow("down at the last row") << false << 29 << int(Qt::Key_Down) << 0 << 29 << 29 << 29 << 0;
    QTest::newRow("end") << false << 3 << int(Qt::Key_End) << 0 << 29 << 29 << 29 << 1;
    QTest::newRow("home") << false << 10 << int(Qt::Key_Home) << 0 << 2 << 2 << 2 << 1;
    QTest::newRow("page down") << false << 3 << int(Qt::Key_PageDown) << 0 << 9 << 9 << 9 << 1;
    QTest::newRow("left moves nothing") << false << 3 << int(Qt::Key_Left) << 0 << 3 << 3 << 3 << 0;
    QTest::newRow("right moves nothing") << false << 3 << int(Qt::Key_Right) << 0 << 3 << 3 << 3 << 0;
    QTest::newRow("letters search nothing") << false << 3 << int(Qt::Key_A) << 0 << 3 << 3 << 3 << 0;
    QTest::newRow("shift down extends a range") << true << 3 << int(Qt::Key_Down) << int(Qt::ShiftModifier) << 4 << 3 << 4 << 1;
    QTest::newRow("shift up extends a range") << true << 5 << int(Qt::Key_Up) << int(Qt::ShiftModifier) << 4 << 4 << 5 << 1;
    QTest::newRow("shift down in single mode") << false << 3 << int(Qt::Key_Down) << int(Qt::ShiftModifier) << 4 << 4 << 4 << 1;
}

void TStringGridTest::Keyboard()
{
    QFETCH(bool, range);
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, row);
    QFETCH(int, top);
    QFETCH(int, bottom);
    QFETCH(int, clicks);
    auto grid = MakeGrid(30, range);
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    grid->SetRow(start);
    QSignalSpy spy(grid.get(), &TStringGrid::Click);
    QTest::keyClick(grid.get(), static_cast<Qt::Key>(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(grid->Row(), row);
    QCOMPARE(grid->SelectionTop(), top);
    QCOMPARE(grid->SelectionBottom(), bottom);
    QCOMPARE(spy.count(), clicks);
}

void TStringGridTest::SetRowEmitsNoClick()
{
    auto grid = MakeGrid(10);
    QSignalSpy spy(grid.get(), &TStringGrid::Click);
    grid->SetRow(7);
    QCOMPARE(grid->Row(), 7);
    grid->SetRow(1); // a header row cannot be selected
    grid->SetRow(10); // nor a row beyond the last
    QCOMPARE(grid->Row(), 7);
    QCOMPARE(spy.count(), 0);
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ApplyClassicLook(application);
    TStringGridTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StringGridTest.moc"
