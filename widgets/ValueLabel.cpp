#include "ValueLabel.h"

TValueLabel::TValueLabel(QWidget* parent) : TLabel(parent)
{
    SetColor(QColor(255, 255, 255));
    SetShowHint(true);
}
