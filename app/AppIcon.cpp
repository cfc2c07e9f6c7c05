#include "AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Drawn on a 64 x 64 grid and scaled.
void PaintIcon(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);

    // The sheet with its folded corner.
    QPainterPath sheet;
    sheet.moveTo(9, 4);
    sheet.lineTo(38, 4);
    sheet.lineTo(50, 16);
    sheet.lineTo(50, 58);
    sheet.lineTo(9, 58);
    sheet.closeSubpath();
    painter.setPen(QPen(QColor(70, 76, 84), 2.0));
    painter.setBrush(QColor(252, 252, 248));
    painter.drawPath(sheet);

    QPainterPath fold;
    fold.moveTo(38, 4);
    fold.lineTo(38, 16);
    fold.lineTo(50, 16);
    painter.setBrush(QColor(214, 218, 222));
    painter.drawPath(fold);

    // Rows of fields with their separators.
    painter.setPen(QPen(QColor(120, 132, 146), 2.4, Qt::SolidLine, Qt::FlatCap));
    for (int y : {12, 20, 28, 36, 44}) {
        const int right = y < 18 ? 34 : 44;
        painter.drawLine(QPointF(14, y), QPointF(right, y));
    }
    painter.setPen(QPen(QColor(200, 40, 40), 1.6, Qt::SolidLine, Qt::FlatCap));
    for (int y : {12, 20, 28, 36, 44}) {
        painter.drawLine(QPointF(21, y - 3), QPointF(21, y + 3));
        painter.drawLine(QPointF(29, y - 3), QPointF(29, y + 3));
    }

    // The water drop in front, bottom right.
    QPainterPath drop;
    drop.moveTo(46, 28);
    drop.cubicTo(50, 36, 58, 42, 58, 50);
    drop.arcTo(QRectF(34, 38, 24, 24), 0, -180);
    drop.cubicTo(34, 42, 42, 36, 46, 28);
    drop.closeSubpath();
    QLinearGradient water(QPointF(38, 30), QPointF(56, 62));
    water.setColorAt(0, QColor(92, 170, 240));
    water.setColorAt(1, QColor(20, 78, 170));
    painter.setPen(QPen(QColor(16, 60, 130), 1.6));
    painter.setBrush(water);
    painter.drawPath(drop);

    painter.setPen(QPen(QColor(255, 255, 255, 210), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(38, 42, 16, 16), 150 * 16, 60 * 16);
}

} // namespace

QImage AppIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(size / 64.0, size / 64.0);
    PaintIcon(painter);
    painter.end();
    return image;
}

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    return icon;
}
