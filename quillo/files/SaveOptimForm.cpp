#include "quillo/files/SaveOptimForm.h"

#include <algorithm>

#include "platform/controls/Button.h"
#include "platform/host/KeyCodes.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/panels/PercentProgress.h"
#include "quillo/document/ImageView.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/PlacedControl.h"
#include "quillo/files/PreviewZoom.h"

QUILLO_DEFINE_CLASS(TSaveOptimForm, TForm)

TSaveOptimForm* SaveOptimForm = nullptr;

namespace {

constexpr int kHelpContext = 1145;
constexpr int kClientWidth = 542;
constexpr int kClientHeight = 391;
constexpr int kCaptionColours = 64;
constexpr const char* kDefaultTypeName = "JPEG";
constexpr const char* kProbePrefix = "$$$QL$$$";
constexpr int kProgressRefreshMs = 100;
constexpr int kProgressGap = 6;
constexpr unsigned kExclamationBox = 0x30;
// The tick of the progress bar's last move, for the whole run.
DWORD lastProgressTick = 0;

// The hooks the library reports progress to, put back as they were on every exit.
class ProgressHooksInForce {
public:
  ProgressHooksInForce(void (*start)(), bool (*step)(int), void (*end)())
      : start_(GFXFile::PrStart), step_(GFXFile::PrStep), end_(GFXFile::PrEnd) {
    GFXFile::SetProgFunc(start, step, end);
  }
  ~ProgressHooksInForce() { GFXFile::SetProgFunc(start_, step_, end_); }
  ProgressHooksInForce(const ProgressHooksInForce&) = delete;
  ProgressHooksInForce& operator=(const ProgressHooksInForce&) = delete;

private:
  void (*start_)();
  bool (*step_)(int);
  void (*end_)();
};

// A format's default save parameters, put back as they were on every exit.
class DefaultsKept {
public:
  explicit DefaultsKept(GFXFile* format) : format_(format), saved_(format->defaults) {}
  ~DefaultsKept() { format_->defaults = saved_; }
  DefaultsKept(const DefaultsKept&) = delete;
  DefaultsKept& operator=(const DefaultsKept&) = delete;

private:
  GFXFile* format_;
  GFXSaveParams saved_;
};

}  // namespace

TSaveOptimForm::TSaveOptimForm(TComponent* owner, UDBuffer* picture) : TForm(owner), picture_(picture) {
  SaveOptimForm = this;
  SetName("SaveOptimForm");
  SetBorderStyle(bsDialog);
  SetBorderIcons({biSystemMenu});
  SetCaption(" ");
  SetHelpContext(kHelpContext);
  SetKeyPreview(true);
  SetShowHint(true);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");
  Cap->SetNumColors(kCaptionColours);
  BuildSlotControls();
  BuildBottomControls();
  BuildPreviews();
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDeactivate = [this](TObject* sender) { FormDeactivate(sender); };
  TranslateForm("[SaveOptimForm]");
  LayOutConfigRow();
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
  ProgressBar->SetVisible(false);
  PlaceWindow();
  FillTypes();
  FourPreviews = true;
  PreviewWidth = PreviewZoom::kNarrowBox;
  if (!MakeSlotPictures()) return;
  CurrentSlot = -1;
  PageChange(nullptr);
  ListConfigurations();
  FitPreviewZoom();
}

TSaveOptimForm::~TSaveOptimForm() {
  if (SaveOptimForm == this) SaveOptimForm = nullptr;
}

void TSaveOptimForm::BuildSlotControls() {
  TabControl = PlacedControl<TTabControl>(this, "TabControl", this, 4, 8, 173, 305);
  for (const char* tab : {"&1", "&2", "&3", "&4"}) TabControl->GetTabs()->Add(tab);
  TabControl->SetHotTrack(true);
  TabControl->SetMultiLine(true);
  TabControl->SetTabHeight(18);
  TabControl->SetTabWidth(32);
  TabControl->OnChange = [this](TObject* sender) { PageChange(sender); };

  Type = PlacedControl<TComboBox>(this, "Type", TabControl, 9, 25, 156, 21);
  Type->SetStyle(csDropDownList);
  Type->OnChange = [this](TObject* sender) { TypeComboChange(sender); };
  CDepth = PlacedControl<TComboBox>(this, "CDepth", TabControl, 9, 52, 156, 21);
  CDepth->SetStyle(csDropDownList);
  CDepth->OnChange = [this](TObject* sender) { SetDitherAndLimitCols(sender); };

  const auto check = [this](const char* name, const char* caption, int top, int width) {
    auto* box = PlacedControl<TCheckBox>(this, name, TabControl, 9, top, width, 17);
    box->SetCaption(caption);
    return box;
  };
  LimitCB = check("LimitCB", "&Limit to", 80, 100);
  LimitCB->OnClick = [this](TObject* sender) { SetDitherAndLimitCols(sender); };
  LimitED = PlacedControl<TExSpinEdit>(this, "LimitED", TabControl, 113, 79, 52, 21);
  LimitED->SetMinValue(2);
  LimitED->SetMaxValue(256);
  LimitED->SetAsInteger(234);
  LimitED->OnChange = [this](TObject* sender) { ParamChange(sender); };
  DitherCB = check("DitherCB", "&Dither", 100, 156);
  DitherCB->OnClick = [this](TObject* sender) { ParamChange(sender); };
  TranspCB = check("TranspCB", "&Transparent", 120, 156);
  TranspCB->OnClick = [this](TObject* sender) { ParamChange(sender); };
  InterlCB = check("InterlCB", "&Interlaced/Progressive", 140, 156);
  InterlCB->OnClick = [this](TObject* sender) { ParamChange(sender); };

  QLabel = PlacedControl<TLabel>(this, "QLabel", TabControl, 8, 164, 50, 13);
  QLabel->SetCaption("Quality");
  QScbar = PlacedControl<TScrollBar>(this, "QScbar", TabControl, 65, 163, 76, 16);
  QScbar->SetKind(sbHorizontal);
  QScbar->SetParams(1, 1, 100);
  QScbar->SetLargeChange(10);
  QScbar->OnChange = [this](TObject* sender) { QualityChange(sender); };
  QValue = PlacedControl<TLabel>(this, "QValue", TabControl, 152, 164, 18, 13);
  QValue->SetCaption("75");
  Bevel1 = PlacedControl<TBevel>(this, "Bevel1", TabControl, 8, 184, 157, 2);
  Bevel1->SetShape(bsTopLine);
  SizeValue = PlacedControl<TLabel>(this, "SizeValue", TabControl, 11, 282, 84, 13);
  SizeValue->SetCaption("x");
  PrevBtn = PlacedControl<TButton>(this, "PrevBtn", TabControl, 96, 280, 71, 21);
  PrevBtn->SetCaption("&Accept");
  PrevBtn->OnClick = [this](TObject* sender) { PreviewBtnClick(sender); };
}

void TSaveOptimForm::BuildBottomControls() {
  Config4Combo = PlacedControl<TComboBox>(this, "Config4Combo", this, 4, 316, 105, 21);
  Config4Combo->SetStyle(csDropDown);
  Config4Combo->SetSorted(true);
  Config4Combo->OnChange = [this](TObject* sender) { Config4ComboChange(sender); };
  const auto speed = [this](const char* name, int tag) {
    auto* b = PlacedControl<TSpeedButton>(this, name, this, 0, 316, 21, 21);
    b->SetTag(tag);
    return b;
  };
  Ret4Btn = speed("Ret4Btn", 1027);
  Ret4Btn->OnClick = [this](TObject* sender) { Ret4BtnClick(sender); };
  Add4Btn = speed("Add4Btn", 1028);
  Add4Btn->OnClick = [this](TObject* sender) { Add4BtnClick(sender); };
  Del4Btn = speed("Del4Btn", 1029);
  Del4Btn->OnClick = [this](TObject* sender) { Del4BtnClick(sender); };

  ProgPanel = PlacedControl<TPanel>(this, "ProgPanel", this, 4, 340, 173, 25);
  ProgPanel->SetCaption("");
  ProgressBar = PlacedControl<TPercentProgress>(this, "ProgressBar", ProgPanel, 4, 4, 110, 17);
  ProgressBar->SetMax(100);
  ProgressBar->SetProgressColor(clBtnShadow);
  // Right-aligned in a fixed width: its right edge stays put whatever the magnification.
  ZoomLab = PlacedControl<TLabel>(this, "ZoomLab", ProgPanel, 130, 6, 60, 13);
  ZoomLab->SetAutoSize(false);
  ZoomLab->SetAlignment(taRightJustify);
  ZoomLab->SetCaption("ZL");

  const auto button = [this](const char* name, const char* caption, int left, int width) {
    auto* b = PlacedControl<TButton>(this, name, this, left, 368, width, 21);
    b->SetCaption(caption);
    b->SetTabStop(false);
    return b;
  };
  CancelBtn = button("CancelBtn", "&Cancel", 4, 63);
  CancelBtn->SetModalResult(mrCancel);
  HelpBtn = button("HelpBtn", "&Help", 70, 60);
  HelpBtn->OnClick = [this](TObject* sender) { HelpBtnClick(sender); };
  ExpandBtn = button("ExpandBtn", "<<", 132, 45);
  ExpandBtn->OnClick = [this](TObject* sender) { ExpandBtnClick(sender); };
}

// The configuration row ends at the progress panel's right edge, the name box filling what
// the buttons leave.
void TSaveOptimForm::LayOutConfigRow() {
  constexpr int kGap = 2;
  Del4Btn->SetLeft(ProgPanel->GetLeft() + ProgPanel->GetWidth() - Del4Btn->GetWidth());
  Add4Btn->SetLeft(Del4Btn->GetLeft() - kGap - Add4Btn->GetWidth());
  Ret4Btn->SetLeft(Add4Btn->GetLeft() - kGap - Ret4Btn->GetWidth());
  Config4Combo->SetWidth(Ret4Btn->GetLeft() - kGap - Config4Combo->GetLeft());
}

void TSaveOptimForm::PlaceWindow() {
  if (SavedLeft != -1) {
    SetBounds(SavedLeft, SavedTop, GetWidth(), GetHeight());
    return;
  }
  int left = (WorkArea.right - WorkArea.left - GetWidth()) / 2;
  int top = (WorkArea.bottom - WorkArea.top - GetHeight()) / 2;
  left = std::max(0, std::min(left, static_cast<int>(WorkArea.right) - GetWidth()));
  top = std::max(0, std::min(top, static_cast<int>(WorkArea.bottom) - GetHeight()));
  SetBounds(left, top, GetWidth(), GetHeight());
}

void TSaveOptimForm::FillTypes() {
  defaultType_ = 0;
  const std::vector<AnsiString> names = OptimTypeNames();
  for (size_t i = 0; i < names.size(); ++i) {
    Type->GetItems()->Add(names[i]);
    if (names[i] == kDefaultTypeName) defaultType_ = static_cast<int>(i);
  }
}

bool TSaveOptimForm::MakeSlotPictures() {
  const int width = picture_ != nullptr ? picture_->Width() : 0;
  const int height = picture_ != nullptr ? picture_->Height() : 0;
  for (int k = 0; k < kOptimSlotCount; ++k) {
    bool made = false;
    try {
      if (width > 0 && height > 0) SlotPicture[k].Alloc(width, height);
      made = SlotPicture[k].pixels != nullptr;
    } catch (...) {
      made = false;
    }
    if (!made) {
      for (UDBuffer& p : SlotPicture) p.Free();
      LangMessageBox("NoMem", "Err", kExclamationBox);
      PostMessage(CancelBtn->GetHandle(), BM_CLICK, 0, 0);
      return false;
    }
    SlotPicture[k].Box(SlotPicture[k].rect, 0);
    PreviewBuf[k]->SetBuffer(&SlotPicture[k]);
    SlotState[k] = kIdle;
    if (OptimSlots[k].typeIndex == -1) OptimSlots[k] = FirstRunSlot(k, defaultType_);
  }
  return true;
}

int TSaveOptimForm::ChosenDepthCode() const {
  const int i = CDepth->GetItemIndex();
  return i >= 0 && i < static_cast<int>(depthCodes_.size()) ? depthCodes_[i] : kDepthAdaptive;
}

int TSaveOptimForm::DepthIndex(int code) const {
  const bool known = code == 32 || code == 24 || code == 16 || code == 15 || code == 8 || code == 4 || code == 1 ||
                     code == kDepthGrey;
  const auto at = std::find(depthCodes_.begin(), depthCodes_.end(), known ? code : kDepthAdaptive);
  return at == depthCodes_.end() ? -1 : static_cast<int>(at - depthCodes_.begin());
}

int TSaveOptimForm::DepthCodeOfSlot(const OptimSlot& slot) const {
  const std::vector<OptimDepth> depths = DepthsOf(WritableFormat(slot.typeIndex));
  if (depths.empty()) return kDepthAdaptive;
  return depths[std::clamp<int>(slot.depthIndex, 0, static_cast<int>(depths.size()) - 1)].code;
}

OptimSlot TSaveOptimForm::ControlsSlot() const {
  OptimSlot s;
  s.typeIndex = Type->GetItemIndex();
  s.depthIndex = CDepth->GetItemIndex();
  s.limit = LimitCB->GetChecked() ? 1 : 0;
  s.colours = static_cast<std::int32_t>(LimitED->GetAsInteger());
  s.dither = DitherCB->GetChecked() ? 1 : 0;
  s.transparent = TranspCB->GetChecked() ? 1 : 0;
  s.interlaced = InterlCB->GetChecked() ? 1 : 0;
  s.quality = QScbar->GetPosition();
  return s;
}

void TSaveOptimForm::PageChange(TObject*) {
  if (CurrentSlot != -1) OptimSlots[CurrentSlot] = ControlsSlot();
  const int tab = TabControl->GetTabIndex();
  if (tab == CurrentSlot || tab < 0 || tab >= kOptimSlotCount) return;
  CurrentSlot = tab;
  // While a probe runs the other slots may be looked at, never changed: the controls are
  // shown as the slot has them and locked again.
  const bool probing = Probing();
  if (probing) UnlockAfterProbe();
  ShowSlot(tab);
  if (probing) LockForProbe();
  ShowSlotButton(true);
}

void TSaveOptimForm::ShowSlot(int slot) {
  const int state = SlotState[slot];
  const OptimSlot s = OptimSlots[slot];
  Type->SetItemIndex(s.typeIndex);
  TypeComboChange(Type);
  const int depths = static_cast<int>(depthCodes_.size());
  CDepth->SetItemIndex(depths == 0 ? -1 : std::clamp<int>(s.depthIndex, 0, depths - 1));
  SetDitherAndLimitCols(CDepth);
  LimitCB->SetChecked(s.limit != 0);
  LimitED->SetAsInteger(s.colours);
  DitherCB->SetChecked(s.dither != 0);
  TranspCB->SetChecked(s.transparent != 0);
  InterlCB->SetChecked(s.interlaced != 0);
  QScbar->SetPosition(s.quality);
  QualityChange(QScbar);
  SlotState[slot] = state;
}

void TSaveOptimForm::ShowSlotButton(bool withSize) {
  if (CurrentSlot < 0) return;
  const int state = SlotState[CurrentSlot];
  if (Probing()) {
    PrevBtn->SetCaption(LangMessage("SOCancel"));
  } else if (state == kProbed) {
    PrevBtn->SetCaption(LangMessage("SOAccept"));
  } else {
    PrevBtn->SetCaption(LangMessage("SOPreview"));
  }
  if (!withSize) return;
  if (state == kProbed)
    SizeValue->SetCaption(LangMessage("SOSize") + ": " + IntToStr(SlotSize[CurrentSlot]));
  else if (state == kIdle)
    SizeValue->SetCaption("");
}

void TSaveOptimForm::TypeComboChange(TObject* sender) {
  const GFXFile* const format = WritableFormat(Type->GetItemIndex());
  CDepth->GetItems()->Clear();
  depthCodes_.clear();
  for (const OptimDepth& d : DepthsOf(format)) {
    CDepth->GetItems()->Add(LangMessage(d.key));
    depthCodes_.push_back(d.code);
  }
  CDepth->SetItemIndex(depthCodes_.empty() ? -1 : 0);
  InterlCB->SetEnabled(format != nullptr && format->interlace);
  const bool quality = format != nullptr && format->quality != 0;
  QLabel->SetEnabled(quality);
  QScbar->SetEnabled(quality);
  QValue->SetEnabled(quality);
  if (picture_ != nullptr) {
    const GFXSaveParams& was = picture_->SaveParams;
    LimitCB->SetChecked(was.colours != 0);
    if (was.colours != 0) LimitED->SetAsInteger(std::clamp<int>(was.colours, 2, 256));
    TranspCB->SetChecked(was.transparent);
    InterlCB->SetChecked(was.interlaced);
  }
  SetDitherAndLimitCols(sender);
}

void TSaveOptimForm::SetDitherAndLimitCols(TObject* sender) {
  const int code = ChosenDepthCode();
  const bool limitable = DepthTakesLimit(code);
  LimitCB->SetEnabled(limitable);
  LimitED->SetEnabled(LimitCB->GetChecked() && limitable);
  DitherCB->SetEnabled(LimitCB->GetEnabled() || code == 1);
  TranspCB->SetEnabled(LimitCB->GetEnabled() || code == 1);
  if (code == 32) TranspCB->SetChecked(true);
  if (code == 24) TranspCB->SetChecked(false);
  ParamChange(sender);
}

void TSaveOptimForm::ParamChange(TObject*) {
  if (CurrentSlot < 0 || SlotState[CurrentSlot] != kProbed) return;
  SlotState[CurrentSlot] = kIdle;
  ShowSlotButton(false);
}

void TSaveOptimForm::QualityChange(TObject* sender) {
  QValue->SetCaption(IntToStr(QScbar->GetPosition()));
  ParamChange(sender);
}

void TSaveOptimForm::PreviewBtnClick(TObject*) {
  if (Probing()) {
    OptimCancelRequested = true;
    return;
  }
  if (CurrentSlot < 0) return;
  if (SlotState[CurrentSlot] == kProbed) {
    AcceptedSlot = CurrentSlot;
    SetModalResult(mrOk);
    return;
  }
  Probe(CurrentSlot);
}

void TSaveOptimForm::Probe(int k) {
  const bool qualityEnabled = QScbar->GetEnabled();
  ProbeFolder::Remove(ProbeFile[k]);
  ProbeFile[k] = AnsiString();
  GFXFile* const format = WritableFormat(Type->GetItemIndex());
  if (picture_ == nullptr || format == nullptr || probes_.Path().empty()) return;
  ProbeFile[k] = probes_.Path() + kProbePrefix + IntToStr(k) + FirstExtensionWithDot(format);
  const int depthCode = ChosenDepthCode();
  GFXSaveParams params = SlotSaveParams(ControlsSlot(), depthCode);

  LockForProbe();
  SlotState[k] = kProbing;
  probingSlot_ = k;
  ShowSlotButton(false);
  OptimCancelRequested = false;
  int code = SaveStopped;
  {
    ProgressHooksInForce hooks(OptimProgressStart, OptimProgressStep, OptimProgressEnd);
    // The library keeps a save's parameters as its format's defaults, which the save dialog
    // offers next; a trial save is not the user's choice and leaves them as they were.
    const DefaultsKept kept(format);
    code = SaveImageFile(ProbeFile[k], picture_, &params, true, QuietProgress::CallersHooks);
  }
  if (code == SaveOk && !OptimCancelRequested && GetModalResult() == mrNone) {
    ReadBack(k, depthCode, qualityEnabled);
  } else {
    SlotState[k] = kIdle;
  }
  // A probe stopped after its file was written leaves nothing behind either.
  if (SlotState[k] != kProbed) ProbeFolder::Remove(ProbeFile[k]);
  probingSlot_ = -1;
  UnlockAfterProbe();
  ShowSlotButton(CurrentSlot == k && SlotState[k] == kProbed);
}

void TSaveOptimForm::ReadBack(int k, int depthCode, bool qualityEnabled) {
  GFXSaveParams shown;
  ApplyDepthCode(depthCode, shown);
  bool readBack = true;
  if (shown.bits < 24 || qualityEnabled) {
    readBack = LoadImageFile(&SlotPicture[k], ProbeFile[k], 0, true) == LoadOk;
  } else {
    // 24 and 32 bits without a quality setting write the image exactly.
    SlotPicture[k].Copy(*picture_,
                        Pair<int>(SlotPicture[k].rect.left + picture_->rect.left,
                                  SlotPicture[k].rect.top + picture_->rect.top),
                        Buffer::kPlain);
  }
  PreviewBuf[k]->SetBuffer(&SlotPicture[k]);
  PreviewBuf[k]->Invalidate();
  const std::int64_t size = FileSizeOf(ProbeFile[k]);
  if (!readBack || OptimCancelRequested || size < 0) {
    SlotState[k] = kIdle;
    return;
  }
  SlotSize[k] = static_cast<int>(std::min<std::int64_t>(size, INT32_MAX));
  SlotState[k] = kProbed;
}

void TSaveOptimForm::LockForProbe() {
  lockedControls_.clear();
  for (int i = 0; i < ComponentCount(); ++i) {
    auto* control = dynamic_cast<TControl*>(Components(i));
    if (control == nullptr || control == TabControl || control == PrevBtn) continue;
    lockedControls_.emplace_back(control, control->GetEnabled());
    control->SetEnabled(false);
  }
}

void TSaveOptimForm::UnlockAfterProbe() {
  for (const auto& [control, enabled] : lockedControls_) control->SetEnabled(enabled);
  lockedControls_.clear();
}

void TSaveOptimForm::OptimProgressStart() {
  TSaveOptimForm* form = SaveOptimForm;
  if (form == nullptr) return;
  form->ProgressBar->SetPosition(0);
  form->ProgressBar->SetMax(100);
  form->ProgressBar->SetWidth(std::max(0, form->ZoomLab->GetLeft() - kProgressGap - form->ProgressBar->GetLeft()));
  form->ProgressBar->SetVisible(true);
}

bool TSaveOptimForm::OptimProgressStep(int percent) {
  TSaveOptimForm* form = SaveOptimForm;
  const DWORD now = GetTickCount();
  if (form != nullptr && now - lastProgressTick > static_cast<DWORD>(kProgressRefreshMs)) {
    lastProgressTick = now;
    form->ProgressBar->SetPosition(percent);
  }
  Application()->ProcessMessages();
  // A close request (Escape, the close box) stops the probe too; the window closes once the
  // save has returned.
  const bool closing = SaveOptimForm != nullptr && SaveOptimForm->GetModalResult() != mrNone;
  return !OptimCancelRequested && !closing;
}

void TSaveOptimForm::OptimProgressEnd() {
  if (SaveOptimForm != nullptr) SaveOptimForm->ProgressBar->SetVisible(false);
}

void TSaveOptimForm::FormClose(TObject*, TCloseAction& action) {
  SavedLeft = GetLeft();
  SavedTop = GetTop();
  for (AnsiString& file : ProbeFile) {
    ProbeFolder::Remove(file);
    file = AnsiString();
  }
  if (GetModalResult() == mrOk && CurrentSlot >= 0) {
    OptimSlots[CurrentSlot] = ControlsSlot();
    SaveOptimResult = OptimSlots[AcceptedSlot];
    SaveOptimResult.depthIndex = DepthCodeOfSlot(OptimSlots[AcceptedSlot]);
  }
  action = caHide;
}

void TSaveOptimForm::FormKeyDown(TObject*, WORD& key, TShiftState) {
  if (key == VK_ESCAPE) {
    key = 0;
    if (!Probing() && GetActiveControl() == LimitED) {
      SetActiveControl(nullptr);
      return;
    }
    SetModalResult(mrCancel);
    return;
  }
  if (Probing()) return;
  const TWinControl* focus = GetActiveControl();
  if (focus == LimitED || focus == Config4Combo) return;
  switch (key) {
    case VK_ADD:
      Zoom = PreviewZoom::In(Zoom);
      ApplyPreviewZoom();
      break;
    case VK_SUBTRACT:
      Zoom = PreviewZoom::Out(Zoom);
      ApplyPreviewZoom();
      break;
    case VK_LEFT: PanPreviews(16, 0); break;
    case VK_RIGHT: PanPreviews(-16, 0); break;
    case VK_UP: PanPreviews(0, 16); break;
    case VK_DOWN: PanPreviews(0, -16); break;
    default: return;
  }
  key = 0;
}

void TSaveOptimForm::FormDeactivate(TObject*) {
  if (GetVisible()) BringToFront();
}

void TSaveOptimForm::HelpBtnClick(TObject*) { Application()->HelpContext(GetHelpContext()); }
