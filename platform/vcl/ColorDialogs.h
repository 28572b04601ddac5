#pragma once
// TColorDialog: the layer's colour dialog as a component. Color is the start and the
// result; CustomColors keeps the 16 custom colours as "ColorA=BBGGRR" .. "ColorP=..." lines
// (six hex digits of the colour value, as the framework stores them), read before the dialog
// opens and written back after it closes.

#include <memory>

#include "platform/vcl/Color.h"
#include "platform/vcl/CommonDialog.h"
#include "platform/vcl/SetOf.h"
#include "platform/vcl/Strings.h"
#include "platform/vcl/TypInfo.h"

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
using TColorDialogOptions = SetOf<TColorDialogOption>;
QUILLO_DECLARE_ENUM_TYPE(TColorDialogOption)
QUILLO_DECLARE_SET_TYPE(TColorDialogOption)

class TColorDialog : public TCommonDialog {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TColorDialog(TComponent* owner);
  ~TColorDialog() override;

  bool Execute() override;

  TColor GetColor() const { return color_; }
  void SetColor(TColor colour) { color_ = colour; }
  TStrings* GetCustomColors() const { return customColors_.get(); }
  void SetCustomColors(TStrings* colours);
  TColorDialogOptions GetOptions() const { return options_; }
  void SetOptions(TColorDialogOptions options) { options_ = options; }

private:
  TColor color_ = clBlack;
  std::unique_ptr<TStringList> customColors_;
  TColorDialogOptions options_;
};
