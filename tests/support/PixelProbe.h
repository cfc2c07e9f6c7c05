#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdlib>

// Pixels of a grabbed widget read at logical coordinates, so that a probe
// holds under any device pixel ratio (QT_SCALE_FACTOR, QT_FONT_DPI): the
// device pixel where the logical one begins, which a line drawn on that
// logical pixel covers at fractional ratios too.
inline QColor PixelAt(const QImage& image, QPoint logical)
{
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(int(logical.x() * ratio), int(logical.y() * ratio));
}

// Calls visit with every device pixel of a logical area.
template <class TVisit>
void ForEachPixel(const QImage& image, const QRect& logical, TVisit visit)
{
    const qreal ratio = image.devicePixelRatio();
    for (int y = int(logical.top() * ratio); y < int((logical.bottom() + 1) * ratio); ++y)
        for (int x = int(logical.left() * ratio); x < int((logical.right() + 1) * ratio); ++x)
            visit(image.pixel(x, y));
}

// The mean colour of a logical area: a picture drawn at another device pixel
// ratio is resampled, its mean stays.
inline QColor MeanColour(const QImage& image, const QRect& logical)
{
    qint64 sum[3] = {0, 0, 0};
    qint64 count = 0;
    ForEachPixel(image, logical, [&](QRgb pixel) {
        sum[0] += qRed(pixel);
        sum[1] += qGreen(pixel);
        sum[2] += qBlue(pixel);
        ++count;
    });
    count = qMax<qint64>(1, count);
    return QColor(int(sum[0] / count), int(sum[1] / count), int(sum[2] / count));
}

// The colour most pixels of a logical area have: the background of a page or
// a cell, whatever text the machine's fonts put into the area.
inline QColor DominantColour(const QImage& image, const QRect& logical)
{
    QHash<QRgb, int> counts;
    ForEachPixel(image, logical, [&](QRgb pixel) { ++counts[pixel]; });
    QRgb most = 0;
    int mostCount = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > mostCount) {
            most = it.key();
            mostCount = it.value();
        }
    }
    return QColor::fromRgba(most);
}

// Whether a colour is within tolerance of the expected one in every channel:
// scaling and the machine's font rendering blend neighbouring pixels a little.
inline bool NearColour(const QColor& seen, const QColor& expected, int tolerance)
{
    return std::abs(seen.red() - expected.red()) <= tolerance && std::abs(seen.green() - expected.green()) <= tolerance &&
           std::abs(seen.blue() - expected.blue()) <= tolerance && std::abs(seen.alpha() - expected.alpha()) <= tolerance;
}

inline QString ColourPair(const QColor& seen, const QColor& expected)
{
    return seen.name(QColor::HexArgb) + QStringLiteral(", expected ") + expected.name(QColor::HexArgb);
}
