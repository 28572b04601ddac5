// The main window's colour swatches: the colour dialog a press on either opens, and the
// handler every colour change ends in (palette, picker, colour keys, the dialog's preview).

#include "platform/gdi/WinDefs.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/base/Language.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/ColorSelector.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/ToolObjects.h"
#include "quillo/tools/ToolForm.h"

namespace {

constexpr int ColourDialogHelp = 1000;

}  // namespace

void TMainForm::ConnectColourSwatches() {
  ColorBox = NewNamedComponent<TColorBox>(this, "ColorBox");
  ColorBox->HelpContext = ColourDialogHelp;
  ColorBox->OnChange = [this](TObject* sender, TColor colour) { ColorBoxChange(sender, true, colour); };
  for (TPanel* swatch : {DrawCol, BackCol})
    swatch->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
      ActivateColorSel(sender, button, shift, x, y);
    };
}

void TMainForm::ActivateColorSel(TObject* sender, TMouseButton, TShiftState, int, int) {
  auto* swatch = dynamic_cast<TPanel*>(sender);
  if (!swatch) return;
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
  ColorBox->Title = LangMessage(swatch == BackCol ? "SelBackCol" : "SelDrawCol");
  ColorBox->Target = swatch;
  const TColor chosen = ColorBox->Execute(swatch->GetColor());
  SetSwatchColour(swatch, PixelFromColor(ColorToRGB(chosen)));
  ColorBox->Target = nullptr;
  ColorBoxChange(this, false, chosen);
  if (ToolForm) ToolForm->DrawPalette();
}

void TMainForm::ColorBoxChange(TObject*, bool apply, TColor colour) {
  if (apply)
    if (auto* target = dynamic_cast<TPanel*>(ColorBox->Target)) SetSwatchColour(target, PixelFromColor(ColorToRGB(colour)));
  if (ToolForm) ToolForm->CreateBrushShape(this);
  if (CurrentTool == &TextTool) {
    // The preview shows the text in the new colour.
    HideTextBox(TextTool);
    DrawTextBox(TextTool, false, TextPreview);
    return;
  }
  RefreshToolStatus(true, true);
}
