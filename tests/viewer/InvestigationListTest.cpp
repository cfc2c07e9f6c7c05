#include <QTest>

#include "Fields.h"
#include "FileOpenError.h"
#include "InvestigationList.h"
#include "LineListCheck.h"
#include "TransferFiles.h"

using namespace TransferFiles;
using TLineGroups = QList<QList<int>>;

// Cutting a transfer file into examinations, and reading their fields.
class TInvestigationListTest : public QObject {
    Q_OBJECT

private slots:
    void Load_data();
    void Load();
    void ParameterCount_data();
    void ParameterCount();
    void FieldsOutsideAreEmpty();
    void LineBreaksGiveSameExaminations_data();
    void LineBreaksGiveSameExaminations();
    void UnreadableFileLoadsNothing();
    void LoadReplacesPreviousFile();
    void StoppedLoadLeavesNothing();

private:
    void VerifyLoad(const QString& path, std::size_t pieceSize, const TLineList& lines, const TLineGroups& groups,
                    const QList<int>& firstLines);

    QTemporaryDir FDir;
};

void TInvestigationListTest::Load_data()
{
    // The file, then for every examination the file lines (0-based) whose
    // fields it gathers, and its first-line index.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<TLineGroups>("groups");
    QTest::addColumn<QList<int>>("firstLines");

    QTest::newRow("one block, two parameters")
        << Join(Block(1, 2)) << TLineGroups{{0, 1, 2, 3}} << QList<int>{0};
    QTest::newRow("field texts longer than the kept beginnings")
        << Join(Block(123456, 2)) << TLineGroups{{0, 1, 2, 3}} << QList<int>{0};
    QTest::newRow("three blocks")
        << Join(Block(1, 2) + Block(2, 0) + Block(3, 1))
        << TLineGroups{{0, 1, 2, 3}, {5, 6}, {8, 9, 10}} << QList<int>{0, 5, 8};
    QTest::newRow("empty lines after the last block")
        << Join(Block(1, 1) + QList<QByteArray>{"", "", ""}) << TLineGroups{{0, 1, 2}} << QList<int>{0};
    QTest::newRow("blank-only line after the last block")
        << Join(Block(1, 1) + QList<QByteArray>{" \t "}) << TLineGroups{{0, 1, 2}} << QList<int>{0};
    QTest::newRow("blank line between blocks ends the loading")
        << Join(Block(1, 1) + QList<QByteArray>{" "} + Block(2, 1))
        << TLineGroups{{0, 1, 2}} << QList<int>{0};
    QTest::newRow("empty lines among parameter lines")
        << Join(QList<QByteArray>{Header1(1), Header2(1), "", Parameter(1, 0), "", "", Parameter(1, 1), EndLine(2)} + Block(2, 0))
        << TLineGroups{{0, 1, 3, 6}, {8, 9}} << QList<int>{0, 8};
    QTest::newRow("end line beginning with a blank runs on into the next block")
        << Join(QList<QByteArray>{Header1(1), Header2(1), Parameter(1, 0), " 3|1"} + Block(2, 1) + Block(3, 0))
        << TLineGroups{{0, 1, 2, 3, 4, 5, 6}, {8, 9}} << QList<int>{0, 8};
    QTest::newRow("any line beginning with 3 ends the parameters")
        << Join(QList<QByteArray>{Header1(1), Header2(1), Parameter(1, 0), "3x|y|z|"} + Block(2, 0))
        << TLineGroups{{0, 1, 2}, {4, 5}} << QList<int>{0, 4};
    QTest::newRow("block without end line at the end of the file")
        << Join(Block(1, 0) + QList<QByteArray>{Header1(2), Header2(2), Parameter(2, 0), Parameter(2, 1)})
        << TLineGroups{{0, 1}, {3, 4, 5, 6}} << QList<int>{0, 3};
    QTest::newRow("header lines are taken as they are")
        << Join(QList<QByteArray>{"3|0", "", Parameter(1, 0), EndLine(1)})
        << TLineGroups{{0, 2}} << QList<int>{0};
    // A single line left for a further examination: the file whose only line
    // is an end line is one examination without data; a single line after
    // the last end line is no examination.
    QTest::newRow("only line is an end line") << Join({EndLine(0)}) << TLineGroups{{}} << QList<int>{0};
    QTest::newRow("only line is an end line, no line break") << EndLine(0) << TLineGroups{{}} << QList<int>{0};
    QTest::newRow("single line after the last end line")
        << Join(Block(1, 1) + QList<QByteArray>{Header1(2)}) << TLineGroups{{0, 1, 2}} << QList<int>{0};
    QTest::newRow("single end line after the last end line")
        << Join(Block(1, 0) + QList<QByteArray>{EndLine(0)}) << TLineGroups{{0, 1}} << QList<int>{0};
    QTest::newRow("two lines after the last end line")
        << Join(Block(1, 0) + QList<QByteArray>{"x|", "y|"}) << TLineGroups{{0, 1}, {3, 4}} << QList<int>{0, 3};
    QTest::newRow("empty file") << QByteArray() << TLineGroups{{}} << QList<int>{0};
    QTest::newRow("NUL hides the rest of the file")
        << Join(Block(1, 1)) + QByteArray("\0", 1) + Join(Block(2, 1)) << TLineGroups{{0, 1, 2}} << QList<int>{0};
    QTest::newRow("fields are trimmed, a final separator adds no field")
        << Join(QList<QByteArray>{" 1 | E |\tx\t|" + Header1(1).mid(4), "2|MATW| a b |\xA0|", "2|||", "3|1"})
        << TLineGroups{{0, 1, 2}} << QList<int>{0};
    QTest::newRow("blank behind the last separator adds an empty field")
        << Join(QList<QByteArray>{Header1(1) + " ", Header2(1) + "\t", EndLine(0)})
        << TLineGroups{{0, 1}} << QList<int>{0};
}

void TInvestigationListTest::Load()
{
    QFETCH(QByteArray, text);
    QFETCH(TLineGroups, groups);
    QFETCH(QList<int>, firstLines);

    const QString path = Write(FDir, text);
    QVERIFY(!path.isEmpty());
    const TLineList lines = NaiveLines(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    // The file is cut as it comes in: any piece size, down to single bytes
    // (a CR LF split between two pieces), gives the same examinations.
    for (const std::size_t pieceSize : {std::size_t(1), std::size_t(2), std::size_t(63), TInvestigationList::DefaultPieceSize}) {
        VerifyLoad(path, pieceSize, lines, groups, firstLines);
        if (QTest::currentTestFailed())
            return;
    }
}

void TInvestigationListTest::VerifyLoad(const QString& path, std::size_t pieceSize, const TLineList& lines,
                                        const TLineGroups& groups, const QList<int>& firstLines)
{
    TInvestigationList list;
    // Kept beginnings from both header lines and from a parameter line.
    const std::vector<int> keyed{2, 13, 21, 34, 44};
    list.SetKeyEntries(keyed);
    list.Load(FileSystemPath(path), {}, pieceSize);

    QCOMPARE(list.Count(), groups.size());
    for (int i = 0; i < list.Count(); ++i) {
        TFieldList expected;
        for (const int line : groups[i])
            AppendFields(lines.at(static_cast<std::size_t>(line)), expected, TSeparatorSet::Bar());
        QCOMPARE(list.FirstLineIndex(i), firstLines[i]);
        QCOMPARE(list.FieldCount(i), static_cast<int>(expected.size()));
        for (int entry = 0; entry < list.FieldCount(i); ++entry)
            QCOMPARE(list.Field(i, entry), std::string_view(expected[static_cast<std::size_t>(entry)]));
        std::vector<std::string_view> cut(keyed.size());
        list.Fields(i, keyed, cut);
        for (std::size_t column = 0; column < keyed.size(); ++column) {
            const std::string_view field = list.Field(i, keyed[column]);
            QCOMPARE(cut[column], field);
            std::string key(list.Key(i, column), TInvestigationList::KeyBytes);
            QCOMPARE(key, (std::string(field.substr(0, TInvestigationList::KeyBytes)) +
                           std::string(TInvestigationList::KeyBytes, '\0'))
                              .substr(0, TInvestigationList::KeyBytes));
        }
    }
}

void TInvestigationListTest::ParameterCount_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("parameters");

    QTest::newRow("none") << Join(Block(1, 0)) << 0;
    QTest::newRow("three") << Join(Block(1, 3)) << 3;
    QTest::newRow("no data") << Join({EndLine(0)}) << 0;
    QTest::newRow("fewer than 42 fields") << Join({"1|E|x|", "2|MATW|", EndLine(0)}) << 0;
    QTest::newRow("partial parameter line dropped") << Join({Header1(1), Header2(1), "2|a|b|", EndLine(1)}) << 0;
    QTest::newRow("end line taken as parameter fields")
        << Join(QList<QByteArray>{Header1(1), Header2(1), Parameter(1, 0), " 3|1", "3|1"}) << 1;
}

void TInvestigationListTest::ParameterCount()
{
    QFETCH(QByteArray, text);
    QFETCH(int, parameters);
    TInvestigationList list;
    list.Load(FileSystemPath(Write(FDir, text)));
    QCOMPARE(list.ParameterCount(0), parameters);
}

void TInvestigationListTest::FieldsOutsideAreEmpty()
{
    TInvestigationList list;
    QCOMPARE(list.Count(), 0);
    QVERIFY(list.Field(0, 0).empty());
    QCOMPARE(list.FieldCount(0), 0);
    QCOMPARE(list.ParameterCount(0), 0);

    list.Load(FileSystemPath(Write(FDir, Join(Block(1, 1) + Block(2, 0)))));
    QCOMPARE(list.Field(0, 53 - 1), std::string_view("b1p0f53"));
    QCOMPARE(list.Field(1, 2), std::string_view("b2f3"));
    for (const auto& [investigation, entry] : {std::pair{0, 53}, {0, -1}, {1, 42}, {1, 1000000}, {2, 0}, {-1, 0}})
        QVERIFY2(list.Field(investigation, entry).empty(), qPrintable(QStringLiteral("%1/%2").arg(investigation).arg(entry)));
    QCOMPARE(list.FirstLineIndex(2), 0);
}

void TInvestigationListTest::LineBreaksGiveSameExaminations_data()
{
    QTest::addColumn<QByteArray>("lineBreak");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR") << QByteArray("\r");
}

void TInvestigationListTest::LineBreaksGiveSameExaminations()
{
    QFETCH(QByteArray, lineBreak);
    const QList<QByteArray> lines = Block(1, 2) + QList<QByteArray>{""} + Block(2, 1);
    TInvestigationList list;
    list.Load(FileSystemPath(Write(FDir, Join(lines, lineBreak))));
    // The empty line after the first end line ends the loading.
    QCOMPARE(list.Count(), 1);
    QCOMPARE(list.FieldCount(0), 64);
    QCOMPARE(list.Field(0, 63), std::string_view("b1p1f53"));
    QCOMPARE(list.Field(0, 43), std::string_view("b1p0f44"));
}

void TInvestigationListTest::UnreadableFileLoadsNothing()
{
    TInvestigationList list;
    list.Load(FileSystemPath(Write(FDir, Join(Block(1, 1)))));
    QCOMPARE(list.Count(), 1);
    const std::string missing = FileSystemPath(FDir.filePath(QStringLiteral("fehlt.dat")));
    QVERIFY_THROWS_EXCEPTION(EFileOpenError, list.Load(missing));
    QCOMPARE(list.Count(), 0);
    QVERIFY(list.Field(0, 2).empty());
}

void TInvestigationListTest::LoadReplacesPreviousFile()
{
    TInvestigationList list;
    list.Load(FileSystemPath(Write(FDir, Join(Block(1, 0) + Block(2, 0) + Block(3, 0)), QStringLiteral("a.dat"))));
    QCOMPARE(list.Count(), 3);
    list.Load(FileSystemPath(Write(FDir, Join(Block(7, 1)), QStringLiteral("b.dat"))));
    QCOMPARE(list.Count(), 1);
    QCOMPARE(list.Field(0, 2), std::string_view("b7f3"));
    QVERIFY(list.Field(1, 2).empty());
}

void TInvestigationListTest::StoppedLoadLeavesNothing()
{
    const std::string path = FileSystemPath(Write(FDir, Join(Block(1, 3) + Block(2, 3))));
    TInvestigationList list;
    list.Load(path);
    QCOMPARE(list.Count(), 2);
    std::stop_source stop;
    stop.request_stop();
    list.Load(path, stop.get_token(), 16);
    QCOMPARE(list.Count(), 0);
    QVERIFY(list.Field(0, 2).empty());
}

QTEST_MAIN(TInvestigationListTest)
#include "InvestigationListTest.moc"
