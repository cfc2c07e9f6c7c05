#include "Panel.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QVariant>

TPanel::TPanel(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPanel::SetColor(const QColor& color)
{
    FColor = color;
    update();
}

void TPanel::SetRaisedBevel(bool raised)
{
    FRaisedBevel = raised;
    update();
}

void TPanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), FColor);
    if (!FRaisedBevel)
        return;
    const QRect edge = rect(); // right() and bottom() are the last pixel column and row
    painter.setPen(QColor(255, 255, 255));
    painter.drawLine(edge.topLeft(), edge.topRight());
    painter.drawLine(edge.topLeft(), edge.bottomLeft());
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(edge.bottomLeft(), edge.bottomRight());
    painter.drawLine(edge.topRight(), edge.bottomRight());
}

void TPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    if (!event->oldSize().isValid())
        return;
    const int dx = event->size().width() - event->oldSize().width();
    const int dy = event->size().height() - event->oldSize().height();
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr)
            continue;
        const QString anchors = child->property("anchors").toString();
        QRect area = child->geometry();
        if (anchors.contains(QLatin1String("right"))) {
            if (anchors.contains(QLatin1String("left")))
                area.setRight(area.right() + dx);
            else
                area.translate(dx, 0);
        }
        if (anchors.contains(QLatin1String("bottom"))) {
            if (anchors.contains(QLatin1String("top")))
                area.setBottom(area.bottom() + dy);
            else
                area.translate(0, dy);
        }
        child->setGeometry(area);
    }
}
