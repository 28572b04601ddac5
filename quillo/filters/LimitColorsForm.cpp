#include "quillo/filters/LimitColorsForm.h"

#include <algorithm>

#include "platform/host/KeyCodes.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/DialogPlace.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/utilities/VclUtils.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/PaletteFile.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"
#include "vorlen/color/Quantize.h"

QUILLO_DEFINE_CLASS(TLimitColorsForm, TForm)

bool LimitDither = true;
bool LimitKeepBackground = false;
int LimitColourCount = 234;
int LimitOperationIndex = loPutToPalette;
int LimitColorsFormLeft = -1;
int LimitColorsFormTop = 0;

namespace {

constexpr int kHelpContext = 1410;
constexpr int kLeastColours = 2;
constexpr int kMostColours = 256;

}  // namespace

TLimitColorsForm::TLimitColorsForm(TComponent* owner) : TForm(owner) {
  // Above the tools window whose palette sheet opens it.
  SetUpStayOnTopDialog(this, "LimitColorsForm", "Limit Colors", bsDialog, kHelpContext);
  SetClientWidth(300);
  SetClientHeight(156);
  BuildComponents();
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  TranslateForm("[LimitColorsForm]");
  ColorLimitLab->SetCaption(ColorLimit->GetHint());
  ColorLimit->SetValue(LimitColourCount);
  SaveBgndCB->SetChecked(LimitKeepBackground);
  DitherCB->SetChecked(LimitDither);
  Operation->SetItemIndex(LimitOperationIndex);
  PlaceDialog(this, LimitColorsFormLeft, LimitColorsFormTop);
}

TLimitColorsForm::~TLimitColorsForm() = default;

void TLimitColorsForm::BuildComponents() {
  Cap = MakeDialogCaption(this, "Limit Colors");
  ColorLimitLab = DialogControl<TLabel>(this, this, "ColorLimitLab", 8, 11, 90, 13);
  ColorLimitLab->SetCaption("Limit Colors to");
  ColorLimit = DialogControl<TExSpinEdit>(this, this, "ColorLimit", 104, 8, 60, 21);
  ColorLimit->SetMinValue(kLeastColours);
  ColorLimit->SetMaxValue(kMostColours);
  ColorLimit->SetHint("Limit Colors to");
  ColorLimitLab->SetFocusControl(ColorLimit);
  SaveBgndCB = DialogControl<TCheckBox>(this, this, "SaveBgndCB", 8, 36, 170, 17);
  SaveBgndCB->SetCaption("&Save Background Color");
  DitherCB = DialogControl<TCheckBox>(this, this, "DitherCB", 8, 58, 170, 17);
  DitherCB->SetCaption("&Dither Image");
  Operation = DialogControl<TRadioGroup>(this, this, "Operation", 8, 80, 200, 70);
  Operation->SetCaption("Operation");
  for (const char* item : {"Put Colors to Fast Palette", "Use Fast Palette", "Create Fast Palette Only"})
    Operation->GetItems()->Add(item);
  OkBtn = DialogControl<TButton>(this, this, "OkBtn", 218, 8, 75, 25);
  OkBtn->SetCaption("&Ok");
  OkBtn->SetDefault(true);
  OkBtn->OnClick = [this](TObject* sender) { OkBtnClick(sender); };
  CancelBtn = DialogControl<TButton>(this, this, "CancelBtn", 218, 40, 75, 25);
  CancelBtn->SetCaption("&Cancel");
  CancelBtn->SetModalResult(mrCancel);
  HelpBtn = DialogControl<TButton>(this, this, "HelpBtn", 218, 72, 75, 25);
  HelpBtn->SetCaption("&Help");
  HelpBtn->OnClick = [this](TObject* sender) { HelpBtnClick(sender); };
}

bool TLimitColorsForm::LimitColours() {
  palette_.fill(0);
  const std::uint32_t key = SaveBgndCB->GetChecked() ? BackgroundColour() : kNoKey;
  const int count = std::clamp(static_cast<int>(ColorLimit->GetValue()), kLeastColours, kMostColours);
  const int operation = Operation->GetItemIndex();
  UDBuffer* picture = CurrentPicture;
  int usable = count;
  if (operation == loPutToPalette || operation == loCreatePaletteOnly) {
    if (picture == nullptr) return true;
    // Only the colours made: the cleared entries after them would dither in as black.
    usable = std::max(1, CreatePalette(*picture, palette_.data(), count, key, nullptr, true));
    if (ToolForm != nullptr) ToolForm->SetPalette(false);
    for (int i = 0; i < PaletteCellCount; ++i) {
      const std::uint32_t colour = static_cast<std::uint32_t>(palette_[3 * i]) << 16 |
                                   static_cast<std::uint32_t>(palette_[3 * i + 1]) << 8 | palette_[3 * i + 2];
      if (ToolForm != nullptr)
        ToolForm->DrawPaletteCell(i, colour);
      else
        PaletteColors[static_cast<std::size_t>(i)] = colour;
    }
  } else {
    for (int i = 0; i < PaletteCellCount; ++i) {
      const std::uint32_t colour = PaletteColors[static_cast<std::size_t>(i)];
      palette_[3 * i] = static_cast<std::uint8_t>(colour >> 16);
      palette_[3 * i + 1] = static_cast<std::uint8_t>(colour >> 8);
      palette_[3 * i + 2] = static_cast<std::uint8_t>(colour);
    }
  }
  if (operation == loCreatePaletteOnly || picture == nullptr) return true;
  // Without the step the picture stays as it is: no change that Undo cannot take back.
  if (!picture->PushUndo("LimitCols")) return false;
  Quantize(*picture, palette_.data(), usable, key, DitherCB->GetChecked(), nullptr, 0);
  MarkPictureChanged();
  if (ImageForm != nullptr && ImageForm->ShowBuf != nullptr) ImageForm->ShowBuf->Invalidate();
  return true;
}

void TLimitColorsForm::OkBtnClick(TObject*) {
  {
    const WaitCursorScope wait;
    if (!LimitColours()) return;
  }
  LimitDither = DitherCB->GetChecked();
  LimitKeepBackground = SaveBgndCB->GetChecked();
  LimitColourCount = std::clamp(static_cast<int>(ColorLimit->GetValue()), kLeastColours, kMostColours);
  LimitOperationIndex = std::max(0, Operation->GetItemIndex());
  SetModalResult(mrOk);
}

void TLimitColorsForm::HelpBtnClick(TObject*) { Application()->HelpContext(kHelpContext); }

void TLimitColorsForm::FormKeyDown(TObject*, WORD& key, TShiftState) {
  if (key != VK_ESCAPE) return;
  SetModalResult(mrCancel);
  key = 0;
}

void TLimitColorsForm::FormDestroy(TObject*) {
  LimitColorsFormLeft = GetLeft();
  LimitColorsFormTop = GetTop();
}

void ShowLimitColorsDialog() {
  const ToolSuspension aside;
  TOwnedPtr<TLimitColorsForm> dialog(NewComponent<TLimitColorsForm>(Application()));
  dialog->ShowModal();
}
