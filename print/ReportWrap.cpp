#include "ReportWrap.h"

#include <algorithm>

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

bool IsHyphen(QChar c) { return c == u'-' || c == QChar(0x2010); }

// A break may follow position i (the text's next piece begins at i + 1).
bool BreakAfter(QStringView text, qsizetype i)
{
    if (i + 1 >= text.size())
        return false;
    const QChar c = text[i];
    const QChar next = text[i + 1];
    if (IsBlank(c))
        return !IsBlank(next);
    return IsHyphen(c) && i > 0 && !IsBlank(text[i - 1]) && !IsHyphen(text[i - 1]) && !IsBlank(next) && !IsHyphen(next);
}

// The pieces between the places a break may come, each with its trailing blanks.
template <typename F>
void ForEachPiece(QStringView text, F&& piece)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (BreakAfter(text, i)) {
            piece(text.mid(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < text.size())
        piece(text.mid(start));
}

QStringView TrimEnd(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return text.left(end);
}

// The longest beginning of word no wider than width, at least one character
// and never half of a surrogate pair, so that a line always moves on.
qsizetype FittingPrefix(QStringView word, double width, const TAdvance& advance)
{
    qsizetype low = 1;
    qsizetype high = word.size();
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (advance(word.left(middle)) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    if (low < word.size() && word[low - 1].isHighSurrogate())
        low = low > 1 ? low - 1 : low + 1;
    return low;
}

void WrapParagraph(QStringView text, double width, const TAdvance& advance, QStringList& lines)
{
    QString line;
    ForEachPiece(text, [&](QStringView piece) {
        QString rest = line;
        rest += piece;
        if (advance(TrimEnd(rest)) <= width) {
            line = rest;
            return;
        }
        // Blanks that begin the text stay with its first word.
        if (!TrimEnd(line).isEmpty()) {
            lines << TrimEnd(line).toString();
            rest = piece.toString();
        }
        while (advance(TrimEnd(rest)) > width) {
            const qsizetype fit = FittingPrefix(TrimEnd(rest), width, advance);
            lines << rest.left(fit);
            rest.remove(0, fit);
        }
        line = rest;
    });
    lines << TrimEnd(line).toString();
}

} // namespace

QStringList WrapReportText(const QString& text, double width, const TAdvance& advance)
{
    if (!text.contains(u'\n') && advance(text) <= width)
        return {text};
    QStringList lines;
    const QString plain = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QStringView paragraph : QStringView(plain).split(u'\n'))
        WrapParagraph(paragraph, width, advance, lines);
    return lines;
}

double WidestWord(const QString& text, const TAdvance& advance)
{
    double widest = 0;
    const QString plain = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QStringView paragraph : QStringView(plain).split(u'\n')) {
        // Blanks that begin the text stay with its first word, as in the wrap.
        QString lead;
        ForEachPiece(paragraph, [&](QStringView piece) {
            lead += TrimEnd(piece);
            if (lead.trimmed().isEmpty()) {
                lead = piece.toString();
                return;
            }
            widest = std::max(widest, advance(lead));
            lead.clear();
        });
    }
    return widest;
}
