#include "platform/vcl/ScrollBox.h"

QUILLO_DEFINE_PUBLISHED_CLASS(TScrollBox, TScrollingWinControl)

const TPropTable* TScrollBox::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TScrollBox>().Property("BorderStyle", &TScrollBox::GetBorderStyle, &TScrollBox::SetBorderStyle).Table();
  return &table;
}

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
  SetBounds(0, 0, 185, 41);
  controlStyle_ << csAcceptsControls << csClickEvents << csCaptureMouse << csDoubleClicks << csSetCaption;
}

void TScrollBox::SetBorderStyle(TFormBorderStyle value) {
  // Only the two of a control's own frame mean anything here.
  if (value != bsNone) value = bsSingle;
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& params) {
  TScrollingWinControl::CreateParams(params);
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}
