#include "Glyphs.h"

#include <QPixmap>

#include "CheckMarkGlyph.xpm"
#include "HelpGlyph.xpm"

namespace {

QPixmap TransparentLowerLeft(const QImage& image)
{
    QImage picture = image.convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull())
        return QPixmap();
    const QRgb transparent = picture.pixel(0, picture.height() - 1);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (line[x] == transparent)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(picture);
}

} // namespace

QIcon GlyphFromStrip(const QImage& strip)
{
    QIcon icon;
    if (strip.isNull() || strip.height() <= 0)
        return icon;
    const int side = strip.height();
    icon.addPixmap(TransparentLowerLeft(strip.copy(0, 0, side, side)), QIcon::Normal);
    if (strip.width() >= 2 * side)
        icon.addPixmap(TransparentLowerLeft(strip.copy(side, 0, side, side)), QIcon::Disabled);
    return icon;
}

QIcon CheckMarkGlyph()
{
    return GlyphFromStrip(QImage(CheckMarkGlyph_xpm));
}

QIcon HelpGlyph()
{
    return GlyphFromStrip(QImage(HelpGlyph_xpm));
}
