#include "quillo/files/SavePictureDialog.h"

#include <algorithm>
#include <bit>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Registry.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/RecentFolders.h"
#include "quillo/files/SaveOptimForm.h"

TSavePlus* SavePlus = nullptr;

namespace {

constexpr int kHelpContext = 1140;
constexpr const char* kRecentFoldersKey = "Software\\Dornick\\QL\\SF Items";
constexpr int kOptionsLeft = 164;
// Between the quality's scroll bar and its number.
constexpr int kQualityGap = 3;

// The depth buttons: name, default caption, top in the group, and what each writes.
struct DepthButtonPlace {
  const char* name;
  const char* caption;
  int top;
  signed char bits;
  bool grey;
};
constexpr DepthButtonPlace kDepthPlaces[TSavePlus::kDepthButtons] = {
    {"TC32RB", "True Color", 16, 32, false},       {"TC24RB", "True Color", 34, 24, false},
    {"HC16RB", "High Color (16 bit)", 52, 16, false}, {"HC15RB", "High Color (15 bit)", 70, 15, false},
    {"B8RB", "256 Colors", 88, 8, false},           {"B4RB", "16 Colors", 106, 4, false},
    {"GSRB", "GrayScale", 124, 8, true},            {"MCRB", "Monochrome", 142, 1, false},
    {"ADRB", "Adaptive", 160, -1, false},
};

bool DepthBit(const GFXFile* format, int bits) { return (format->depths & (1u << (bits - 1))) != 0; }

}  // namespace

QUILLO_DEFINE_PUBLISHED_CLASS(TSavePlus, TForm)

const TPropTable* TSavePlus::PublishedProperties() {
  static const TPropTable table = TPublisher<TSavePlus>().Table();
  return &table;
}

TSavePlus::TSavePlus(TComponent* owner) : TForm(owner) {
  SetName("SavePlus");
  SetBorderStyle(bsNone);
  SavePicDlg = NewComponent<TSaveDialogEx>(this);
  SavePicDlg->SetName("SavePicDlg");
  SavePicDlg->SetHelpContext(kHelpContext);
  SavePicDlg->SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly, ofShowHelp, ofEnableSizing});
  SavePicDlg->SetOnFileOk([this](TObject* sender, bool& accept) { SavePicDlgFileOk(sender, accept); });
  SavePicDlg->SetOnTypeChange([this](TObject* sender, int index) { SavePicDlgTypeChange(sender, index); });
  SavePicDlg->Hook().OwnerControl = TheDocumentHost().MainWindow();
  BuildPanel();
  TranslateComponent(this, "[SavePlus]");
  // Kept off the screen; shown once so that the windows of the panel and its controls exist
  // and can be lent at once.
  SetTop(-20000);
  SetVisible(true);
  SetVisible(false);
  SetClientHeight(Colors->GetTop() + Colors->GetHeight() + 4);
  LoadRecentFolders(RecFolders->GetItems(), kRecentFoldersKey);
  OnDestroy = [this](TObject*) { SaveRecentFolders(RecFolders->GetItems(), kRecentFoldersKey); };
}

TSavePlus::~TSavePlus() {
  if (SavePlus == this) SavePlus = nullptr;
}

void TSavePlus::BuildPanel() {
  SetClientWidth(317);
  Panel1 = NewComponent<TPanel>(this);
  Panel1->SetName("Panel1");
  Panel1->SetCaption(AnsiString());
  Panel1->SetBevelOuter(bvNone);
  Panel1->SetShowHint(true);
  Panel1->SetBounds(0, 0, 317, 205);
  Panel1->SetParent(this);

  RecFoldersLab = NewComponent<TLabel>(this);
  RecFoldersLab->SetName("RecFoldersLab");
  RecFoldersLab->SetCaption("Folders");
  RecFoldersLab->SetBounds(0, 4, 56, 13);
  RecFoldersLab->SetParent(Panel1);
  RecFolders = NewComponent<TComboBox>(this);
  RecFolders->SetName("RecFolders");
  RecFolders->SetStyle(csDropDownList);
  RecFolders->SetBounds(60, 0, 256, 21);
  RecFolders->SetParent(Panel1);
  RecFolders->OnChange = [this](TObject* sender) { RecFoldersChange(sender); };

  BuildDepthButtons();
  BuildOptions();
}

void TSavePlus::BuildDepthButtons() {
  Colors = NewComponent<TGroupBox>(this);
  Colors->SetName("Colors");
  Colors->SetCaption("Colors");
  Colors->SetBounds(0, 24, 150, 180);
  Colors->SetParent(Panel1);
  TRadioButton** buttons[kDepthButtons] = {&TC32RB, &TC24RB, &HC16RB, &HC15RB, &B8RB,
                                           &B4RB,   &GSRB,   &MCRB,   &ADRB};
  for (int i = 0; i < kDepthButtons; ++i) {
    TRadioButton* b = NewComponent<TRadioButton>(this);
    b->SetName(kDepthPlaces[i].name);
    b->SetCaption(kDepthPlaces[i].caption);
    b->SetBounds(8, kDepthPlaces[i].top, 136, 17);
    b->SetParent(Colors);
    b->OnClick = [this](TObject* sender) { BPPClick(sender); };
    *buttons[i] = b;
  }
}

void TSavePlus::BuildOptions() {
  const auto check = [this](const char* name, const char* caption, int top) {
    TCheckBox* box = NewComponent<TCheckBox>(this);
    box->SetName(name);
    box->SetCaption(caption);
    box->SetBounds(kOptionsLeft, top, 150, 17);
    box->SetParent(Panel1);
    return box;
  };
  LimitColsCB = check("LimitColsCB", "Limit Colors to", 36);
  LimitColsCB->SetWidth(95);
  LimitColsCB->OnClick = [this](TObject* sender) { LimitColsCBClick(sender); };
  LimColEd = NewComponent<TEdit>(this);
  LimColEd->SetName("LimColEd");
  LimColEd->SetBounds(261, 34, 38, 21);
  LimColEd->SetText("234");
  LimColEd->SetParent(Panel1);
  LimitCols = NewComponent<TUpDown>(this);
  LimitCols->SetName("LimitCols");
  LimitCols->SetMin(2);
  LimitCols->SetMax(256);
  LimitCols->SetThousands(false);
  LimitCols->SetWrap(false);
  LimitCols->SetParent(Panel1);
  LimitCols->SetAssociate(LimColEd);
  LimitCols->SetPosition(234);
  Dither = check("Dither", "Dither", 56);
  Transparent = check("Transparent", "Transparent", 76);
  MultiPass = check("MultiPass", "Interlaced/Progressive", 96);

  QualityLab = NewComponent<TLabel>(this);
  QualityLab->SetName("QualityLab");
  QualityLab->SetCaption("Quality");
  QualityLab->SetBounds(kOptionsLeft, 118, 40, 13);
  QualityLab->SetParent(Panel1);
  Quality = NewComponent<TScrollBar>(this);
  Quality->SetName("Quality");
  Quality->SetKind(sbHorizontal);
  Quality->SetBounds(208, 119, 85, 16);
  Quality->SetParams(1, 1, 100);
  Quality->SetLargeChange(10);
  Quality->SetParent(Panel1);
  Quality->OnChange = [this](TObject* sender) { QualityChange(sender); };
  QualityVal = NewComponent<TLabel>(this);
  QualityVal->SetName("QualityVal");
  QualityVal->SetCaption("100");
  QualityVal->SetBounds(296, 118, 18, 13);
  QualityVal->SetParent(Panel1);
  widestQualityNumber_ = QualityVal->GetWidth();
  QualityVal->SetCaption("75");

  OptimizeBtn = NewComponent<TButton>(this);
  OptimizeBtn->SetName("OptimizeBtn");
  OptimizeBtn->SetCaption("Optimize...");
  OptimizeBtn->SetBounds(kOptionsLeft, 143, 150, 22);
  OptimizeBtn->SetParent(Panel1);
  OptimizeBtn->OnClick = [this](TObject* sender) { OptimizeBtnClick(sender); };
  SetAsDefault = NewComponent<TButton>(this);
  SetAsDefault->SetName("SetAsDefault");
  SetAsDefault->SetCaption("Set as default");
  SetAsDefault->SetBounds(kOptionsLeft, 183, 150, 22);
  SetAsDefault->SetParent(Panel1);
  SetAsDefault->OnClick = [this](TObject* sender) { SetAsDefaultClick(sender); };
}

TRadioButton* TSavePlus::DepthButton(int i) const {
  TRadioButton* const buttons[kDepthButtons] = {TC32RB, TC24RB, HC16RB, HC15RB, B8RB,
                                                B4RB,   GSRB,   MCRB,   ADRB};
  return i >= 0 && i < kDepthButtons ? buttons[i] : nullptr;
}

GFXFile* TSavePlus::WritableFormatAt(int place) {
  if (place < 1) return nullptr;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next)
    if (f->depths != 0 && --place == 0) return f;
  return nullptr;
}

AnsiString TSavePlus::FirstExtensionOf(const GFXFile* format) {
  if (format == nullptr) return {};
  AnsiString ext = format->extensions;
  const size_t dot = ext.find('.');
  ext = dot == AnsiString::npos ? AnsiString() : ext.substr(dot + 1);
  const size_t semicolon = ext.find(';');
  return semicolon == AnsiString::npos ? ext : ext.substr(0, semicolon);
}

void TSavePlus::EnableDepthButtons(const GFXFile* format) {
  const uint indexed = format != nullptr ? format->depths & 0xFF : 0;
  const auto has = [format](int bits) { return format != nullptr && DepthBit(format, bits); };
  TC32RB->SetEnabled(has(32));
  TC24RB->SetEnabled(has(24));
  HC16RB->SetEnabled(has(16));
  HC15RB->SetEnabled(has(15));
  B8RB->SetEnabled(has(8));
  B4RB->SetEnabled(has(4));
  GSRB->SetEnabled(format != nullptr && format->grey_depths != 0);
  MCRB->SetEnabled(has(1));
  ADRB->SetEnabled(std::popcount(indexed) >= 2);
}

void TSavePlus::SavePicDlgTypeChange(TObject* sender, int index) {
  const GFXFile* const format = WritableFormatAt(index);
  EnableDepthButtons(format);
  MultiPass->SetEnabled(format != nullptr && format->interlace);
  const bool hasQuality = format != nullptr && format->quality != 0;
  QualityLab->SetEnabled(hasQuality);
  Quality->SetEnabled(hasQuality);
  QualityVal->SetEnabled(hasQuality);
  if (hasQuality) Quality->SetPosition(std::clamp<int>(format->defaults.quality, 1, 100));
  QualityChange(Quality);
  Dither->SetChecked(format != nullptr && format->defaults.dither);

  SelectDepthButton();
  const GFXSaveParams* const picture = PictureToSave != nullptr ? &PictureToSave->SaveParams : nullptr;
  const int colours = picture != nullptr ? picture->colours : 0;
  LimitColsCB->SetChecked(colours > 0);
  if (colours > 0) LimitCols->SetPosition(colours);
  LimitColsCBClick(LimitColsCB);
  Transparent->SetChecked(picture != nullptr && picture->transparent);
  MultiPass->SetChecked(picture != nullptr && picture->interlaced);
  GiveNameExtension(sender, LowerCase(FirstExtensionOf(format)));
}

bool TSavePlus::DialogRunning() const { return SavePicDlg->GetHandle() != nullptr; }

AnsiString TSavePlus::ChosenName() const {
  return DialogRunning() ? SavePicDlg->Hook().GetSelFileName() : SavePicDlg->GetFileName();
}

int TSavePlus::ChosenType() const {
  return DialogRunning() ? SavePicDlg->Hook().GetSelFilterIndex() : SavePicDlg->GetFilterIndex();
}

void TSavePlus::GiveNameExtension(TObject* sender, const AnsiString& extension) {
  const bool fromDialog = sender != nullptr && sender == SavePicDlg && DialogRunning();
  const AnsiString name = fromDialog ? SavePicDlg->Hook().GetSelFileName() : SavePicDlg->GetFileName();
  if (name.empty() || extension.empty()) return;
  const AnsiString renamed = ChangeFileExt(name, AnsiString(".") + extension);
  if (fromDialog)
    SavePicDlg->Hook().SetSelFileName(renamed);
  else
    SavePicDlg->SetFileName(renamed);
}

void TSavePlus::SelectDepthButton() {
  const GFXSaveParams* const picture = PictureToSave != nullptr ? &PictureToSave->SaveParams : nullptr;
  int b = picture != nullptr ? picture->bits : 0;
  if (picture != nullptr && picture->grey) {
    if (GSRB->GetEnabled()) return CheckDepth(GSRB);
    b = 8;
  }
  if (b == 1) {
    if (MCRB->GetEnabled()) return CheckDepth(MCRB);
    b = 4;
  }
  // Upward: the nearest enabled depth at or above the picture's.
  const struct {
    int most;
    TRadioButton* button;
    int next;
  } upward[] = {{4, B4RB, 8}, {8, B8RB, 15}, {15, HC15RB, 16}, {16, HC16RB, 24}, {24, TC24RB, 32}};
  for (const auto& step : upward) {
    if (b > step.most) continue;
    if (step.button->GetEnabled()) return CheckDepth(step.button);
    b = step.next;
  }
  // Downward: the deepest enabled depth below.
  const struct {
    int depth;
    TRadioButton* button;
  } downward[] = {{32, TC32RB}, {24, TC24RB}, {16, HC16RB}, {15, HC15RB}, {8, B8RB}, {4, B4RB}, {1, MCRB}};
  for (const auto& step : downward)
    if (step.button->GetEnabled()) return CheckDepth(step.button);
  // The format writes none of these depths: grey or an adaptive palette, whichever it has;
  // else no button, which saves at the format's own depth.
  if (GSRB->GetEnabled()) return CheckDepth(GSRB);
  if (ADRB->GetEnabled()) return CheckDepth(ADRB);
  CheckDepth(nullptr);
}

void TSavePlus::CheckDepth(TRadioButton* button) {
  for (int i = 0; i < kDepthButtons; ++i)
    if (DepthButton(i) != button) DepthButton(i)->SetChecked(false);
  if (button == nullptr) return;
  button->SetChecked(true);  // runs BPPClick unless it was checked already
  BPPClick(button);
}

void TSavePlus::BPPClick(TObject* sender) {
  for (int i = 0; i < kDepthButtons; ++i) {
    TRadioButton* b = DepthButton(i);
    if (b == sender) {
      if (!b->GetChecked()) b->SetChecked(true);
    } else if (b->GetChecked()) {
      b->SetChecked(false);
    }
  }
  const bool limitable = B8RB->GetChecked() || B4RB->GetChecked() || ADRB->GetChecked();
  LimitColsCB->SetEnabled(limitable);
  LimitCols->SetEnabled(limitable);
  Dither->SetEnabled(limitable || MCRB->GetChecked());
  Transparent->SetEnabled(limitable || MCRB->GetChecked());
  if (TC32RB->GetChecked()) Transparent->SetChecked(true);
  if (TC24RB->GetChecked()) Transparent->SetChecked(false);
  LimitColsCBClick(LimitColsCB);
}

void TSavePlus::LimitColsCBClick(TObject*) {
  // A greyed limit does not limit: its number is greyed with it.
  const bool limiting = LimitColsCB->GetChecked() && LimitColsCB->GetEnabled();
  LimitCols->SetEnabled(limiting);
  LimColEd->SetEnabled(limiting);
  Dither->SetEnabled(B8RB->GetChecked() || B4RB->GetChecked() || GSRB->GetChecked() || MCRB->GetChecked() ||
                     LimitColsCB->GetEnabled());
}

void TSavePlus::QualityChange(TObject*) {
  QualityVal->SetCaption(IntToStr(Quality->GetPosition()));
  PlaceQuality();
}

// The number is right-aligned with the colour limit's arrows, which take their place beside
// their field only once the panel is shown: the scroll bar ends short of where the widest
// number begins, so that no digit is hidden under it, and is laid out again with the number.
void TSavePlus::PlaceQuality() {
  const int numberRight = LimitCols->GetLeft() + LimitCols->GetWidth();
  Quality->SetWidth(std::max(0, numberRight - widestQualityNumber_ - kQualityGap - Quality->GetLeft()));
  QualityVal->SetLeft(numberRight - QualityVal->GetWidth());
}

void TSavePlus::SavePicDlgFileOk(TObject*, bool& accept) {
  accept = true;
  const AnsiString name = ChosenName();
  if (ExtractFileExt(name).empty()) {
    ReshowDialog = false;
    return;
  }
  int place = 0;
  if (DefaultFormatIndex(name, &place) == nullptr) {
    ReshowDialog = true;
    return;
  }
  ReshowDialog = ChosenType() != place;
}

void TSavePlus::RecFoldersChange(TObject*) {
  const int i = RecFolders->GetItemIndex();
  if (i < 0) return;
  if (DialogRunning())
    SavePicDlg->Hook().SetSelFolder(RecFolders->GetItems()->Get(i));
  else
    SavePicDlg->SetInitialDir(RecFolders->GetItems()->Get(i));
}

void TSavePlus::SetAsDefaultClick(TObject*) {
  const GFXFile* const chosen = WritableFormatAt(ChosenType());
  int position = 0;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr && f != chosen; f = f->next) ++position;
  Settings.DefFileExt = position;
}

GFXSaveParams TSavePlus::ChosenParams() const {
  GFXSaveParams params;
  for (int i = 0; i < kDepthButtons; ++i) {
    if (!DepthButton(i)->GetChecked()) continue;
    params.bits = kDepthPlaces[i].bits;
    params.grey = kDepthPlaces[i].grey;
    break;
  }
  params.quality = static_cast<uchar>(Quality->GetPosition());
  params.interlaced = MultiPass->GetChecked();
  if (LimitColsCB->GetChecked() && LimitColsCB->GetEnabled())
    params.colours = static_cast<short>(LimitCols->GetPosition());
  params.dither = Dither->GetChecked();
  params.transparent = Transparent->GetChecked();
  return params;
}

void TSavePlus::OptimizeBtnClick(TObject*) {
  UDBuffer* const picture = PictureToSave != nullptr ? PictureToSave : CurrentPicture;
  if (picture == nullptr) return;
  TOwnedPtr<TSaveOptimForm> optimiser(NewComponent<TSaveOptimForm>(Application(), picture));
  if (optimiser->ShowModal() == mrOk) TakeOptimResult(SaveOptimResult);
}

void TSavePlus::TakeOptimResult(const OptimSlot& result) {
  const int type = result.typeIndex + 1;
  if (DialogRunning()) {
    // The dialog applies the type as if the user had chosen it, which sets the panel up for it.
    SavePicDlg->Hook().SetSelFilterIndex(type);
  } else {
    SavePicDlg->SetFilterIndex(type);
    SavePicDlgTypeChange(nullptr, type);
  }
  for (int i = 0; i < kDepthButtons; ++i) {
    const bool code = kDepthPlaces[i].grey ? result.depthIndex == kDepthGrey : result.depthIndex == kDepthPlaces[i].bits;
    if (code) BPPClick(DepthButton(i));
  }
  LimitColsCB->SetChecked(result.limit != 0);
  LimitCols->SetPosition(result.colours);
  LimitColsCBClick(LimitColsCB);
  Dither->SetChecked(result.dither != 0);
  Transparent->SetChecked(result.transparent != 0);
  MultiPass->SetChecked(result.interlaced != 0);
  if (Quality->GetEnabled()) {
    Quality->SetPosition(result.quality);
    QualityChange(Quality);
  }
}

void TSavePlus::AddRecentFolder(const AnsiString& fileName) {
  ::AddRecentFolder(RecFolders->GetItems(), fileName);
}

TSavePlus* TheSaveDialog() {
  if (SavePlus == nullptr) SavePlus = Application()->CreateForm<TSavePlus>();
  return SavePlus;
}
