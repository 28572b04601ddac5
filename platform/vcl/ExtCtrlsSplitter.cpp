// TSplitter: finding the control to size, the drag with its inverted line, and the size
// applied when the button is let go.

#include "platform/vcl/ExtCtrlsSplitter.h"

#include <array>

#include "platform/user/WinConst.h"
#include "platform/vcl/Form.h"

QUILLO_DEFINE_ENUM_TYPE(TResizeStyle, "rsNone", "rsLine", "rsUpdate", "rsPattern")

const TPropTable* TSplitter::PublishedProperties() {
  static const TPropTable table = TPublisher<TSplitter>()
                                      .Property("AutoSnap", &TSplitter::GetAutoSnap, &TSplitter::SetAutoSnap)
                                      .Property("Beveled", &TSplitter::GetBeveled, &TSplitter::SetBeveled)
                                      .Property("MinSize", &TSplitter::GetMinSize, &TSplitter::SetMinSize)
                                      .Property("ResizeStyle", &TSplitter::GetResizeStyle, &TSplitter::SetResizeStyle)
                                      .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TSplitter, TGraphicControl)

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 3, 100);
  SetAlign(alLeft);
  SetCursor(crHSplit);
}

TSplitter::~TSplitter() {
  StopSizing();
}

void TSplitter::SetBeveled(bool value) {
  beveled_ = value;
  Invalidate();
}

void TSplitter::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && (component == control_ || component == activeControl_)) StopSizing();
}

TControl* TSplitter::FindResizeControl() const {
  TWinControl* parent = GetParent();
  if (!parent) return nullptr;
  TPoint p(GetLeft(), GetTop());
  switch (GetAlign()) {
    case alLeft: --p.x; break;
    case alRight: p.x += GetWidth(); break;
    case alTop: --p.y; break;
    case alBottom: p.y += GetHeight(); break;
    default: return nullptr;
  }
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this || !c->GetVisible() || !c->GetEnabled()) continue;
    TRect r = c->GetBoundsRect();
    // A control sized to nothing can still be caught at its edge.
    if (r.Width() == 0) {
      if (GetAlign() == alLeft || GetAlign() == alTop) --r.left; else ++r.right;
    }
    if (r.Height() == 0) {
      if (GetAlign() == alLeft || GetAlign() == alTop) --r.top; else ++r.bottom;
    }
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return c;
  }
  return nullptr;
}

bool TSplitter::DoCanResize(int& newSize) {
  bool accept = true;
  if (OnCanResize) OnCanResize(this, newSize, accept);
  if (accept && newSize <= minSize_ && autoSnap_) newSize = 0;
  return accept;
}

void TSplitter::CalcSplitSize(int x, int y, int& newSize, int& split) const {
  bool horizontal = GetAlign() == alLeft || GetAlign() == alRight;
  split = horizontal ? x - downPos_.x : y - downPos_.y;
  int size = 0;
  switch (GetAlign()) {
    case alLeft: size = control_->GetWidth() + split; break;
    case alRight: size = control_->GetWidth() - split; break;
    case alTop: size = control_->GetHeight() + split; break;
    case alBottom: size = control_->GetHeight() - split; break;
    default: break;
  }
  newSize = std::clamp(size, minSize_, std::max(minSize_, maxSize_));
  if (size != newSize) split += (GetAlign() == alRight || GetAlign() == alBottom) ? size - newSize : newSize - size;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || Sizing()) return;
  control_ = FindResizeControl();
  if (!control_) return;
  control_->FreeNotification(this);
  TWinControl* parent = GetParent();
  downPos_ = TPoint(x, y);
  bool horizontal = GetAlign() == alLeft || GetAlign() == alRight;
  // The most the control may take: what the other side-aligned controls leave, less MinSize.
  maxSize_ = (horizontal ? parent->GetClientWidth() : parent->GetClientHeight()) - minSize_;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (!c->GetVisible()) continue;
    if (horizontal && (c->GetAlign() == alLeft || c->GetAlign() == alRight)) maxSize_ -= c->GetWidth();
    if (!horizontal && (c->GetAlign() == alTop || c->GetAlign() == alBottom)) maxSize_ -= c->GetHeight();
  }
  maxSize_ += horizontal ? control_->GetWidth() : control_->GetHeight();
  oldSize_ = horizontal ? control_->GetWidth() : control_->GetHeight();
  CalcSplitSize(x, y, newSize_, split_);
  AllocateLineDC();
  if (TCustomForm* form = GetParentForm(this)) {
    if (TWinControl* active = form->GetActiveControl()) {
      activeControl_ = active;
      active->FreeNotification(this);
      oldKeyDown_ = active->OnKeyDown;
      active->OnKeyDown = [this](TObject* sender, WORD& key, TShiftState s) { FocusKeyDown(sender, key, s); };
    }
  }
  if (resizeStyle_ == rsLine || resizeStyle_ == rsPattern) DrawLine();
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!Sizing() || !shift.Contains(ssLeft)) return;
  int newSize = 0, split = 0;
  CalcSplitSize(x, y, newSize, split);
  if (!DoCanResize(newSize)) return;
  bool line = resizeStyle_ == rsLine || resizeStyle_ == rsPattern;
  if (line) DrawLine();
  newSize_ = newSize;
  split_ = split;
  if (resizeStyle_ == rsUpdate) UpdateControlSize();
  if (line) DrawLine();
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!Sizing()) return;
  if (lineVisible_) DrawLine();
  UpdateControlSize();
  StopSizing();
}

void TSplitter::UpdateControlSize() {
  if (!control_ || newSize_ == oldSize_) return;
  TWinControl* parent = GetParent();
  switch (GetAlign()) {
    case alLeft: control_->SetWidth(newSize_); break;
    case alTop: control_->SetHeight(newSize_); break;
    case alRight:
      parent->DisableAlign();
      control_->SetBounds(control_->GetLeft() + control_->GetWidth() - newSize_, control_->GetTop(), newSize_,
                          control_->GetHeight());
      parent->EnableAlign();
      break;
    case alBottom:
      parent->DisableAlign();
      control_->SetBounds(control_->GetLeft(), control_->GetTop() + control_->GetHeight() - newSize_,
                          control_->GetWidth(), newSize_);
      parent->EnableAlign();
      break;
    default: break;
  }
  Update();
  oldSize_ = newSize_;
  if (OnMoved) OnMoved(this);
}

void TSplitter::StopSizing() {
  if (!control_) return;
  if (lineVisible_) DrawLine();
  control_->RemoveFreeNotification(this);
  control_ = nullptr;
  ReleaseLineDC();
  if (activeControl_) {
    activeControl_->OnKeyDown = oldKeyDown_;
    activeControl_->RemoveFreeNotification(this);
    activeControl_ = nullptr;
    oldKeyDown_ = nullptr;
  }
}

void TSplitter::FocusKeyDown(TObject* sender, WORD& key, TShiftState shift) {
  if (key == VK_ESCAPE) {
    StopSizing();
    key = 0;
    return;
  }
  if (oldKeyDown_) {
    TKeyEvent passOn = oldKeyDown_;  // the handler may end the drag, which drops oldKeyDown_
    passOn(sender, key, shift);
  }
}

void TSplitter::AllocateLineDC() {
  TWinControl* parent = GetParent();
  lineDC_ = GetDCEx(parent->GetHandle(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
  if (resizeStyle_ == rsPattern) {
    // A halftone: every other pixel, shifted by one on each row (mono rows are 16-bit aligned).
    static const std::array<BYTE, 16> halftone{0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, halftone.data());
    brush_ = CreatePatternBrush(pattern);
    DeleteObject(pattern);
  } else {
    brush_ = CreateSolidBrush(RGB(255, 255, 255));
  }
  previousBrush_ = static_cast<HBRUSH>(SelectObject(lineDC_, brush_));
}

void TSplitter::ReleaseLineDC() {
  if (!lineDC_) return;
  SelectObject(lineDC_, previousBrush_);
  ReleaseDC(GetParent() ? GetParent()->GetHandle() : nullptr, lineDC_);
  lineDC_ = nullptr;
  DeleteObject(brush_);
  brush_ = nullptr;
}

void TSplitter::DrawLine() {
  if (!lineDC_) return;
  lineVisible_ = !lineVisible_;
  TPoint p(GetLeft(), GetTop());
  if (GetAlign() == alLeft || GetAlign() == alRight)
    p.x += split_;
  else
    p.y += split_;
  PatBlt(lineDC_, p.x, p.y, GetWidth(), GetHeight(), PATINVERT);
}

void TSplitter::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  c->GetBrush()->SetColor(GetColor());
  c->GetBrush()->SetStyle(bsSolid);
  c->FillRect(r);
  if (beveled_) {
    RECT edge = r;
    if (GetAlign() == alLeft || GetAlign() == alRight)
      InflateRect(&edge, -1, 2);
    else
      InflateRect(&edge, 2, -1);
    DrawEdge(c->GetHandle(), &edge, BDR_RAISEDINNER, BF_RECT);
  }
  if (OnPaint) OnPaint(this);
}
