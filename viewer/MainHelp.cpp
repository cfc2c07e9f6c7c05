#include "Main.h"

#include "ErrorDisplay.h"
#include "HelpInfoForm.h"

#include <QKeyEvent>

void TMainForm::bbtnHelpInfoClick()
{
    Guarded([this] {
        if (FHelpForm != nullptr)
            FHelpForm->ShowModal();
    },
            FErrorSink);
}

// F1 opens the help whatever the modifiers and whatever the window shows; the
// key is consumed so that the focused component never sees it.
bool TMainForm::FormKeyDown(QKeyEvent* event)
{
    if (event->key() != Qt::Key_F1)
        return false;
    Guarded([this] {
        if (FHelpForm != nullptr)
            FHelpForm->ShowModal();
    },
            FErrorSink);
    return true;
}
