#include "quillo/files/ScriptForm.h"

#include <algorithm>
#include <new>

#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/FileDialogs.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/panels/XPanel.h"
#include "quillo/components/persistence/FormPlacement.h"
#include "quillo/files/BatchFileList.h"
#include "quillo/files/BatchFormats.h"
#include "quillo/files/BatchRun.h"
#include "quillo/files/BatchScript.h"
#include "quillo/files/PlacedControl.h"
#include "quillo/files/ProgressForm.h"

AnsiString ScriptDir;

QUILLO_DEFINE_CLASS(TScriptForm, TForm)

namespace {

constexpr int kHelpContext = 1370;
constexpr const char* kStorageKey = "Software\\Dornick\\QL";
constexpr const char* kStorageSection = "ScriptForm";
constexpr const char* kScriptFilter = "Script File (*.SCR)|*.scr";
constexpr UINT kWarning = MB_OK | MB_ICONEXCLAMATION;
constexpr int kPanelWidth = 312;
constexpr int kEditLeft = 24;
constexpr int kEditWidth = 280;

constexpr const char* kStoredProps[] = {
    "InputFiles.Expanded", "SingleImg.Checked",    "FilenameEdit.Text", "SingleFolder.Checked",
    "FolderEdit.Text",     "IncSubFolders.Checked", "MultiFolders.Checked", "AddFolderEdit.Text",
    "FolderList.Items",    "OutputFiles.Expanded", "LimitCB.Checked",   "LimitED.Value",
    "DitherCB.Checked",    "TranspCB.Checked",     "InterlCB.Checked",  "QScbar.Position",
    "KeepOrigName.Checked", "Overwr.Checked",      "AddIdx.Checked",    "NewName.Checked",
    "Base.Text",           "BaseIdx.Value",        "NumOfDigits.Value",
};

TXPanel* GroupPanel(TComponent* owner, const char* name, TWinControl* parent, int top, int height) {
  auto* panel = PlacedControl<TXPanel>(owner, name, parent, 2, top, kPanelWidth, height);
  // The scroll box keeps its size; a collapsed panel only moves the one below it up.
  panel->SetResizeParent(false);
  return panel;
}

// The translation gives the group's title as the panel's caption; it belongs in the header.
void MoveCaptionToHeader(TXPanel* panel) {
  if (Trim(panel->GetCaption()).empty()) return;
  panel->SetButtonCaption(panel->GetCaption());
  panel->SetCaption(" ");
}

void Check(TButtonControl* button, bool checked) {
  if (auto* box = dynamic_cast<TCheckBox*>(button)) box->SetChecked(checked);
  if (auto* radio = dynamic_cast<TRadioButton*>(button)) radio->SetChecked(checked);
}

// The window stays on top of the others; the dialogs and messages it opens must show above it,
// so while they are open it stands among the ordinary windows.
class OrdinaryWhileOpen {
public:
  OrdinaryWhileOpen(TForm* form, bool& keepInFront) : window_(form->GetHandle()), keepInFront_(keepInFront) {
    keepInFront_ = false;
    Level(HWND_NOTOPMOST);
  }
  ~OrdinaryWhileOpen() {
    Level(HWND_TOPMOST);
    keepInFront_ = true;
  }
  OrdinaryWhileOpen(const OrdinaryWhileOpen&) = delete;
  OrdinaryWhileOpen& operator=(const OrdinaryWhileOpen&) = delete;

private:
  void Level(HWND level) { SetWindowPos(window_, level, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }
  HWND window_;
  bool& keepInFront_;
};

}  // namespace

TScriptForm::TScriptForm(TComponent* owner) : TForm(owner) {
  SetName("ScriptForm");
  SetBorderStyle(bsSizeToolWin);
  SetBorderIcons({biSystemMenu});
  SetFormStyle(fsStayOnTop);
  // Centred the first time; after that where the user last left it (the form storage).
  SetPosition(poScreenCenter);
  SetKeyPreview(true);
  SetShowHint(true);
  SetHelpContext(kHelpContext);
  // The scroll box scrolls the panels; the window itself never shows scroll bars.
  SetAutoScroll(false);
  SetCaption("Batch Convert");
  SetClientWidth(2 + kPanelWidth + 20);
  SetClientHeight(640);
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");

  ScrollBox = PlacedControl<TScrollBox>(this, "ScrollBox", this, 0, 0, GetClientWidth(), 572);
  ScrollBox->SetAnchors({akLeft, akTop, akRight, akBottom});
  ScrollBox->GetHorzScrollBar()->SetVisible(false);
  BuildInputPanel();
  BuildOutputPanel();
  BuildButtons();
  BuildStorage();

  OpenDialog = NewNamedComponent<TOpenDialog>(this, "OpenDialog");
  SaveDialog = NewNamedComponent<TSaveDialog>(this, "SaveDialog");
  for (TOpenDialog* dialog : {OpenDialog, static_cast<TOpenDialog*>(SaveDialog)}) {
    dialog->SetFilter(kScriptFilter);
    dialog->SetDefaultExt("scr");
  }
  OpenDialog->SetTitle("Load Settings");
  SaveDialog->SetTitle("Save Settings");
  SaveDialog->SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly});

  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDeactivate = [this](TObject* sender) { FormDeactivate(sender); };

  TranslateForm("[ScriptForm]");
  MoveCaptionToHeader(InputFiles);
  MoveCaptionToHeader(OutputFiles);
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);

  InputFileTypeClick(MultiFolders->GetChecked() ? MultiFolders : SingleFolder->GetChecked() ? SingleFolder : SingleImg);
  OutputFilenameTypeClick(NewName->GetChecked() ? NewName : KeepOrigName);
  if (!Overwr->GetChecked() && !AddIdx->GetChecked()) AddIdx->SetChecked(true);
  FitToButtons();
  FillTypeList();
}

void TScriptForm::BuildInputPanel() {
  InputFiles = GroupPanel(this, "InputFiles", ScrollBox, 2, 258);
  InputFiles->SetCaption("Input Files");
  const auto radio = [this](const char* name, const char* caption, int top) {
    auto* r = PlacedControl<TRadioButton>(this, name, InputFiles, 8, top, 200, 17);
    r->SetCaption(caption);
    r->OnClick = [this](TObject* sender) { InputFileTypeClick(sender); };
    return r;
  };
  SingleImg = radio("SingleImg", "Single Image", 24);
  FilenameEdit = PlacedControl<TFilenameEdit>(this, "FilenameEdit", InputFiles, kEditLeft, 42, kEditWidth, 21);
  FilenameEdit->SetText("");
  SingleFolder = radio("SingleFolder", "Single Folder", 68);
  FolderEdit = PlacedControl<TDirectoryEdit>(this, "FolderEdit", InputFiles, kEditLeft, 86, kEditWidth, 21);
  FolderEdit->SetText("");
  IncSubFolders = PlacedControl<TCheckBox>(this, "IncSubFolders", InputFiles, kEditLeft, 110, 200, 17);
  IncSubFolders->SetCaption("Include Subfolders");
  MultiFolders = radio("MultiFolders", "Multiple Folders", 132);
  FolderList = PlacedControl<TListBox>(this, "FolderList", InputFiles, kEditLeft, 150, kEditWidth, 56);
  FolderList->OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FolderListKeyDown(sender, key, shift); };
  AddFolderEdit = PlacedControl<TDirectoryEdit>(this, "AddFolderEdit", InputFiles, kEditLeft, 210, kEditWidth, 21);
  AddFolderEdit->SetText("");
  AddFolderEdit->OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { AddFolderEditKeyDown(sender, key, shift); };
  IncSubFoldersMulti = PlacedControl<TCheckBox>(this, "IncSubFoldersMulti", InputFiles, kEditLeft, 235, 200, 17);
  IncSubFoldersMulti->SetCaption("Include Subfolders");
  SingleImg->SetChecked(true);
}

void TScriptForm::BuildOutputPanel() {
  OutputFiles = GroupPanel(this, "OutputFiles", ScrollBox, 264, 300);
  OutputFiles->SetCaption("Output Files");
  FormatLab = PlacedControl<TLabel>(this, "FormatLab", OutputFiles, 8, 26, 70, 13);
  FormatLab->SetCaption("File Format");
  Type = PlacedControl<TComboBox>(this, "Type", OutputFiles, 84, 22, 220, 21);
  Type->SetStyle(csDropDownList);
  Type->OnChange = [this](TObject* sender) { TypeChange(sender); };
  CDepth = PlacedControl<TComboBox>(this, "CDepth", OutputFiles, 84, 48, 220, 21);
  CDepth->SetStyle(csDropDownList);
  CDepth->OnChange = [this](TObject* sender) { CDepthChange(sender); };

  const auto box = [this](const char* name, const char* caption, int left, int top, int width) {
    auto* b = PlacedControl<TCheckBox>(this, name, OutputFiles, left, top, width, 17);
    b->SetCaption(caption);
    return b;
  };
  LimitCB = box("LimitCB", "Li&mit to", 8, 78, 72);
  // Until the stored settings are back the depth shown is not the one the box belongs to.
  LimitCB->OnClick = [this](TObject* sender) {
    if (settled_) SetDitherAndLimitCols(sender);
  };
  LimitED = PlacedControl<TExSpinEdit>(this, "LimitED", OutputFiles, 84, 76, 56, 21);
  LimitED->SetMinValue(kMinLimitColours);
  LimitED->SetMaxValue(kMaxLimitColours);
  LimitED->SetValue(234);
  DitherCB = box("DitherCB", "&Dither", 160, 78, 140);
  TranspCB = box("TranspCB", "&Transparent", 8, 102, 140);
  InterlCB = box("InterlCB", "&Interlaced/Progressive", 160, 102, 146);

  QLabel = PlacedControl<TLabel>(this, "QLabel", OutputFiles, 8, 128, 70, 13);
  QLabel->SetCaption("Quality");
  QScbar = PlacedControl<TScrollBar>(this, "QScbar", OutputFiles, 84, 127, 190, 16);
  QScbar->SetKind(sbHorizontal);
  QScbar->SetParams(75, kMinQuality, kMaxQuality);
  QScbar->SetLargeChange(10);
  QScbar->OnChange = [this](TObject* sender) { QualityChange(sender); };
  QValue = PlacedControl<TLabel>(this, "QValue", OutputFiles, 280, 128, 24, 13);
  QValue->SetCaption("75");
  BuildNamingControls();
}

void TScriptForm::BuildNamingControls() {
  NameLab = PlacedControl<TLabel>(this, "NameLab", OutputFiles, 8, 154, 120, 13);
  NameLab->SetCaption("File Name");
  const auto radio = [this](const char* name, const char* caption, TWinControl* parent, int left, int top) {
    auto* r = PlacedControl<TRadioButton>(this, name, parent, left, top, 200, 17);
    r->SetCaption(caption);
    return r;
  };
  KeepOrigName = radio("KeepOrigName", "Keep Original Name", OutputFiles, 8, 172);
  KeepOrigName->OnClick = [this](TObject* sender) { OutputFilenameTypeClick(sender); };
  KeepOrigNamePanel = PlacedControl<TPanel>(this, "KeepOrigNamePanel", OutputFiles, kEditLeft, 190, kEditWidth, 40);
  KeepOrigNamePanel->SetCaption("");
  KeepOrigNamePanel->SetBevelOuter(bvNone);
  Overwr = radio("Overwr", "Overwrite If Exists", KeepOrigNamePanel, 0, 2);
  AddIdx = radio("AddIdx", "Add Index If Exists", KeepOrigNamePanel, 0, 21);
  NewName = radio("NewName", "Give New Name", OutputFiles, 8, 232);
  NewName->OnClick = [this](TObject* sender) { OutputFilenameTypeClick(sender); };
  Base = PlacedControl<TEdit>(this, "Base", OutputFiles, kEditLeft, 252, 150, 21);
  Base->SetText("Image");
  BaseIdx = PlacedControl<TExSpinEdit>(this, "BaseIdx", OutputFiles, 180, 252, 70, 21);
  BaseIdx->SetAlignment(taRightJustify);
  BaseIdx->SetValue(0);
  NumOfDigLab = PlacedControl<TLabel>(this, "NumOfDigLab", OutputFiles, kEditLeft, 279, 150, 13);
  NumOfDigLab->SetCaption("Number Of Digits");
  NumOfDigits = PlacedControl<TExSpinEdit>(this, "NumOfDigits", OutputFiles, 180, 276, 70, 21);
  NumOfDigits->SetMinValue(kMinDigits);
  NumOfDigits->SetMaxValue(kMaxDigits);
  NumOfDigits->SetValue(1);
  KeepOrigName->SetChecked(true);
}

void TScriptForm::BuildButtons() {
  const int top = ScrollBox->GetTop() + ScrollBox->GetHeight() + 6;
  const auto button = [this](const char* name, const char* caption, int left, int top, TNotifyEvent click) {
    auto* b = PlacedControl<TButton>(this, name, this, left, top, 104, 24);
    b->SetCaption(caption);
    b->SetAnchors({akLeft, akBottom});
    if (click) b->OnClick = std::move(click);
    return b;
  };
  SaveBtn = button("SaveBtn", "&Save Settings", 6, top, [this](TObject* s) { SaveBtnClick(s); });
  LoadBtn = button("LoadBtn", "&Load Settings", 114, top, [this](TObject* s) { LoadBtnClick(s); });
  HelpBtn = button("HelpBtn", "&Help", 222, top, [this](TObject* s) { HelpBtnClick(s); });
  GoBtn = button("GoBtn", "&Go!", 114, top + 30, [this](TObject* s) { GoBtnClick(s); });
  CancelBtn = button("CancelBtn", "&Cancel", 222, top + 30, nullptr);
  CancelBtn->SetModalResult(mrCancel);
  CancelBtn->SetCancel(true);
}

void TScriptForm::BuildStorage() {
  FormStorage1 = NewNamedComponent<TFormStorage>(this, "FormStorage1");
  FormStorage1->SetUseRegistry(true);
  FormStorage1->SetIniFileName(kStorageKey);
  FormStorage1->SetIniSection(kStorageSection);
  for (const char* line : kStoredProps) FormStorage1->GetStoredProps()->Add(line);
  FormStorage1->GetStoredValues()->AddValue("TypeItemIndex", "0");
  FormStorage1->GetStoredValues()->AddValue("CDepthItemIndex", "0");
  FormStorage1->OnRestorePlacement = [this](TObject* sender) { FormStorage1RestorePlacement(sender); };
}

// The client ends just beyond the Cancel button; the window is as wide as that for good.
void TScriptForm::FitToButtons() {
  const int width = CancelBtn->GetLeft() + CancelBtn->GetWidth() + 2;
  const int height = CancelBtn->GetTop() + CancelBtn->GetHeight() + 2;
  SetClientWidth(width);
  SetClientHeight(height);
  TWinMinMaxInfo* limits = FormStorage1->GetMinMaxInfo();
  limits->Set(TWinMinMaxInfo::MinTrackWidth, GetWidth());
  limits->Set(TWinMinMaxInfo::MaxTrackWidth, GetWidth());
  limits->Set(TWinMinMaxInfo::MinTrackHeight, 100);
}

void TScriptForm::FillTypeList() {
  Type->GetItems()->Clear();
  for (GFXFile* f : BatchWritableFormats()) Type->GetItems()->Add(BatchFormatText(f));
  Type->SetItemIndex(0);
  TypeChange(nullptr);
  CDepth->SetItemIndex(0);
  SetDitherAndLimitCols(nullptr);
}

void TScriptForm::StoreValue(const char* name, int value) {
  if (TStoredValue* stored = FormStorage1->GetStoredValues()->GetValue(name)) stored->Value = IntToStr(value);
}

void TScriptForm::SelectText(TComboBox* list, const AnsiString& text) {
  const int at = list->GetItems()->IndexOf(text);
  list->SetItemIndex(at >= 0 ? at : 0);
}

void TScriptForm::InputFileTypeClick(TObject* sender) {
  for (TRadioButton* r : {SingleImg, SingleFolder, MultiFolders}) r->SetChecked(r == sender);
  FilenameEdit->SetEnabled(sender == SingleImg);
  FolderEdit->SetEnabled(sender == SingleFolder);
  IncSubFolders->SetEnabled(sender == SingleFolder);
  for (TControl* c : std::initializer_list<TControl*>{AddFolderEdit, FolderList, IncSubFoldersMulti})
    c->SetEnabled(sender == MultiFolders);
}

void TScriptForm::OutputFilenameTypeClick(TObject* sender) {
  KeepOrigName->SetChecked(sender == KeepOrigName);
  NewName->SetChecked(sender == NewName);
  Overwr->SetEnabled(sender == KeepOrigName);
  AddIdx->SetEnabled(sender == KeepOrigName);
  for (TControl* c : std::initializer_list<TControl*>{Base, BaseIdx, NumOfDigLab, NumOfDigits})
    c->SetEnabled(sender == NewName);
}

void TScriptForm::AddFolderEditKeyDown(TObject*, WORD& key, TShiftState) {
  if (key != VK_RETURN || AddFolderEdit->GetText().empty()) return;
  FolderList->GetItems()->Add(AddFolderEdit->GetText());
}

void TScriptForm::FolderListKeyDown(TObject*, WORD& key, TShiftState) {
  const int at = FolderList->GetItemIndex();
  if (key != VK_DELETE || at < 0) return;
  FolderList->GetItems()->Delete(at);
  const int count = FolderList->GetItems()->Count();
  if (count > 0) FolderList->SetItemIndex(std::min(at, count - 1));
}

void TScriptForm::TypeChange(TObject* sender) {
  const std::vector<GFXFile*> formats = BatchWritableFormats();
  const int index = Type->GetItemIndex();
  if (index < 0 || index >= static_cast<int>(formats.size())) return;
  const GFXFile* format = formats[static_cast<std::size_t>(index)];
  const AnsiString remembered = CDepth->GetText();
  CDepth->GetItems()->Clear();
  for (const AnsiString& text : BatchDepthTexts(format)) CDepth->GetItems()->Add(text);
  SelectText(CDepth, remembered);
  InterlCB->SetVisible(format->interlace);
  const bool quality = format->quality != 0;
  for (TControl* c : std::initializer_list<TControl*>{QLabel, QScbar, QValue}) c->SetVisible(quality);
  StoreValue("TypeItemIndex", index);
  if (sender != nullptr) SetDitherAndLimitCols(sender);
}

void TScriptForm::CDepthChange(TObject* sender) {
  StoreValue("CDepthItemIndex", CDepth->GetItemIndex());
  SetDitherAndLimitCols(sender);
}

// A box that cannot be used is cleared as well as greyed: the run reads what is checked.
void TScriptForm::EnableOptions() {
  const int depth = ColorDepthOf(CDepth->GetText());
  const bool palette = IsPaletteDepth(depth);
  LimitCB->SetEnabled(palette);
  if (!palette) LimitCB->SetChecked(false);
  LimitED->SetEnabled(LimitCB->GetChecked() && palette);
  const bool colourOptions = LimitCB->GetEnabled() || depth == 1;
  for (TCheckBox* box : {DitherCB, TranspCB}) {
    box->SetEnabled(colourOptions);
    if (!colourOptions) box->SetChecked(false);
  }
}

void TScriptForm::SetDitherAndLimitCols(TObject*) {
  EnableOptions();
  const int depth = ColorDepthOf(CDepth->GetText());
  if (depth == 32) TranspCB->SetChecked(true);
  if (depth == 24) TranspCB->SetChecked(false);
}

void TScriptForm::QualityChange(TObject*) { QValue->SetCaption(IntToStr(QScbar->GetPosition())); }

void TScriptForm::FormStorage1RestorePlacement(TObject*) {
  settled_ = true;
  TStoredValues* values = FormStorage1->GetStoredValues();
  const auto stored = [values](const char* name, int count) {
    const TStoredValue* value = values->GetValue(name);
    const int index = value != nullptr ? StrToIntDef(value->Value, 0) : 0;
    return index >= 0 && index < count ? index : 0;
  };
  Type->SetItemIndex(stored("TypeItemIndex", Type->GetItems()->Count()));
  TypeChange(nullptr);
  CDepth->SetItemIndex(stored("CDepthItemIndex", CDepth->GetItems()->Count()));
  SetDitherAndLimitCols(nullptr);
  QualityChange(nullptr);
  InputFileTypeClick(MultiFolders->GetChecked() ? MultiFolders : SingleFolder->GetChecked() ? SingleFolder : SingleImg);
  OutputFilenameTypeClick(NewName->GetChecked() ? NewName : KeepOrigName);
  if (!Overwr->GetChecked() && !AddIdx->GetChecked()) AddIdx->SetChecked(true);
}

BatchSettings TScriptForm::Current() {
  BatchSettings s;
  s.input = MultiFolders->GetChecked()   ? BatchInput::MultipleFolders
            : SingleFolder->GetChecked() ? BatchInput::SingleFolder
                                         : BatchInput::SingleImage;
  s.singleImage = FilenameEdit->GetText();
  s.singleFolder = FolderEdit->GetText();
  s.folders.clear();
  for (int i = 0; i < FolderList->GetItems()->Count(); ++i) s.folders.push_back(FolderList->GetItems()->Strings(i));
  s.subfolders = IncSubFolders->GetChecked();
  s.subfoldersMulti = IncSubFoldersMulti->GetChecked();
  s.format = Type->GetText();
  s.depth = CDepth->GetText();
  s.limit = LimitCB->GetChecked();
  s.limitColours = static_cast<int>(LimitED->GetAsInteger());
  s.dither = DitherCB->GetChecked();
  s.transparent = TranspCB->GetChecked();
  s.interlaced = InterlCB->GetChecked();
  s.quality = QScbar->GetPosition();
  s.keepName = KeepOrigName->GetChecked();
  s.addIndex = AddIdx->GetChecked();
  s.baseName = Base->GetText();
  s.firstNumber = static_cast<int>(BaseIdx->GetAsInteger());
  s.digits = static_cast<int>(NumOfDigits->GetAsInteger());
  return s;
}

void TScriptForm::Apply(const BatchSettings& s) {
  TRadioButton* const inputs[] = {SingleImg, SingleFolder, MultiFolders};
  InputFileTypeClick(inputs[static_cast<int>(s.input)]);
  FilenameEdit->SetText(s.singleImage);
  FolderEdit->SetText(s.singleFolder);
  FolderList->GetItems()->Clear();
  for (const AnsiString& folder : s.folders) FolderList->GetItems()->Add(folder);
  IncSubFolders->SetChecked(s.subfolders);
  IncSubFoldersMulti->SetChecked(s.subfoldersMulti);
  SelectText(Type, s.format);
  TypeChange(nullptr);
  SelectText(CDepth, s.depth);
  StoreValue("CDepthItemIndex", CDepth->GetItemIndex());
  SetDitherAndLimitCols(nullptr);
  LimitCB->SetChecked(s.limit);
  LimitED->SetValue(LimitED->CheckValue(s.limitColours));
  DitherCB->SetChecked(s.dither);
  TranspCB->SetChecked(s.transparent);
  InterlCB->SetChecked(s.interlaced);
  QScbar->SetPosition(s.quality);
  QualityChange(nullptr);
  OutputFilenameTypeClick(s.keepName ? KeepOrigName : NewName);
  Check(s.addIndex ? AddIdx : Overwr, true);
  Base->SetText(s.baseName);
  BaseIdx->SetValue(s.firstNumber);
  NumOfDigits->SetValue(NumOfDigits->CheckValue(s.digits));
  // What the depth cannot use stays off, whatever the script said.
  EnableOptions();
}

void TScriptForm::SaveBtnClick(TObject*) {
  const OrdinaryWhileOpen below(this, keepInFront_);
  SaveDialog->SetInitialDir(ScriptDir);
  if (!SaveDialog->Execute()) return;
  const AnsiString path = SaveDialog->GetFileName();
  ScriptDir = ExtractFilePath(path);
  const BatchSettings settings = Current();
  if (!BatchScriptCanHold(settings)) LangMessageBox("ScriptCannotHold", "Err", kWarning);
  else if (!SaveBatchScript(path, settings)) LangMessageBox("CantSaveScript", "Err", kWarning);
}

void TScriptForm::LoadBtnClick(TObject*) {
  const OrdinaryWhileOpen below(this, keepInFront_);
  OpenDialog->SetInitialDir(ScriptDir);
  if (!OpenDialog->Execute()) return;
  const AnsiString path = OpenDialog->GetFileName();
  ScriptDir = ExtractFilePath(path);
  BatchSettings settings = Current();
  switch (LoadBatchScript(path, BatchFormatChoices(), settings)) {
    case ScriptLoad::Loaded: Apply(settings); break;
    case ScriptLoad::CannotOpen: LangMessageBox("CantOpenScript", "Err", kWarning); break;
    case ScriptLoad::Damaged: LangMessageBox("CantReadScript", "Err", kWarning); break;
  }
}

void TScriptForm::GoBtnClick(TObject*) {
  TProgressForm* progress = BatchProgressForm();
  progress->Show();
  // Showing an open window empties nothing: the lines and the Cancel of the run before go.
  progress->Empty();
  const BatchSettings settings = Current();
  std::vector<AnsiString> files;
  try {
    files = BatchInputFiles(settings);
  } catch (const std::bad_alloc&) {
    progress->Close();
    LangMessageBox("NoMem", "Err", kWarning);
    return;
  }
  Hide();
  progress->SetRunning(true);
  BatchRun(settings, *progress).Run(files);
  progress->SetRunning(false);
  if (progress->MessageCount() == 0) progress->Close();
  Show();
  // The lines of a run stay in sight above this window, which sits where they would.
  if (progress->GetVisible()) progress->BringToFront();
}

void TScriptForm::HelpBtnClick(TObject*) { Application()->HelpContext(GetHelpContext()); }

void TScriptForm::FormClose(TObject*, TCloseAction&) { CloseBatchProgressForm(); }

void TScriptForm::FormKeyDown(TObject*, WORD& key, TShiftState) {
  if (key != VK_ESCAPE) return;
  key = 0;
  SetModalResult(mrCancel);
}

void TScriptForm::FormDeactivate(TObject*) {
  if (keepInFront_ && GetVisible()) BringToFront();
}
