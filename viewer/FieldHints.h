#pragma once

#include <QString>
#include <QStringView>

class QLabel;

// Wraps a hint text to lines of about 50 characters. A line is broken after
// the last blank, hyphen or tab within its first 50 characters; words are
// never split, nothing inside an open quotation is broken, and CR LF pairs
// already in the text end a line. Line breaks written are CR LF.
QString WrapText(QStringView text);

// The tool-tip form of a hint that Qt renders exactly as written: blanks,
// line breaks and markup characters are shown as they are.
QString LiteralToolTip(const QString& hint);

// Gives a label its hint: the plain text stays readable as the property
// "hint", the label's tool tip shows it literally.
void SetLabelHint(QLabel* label, const QString& hint);

// The plain hint text that SetLabelHint gave the label (empty if none).
QString LabelHint(const QLabel* label);
