#include "FieldHints.h"

#include <QLabel>
#include <QVariant>

namespace {

constexpr qsizetype WrapColumns = 50;
constexpr char16_t CR = u'\r';
constexpr char16_t LF = u'\n';
const char* const HintProperty = "hint";

bool IsBreakChar(char16_t ch) { return ch == u' ' || ch == u'-' || ch == u'\t'; }
bool IsQuoteChar(char16_t ch) { return ch == u'\'' || ch == u'"'; }

} // namespace

QString WrapText(QStringView text)
{
    // Positions count from 1, as in the description of the rule; at(p) is
    // the character at position p.
    const qsizetype len = text.size();
    auto at = [&](qsizetype p) { return text[p - 1].unicode(); };
    auto isCrLfAt = [&](qsizetype p) { return p + 1 <= len && at(p) == CR && at(p + 1) == LF; };

    QString result;
    result.reserve(len + len / WrapColumns * 2 + 2);
    qsizetype pos = 1;
    qsizetype column = 1;
    qsizetype lineStart = 1;
    qsizetype breakPos = 0;
    char16_t openQuote = 0;
    bool existingBreak = false;

    while (pos <= len) {
        const char16_t ch = at(pos);
        if (ch == CR) {
            if (openQuote == 0) {
                existingBreak = isCrLfAt(pos);
                if (existingBreak) {
                    ++pos;
                    breakPos = pos;
                }
            }
        } else if (IsBreakChar(ch)) {
            if (openQuote == 0)
                breakPos = pos;
        } else if (IsQuoteChar(ch)) {
            if (ch == openQuote)
                openQuote = 0;
            else if (openQuote == 0)
                openQuote = ch;
        }
        ++pos;
        ++column;

        if (openQuote == 0 && (existingBreak || (column > WrapColumns && breakPos > lineStart))) {
            column = pos - breakPos;
            // The break character stays at the end of its line.
            result += text.mid(lineStart - 1, breakPos - lineStart + 1);
            if (!IsQuoteChar(ch)) {
                // Further break characters and CR LF pairs are not dropped:
                // they begin the next line, but no break is placed among them.
                while (pos <= len) {
                    if (IsBreakChar(at(pos)))
                        ++pos;
                    else if (isCrLfAt(pos))
                        pos += 2;
                    else
                        break;
                }
            }
            if (!existingBreak && pos < len)
                result += u"\r\n";
            ++breakPos;
            lineStart = breakPos;
            existingBreak = false;
        }
    }
    if (lineStart <= len)
        result += text.mid(lineStart - 1);
    return result;
}

QString LiteralToolTip(const QString& hint)
{
    // Qt guesses rich text from the first tag, so the hint goes out as rich
    // text that keeps every blank and shows every character as itself.
    QString escaped = hint.toHtmlEscaped();
    escaped.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    escaped.replace(QChar(CR), QStringLiteral("<br>"));
    escaped.replace(QChar(LF), QStringLiteral("<br>"));
    return QStringLiteral("<p style='white-space:pre'>") + escaped + QStringLiteral("</p>");
}

void SetLabelHint(QLabel* label, const QString& hint)
{
    label->setProperty(HintProperty, hint);
    label->setToolTip(hint.isEmpty() ? QString() : LiteralToolTip(hint));
}

QString LabelHint(const QLabel* label)
{
    return label->property(HintProperty).toString();
}
