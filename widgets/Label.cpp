#include "Label.h"

#include <QEvent>

TLabel::TLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMargin(0);
    setIndent(0);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setAutoFillBackground(false);
}

void TLabel::SetColor(const QColor& color)
{
    FColor = color;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    setPalette(colours);
    setAutoFillBackground(color.isValid());
}

QColor TLabel::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TLabel::SetFontColor(const QColor& color)
{
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        colours.setColor(group, QPalette::WindowText, color);
    setPalette(colours);
}

bool TLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !FShowHint) {
        event->ignore();
        return true;
    }
    return QLabel::event(event);
}
