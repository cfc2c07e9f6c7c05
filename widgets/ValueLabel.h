#pragma once

#include "Label.h"

// A white box of fixed size that shows one value; text wider than the box is
// cut off at its right edge, and the hint shows the whole of it.
class TValueLabel : public TLabel {
    Q_OBJECT

public:
    explicit TValueLabel(QWidget* parent = nullptr);
};
