// The preferences dialog's window: its ten pages and their controls, where it opens, and
// its test patterns. The handlers are in PreferencesHandlers.cpp.

#include "quillo/shell/PreferencesForm.h"

#include <algorithm>

#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/TrackBar.h"
#include "platform/vcl/UpDown.h"
#include "quillo/base/DialogPlace.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/lists/CheckListBox.h"
#include "quillo/document/ImageView.h"
#include "quillo/shell/PreferenceValues.h"
#include "vorlen/core/Buffer.h"

QUILLO_DEFINE_CLASS(TPreferences, TForm)

int PreferencesPage = 0;
int PreferencesLeft = -1;
int PreferencesTop = 0;

namespace {

constexpr int kClientWidth = 351;
constexpr int kClientHeight = 323;
constexpr int kHelpContext = 1510;
constexpr int kMargin = 12;
constexpr int kFieldWidth = 310;
constexpr int kPageWidth = 330;  // inside the page control's frame
constexpr int kLabelWidth = 200;
constexpr int kListHeight = 150;
constexpr int kGammaViewWidth = 64;
constexpr int kGammaViewHeight = 48;

template <class T>
T* MakeControl(TPreferences* form, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  auto* control = NewNamedComponent<T>(form, name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

TCheckBox* MakeCheck(TPreferences* form, TWinControl* page, const char* name, const char* caption, int left, int top,
                 int width = 300) {
  auto* box = MakeControl<TCheckBox>(form, page, name, left, top, width, 17);
  box->SetCaption(caption);
  return box;
}

TLabel* MakeLabel(TPreferences* form, TWinControl* page, const char* name, const char* caption, int left, int top) {
  // Fitted to its text once the form is made (Loaded).
  auto* label = MakeControl<TLabel>(form, page, name, left, top, std::min(kLabelWidth, kPageWidth - left), 13);
  label->SetCaption(caption);
  return label;
}

TButton* MakeButton(TPreferences* form, TWinControl* parent, const char* name, const char* caption, int left, int top,
                int width, TModalResult result = mrNone) {
  auto* button = MakeControl<TButton>(form, parent, name, left, top, width, 23);
  button->SetCaption(caption);
  button->SetModalResult(result);
  return button;
}

TExSpinEdit* MakeSpin(TPreferences* form, TWinControl* page, const char* name, int left, int top, int least, int most) {
  auto* field = MakeControl<TExSpinEdit>(form, page, name, left, top, 80, 21);
  field->SetMinValue(least);
  field->SetMaxValue(most);
  field->SetAlignment(taRightJustify);
  return field;
}

TTrackBar* MakeGammaBar(TPreferences* form, TWinControl* page, const char* name, int left, int top, int width, int least,
                    int most, int step) {
  auto* bar = MakeControl<TTrackBar>(form, page, name, left, top, width, 26);
  bar->SetMin(least);
  bar->SetMax(most);
  bar->SetPageSize(step);
  bar->SetFrequency(step);
  return bar;
}

}  // namespace

TPreferences::TPreferences(TComponent* owner) : TForm(owner) {
  SetName("Preferences");
  SetBorderStyle(bsToolWindow);
  SetBorderIcons({biSystemMenu});
  SetKeyPreview(true);
  SetShowHint(true);
  SetHelpContext(kHelpContext);
  SetColor(clBtnFace);
  GetFont()->SetName("MS Sans Serif");
  GetFont()->SetSize(8);
  SetCaption("Preferences");
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  BuildComponents();
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  OnDeactivate = [this](TObject* sender) { FormDeactivate(sender); };
  TranslateForm("[Preferences]");
  PageControl->SetActivePageIndex(std::clamp(PreferencesPage, 0, PageControl->PageCount() - 1));
  BuildTestPatterns();
  GammaBarChange(this);
  PlaceOnWorkArea();
}

void TPreferences::Loaded() {
  TForm::Loaded();
  // Labels fit their (translated) texts only now that the form is made.
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* label = dynamic_cast<TLabel*>(Components(i)); label && label->GetAutoSize()) {
      label->SetAutoSize(false);
      label->SetAutoSize(true);
    }
}

// The form frees its components (the views) before its own members (the patterns they show).
TPreferences::~TPreferences() = default;

void TPreferences::BuildComponents() {
  Cap = MakeDialogCaption(this, "Preferences");

  PageControl = MakeControl<TPageControl>(this, this, "PageControl", 4, 4, kClientWidth - 8, 284);
  PageControl->SetMultiLine(true);
  struct Page {
    TTabSheet** sheet;
    const char* name;
    const char* caption;
    int help;
  };
  const Page pages[] = {{&GeneralSheet, "GeneralSheet", "General", 1530},
                        {&InterfaceSheet, "InterfaceSheet", "Interface", 1540},
                        {&FilesSheet, "FilesSheet", "Files", 1550},
                        {&UndoSheet, "UndoSheet", "Undo", 1560},
                        {&PluginsSheet, "PluginsSheet", "Plug-Ins", 1570},
                        {&LanguageSheet, "LanguageSheet", "Language", 1580},
                        {&ExtensionsSheet, "ExtensionsSheet", "Extensions", 1600},
                        {&ColorsSheet, "ColorsSheet", "Colors", 1620},
                        {&GammaSheet, "GammaSheet", "Gamma", 1630},
                        {&SkinSheet, "SkinSheet", "Skin", 0}};
  for (const Page& p : pages) {
    *p.sheet = NewNamedComponent<TTabSheet>(this, p.name);
    (*p.sheet)->SetPageControl(PageControl);
    (*p.sheet)->SetCaption(p.caption);
    (*p.sheet)->SetHelpContext(p.help);
  }
  BuildGeneralPage();
  BuildInterfacePage();
  BuildFilesPage();
  BuildUndoPage();
  BuildPluginsPage();
  BuildLanguagePage();
  BuildExtensionsPage();
  BuildColorsPage();
  BuildGammaPage();
  BuildSkinPage();

  const int top = kClientHeight - 29;
  OkBtn = MakeButton(this, this, "OkBtn", "&Ok", kClientWidth - 246, top, 76, mrOk);
  OkBtn->SetHint("Accept Settings");
  CancelBtn = MakeButton(this, this, "CancelBtn", "&Cancel", kClientWidth - 164, top, 76, mrCancel);
  CancelBtn->SetHint("Abandon Settings");
  CancelBtn->SetCancel(true);
  HelpBtn = MakeButton(this, this, "HelpBtn", "&Help", kClientWidth - 82, top, 76);
  HelpBtn->OnClick = [this](TObject* sender) { HelpBtnClick(sender); };
}

void TPreferences::BuildGeneralPage() {
  TTabSheet* page = GeneralSheet;
  ShowTODCB = MakeCheck(this, page, "ShowTODCB", "&Show Tips on Startup", kMargin, 12);
  Clipping = MakeCheck(this, page, "Clipping", "C&lipping (Ctrl+L)", kMargin, 36);
  Clipping->OnClick = [this](TObject* sender) { ClippingClick(sender); };
  OptimBrush = MakeCheck(this, page, "OptimBrush", "O&ptimize Brush", kMargin, 60);
  InstBrushCB = MakeCheck(this, page, "InstBrushCB", "&Instant Brush Creation", kMargin, 84);
  InstBrushCB->OnClick = [this](TObject* sender) { InstBrushCBClick(sender); };
  FixRefreshCB = MakeCheck(this, page, "FixRefreshCB", "&Fix Video Refresh Bug", kMargin, 108);
}

void TPreferences::BuildInterfacePage() {
  TTabSheet* page = InterfaceSheet;
  ResizeNeighCB = MakeCheck(this, page, "ResizeNeighCB", "&Resize Neighbors", kMargin, 8, 150);
  FlatIconsCB = MakeCheck(this, page, "FlatIconsCB", "&Flat Icons", kMargin, 30, 150);
  MaxQLCB = MakeCheck(this, page, "MaxQLCB", "&Maximize QL", kMargin, 52, 150);
  AlwaysDockCB = MakeCheck(this, page, "AlwaysDockCB", "&Always dock toolbars", kMargin, 74, 150);
  MinToTaskbarCB = MakeCheck(this, page, "MinToTaskbarCB", "Minimize Images to Taskbar", kMargin, 96, 180);
  Level = MakeControl<TRadioGroup>(this, page, "Level", 196, 4, 126, 44);
  Level->SetCaption("Level");
  Level->SetColumns(2);
  Level->GetItems()->Add("Novice");
  Level->GetItems()->Add("Expert");
  MUnitLabel = MakeLabel(this, page, "MUnitLabel", "Measurement Unit", 196, 58);
  MUnitCB = MakeControl<TComboBox>(this, page, "MUnitCB", 196, 74, 126, 21);
  MUnitCB->SetStyle(csDropDownList);
  for (const char* unit : {"Inch", "Centimeter", "Pixel"}) MUnitCB->GetItems()->Add(unit);
  FixZoomCB = MakeCheck(this, page, "FixZoomCB", "F&ixed Zoom for New Images", kMargin, 128, 180);
  ZoomUpDown = MakeControl<TUpDown>(this, page, "ZoomUpDown", 300, 124, 16, 24);
  ZoomUpDown->SetMin(-8);
  ZoomUpDown->SetMax(32);
  ZoomUpDown->SetPosition(1);
  ZoomUpDown->OnClick = [this](TObject* sender, TUDBtnType) { FixZoomChanged(sender); };
  ZoomValLab = MakeLabel(this, page, "ZoomValLab", "1", 260, 129);
}

void TPreferences::BuildFilesPage() {
  TTabSheet* page = FilesSheet;
  BackupFiles = MakeCheck(this, page, "BackupFiles", "&Backup Files", kMargin, 8);
  AutoLoadPalCB = MakeCheck(this, page, "AutoLoadPalCB", "&Auto Load Palette", kMargin, 30);
  AutoReloadCB = MakeCheck(this, page, "AutoReloadCB", "Auto &Reload", kMargin, 52);
  CacheThumbs = MakeCheck(this, page, "CacheThumbs", "&Cache Thumbnails", kMargin, 74);
  FileListLabel = MakeLabel(this, page, "FileListLabel", "File List Length", kMargin, 108);
  FileListLength = MakeSpin(this, page, "FileListLength", 150, 104, 0, 16);
  FileListLabel->SetFocusControl(FileListLength);
  FileListLength->OnChange = [this](TObject* sender) { FileListLenChange(sender); };
  ClrFListBtn = MakeButton(this, page, "ClrFListBtn", "Clear File List", kMargin, 138, 218);
  ClrFListBtn->OnClick = [this](TObject* sender) { ClrFListBtnClick(sender); };
  RemEntriesBtn = MakeButton(this, page, "RemEntriesBtn", "Remove inaccessible list entries", kMargin, 166, 218);
  RemEntriesBtn->OnClick = [this](TObject* sender) { RemEntriesBtnClick(sender); };
}

void TPreferences::BuildUndoPage() {
  TTabSheet* page = UndoSheet;
  UndoMemLabel = MakeLabel(this, page, "UndoMemLabel", "Undo in Memory (MB)", kMargin, 12);
  UndoMem = MakeSpin(this, page, "UndoMem", 200, 8, 1, 512);
  UndoMemLabel->SetFocusControl(UndoMem);
  UndoDiskLabel = MakeLabel(this, page, "UndoDiskLabel", "Undo on Disk (MB)", kMargin, 40);
  UndoDisk = MakeSpin(this, page, "UndoDisk", 200, 36, 1, 512);
  UndoDiskLabel->SetFocusControl(UndoDisk);
  UndoDirLabel = MakeLabel(this, page, "UndoDirLabel", "Directory for Undo Files:", kMargin, 72);
  UndoDirEdit = MakeControl<TDirectoryEdit>(this, page, "UndoDirEdit", kMargin, 88, kFieldWidth, 21);
  UndoDirEdit->SetDialogKind(dkWin32);
  UndoDirEdit->SetDialogText(LangMessage("BrowseUndoDir"));
  UndoDirEdit->OnChange = [this](TObject* sender) { UndoDirEditChange(sender); };
  UndoDirEdit->OnExit = [this](TObject* sender) { UndoDirEditChange(sender); };
  UndoDirLabel->SetFocusControl(UndoDirEdit);
  SpaceOnDisk = MakeLabel(this, page, "SpaceOnDisk", "Available Space:", kMargin, 120);
  SpaceOnDiskNum = MakeLabel(this, page, "SpaceOnDiskNum", "", 100, 120);
}

void TPreferences::BuildPluginsPage() {
  TTabSheet* page = PluginsSheet;
  UseQLCCB = MakeCheck(this, page, "UseQLCCB", "Use QL Components", kMargin, 8);
  UseAdobeCB = MakeCheck(this, page, "UseAdobeCB", "Use Adobe Plug-Ins", kMargin, 30);
  AdobeLocLabel = MakeLabel(this, page, "AdobeLocLabel", "Adobe Plug-Ins Location:", kMargin, 58);
  AdobeLocEdit = MakeControl<TDirectoryEdit>(this, page, "AdobeLocEdit", kMargin, 74, kFieldWidth, 21);
  AdobeLocEdit->SetDialogKind(dkWin32);
  AdobeLocEdit->SetDialogText(LangMessage("BrowseAdobeDir"));
  AdobeLocLabel->SetFocusControl(AdobeLocEdit);
  PluginListLabel = MakeLabel(this, page, "PluginListLabel", "Plug-Ins failed to load:", kMargin, 104);
  PluginList = MakeControl<TMemo>(this, page, "PluginList", kMargin, 120, kFieldWidth, 72);
  PluginList->SetReadOnly(true);
  PluginList->SetScrollBars(ssVertical);
}

void TPreferences::BuildLanguagePage() {
  LangsLabel = MakeLabel(this, LanguageSheet, "LangsLabel", "Set Language of QL to:", kMargin, 8);
  Langs = MakeControl<TListBox>(this, LanguageSheet, "Langs", kMargin, 24, kFieldWidth, kListHeight);
  LangsLabel->SetFocusControl(Langs);
}

void TPreferences::BuildExtensionsPage() {
  ExtensLabel = MakeLabel(this, ExtensionsSheet, "ExtensLabel", "Link QL to files:", kMargin, 8);
  ExtensBox = MakeControl<TExCheckListBox>(this, ExtensionsSheet, "ExtensBox", kMargin, 24, kFieldWidth, kListHeight);
  ExtensBox->SetAllowGrayed(true);
  ExtensBox->OnStateChange = [this](TObject* sender, int index) { ExtensBoxClickCheck(sender, index); };
  ExtensLabel->SetFocusControl(ExtensBox);
}

void TPreferences::BuildColorsPage() {
  ColorInHexCB = MakeCheck(this, ColorsSheet, "ColorInHexCB", "Color values in Hex format", kMargin, 8);
  DefPalLabel = MakeLabel(this, ColorsSheet, "DefPalLabel", "Default Palette:", kMargin, 36);
  DefPalEdit = MakeControl<TFilenameEdit>(this, ColorsSheet, "DefPalEdit", kMargin, 52, kFieldWidth, 21);
  DefPalEdit->SetFilter("Palette files|*.pal");
  DefPalEdit->OnBeforeDialog = [this](TObject* sender, AnsiString& name, bool& action) {
    BrowseForFile(sender, name, action);
  };
  DefPalLabel->SetFocusControl(DefPalEdit);
}

void TPreferences::BuildGammaPage() {
  TTabSheet* page = GammaSheet;
  UseGamma = MakeCheck(this, page, "UseGamma", "&Use Gamma Correction", kMargin, 6, 150);
  UseGamma->OnClick = [this](TObject* sender) { GammaCorShow(sender); };
  UseDefaults = MakeCheck(this, page, "UseDefaults", "Use Windows &Defaults", 170, 6, 150);
  UseDefaults->OnClick = [this](TObject* sender) { GammaCorShow(sender); };
  struct View {
    TBuffer** view;
    TLabel** label;
    const char* name;
    const char* labelName;
  };
  const View views[] = {{&GammaGrey, &GreyValLab, "GammaGrey", "GreyValLab"},
                        {&GammaRed, &RedValLab, "GammaRed", "RedValLab"},
                        {&GammaGreen, &GreenValLab, "GammaGreen", "GreenValLab"},
                        {&GammaBlue, &BlueValLab, "GammaBlue", "BlueValLab"}};
  for (int i = 0; i < 4; ++i) {
    const int left = kMargin + i * (kGammaViewWidth + 14);
    *views[i].view = MakeControl<TBuffer>(this, page, views[i].name, left, 30, kGammaViewWidth, kGammaViewHeight);
    (*views[i].view)->SetUseGlobalICM(false);
    (*views[i].view)->SetUseGlobalGammaCorr(false);
    (*views[i].view)->SetICM(true);
    (*views[i].view)->SetGammaCorr(true);
    *views[i].label = MakeLabel(this, page, views[i].labelName, "", left, 82);
    (*views[i].label)->SetAutoSize(false);
    (*views[i].label)->SetWidth(kGammaViewWidth);
    (*views[i].label)->SetAlignment(taCenter);
  }
  CoarseLabel = MakeLabel(this, page, "CoarseLabel", "Coarse Setting", kMargin, 102);
  GreyGammaBar = MakeGammaBar(this, page, "GreyGammaBar", kMargin - 4, 116, kFieldWidth, 90, 400, 10);
  FineLabel = MakeLabel(this, page, "FineLabel", "Fine Tuning", kMargin, 146);
  RedGammaBar = MakeGammaBar(this, page, "RedGammaBar", kMargin - 4, 160, 104, -20, 20, 5);
  GreenGammaBar = MakeGammaBar(this, page, "GreenGammaBar", kMargin + 100, 160, 104, -20, 20, 5);
  BlueGammaBar = MakeGammaBar(this, page, "BlueGammaBar", kMargin + 204, 160, 104, -20, 20, 5);
  for (TTrackBar* bar : {GreyGammaBar, RedGammaBar, GreenGammaBar, BlueGammaBar})
    bar->OnChange = [this](TObject* sender) { GammaBarChange(sender); };
  page->OnShow = [this](TObject* sender) { GammaCorShow(sender); };
}

void TPreferences::BuildSkinPage() {
  SkinListLabel = MakeLabel(this, SkinSheet, "SkinListLabel", "Set Skin to:", kMargin, 8);
  SkinList = MakeControl<TListBox>(this, SkinSheet, "SkinList", kMargin, 24, 220, kListHeight);
  SkinList->SetSorted(true);
  SkinListLabel->SetFocusControl(SkinList);
  ApplySkinBtn = MakeButton(this, SkinSheet, "ApplySkinBtn", "&Apply", 242, 24, 80);
  ApplySkinBtn->OnClick = [this](TObject* sender) { ApplySkinBtnClick(sender); };
}

void TPreferences::BuildTestPatterns() {
  struct Colours {
    TBuffer* view;
    std::uint32_t middle;
    std::uint32_t full;
  };
  const Colours patterns[] = {{GammaGrey, 0x7F7F7F, 0xFFFFFF},
                              {GammaRed, 0x7F0000, 0xFF0000},
                              {GammaGreen, 0x007F00, 0x00FF00},
                              {GammaBlue, 0x00007F, 0x0000FF}};
  const int width = GammaGrey->GetWidth();
  const int height = GammaGrey->GetHeight();
  for (const Colours& c : patterns) {
    auto pattern = std::make_unique<Buffer>();
    DrawGammaPattern(*pattern, width, height, c.middle, c.full);
    c.view->SetBuffer(pattern.get());
    patterns_.push_back(std::move(pattern));
  }
}

// The first time centred on the work area; afterwards where the user left it.
void TPreferences::PlaceOnWorkArea() { PlaceDialog(this, PreferencesLeft, PreferencesTop); }
