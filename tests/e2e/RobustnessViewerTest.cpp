// The main window on bad input: a file that changes between the check and the
// load, bytes of every value in the fields, a NUL, binary files and a million
// findings. Nothing crashes or blocks, and every display shows exactly what
// the loaded file holds, or nothing.
#include "DisplayText.h"
#include "ErrorDisplay.h"
#include "FindComponent.h"
#include "HelpInfoForm.h"
#include "Main.h"
#include "MainFormFixture.h"
#include "Panel.h"
#include "RobustFiles.h"
#include "StringGrid.h"
#include "TempDir.h"
#include "uDataFileParser.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace {

constexpr const char* FileName = "ROBU_261207_120000.DAT";

enum class TChange { Remove,
                     Folder,
                     Fifo,
                     Empty,
                     CutInParameterLine,
                     CutInHeaderLine,
                     Binary,
                     Garbage,
                     Nul };

int Tag(const QObject* object) { return object->property("tag").toInt(); }

std::string Repeat(std::string_view piece, std::size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

bool IsNumber(const QString& text)
{
    bool ok = false;
    text.toLongLong(&ok);
    return ok;
}

} // namespace

class TRobustnessViewerTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void changedBetweenCheckAndLoad_data();
    void changedBetweenCheckAndLoad();
    void fieldBytesShownExactly_data();
    void fieldBytesShownExactly();
    void findingsShownOnePerLine_data();
    void findingsShownOnePerLine();

private:
    template <class T>
    T* Find(const char* name) const { return FindComponent<T>(*FForm, name); }
    void Select(int index);
    void VerifyShown(int index);
    void VerifyEveryInvestigationShown();

    std::unique_ptr<TTempDir> FDir;
    TMainFormFixture FForm;
    QStringList FErrors;
};

void TRobustnessViewerTest::init()
{
    FDir = std::make_unique<TTempDir>();
    FErrors.clear();
    FForm.Start([this](const QString&, const QString& text) { FErrors << text; });
}

void TRobustnessViewerTest::cleanup()
{
    FForm.Stop();
    FDir.reset();
}

void TRobustnessViewerTest::Select(int index)
{
    TStringGrid* list = Find<TStringGrid>("sgObjectList");
    list->SetRow(list->FixedRows() + index);
    emit list->Click();
}

// The detail blocks, the list row and the analysis grid of one examination
// show its fields and nothing else.
void TRobustnessViewerTest::VerifyShown(int index)
{
    const TInvestigationList& loaded = FForm->Investigations();
    for (auto* block : Find<QWidget>("gbObjectData")->findChildren<TPanel*>(Qt::FindDirectChildrenOnly)) {
        if (Tag(block) != 1)
            continue;
        for (auto* label : block->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (Tag(label) > 0)
                QCOMPARE(label->text(), Cp1252ToQString(loaded.Field(index, Tag(label) - 1)));
        }
    }

    const TStringGrid* list = Find<TStringGrid>("sgObjectList");
    const int row = list->FixedRows() + index;
    QCOMPARE(list->Cell(0, row), QString::number(index + 1));
    const int listEntries[] = {2, 13, 21, 24, 34};
    for (int col = 1; col <= 5; ++col)
        QCOMPARE(list->Cell(col, row), Cp1252ToQString(loaded.Field(index, listEntries[col - 1])));

    const TStringGrid* samples = Find<TStringGrid>("sgSamples");
    const int parameters = loaded.ParameterCount(index);
    QCOMPARE(samples->RowCount(), samples->FixedRows() + parameters);
    for (int k = 0; k < std::min(parameters, 25); ++k) {
        QStringList fields;
        for (int entry = 42 + 11 * k; entry < 53 + 11 * k; ++entry)
            fields << Cp1252ToQString(loaded.Field(index, entry));
        for (int col = 0; col < samples->ColCount(); ++col) {
            const QString cell = samples->Cell(col, samples->FixedRows() + k);
            QVERIFY2(cell.isEmpty() || IsNumber(cell) || fields.contains(cell), qPrintable(cell));
        }
    }
}

void TRobustnessViewerTest::VerifyEveryInvestigationShown()
{
    const int count = FForm->InvestigationCount();
    QVERIFY(count >= 1);
    QCOMPARE(FForm->Investigations().Count(), count);
    for (int i = 0; i < std::min(count, 30); ++i) {
        Select(i);
        QCOMPARE(FForm->CurrentIndex(), i);
        VerifyShown(i);
        if (QTest::currentTestFailed())
            return;
    }
    FForm->repaint();
}

void TRobustnessViewerTest::changedBetweenCheckAndLoad_data()
{
    QTest::addColumn<TChange>("change");
    QTest::addColumn<bool>("unreadable");
    QTest::newRow("removed") << TChange::Remove << true;
    QTest::newRow("replaced by a folder") << TChange::Folder << true;
#ifndef _WIN32 // no named pipes in the file system there
    QTest::newRow("replaced by a FIFO") << TChange::Fifo << true;
#endif
    QTest::newRow("truncated to nothing") << TChange::Empty << false;
    QTest::newRow("cut inside a parameter line") << TChange::CutInParameterLine << false;
    QTest::newRow("cut inside header line 1") << TChange::CutInHeaderLine << false;
    QTest::newRow("overwritten with binary bytes") << TChange::Binary << false;
    QTest::newRow("grown by binary bytes") << TChange::Garbage << false;
    QTest::newRow("NUL written into the middle") << TChange::Nul << false;
}

// The open checks a sound file; before the load reads it a second time,
// another program changes it. The load either fails through the error
// display and leaves no examination behind, or shows what it finds.
void TRobustnessViewerTest::changedBetweenCheckAndLoad()
{
    QFETCH(TChange, change);
    QFETCH(bool, unreadable);

    const std::string text = RealisticTransferText(11, 12);
    const std::string path = FDir->Write(FileName, text);
    FForm->show();
    FForm->OpenTransferFile(path);
    QCOMPARE(FForm->InvestigationCount(), 12);

    namespace fs = std::filesystem;
    const std::size_t secondBlock = text.find("\r\n1|E|") + 2;
    switch (change) {
    case TChange::Remove:
        fs::remove(path);
        break;
    case TChange::Folder:
        fs::remove(path);
        fs::create_directory(path);
        break;
    case TChange::Fifo:
#ifndef _WIN32
        fs::remove(path);
        QCOMPARE(mkfifo(path.c_str(), 0600), 0);
#endif
        break;
    case TChange::Empty:
        fs::resize_file(path, 0);
        break;
    case TChange::CutInParameterLine:
        fs::resize_file(path, text.find("\r\n2|", text.find("\r\n2|") + 2) + 9);
        break;
    case TChange::CutInHeaderLine:
        fs::resize_file(path, secondBlock + 40);
        break;
    case TChange::Binary:
        FDir->Write(FileName, RandomBytes(12, text.size()));
        break;
    case TChange::Garbage:
        FDir->Write(FileName, text + RandomBytes(13, 5000));
        break;
    case TChange::Nul:
        FDir->Write(FileName, text.substr(0, secondBlock + 100) + '\0' + text.substr(secondBlock + 101));
        break;
    }

    // What the open does after its check, run as the toolkit runs a handler.
    Guarded([this, &path] {
        FForm->LoadInvestigations(path);
        FForm->ShowInvestigation();
    },
            FForm->ErrorSink());

    if (unreadable) {
        QCOMPARE(FErrors.size(), 1);
        QVERIFY2(FErrors.first().contains(QStringLiteral("kann nicht geöffnet werden")), qPrintable(FErrors.first()));
        QVERIFY2(FErrors.first().contains(QString::fromLatin1(FileName)), qPrintable(FErrors.first()));
        QCOMPARE(FForm->InvestigationCount(), 0);
        // The old rows are still listed, but nothing stands behind them.
        for (int i = 0; i < 12; ++i) {
            Select(i);
            QCOMPARE(FForm->CurrentIndex(), 0);
        }
        FForm->repaint();
    } else {
        QVERIFY2(FErrors.isEmpty(), qPrintable(FErrors.join(u'\n')));
        VerifyEveryInvestigationShown();
    }
}

void TRobustnessViewerTest::fieldBytesShownExactly_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("examinations");
    QTest::newRow("bytes 0x80 to 0xFF") << QByteArray::fromStdString(HighBytesText(21, 8, 4)) << 8;

    std::string controls = WellFormedText(3, 2, [] { return std::string("a\x01\x02\x1f\x7f b\tc\x0b\x0c"
                                                                        "d"); });
    QTest::newRow("control characters inside fields") << QByteArray::fromStdString(controls) << 3;

    std::string markup = WellFormedText(2, 3, [] { return std::string("<b>fett</b> &amp; <br>\"'&"); });
    QTest::newRow("markup and ampersands") << QByteArray::fromStdString(markup) << 2;

    // Everything behind the first NUL is invisible to check and load alike.
    const std::string shown = RealisticTransferText(22, 6);
    QTest::newRow("NUL hides what follows")
        << QByteArray::fromStdString(shown + '\0' + RealisticTransferText(23, 6) + RandomBytes(24, 3000)) << 6;
}

void TRobustnessViewerTest::fieldBytesShownExactly()
{
    QFETCH(QByteArray, content);
    QFETCH(int, examinations);
    const std::string path = FDir->Write(FileName, content.toStdString());
    FForm->show();
    FForm->OpenTransferFile(path);
    QVERIFY(FErrors.isEmpty());
    QVERIFY(!Find<QWidget>("pnlErrorText")->isVisible());
    QCOMPARE(FForm->InvestigationCount(), examinations);
    VerifyEveryInvestigationShown();
}

void TRobustnessViewerTest::findingsShownOnePerLine_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("a million empty lines") << QByteArray::fromStdString(Repeat("\r\n", 1000000));
    QTest::newRow("binary bytes") << QByteArray::fromStdString(RandomBytes(31, 1 << 20));
    QTest::newRow("separators only") << QByteArray(1 << 20, '|');
}

// A file that fails its check shows every finding in the error panel, one
// per line, however many there are.
void TRobustnessViewerTest::findingsShownOnePerLine()
{
    QFETCH(QByteArray, content);
    const std::string path = FDir->Write(FileName, content.toStdString());
    TSamplingData expected;
    CheckTransferFile(path, expected);
    QVERIFY(expected.MessageCount > 0);

    FForm->show();
    FForm->OpenTransferFile(path);
    QVERIFY(FErrors.isEmpty());
    QVERIFY(Find<QWidget>("pnlErrorText")->isVisible());
    QCOMPARE(FForm->InvestigationCount(), 0);
    const QTextDocument* memo = Find<QPlainTextEdit>("memErrorText")->document();
    // Each message line ends with a line break, so an empty block follows the last.
    QCOMPARE(memo->blockCount(), expected.MessageCount + 1);
    const std::string_view first = expected.MessageLine(expected.Messages.front());
    const std::string_view last = expected.MessageLine(expected.Messages.back());
    QCOMPARE(memo->firstBlock().text(), Cp1252ToQString(first));
    QCOMPARE(memo->lastBlock().previous().text(), Cp1252ToQString(last));
    FForm->repaint();
}

QTEST_MAIN(TRobustnessViewerTest)
#include "RobustnessViewerTest.moc"
