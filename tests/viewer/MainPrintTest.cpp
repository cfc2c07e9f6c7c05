#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPageRanges>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <cmath>

#include "FieldCaptions.h"
#include "FindComponent.h"
#include "InvestigationCells.h"
#include "MainFormFixture.h"
#include "PdfReading.h"
#include "ReportLayout.h"
#include "ReportPrinter.h"
#include "StringGrid.h"
#include "TransferFiles.h"

using namespace TransferFiles;

// Printing from the main window, into PDF files that poppler's tools read
// back: what a page holds, how a long examination runs over pages, the
// findings, page ranges, and the dialogs.
class TMainPrintTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void ExaminationOnPaper();
    void LongTextsWrap();
    void TableOverManyPages();
    void ColumnsFitTheirValues();
    void HeadingNeverEndsAPage();
    void AllInvestigationsAndRanges();
    void Findings();
    void NothingPrinted();
    void Preview();
    void SystemDialogAndKey();

private:
    void Open(const QByteArray& text, const QString& name = QStringLiteral("WVMO_261015_093000.DAT"));
    // Prints with a dialog that confirms into FPdf, with the given page range;
    // without print, only hands that dialog in.
    void PrintToPdf(void (TMainForm::*print)(), const QPageRanges& ranges = {});
    QString Text(int page = 0) const;
    // Leaves the print and a picture of its first page beside the test, for people to look at.
    void KeepForPeople(const QString& name) const;
    int Pages() const;

    QTemporaryDir FDir;
    TMainFormFixture FForm;
    QString FPdf;
    QStringList FErrors;
};

namespace {

// The fields of a line, with field `index` (from 0 on that line) replaced.
QByteArray WithField(const QByteArray& line, int index, const QByteArray& value)
{
    QList<QByteArray> fields = line.split('|');
    fields[index] = value;
    return fields.join('|');
}

// A parameter line of short values, so that every row of the grid takes one
// line of print: Param.-ID "P<k>".
QByteArray ShortParameter(int k)
{
    return "2|P" + QByteArray::number(k) + "|Nitrat|a|b|1,5|0|mg/l|V|L|N|";
}

// Words w001 to wN, so that a cut or a lost word shows.
QByteArray Words(const char* prefix, int count)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += (i > 1 ? " " : "") + QByteArray(prefix) + QByteArray::number(i).rightJustified(3, '0');
    return text;
}

} // namespace

void TMainPrintTest::init()
{
    QVERIFY(FDir.isValid());
    FPdf = FDir.filePath(QStringLiteral("druck.pdf"));
    QFile::remove(FPdf);
    FErrors.clear();
    FForm.Start([this](const QString&, const QString& text) { FErrors << text; });
}

void TMainPrintTest::cleanup() { FForm.Stop(); }

void TMainPrintTest::Open(const QByteArray& text, const QString& name)
{
    const QString path = Write(FDir, text, name);
    QVERIFY(!path.isEmpty());
    FForm->OpenTransferFile(path);
}

void TMainPrintTest::PrintToPdf(void (TMainForm::*print)(), const QPageRanges& ranges)
{
    FForm->SetPrintDialog([this, ranges](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(FPdf);
        printer.setPageRanges(ranges);
        return true;
    });
    if (print != nullptr)
        (FForm.get()->*print)();
}

QString TMainPrintTest::Text(int page) const { return PdfReading::Text(FPdf, page); }

void TMainPrintTest::KeepForPeople(const QString& name) const
{
    PdfReading::KeepForPeople(FPdf, QStringLiteral(MORVASK_TEST_OUTPUT_DIR "/") + name, 80);
}

int TMainPrintTest::Pages() const { return PdfReading::Pages(FPdf); }

#ifdef Q_OS_WIN
#define TEXT_OF_PDF_OR_SKIP() QSKIP("poppler's tools are Linux programs; under Wine the pages are counted only")
#else
#define TEXT_OF_PDF_OR_SKIP()
#endif

void TMainPrintTest::ExaminationOnPaper()
{
    // Field 14 of the second examination holds Windows-1252 characters.
    QList<QByteArray> second = Block(1, 2);
    second[0] = WithField(second[0], 13, "Wasserwerk \x84S\xFC"
                                         "d\x93 5 \x80 \xB5g/l 20 \xB0"
                                         "C \xC4\xD6\xDC\xDF");
    Open(Join(Block(0, 1) + second));
    FindComponent<TStringGrid>(*FForm, "sgObjectList")->SetRow(3);
    FForm->sgObjectListClick();
    QCOMPARE(FForm->CurrentIndex(), 1);

    const QString before = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    PrintToPdf(&TMainForm::PrintShown);
    QVERIFY(FErrors.isEmpty());
    QCOMPARE(Pages(), 1);
    KeepForPeople(QStringLiteral("print-examination"));
    TEXT_OF_PDF_OR_SKIP();
    const QString text = Text();
    const QString after = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    QVERIFY(text.contains(before) || text.contains(after));
    for (const QString& expected :
         {QStringLiteral("Morvask-Betrachter"), QStringLiteral("Datei: WVMO_261015_093000.DAT"),
          QStringLiteral("Pfad: ") + QDir::toNativeSeparators(FDir.filePath(QStringLiteral("WVMO_261015_093000.DAT"))),
          QStringLiteral("Untersuchung 2 von 2, erste Zeile in Datei: 5"), QStringLiteral("Entnahmestelle"),
          QStringLiteral("Betreiber (WVU)"), QStringLiteral("Probe-Daten"), QStringLiteral("Datei-Format"),
          QStringLiteral("Übermittlung der Ergebnisse von Trinkwasseruntersuchungen"),
          QStringLiteral("vom Wasserversorgungsunternehmen zum Gesundheitsamt"),
          QStringLiteral("Analyse-Daten (2 Parameter):"), QStringLiteral("Wasserwerk „Süd“ 5 € µg/l 20 °C ÄÖÜß"),
          QStringLiteral("Seite 1 von 1")})
        QVERIFY2(text.contains(expected), qPrintable(expected));
    // Every field the window shows, with its caption and number.
    for (int field = FirstFieldNumber; field <= 42; ++field) {
        const TFieldCaption& caption = FieldCaption(field);
        if (!caption.Shown)
            continue;
        const QString captioned = QString::fromUtf8(caption.Caption.data(), qsizetype(caption.Caption.size())) +
                                  QStringLiteral(" (%1)").arg(field);
        QVERIFY2(text.contains(captioned), qPrintable(captioned));
        if (field != 14)
            QVERIFY2(text.contains(QStringLiteral("b1f%1").arg(field)), qPrintable(captioned));
    }
    // The grid's headings and every cell of both parameters.
    for (int col = 0; col < TInvestigationCells::SampleCols; ++col)
        for (int row = 0; row < 2; ++row)
            QVERIFY(text.contains(TInvestigationCells::SampleHeader(col, row)));
    for (int field : {44, 45, 48, 49, 50, 51, 52, 53})
        for (int k = 0; k < 2; ++k)
            QVERIFY2(text.contains(QStringLiteral("b1p%1f%2").arg(k).arg(field)), qPrintable(QString::number(field)));
    // Only the shown examination.
    QVERIFY(!text.contains(QStringLiteral("b0f")));
}

void TMainPrintTest::LongTextsWrap()
{
    QList<QByteArray> block = Block(0, 1);
    const QByteArray unbroken = QByteArray(400, 'X') + "END";
    block[0] = WithField(block[0], 14, Words("w", 150)); // field 15
    block[0] = WithField(block[0], 3, unbroken); // field 4
    block[2] = WithField(block[2], 2, Words("p", 80)); // field 45
    Open(Join(block));
    PrintToPdf(&TMainForm::PrintShown);
    QVERIFY(FErrors.isEmpty());
    TEXT_OF_PDF_OR_SKIP();
    QString text = Text();
    for (const char* prefix : {"w", "p"}) {
        const QStringList words = QString::fromLatin1(Words(prefix, prefix[0] == 'w' ? 150 : 80)).split(QLatin1Char(' '));
        for (const QString& word : words)
            QVERIFY2(text.count(QRegularExpression(QStringLiteral("\\b%1\\b").arg(word))) == 1, qPrintable(word));
    }
    // A word without a break point is broken anywhere, every letter kept.
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    QVERIFY(text.contains(QString::fromLatin1(unbroken)));
}

void TMainPrintTest::TableOverManyPages()
{
    constexpr int Parameters = 2000;
    QList<QByteArray> lines{Header1(0), Header2(0)};
    for (int k = 0; k < Parameters; ++k)
        lines << ShortParameter(k);
    lines << EndLine(Parameters);
    Open(Join(lines));
    PrintToPdf(&TMainForm::PrintShown);
    QVERIFY(FErrors.isEmpty());

    // A page below the first holds as many one-line rows as fit under the
    // heading rows; the first holds fewer, below the master data.
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer, QString());
    TReportLayout layout(FForm->ShownReport(), &printer, printer.pageRect(QPrinter::DevicePixel).size());
    const TReportLayout::TTableFigures figures = layout.TableFigures(0);
    const int perPage = static_cast<int>(std::floor((figures.Body - figures.TableHead) / figures.Row + 1e-9));
    QVERIFY(perPage > 10);
    const int pages = Pages();
    TEXT_OF_PDF_OR_SKIP();
    const QString first = Text(1);
    const int onFirst = static_cast<int>(first.count(QRegularExpression(QStringLiteral("\\bP\\d+\\b"))));
    QVERIFY(onFirst > 0 && onFirst < perPage);
    QCOMPARE(pages, 1 + (Parameters - onFirst + perPage - 1) / perPage);

    int next = 0;
    for (int page = 1; page <= pages; ++page) {
        const QString text = page == 1 ? first : Text(page);
        QVERIFY(text.contains(QStringLiteral("Seite %1 von %2").arg(page).arg(pages)));
        for (const QString& heading : {QStringLiteral("Param.-ID"), QStringLiteral("Feld 44"), QStringLiteral("Ausnahme")})
            QVERIFY2(text.contains(heading), qPrintable(QStringLiteral("page %1").arg(page)));
        // The rows go on where the last page ended, none lost, none twice.
        QRegularExpressionMatchIterator rows = QRegularExpression(QStringLiteral("\\bP(\\d+)\\b")).globalMatch(text);
        int onPage = 0;
        while (rows.hasNext()) {
            QCOMPARE(rows.next().captured(1).toInt(), next++);
            ++onPage;
        }
        if (page > 1 && page < pages)
            QCOMPARE(onPage, perPage);
    }
    QCOMPARE(next, Parameters);
}

void TMainPrintTest::ColumnsFitTheirValues()
{
    // Values as laboratories send them: procedure names of numbers and
    // hyphens, and one long exemption among empty ones; the page has room
    // for most values of each column on one line.
    const QByteArray exemption = "Ausnahmegenehmigung des Gesundheitsamtes vom 01.03.2026 bis 28.02.2027 (Az. "
                                 "53.2-4711/26), Ma\xDFnahmenplan liegt vor";
    const QList<QByteArray> parameters{
        "2|4009|Fluorid|||0,53|eingehalten|mg/l|DIN EN ISO 10304-1:2009-07|L0815||",
        "2|4002|Mangan|||0,008|eingehalten|mg/l|DIN EN ISO 11885:2009-09|L0815||",
        "2|4006|Uran|||0,0024|nicht bewertet|mg/l|DIN EN ISO 17294-2:2017-01|L0815|" + exemption + "|",
        "2|1021|Koloniezahl bei 22 \xB0"
        "C|||19|nicht bewertet|KBE/ml|TrinkwV \xA7 43 Abs. 3|L0815||",
        "2|1043|Coliforme Bakterien|||0|eingehalten|KBE/100 ml|DIN EN ISO 9308-1:2017-09|L0815||",
        "2|3001|Nitrat|||14,3|eingehalten|mg/l|DIN EN ISO 10304-1:2009-07|L0815||",
    };
    QList<QByteArray> lines{Header1(0), Header2(0)};
    lines += parameters;
    lines << EndLine(static_cast<int>(parameters.size()));
    Open(Join(lines));
    PrintToPdf(&TMainForm::PrintShown);
    QVERIFY(FErrors.isEmpty());
    KeepForPeople(QStringLiteral("print-long-values"));
    TEXT_OF_PDF_OR_SKIP();
    const QString text = Text();
    // Where the page has room, a value stands on one line.
    for (const QString& whole :
         {QStringLiteral("DIN EN ISO 10304-1:2009-07"), QStringLiteral("DIN EN ISO 17294-2:2017-01"),
          QStringLiteral("DIN EN ISO 9308-1:2017-09"), QStringLiteral("TrinkwV § 43 Abs. 3"),
          QStringLiteral("DIN EN ISO 11885:2009-09"), QStringLiteral("nicht bewertet")})
        QVERIFY2(text.contains(whole), qPrintable(whole));
    // The long one wraps at its blanks or hyphens, every word whole; the
    // reader joins a line that ends in a hyphen to the next without it.
    const QString unhyphenated = QString(text).remove(QLatin1Char('-'));
    for (const QString& word : QString::fromLatin1(exemption).split(QLatin1Char(' ')))
        QVERIFY2(unhyphenated.contains(QString(word).remove(QLatin1Char('-'))), qPrintable(word));
}

void TMainPrintTest::HeadingNeverEndsAPage()
{
    // The table begins one line lower in each section, so that across them
    // its heading rows reach every place near a page's foot; each row is
    // three lines high.
    constexpr int Sections = 90;
    TReport report;
    report.Title = QStringLiteral("Bericht");
    report.SectionCount = Sections;
    report.Section = [](int index) {
        TReportSection section;
        section.Heading = {QStringLiteral("Abschnitt %1").arg(index)};
        TReportBlock block{QStringLiteral("Vorlauf"), Qt::lightGray, Qt::black, {}, {}};
        for (int line = 0; line < index; ++line)
            block.Lines << QStringLiteral("Zeile");
        section.Blocks.push_back(block);
        section.Table.Title = QStringLiteral("Tabelle");
        section.Table.Columns = {{QStringLiteral("Spaltenkopf"), QStringLiteral("Zweitkopf"), 1},
                                 {QStringLiteral("Wert"), QString(), 1}};
        section.Table.RowCount = 3;
        section.Table.Cell = [](int row, int col) {
            return col == 0 ? QStringLiteral("R%1\nzwei\ndrei").arg(row) : QStringLiteral("x");
        };
        return section;
    };
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer, QString());
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(FPdf);
    QCOMPARE(PrintReport(report, printer), QString());
    TEXT_OF_PDF_OR_SKIP();
    const QStringList pages = Text().split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QVERIFY(pages.size() > Sections);
    int continued = 0;
    for (const QString& page : pages) {
        if (!page.contains(QStringLiteral("Spaltenkopf")))
            continue;
        QVERIFY2(page.contains(QRegularExpression(QStringLiteral("\\bR\\d\\b"))), qPrintable(page));
        if (!page.contains(QStringLiteral("Tabelle")))
            ++continued;
    }
    // Tables did run over a page's end.
    QVERIFY(continued > 0);
}

void TMainPrintTest::AllInvestigationsAndRanges()
{
    // The second examination runs over more than one page on any paper font.
    constexpr int Long = 150;
    QList<QByteArray> lines = Block(0, 1);
    lines << Header1(1) << Header2(1);
    for (int k = 0; k < Long; ++k)
        lines << ShortParameter(k);
    lines << EndLine(Long);
    Open(Join(lines + Block(2, 0)));
    PrintToPdf(&TMainForm::PrintAllInvestigations);
    QVERIFY(FErrors.isEmpty());
    const int pages = Pages();
    QVERIFY(pages >= 4);
    TEXT_OF_PDF_OR_SKIP();
    // Each examination from a new page: its master data open its first page,
    // its heading stands on every one of its pages.
    int shown = 0;
    for (int page = 1; page <= pages; ++page) {
        const QString text = Text(page);
        QVERIFY(text.contains(QStringLiteral("Seite %1 von %2").arg(page).arg(pages)));
        const bool opens = text.contains(QStringLiteral("Entnahmestelle"));
        if (opens)
            ++shown;
        QVERIFY2(text.contains(QStringLiteral("Untersuchung %1 von 3").arg(shown)), qPrintable(QString::number(page)));
        QCOMPARE(text.contains(QStringLiteral("b%1f16").arg(shown - 1)), opens);
    }
    QCOMPARE(shown, 3);

    // The dialog's range: the second and the last page of the same print.
    QPageRanges ranges;
    ranges.addPage(2);
    ranges.addPage(pages);
    PrintToPdf(&TMainForm::PrintAllInvestigations, ranges);
    QCOMPARE(Pages(), 2);
    QVERIFY(Text(1).contains(QStringLiteral("Seite 2 von %1").arg(pages)));
    QVERIFY(Text(2).contains(QStringLiteral("Seite %1 von %1").arg(pages)));
    QVERIFY(Text(2).contains(QStringLiteral("b2f16")));

    // A range outside the print says so and writes nothing.
    QFile::remove(FPdf);
    ranges.clear();
    ranges.addRange(pages + 1, pages + 3);
    PrintToPdf(&TMainForm::PrintAllInvestigations, ranges);
    QVERIFY(!QFile::exists(FPdf));
    QCOMPARE(FErrors,
             QStringList{QStringLiteral("Der gewählte Seitenbereich liegt außerhalb der %1 Seiten des Drucks.").arg(pages)});
}

void TMainPrintTest::Findings()
{
    QList<QByteArray> lines = Block(0, 2);
    lines[2] = "2|zu|wenig|";
    lines[4] = "3|5";
    Open(Join(lines), QStringLiteral("Prüfung €.dat"));
    auto* memo = FindComponent<QPlainTextEdit>(*FForm, "memErrorText");
    QVERIFY(memo->isVisibleTo(FForm.get()));
    const QStringList messages = memo->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!messages.isEmpty());
    // What the user typed into the panel is not what the check found.
    memo->setPlainText(QStringLiteral("getippt"));
    // The panel's own menu, with printing behind it.
    PrintToPdf(nullptr);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), memo->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(memo->viewport(), &event);
    QMenu* menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr);
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    QCOMPARE(texts.mid(texts.size() - 2), (QStringList{"Drucken…", "Druckvorschau…"}));
    menu->actions().at(texts.size() - 2)->trigger();
    menu->close();
    QVERIFY(FErrors.isEmpty());
    QCOMPARE(Pages(), 1);
    // Every examination is nothing to print in the error view.
    QFile::remove(FPdf);
    PrintToPdf(&TMainForm::PrintAllInvestigations);
    QVERIFY(!QFile::exists(FPdf));
    PrintToPdf(&TMainForm::PrintShown);
    KeepForPeople(QStringLiteral("print-findings"));
    TEXT_OF_PDF_OR_SKIP();
    // The reader gives runs of blanks as one.
    const QString text = Text().simplified();
    QVERIFY(text.contains(QStringLiteral("Beim Öffnen der Datei sind die folgenden Fehler aufgetreten:")));
    QVERIFY(text.contains(QStringLiteral("Datei: Prüfung €.dat")));
    QVERIFY(!text.contains(QStringLiteral("getippt")));
    for (const QString& message : messages)
        QVERIFY2(text.contains(message.simplified()), qPrintable(message));
}

void TMainPrintTest::NothingPrinted()
{
    // No file shown: the dialog is not even asked.
    bool asked = false;
    FForm->SetPrintDialog([&asked](QPrinter&, QWidget*) { return asked = true; });
    FForm->PrintShown();
    FForm->PreviewShown();
    QVERIFY(!asked);

    // Cancelled: nothing written.
    Open(Join(Block(0, 1)));
    FForm->SetPrintDialog([this](QPrinter& printer, QWidget*) {
        printer.setOutputFileName(FPdf);
        return false;
    });
    FForm->PrintShown();
    QVERIFY(!QFile::exists(FPdf));

    // A file that cannot be written says so.
    FPdf = FDir.filePath(QStringLiteral("fehlt/druck.pdf"));
    PrintToPdf(&TMainForm::PrintShown);
    QCOMPARE(FErrors, QStringList{QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden.")
                                      .arg(QDir::toNativeSeparators(FPdf))});
}

void TMainPrintTest::Preview()
{
    Open(Join(Block(0, 1)));
    QVERIFY(FForm.Show());
    int previewed = -1;
    int laidOut = -1;
    // The preview shows what the layout makes of the shown examination.
    QTimer::singleShot(0, this, [&] {
        QVERIFY(QTest::qWaitFor([] { return qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget()); }));
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        auto* widget = dialog->findChild<QPrintPreviewWidget*>();
        QVERIFY(QTest::qWaitFor([widget] { return widget->pageCount() > 0; }));
        previewed = widget->pageCount();
        QPrinter printer(QPrinter::HighResolution);
        PreparePrinter(printer, QString());
        laidOut = TReportLayout(FForm->ShownReport(), &printer, printer.pageRect(QPrinter::DevicePixel).size()).PageCount();
        dialog->reject();
    });
    FForm->PreviewShown();
    QCOMPARE(previewed, 1);
    QCOMPARE(laidOut, 1);
    QVERIFY(FErrors.isEmpty());
}

void TMainPrintTest::SystemDialogAndKey()
{
    Open(Join(Block(0, 3)));
    QVERIFY(FForm.Show());
    const QImage before = FForm->grab().toImage();

    // Ctrl+P goes to the dialog; a confirmed print leaves the window as it was.
    PrintToPdf(&TMainForm::PrintShown);
    QFile::remove(FPdf);
    QTest::keyClick(FindComponent<TStringGrid>(*FForm, "sgSamples"), Qt::Key_P, Qt::ControlModifier);
    QTRY_VERIFY(QFile::exists(FPdf));
    QCOMPARE(FForm->grab().toImage(), before);

#ifdef Q_OS_WIN
    QSKIP("Windows shows its own print dialog, played from a second thread in SystemPrintDialogTest");
#else
    // The system's dialog opens on Ctrl+P; cancelled, it prints nothing.
    QFile::remove(FPdf);
    FForm->SetPrintDialog([this](QPrinter& printer, QWidget* parent) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(FPdf);
        return SystemPrintDialog(printer, parent);
    });
    bool shown = false;
    QTimer::singleShot(0, this, [&shown] {
        shown = QTest::qWaitFor([] { return qobject_cast<QPrintDialog*>(QApplication::activeModalWidget()); });
        if (shown)
            QApplication::activeModalWidget()->close();
    });
    QTest::keyClick(FindComponent<TStringGrid>(*FForm, "sgObjectList"), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(shown);
    QVERIFY(!QFile::exists(FPdf));
    QVERIFY(FErrors.isEmpty());
#endif
}

QTEST_MAIN(TMainPrintTest)
#include "MainPrintTest.moc"
