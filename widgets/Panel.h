#pragma once

#include <QColor>
#include <QFrame>

// A panel in its own colour with a raised one-pixel bevel (or none).
// Children whose "anchors" property reads "left,top,right,bottom" keep their
// distances to all four sides when the panel is resized.
class TPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QColor color READ Color WRITE SetColor)
    Q_PROPERTY(bool raisedBevel READ RaisedBevel WRITE SetRaisedBevel)

public:
    explicit TPanel(QWidget* parent = nullptr);

    QColor Color() const { return FColor; }
    void SetColor(const QColor& color);
    bool RaisedBevel() const { return FRaisedBevel; }
    void SetRaisedBevel(bool raised);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Painted rather than put into the palette, so that the children (scroll
    // bars, text boxes) keep the system colours.
    QColor FColor = QColor(240, 240, 240);
    bool FRaisedBevel = true;
};
