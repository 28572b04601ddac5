#include "quillo/filters/FormulaFilterSaveDialog.h"

#include <algorithm>

#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "quillo/base/DialogPlace.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/filters/FormulaFilterFile.h"
#include "quillo/filters/FilterDialogPanels.h"

QUILLO_DEFINE_CLASS(TFFSavePlus, TForm)

TFFSavePlus* FFSavePlus = nullptr;

namespace {

constexpr int kPanelWidth = 420;
constexpr int kPanelHeight = 28;
constexpr int kNameGap = 6;  // between the entry's name and the scroll bar

}  // namespace

TFFSavePlus::TFFSavePlus(TComponent* owner) : TForm(owner) {
  SetUpHostForm(this, "FFSavePlus", kPanelWidth, kPanelHeight);
  BuildControls();
  SaveDlg->Hook().OwnerControl = TheDocumentHost().MainWindow();
  TranslateForm("[FFSavePlus]");
  MakeWindowsOffScreen(this);
}

TFFSavePlus::~TFFSavePlus() {
  if (FFSavePlus == this) FFSavePlus = nullptr;
}

void TFFSavePlus::BuildControls() {
  Panel1 = MakeLentPanel(this, kPanelWidth, kPanelHeight);
  FilterIndex = MakeEntryChooser(this, Panel1, [this](TObject* sender) { FilterIndexChange(sender); });
  FilterNameLab = DialogControl<TLabel>(this, Panel1, "FilterNameLab", 8, 8, 0, 13);
  FilterNameLab->SetShowAccelChar(false);
  FilterNameLab->SetCaption("");

  SaveDlg = NewNamedComponent<TSaveDialogEx>(this, "SaveDlg");
  SaveDlg->SetDefaultExt("afs");
  SaveDlg->SetFilter("AFS|*.afs|FFL|*.ffl");
  SaveDlg->SetOptions(TOpenOptions{ofHideReadOnly, ofNoChangeDir, ofEnableSizing});
  SaveDlg->SetOnSelChange([this](TObject* sender) { SaveDlgSelChange(sender); });
}

bool TFFSavePlus::Run(const AnsiString& folder, const AnsiString& title) {
  NewTitle = title;
  SaveDlg->SetInitialDir(folder);
  ShowFile(SaveDlg->GetFileName());
  return SaveDlg->Execute();
}

void TFFSavePlus::SaveDlgSelChange(TObject*) {
  const AnsiString selected = SaveDlg->Hook().SelPath;
  if (selected != SelectedFile) ShowFile(selected);
}

void TFFSavePlus::ShowFile(const AnsiString& fileName) {
  SelectedFile = fileName;
  settingIndex_ = true;
  FilterIndex->SetPosition(1);
  settingIndex_ = false;
  FilterIndexChange(FilterIndex);
}

void TFFSavePlus::FilterIndexChange(TObject*) {
  if (settingIndex_) return;
  // Only a name the save writes as a library offers places in it.
  const int entries = IsFilterLibraryName(SelectedFile) ? LibraryEntryCount(SelectedFile) : -1;
  // Built up in place: "[" + a temporary trips GCC 12's false -Wrestrict in optimised builds.
  AnsiString newName = "[";
  newName += LangMessage("New Filter");
  newName += "] ";
  newName += NewTitle;
  if (entries < 0) {
    settingIndex_ = true;
    FilterIndex->SetParams(1, 1, 1);
    settingIndex_ = false;
    FilterIndex->SetEnabled(false);
    ShowName(IsFilterLibraryName(SelectedFile) ? newName : AnsiString());
    return;
  }
  // The place after the last entry appends.
  settingIndex_ = true;
  FilterIndex->SetParams(std::clamp(FilterIndex->GetPosition(), 1, entries + 1), 1, entries + 1);
  settingIndex_ = false;
  FilterIndex->SetEnabled(true);
  AnsiString title;
  const int place = FilterIndex->GetPosition();
  ShowName(place <= entries && LibraryEntryTitle(SelectedFile, place, title) ? title : newName);
}

void TFFSavePlus::ShowName(const AnsiString& name) {
  ShowRightAligned(FilterNameLab, name, FilterIndex->GetLeft() - kNameGap, 0);
}

TFFSavePlus* CreateFFSavePlus() {
  if (FFSavePlus == nullptr) FFSavePlus = Application()->CreateForm<TFFSavePlus>();
  return FFSavePlus;
}
