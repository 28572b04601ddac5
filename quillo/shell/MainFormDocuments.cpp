// What the main window does with the open documents: the commands that act on them, the
// activity tick's work on the active one, hiding them with the application, their captions'
// activation colours, their rectangles for snapping, and the private messages about them.

#include "quillo/shell/MainForm.h"

void TMainForm::ConnectDocumentCommands() {}
void TMainForm::ActivityOnDocuments() {}
void TMainForm::HideDocumentWindows() {}
void TMainForm::PaintActiveDocumentCaption(bool) {}
std::vector<TRect> TMainForm::DocumentWindowRects() const { return {}; }
void TMainForm::UMLastDocClosed(TMessage&) {}
void TMainForm::UMDocOpened(TMessage&) {}
void TMainForm::WMMouseWheel(TMessage&) {}
void TMainForm::HotKeys(TObject*, WORD&, TShiftState) {}
void TMainForm::FormKeyUp(TObject*, WORD&, TShiftState) {}
void TMainForm::FitToImage1Click(TObject*) {}
