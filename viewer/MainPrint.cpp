#include "Main.h"

#include "ui_Main.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPrinter>

#include <algorithm>
#include <memory>

#include "DisplayText.h"
#include "ErrorDisplay.h"
#include "FieldCaptions.h"
#include "InvestigationCells.h"
#include "Label.h"
#include "Panel.h"
#include "ReportParts.h"
#include "StringGrid.h"

namespace {

const QString KFindingsTitle = QStringLiteral("Beim Öffnen der Datei sind die folgenden Fehler aufgetreten:");

int Tag(const QObject* object) { return object->property("tag").toInt(); }

// A title or caption as a report names it: without the window's colon and blanks.
QString Bare(QString text) { return text.remove(QLatin1Char(':')).trimmed(); }

// A block of the window as the report repeats it for each examination.
struct TBlockPlan {
    QString Title;
    QColor Colour;
    QColor TitleColour;
    QStringList Lines; // the file format block's texts
    std::vector<int> Fields; // in the window's reading order
};

// Labels of one row in the layout differ by a pixel or two in height.
constexpr int RowTolerance = 6;

// The blocks of the detail area except the analysis grid's, column by column
// as the window shows them, their value boxes row by row.
std::vector<TBlockPlan> BlockPlans(const QWidget* detail)
{
    std::vector<const TPanel*> panels;
    for (const QObject* child : detail->children()) {
        const auto* panel = qobject_cast<const TPanel*>(child);
        if (panel != nullptr && panel->findChild<TStringGrid*>() == nullptr)
            panels.push_back(panel);
    }
    std::sort(panels.begin(), panels.end(), [](const TPanel* a, const TPanel* b) {
        return std::pair(a->x(), a->y()) < std::pair(b->x(), b->y());
    });

    std::vector<TBlockPlan> plans;
    for (const TPanel* panel : panels) {
        TBlockPlan plan;
        plan.Colour = panel->Color();
        std::vector<const QLabel*> values;
        std::vector<const QLabel*> texts;
        for (const QObject* child : panel->children()) {
            const auto* label = qobject_cast<const TLabel*>(child);
            if (label == nullptr)
                continue;
            if (Tag(label) > 0) {
                values.push_back(label);
            } else if (label->font().bold()) {
                plan.Title = Bare(label->text());
                plan.TitleColour = label->FontColor();
            } else {
                texts.push_back(label);
            }
        }
        std::sort(values.begin(), values.end(), [](const QLabel* a, const QLabel* b) {
            if (std::abs(a->y() - b->y()) > RowTolerance)
                return a->y() < b->y();
            return a->x() < b->x();
        });
        for (const QLabel* value : values)
            plan.Fields.push_back(Tag(value));
        // A block without value boxes shows its texts; the captions of the
        // others come from the window's caption table.
        if (values.empty()) {
            std::sort(texts.begin(), texts.end(), [](const QLabel* a, const QLabel* b) { return a->y() < b->y(); });
            for (const QLabel* text : texts) {
                if (!text->text().isEmpty())
                    plan.Lines << text->text();
            }
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
