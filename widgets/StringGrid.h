#pragma once

#include <QColor>
#include <QString>
#include <QTableView>

#include <functional>

#include "TypeAhead.h"

class TStringGridModel;
class TStringGridHeader;

// A grid of strings addressed by (column, row), with fixed header rows at the
// top and fixed columns at the left. The fixed rows stay in place while the
// other rows scroll; the whole row is selected, either one row or a range of
// consecutive rows. Cells are never edited in place.
//
// Heights and widths are those of the cell itself; the one-pixel grid line
// below and right of each cell comes on top, as on the classic desktop.
class TStringGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(int colCount READ ColCount WRITE SetColCount)
    Q_PROPERTY(int rowCount READ RowCount WRITE SetRowCount)
    Q_PROPERTY(int fixedRows READ FixedRows WRITE SetFixedRows)
    Q_PROPERTY(int fixedCols READ FixedCols WRITE SetFixedCols)
    Q_PROPERTY(int defaultColWidth READ DefaultColWidth WRITE SetDefaultColWidth)
    Q_PROPERTY(int defaultRowHeight READ DefaultRowHeight WRITE SetDefaultRowHeight)
    Q_PROPERTY(QString colWidths READ ColWidths WRITE SetColWidths)
    Q_PROPERTY(QColor color READ Color WRITE SetColor)
    Q_PROPERTY(QColor fixedColor READ FixedColor WRITE SetFixedColor)
    Q_PROPERTY(bool rangeSelect READ RangeSelect WRITE SetRangeSelect)
    Q_PROPERTY(bool thumbTracking READ ThumbTracking WRITE SetThumbTracking)

public:
    using TCellSource = std::function<QString(int col, int row)>;

    explicit TStringGrid(QWidget* parent = nullptr);

    int ColCount() const;
    void SetColCount(int count);
    // Keeps the explicit cells of the rows that remain and the selection, as
    // far as its rows remain.
    int RowCount() const;
    void SetRowCount(int count);
    int FixedRows() const;
    void SetFixedRows(int count);
    int FixedCols() const;
    void SetFixedCols(int count);

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    // Gives the text of every cell of a scrolling row that SetCell did not
    // set; asked only for the cells being drawn.
    void SetCellSource(TCellSource source);

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int DefaultColWidth() const;
    void SetDefaultColWidth(int width);
    // Column widths as a comma-separated list, for the layout description.
    QString ColWidths() const;
    void SetColWidths(const QString& widths);
    int DefaultRowHeight() const { return FRowHeight; }
    void SetDefaultRowHeight(int height);

    QColor Color() const;
    void SetColor(const QColor& color);
    QColor FixedColor() const;
    void SetFixedColor(const QColor& color);

    // One row (false) or a range of consecutive rows (true).
    bool RangeSelect() const;
    void SetRangeSelect(bool range);

    // Whether the rows follow the scroll box while it is dragged (true) or
    // only once it is let go.
    bool ThumbTracking() const;
    void SetThumbTracking(bool tracking);

    // The row of the selection's moving end; FixedRows() while the grid has
    // no scrolling row. SetRow selects that one row and emits no Click.
    int Row() const;
    void SetRow(int row);
    int SelectionTop() const;
    int SelectionBottom() const;
    // Index of the first row shown below the fixed rows.
    int TopRow() const;
    // Selects every scrolling row of a grid that selects ranges.
    void SelectAllRows();

    // The rows from top to bottom (grid rows) as a spreadsheet pastes them:
    // one line of column headings, then one line per row, cells separated by
    // tabs, every line ending in a line break. Empty when no scrolling row
    // lies in the range.
    QString RowsText(int top, int bottom) const;
    // The heading of a column: the texts of its fixed rows, joined by a blank.
    QString ColumnHeading(int col) const;
    // Put the selected rows, or every scrolling row, on the clipboard; false
    // when the grid has no scrolling row.
    bool CopySelection() const;
    bool CopyAllRows() const;

    // Typing letters and digits asks the finder for the first row, from
    // fromRow on and wrapping at the end, that matches the typed text; it
    // answers a grid row or -1. Without a finder typing moves nothing.
    using TRowFinder = std::function<int(const QString& text, int fromRow)>;
    void SetRowFinder(TRowFinder finder) { FRowFinder = std::move(finder); }
    // The time source of the pause that ends a typed text; tests advance it.
    void SetTypeAheadClock(TTypeAhead::TClock clock) { FTypeAhead.SetClock(std::move(clock)); }

signals:
    // The user selected with the mouse (on release, also after a drag) or
    // moved the selection by keyboard.
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

public:
    void keyboardSearch(const QString& search) override;

private:
    bool IsBodyCell(const QPoint& position) const;
    void SelectFirstRowIfNone(int preferredRow);

    TStringGridModel* FCells;
    TStringGridHeader* FHeader;
    TRowFinder FRowFinder;
    TTypeAhead FTypeAhead;
    int FRowHeight = 16;
    int FDefaultColWidth = 64;
    bool FSelectingByMouse = false;
};
