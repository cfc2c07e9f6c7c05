#include "StringGridHeader.h"

#include "StringGridModel.h"

#include <QPainter>

TStringGridHeader::TStringGridHeader(TStringGridModel* cells, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent),
      FCells(cells)
{
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setStretchLastSection(false);
    setMinimumSectionSize(1);
    setTextElideMode(Qt::ElideNone);
    connect(FCells, &TStringGridModel::FixedCellsChanged, this, [this] {
        updateGeometry();
        viewport()->update();
    });
}

void TStringGridHeader::SetRowPitch(int pitch)
{
    FRowPitch = pitch;
    updateGeometry();
    viewport()->update();
}

QSize TStringGridHeader::sizeHint() const
{
    return QSize(length(), FCells->FixedRows() * FRowPitch);
}

void TStringGridHeader::paintEvent(QPaintEvent* event)
{
    QHeaderView::paintEvent(event);
    // Right of the last column the header rows show the cell colour, as the rows below do.
    const int end = sectionViewportPosition(count() - 1) + sectionSize(count() - 1);
    if (count() > 0 && end < viewport()->width()) {
        QPainter painter(viewport());
        painter.fillRect(QRect(end, 0, viewport()->width() - end, viewport()->height()), FCells->Color());
    }
}

void TStringGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    painter->save();
    const QColor line(0, 0, 0);
    for (int row = 0; row < FCells->FixedRows(); ++row) {
        const QRect cell(rect.left(), rect.top() + row * FRowPitch, rect.width(), FRowPitch);
        const QRect inner = cell.adjusted(0, 0, -1, -1);
        painter->fillRect(inner, FCells->FixedColor());
        // A fixed cell is raised: light upper-left and dark lower-right edge.
        painter->setPen(FCells->FixedColor().lighter(135));
        painter->drawLine(inner.topLeft(), inner.topRight());
        painter->drawLine(inner.topLeft(), inner.bottomLeft());
        painter->setPen(FCells->FixedColor().darker(125));
        painter->drawLine(inner.bottomLeft(), inner.bottomRight());
        painter->drawLine(inner.topRight(), inner.bottomRight());
        painter->setPen(line);
        painter->drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
        painter->drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());

        painter->setPen(palette().color(QPalette::WindowText));
        painter->setFont(font());
        painter->setClipRect(inner);
        painter->drawText(inner.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          FCells->Cell(logicalIndex, row));
        painter->setClipping(false);
    }
    painter->restore();
}
