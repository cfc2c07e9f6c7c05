#include "Main.h"

#include <QScreen>

#include "CodeListFolder.h"
#include "CompareForm.h"
#include "ContentCheckForm.h"

void TMainForm::CheckContent()
{
    if (FFileName.empty())
        return;
    const std::optional<std::string> folder =
        FCodeListFolderLookup ? FCodeListFolderLookup() : FindCodeListFolder(ProgramFolder());
    auto* form = new TfrmContentCheck(FFileName, folder, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->SetErrorSink(FErrorSink);
    form->SetPrintDialog(FPrintDialog);
    form->SetLook(CompareLook());
    form->SetShowInvestigation([this](std::int64_t line, std::int64_t parameterLine) {
        return ShowInvestigationAtLine(line, parameterLine);
    });
    if (FContentCheckForm)
        FContentCheckForm->close();
    FContentCheckForm = form;
    // Beside this window rather than over it, so that what it shows stays in sight.
    if (const QScreen* screen = this->screen()) {
        const QSize frame = form->size() + (frameGeometry().size() - size());
        form->move(TfrmCompare::PlaceBeside(frameGeometry(), frame, screen->availableGeometry()));
    }
    form->show();
}

TfrmContentCheck* TMainForm::ContentCheckForm() const { return FContentCheckForm.data(); }
