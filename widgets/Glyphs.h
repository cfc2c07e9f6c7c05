#pragma once

#include <QIcon>
#include <QImage>

// Button glyphs, each an 18 x 18 picture with a greyed twin for the disabled
// button. The colour of the lower-left pixel is transparent.
QIcon CheckMarkGlyph();
QIcon HelpGlyph();

// Splits a strip of two square images (normal, greyed) into an icon.
QIcon GlyphFromStrip(const QImage& strip);
