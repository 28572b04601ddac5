#pragma once
// TFontDialog: the layer's font dialog as a component. Font is the start and the result;
// with fdApplyButton (or an OnApply handler) the dialog has an Apply button: Font then takes
// the dialog's current choice and OnApply runs with the dialog's window, which stays open.

#include <functional>
#include <memory>

#include "platform/vcl/CommonDialog.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/SetOf.h"
#include "platform/vcl/TypInfo.h"

enum TFontDialogOption {
  fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, fdNoOEMFonts,
  fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp, fdWysiwyg, fdLimitSize,
  fdScalableOnly, fdApplyButton
};
using TFontDialogOptions = SetOf<TFontDialogOption>;
QUILLO_DECLARE_ENUM_TYPE(TFontDialogOption)
QUILLO_DECLARE_SET_TYPE(TFontDialogOption)

using TFDApplyEvent = std::function<void(TObject* sender, HWND wnd)>;

class TFontDialog : public TCommonDialog {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TFontDialog(TComponent* owner);
  ~TFontDialog() override;

  bool Execute() override;

  TFont* GetFont() const { return font_.get(); }
  void SetFont(TFont* font) { font_->Assign(font); }
  TFontDialogOptions GetOptions() const { return options_; }
  void SetOptions(TFontDialogOptions options) { options_ = options; }
  int GetMinFontSize() const { return minFontSize_; }
  void SetMinFontSize(int points) { minFontSize_ = points; }
  int GetMaxFontSize() const { return maxFontSize_; }
  void SetMaxFontSize(int points) { maxFontSize_ = points; }
  void SetOnApply(TFDApplyEvent handler) { onApply_ = std::move(handler); }

private:
  void TakeLogFont(const LOGFONT& font);

  std::unique_ptr<TFont> font_;
  TFontDialogOptions options_{fdEffects};
  int minFontSize_ = 0;
  int maxFontSize_ = 0;
  TFDApplyEvent onApply_;
};
