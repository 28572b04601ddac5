#pragma once
// THintWindow: the small pop-up that shows a control's hint under the mouse, on the info
// colours, above every other window, without taking the activation.

#include "platform/vcl/GraphicControl.h"

class THintWindow : public TCustomControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit THintWindow(TComponent* owner);
  // The size the text needs, wrapped at maxWidth, with the window's margins.
  TRect CalcHintRect(int maxWidth, const AnsiString& hint);
  // Shows the hint at rect (screen coordinates).
  void ActivateHint(const TRect& rect, const AnsiString& hint);
  // Hides it (its window goes until the next hint).
  void ReleaseHandle();

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};
