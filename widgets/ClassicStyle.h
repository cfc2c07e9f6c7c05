#pragma once

#include <QProxyStyle>

// Fusion with the metrics of the classic controls: 16-pixel scroll bars, so
// the grid columns designed against them fit exactly.
class TClassicStyle : public QProxyStyle {
    Q_OBJECT

public:
    TClassicStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};
