// The built-in help document as the reader shows it: its source form, every
// section with its title, the German characters, no RTF leaking into the text,
// and the formats of its kinds of paragraph.
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <memory>
#include <string_view>

#include "HelpDocument.h"
#include "RtfTestSupport.h"

namespace {

const QTextDocument& Document()
{
    static const std::unique_ptr<QTextDocument> document = ReadRtf(std::string_view(HelpDocument, HelpDocumentSize));
    return *document;
}

QString Readable(const QTextBlock& block)
{
    QString text = block.text();
    text.remove(QChar(0x00AD));
    return text;
}

// The first block whose readable text starts with prefix.
QTextBlock BlockStarting(const QString& prefix, int skip = 0)
{
    for (QTextBlock block = Document().begin(); block.isValid(); block = block.next())
        if (Readable(block).startsWith(prefix) && skip-- == 0)
            return block;
    return {};
}

QTextCharFormat FirstFormat(const QTextBlock& block)
{
    return block.begin().atEnd() ? QTextCharFormat() : block.begin().fragment().charFormat();
}

bool Near(double a, double b) { return qAbs(a - b) < 0.05; }
double Cm(double cm) { return cm * 567.0 / 15.0; } // centimetres to pixels, by way of twips

} // namespace

class THelpDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void sourceIsSevenBitRtf();
    void sectionTitles_data();
    void sectionTitles();
    void germanText_data();
    void germanText();
    void noRtfVisible();
    void headerBlockAndTitle();
    void bodyParagraphs();
    void bulletItems_data();
    void bulletItems();
    void onlyArialIsShown();
};

void THelpDocumentTest::sourceIsSevenBitRtf()
{
    const std::string_view source(HelpDocument, HelpDocumentSize);
    QVERIFY(source.starts_with("{\\rtf1"));
    QCOMPARE(HelpDocument[HelpDocumentSize], '\0');
    // Embedded whole: the outermost group closes at the last "}", and only
    // line ends follow it.
    int depth = 0;
    std::size_t closed = 0;
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (source[i] == '\\')
            ++i;
        else if (source[i] == '{')
            ++depth;
        else if (source[i] == '}' && --depth == 0 && closed == 0)
            closed = i;
    }
    QCOMPARE(depth, 0);
    QCOMPARE(source.find_last_not_of("\r\n"), closed);
    for (const char c : source)
        QVERIFY2(static_cast<unsigned char>(c) < 0x80 && c != '\0', "the source is 7-bit text");
    for (const char* word : {"\\ansicpg1252", "\\uc1", "\\deflang1031", "\\'84", "\\'93", "\\u-3986", "\\-",
                             "{\\info", "{\\*\\listtable", "\\paperw11906"})
        QVERIFY2(source.find(word) != std::string_view::npos, word);
}

void THelpDocumentTest::sectionTitles_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("1") << u"1. Zweck des Programms"_qs;
    QTest::newRow("2") << u"2. Nutzungsbedingungen"_qs;
    QTest::newRow("3") << u"3. Hinweise zur Benutzung"_qs;
    QTest::newRow("4") << u"4. Kontakt"_qs;
}

void THelpDocumentTest::sectionTitles()
{
    QFETCH(QString, title);
    // Once as a line of the contents, once as the section's own title: 10-point
    // Arial, underlined, not bold, left-aligned, 6 points after, 2 cm right indent.
    const QTextBlock contents = BlockStarting(u"1. Zweck des Programms"_qs);
    QVERIFY(contents.isValid());
    QVERIFY(contents.text().split(QChar::LineSeparator).contains(title));
    QCOMPARE(contents.text().split(QChar::LineSeparator).size(), 4);

    const QTextBlock section = title.startsWith(u"1."_qs) ? BlockStarting(title, 1) : BlockStarting(title);
    QVERIFY(section.isValid());
    QCOMPARE(Readable(section), title);
    const QTextCharFormat format = FirstFormat(section);
    QVERIFY(format.fontUnderline());
    QVERIFY(format.fontWeight() < QFont::Bold);
    QCOMPARE(format.fontPointSize(), 10.0);
    QCOMPARE(section.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QVERIFY(Near(section.blockFormat().bottomMargin(), 8.0));
    QVERIFY(Near(section.blockFormat().rightMargin(), Cm(2)));
    // An empty paragraph stands before every section but the first.
    if (!title.startsWith(u"1."_qs))
        QVERIFY(section.previous().text().isEmpty());
}

void THelpDocumentTest::germanText_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::newRow("program title in German quotes") << u"„Morvask-Betrachter“"_qs;
    QTest::newRow("umlauts") << u"Verfügung"_qs;
    QTest::newRow("sharp s") << u"außerhalb"_qs;
    QTest::newRow("scope of the check")
        << u"Dabei wird nur die grundlegende Datei-Struktur (z.B. Anzahl der Felder pro Zeile, Felder mit festem Code, ...)"_qs;
    QTest::newRow("interface 1") << u"nach Schnittstelle 1"_qs;
    QTest::newRow("interface 2") << u"nach Schnittstelle 2"_qs;
    QTest::newRow("lead-in of the hints") << u"Daher folgen hier nur einige kurze Hinweise:"_qs;
    QTest::newRow("called program") << u"„Programm“"_qs;
    QTest::newRow("registry") << u"„Registry“"_qs;
    QTest::newRow("drag and drop") << u"„Drag&Drop“"_qs;
    QTest::newRow("one file at a time") << u"Das Programm kann nur die Inhalte einer Datei gleichzeitig darstellen."_qs;
    QTest::newRow("scroll down") << u"(ggf. nach unten rollen)"_qs;
    QTest::newRow("grid headers")
        << u"In den beiden Anzeigegittern wird die Feldzuordnung direkt im Tabellenkopf angezeigt."_qs;
    QTest::newRow("interface description") << u"Schnittstellenbeschreibung"_qs;
    QTest::newRow("fictional site") << u"www.trinkwasserdaten.example.org"_qs;
    QTest::newRow("fictional contact") << u"@trinkwasserdaten.example.org"_qs;
    QTest::newRow("date line") << u"(Stand: 15.10.07)"_qs;
}

void THelpDocumentTest::germanText()
{
    QFETCH(QString, phrase);
    const QString text = ReadableText(Document());
    QVERIFY2(text.contains(phrase), qPrintable(phrase));
}

void THelpDocumentTest::noRtfVisible()
{
    const QString text = ReadableText(Document());
    for (const char* leak : {"\\", "{", "}", "rtf", "insrsid", "fcs", "Times New Roman", "heading", "Normal;",
                             "Wingdings", "?", "panose", "Morvask-Betrachter Version 1"})
        QVERIFY2(!text.contains(QLatin1String(leak)), leak);
    for (const QChar c : text)
        QVERIFY2(c.unicode() < 0xE000 || c.unicode() > 0xF8FF, "a private-use symbol code reached the text");
}

void THelpDocumentTest::headerBlockAndTitle()
{
    QTextBlock block = Document().begin();
    for (int line = 0; line < 4; ++line, block = block.next()) {
        QVERIFY(!block.text().isEmpty());
        QCOMPARE(FirstFormat(block).fontPointSize(), 11.0);
        QCOMPARE(block.blockFormat().bottomMargin(), 0.0);
        QCOMPARE(FirstFormat(block).foreground().color(), QColor(0, 0, 0));
    }
    QVERIFY(block.text().isEmpty()); // paragraph 5
    block = block.next();
    QCOMPARE(Readable(block), u"Kurzanleitung zum Programm „Morvask-Betrachter“ (Version 1.0)"_qs);
    QVERIFY(FirstFormat(block).fontWeight() >= QFont::Bold);
    QVERIFY(FirstFormat(block).fontUnderline());
    QVERIFY(Near(block.blockFormat().bottomMargin(), 8.0));
    block = block.next();
    QCOMPARE(block.text(), u"(Stand: 15.10.07)"_qs);
    QVERIFY(FirstFormat(block).fontItalic());
    QVERIFY(Near(block.blockFormat().bottomMargin(), 12.0));
}

void THelpDocumentTest::bodyParagraphs()
{
    // Every paragraph of the sections has the 2 cm right indent and 1.2 lines.
    int bodies = 0;
    for (QTextBlock block = BlockStarting(u"1. Zweck des Programms"_qs, 1); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        QVERIFY(Near(format.rightMargin(), Cm(2)));
        QCOMPARE(format.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(format.lineHeight(), 120.0);
        if (!block.text().isEmpty())
            QCOMPARE(FirstFormat(block).fontPointSize(), 10.0);
        if ((format.alignment() & Qt::AlignHorizontal_Mask) == Qt::AlignJustify && format.leftMargin() == 0.0) {
            ++bodies;
            QVERIFY(Near(format.bottomMargin(), 8.0));
        }
    }
    // Purpose two, terms of use three, the lead-in of the hints one.
    QCOMPARE(bodies, 6);
}

void THelpDocumentTest::bulletItems_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<double>("bulletAt");
    QTest::addColumn<double>("textAt");
    QTest::newRow("interface 1") << u"nach Schnittstelle 1"_qs << 0.25 << 0.75;
    QTest::newRow("interface 2") << u"nach Schnittstelle 2"_qs << 0.25 << 0.75;
    QTest::newRow("no installation") << u"Das Programm benötigt keine Installation"_qs << 0.0 << 0.5;
    QTest::newRow("file dialog") << u"Nach dem Start"_qs << 0.0 << 0.5;
    QTest::newRow("no change") << u"Das Programm verändert"_qs << 0.0 << 0.5;
    QTest::newRow("one file") << u"Das Programm kann nur"_qs << 0.0 << 0.5;
    QTest::newRow("window sections") << u"Im oberen Bereich"_qs << 0.0 << 0.5;
    QTest::newRow("hints") << u"Wenn der Mauszeiger"_qs << 0.0 << 0.5;
}

void THelpDocumentTest::bulletItems()
{
    QFETCH(QString, start);
    QFETCH(double, bulletAt);
    QFETCH(double, textAt);
    const QTextBlock block = BlockStarting(u"\u25A0\t"_qs + start);
    QVERIFY2(block.isValid(), qPrintable(start));
    const QTextBlockFormat format = block.blockFormat();
    QVERIFY(Near(format.leftMargin(), Cm(textAt)));
    // Rounded to whole twips, as the document gives them.
    QVERIFY(qAbs(format.leftMargin() + format.textIndent() - Cm(bulletAt)) < 0.1);
    if (bulletAt == 0.0) {
        QCOMPARE(format.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        QVERIFY(Near(format.bottomMargin(), 8.0));
    }
    if (start == u"Das Programm kann nur"_qs) {
        bool underlined = false;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().text() == u"einer"_qs)
                underlined = it.fragment().charFormat().fontUnderline();
        QVERIFY(underlined);
    }
}

void THelpDocumentTest::onlyArialIsShown()
{
    int bullets = 0;
    for (QTextBlock block = Document().begin(); block.isValid(); block = block.next()) {
        bullets += block.text().startsWith(QChar(0x25A0)) ? 1 : 0;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            QCOMPARE(it.fragment().charFormat().fontFamilies().toStringList(), QStringList{u"Arial"_qs});
    }
    QCOMPARE(bullets, 8);
}

QTEST_MAIN(THelpDocumentTest)
#include "HelpDocumentTest.moc"
