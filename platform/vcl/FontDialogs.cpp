#include "platform/vcl/FontDialogs.h"

#include <cstring>

#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/dialogs/FontDialog.h"
#include "platform/user/Dialog.h"

QUILLO_DEFINE_ENUM_TYPE(TFontDialogOption, "fdAnsiOnly", "fdTrueTypeOnly", "fdEffects", "fdFixedPitchOnly",
                        "fdForceFontExist", "fdNoFaceSel", "fdNoOEMFonts", "fdNoSimulations", "fdNoSizeSel",
                        "fdNoStyleSel", "fdNoVectorFonts", "fdShowHelp", "fdWysiwyg", "fdLimitSize", "fdScalableOnly",
                        "fdApplyButton")
QUILLO_DEFINE_SET_TYPE(TFontDialogOptions, TFontDialogOption)
QUILLO_DEFINE_PUBLISHED_CLASS(TFontDialog, TCommonDialog)

const TPropTable* TFontDialog::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TFontDialog>()
          .Property("Font", &TFontDialog::GetFont, &TFontDialog::SetFont)
          .Property("MaxFontSize", &TFontDialog::GetMaxFontSize, &TFontDialog::SetMaxFontSize)
          .Property("MinFontSize", &TFontDialog::GetMinFontSize, &TFontDialog::SetMinFontSize)
          .Property("Options", &TFontDialog::GetOptions, &TFontDialog::SetOptions)
          .Table();
  return &table;
}

namespace {

struct OptionFlag {
  TFontDialogOption option;
  DWORD flag;
};
constexpr OptionFlag kOptionFlags[] = {
    {fdAnsiOnly, CF_ANSIONLY},           {fdTrueTypeOnly, CF_TTONLY},       {fdEffects, CF_EFFECTS},
    {fdFixedPitchOnly, CF_FIXEDPITCHONLY}, {fdForceFontExist, CF_FORCEFONTEXIST}, {fdNoFaceSel, CF_NOFACESEL},
    {fdNoOEMFonts, CF_NOOEMFONTS},       {fdNoSimulations, CF_NOSIMULATIONS}, {fdNoSizeSel, CF_NOSIZESEL},
    {fdNoStyleSel, CF_NOSTYLESEL},       {fdNoVectorFonts, CF_NOVECTORFONTS}, {fdShowHelp, CF_SHOWHELP},
    {fdWysiwyg, CF_WYSIWYG},             {fdLimitSize, CF_LIMITSIZE},       {fdScalableOnly, CF_SCALABLEONLY},
    {fdApplyButton, CF_APPLY},
};

// The colour the dialog's colour list shows now.
COLORREF ChosenColour(HWND dialog, COLORREF otherwise) {
  LRESULT index = SendDlgItemMessage(dialog, cmb4, CB_GETCURSEL, 0, 0);
  if (index < 0) return otherwise;
  return static_cast<COLORREF>(SendDlgItemMessage(dialog, cmb4, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

}  // namespace

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), font_(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

void TFontDialog::TakeLogFont(const LOGFONT& font) {
  font_->SetName(std::string(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE)));
  font_->SetHeight(font.lfHeight);
  TFontStyles style = 0;
  if (font.lfWeight >= FW_BOLD) style |= fsBold;
  if (font.lfItalic) style |= fsItalic;
  if (font.lfUnderline) style |= fsUnderline;
  if (font.lfStrikeOut) style |= fsStrikeOut;
  font_->SetStyle(style);
}

bool TFontDialog::Execute() {
  LOGFONT font;
  std::strncpy(font.lfFaceName, font_->GetName().c_str(), LF_FACESIZE - 1);
  font.lfHeight = font_->GetHeight();
  TFontStyles style = font_->GetStyle();
  font.lfWeight = (style & fsBold) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (style & fsItalic) ? 1 : 0;
  font.lfUnderline = (style & fsUnderline) ? 1 : 0;
  font.lfStrikeOut = (style & fsStrikeOut) ? 1 : 0;
  font.lfCharSet = font_->GetCharset();

  CHOOSEFONT cf;
  cf.hwndOwner = OwnerWindow();
  cf.lpLogFont = &font;
  cf.rgbColors = ColorToRGB(font_->GetColor());
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_ENABLEHOOK;
  for (const OptionFlag& of : kOptionFlags)
    if (options_.Contains(of.option)) cf.Flags |= of.flag;
  if (onApply_) cf.Flags |= CF_APPLY;
  if (minFontSize_ > 0 || maxFontSize_ > 0) {
    cf.nSizeMin = minFontSize_;
    cf.nSizeMax = maxFontSize_;
  }
  cf.lpfnHook = [this, &cf](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> UINT_PTR {
    HelpCommand(message, wParam);
    switch (message) {
      case WM_INITDIALOG:
        DialogShown(dialog);
        return 1;  // the dialog gives its first control the focus
      case WM_DESTROY: DialogClosed(); break;
      case WM_COMMAND:
        if (LOWORD(wParam) == psh3 && HIWORD(wParam) == BN_CLICKED) {
          LOGFONT now;
          SendMessage(dialog, WM_CHOOSEFONT_GETLOGFONT, 0, reinterpret_cast<LPARAM>(&now));
          TakeLogFont(now);
          if (cf.Flags & CF_EFFECTS) font_->SetColor(static_cast<TColor>(ChosenColour(dialog, cf.rgbColors)));
          if (onApply_) onApply_(this, dialog);
          return 1;
        }
        break;
    }
    return 0;
  };
  if (!ChooseFont(&cf)) return false;
  TakeLogFont(font);
  if (cf.Flags & CF_EFFECTS) font_->SetColor(static_cast<TColor>(cf.rgbColors));
  return true;
}
