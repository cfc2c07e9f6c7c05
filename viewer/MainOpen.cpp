#include "Main.h"

#include <QCloseEvent>

// Placeholders until start-up and opening land.
void TMainForm::FormActivate() {}
void TMainForm::OpenTransferFile(const QString&) {}
void TMainForm::FormDestroy() {}
void TMainForm::bbtnCloseClick() { close(); }
void TMainForm::closeEvent(QCloseEvent* event) { event->accept(); }
