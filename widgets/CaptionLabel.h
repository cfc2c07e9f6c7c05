#pragma once

#include "Label.h"

// A label whose width follows its text, measured in its own font; its height
// stays as laid out.
class TCaptionLabel : public TLabel {
    Q_OBJECT

public:
    explicit TCaptionLabel(QWidget* parent = nullptr);

    // Hides QLabel::setText so that the label sizes itself whenever its text changes.
    void setText(const QString& text);
    int TextWidth() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void AdjustWidth();
};
