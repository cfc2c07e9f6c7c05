#include <QRandomGenerator>
#include <QTest>

#include "LineScan.h"
#include "Lines.h"

#include <algorithm>
#include <string>
#include <vector>

// The one-pass line cutter must give exactly the lines of the core's line
// reading, with the right count of "|" per line, wherever the 64-byte blocks
// fall.
class TLineScanTest : public QObject {
    Q_OBJECT

private slots:
    void SameLinesAsCore_data();
    void SameLinesAsCore();
    void RandomTexts();
};

namespace {

struct TLine {
    std::string Text;
    std::uint32_t Separators;
    bool operator==(const TLine&) const = default;
};

std::vector<TLine> Scanned(std::string_view text)
{
    std::vector<TLine> lines;
    ForEachLineCountingSeparators(text, [&](std::string_view line, std::uint32_t separators) {
        lines.push_back({std::string(line), separators});
    });
    return lines;
}

std::vector<TLine> Expected(std::string_view text)
{
    std::vector<TLine> lines;
    ForEachLine(text, [&](std::string_view line) {
        lines.push_back({std::string(line), static_cast<std::uint32_t>(std::count(line.begin(), line.end(), '|'))});
    });
    return lines;
}

QByteArray Fill(int count) { return QByteArray(count, 'a'); }

} // namespace

void TLineScanTest::SameLinesAsCore_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one line without break") << QByteArray("1|E|x|");
    QTest::newRow("break at the end adds no line") << QByteArray("a|b\r\n");
    QTest::newRow("two breaks at the end") << QByteArray("a|b\r\n\r\n");
    QTest::newRow("lone CR and lone LF") << QByteArray("a|\rb||\nc|||");
    QTest::newRow("LF CR gives an empty line") << QByteArray("a\n\rb");
    QTest::newRow("NUL first") << QByteArray("\0a|b\n", 5);
    QTest::newRow("NUL inside a line") << QByteArray("a|b\0c|d\ne", 9);
    QTest::newRow("NUL at a line start") << QByteArray("a|b\n\0c\n", 7);
    QTest::newRow("CR at 63, LF at 64") << Fill(63) + "\r\n" + "b|c";
    QTest::newRow("CR at 63, LF at 64, text ends") << Fill(63) + "\r\n";
    QTest::newRow("break at 64") << Fill(64) + "\n|";
    QTest::newRow("separators across blocks") << QByteArray(200, '|') + "\n" + QByteArray(130, '|');
    QTest::newRow("long line") << Fill(1000) + "|" + Fill(1000) + "|\r\nx";
    QTest::newRow("many empty lines") << QByteArray(150, '\n') + "a|";
    QTest::newRow("NUL at 64") << Fill(64) + QByteArray("\0x|", 3);
}

void TLineScanTest::SameLinesAsCore()
{
    QFETCH(QByteArray, text);
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));
    QVERIFY(Scanned(view) == Expected(view));
}

void TLineScanTest::RandomTexts()
{
    // Short alphabets make every combination of breaks, separators and NULs
    // appear at every offset within a block.
    QRandomGenerator random(20151015);
    const char alphabet[] = {'a', 'a', '|', '|', '\r', '\n', ' ', '\0'};
    for (int round = 0; round < 3000; ++round) {
        const int length = static_cast<int>(random.bounded(300));
        const int letters = round % 2 == 0 ? 7 : 8; // every other text without NUL
        std::string text;
        for (int i = 0; i < length; ++i)
            text += alphabet[random.bounded(letters)];
        QVERIFY2(Scanned(text) == Expected(text), qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

QTEST_MAIN(TLineScanTest)
#include "LineScanTest.moc"
