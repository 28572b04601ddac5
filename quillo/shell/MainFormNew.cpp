// File/New: the new-image dialog, then a blank document of the size asked for.

#include "quillo/shell/MainForm.h"

void TMainForm::ConnectNewCommand() {}
void TMainForm::New1Click(TObject*) {}
