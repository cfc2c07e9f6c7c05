#pragma once

#include <QProxyStyle>

// Fusion with the metrics and a few looks of the classic controls: 16-pixel
// scroll bars, so that the grid columns designed against them fit exactly, and
// group boxes with an etched frame whose caption sits on the frame's top line,
// and the raised scroll bar thumb.
class TClassicStyle : public QProxyStyle {
    Q_OBJECT

public:
    TClassicStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                         const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

private:
    void DrawScrollBarThumb(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;
};
