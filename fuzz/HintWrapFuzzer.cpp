// The wrap of long hints and their literal tool-tip form, on any field text.
#include "FieldHints.h"
#include "FuzzSupport.h"

#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool IsBreakChar(QChar c) { return c == u' ' || c == u'-' || c == u'\t'; }

QString WithoutLineBreakChars(QString text)
{
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

std::string Show(const QString& text) { return text.toUtf8().toStdString(); }

// The wrap only ever inserts CR LF pairs: all other characters stay, in order.
void CheckOnlyBreaksInserted(const QString& text, const QString& wrapped)
{
    FUZZ_ASSERT(WithoutLineBreakChars(wrapped) == WithoutLineBreakChars(text), Show(wrapped));
    const qsizetype addedCr = wrapped.count(u'\r') - text.count(u'\r');
    const qsizetype addedLf = wrapped.count(u'\n') - text.count(u'\n');
    FUZZ_ASSERT(addedCr == addedLf && addedCr >= 0, Show(wrapped));

    if (text.contains(u'\r'))
        return;
    // Without breaks of its own every CR LF is inserted, and each follows the
    // blank, hyphen or tab after which the line was broken.
    for (qsizetype i = wrapped.indexOf(QStringLiteral("\r\n")); i >= 0; i = wrapped.indexOf(QStringLiteral("\r\n"), i + 2))
        FUZZ_ASSERT(i > 0 && IsBreakChar(wrapped[i - 1]), Show(wrapped));
    if (text.size() <= 51)
        FUZZ_ASSERT(wrapped == text, Show(wrapped));
}

// The tool tip shows the hint exactly: every printable character, every blank
// and every line break, whatever markup the text seems to hold.
void CheckToolTipIsLiteral(const QString& hint)
{
    for (const QChar c : hint) {
        const char16_t u = c.unicode();
        const bool printable = u == u'\r' || u == u'\n' || u == u'\t' || u == u' ' || (u > 0x20 && u < 0x7F) || u >= 0xA0;
        if (!printable)
            return; // control characters have no visible form to compare
    }
    QTextDocument document;
    document.setHtml(LiteralToolTip(hint));
    QString shown = document.toRawText();
    shown.replace(QChar(0x2028), u'\n');
    shown.replace(QChar(0x2029), u'\n');
    QString expected = hint;
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    expected.replace(u'\r', u'\n');
    FUZZ_ASSERT(shown == expected, Show(hint) + "\n---shown as---\n" + Show(shown));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    EnsureApplication();
    const QString text = Cp1252Text(std::string_view(reinterpret_cast<const char*>(data), size));
    const QString wrapped = WrapText(text);
    CheckOnlyBreaksInserted(text, wrapped);
    CheckToolTipIsLiteral(wrapped);
    return 0;
}
