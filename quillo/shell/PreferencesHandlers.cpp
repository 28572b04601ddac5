// What the preferences dialog does while it is open: its keys, the handlers that show an
// effect at once, the gamma test views, and the skin page's Apply.

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/TrackBar.h"
#include "platform/vcl/UpDown.h"
#include "quillo/base/DialogPlace.h"
#include "quillo/base/Language.h"
#include "quillo/base/PaletteFolder.h"
#include "quillo/base/Settings.h"
#include "quillo/base/Skins.h"
#include "quillo/base/ZoomPresets.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/components/lists/CheckListBox.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Zoom.h"
#include "quillo/files/OpenCommands.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/PreferenceValues.h"
#include "quillo/shell/PreferencesForm.h"
#include "vorlen/formats/GFXFile.h"

namespace {

constexpr WORD kCtrlTab = VK_TAB | 0x200;
constexpr WORD kCtrlShiftTab = VK_TAB | 0x300;

WORD KeyCode(WORD key, TShiftState shift) {
  WORD code = key;
  if (shift.Contains(ssShift)) code |= 0x100;
  if (shift.Contains(ssCtrl)) code |= 0x200;
  if (shift.Contains(ssAlt)) code |= 0x400;
  return code;
}

}  // namespace

void TPreferences::FormKeyDown(TObject*, WORD& key, TShiftState shift) {
  const WORD code = KeyCode(key, shift);
  if (code == VK_RETURN) {
    SetModalResult(mrOk);
    key = 0;
  } else if (code == VK_ESCAPE) {
    SetModalResult(mrCancel);
    key = 0;
  } else if ((code == kCtrlTab || code == kCtrlShiftTab) && GetActiveControl() != PageControl) {
    // The page control turns its pages itself when it has the focus.
    PageControl->SelectNextPage(code == kCtrlTab);
    key = 0;
  }
}

void TPreferences::FormDestroy(TObject*) {
  PreferencesPage = PageControl->GetActivePageIndex();
  PreferencesLeft = GetLeft();
  PreferencesTop = GetTop();
}

void TPreferences::FormDeactivate(TObject*) { KeepDialogInFront(this); }

void TPreferences::HelpBtnClick(TObject*) { Application()->HelpContext(GetHelpContext()); }

void TPreferences::InstBrushCBClick(TObject*) {
  // Shown on the document windows for now; OK or Cancel settles the setting.
  const bool setting = Settings.InstBrush;
  Settings.InstBrush = InstBrushCB->GetChecked();
  ApplyInstBrushSetting(false);
  Settings.InstBrush = setting;
}

void TPreferences::ClippingClick(TObject*) { SetDrawViewClip(); }

void TPreferences::FixZoomChanged(TObject*) {
  ZoomValLab->SetCaption(ZoomLabelAt(ZoomUpDown->GetPosition()));
  ZoomValLab->SetLeft(ZoomUpDown->GetLeft() - ZoomValLab->GetWidth() - 4);
}

TMRUFileList* TPreferences::RecentFiles() const { return MainForm ? MainForm->MRUFileList1 : nullptr; }

void TPreferences::TakeRecentEntries() {
  if (recentEntriesTaken_ || !RecentFiles()) return;
  recentEntriesTaken_ = true;
  const TStringList* items = RecentFiles()->Items();
  for (int i = 0; i < items->Count(); ++i) recentEntries_.push_back(items->Strings(i));
}

void TPreferences::FileListLenChange(TObject*) {
  TMRUFileList* list = RecentFiles();
  // An emptied field is a number being typed, not a length of nothing.
  if (!list || Trim(FileListLength->GetText()).empty()) return;
  TakeRecentEntries();
  const int length = static_cast<int>(FileListLength->GetAsInteger());
  Settings.MRUFiles = length;
  list->SetMaximum(length);
  const int wanted = std::min(length, static_cast<int>(recentEntries_.size()));
  if (list->Items()->Count() >= wanted) return;
  for (int i = 0; i < wanted; ++i) list->InsertItem(i, recentEntries_[static_cast<std::size_t>(i)]);
}

void TPreferences::ClrFListBtnClick(TObject*) {
  TMRUFileList* list = RecentFiles();
  if (!list) return;
  TakeRecentEntries();
  list->ClearAllItems();
  recentEntries_.clear();
}

void TPreferences::RemEntriesBtnClick(TObject*) {
  TMRUFileList* list = RecentFiles();
  if (!list) return;
  TakeRecentEntries();
  std::vector<AnsiString> entries;
  for (int i = 0; i < list->Items()->Count(); ++i) entries.push_back(list->Items()->Strings(i));
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    // The file name as the open command reads it: a name may hold ": " itself.
    const AnsiString file = SplitRecentEntry(*entry).fileName;
    try {
      GFXFile::Test(file, nullptr);
    } catch (const std::exception&) {
      list->ClearItem(*entry);
      std::erase(recentEntries_, *entry);
    }
  }
}

void TPreferences::UndoDirEditChange(TObject*) {
  SpaceOnDiskNum->SetCaption(FreeSpaceText(UndoDirEdit->GetText()));
  SpaceOnDiskNum->SetLeft(SpaceOnDisk->GetLeft() + SpaceOnDisk->GetWidth() + 8);
}

void TPreferences::BrowseForFile(TObject*, AnsiString&, bool&) { DefPalEdit->SetInitialDir(PaletteDir); }

void TPreferences::ExtensBoxClickCheck(TObject*, int index) {
  if (index < 0 || index >= static_cast<int>(MayStayGrayed.size())) return;
  // A format that did not start partly linked toggles between linked and not.
  if (ExtensBox->GetState(index) == cbGrayed && !MayStayGrayed[static_cast<std::size_t>(index)])
    ExtensBox->SetState(index, cbChecked);
}

void TPreferences::GammaCorShow(TObject*) {
  const bool on = UseGamma->GetChecked();
  UseDefaults->SetEnabled(on);
  const bool own = on && !UseDefaults->GetChecked();
  for (int i = 0; i < GammaSheet->ControlCount(); ++i) {
    TControl* control = GammaSheet->Controls(i);
    if (control != UseGamma && control != UseDefaults) control->SetEnabled(own);
  }
}

void TPreferences::GammaBarChange(TObject*) {
  const int grey = GreyGammaBar->GetPosition();
  const std::int32_t red = GammaFactor(grey, RedGammaBar->GetPosition());
  const std::int32_t green = GammaFactor(grey, GreenGammaBar->GetPosition());
  const std::int32_t blue = GammaFactor(grey, BlueGammaBar->GetPosition());
  GammaGrey->GammaRed = red;
  GammaGrey->GammaGreen = green;
  GammaGrey->GammaBlue = blue;
  GammaRed->GammaRed = red;
  GammaGreen->GammaGreen = green;
  GammaBlue->GammaBlue = blue;
  GreyValLab->SetCaption(GammaText(grey));
  RedValLab->SetCaption(GammaText(grey + RedGammaBar->GetPosition()));
  GreenValLab->SetCaption(GammaText(grey + GreenGammaBar->GetPosition()));
  BlueValLab->SetCaption(GammaText(grey + BlueGammaBar->GetPosition()));
  for (TBuffer* view : {GammaGrey, GammaRed, GammaGreen, GammaBlue}) view->Invalidate();
}

void TPreferences::ApplySkinBtnClick(TObject*) {
  const int index = SkinList->GetItemIndex();
  if (index < 0 || !Skins) return;
  const AnsiString name = SkinList->GetItems()->Strings(index);
  if (!FileExists(Skins->FileOf(name))) {
    LangMessageBox("CantFindSknFile", "Err", MB_ICONEXCLAMATION);
    return;
  }
  // The skin in use, in whatever letter case, is no change.
  if (SameText(name, Settings.Skin)) return;
  try {
    Skins->Choose(name, nullptr);
  } catch (const ESkinError&) {
    // The skin in use stays.
    LangMessageBox(SkinText::CantFind, "Err", MB_ICONEXCLAMATION);
  }
}
