#include "quillo/shell/ProgramHost.h"

#include <iterator>

#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/files/FilesHost.h"
#include "quillo/filters/LimitColorsForm.h"
#include "quillo/files/OpenCommands.h"
#include "quillo/files/SaveCommands.h"
#include "quillo/shell/DocumentKeys.h"
#include "quillo/shell/FilterPluginShell.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/shell/UndoForm.h"
#include "quillo/shell/WindowMenu.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Tool.h"
#include "quillo/shell/ComponentHosting.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolHost.h"
#include "quillo/tools/ToolInput.h"

namespace {

bool MainFormAlive() { return MainForm && !MainForm->ComponentState().Contains(csDestroying); }

// An option control's handler that calls the main window's, while there is one.
template <void (TMainForm::*Handler)(TObject*)>
TNotifyEvent MainFormHandler() {
  return [](TObject* sender) {
    if (MainForm) (MainForm->*Handler)(sender);
  };
}

class ProgramHost final : public DocumentHost, public ToolHost, public FilesHost {
public:
  // The documents.
  TCustomForm* MainWindow() override { return MainFormAlive() ? MainForm : nullptr; }
  TUpDown* ZoomControl() override { return MainForm ? MainForm->Zoom : nullptr; }
  void ShowZoomLabel(const AnsiString& label) override {
    if (MainForm && MainForm->ZoomLabel) MainForm->ZoomLabel->SetCaption(label);
  }
  TPanel* DrawingSwatch() override { return MainForm ? MainForm->DrawCol : nullptr; }
  TPanel* BackgroundSwatch() override { return MainForm ? MainForm->BackCol : nullptr; }
  tbx::TToolbarX* ToolPalette() override { return MainForm ? MainForm->Toolbar : nullptr; }
  bool RulersShown() override { return MainForm && MainForm->RulersVisib && MainForm->RulersVisib->GetChecked(); }
  void WindowListed(TImageForm& window) override;
  void WindowUnlisted(int listIndex) override;
  TExTimerEvent* ActivityTimer() override { return MainForm ? MainForm->ActivityTimer : nullptr; }
  TExTimerEvent* ActivationTimer() override { return MainForm ? MainForm->ImageChangeTimer : nullptr; }
  void WindowMade(TImageForm& window) override {
    ConnectToolInput(window);
    ConnectDocumentKeys(window);
  }
  void SuspendTool() override { ::SuspendTool(); }
  void ResumeTool() override { ::ResumeTool(); }
  void WithdrawToolFeedback() override { ::WithdrawToolFeedback(); }
  TCursor ToolCursor() override { return CurrentTool ? CurrentTool->Cursor : crDefault; }
  void ShowBrushMode(TImageForm& window) override { ::ShowBrushMode(&window); }
  void BrushRestored() override { UpdateBrushShape(false); }
  void UndoHistoryChanged() override {
    if (MainForm) MainForm->UpdateUndoItems();
    // Undo, redo and a click in the history list change the pixels.
    if (ToolForm) ToolForm->RefreshHistogram();
  }
  void PictureChanged() override {
    if (ToolForm) ToolForm->RefreshHistogram();
  }
  void InstantBrushChanged() override { ApplyInstBrushSetting(false); }
  bool SaveDocument(TImageForm& window) override { return SavePicture(&window); }
  void EnableCommandWindows(bool enable) override {
    if (MainForm != nullptr && MainForm->HandleAllocated()) MainForm->SetEnabled(enable);
    if (ToolForm != nullptr && ToolForm->HandleAllocated()) ToolForm->SetEnabled(enable);
  }

  // The tools.
  TExTimerEvent* DragTimer() override { return MainForm ? MainForm->DragTimer : nullptr; }
  void ToolChanging() override {
    if (UndoFormShown) CloseUndoForm();
  }
  void ShowInPalette(P_icon& tool, int entry) override { UpdatePaletteGroup(&tool, entry); }
  void ToolSelected(const P_icon& tool) override;
  void BrushModeChosen(std::uint8_t mode) override {
    static constexpr const char* kItems[] = {"Paint1", "Color1", "Replace1"};
    if (!MainForm || mode >= std::size(kItems)) return;
    if (TMenuItem* item = MainForm->MenuItemNamed(kItems[mode])) item->SetChecked(true);
  }
  void SheetShown(const TTabSheet* sheet, bool shown) override;
  TNotifyEvent LineParamChange() override { return MainFormHandler<&TMainForm::LineParamChange>(); }
  TNotifyEvent FillBarFlagChange() override { return MainFormHandler<&TMainForm::FillBarFlagChange>(); }
  TNotifyEvent FillPosModeChange() override { return MainFormHandler<&TMainForm::FillPosModeChange>(); }
  TNotifyEvent SetFillOrigin() override { return MainFormHandler<&TMainForm::SetFillOrigin>(); }
  TNotifyEvent ResizeSprayClick() override { return MainFormHandler<&TMainForm::ResizeSprayClick>(); }
  P_icon* ChosenFillTool() override {
    if (FillGroupIndex < 0 || FillGroupIndex >= static_cast<int>(PaletteGroups.size())) return nullptr;
    const int entry = PaletteGroups[static_cast<std::size_t>(FillGroupIndex)].SelectedEntry;
    return PaletteEntries[static_cast<std::size_t>(entry)].Tool;
  }
  void ColourChanged() override {
    if (MainForm) MainForm->ColorBoxChange(MainForm, false, clNone);
  }
  void LimitColors() override { ShowLimitColorsDialog(); }
  void OpenBrush() override { OpenImageClick(nullptr); }
  void SaveBrush() override { SavePictureAs(nullptr); }

  // The file commands.
  void AddRecentFile(const AnsiString& entry) override {
    if (MainForm != nullptr && MainForm->MRUFileList1 != nullptr) MainForm->MRUFileList1->InsertItem(0, entry);
  }
  TTreeScanner* FolderScanner() override { return MainForm ? MainForm->TreeScanner : nullptr; }
};

void ProgramHost::WindowListed(TImageForm& window) {
  if (!MainForm || !MainForm->WindowMenu) return;
  TMenuItem* item = NewComponent<TMenuItem>(MainForm);
  item->SetTag(window.ListIndex);
  item->SetCaption(WindowMenuCaption(window.ListIndex, DocumentTitle(window.Picture)));
  item->OnClick = [](TObject* sender) { N1Click(sender); };
  MainForm->WindowMenu->Insert(window.ListIndex, item);
}

void ProgramHost::WindowUnlisted(int listIndex) {
  // Also while the main window is going: its menu outlives the document windows.
  if (!MainForm || !MainForm->WindowMenu || listIndex >= MainForm->WindowMenu->Count()) return;
  TMenuItem* menu = MainForm->WindowMenu;
  TMenuItem* item = menu->Items(listIndex);
  menu->Delete(listIndex);
  FreeObject(item);
  // The items after it follow their documents, which move up the list.
  for (int i = listIndex; i < menu->Count(); ++i) menu->Items(i)->SetTag(i);
}

void ProgramHost::ToolSelected(const P_icon& tool) {
  if (!MainForm) return;
  // F1 on the main window asks for the current tool's help.
  MainForm->SetHelpContext(tool.HelpContext);
  MainForm->AdjustToolPanelSize();
}

void ProgramHost::SheetShown(const TTabSheet* sheet, bool shown) {
  if (!MainForm || !ToolForm) return;
  TMenuItem* mark = sheet == ToolForm->PaletteSheet     ? MainForm->PaletteVisib
                    : sheet == ToolForm->BrushSheet     ? MainForm->BrushVisib
                    : sheet == ToolForm->HistogramSheet ? MainForm->HistVisib
                                                        : nullptr;
  if (mark) mark->SetChecked(shown);
}

ProgramHost& TheProgramHost() {
  static ProgramHost host;
  return host;
}

}  // namespace

void InstallProgramHost(bool install) {
  ProgramHost* host = install ? &TheProgramHost() : nullptr;
  HostSlot<DocumentHost>::Install(host);
  HostSlot<ToolHost>::Install(host);
  HostSlot<FilesHost>::Install(host);
  InstallFilterPluginHost(install);
  InstallComponentHosting(install);
}
