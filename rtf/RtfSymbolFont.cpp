#include "RtfSymbolFont.h"

TSymbolFont SymbolFontOf(const QString& family, int charset)
{
    const QString name = family.trimmed().toLower();
    if (name.startsWith(QLatin1String("wingdings")) || name == QLatin1String("webdings"))
        return TSymbolFont::Wingdings;
    if (name == QLatin1String("symbol") || charset == 2)
        return TSymbolFont::Symbol;
    return TSymbolFont::None;
}

char16_t SymbolToUnicode(TSymbolFont font, unsigned char code)
{
    switch (font) {
    case TSymbolFont::Wingdings:
        switch (code) {
        case 0x6C:
            return u'\u25CF'; // black circle
        case 0x6D:
            return u'\u274D'; // shadowed circle
        case 0x6E:
            return u'\u25A0'; // black square
        case 0x6F:
            return u'\u25A1'; // white square
        case 0x71:
            return u'\u2751'; // shadowed square
        case 0x75:
            return u'\u25C6'; // black diamond
        case 0x76:
            return u'\u2756'; // diamond with a cross
        case 0x9F:
            return u'\u2022'; // bullet
        case 0xA7:
            return u'\u25AA'; // small black square
        case 0xA8:
            return u'\u25FB'; // white medium square
        case 0xD8:
            return u'\u27A2'; // arrowhead
        case 0xE0:
            return u'\u27A4'; // arrow
        case 0xFB:
            return u'\u2717'; // ballot x
        case 0xFC:
            return u'\u2714'; // heavy check mark
        case 0xFE:
            return u'\u2611'; // checked box
        default:
            return 0;
        }
    case TSymbolFont::Symbol:
        switch (code) {
        case 0xB7:
            return u'\u2022'; // bullet
        case 0xA8:
            return u'\u2666'; // diamond suit
        case 0xAE:
            return u'\u2192'; // right arrow
        case 0xB0:
            return u'\u00B0'; // degree
        case 0xB1:
            return u'\u00B1'; // plus-minus
        case 0xB4:
            return u'\u00D7'; // multiplication
        case 0x2D:
            return u'\u2212'; // minus
        default:
            return 0;
        }
    case TSymbolFont::None:
        break;
    }
    return 0;
}
