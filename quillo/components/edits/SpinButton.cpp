#include "quillo/components/edits/SpinButton.h"

#include <cmath>

#include "platform/controls/UpDown.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Color.h"
#include "platform/vcl/Messages.h"
#include "platform/vcl/WinControl.h"

QUILLO_DEFINE_ENUM_TYPE(TSpinButtonState, "sbNotDown", "sbTopDown", "sbBottomDown")

namespace {

constexpr unsigned kFirstRepeatMs = 400;
constexpr unsigned kRepeatMs = 100;

// Rows from the top, '#' black, '.' white.
TOwnedPtr<TBitmap> GlyphFromRows(const char* const (&rows)[6]) {
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetSize(6, 6);
  TCanvas* canvas = bitmap->GetCanvas();
  canvas->GetBrush()->SetColor(clWhite);
  canvas->FillRect(TRect(0, 0, 6, 6));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x)
      if (rows[y][x] == '#') canvas->SetPixel(x, y, clBlack);
  return bitmap;
}

void Line(TCanvas* canvas, int x1, int y1, int x2, int y2) {
  canvas->MoveTo(x1, y1);
  canvas->LineTo(x2, y2);
}

}  // namespace

TOwnedPtr<TBitmap> MakeSpinUpGlyph() {
  static const char* const rows[6] = {"..##..", ".####.", "######", "..##..", "..##..", "..##.."};
  return GlyphFromRows(rows);
}

TOwnedPtr<TBitmap> MakeSpinDownGlyph() {
  static const char* const rows[6] = {"..##..", "..##..", "..##..", "######", ".####.", "..##.."};
  return GlyphFromRows(rows);
}

int DefaultSpinButtonWidth() { return std::min(GetSystemMetrics(SM_CXVSCROLL), 15); }

// ---- TExSpinButton ----

QUILLO_DEFINE_PUBLISHED_CLASS(TExSpinButton, TGraphicControl)

const TPropTable* TExSpinButton::PublishedProperties() {
  using B = TExSpinButton;
  static const TPropTable table = TPublisher<B>()
                                      .Property("DownGlyph", &B::GetDownGlyph, &B::SetDownGlyph)
                                      .Property("UpGlyph", &B::GetUpGlyph, &B::SetUpGlyph)
                                      .Property("FocusControl", &B::GetFocusControl, &B::SetFocusControl)
                                      .Table();
  return &table;
}

TExSpinButton::TExSpinButton(TComponent* owner) : TGraphicControl(owner) {
  upGlyph_ = MakeSpinUpGlyph();
  downGlyph_ = MakeSpinDownGlyph();
  for (auto& face : faces_) face = MakeObject<TBitmap>();
  SetBounds(0, 0, 20, 20);
}

TExSpinButton::~TExSpinButton() = default;

bool TExSpinButton::InTopHalf(int x, int y, int width, int height) {
  if (width <= 0) return false;
  return y <= height - static_cast<double>(x) * height / width;
}

void TExSpinButton::SetUpGlyph(TBitmap* bitmap) {
  if (bitmap) upGlyph_->Assign(bitmap);
  else upGlyph_ = MakeSpinUpGlyph();
  GlyphChanged();
}

void TExSpinButton::SetDownGlyph(TBitmap* bitmap) {
  if (bitmap) downGlyph_->Assign(bitmap);
  else downGlyph_ = MakeSpinDownGlyph();
  GlyphChanged();
}

void TExSpinButton::GlyphChanged() {
  repaintNeeded_ = true;
  Invalidate();
}

void TExSpinButton::SetFocusControl(TWinControl* control) {
  if (focusControl_ == control) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = control;
  if (focusControl_) focusControl_->FreeNotification(this);
}

void TExSpinButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TExSpinButton::SetState(TSpinButtonState state) {
  if (state_ == state) return;
  state_ = state;
  Invalidate();
}

bool TExSpinButton::LeftHeldOnControl() const {
  return ControlState().Contains(csLButtonDown) && (GetKeyState(VK_LBUTTON) & 0x8000) != 0;
}

void TExSpinButton::TopClick() {
  if (OnTopClick) OnTopClick(this);
  if (!LeftHeldOnControl()) SetState(sbNotDown);
}

void TExSpinButton::BottomClick() {
  if (OnBottomClick) OnBottomClick(this);
  if (!LeftHeldOnControl()) SetState(sbNotDown);
}

void TExSpinButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !GetEnabled()) return;
  if (focusControl_ && focusControl_->GetTabStop() && focusControl_->CanFocus() && !focusControl_->Focused())
    focusControl_->SetFocus();
  if (state_ == sbNotDown) {
    lastPress_ = InTopHalf(x, y, GetWidth(), GetHeight()) ? sbTopDown : sbBottomDown;
    state_ = lastPress_;
    Repaint();
    if (lastPress_ == sbTopDown) TopClick();
    else BottomClick();
    if (!repeatTimer_) {
      repeatTimer_ = NewComponent<TTimer>(this);
      repeatTimer_->SetOnTimer([this](TObject* sender) { TimerExpired(sender); });
    }
    repeatTimer_->SetEnabled(false);
    repeatTimer_->SetInterval(kFirstRepeatMs);
    repeatTimer_->SetEnabled(true);
  }
  dragging_ = true;
}

void TExSpinButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  if (x >= 0 && x <= GetWidth() && y >= 0 && y <= GetHeight()) {
    const TSpinButtonState under = InTopHalf(x, y, GetWidth(), GetHeight()) ? sbTopDown : sbBottomDown;
    if (under != state_) SetState(under == lastPress_ ? under : sbNotDown);
  } else if (state_ != sbNotDown) {
    SetState(sbNotDown);
  }
}

void TExSpinButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  dragging_ = false;
  if (x >= 0 && x <= GetWidth() && y >= 0 && y <= GetHeight()) {
    lastPress_ = sbNotDown;
    SetState(sbNotDown);
  }
}

void TExSpinButton::TimerExpired(TObject*) {
  repeatTimer_->SetInterval(kRepeatMs);
  if (state_ == sbNotDown || GetCaptureControl() != this) return;
  try {
    if (state_ == sbBottomDown) BottomClick();
    else TopClick();
  } catch (...) {
    repeatTimer_->SetEnabled(false);
    throw;
  }
}

void TExSpinButton::Dispatch(TMessage& m) {
  if (m.Msg == CM_ENABLEDCHANGED) {
    repaintNeeded_ = true;
    Invalidate();
  }
  TGraphicControl::Dispatch(m);
}

void TExSpinButton::Paint() {
  if (!GetEnabled() && !ComponentState().Contains(csDesigning)) dragging_ = false;
  TBitmap* idle = faces_[sbNotDown].get();
  if (idle->GetWidth() != GetWidth() || idle->GetHeight() != GetHeight() || repaintNeeded_) {
    DrawFaces();
    repaintNeeded_ = false;
  }
  GetCanvas()->Draw(0, 0, faces_[state_].get());
}

void TExSpinButton::DrawFaces() {
  for (int s = sbNotDown; s <= sbBottomDown; ++s) DrawFace(faces_[s].get(), static_cast<TSpinButtonState>(s));
}

void TExSpinButton::DrawFace(TBitmap* face, TSpinButtonState s) {
  const int w = GetWidth(), h = GetHeight();
  face->SetSize(w, h);
  if (w <= 0 || h <= 0) return;
  TCanvas* c = face->GetCanvas();
  c->GetBrush()->SetColor(clBtnFace);
  c->GetBrush()->SetStyle(bsSolid);
  c->FillRect(TRect(0, 0, w, h));
  TPen* pen = c->GetPen();
  pen->SetWidth(1);
  pen->SetColor(clWindowFrame);
  c->GetBrush()->SetColor(clWindowFrame);
  c->FrameRect(TRect(0, 0, w, h));
  c->GetBrush()->SetColor(clBtnFace);
  Line(c, -1, h, w, -1);
  // The upper half's lit (or, pressed, shadowed) top-left edge.
  pen->SetColor(s == sbTopDown ? clBtnShadow : clBtnHighlight);
  c->MoveTo(1, h - 4);
  c->LineTo(1, 1);
  c->LineTo(w - 3, 1);
  if (s != sbTopDown) {
    pen->SetColor(clBtnShadow);
    Line(c, 1, h - 3, w - 2, 0);
  }
  // The lower half's bottom-right edge.
  pen->SetColor(s == sbBottomDown ? clBtnHighlight : clBtnShadow);
  c->MoveTo(2, h - 2);
  c->LineTo(w - 2, h - 2);
  c->LineTo(w - 2, 1);
  pen->SetColor(s == sbBottomDown ? clBtnShadow : clBtnHighlight);
  Line(c, 2, h - 2, w - 1, 1);
  const int up = s == sbTopDown ? 2 : 1;
  const int ux = static_cast<int>(std::lround(w / 4.0 - upGlyph_->GetWidth() / 2.0)) + up;
  const int uy = static_cast<int>(std::lround(h / 4.0 - upGlyph_->GetHeight() / 2.0)) + up;
  c->BrushCopy(TRect(ux, uy, ux + upGlyph_->GetWidth(), uy + upGlyph_->GetHeight()), upGlyph_.get(),
               TRect(0, 0, upGlyph_->GetWidth(), upGlyph_->GetHeight()), upGlyph_->GetTransparentColor());
  const int dx = static_cast<int>(std::lround(3.0 * w / 4.0 - downGlyph_->GetWidth() / 2.0)) - 1;
  const int dy = static_cast<int>(std::lround(3.0 * h / 4.0 - downGlyph_->GetHeight() / 2.0)) - 1;
  c->BrushCopy(TRect(dx, dy, dx + downGlyph_->GetWidth(), dy + downGlyph_->GetHeight()), downGlyph_.get(),
               TRect(0, 0, downGlyph_->GetWidth(), downGlyph_->GetHeight()), downGlyph_->GetTransparentColor());
  if (s == sbBottomDown) {
    pen->SetColor(clBtnShadow);
    Line(c, 3, h - 2, w - 1, 2);
  }
}

// ---- TExUpDown ----

QUILLO_DEFINE_PUBLISHED_CLASS(TExUpDown, TCustomUpDown)

const TPropTable* TExUpDown::PublishedProperties() {
  static const TPropTable table = TPublisher<TExUpDown>().Table();
  return &table;
}

TExUpDown::TExUpDown(TComponent* owner) : TCustomUpDown(owner) {
  SetOrientation(udVertical);
  SetMin(-1);
  SetMax(1);
  SetPosition(0);
}

TExUpDown::~TExUpDown() { OnClick = nullptr; }

void TExUpDown::SetBounds(int left, int top, int width, int height) {
  TCustomUpDown::SetBounds(left, top, width, height);
  if (GetWidth() != DefaultSpinButtonWidth()) TCustomUpDown::SetBounds(GetLeft(), GetTop(), DefaultSpinButtonWidth(), GetHeight());
}

// The control always rests at 0: a step only tells its direction.
void TExUpDown::CNScroll(TMessage& m) {
  m.Result = 0;
  if (LOWORD(m.WParam) != SB_THUMBPOSITION || changing_) return;
  changing_ = true;
  int pos = static_cast<short>(HIWORD(m.WParam));
  if (HandleAllocated()) pos = static_cast<int>(SendMessage(GetHandle(), UDM_GETPOS32, 0, 0));
  try {
    if (pos > 0) Click(btNext);
    else if (pos < 0) Click(btPrev);
  } catch (...) {
    changing_ = false;
    throw;
  }
  if (HandleAllocated()) SendMessage(GetHandle(), UDM_SETPOS, 0, 0);
  changing_ = false;
}
