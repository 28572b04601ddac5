#include "quillo/components/panels/PercentProgress.h"

#include <cmath>

#include "platform/vcl/Bitmap.h"

TProgressFigures ProgressFigures(int position, int max, int width) {
  // A zero Max would divide by zero: the bar is simply empty.
  if (max <= 0) return TProgressFigures{};
  auto round = [](double v) { return static_cast<int>(std::nearbyint(v)); };
  return TProgressFigures{round(position * 100.0 / max), round(double(position) * (width - 1) / max)};
}

QUILLO_DEFINE_PUBLISHED_CLASS(TPercentProgress, TCustomControl)

const TPropTable* TPercentProgress::PublishedProperties() {
  using P = TPercentProgress;
  static const TPropTable table = TPublisher<P>()
                                      .Property("Max", &P::GetMax, &P::SetMax)
                                      .Property("Position", &P::GetPosition, &P::SetPosition)
                                      .Property("ProgressColor", &P::GetProgressColor, &P::SetProgressColor)
                                      .Property("Caption", &P::GetCaption, &P::SetCaption)
                                      .Property("Color", &P::GetColor, &P::SetColor)
                                      .Property("Font", &P::GetFont, &P::SetFont)
                                      .Property("Align", &P::GetAlign, &P::SetAlign)
                                      .Property("Visible", &P::GetVisible, &P::SetVisible)
                                      .Table();
  return &table;
}

TPercentProgress::TPercentProgress(TComponent* owner) : TCustomControl(owner) {
  SetColor(clWindow);
  SetParentColor(false);
  SetBounds(GetLeft(), GetTop(), 150, 17);
  RecalcPercentage();
}

bool TPercentProgress::RecalcPercentage() {
  TProgressFigures now = ProgressFigures(position_, max_, GetWidth());
  bool changed = !(now == figures_);
  figures_ = now;
  return changed;
}

void TPercentProgress::SetMax(int value) {
  if (value == max_) return;
  max_ = value;
  if (RecalcPercentage()) Invalidate();
}

void TPercentProgress::SetPosition(int value) {
  if (value == position_) return;
  position_ = value;
  if (RecalcPercentage()) Repaint();
}

void TPercentProgress::SetProgressColor(TColor value) {
  if (value == progressColor_) return;
  progressColor_ = value;
  Repaint();
}

void TPercentProgress::Resize() {
  TCustomControl::Resize();
  if (RecalcPercentage()) Invalidate();
}

void TPercentProgress::Dispatch(TMessage& m) {
  TCustomControl::Dispatch(m);
  if (m.Msg == CM_TEXTCHANGED) Repaint();
}

AnsiString TPercentProgress::DisplayText() const {
  AnsiString percent = std::to_string(figures_.percent) + "%";
  AnsiString caption = const_cast<TPercentProgress*>(this)->GetCaption();
  return caption.empty() ? percent : caption + "   " + percent;
}

void TPercentProgress::Paint() {
  const int w = GetWidth(), h = GetHeight();
  if (w <= 0 || h <= 0) return;
  TOwnedPtr<TBitmap> image = MakeObject<TBitmap>();
  image->SetWidth(w);
  image->SetHeight(h);
  TCanvas* c = image->GetCanvas();
  c->SetFont(GetFont());
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(GetColor());
  c->FillRect(TRect(0, 0, w - 1, h - 1));
  c->GetBrush()->SetColor(progressColor_);
  c->FillRect(TRect(0, 0, figures_.barWidth, h - 2));
  c->GetPen()->SetColor(clBtnShadow);
  c->MoveTo(0, h - 1);
  c->LineTo(0, 0);
  c->LineTo(w - 1, 0);
  c->GetPen()->SetColor(clBtnHighlight);
  c->LineTo(w - 1, h - 1);
  c->LineTo(0, h - 1);
  c->GetPen()->SetColor(clBtnFace);
  c->MoveTo(1, h - 2);
  c->LineTo(w - 2, h - 2);
  c->LineTo(w - 2, 1);
  c->GetBrush()->SetStyle(bsClear);
  c->TextOut(3, 1, DisplayText());
  GetCanvas()->Draw(0, 0, image.get());
}
