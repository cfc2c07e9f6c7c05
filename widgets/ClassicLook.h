#pragma once

class QApplication;

// Fusion with the classic Windows system colours and the dialog font, so the
// fixed pixel layouts look the same on every desktop.
void ApplyClassicLook(QApplication& application);
