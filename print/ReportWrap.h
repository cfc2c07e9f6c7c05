#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// Where a report's text breaks: after a run of blanks, after a hyphen between
// two characters of a word ("10304-" "1:2009-07", never "-" "0,5"), and at a
// line break. A word wider than the line is the only thing broken elsewhere.
// Widths come from the caller, so that the rule is the same on any device.

using TAdvance = std::function<double(QStringView text)>;

// The text in lines no wider than width where it can be; blanks at a break
// are dropped, every other character kept. An empty text is one empty line.
QStringList WrapReportText(const QString& text, double width, const TAdvance& advance);

// The width of the widest piece that WrapReportText keeps whole when the line
// allows it: the narrowest the text can stand without a word broken.
double WidestWord(const QString& text, const TAdvance& advance);
