#include "quillo/filters/CustomFilterForm.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/host/KeyCodes.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/FileDialogs.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/DialogPlace.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/base/Settings.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/utilities/VclUtils.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/PreviewState.h"
#include "quillo/document/Progress.h"
#include "quillo/filters/CustomFilterTool.h"
#include "quillo/filters/KernelFile.h"

QUILLO_DEFINE_CLASS(TCFilterForm, TForm)

int CFilterFormLeft = -1;
int CFilterFormTop = 0;
AnsiString KernelFileFolder = ".";

namespace {

constexpr int kHelpContext = 1310;
constexpr int kCellPitchX = 38;
constexpr int kCellPitchY = 24;
constexpr int kCellWidth = 36;
constexpr int kGridWidth = KernelSide * kCellPitchX + 2;
constexpr int kGridHeight = KernelSide * kCellPitchY + 2;
constexpr int kButtonLeft = kGridWidth + 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonPitch = 29;

// The preview's clipping setting, against which the next Preview tells whether it is still valid.
bool PreviewClipping = false;

bool Inside(HWND dialog, HWND window) { return window == dialog || IsChild(dialog, window) != FALSE; }

// Lets the waiting messages run while the preview filters. Only the dialog takes keys and
// clicks meanwhile: the picture it filters is not switched, closed or painted on under it.
void PumpDialogMessages(HWND dialog) {
  HHOOK mouseHook = nullptr;
  HHOOK keyHook = nullptr;
  mouseHook = SetWindowsHookEx(
      WH_MOUSE,
      [dialog, &mouseHook](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        const auto& mouse = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        if (code < 0 || Inside(dialog, mouse.hwnd)) return CallNextHookEx(mouseHook, code, wParam, lParam);
        return 1;
      },
      nullptr, GetCurrentThreadId());
  keyHook = SetWindowsHookEx(
      WH_KEYBOARD,
      [dialog, &keyHook](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (code < 0 || Inside(dialog, GetFocus())) return CallNextHookEx(keyHook, code, wParam, lParam);
        return 1;
      },
      nullptr, GetCurrentThreadId());
  struct Unhook {
    HHOOK& mouse;
    HHOOK& key;
    ~Unhook() {
      UnhookWindowsHookEx(key);
      UnhookWindowsHookEx(mouse);
    }
  } unhook{mouseHook, keyHook};
  Application()->ProcessMessages();
}

// Hands back to the previous tool, which finishes the filter tool; without one to go back to,
// the tool is finished where it stands.
void HandBack() {
  ReselectTool(true);
  if (CustomFilterTool.DialogOpen) CustomFilterTool.Deactivate(nullptr);
}

}  // namespace

int KernelCellValue(const AnsiString& text) {
  const std::string s = text.c_str();
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  long long value = 0;
  for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i)
    value = std::min<long long>(value * 10 + (s[i] - '0'), KernelCellLimit + 1);
  return std::clamp(static_cast<int>(negative ? -value : value), -KernelCellLimit, KernelCellLimit);
}

AnsiString TypedCellText(const AnsiString& text) {
  std::string kept;
  for (char c : std::string(text.c_str())) {
    const bool digit = std::isdigit(static_cast<unsigned char>(c)) != 0;
    const bool leadingSign = kept.empty() && (c == '-' || c == '+');
    if (digit || leadingSign) kept.push_back(c);
  }
  return AnsiString(kept.c_str());
}

AnsiString KernelCellText(int value) { return value == 0 ? AnsiString() : AnsiString(std::to_string(value).c_str()); }

TCFilterForm::TCFilterForm(TComponent* owner) : TForm(owner) {
  SetUpStayOnTopDialog(this, "CFilterForm", "Custom Filter", bsToolWindow, kHelpContext);
  SetClientWidth(kButtonLeft + kButtonWidth + 6);
  SetClientHeight(4 + 6 * kButtonPitch + 8);
  BuildComponents();
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  TranslateForm("[CFilterForm]");
  // The labels read as the spin edits' hints say.
  DivLab->SetCaption(DivFactor->GetHint());
  BiasLab->SetCaption(Bias->GetHint());
  previewCaption_ = PreviewBtn->GetCaption();
  Place();
}

TCFilterForm::~TCFilterForm() = default;

void TCFilterForm::BuildComponents() {
  Cap = MakeDialogCaption(this, "Custom Filter");
  BuildCells();

  const int rowTop = kGridHeight + 12;
  DivLab = DialogControl<TLabel>(this, this, "DivLab", 6, rowTop + 3, 24, 13);
  DivFactor = DialogControl<TExSpinEdit>(this, this, "DivFactor", 32, rowTop, 64, 21);
  DivFactor->SetMinValue(KernelDivMin);
  DivFactor->SetMaxValue(KernelDivMax);
  DivFactor->SetValue(1);
  DivFactor->SetHint("Div");
  DivLab->SetCaption("Div");
  DivLab->SetFocusControl(DivFactor);
  BiasLab = DialogControl<TLabel>(this, this, "BiasLab", 106, rowTop + 3, 28, 13);
  Bias = DialogControl<TExSpinEdit>(this, this, "Bias", 136, rowTop, 64, 21);
  Bias->SetMinValue(-KernelBiasLimit);
  Bias->SetMaxValue(KernelBiasLimit);
  Bias->SetValue(0);
  Bias->SetHint("Bias");
  BiasLab->SetCaption("Bias");
  BiasLab->SetFocusControl(Bias);
  DivFactor->OnChange = [this](TObject* sender) { ParamChanged(sender); };
  Bias->OnChange = [this](TObject* sender) { ParamChanged(sender); };

  struct ButtonSpec {
    TButton** button;
    const char* name;
    const char* caption;
    int top;
    void (TCFilterForm::*click)(TObject*);
  };
  const int lowTop = 4 + 4 * kButtonPitch + 8;
  const ButtonSpec buttons[] = {
      {&OkBtn, "OkBtn", "&Ok", 4, &TCFilterForm::OkBtnClick},
      {&PreviewBtn, "PreviewBtn", "&Preview", 4 + kButtonPitch, &TCFilterForm::PreviewBtnClick},
      {&CancelBtn, "CancelBtn", "&Cancel", 4 + 2 * kButtonPitch, &TCFilterForm::CancelBtnClick},
      {&HelpBtn, "HelpBtn", "&Help", 4 + 3 * kButtonPitch, &TCFilterForm::HelpBtnClick},
      {&LoadBtn, "LoadBtn", "&Load...", lowTop, &TCFilterForm::LoadBtnClick},
      {&SaveBtn, "SaveBtn", "&Save...", lowTop + kButtonPitch, &TCFilterForm::SaveBtnClick},
  };
  for (const ButtonSpec& spec : buttons) {
    *spec.button = DialogControl<TButton>(this, this, spec.name, kButtonLeft, spec.top, kButtonWidth, kButtonHeight);
    (*spec.button)->SetCaption(spec.caption);
    const auto click = spec.click;
    (*spec.button)->OnClick = [this, click](TObject* sender) { (this->*click)(sender); };
  }

  FilterLoadDlg = NewNamedComponent<TOpenDialog>(this, "FilterLoadDlg");
  FilterLoadDlg->SetFilter("Custom Filter (*.ACF)|*.ACF");
  FilterLoadDlg->SetDefaultExt("ACF");
  FilterLoadDlg->SetTitle("Load Custom Filter");
  FilterLoadDlg->SetOptions({ofHideReadOnly, ofFileMustExist, ofEnableSizing});
  FilterSaveDlg = NewNamedComponent<TSaveDialog>(this, "FilterSaveDlg");
  FilterSaveDlg->SetFilter("Custom Filter (*.ACF)|*.acf");
  FilterSaveDlg->SetDefaultExt("acf");
  FilterSaveDlg->SetTitle("Save Custom Filter");
  FilterSaveDlg->SetOptions({ofHideReadOnly, ofOverwritePrompt, ofEnableSizing});
}

void TCFilterForm::BuildCells() {
  CellPanel = DialogControl<TPanel>(this, this, "CellPanel", 4, 4, kGridWidth, kGridHeight);
  CellPanel->SetBevelOuter(bvNone);
  CellPanel->SetCaption("");
  for (int i = 0; i < KernelCells; ++i) {
    const AnsiString name = AnsiString("Cell") + AnsiString(std::to_string(i).c_str());
    TEdit* cell = DialogControl<TEdit>(this, CellPanel, name.c_str(), (i % KernelSide) * kCellPitchX + 2,
                               (i / KernelSide) * kCellPitchY + 2, kCellWidth, 21);
    cell->SetTag(i);
    cell->SetTabOrder(i);
    cell->OnChange = [this](TObject* sender) { CellChange(sender); };
    cell->OnExit = [this](TObject* sender) { CellExit(sender); };
    Cells[static_cast<std::size_t>(i)] = cell;
  }
}

// Where the user left it, or the first time a quarter of the way into the active document
// window; kept inside the work area.
void TCFilterForm::Place() {
  int left = CFilterFormLeft, top = CFilterFormTop;
  if (left == -1) {
    left = WorkArea.left + (WorkArea.right - WorkArea.left - GetWidth()) / 2;
    top = WorkArea.top + (WorkArea.bottom - WorkArea.top - GetHeight()) / 2;
    if (ImageForm != nullptr) {
      left = ImageForm->GetLeft() + ImageForm->GetWidth() / 4;
      top = ImageForm->GetTop() + ImageForm->GetHeight() / 4;
    }
  }
  left = std::max(static_cast<int>(WorkArea.left), std::min(left, static_cast<int>(WorkArea.right) - GetWidth()));
  top = std::max(static_cast<int>(WorkArea.top), std::min(top, static_cast<int>(WorkArea.bottom) - GetHeight()));
  SetBounds(left, top, GetWidth(), GetHeight());
}

ConvolutionKernel TCFilterForm::Kernel() {
  ConvolutionKernel kernel;
  for (int i = 0; i < KernelCells; ++i)
    kernel.Cells[static_cast<std::size_t>(i)] = KernelCellValue(Cells[static_cast<std::size_t>(i)]->GetText());
  kernel.Div = static_cast<int>(DivFactor->GetValue());
  kernel.Bias = static_cast<int>(Bias->GetValue());
  return ClampedKernel(kernel);
}

void TCFilterForm::ShowKernel(const ConvolutionKernel& given) {
  const ConvolutionKernel kernel = ClampedKernel(given);
  for (int i = 0; i < KernelCells; ++i)
    Cells[static_cast<std::size_t>(i)]->SetText(KernelCellText(kernel.Cells[static_cast<std::size_t>(i)]));
  DivFactor->SetValue(kernel.Div);
  Bias->SetValue(kernel.Bias);
  ParamChanged(this);
}

void TCFilterForm::ParamChanged(TObject*) { PreviewValid = false; }

void TCFilterForm::CellChange(TObject* sender) {
  auto* cell = dynamic_cast<TEdit*>(sender);
  if (cell == nullptr || adjusting_) return;
  const AnsiString text = cell->GetText();
  const AnsiString kept = TypedCellText(text);
  if (kept != text) {
    // The refused characters go; the caret steps back over them.
    const int caret = cell->GetSelStart() - static_cast<int>(text.size() - kept.size());
    adjusting_ = true;
    cell->SetText(kept);
    cell->SetSelStart(std::max(0, caret));
    adjusting_ = false;
  }
  ParamChanged(sender);
}

void TCFilterForm::CellExit(TObject* sender) {
  auto* cell = dynamic_cast<TEdit*>(sender);
  if (cell == nullptr) return;
  const AnsiString shown = KernelCellText(KernelCellValue(cell->GetText()));
  if (shown != cell->GetText()) cell->SetText(shown);
}

int TCFilterForm::CellIndexOf(const TWinControl* control) const {
  for (int i = 0; i < KernelCells; ++i)
    if (Cells[static_cast<std::size_t>(i)] == control) return i;
  return -1;
}

void TCFilterForm::EnableControls(bool enable) {
  for (TWinControl* control : {static_cast<TWinControl*>(OkBtn), static_cast<TWinControl*>(CancelBtn),
                               static_cast<TWinControl*>(HelpBtn), static_cast<TWinControl*>(LoadBtn),
                               static_cast<TWinControl*>(SaveBtn), static_cast<TWinControl*>(DivFactor),
                               static_cast<TWinControl*>(Bias)})
    control->SetEnabled(enable);
  for (TEdit* cell : Cells) cell->SetEnabled(enable);
}

void TCFilterForm::PreviewBtnClick(TObject*) {
  if (running_) {
    running_ = false;
    return;
  }
  if (PreviewValid && PreviewClipping == Settings.Clipping) return;
  if (!CustomFilterTool.TargetIsCurrent() || DrawView.pixels == nullptr) return;
  PreviewValid = true;
  PreviewClipping = Settings.Clipping;
  bool finished = true;
  {
    const WaitCursorScope wait;
    SetProgressText("Procin");
    const ProgressOperation progress(DrawView.Height());
    running_ = true;
    PreviewBtn->SetCaption(LangMessage("StopPreview"));
    // The keys that stop the run reach the dialog through its one enabled button.
    if (PreviewBtn->CanFocus()) PreviewBtn->SetFocus();
    EnableControls(false);
    finished = FilterPicture();
    PreviewBtn->SetCaption(previewCaption_);
    EnableControls(true);
    running_ = false;
  }
  if (!finished) PreviewValid = false;
  if (ImageForm != nullptr) ImageForm->ShowBuf->Invalidate();
  if (closeAfterRun_) {
    closeAfterRun_ = false;
    Close();
  }
}

bool TCFilterForm::FilterPicture() {
  P_custom_filter& tool = CustomFilterTool;
  const ConvolutionFilter filter(Kernel());
  UDBuffer& picture = *tool.Target;
  const bool selection = picture.Outline != nullptr;
  Rect area = selection ? Rect(picture.SelLeft, picture.SelTop, picture.SelRight, picture.SelBottom) : DrawView.rect;
  area = Rect(std::max(area.left, DrawView.rect.left), std::max(area.top, DrawView.rect.top),
              std::min(area.right, DrawView.rect.right), std::min(area.bottom, DrawView.rect.bottom));
  const BitBuffer* mask = selection ? &tool.Saved.Mask : nullptr;
  const HWND dialog = GetHandle();
  for (int y = area.top; y <= area.bottom; ++y) {
    filter.FilterRow(tool.Saved, mask, DrawView, y, area.left, area.right);
    ProgressStep(y - area.top + 1);
    PumpDialogMessages(dialog);
    if (!running_ || !tool.TargetIsCurrent()) return false;
  }
  return true;
}

void TCFilterForm::OkBtnClick(TObject* sender) {
  CustomFilterTool.Accepted = true;
  PreviewBtnClick(sender);
  // A preview stopped on its way leaves the dialog open: half a picture is not accepted.
  // So does a result without its undo step: the picture stays as it was until Cancel.
  if (!PreviewValid || !CustomFilterTool.OpenStep()) {
    CustomFilterTool.Accepted = false;
    return;
  }
  HandBack();
}

void TCFilterForm::CancelBtnClick(TObject*) { HandBack(); }

void TCFilterForm::HelpBtnClick(TObject*) { Application()->HelpContext(kHelpContext); }

void TCFilterForm::LoadBtnClick(TObject*) {
  FilterLoadDlg->SetInitialDir(KernelFileFolder);
  if (!FilterLoadDlg->Execute()) return;
  const AnsiString path = FilterLoadDlg->GetFileName();
  KernelFileFolder = ExtractFilePath(path);
  const std::optional<ConvolutionKernel> kernel = ReadKernelFile(path);
  if (!kernel) {
    LangMessageBox("CantOpenFilter", "Err", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  ShowKernel(*kernel);
}

void TCFilterForm::SaveBtnClick(TObject*) {
  FilterSaveDlg->SetInitialDir(KernelFileFolder);
  if (!FilterSaveDlg->Execute()) return;
  const AnsiString path = FilterSaveDlg->GetFileName();
  KernelFileFolder = ExtractFilePath(path);
  if (!WriteKernelFile(path, Kernel())) LangMessageBox("CantSaveFilter", "Err", MB_OK | MB_ICONEXCLAMATION);
}

void TCFilterForm::FormKeyDown(TObject* sender, WORD& key, TShiftState) {
  if (running_) {
    if (key == VK_ESCAPE || key == VK_RETURN) {
      running_ = false;
      key = 0;
    }
    return;
  }
  if (key == VK_ESCAPE) {
    if (GetActiveControl() == nullptr)
      CancelBtnClick(sender);
    else
      SetActiveControl(nullptr);
    key = 0;
    return;
  }
  if (key != VK_UP && key != VK_DOWN) return;
  const int index = CellIndexOf(GetActiveControl());
  if (index < 0) return;
  const int next = index + (key == VK_UP ? -KernelSide : KernelSide);
  if (next >= 0 && next < KernelCells) Cells[static_cast<std::size_t>(next)]->SetFocus();
  key = 0;
}

void TCFilterForm::FormCloseQuery(TObject*, bool& canClose) {
  if (!running_) return;
  // The running preview stops at the end of its row, then the dialog closes.
  running_ = false;
  closeAfterRun_ = true;
  canClose = false;
}

void TCFilterForm::FormClose(TObject*, TCloseAction& action) {
  CFilterFormLeft = GetLeft();
  CFilterFormTop = GetTop();
  closing_ = true;
  if (!CustomFilterTool.Finishing && CustomFilterTool.Form == this) HandBack();
  action = caFree;
}

void TCFilterForm::FormDestroy(TObject*) {
  if (CustomFilterTool.Form == this) CustomFilterTool.Form = nullptr;
}
