#pragma once
// TScrollBox: a scrolling control to put other controls in, framed by a sunken edge
// (BorderStyle bsSingle) or not (bsNone).

#include "platform/vcl/Form.h"

class TScrollBox : public TScrollingWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TScrollBox(TComponent* owner);

  TFormBorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);

protected:
  void CreateParams(TCreateParams& params) override;

private:
  TFormBorderStyle borderStyle_ = bsSingle;
};
