#include "ValueLabel.h"

#include "ValueLabelAccessible.h"

#include <QAccessible>

TValueLabel::TValueLabel(QWidget* parent) : TLabel(parent)
{
    SetColor(QColor(255, 255, 255));
    SetShowHint(true);
    static const bool accessible = [] {
        QAccessible::installFactory(ValueLabelAccessibleFactory);
        return true;
    }();
    Q_UNUSED(accessible);
}
