// The main window's Help menu and the full-screen preview.

#include "quillo/shell/MainForm.h"

void TMainForm::ConnectHelpCommands() {}
void TMainForm::About1Click(TObject*) {}
void TMainForm::HomepageClick(TObject*) {}
void TMainForm::Tod1Click(TObject*) {}
void TMainForm::Preview1Click(TObject*) {}
