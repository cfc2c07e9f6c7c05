#include "Main.h"

#include "ui_Main.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

#include "CheckPath.h"
#include "CompareForm.h"
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
    TfrmCompare form(FFileName, *other, this);
    if (form.exec() == QDialog::Accepted)
        ShowInvestigationAtLine(form.ChosenInvestigationLine());
}

bool TMainForm::ShowInvestigationAtLine(std::int64_t line)
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
    return true;
}
