#include "Main.h"

#include "ui_Main.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPrinter>

#include <algorithm>
#include <memory>
#include <span>

#include "DisplayText.h"
#include "ErrorDisplay.h"
#include "FieldCaptions.h"
#include "InvestigationCells.h"
#include "Label.h"
#include "LayoutBlocks.h"
#include "Panel.h"
#include "ReportParts.h"
#include "StringGrid.h"

namespace {

const QString KFindingsTitle = QStringLiteral("Beim Öffnen der Datei sind die folgenden Fehler aufgetreten:");

QColor Colour(const TLayoutColour& colour) { return QColor(colour.Red, colour.Green, colour.Blue); }

// A block of the window as the report repeats it for each examination; its
// texts are taken when the report is made, as the window shows them then.
struct TBlockPlan {
    QString Title;
    QColor Colour;
    QColor TitleColour;
    QStringList Lines;
    std::span<const int> Fields;
};

std::vector<TBlockPlan> BlockPlans(const QWidget* detail)
{
    std::vector<TBlockPlan> plans;
    for (const TLayoutBlock& block : LayoutBlocks()) {
        TBlockPlan plan{Utf8ToQString(block.Title), Colour(block.Colour), Colour(block.TitleColour), {}, block.Fields};
        for (const std::string_view name : block.TextLabels) {
            const auto* label = detail->findChild<const QLabel*>(Utf8ToQString(name));
            if (label != nullptr && !label->text().isEmpty())
                plan.Lines << label->text();
        }
        plans.push_back(std::move(plan));
    }
    return plans;
}

} // namespace

void TMainForm::SetUpPrinting()
{
    auto* print = new QAction(QStringLiteral("Drucken…"), this);
    print->setShortcut(QKeySequence::Print);
    print->setShortcutContext(Qt::WindowShortcut);
    connect(print, &QAction::triggered, this, [this] { Guarded([this] { PrintShown(); }, FErrorSink); });
    addAction(print);

    // The error text keeps its own menu; printing comes after it.
    ui->memErrorText->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->memErrorText, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        QMenu* menu = ui->memErrorText->createStandardContextMenu(position);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        AddPrintActions(menu, false);
        menu->popup(ui->memErrorText->viewport()->mapToGlobal(position));
    });
}

void TMainForm::AddPrintActions(QMenu* menu, bool withAll)
{
    menu->addSeparator();
    QAction* print = menu->addAction(QStringLiteral("Drucken…"), this, [this] { Guarded([this] { PrintShown(); }, FErrorSink); });
    print->setShortcut(QKeySequence::Print);
    if (withAll) {
        QAction* all = menu->addAction(QStringLiteral("Alle Untersuchungen drucken…"), this,
                                       [this] { Guarded([this] { PrintAllInvestigations(); }, FErrorSink); });
        all->setEnabled(FInvestigationCount > 0 && !ui->pnlErrorText->isVisibleTo(this));
    }
    menu->addAction(QStringLiteral("Druckvorschau…"), this, [this] { Guarded([this] { PreviewShown(); }, FErrorSink); });
}

TReport TMainForm::ShownReport() const
{
    TReport report;
    report.Title = KReportProgramName;
    report.Printed = ReportPrintedAt();
    if (ui->pnlErrorText->isVisibleTo(this)) {
        QStringList lines = Cp1252ToQString(FFindings).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        report.SectionCount = 1;
        report.Section = [heading = ReportFileHeading(FCheckedPath), lines = std::move(lines)](int) {
            TReportSection section;
            section.Heading = heading;
            section.TextTitle = KFindingsTitle;
            section.TextLines = lines;
            return section;
        };
        return report;
    }
    if (FCurrentIndex < 0 || FCurrentIndex >= FInvestigationCount)
        return report;
    TReport all = AllInvestigationsReport();
    report.SectionCount = 1;
    report.Section = [all = std::move(all.Section), index = FCurrentIndex](int) { return all(index); };
    return report;
}

TReport TMainForm::AllInvestigationsReport() const
{
    TReport report;
    report.Title = KReportProgramName;
    report.Printed = ReportPrintedAt();
    report.SectionCount = FInvestigationCount;
    auto plans = std::make_shared<const std::vector<TBlockPlan>>(BlockPlans(ui->gbObjectData));
    std::vector<TReportColumn> columns;
    for (int c = 0; c < TInvestigationCells::SampleCols; ++c)
        columns.push_back({TInvestigationCells::SampleHeader(c, 0), TInvestigationCells::SampleHeader(c, 1),
                           std::max(1, ui->sgSamples->ColWidth(c))});
    const QColor tableColour = ui->Panel4->Color();
    const QColor tableTitleColour = ui->lblSampleTitle->FontColor();
    const QStringList file = ReportFileHeading(FFileName);
    const int count = FInvestigationCount;

    report.Section = [this, plans, columns, tableColour, tableTitleColour, file, count](int index) {
        TReportSection section;
        section.Heading = file;
        section.Heading << QStringLiteral("Untersuchung %1 von %2, erste Zeile in Datei: %3")
                               .arg(index + 1)
                               .arg(count)
                               .arg(FInvestigations.FirstLineIndex(index) + 1);
        for (const TBlockPlan& plan : *plans) {
            TReportBlock block{plan.Title, plan.Colour, plan.TitleColour, plan.Lines, {}};
            for (const int field : plan.Fields) {
                const QString caption = QStringLiteral("%1 (%2)").arg(Utf8ToQString(FieldCaption(field).Caption)).arg(field);
                block.Fields.push_back({caption, Cp1252ToQString(FInvestigations.Field(index, field - 1))});
            }
            section.Blocks.push_back(std::move(block));
        }
        const int parameters = FInvestigations.ParameterCount(index);
        section.Table.Title = QStringLiteral("Analyse-Daten (%1 Parameter):").arg(parameters);
        section.Table.Colour = tableColour;
        section.Table.TitleColour = tableTitleColour;
        section.Table.Columns = columns;
        section.Table.RowCount = parameters;
        section.Table.Cell = [this, index](int row, int col) {
            return TInvestigationCells::SampleCell(FInvestigations, index, col, row + TInvestigationCells::HeaderRows);
        };
        return section;
    };
    return report;
}

void TMainForm::Print(const TReport& report)
{
    if (report.SectionCount == 0) {
        QApplication::beep();
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer, ReportDocumentName(FCheckedPath));
    if (FPrintDialog(printer, this))
        SendReportToPrinter(report, printer, FErrorSink);
}

void TMainForm::PrintShown() { Print(ShownReport()); }

void TMainForm::PrintAllInvestigations()
{
    if (ui->pnlErrorText->isVisibleTo(this)) {
        QApplication::beep();
        return;
    }
    Print(AllInvestigationsReport());
}

void TMainForm::PreviewShown()
{
    const TReport report = ShownReport();
    if (report.SectionCount == 0) {
        QApplication::beep();
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer, ReportDocumentName(FCheckedPath));
    SystemPrintPreview(printer, this, [this, &report](QPrinter* target) {
        Guarded([this, &report, target] { SendReportToPrinter(report, *target, FErrorSink); }, FErrorSink);
    });
}
