#pragma once

#include <QPushButton>
#include <QString>

// A push button with a glyph left of its caption; the glyph has a greyed
// form that shows while the button is disabled. The glyph is named in the
// layout: "CheckMark" or "Help".
class TBitBtn : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(int modalResult READ ModalResult WRITE SetModalResult)

public:
    explicit TBitBtn(QWidget* parent = nullptr);

    QString Glyph() const { return FGlyph; }
    void SetGlyph(const QString& name);
    // The result a modal window ends with when this button is pressed; 0 for none.
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int result) { FModalResult = result; }

private:
    QString FGlyph;
    int FModalResult = 0;
};
