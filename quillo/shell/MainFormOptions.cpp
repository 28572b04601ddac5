// The main window's Options menu: toolbars, rulers, the tool options window's sheets and the
// brush paint mode.

#include "quillo/shell/MainForm.h"

#include "platform/vcl/Menus.h"

void TMainForm::ConnectOptionsCommands() {}
void TMainForm::ToolbarClose(TObject*) { ToolbarVisib->SetChecked(false); }
void TMainForm::RulersVisibClick(TObject*) {}
void TMainForm::PaletteVisibClick(TObject*) {}
void TMainForm::BrushVisibClick(TObject*) {}
void TMainForm::HistVisibClick(TObject*) {}
void TMainForm::Paint1Click(TObject*) {}
void TMainForm::Color1Click(TObject*) {}
void TMainForm::Replace1Click(TObject*) {}
