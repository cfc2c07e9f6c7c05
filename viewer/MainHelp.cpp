#include "Main.h"

#include <QKeyEvent>

// Placeholders until the help window lands.
void TMainForm::bbtnHelpInfoClick() {}
bool TMainForm::FormKeyDown(QKeyEvent*) { return false; }
