#include "ClassicStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>

TClassicStyle::TClassicStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) { }

int TClassicStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_ScrollBarExtent:
        return 16;
    case PM_ButtonIconSize:
        return 18;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int TClassicStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const
{
    switch (hint) {
    case SH_UnderlineShortcut:
        return 1; // the accelerator of "&Hilfe" stays visible, as on the classic desktop
    case SH_ItemView_ActivateItemOnSingleClick:
        return 0;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

namespace {

constexpr int GroupBoxCaptionLeft = 8;

} // namespace

QRect TClassicStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                                    const QWidget* widget) const
{
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || box == nullptr || box->subControls.testFlag(SC_GroupBoxCheckBox))
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    const QFontMetrics metrics = box->fontMetrics;
    const int captionHeight = metrics.height();
    switch (subControl) {
    case SC_GroupBoxLabel:
        return QRect(box->rect.left() + GroupBoxCaptionLeft, box->rect.top(),
                     metrics.horizontalAdvance(box->text), captionHeight);
    case SC_GroupBoxFrame:
        return box->rect.adjusted(0, captionHeight / 2, 0, 0);
    case SC_GroupBoxContents:
        return box->rect.adjusted(2, captionHeight, -2, -2);
    default:
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
}

void TClassicStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                       const QWidget* widget) const
{
    if (control == CC_ScrollBar) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        DrawScrollBarThumb(option, painter, widget);
        return;
    }
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || box == nullptr || box->subControls.testFlag(SC_GroupBoxCheckBox)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    painter->save();
    const QRect frame = subControlRect(control, option, SC_GroupBoxFrame, widget).adjusted(0, 0, -1, -1);
    const QRect caption = subControlRect(control, option, SC_GroupBoxLabel, widget);
    // An etched line: dark, with a light twin one pixel right and below.
    painter->setPen(box->palette.color(QPalette::Light));
    painter->drawRect(frame.adjusted(1, 1, 0, 0));
    painter->setPen(box->palette.color(QPalette::Dark));
    painter->drawRect(frame.adjusted(0, 0, -1, -1));
    if (!box->text.isEmpty()) {
        painter->fillRect(caption, box->palette.color(QPalette::Window));
        painter->setPen(box->palette.color(box->state.testFlag(State_Enabled) ? QPalette::Active : QPalette::Disabled,
                                           QPalette::WindowText));
        painter->drawText(caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextHideMnemonic,
                          box->text);
    }
    painter->restore();
}

void TClassicStyle::DrawScrollBarThumb(const QStyleOptionComplex* option, QPainter* painter,
                                       const QWidget* widget) const
{
    // The flat light thumb of the base style vanishes on a white page; the
    // classic one is a raised button-face block.
    if (!option->subControls.testFlag(SC_ScrollBarSlider))
        return;
    const QRect thumb = subControlRect(CC_ScrollBar, option, SC_ScrollBarSlider, widget);
    if (thumb.width() < 2 || thumb.height() < 2)
        return;
    const QPalette& colours = option->palette;
    painter->save();
    painter->fillRect(thumb, colours.color(QPalette::Button));
    const auto edge = [&](const QRect& r, QPalette::ColorRole topLeft, QPalette::ColorRole bottomRight) {
        painter->setPen(colours.color(topLeft));
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.topLeft(), r.bottomLeft());
        painter->setPen(colours.color(bottomRight));
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
    };
    edge(thumb, QPalette::Midlight, QPalette::Shadow);
    if (thumb.width() > 3 && thumb.height() > 3)
        edge(thumb.adjusted(1, 1, -1, -1), QPalette::Light, QPalette::Dark);
    painter->restore();
}
