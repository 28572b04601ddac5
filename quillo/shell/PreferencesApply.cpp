#include "quillo/shell/PreferencesApply.h"

#include <unistd.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/TrackBar.h"
#include "platform/vcl/UpDown.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/base/Skins.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/components/lists/CheckListBox.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/components/utilities/VclUtils.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/FileAssociations.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/PluginPreferences.h"
#include "quillo/shell/PreferenceValues.h"
#include "quillo/shell/PreferencesForm.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"
#include "vorlen/formats/GFXFile.h"

namespace {

// The hourglass while the changes are applied, the pointer back however it ends.
class BusyPointer {
public:
  BusyPointer() { StartWait(); }
  ~BusyPointer() { StopWait(); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

std::int64_t PhysicalMemoryMB() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long size = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || size <= 0) return -1;
  return static_cast<std::int64_t>(pages) * size / (1024 * 1024);
}

int IndexOfText(const TStrings* list, const AnsiString& text) {
  for (int i = 0; i < list->Count(); ++i)
    if (SameText(list->Strings(i), text)) return i;
  return -1;
}

std::vector<TImageForm*> DocumentWindows() {
  std::vector<TImageForm*> windows;
  for (int i = 0; i < ImgFormCount; ++i) windows.push_back(ImgForms[static_cast<std::size_t>(i)]);
  return windows;
}

void FillExtensions(TPreferences* d) {
  for (GFXFile* format = GFXFile::Formats(); format != nullptr; format = format->next) {
    const ExtensionCount count = CountAssociated(format->extensions);
    const int state = count.associated == 0 ? cbUnchecked : count.associated == count.total ? cbChecked : cbGrayed;
    const int index = d->ExtensBox->GetItems()->Add(format->name);
    d->ExtensBox->SetState(index, static_cast<TCheckBoxState>(state));
    d->InitialStates.push_back(state);
    d->MayStayGrayed.push_back(state == cbGrayed);
  }
}

void FillLists(TPreferences* d) {
  if (Lang) {
    for (const AnsiString& name : Lang->Names()) d->Langs->GetItems()->Add(name);
    d->Langs->SetItemIndex(IndexOfText(d->Langs->GetItems(), Settings.Language));
  }
  if (Skins) {
    d->SkinList->GetItems()->AddStrings(*Skins->Names());
    d->SkinList->SetItemIndex(IndexOfText(d->SkinList->GetItems(), Settings.Skin));
  }
}

void FillUndoBudgets(TPreferences* d) {
  const TSettings& s = Settings;
  d->UndoMem->SetMaxValue(BudgetFieldMaximum(PhysicalMemoryMB(), s.UndoMem));
  d->UndoDisk->SetMaxValue(BudgetFieldMaximum(FileSystemSizeMB(s.UndoDir), s.UndoDisk));
  d->UndoMem->SetAsInteger(BudgetMB(s.UndoMem));
  d->UndoDisk->SetAsInteger(BudgetMB(s.UndoDisk));
  d->ShownUndoMemMB = static_cast<int>(d->UndoMem->GetAsInteger());
  d->ShownUndoDiskMB = static_cast<int>(d->UndoDisk->GetAsInteger());
}

void WriteLanguageNow(const AnsiString& name) {
  try {
    TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
    if (registry->OpenKey(AnsiString(SettingsRegistryKey) + "Preferences", true)) {
      registry->WriteString("Language", name);
      registry->CloseKey();
    }
  } catch (const std::exception&) {
    // Written again with every setting at close-down.
  }
}

// Step of the language: true when it changed.
bool ApplyLanguage(TPreferences* d, TMainForm* form) {
  const int index = d->Langs->GetItemIndex();
  if (index < 0 || !Lang) return false;
  const AnsiString name = d->Langs->GetItems()->Strings(index);
  if (Lang->FindFile(name).empty()) {
    LangMessageBox("CantFindLngFile", "Err", MB_ICONEXCLAMATION);
    return false;
  }
  if (SameText(name, Settings.Language)) return false;
  // A file that cannot be loaded keeps the language in use (the loader has said so), and
  // nothing is stored.
  if (!ReloadLanguage(name)) return false;
  Settings.Language = name;
  RetranslateMainWindow(form);
  WriteLanguageNow(name);
  return true;
}

// Step of the level: true when it changed. The option bar follows in RebuildToolOptions.
bool ApplyLevel(int level) {
  if (level < 0 || level == Settings.Level) return false;
  for (TImageForm* window : DocumentWindows()) window->ArrangeStatusBarForLevel(level);
  if (ToolForm) ToolForm->ApplyUserLevel(level);
  return true;
}

void RebuildToolOptions(int level) {
  if (!CurrentTool) {
    Settings.Level = level;
    return;
  }
  CurrentTool->Deactivate(nullptr);
  CloseOptionBar(CurrentTool, nullptr);
  Settings.Level = level;
  RebuildOptionBar(CurrentTool);
  CurrentTool->Activate();
}

void ApplyMeasurementUnit(int unit, TMainForm* form) {
  if (unit < 0 || unit == Settings.MeasurementUnit) return;
  Settings.MeasurementUnit = unit;
  // The rulers' handler flips the check mark back and draws them anew.
  form->RulersVisib->SetChecked(!form->RulersVisib->GetChecked());
  form->RulersVisibClick(form->RulersVisib);
}

void ApplyUndoFolder(TPreferences* d) {
  AnsiString folder = FolderWithSeparator(Trim(d->UndoDirEdit->GetText()));
  if (folder.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    folder = FolderWithSeparator(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
  }
  if (!DirectoryExists(folder)) {
    LangMessageBox("NoSuchDir", "Err", MB_ICONEXCLAMATION);
    return;
  }
  if (SameFolder(folder, Settings.UndoDir)) return;
  Settings.UndoDir = folder;
  for (TImageForm* window : DocumentWindows()) MoveUndoFiles(window->Picture);
  MoveUndoFiles(Brush);
}

void ApplyUndoBudgets(TPreferences* d) {
  const int mem = static_cast<int>(d->UndoMem->GetAsInteger());
  const int disk = static_cast<int>(d->UndoDisk->GetAsInteger());
  // A field left as it was keeps the exact budget behind it.
  const bool memChanged = mem != d->ShownUndoMemMB;
  const bool diskChanged = disk != d->ShownUndoDiskMB;
  if (memChanged) Settings.UndoMem = static_cast<std::int64_t>(mem) * 1024;
  if (diskChanged) Settings.UndoDisk = static_cast<std::int64_t>(disk) * 1024;
  if (!CurrentPicture || !(memChanged || diskChanged)) return;
  MakeUndoDisk(*CurrentPicture, 0);
  MakeUndoMemory(*CurrentPicture, 0, ProtectNewest::No);
}

void ApplyFlatIcons(TPreferences* d, TMainForm* form) {
  const bool flat = d->FlatIconsCB->GetChecked();
  if (flat == Settings.FlatIcons) return;
  Settings.FlatIcons = flat;
  for (const PaletteGroup& group : PaletteGroups)
    if (group.Button) group.Button->SetFlat(flat);
  for (int i = 0; i < form->Funcbar->ControlCount(); ++i)
    if (auto* button = dynamic_cast<tbx::TToolbarButtonX*>(form->Funcbar->Controls(i))) button->SetFlat(flat);
  if (form->UndoBtn) form->UndoBtn->SetFlat(flat);
  if (form->RedoBtn) form->RedoBtn->SetFlat(flat);
}

void ApplyGamma(TPreferences* d) {
  TSettings& s = Settings;
  TBuffer::GlobalICM = d->UseGamma->GetChecked() ? 1 : 0;
  TBuffer::GlobalGammaCorr = d->UseDefaults->GetChecked() ? 0 : 1;
  s.GreyGamma = d->GreyGammaBar->GetPosition();
  s.RedGamma = d->RedGammaBar->GetPosition();
  s.GreenGamma = d->GreenGammaBar->GetPosition();
  s.BlueGamma = d->BlueGammaBar->GetPosition();
  TBuffer::GlobalGammaRed = GammaFactor(s.GreyGamma, s.RedGamma);
  TBuffer::GlobalGammaGreen = GammaFactor(s.GreyGamma, s.GreenGamma);
  TBuffer::GlobalGammaBlue = GammaFactor(s.GreyGamma, s.BlueGamma);
  for (TImageForm* window : DocumentWindows()) window->ShowBuf->Invalidate();
}

void ReportExtensionFailures(const std::vector<AnsiString>& failed) {
  if (failed.empty()) return;
  AnsiString names;
  for (const AnsiString& ext : failed) names += (names.empty() ? "" : ", ") + ext;
  // The translated text names them where it holds "%s".
  AnsiString text = LangMessage("AssocFailed");
  const auto at = text.find("%s");
  if (at == AnsiString::npos) text += " " + names;
  else text.replace(at, 2, names);
  Application()->MessageBox(text, LangMessage("Err"), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void FillPreferences(TPreferences* d) {
  const TSettings& s = Settings;
  FillExtensions(d);
  FillLists(d);
  d->ShowTODCB->SetChecked(s.ShowTOD);
  d->Clipping->SetChecked(s.Clipping);
  d->OptimBrush->SetChecked(s.OptimBrush);
  d->InstBrushCB->SetChecked(s.InstBrush);
  d->FixRefreshCB->SetChecked(TBuffer::StretchPatch != 0);
  d->ResizeNeighCB->SetChecked(s.ResizeNeigh);
  d->AlwaysDockCB->SetChecked(s.AlwaysDock);
  d->FlatIconsCB->SetChecked(s.FlatIcons);
  d->MaxQLCB->SetChecked(s.MaxQL);
  d->MinToTaskbarCB->SetChecked(s.MinToTaskbarNext);
  d->Level->SetItemIndex(s.Level);
  d->MUnitCB->SetItemIndex(s.MeasurementUnit);
  d->FixZoomCB->SetChecked(s.FixZoom);
  d->ZoomUpDown->SetPosition(s.FixZoomVal);
  d->BackupFiles->SetChecked(s.BackupFiles);
  d->AutoLoadPalCB->SetChecked(s.AutoLoadPalette);
  d->AutoReloadCB->SetChecked(s.AutoReload);
  d->CacheThumbs->SetChecked(s.CacheThumbs);
  d->FileListLength->SetAsInteger(s.MRUFiles);
  d->UndoDirEdit->SetText(s.UndoDir);
  FillUndoBudgets(d);
  FillPluginPage(d);
  d->ColorInHexCB->SetChecked(s.ColorInHex);
  d->DefPalEdit->SetText(s.DefPal);
  d->UseGamma->SetChecked(TBuffer::GlobalICM != 0);
  d->UseDefaults->SetChecked(TBuffer::GlobalGammaCorr == 0);
  d->GreyGammaBar->SetPosition(s.GreyGamma);
  d->RedGammaBar->SetPosition(s.RedGamma);
  d->GreenGammaBar->SetPosition(s.GreenGamma);
  d->BlueGammaBar->SetPosition(s.BlueGamma);
  d->GammaBarChange(d);
  d->GammaCorShow(d);
  d->FixZoomChanged(d);
  d->UndoDirEditChange(d);
}

std::vector<AnsiString> ApplyExtensionChanges(const TPreferences* d) {
  std::vector<AnsiString> failed;
  int index = 0;
  for (GFXFile* format = GFXFile::Formats(); format != nullptr; format = format->next, ++index) {
    if (index >= static_cast<int>(d->InitialStates.size()) || index >= d->ExtensBox->GetItems()->Count()) break;
    const TCheckBoxState state = d->ExtensBox->GetState(index);
    if (state == d->InitialStates[static_cast<std::size_t>(index)] || state == cbGrayed) continue;
    LinkExtensions(format->extensions, state == cbChecked, failed);
  }
  return failed;
}

void ApplyPreferences(TPreferences* d, TMainForm* form) {
  const BusyPointer busy;
  if (ImageForm) ImageForm->Repaint();
  TSettings& s = Settings;
  ReportExtensionFailures(ApplyExtensionChanges(d));
  ApplyPluginPage(d);
  // A new language translates the dialog too, lists included: their choices are read first.
  const int level = d->Level->GetItemIndex();
  const int unit = d->MUnitCB->GetItemIndex();
  const bool languageChanged = ApplyLanguage(d, form);
  d->ApplySkinBtnClick(d);
  const bool levelChanged = ApplyLevel(level);
  if (levelChanged || languageChanged) RebuildToolOptions(levelChanged ? level : s.Level);
  ApplyMeasurementUnit(unit, form);
  s.Clipping = d->Clipping->GetChecked();
  s.OptimBrush = d->OptimBrush->GetChecked();
  s.ShowTOD = d->ShowTODCB->GetChecked();
  TBuffer::StretchPatch = d->FixRefreshCB->GetChecked() ? 1 : 0;
  s.ResizeNeigh = d->ResizeNeighCB->GetChecked();
  s.AlwaysDock = d->AlwaysDockCB->GetChecked();
  if (!s.MaxQL && d->MaxQLCB->GetChecked()) ShowWindow(form->GetHandle(), SW_MAXIMIZE);
  s.MaxQL = d->MaxQLCB->GetChecked();
  if (d->MinToTaskbarCB->GetChecked() != s.MinToTaskbarNext) {
    s.MinToTaskbarNext = d->MinToTaskbarCB->GetChecked();
    LangMessageBox("SettingsNextTime", "Warn", MB_ICONEXCLAMATION);
  }
  s.ColorInHex = d->ColorInHexCB->GetChecked();
  s.AutoLoadPalette = d->AutoLoadPalCB->GetChecked();
  s.BackupFiles = d->BackupFiles->GetChecked();
  s.AutoReload = d->AutoReloadCB->GetChecked();
  s.CacheThumbs = d->CacheThumbs->GetChecked();
  s.MRUFiles = static_cast<int>(d->FileListLength->GetAsInteger());
  if (form->MRUFileList1) form->MRUFileList1->SetMaximum(s.MRUFiles);
  s.FixZoom = d->FixZoomCB->GetChecked();
  s.FixZoomVal = d->ZoomUpDown->GetPosition();
  s.InstBrush = d->InstBrushCB->GetChecked();
  ApplyInstBrushSetting(true);
  s.DefPal = d->DefPalEdit->GetText();
  ApplyUndoFolder(d);
  ApplyUndoBudgets(d);
  ApplyFlatIcons(d, form);
  ApplyGamma(d);
}
