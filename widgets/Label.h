#pragma once

#include <QColor>
#include <QLabel>

// A label that shows its text literally (no markup, no accelerator), on one
// line from its top left corner, cut off at its right edge. Without a colour
// of its own it is transparent and shows its parent's colour.
class TLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QColor color READ Color WRITE SetColor)
    Q_PROPERTY(QColor fontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(bool showHint READ ShowHint WRITE SetShowHint)

public:
    explicit TLabel(QWidget* parent = nullptr);

    QColor Color() const { return FColor; }
    void SetColor(const QColor& color);
    QColor FontColor() const;
    void SetFontColor(const QColor& color);
    // Whether the hint (tool tip) is shown; a label may carry a hint it never shows.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool show) { FShowHint = show; }

protected:
    bool event(QEvent* event) override;

private:
    QColor FColor;
    bool FShowHint = false;
};
