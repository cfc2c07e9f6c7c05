#include "Main.h"

#include "ui_Main.h"

#include <QFileInfo>
#include <QScreen>

#include <algorithm>
#include <optional>

#include "CheckPath.h"
#include "CompareForm.h"
#include "FieldLayout.h"
#include "InvestigationCells.h"
#include "StringGrid.h"

void TMainForm::CompareWithOtherFile()
{
    if (FFileName.empty())
        return;
    // The dialog of the start, in the folder of the shown file.
    const TPathSource source = FOtherFileSource ? FOtherFileSource
                                                : OpenDialogChoice(QFileInfo(CheckPathText(FFileName)).absolutePath());
    const std::optional<std::string> other = source(this);
    if (!other)
        return;
    auto* form = new TfrmCompare(FFileName, *other, this);
    if (FCompareForm)
        FCompareForm->close();
    FCompareForm = form;
    OpenBeside(form);
}

void TMainForm::OpenBeside(TFindingsDialog* form)
{
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->SetErrorSink(FErrorSink);
    form->SetPrintDialog(FPrintDialog);
    form->SetLook(CompareLook());
    form->SetShowInvestigation([this](std::int64_t line, std::int64_t parameterLine) {
        return ShowInvestigationAtLine(line, parameterLine);
    });
    // Beside this window rather than over it, so that what it shows stays in sight.
    if (const QScreen* screen = this->screen()) {
        const QSize frame = form->size() + (frameGeometry().size() - size());
        form->move(TFindingsDialog::PlaceBeside(frameGeometry(), frame, screen->availableGeometry()));
    }
    form->show();
}

TfrmCompare* TMainForm::CompareForm() const { return FCompareForm.data(); }

// The summary as the file format block, the differences as the analysis grid.
TCompareLook TMainForm::CompareLook() const
{
    return {ui->Panel5->Color(), ui->Label64->FontColor(), ui->Panel4->Color(), ui->lblSampleTitle->FontColor()};
}

bool TMainForm::ShowInvestigationAtLine(std::int64_t line, std::int64_t parameterLine)
{
    // First lines grow from one examination to the next.
    int low = 0, high = FInvestigationCount;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (FInvestigations.FirstLineIndex(mid) < line - 1)
            low = mid + 1;
        else
            high = mid;
    }
    if (line < 1 || low >= FInvestigationCount || FInvestigations.FirstLineIndex(low) != line - 1)
        return false;
    FCurrentIndex = low;
    ui->sgObjectList->SetRow(low + TInvestigationCells::HeaderRows);
    ShowInvestigation();
    // The grid numbers the parameter lines from the examination's first line
    // on, as its column "Zeilen-Nr." shows them.
    const std::int64_t k = parameterLine - line - FieldLayout::HeaderLines;
    if (parameterLine > 0 && k >= 0 && k < FInvestigations.ParameterCount(low))
        ui->sgSamples->SetRow(static_cast<int>(k) + TInvestigationCells::HeaderRows);
    return true;
}
