// The RTF reader on its own: escapes and code page, Unicode escapes with their
// skip counts, groups and destinations, character and paragraph formatting as
// they arrive in the QTextDocument, bullet lists, and malformed input.
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextLayout>

#include <random>
#include <string>

#include "HelpDocument.h"
#include "RtfReader.h"
#include "RtfTestSupport.h"

namespace {

std::string Doc(const std::string& body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}"
           "{\\f2\\fnil\\fcharset2 Wingdings;}{\\f3\\froman\\fcharset2 Symbol;}}"
           "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}" +
           body + "}";
}

// The formatting of the first character of the first block holding "x".
QTextCharFormat FormatOfX(const QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const int at = it.fragment().text().indexOf(QLatin1Char('x')); at >= 0)
                return it.fragment().charFormat();
    return {};
}

QTextBlockFormat BlockOfX(const QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.text().contains(QLatin1Char('x')))
            return block.blockFormat();
    return {};
}

enum class TProp {
    Bold,
    Italic,
    Underline,
    PointSize,
    Family,
    Color,
    Superscript,
    Align,
    LeftMargin,
    RightMargin,
    TextIndent,
    TopMargin,
    BottomMargin,
    LineHeight,
    LineHeightType
};

QVariant Read(const QTextDocument& document, TProp prop)
{
    const QTextCharFormat chr = FormatOfX(document);
    const QTextBlockFormat block = BlockOfX(document);
    switch (prop) {
    case TProp::Bold:
        return chr.fontWeight() >= QFont::Bold;
    case TProp::Italic:
        return chr.fontItalic();
    case TProp::Underline:
        return chr.fontUnderline();
    case TProp::PointSize:
        return chr.fontPointSize();
    case TProp::Family:
        return chr.fontFamilies().toStringList().value(0);
    case TProp::Color:
        return chr.hasProperty(QTextFormat::ForegroundBrush) ? chr.foreground().color().name() : QString();
    case TProp::Superscript:
        return chr.verticalAlignment() == QTextCharFormat::AlignSuperScript;
    case TProp::Align:
        return static_cast<int>(block.alignment() & Qt::AlignHorizontal_Mask);
    case TProp::LeftMargin:
        return block.leftMargin();
    case TProp::RightMargin:
        return block.rightMargin();
    case TProp::TextIndent:
        return block.textIndent();
    case TProp::TopMargin:
        return block.topMargin();
    case TProp::BottomMargin:
        return block.bottomMargin();
    case TProp::LineHeight:
        return block.lineHeight();
    case TProp::LineHeightType:
        return block.lineHeightType();
    }
    return {};
}

// One random edit of the kinds that break RTF: cuts, stray braces and
// backslashes, broken escapes, huge numbers, binary noise.
void Mutate(std::string& text, std::mt19937& random)
{
    static const char* const snippets[] = {
        "{",
        "}",
        "\\",
        "\\'",
        "\\'4",
        "\\u",
        "\\u-",
        "\\u99999999999999",
        "\\bin",
        "\\bin9999999999 ",
        "\\*",
        "{\\*",
        "\\fs999999999",
        "\\li-99999999",
        "\\sl-2147483648",
        "\\uc99999 ",
        "\\ls999",
        "\\f999999",
        "\\cf-5",
        "{\\listtext",
        "{\\pntext",
        "\\par",
        "\\'zz",
        "\\tx99999999",
        "\\u-10179 ",
        "{\\fonttbl",
        "{\\colortbl;",
        "\\listid",
        "\\'01",
        "\\fi-999999999",
    };
    if (text.empty()) {
        // assign(): GCC 12 at -O3 sees a false overlap in assigning "{" (-Wrestrict).
        text.assign(1, '{');
        return;
    }
    std::uniform_int_distribution<std::size_t> at(0, text.size() - 1);
    std::uniform_int_distribution<int> kind(0, 6);
    switch (kind(random)) {
    case 0: { // delete a range
        const std::size_t from = at(random);
        text.erase(from, std::min<std::size_t>(text.size() - from, 1 + random() % 64));
        break;
    }
    case 1: // insert a nasty snippet
        text.insert(at(random), snippets[random() % std::size(snippets)]);
        break;
    case 2: // overwrite one byte with anything, NUL included
        text[at(random)] = static_cast<char>(random() % 256);
        break;
    case 3: { // duplicate a range
        const std::size_t from = at(random);
        const std::string piece = text.substr(from, 1 + random() % 200);
        text.insert(at(random), piece);
        break;
    }
    case 4: // cut off
        text.resize(at(random));
        break;
    case 5: // deep nesting
        text.insert(at(random), std::string(1 + random() % 3000, '{'));
        break;
    default: // swap two bytes
        std::swap(text[at(random)], text[at(random)]);
        break;
    }
}

// Properties every document the reader makes must have, whatever the input.
void CheckSound(const QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            QVERIFY2(c.unicode() >= 0x20 || c == QLatin1Char('\t'), "a control character reached the text");
            if (c.isHighSurrogate()) {
                QVERIFY2(i + 1 < text.size() && text.at(i + 1).isLowSurrogate(), "unpaired surrogate");
                ++i;
            } else {
                QVERIFY2(!c.isLowSurrogate(), "unpaired surrogate");
            }
        }
    }
}

} // namespace

Q_DECLARE_METATYPE(TProp)

class TRtfReaderTest : public QObject {
    Q_OBJECT

private slots:
    void escapesAndCodePage_data();
    void escapesAndCodePage();
    void unicodeWithSkipCounts_data();
    void unicodeWithSkipCounts();
    void groupsAndDestinations_data();
    void groupsAndDestinations();
    void formatting_data();
    void formatting();
    void paragraphPropertiesTakeEffectAtParagraphEnd();
    void lists_data();
    void lists();
    void bulletTextStartsAtLeftIndent();
    void malformedInput_data();
    void malformedInput();
    void mutatedHelpDocument();
    void insertReplacesOnlyTheSelection();
};

void TRtfReaderTest::escapesAndCodePage_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");

    QTest::newRow("umlauts") << QByteArray("\\'e4\\'f6\\'fc\\'c4\\'d6\\'dc\\'df") << u"äöüÄÖÜß"_qs;
    QTest::newRow("upper-case hex") << QByteArray("\\'E4\\'DF") << u"äß"_qs;
    QTest::newRow("German quotes") << QByteArray("\\'84Zitat\\'93") << u"„Zitat“"_qs;
    QTest::newRow("Windows-1252 specials") << QByteArray("\\'80\\'85\\'96\\'97\\'99") << u"€…–—™"_qs;
    QTest::newRow("undefined byte keeps its number") << QByteArray("\\'81") << QString(QChar(0x81));
    QTest::newRow("raw 8-bit byte") << QByteArray("gr\xfc\xdf") << u"grüß"_qs;
    QTest::newRow("escaped specials") << QByteArray("\\{\\}\\\\") << u"{}\\"_qs;
    QTest::newRow("no-break space") << QByteArray("a\\~b") << u"a\u00A0b"_qs;
    QTest::newRow("optional hyphen") << QByteArray("Trink\\-wasser") << u"Trink\u00ADwasser"_qs;
    QTest::newRow("non-breaking hyphen") << QByteArray("a\\_b") << u"a\u2011b"_qs;
    QTest::newRow("tab and line") << QByteArray("a\\tab b\\line c") << u"a\tb\u2028c"_qs;
    QTest::newRow("literal tab") << QByteArray("a\tb") << u"a\tb"_qs;
    QTest::newRow("typographic words") << QByteArray("\\ldblquote a\\rdblquote \\endash\\emdash\\bullet")
                                       << u"“a”–—•"_qs;
    QTest::newRow("delimiter space is eaten, the next kept") << QByteArray("\\b  Fett") << u" Fett"_qs;
    QTest::newRow("digits end a word") << QByteArray("\\b0x") << u"x"_qs;
    QTest::newRow("line ends in the source vanish") << QByteArray("ab\r\ncd\ne") << u"abcde"_qs;
    QTest::newRow("paragraphs") << QByteArray("a\\par b\\par\\par c") << u"a\nb\n\nc"_qs;
    QTest::newRow("backslash before a line end is a paragraph") << QByteArray("a\\\nb") << u"a\nb"_qs;
}

void TRtfReaderTest::escapesAndCodePage()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QCOMPARE(RawText(Doc(body.toStdString())), expected);
}

void TRtfReaderTest::unicodeWithSkipCounts_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");

    QTest::newRow("default skip of one") << QByteArray("\\u8222?Zitat\\u8220?") << u"„Zitat“"_qs;
    QTest::newRow("fallback as hex escape") << QByteArray("\\u228\\'e4x") << u"äx"_qs;
    QTest::newRow("skip two") << QByteArray("\\uc2\\u8364xxY") << u"€Y"_qs;
    QTest::newRow("skip none") << QByteArray("\\uc0\\u8364Y") << u"€Y"_qs;
    QTest::newRow("negative code") << QByteArray("\\u-3913?") << QString(QChar(0xF0B7));
    QTest::newRow("skip count ends with its group") << QByteArray("{\\uc2 a}\\u8364bc") << u"a€c"_qs;
    QTest::newRow("closing brace ends the skip") << QByteArray("{\\uc3\\u8364a}b") << u"€b"_qs;
    QTest::newRow("control word counts as one") << QByteArray("\\u8364\\'80x") << u"€x"_qs;
    QTest::newRow("surrogate pair") << QByteArray("\\u-10179?\\u-8704?") << u"\U0001F600"_qs;
    QTest::newRow("lone surrogate") << QByteArray("\\u-10179?x") << u"\uFFFDx"_qs;
    QTest::newRow("control character dropped") << QByteArray("a\\u0?b\\u13?c") << u"abc"_qs;
    QTest::newRow("paragraph separator stays in the line") << QByteArray("a\\u8233?b") << u"a\u2028b"_qs;
    QTest::newRow("huge code clamped") << QByteArray("\\u99999999999?x") << u"\uFFFFx"_qs;
}

void TRtfReaderTest::unicodeWithSkipCounts()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QCOMPARE(RawText(Doc(body.toStdString())), expected);
}

void TRtfReaderTest::groupsAndDestinations_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("font table") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fswiss{\\*\\panose 020b}Arial;}}Text}")
                                << u"Text"_qs;
    QTest::newRow("colour table") << QByteArray("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}Text}") << u"Text"_qs;
    QTest::newRow("style sheet") << QByteArray("{\\rtf1{\\stylesheet{\\s1\\b heading 1;}{\\*\\cs10 Default;}}Text}")
                                 << u"Text"_qs;
    QTest::newRow("document information")
        << QByteArray("{\\rtf1{\\info{\\title Titel}{\\author A}{\\creatim\\yr2007\\mo10}}Text}") << u"Text"_qs;
    QTest::newRow("list tables") << QByteArray("{\\rtf1{\\*\\listtable{\\list{\\listlevel{\\leveltext\\'01\\u-3986 ?;}"
                                               "{\\levelnumbers;}}{\\listname Liste;}\\listid7}}"
                                               "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}Text}")
                                 << u"Text"_qs;
    QTest::newRow("unknown ignorable destination") << QByteArray("{\\rtf1{\\*\\unknown Hidden{nested}}Text}")
                                                   << u"Text"_qs;
    QTest::newRow("known destination without star") << QByteArray("{\\rtf1{\\header Kopf}{\\footnote Fuss}Text}")
                                                    << u"Text"_qs;
    QTest::newRow("unknown words skipped") << QByteArray("{\\rtf1\\foo123 \\bar-4\\widctlpar a}") << u"a"_qs;
    QTest::newRow("nested groups") << QByteArray("{\\rtf1 a{\\b b{\\i c}d}e}") << u"abcde"_qs;
    QTest::newRow("binary data with braces") << QByteArray("{\\rtf1 a\\bin3 }}}b}") << u"ab"_qs;
    QTest::newRow("picture with binary data") << QByteArray("{\\rtf1 a{\\pict\\bin4 {{{{ xx}b}") << u"ab"_qs;
    QTest::newRow("field shows its result")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt Link}}}") << u"Link"_qs;
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v b}c\\v d\\v0 e}") << u"ace"_qs;
    QTest::newRow("text after the document") << QByteArray("{\\rtf1 a}trailing") << u"a"_qs;
    QTest::newRow("old list text") << QByteArray("{\\rtf1{\\pntext -\\tab}Item\\par}") << u"-\tItem"_qs;
    QTest::newRow("old list description") << QByteArray("{\\rtf1{\\*\\pn\\pnlvlblt{\\pntxtb -}}{\\pn{\\pntxta .}}a}")
                                          << u"a"_qs;
}

void TRtfReaderTest::groupsAndDestinations()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(RawText(rtf.toStdString()), expected);
}

void TRtfReaderTest::formatting_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<TProp>("prop");
    QTest::addColumn<QVariant>("expected");

    const auto row = [](const char* name, const char* body, TProp prop, const QVariant& expected) {
        QTest::newRow(name) << QByteArray(body) << prop << expected;
    };
    row("bold", "\\b x", TProp::Bold, true);
    row("bold off", "\\b\\b0 x", TProp::Bold, false);
    row("italic", "\\i x", TProp::Italic, true);
    row("underline", "\\ul x", TProp::Underline, true);
    row("underline none", "\\ul\\ulnone x", TProp::Underline, false);
    row("underline zero", "\\ul\\ul0 x", TProp::Underline, false);
    row("dotted underline is underline", "\\uld x", TProp::Underline, true);
    row("formatting ends with its group", "{\\b\\i a}x", TProp::Bold, false);
    row("plain resets", "\\b\\i\\fs40\\plain x", TProp::PointSize, 12.0);
    row("size in half-points", "\\fs22 x", TProp::PointSize, 11.0);
    row("odd half-points", "\\fs21 x", TProp::PointSize, 10.5);
    row("size zero is the default", "\\fs0 x", TProp::PointSize, 12.0);
    row("huge size clamped", "\\fs99999999999 x", TProp::PointSize, 400.0);
    row("default font", "x", TProp::Family, u"Arial"_qs);
    row("font from the table", "\\f1 x", TProp::Family, u"Times New Roman"_qs);
    row("unknown font is the default", "\\f77 x", TProp::Family, u"Arial"_qs);
    row("colour", "\\cf2 x", TProp::Color, u"#ff0000"_qs);
    row("automatic colour", "\\cf0 x", TProp::Color, QString());
    row("colour out of the table", "\\cf9 x", TProp::Color, QString());
    row("superscript", "\\super x", TProp::Superscript, true);

    row("left", "\\qc\\ql x", TProp::Align, static_cast<int>(Qt::AlignLeft));
    row("justified", "\\qj x", TProp::Align, static_cast<int>(Qt::AlignJustify));
    row("centred", "\\qc x", TProp::Align, static_cast<int>(Qt::AlignHCenter));
    row("right", "\\qr x", TProp::Align, static_cast<int>(Qt::AlignRight));
    row("pard resets", "\\qc\\li567\\pard x", TProp::LeftMargin, 0.0);
    row("left indent in pixels", "\\li567 x", TProp::LeftMargin, 37.8);
    row("right indent", "\\ri1134 x", TProp::RightMargin, 75.6);
    row("first-line indent", "\\fi-284\\li284 x", TProp::TextIndent, -284 / 15.0);
    row("space before", "\\sb120 x", TProp::TopMargin, 8.0);
    row("space after", "\\sa180 x", TProp::BottomMargin, 12.0);
    row("huge indent clamped", "\\li99999999999 x", TProp::LeftMargin, 31680 / 15.0);
    row("negative space clamped", "\\sa-500 x", TProp::BottomMargin, 0.0);
    row("proportional spacing 115 %", "\\sl276\\slmult1 x", TProp::LineHeight, 115.0);
    row("proportional type", "\\sl288\\slmult1 x", TProp::LineHeightType,
        static_cast<int>(QTextBlockFormat::ProportionalHeight));
    row("at least", "\\sl300\\slmult0 x", TProp::LineHeightType, static_cast<int>(QTextBlockFormat::MinimumHeight));
    row("at least height", "\\sl300\\slmult0 x", TProp::LineHeight, 20.0);
    row("exactly", "\\sl-240 x", TProp::LineHeightType, static_cast<int>(QTextBlockFormat::FixedHeight));
    row("single", "x", TProp::LineHeightType, static_cast<int>(QTextBlockFormat::SingleHeight));
}

void TRtfReaderTest::formatting()
{
    QFETCH(QByteArray, body);
    QFETCH(TProp, prop);
    QFETCH(QVariant, expected);
    const auto document = ReadRtf(Doc(body.toStdString()));
    const QVariant actual = Read(*document, prop);
    if (expected.typeId() == QMetaType::Double)
        QVERIFY2(qAbs(actual.toDouble() - expected.toDouble()) < 0.01,
                 qPrintable(QStringLiteral("%1 != %2").arg(actual.toDouble()).arg(expected.toDouble())));
    else if (expected.typeId() == QMetaType::Int)
        QCOMPARE(actual.toInt(), expected.toInt());
    else
        QCOMPARE(actual, expected);
}

void TRtfReaderTest::paragraphPropertiesTakeEffectAtParagraphEnd()
{
    // The paragraph mark carries the properties in force when it comes, and
    // each paragraph keeps its own.
    const auto document = ReadRtf(Doc("\\qc a\\par\\pard\\qr b\\par\\pard c\\qj\\par"));
    QCOMPARE(document->blockCount(), 3);
    const Qt::Alignment expected[] = {Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    int i = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next(), ++i)
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, expected[i]);
}

void TRtfReaderTest::lists_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<double>("leftMargin");

    const QByteArray table = "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3986 ?;}{\\levelnumbers;}"
                             "\\f2\\fi-284\\li425}{\\listlevel{\\leveltext\\'01o;}\\f1\\fi-360\\li1440}\\listid11}"
                             "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}"
                             "\\listid22}}"
                             "{\\*\\listoverridetable{\\listoverride\\listid11\\ls1}{\\listoverride\\listid22\\ls2}}";

    QTest::newRow("bullet from the list table")
        << table + "{\\listtext\\f2 \\'6e\\tab}\\pard\\fi-284\\li425\\tx425\\ls1 Item\\par" << u"\u25A0\tItem"_qs
        << 425 / 15.0;
    QTest::newRow("paragraph without indents takes the level's")
        << table + "\\pard\\ls1 Item\\par" << u"\u25A0\tItem"_qs << 425 / 15.0;
    QTest::newRow("numbered level falls back to the list text")
        << table + "{\\listtext 1.\\tab}\\pard\\fi-360\\li720\\ls2 Eins\\par" << u"1.\tEins"_qs << 48.0;
    QTest::newRow("unknown list falls back to the list text")
        << table + "{\\listtext\\f2 \\u-3986\\'6e\\tab}\\pard\\fi-360\\li720\\ls9 Item\\par" << u"\u25A0\tItem"_qs
        << 48.0;
    QTest::newRow("old list text in Symbol") << QByteArray("{\\pntext\\f3\\'b7\\tab}\\pard\\fi-360\\li720 Item\\par")
                                             << u"\u2022\tItem"_qs << 48.0;
    QTest::newRow("list text wins over old list text")
        << QByteArray("{\\pntext\\f3\\'b7\\tab}{\\listtext\\f2 \\'6e\\tab}\\pard\\fi-360\\li720 Item\\par")
        << u"\u25A0\tItem"_qs << 48.0;
    QTest::newRow("unmapped symbol keeps its letter")
        << QByteArray("{\\listtext\\f2 A\\tab}\\pard\\fi-360\\li720 Item\\par") << u"A\tItem"_qs << 48.0;
    QTest::newRow("list text belongs to one paragraph")
        << table + "{\\listtext\\f2 \\'6e\\tab}\\pard\\fi-360\\li720 One\\par\\pard Two\\par"
        << u"\u25A0\tOne\nTwo"_qs << 48.0;
}

void TRtfReaderTest::lists()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QFETCH(double, leftMargin);
    const auto document = ReadRtf(Doc(body.toStdString()));
    QCOMPARE(BlockTexts(*document).join(QLatin1Char('\n')), expected);

    const QTextBlock first = document->begin();
    QVERIFY(qAbs(first.blockFormat().leftMargin() - leftMargin) < 0.01);
    // The bullet shows in an ordinary font when it was mapped from a symbol font.
    const QTextCharFormat bullet = first.begin().fragment().charFormat();
    const QString family = bullet.fontFamilies().toStringList().value(0);
    if (expected.at(0) == QChar(0x25A0) || expected.at(0) == QChar(0x2022))
        QCOMPARE(family, u"Arial"_qs);
}

void TRtfReaderTest::bulletTextStartsAtLeftIndent()
{
    // Bullet at 0.25 cm, text at 0.75 cm: after the tab the first line's text
    // lines up with the following lines.
    const auto document = ReadRtf(Doc("{\\listtext\\f2 \\'6e\\tab}\\pard\\fi-283\\li425\\tx425 "
                                      "Ein Punkt mit so viel Text, dass er sicher auf mehrere Zeilen umbricht "
                                      "und die zweite Zeile zeigt, wo der Text steht.\\par"));
    document->setTextWidth(300);
    document->size(); // lays the document out
    const QTextBlock block = document->begin();
    QTextLayout* layout = block.layout();
    QVERIFY(layout->lineCount() > 1);
    const qreal bulletX = layout->lineAt(0).cursorToX(0);
    const qreal textX = layout->lineAt(0).cursorToX(2);
    const qreal secondLineX = layout->lineAt(1).x();
    QVERIFY2(qAbs(bulletX - 142 / 15.0) < 0.5, qPrintable(QString::number(bulletX)));
    QVERIFY2(qAbs(textX - secondLineX) < 0.5, qPrintable(QStringLiteral("%1 vs %2").arg(textX).arg(secondLineX)));
    QVERIFY(qAbs(secondLineX - 425 / 15.0) < 0.5);
}

void TRtfReaderTest::malformedInput_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected"); // empty: any text will do

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("open brace only") << QByteArray("{") << QString();
    QTest::newRow("closing braces only") << QByteArray("}}}}") << QString();
    QTest::newRow("stray closing brace first") << QByteArray("}a{b") << u"ab"_qs;
    QTest::newRow("header only") << QByteArray("{\\rtf1") << QString();
    QTest::newRow("unclosed document") << QByteArray("{\\rtf1 a\\par b") << u"a\nb"_qs;
    QTest::newRow("lone backslash at the end") << QByteArray("{\\rtf1 a\\") << u"a"_qs;
    QTest::newRow("hex escape cut off") << QByteArray("{\\rtf1 a\\'") << u"a"_qs;
    QTest::newRow("hex escape with one digit") << QByteArray("{\\rtf1 a\\'4") << u"a"_qs;
    QTest::newRow("hex escape with no hex") << QByteArray("{\\rtf1 a\\'zz}") << u"azz"_qs;
    QTest::newRow("unicode without number") << QByteArray("{\\rtf1 a\\u}") << u"a"_qs;
    QTest::newRow("unicode with minus only") << QByteArray("{\\rtf1 a\\u-}") << u"a-"_qs;
    QTest::newRow("binary longer than the input") << QByteArray("{\\rtf1 a\\bin99999999999 bcd}") << u"a"_qs;
    QTest::newRow("negative binary") << QByteArray("{\\rtf1 a\\bin-5 b}") << u"ab"_qs;
    QTest::newRow("NUL bytes") << QByteArray("{\\rtf1 a\0b\\'00c}", 16) << u"abc"_qs;
    QTest::newRow("ignorable mark at the end") << QByteArray("{\\rtf1 a\\*") << u"a"_qs;
    QTest::newRow("huge word") << QByteArray("{\\rtf1 \\") + QByteArray(100000, 'a') + QByteArray(" b}") << u"b"_qs;
    QTest::newRow("huge number") << QByteArray("{\\rtf1 \\fs") + QByteArray(100000, '9') + QByteArray(" b}") << u"b"_qs;
    QTest::newRow("deep nesting")
        << QByteArray("{\\rtf1 ") + QByteArray(200000, '{') + "x" + QByteArray(200000, '}') + "y}" << u"xy"_qs;
    QTest::newRow("deep nesting never closed") << QByteArray("{\\rtf1 ") + QByteArray(300000, '{') + "x" << u"x"_qs;
    QTest::newRow("skip count beyond the text") << QByteArray("{\\rtf1\\uc99999\\u8364 abc}") << u"€"_qs;
    QTest::newRow("list override without table") << QByteArray("{\\rtf1\\ls5 a\\par}") << u"a"_qs;
    QTest::newRow("level text outside a level") << QByteArray("{\\rtf1{\\leveltext\\'01x;}a}") << u"a"_qs;
    QTest::newRow("font table never closed") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial") << QString();
    QTest::newRow("many tab stops") << QByteArray("{\\rtf1 ") + QByteArray("\\tx100").repeated(10000) + " a}" << u"a"_qs;
}

void TRtfReaderTest::malformedInput()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    const auto document = ReadRtf(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())));
    CheckSound(*document);
    if (!expected.isEmpty())
        QCOMPARE(BlockTexts(*document).join(QLatin1Char('\n')), expected);
    // Any document the reader makes can be laid out.
    document->setTextWidth(400);
    QVERIFY(document->size().height() >= 0);
}

void TRtfReaderTest::mutatedHelpDocument()
{
    const std::string original(HelpDocument, HelpDocumentSize);
    std::mt19937 random(20071015);
    for (int round = 0; round < 300; ++round) {
        std::string text = original;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits; ++e)
            Mutate(text, random);
        const auto document = ReadRtf(text);
        CheckSound(*document);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("round %1").arg(round)));
        document->setTextWidth(521);
        QVERIFY(document->size().height() >= 0);
    }
}

void TRtfReaderTest::insertReplacesOnlyTheSelection()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("vorher XXX nachher"));
    cursor.setPosition(7);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    TRtfReader::Insert(cursor, "{\\rtf1 {\\b fett}}");
    QCOMPARE(document.toPlainText(), u"vorher fett nachher"_qs);
    QCOMPARE(cursor.position(), 11);
}

QTEST_MAIN(TRtfReaderTest)
#include "RtfReaderTest.moc"
