#include "StringGridDelegate.h"

#include <QPainter>
#include <QStyleOptionViewItem>

void TStringGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool selectable = index.flags().testFlag(Qt::ItemIsSelectable);
    const bool selected = selectable && option.state.testFlag(QStyle::State_Selected);
    const QRect cell = option.rect;

    painter->save();
    if (selected) {
        painter->fillRect(cell, option.palette.color(QPalette::Active, QPalette::Highlight));
        painter->setPen(option.palette.color(QPalette::Active, QPalette::HighlightedText));
    } else {
        const QColor background = index.data(Qt::BackgroundRole).value<QColor>();
        painter->fillRect(cell, background);
        if (!selectable) {
            // Fixed cells look raised, like the header rows above them.
            painter->setPen(background.lighter(135));
            painter->drawLine(cell.topLeft(), cell.topRight());
            painter->drawLine(cell.topLeft(), cell.bottomLeft());
            painter->setPen(background.darker(125));
            painter->drawLine(cell.bottomLeft(), cell.bottomRight());
            painter->drawLine(cell.topRight(), cell.bottomRight());
        }
        painter->setPen(option.palette.color(QPalette::Active, QPalette::Text));
    }
    painter->setFont(option.font);
    painter->setClipRect(cell);
    painter->drawText(cell.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize TStringGridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    // Rows and columns have the sizes the grid gives them; nothing is sized to its contents.
    return option.rect.size();
}
