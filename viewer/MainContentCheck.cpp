#include "Main.h"

#include "CodeListFolder.h"
#include "ContentCheckForm.h"

void TMainForm::CheckContent()
{
    if (FFileName.empty())
        return;
    const std::optional<std::string> folder =
        FCodeListFolderLookup ? FCodeListFolderLookup() : FindCodeListFolder(ProgramFolder());
    auto* form = new TfrmContentCheck(FFileName, folder, this);
    if (FContentCheckForm)
        FContentCheckForm->close();
    FContentCheckForm = form;
    OpenBeside(form);
}

TfrmContentCheck* TMainForm::ContentCheckForm() const { return FContentCheckForm.data(); }
