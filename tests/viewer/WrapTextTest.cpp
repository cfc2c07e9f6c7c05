#include <QTest>
#include <QTextDocument>

#include "FieldHints.h"
#include "ReportWrap.h"

// The wrap of long hints to 50 columns, the literal tool-tip form, and the
// printed report's wrap of a value to its cell.
class TWrapTextTest : public QObject {
    Q_OBJECT

private slots:
    void Wrap_data();
    void Wrap();
    void KeepsEveryCharacter_data();
    void KeepsEveryCharacter();
    void LiteralToolTip_data();
    void LiteralToolTip();
    void ReportWrap_data();
    void ReportWrap();
};

namespace {

QString Repeat(const char* piece, int times) { return QString::fromLatin1(piece).repeated(times); }
const QString CrLf = QStringLiteral("\r\n");

} // namespace

void TWrapTextTest::Wrap_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("wrapped");

    const QString a45 = Repeat("a", 45);
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("short") << QStringLiteral("Feld 14: Brunnen") << QStringLiteral("Feld 14: Brunnen");
    QTest::newRow("50 characters") << a45 + " " + Repeat("b", 4) << a45 + " " + Repeat("b", 4);
    QTest::newRow("51 characters") << a45 + " " + Repeat("b", 5) << a45 + " " + Repeat("b", 5);
    QTest::newRow("51 characters, blank at 50")
        << Repeat("a", 49) + " b" << Repeat("a", 49) + " b";
    QTest::newRow("52 characters") << a45 + " " + Repeat("b", 6) << a45 + " " + CrLf + Repeat("b", 6);
    QTest::newRow("breaks after hyphen")
        << Repeat("a", 40) + "-" + Repeat("b", 20) << Repeat("a", 40) + "-" + CrLf + Repeat("b", 20);
    QTest::newRow("breaks after tab")
        << Repeat("a", 40) + "\t" + Repeat("b", 20) << Repeat("a", 40) + "\t" + CrLf + Repeat("b", 20);
    QTest::newRow("last break within 50 wins")
        << Repeat("a", 10) + " " + Repeat("b", 30) + "-" + Repeat("c", 20)
        << Repeat("a", 10) + " " + Repeat("b", 30) + "-" + CrLf + Repeat("c", 20);
    QTest::newRow("several lines")
        << Repeat("aaaaaaaaa ", 11)
        << Repeat("aaaaaaaaa ", 5) + CrLf + Repeat("aaaaaaaaa ", 5) + CrLf + "aaaaaaaaa ";
    QTest::newRow("word without break character")
        << "Feld 3: " + Repeat("x", 60) << "Feld 3: " + CrLf + Repeat("x", 60);
    QTest::newRow("run of blanks at column 50")
        << a45 + Repeat(" ", 10) + Repeat("y", 10)
        << a45 + Repeat(" ", 5) + CrLf + Repeat(" ", 5) + Repeat("y", 10);
    QTest::newRow("only blanks after the break")
        << a45 + Repeat(" ", 10) << a45 + Repeat(" ", 10);
    QTest::newRow("double quote never closes")
        << "Feld 32: \"" + Repeat("wort ", 20) << "Feld 32: \"" + Repeat("wort ", 20);
    QTest::newRow("apostrophe never closes")
        << "Feld 32: O'Neil " + Repeat("wort ", 20) << "Feld 32: O'Neil " + Repeat("wort ", 20);
    QTest::newRow("apostrophe inside double quotes")
        << "a \"it's " + Repeat("b ", 30) + "\""
        << "a \"it's " + Repeat("b ", 30) + "\"";
    QTest::newRow("closed quote breaks before it")
        << "a \"" + Repeat("b ", 30) + "\" cc"
        << "a " + CrLf + "\"" + Repeat("b ", 30) + "\" " + CrLf + "cc";
    QTest::newRow("existing CR LF kept")
        << "abc" + CrLf + "def"
        << "abc" + CrLf + "def";
    QTest::newRow("existing CR LF restarts the column")
        << "ab" + CrLf + a45 + " " + Repeat("y", 10)
        << "ab" + CrLf + a45 + " " + CrLf + Repeat("y", 10);
    QTest::newRow("blanks after CR LF stay")
        << "ab" + CrLf + "  cd"
        << "ab" + CrLf + "  cd";
    QTest::newRow("two CR LF pairs")
        << "ab" + CrLf + CrLf + "cd"
        << "ab" + CrLf + CrLf + "cd";
    QTest::newRow("lone CR is no break")
        << QStringLiteral("ab\rcd") << QStringLiteral("ab\rcd");
    QTest::newRow("CR LF inside quotes")
        << "\"ab" + CrLf + "cd\""
        << "\"ab" + CrLf + "cd\"";
}

void TWrapTextTest::Wrap()
{
    QFETCH(QString, text);
    QFETCH(QString, wrapped);
    QCOMPARE(WrapText(text), wrapped);
}

void TWrapTextTest::KeepsEveryCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("prose") << QStringLiteral(
        "Feld 32: Probe nach Rohrbruch in der Hauptleitung genommen, Spülung "
        "vorher 20 min; Nachprobe am Folgetag – siehe Bericht Nr. 2015-4711 vom Labor");
    QTest::newRow("hyphens and tabs") << Repeat("wasser-\tleitung ", 12);
    QTest::newRow("markup characters") << Repeat("<b>a & b</b> ", 10);
}

void TWrapTextTest::KeepsEveryCharacter()
{
    // Wrapping only inserts line breaks; every line but the last ends with
    // the break character after which it was cut, and stays within 50.
    QFETCH(QString, text);
    const QString wrapped = WrapText(text);
    QVERIFY(wrapped.contains(CrLf));
    QCOMPARE(QString(wrapped).remove(CrLf), text);
    const QStringList lines = wrapped.split(CrLf);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        QVERIFY2(lines[i].size() <= 50, qPrintable(lines[i]));
        const QChar last = lines[i].back();
        QVERIFY2(last == u' ' || last == u'-' || last == u'\t', qPrintable(lines[i]));
    }
}

void TWrapTextTest::LiteralToolTip_data()
{
    QTest::addColumn<QString>("hint");
    QTest::newRow("plain") << QStringLiteral("Feld 14");
    QTest::newRow("markup") << QStringLiteral("Feld 32: <b>fett</b> & &amp; <br>");
    QTest::newRow("blanks") << QStringLiteral("Feld 6:   drei  Blanks ");
    QTest::newRow("line breaks") << "Feld 6: erste Zeile " + CrLf + "zweite Zeile";
}

void TWrapTextTest::LiteralToolTip()
{
    QFETCH(QString, hint);
    const QString tip = ::LiteralToolTip(hint);
    // A tool tip is rendered as rich text when Qt takes it for rich text;
    // what the reader sees must be the hint itself.
    QVERIFY(Qt::mightBeRichText(tip));
    QTextDocument document;
    document.setHtml(tip);
    QString shown = document.toPlainText();
    shown.replace(QChar::LineSeparator, u'\n');
    QCOMPARE(shown, QString(hint).replace(CrLf, QStringLiteral("\n")));
}

void TWrapTextTest::ReportWrap_data()
{
    // Widths in characters, so that no font decides.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("widestWord");

    const QString name = QStringLiteral("DIN EN ISO 10304-1:2009-07");
    QTest::newRow("fits") << name << 26 << QStringList{name} << 7;
    QTest::newRow("blanks and hyphens only") << name << 12 << QStringList{"DIN EN ISO", "10304-", "1:2009-07"} << 7;
    QTest::newRow("only when it must") << name << 25 << QStringList{"DIN EN ISO 10304-1:2009-", "07"} << 7;
    QTest::newRow("word wider than the cell") << QStringLiteral("genehmigung") << 5 << QStringList{"geneh", "migun", "g"} << 11;
    QTest::newRow("hyphen inside a word") << QStringLiteral("Ausnahme-genehmigung") << 12
                                          << QStringList{"Ausnahme-", "genehmigung"} << 11;
    QTest::newRow("minus sign stays") << QStringLiteral("< -0,5 bis - 1") << 5 << QStringList{"<", "-0,5", "bis -", "1"} << 4;
    QTest::newRow("run of blanks dropped at the break") << QStringLiteral("ab    cd") << 3 << QStringList{"ab", "cd"} << 2;
    QTest::newRow("leading blanks kept") << QStringLiteral("  ab cd") << 4 << QStringList{"  ab", "cd"} << 4;
    QTest::newRow("line breaks") << QStringLiteral("ab\r\ncd\nef") << 9 << QStringList{"ab", "cd", "ef"} << 2;
    QTest::newRow("empty") << QString() << 5 << QStringList{QString()} << 0;
    QTest::newRow("surrogate pairs kept whole") << QStringLiteral("\U0001D11E\U0001D11E\U0001D11E") << 2
                                                << QStringList{QStringLiteral("\U0001D11E\U0001D11E"), QStringLiteral("\U0001D11E")} << 3;
}

void TWrapTextTest::ReportWrap()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QStringList, lines);
    QFETCH(int, widestWord);
    const TAdvance characters = [](QStringView piece) { return static_cast<double>(piece.toUcs4().size()); };
    QCOMPARE(WrapReportText(text, width, characters), lines);
    QCOMPARE(WidestWord(text, characters), widestWord);
}

QTEST_MAIN(TWrapTextTest)
#include "WrapTextTest.moc"
