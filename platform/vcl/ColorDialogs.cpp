#include "platform/vcl/ColorDialogs.h"

#include <array>
#include <cstdio>
#include <cstdlib>

#include "platform/dialogs/ColorDialog.h"

QUILLO_DEFINE_ENUM_TYPE(TColorDialogOption, "cdFullOpen", "cdPreventFullOpen", "cdShowHelp", "cdSolidColor",
                        "cdAnyColor")
QUILLO_DEFINE_SET_TYPE(TColorDialogOptions, TColorDialogOption)
QUILLO_DEFINE_PUBLISHED_CLASS(TColorDialog, TCommonDialog)

const TPropTable* TColorDialog::PublishedProperties() {
  static const TPropTable table = TPublisher<TColorDialog>()
                                      .Property("Color", &TColorDialog::GetColor, &TColorDialog::SetColor)
                                      .Property("CustomColors", &TColorDialog::GetCustomColors,
                                                &TColorDialog::SetCustomColors)
                                      .Property("Options", &TColorDialog::GetOptions, &TColorDialog::SetOptions)
                                      .Table();
  return &table;
}

namespace {

constexpr int kCustomCount = 16;
constexpr COLORREF kUnsetCustom = RGB(255, 255, 255);

AnsiString CustomName(int index) { return AnsiString("Color") + static_cast<char>('A' + index); }

// A custom colour line's value: hex digits of a colour; unset when empty or not hex.
COLORREF ParseCustom(const AnsiString& value) {
  if (value.empty() || value.size() > 8) return kUnsetCustom;
  char* end = nullptr;
  unsigned long colour = std::strtoul(value.c_str(), &end, 16);
  if (*end != '\0') return kUnsetCustom;
  return static_cast<COLORREF>(colour & 0xFFFFFF);
}

}  // namespace

TColorDialog::TColorDialog(TComponent* owner) : TCommonDialog(owner), customColors_(std::make_unique<TStringList>()) {}

TColorDialog::~TColorDialog() = default;

void TColorDialog::SetCustomColors(TStrings* colours) {
  if (colours) customColors_->Assign(colours);
  else customColors_->Clear();
}

bool TColorDialog::Execute() {
  std::array<COLORREF, kCustomCount> custom{};
  for (int i = 0; i < kCustomCount; ++i) custom[static_cast<size_t>(i)] = ParseCustom(customColors_->Values(CustomName(i)));
  CHOOSECOLOR cc;
  cc.hwndOwner = OwnerWindow();
  cc.rgbResult = ColorToRGB(color_);
  cc.lpCustColors = custom.data();
  cc.Flags = CC_RGBINIT | CC_ENABLEHOOK;
  if (options_.Contains(cdFullOpen)) cc.Flags |= CC_FULLOPEN;
  if (options_.Contains(cdPreventFullOpen)) cc.Flags |= CC_PREVENTFULLOPEN;
  if (options_.Contains(cdShowHelp)) cc.Flags |= CC_SHOWHELP;
  if (options_.Contains(cdSolidColor)) cc.Flags |= CC_SOLIDCOLOR;
  if (options_.Contains(cdAnyColor)) cc.Flags |= CC_ANYCOLOR;
  cc.lpfnHook = [this](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> UINT_PTR {
    if (message == WM_DESTROY) DialogClosed();
    HelpCommand(message, wParam);
    if (message != WM_INITDIALOG) return 0;
    DialogShown(dialog);
    return 1;  // the dialog gives its first control the focus
  };
  bool chosen = ChooseColor(&cc) != FALSE;
  if (chosen) color_ = static_cast<TColor>(cc.rgbResult);
  TStringsUpdate update(customColors_.get());
  customColors_->Clear();
  for (int i = 0; i < kCustomCount; ++i) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%.6X", static_cast<unsigned>(custom[static_cast<size_t>(i)]));
    customColors_->Add(CustomName(i) + "=" + hex);
  }
  return chosen;
}
