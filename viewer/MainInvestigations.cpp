#include "Main.h"

// Placeholders until the loader and the detail display land.
void TMainForm::SetHintDisplayTime() {}
void TMainForm::WriteObjectListHeader() {}
void TMainForm::WriteSamplesHeader() {}
void TMainForm::LoadInvestigations(const QString&) {}
void TMainForm::ClearInvestigations() {}
void TMainForm::ShowInvestigation() {}
void TMainForm::UpdateFieldHints() {}
void TMainForm::sgObjectListClick() {}
