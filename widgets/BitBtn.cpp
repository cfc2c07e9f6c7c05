#include "BitBtn.h"

#include "Glyphs.h"

TBitBtn::TBitBtn(QWidget* parent) : QPushButton(parent)
{
    setIconSize(QSize(18, 18));
    setAutoDefault(false);
}

void TBitBtn::SetGlyph(const QString& name)
{
    FGlyph = name;
    if (name == QLatin1String("CheckMark"))
        setIcon(CheckMarkGlyph());
    else if (name == QLatin1String("Help"))
        setIcon(HelpGlyph());
    else
        setIcon(QIcon());
}
