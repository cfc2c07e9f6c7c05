#include "CaptionLabel.h"

#include <QEvent>
#include <QFontMetrics>

TCaptionLabel::TCaptionLabel(QWidget* parent) : TLabel(parent) { }

void TCaptionLabel::setText(const QString& text)
{
    QLabel::setText(text);
    AdjustWidth();
}

int TCaptionLabel::TextWidth() const
{
    return QFontMetrics(font()).horizontalAdvance(text());
}

void TCaptionLabel::changeEvent(QEvent* event)
{
    TLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        AdjustWidth();
}

void TCaptionLabel::AdjustWidth()
{
    resize(TextWidth(), height());
}
