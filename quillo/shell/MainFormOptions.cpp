// The main window's Options menu: toolbars, rulers, the tool options window's sheets and the
// brush paint mode; and the instant-brush setting brought into every document window.

#include "quillo/shell/MainForm.h"

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/base/Settings.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/SelectionTools.h"
#include "quillo/tools/ToolForm.h"

void TMainForm::ConnectOptionsCommands() {
  RulersVisib->OnClick = [this](TObject* sender) { RulersVisibClick(sender); };
  PaletteVisib->OnClick = [this](TObject* sender) { PaletteVisibClick(sender); };
  BrushVisib->OnClick = [this](TObject* sender) { BrushVisibClick(sender); };
  HistVisib->OnClick = [this](TObject* sender) { HistVisibClick(sender); };
  MenuItemNamed("Paint1")->OnClick = [this](TObject* sender) { Paint1Click(sender); };
  MenuItemNamed("Color1")->OnClick = [this](TObject* sender) { Color1Click(sender); };
  MenuItemNamed("Replace1")->OnClick = [this](TObject* sender) { Replace1Click(sender); };
}

void TMainForm::ToolbarClose(TObject*) { ToolbarVisib->SetChecked(false); }

void TMainForm::RulersVisibClick(TObject*) {
  const bool shown = !RulersVisib->GetChecked();
  RulersVisib->SetChecked(shown);
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    window->TopRuler->SetVisible(shown);
    window->LeftRuler->SetVisible(shown);
    window->DrawRulers();
  }
}

// ShowSheet sets the check marks.
void TMainForm::PaletteVisibClick(TObject*) {
  if (ToolForm) ToolForm->ShowSheet(ToolForm->PaletteSheet, !PaletteVisib->GetChecked(), true);
}
void TMainForm::BrushVisibClick(TObject*) {
  if (ToolForm) ToolForm->ShowSheet(ToolForm->BrushSheet, !BrushVisib->GetChecked(), true);
}
void TMainForm::HistVisibClick(TObject*) {
  if (ToolForm) ToolForm->ShowSheet(ToolForm->HistogramSheet, !HistVisib->GetChecked(), true);
}

// The brush modes; the set-mode calls check the items. Paint and replace need a custom brush.
void TMainForm::Paint1Click(TObject*) {
  if (!CustomBrush) return;
  SetBrushModePaint();
  RefreshToolStatus(true, true);
}

void TMainForm::Color1Click(TObject*) {
  SetBrushModeColor();
  RefreshToolStatus(true, true);
}

void TMainForm::Replace1Click(TObject*) {
  SetBrushModeReplace();
  RefreshToolStatus(true, true);
}

void ApplyInstBrushSetting(bool clearSelection) {
  for (int i = 0; i < ImgFormCount; ++i) ImgForms[static_cast<std::size_t>(i)]->InstBrushBtn->SetDown(Settings.InstBrush);
  if (Settings.InstBrush && clearSelection && CurrentPicture) CurrentPicture->ClearSelection(false);
  ApplyInstantBrushOption();
  // The selection is taken as the brush from the menu only while selections are made.
  if (MainForm)
    if (TMenuItem* item = MainForm->MenuItemNamed("GetSel1")) item->SetEnabled(!Settings.InstBrush);
}
