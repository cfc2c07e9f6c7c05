#pragma once

#include <QAbstractItemDelegate>

// Draws one body cell of a string grid: its colour (or the selection colour),
// its text literally from two pixels in, cut off at the cell's right edge.
class TStringGridDelegate : public QAbstractItemDelegate {
    Q_OBJECT

public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
