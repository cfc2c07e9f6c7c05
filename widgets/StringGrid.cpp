#include "StringGrid.h"

#include "StringGridDelegate.h"
#include "StringGridHeader.h"
#include "StringGridModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStringList>

#include <algorithm>
#include <climits>

TStringGrid::TStringGrid(QWidget* parent) : QTableView(parent),
                                            FCells(new TStringGridModel(this))
{
    FHeader = new TStringGridHeader(FCells, this);
    setHorizontalHeader(FHeader);
    setModel(FCells);
    setItemDelegate(new TStringGridDelegate(this));

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(FRowHeight + 1);
    FHeader->setDefaultSectionSize(FDefaultColWidth + 1);
    for (int col = 0; col < FCells->ColCount(); ++col)
        FHeader->resizeSection(col, FDefaultColWidth + 1);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAutoScroll(true);
    setDragEnabled(false);
    verticalScrollBar()->setTracking(true);

    connect(FCells, &TStringGridModel::FixedCellsChanged, this, [this] {
        FHeader->setVisible(FCells->FixedRows() > 0);
        updateGeometries();
    });
    SelectFirstRowIfNone(0);
}

int TStringGrid::ColCount() const { return FCells->ColCount(); }

bool TStringGrid::ThumbTracking() const { return verticalScrollBar()->hasTracking(); }

void TStringGrid::SetThumbTracking(bool tracking) { verticalScrollBar()->setTracking(tracking); }

void TStringGrid::SetColCount(int count)
{
    FCells->SetColCount(count);
}

int TStringGrid::RowCount() const { return FCells->RowCount(); }

void TStringGrid::SetRowCount(int count)
{
    const int before = currentIndex().isValid() ? currentIndex().row() : 0;
    FCells->SetRowCount(count);
    SelectFirstRowIfNone(before);
}

int TStringGrid::FixedRows() const { return FCells->FixedRows(); }

void TStringGrid::SetFixedRows(int count)
{
    FCells->SetFixedRows(count);
    SelectFirstRowIfNone(0);
}

int TStringGrid::FixedCols() const { return FCells->FixedCols(); }

void TStringGrid::SetFixedCols(int count)
{
    FCells->SetFixedCols(count);
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.column() < FCells->FixedCols())
        selectionModel()->setCurrentIndex(FCells->index(current.row(), FCells->FixedCols()),
                                          QItemSelectionModel::NoUpdate);
}

QString TStringGrid::Cell(int col, int row) const { return FCells->Cell(col, row); }

void TStringGrid::SetCell(int col, int row, const QString& text) { FCells->SetCell(col, row, text); }

void TStringGrid::SetCellSource(TCellSource source) { FCells->SetCellSource(std::move(source)); }

int TStringGrid::ColWidth(int col) const
{
    if (col < 0 || col >= FCells->ColCount())
        return 0;
    return FHeader->sectionSize(col) - 1;
}

void TStringGrid::SetColWidth(int col, int width)
{
    if (col < 0 || col >= FCells->ColCount())
        return;
    FHeader->resizeSection(col, std::max(width, 0) + 1);
}

int TStringGrid::DefaultColWidth() const { return FDefaultColWidth; }

void TStringGrid::SetDefaultColWidth(int width)
{
    FDefaultColWidth = std::max(width, 0);
    FHeader->setDefaultSectionSize(FDefaultColWidth + 1);
    for (int col = 0; col < FCells->ColCount(); ++col)
        FHeader->resizeSection(col, FDefaultColWidth + 1);
}

QString TStringGrid::ColWidths() const
{
    QStringList widths;
    for (int col = 0; col < FCells->ColCount(); ++col)
        widths << QString::number(ColWidth(col));
    return widths.join(QLatin1Char(','));
}

void TStringGrid::SetColWidths(const QString& widths)
{
    const QStringList parts = widths.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (int col = 0; col < parts.size(); ++col) {
        bool ok = false;
        const int width = parts[col].trimmed().toInt(&ok);
        if (ok)
            SetColWidth(col, width);
    }
}

void TStringGrid::SetDefaultRowHeight(int height)
{
    FRowHeight = std::max(height, 1);
    verticalHeader()->setDefaultSectionSize(FRowHeight + 1);
    FHeader->SetRowPitch(FRowHeight + 1);
    updateGeometries();
}

QColor TStringGrid::Color() const { return FCells->Color(); }

void TStringGrid::SetColor(const QColor& color)
{
    FCells->SetColor(color);
    // The area below the last row shows the cell colour too.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, color);
    setPalette(colours);
}

QColor TStringGrid::FixedColor() const { return FCells->FixedColor(); }

void TStringGrid::SetFixedColor(const QColor& color) { FCells->SetFixedColor(color); }

bool TStringGrid::RangeSelect() const { return selectionMode() == QAbstractItemView::ContiguousSelection; }

void TStringGrid::SetRangeSelect(bool range)
{
    setSelectionMode(range ? QAbstractItemView::ContiguousSelection : QAbstractItemView::SingleSelection);
}

int TStringGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return (current.isValid() ? current.row() : 0) + FCells->FixedRows();
}

void TStringGrid::SetRow(int row)
{
    const int body = row - FCells->FixedRows();
    if (body < 0 || body >= FCells->rowCount())
        return;
    selectionModel()->setCurrentIndex(FCells->index(body, FCells->FixedCols()),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(currentIndex());
}

int TStringGrid::SelectionTop() const
{
    int top = INT_MAX;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        top = std::min(top, range.top());
    return top == INT_MAX ? Row() : top + FCells->FixedRows();
}

int TStringGrid::SelectionBottom() const
{
    int bottom = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        bottom = std::max(bottom, range.bottom());
    return bottom < 0 ? Row() : bottom + FCells->FixedRows();
}

int TStringGrid::TopRow() const
{
    return std::max(rowAt(0), 0) + FCells->FixedRows();
}

bool TStringGrid::IsBodyCell(const QPoint& position) const
{
    const QModelIndex index = indexAt(position);
    return index.isValid() && index.column() >= FCells->FixedCols();
}

void TStringGrid::mousePressEvent(QMouseEvent* event)
{
    // A press into a fixed column or below the last row selects nothing;
    // only the left button selects.
    if (event->button() != Qt::LeftButton || !IsBodyCell(event->position().toPoint())) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    FSelectingByMouse = true;
    // The control key would toggle the row; here a click always selects.
    QMouseEvent plain(event->type(), event->position(), event->scenePosition(), event->globalPosition(),
                      event->button(), event->buttons(), event->modifiers() & ~Qt::ControlModifier,
                      event->pointingDevice());
    QTableView::mousePressEvent(&plain);
    event->setAccepted(plain.isAccepted());
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a double click selects like the first one.
    mousePressEvent(event);
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    if (FSelectingByMouse && event->button() == Qt::LeftButton) {
        FSelectingByMouse = false;
        emit Click();
    }
}

void TStringGrid::keyPressEvent(QKeyEvent* event)
{
    // Ctrl+Insert is the older copy key, still in use on every platform.
    const bool copy = event->matches(QKeySequence::Copy) ||
                      (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ControlModifier);
    if (copy) {
        if (!CopySelection())
            QApplication::beep();
        event->accept();
        return;
    }
    if (event->text().isEmpty() || !event->text().at(0).isPrint())
        FTypeAhead.Reset();
    if (event->matches(QKeySequence::SelectAll)) {
        // A one-row grid keeps its one row.
        SelectAllRows();
        event->accept();
        return;
    }
    const int row = Row();
    const int top = SelectionTop();
    const int bottom = SelectionBottom();
    QTableView::keyPressEvent(event);
    if (Row() != row || SelectionTop() != top || SelectionBottom() != bottom)
        emit Click();
}

QModelIndex TStringGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int rows = FCells->rowCount();
    if (rows == 0)
        return QModelIndex();
    const QModelIndex current = currentIndex();
    int row = current.isValid() ? current.row() : 0;
    const int page = std::max(1, viewport()->height() / (FRowHeight + 1));
    switch (cursorAction) {
    case MoveUp:
        --row;
        break;
    case MoveDown:
        ++row;
        break;
    case MovePageUp:
        row -= page;
        break;
    case MovePageDown:
        row += page;
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    default:
        // Whole rows are selected: left, right and Tab move nothing.
        break;
    }
    return FCells->index(std::clamp(row, 0, rows - 1), FCells->FixedCols());
}

void TStringGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    // Only rows scroll; the columns stay where they are.
    const int horizontal = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(horizontal);
}

void TStringGrid::keyboardSearch(const QString& search)
{
    if (!FRowFinder || search.isEmpty() || !search.at(0).isPrint())
        return;
    // A blank begins no search: it may only continue one.
    if (search.at(0).isSpace() && !FTypeAhead.Continues())
        return;
    // A new text looks from the row after the current one, so that typing
    // the same letter again goes on to the next match; a longer text may
    // still match the current row.
    const bool continues = FTypeAhead.Add(search);
    const int from = continues ? Row() : Row() + 1;
    const int found = FRowFinder(FTypeAhead.Text(), from);
    if (found < FCells->FixedRows()) {
        QApplication::beep();
        return;
    }
    // The key press that typed the text reports the move as a Click.
    SetRow(found);
}

void TStringGrid::SelectAllRows()
{
    if (!RangeSelect() || FCells->rowCount() == 0)
        return;
    const int current = currentIndex().isValid() ? currentIndex().row() : 0;
    const QItemSelection all(FCells->index(0, 0), FCells->index(FCells->rowCount() - 1, FCells->ColCount() - 1));
    selectionModel()->select(all, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selectionModel()->setCurrentIndex(FCells->index(current, FCells->FixedCols()), QItemSelectionModel::NoUpdate);
}

void TStringGrid::SelectFirstRowIfNone(int preferredRow)
{
    const int rows = FCells->rowCount();
    if (rows == 0 || (currentIndex().isValid() && !selectionModel()->selection().isEmpty()))
        return;
    const int row = std::clamp(preferredRow, 0, rows - 1);
    selectionModel()->setCurrentIndex(FCells->index(row, FCells->FixedCols()),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
