#include "Main.h"

#include "ui_Main.h"

#include <QFontMetrics>
#include <QLabel>

#include "CheckPath.h"
#include "DisplayText.h"
#include "ErrorDisplay.h"
#include "FieldHints.h"
#include "InvestigationCells.h"
#include "Panel.h"

namespace {

constexpr int HeaderRows = TInvestigationCells::HeaderRows;
constexpr int HintDisplayTime = 10000; // ms

int Tag(const QObject* object) { return object->property("tag").toInt(); }

} // namespace

void TMainForm::SetHintDisplayTime()
{
    // Qt has no application-wide display time; every label that carries a
    // field hint gets it.
    for (QLabel* label : findChildren<QLabel*>())
        if (Tag(label) > 0)
            label->setToolTipDuration(HintDisplayTime);
}

void TMainForm::WriteObjectListHeader()
{
    TStringGrid* grid = ui->sgObjectList;
    for (int row = 0; row < HeaderRows; ++row)
        for (int col = 0; col < TInvestigationCells::ObjectListCols; ++col)
            grid->SetCell(col, row, TInvestigationCells::ObjectListHeader(col, row));
    // The rows below come from the loaded examinations when they are drawn.
    grid->SetCellSource(
        [this](int col, int row) { return TInvestigationCells::ObjectListCell(FInvestigations, col, row); });
}

void TMainForm::WriteSamplesHeader()
{
    TStringGrid* grid = ui->sgSamples;
    for (int row = 0; row < HeaderRows; ++row)
        for (int col = 0; col < TInvestigationCells::SampleCols; ++col)
            grid->SetCell(col, row, TInvestigationCells::SampleHeader(col, row));
}

void TMainForm::LoadInvestigations(const std::string& path)
{
    if (FInvestigationCount > 0)
        ClearInvestigations();
    FCurrentIndex = 0;
    // A failure to read leaves nothing loaded and propagates to the caller.
    FInvestigations.Load(path);
    ListInvestigations();
}

void TMainForm::ListInvestigations()
{
    FInvestigationCount = FInvestigations.Count();

    ui->gbObjectList->setTitle(
        QStringLiteral(" Mit dieser Datei werden %1 Untersuchungen übermittelt:  ").arg(FInvestigationCount));
    // The rows are drawn from the examinations as they come into view.
    ui->sgObjectList->SetRowCount(FInvestigationCount + HeaderRows);
    // The first examination row stays selected, matching the examination shown.
    ui->sgObjectList->SetRow(HeaderRows);
    ui->sgObjectList->viewport()->update();
}

void TMainForm::ClearInvestigations()
{
    FInvestigations.Clear();
    FInvestigationCount = 0;
}

void TMainForm::ShowInvestigation()
{
    // Nothing is loaded (a failed or half-finished open): nothing to show.
    if (FCurrentIndex < 0 || FCurrentIndex >= FInvestigationCount)
        return;
    const int index = FCurrentIndex;

    for (QObject* child : ui->gbObjectData->children()) {
        auto* block = qobject_cast<TPanel*>(child);
        if (block == nullptr || Tag(block) != 1)
            continue;
        for (QObject* blockChild : block->children()) {
            auto* label = qobject_cast<QLabel*>(blockChild);
            if (label == nullptr || Tag(label) <= 0)
                continue;
            label->setText(Cp1252ToQString(FInvestigations.Field(index, Tag(label) - 1)));
        }
    }

    const int parameters = FInvestigations.ParameterCount(index);
    // The parameter rows are drawn from the examination as they come into
    // view, so even 100 000 of them cost nothing here.
    ui->sgSamples->SetCellSource([this, index](int col, int row) {
        return TInvestigationCells::SampleCell(FInvestigations, index, col, row);
    });
    ui->sgSamples->SetRowCount(parameters + HeaderRows);
    ui->lblSampleTitle->setText(QStringLiteral("Analyse-Daten (%1 Parameter):").arg(parameters));

    UpdateFieldHints();
}

void TMainForm::UpdateFieldHints()
{
    for (QLabel* label : findChildren<QLabel*>()) {
        const int tag = Tag(label);
        if (tag <= 0)
            continue;
        QString hint = QStringLiteral("Feld %1").arg(tag);
        const QString text = label->text();
        if (QFontMetrics(label->font()).horizontalAdvance(text) > label->width())
            hint = WrapText(hint + QStringLiteral(": ") + text);
        SetLabelHint(label, hint);
    }
}

void TMainForm::sgObjectListClick()
{
    Guarded([this] {
        // While the error panel is up the list belongs to no loaded file.
        if (ui->pnlErrorText->isVisibleTo(this))
            return;
        const int index = ui->sgObjectList->Row() - HeaderRows;
        if (index < 0 || index >= FInvestigationCount)
            return;
        FCurrentIndex = index;
        ShowInvestigation();
    },
            FErrorSink);
}
