#include "platform/vcl/Control.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/DragDrop.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/WinControl.h"

QUILLO_DEFINE_ENUM_TYPE(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom")
QUILLO_DEFINE_ENUM_TYPE(TAnchorKind, "akLeft", "akTop", "akRight", "akBottom")
QUILLO_DEFINE_SET_TYPE(TAnchors, TAnchorKind)
QUILLO_DEFINE_ENUM_TYPE(TDragMode, "dmManual", "dmAutomatic")
QUILLO_DEFINE_ENUM_TYPE(TDragKind, "dkDrag", "dkDock")
QUILLO_DEFINE_ENUM_TYPE(TMouseButton, "mbLeft", "mbRight", "mbMiddle")

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s << ssShift;
  if (keys & MK_CONTROL) s << ssCtrl;
  if (keys & MK_LBUTTON) s << ssLeft;
  if (keys & MK_RBUTTON) s << ssRight;
  if (keys & MK_MBUTTON) s << ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s << ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s << ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s << ssCtrl;
  if (keyData & (1 << 29)) s << ssAlt;
  return s;
}

TShiftState CurrentShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s << ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s << ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s << ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) s << ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s << ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) s << ssMiddle;
  return s;
}

QUILLO_DEFINE_PUBLISHED_CLASS(TControl, TComponent)

const TPropTable* TControl::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TControl>()
          .Property("Left", &TControl::GetLeft, &TControl::SetLeft)
          .Property("Top", &TControl::GetTop, &TControl::SetTop)
          .Property("Width", &TControl::GetWidth, &TControl::SetWidth)
          .Property("Height", &TControl::GetHeight, &TControl::SetHeight)
          .Property("Align", &TControl::GetAlign, &TControl::SetAlign)
          .Property("Anchors", &TControl::GetAnchors, &TControl::SetAnchors)
          .Property("Caption", &TControl::GetCaption, &TControl::SetCaption)
          .Property("Color", &TControl::GetColor, &TControl::SetColor)
          .Property("Cursor", &TControl::GetCursor, &TControl::SetCursor)
          .Property("DragCursor", &TControl::GetDragCursor, &TControl::SetDragCursor)
          .Property("DragKind", &TControl::GetDragKind, &TControl::SetDragKind)
          .Property("DragMode", &TControl::GetDragMode, &TControl::SetDragMode)
          .Property("Enabled", &TControl::GetEnabled, &TControl::SetEnabled)
          .Property("Font", &TControl::GetFont, &TControl::SetFont)
          .Property("HelpContext", &TControl::GetHelpContext, &TControl::SetHelpContext)
          .Property("Hint", &TControl::GetHint, &TControl::SetHint)
          .Property("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor)
          .Property("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont)
          .Property("ParentShowHint", &TControl::GetParentShowHint, &TControl::SetParentShowHint)
          .Property("PopupMenu", &TControl::GetPopupMenu, &TControl::SetPopupMenu)
          .Property("ShowHint", &TControl::GetShowHint, &TControl::SetShowHint)
          .Property("Visible", &TControl::GetVisible, &TControl::SetVisible)
          .Table();
  return &table;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(MakeObject<TFont>()) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  font_->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  if (!Freed()) TControl::BeforeDestruction();
}

void TControl::BeforeDestruction() {
  Destroying();
  Application()->ControlDestroyed(this);
  CancelDragOf(this);
  if (parent_) SetParent(nullptr);
  TComponent::BeforeDestruction();
}

void TControl::Loaded() {
  TComponent::Loaded();
  // On a form still being built the anchors are measured once its whole layout exists.
  TCustomForm* form = GetParentForm(this);
  if (!form || !form->FormState().Contains(fsCreating)) UpdateAnchorRules();
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  // A parent among the control's own children would close the chain of parents into a ring.
  for (const TControl* p = parent; p; p = p->GetParent())
    if (p == this) throw EInvalidOperation(VclText::ControlParentSetToSelf);
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (!CanResize(width, height)) {
    width = width_;
    height = height_;
  }
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  InvalidateControl(visible_, false);
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  UpdateAnchorRules();
  Invalidate();
  RequestAlign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TControl::UpdateBoundsRect(const TRect& r) {
  bool sized = r.Width() != width_ || r.Height() != height_;
  left_ = r.left;
  top_ = r.top;
  width_ = r.Width();
  height_ = r.Height();
  UpdateAnchorRules();
  if (sized && !ComponentState().Contains(csLoading)) Resize();
}

bool TControl::CanResize(int& newWidth, int& newHeight) {
  bool resize = true;
  if (OnCanResize) OnCanResize(this, newWidth, newHeight, resize);
  return resize;
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

TRect TControl::GetClientRect() const { return TRect(0, 0, width_, height_); }

void TControl::SetClientSize(int width, int height) {
  TRect client = GetClientRect();
  SetBounds(left_, top_, width_ - client.Width() + width, height_ - client.Height() + height);
}

TPoint TControl::ClientOrigin() const {
  if (!parent_) return TPoint(left_, top_);
  TPoint origin = parent_->ClientOrigin();
  return TPoint(origin.x + left_, origin.y + top_);
}

TPoint TControl::ClientToScreen(const TPoint& p) const {
  TPoint o = ClientOrigin();
  return TPoint(p.x + o.x, p.y + o.y);
}

TPoint TControl::ScreenToClient(const TPoint& p) const {
  TPoint o = ClientOrigin();
  return TPoint(p.x - o.x, p.y - o.y);
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  anchors_ = AnchorAlign[align];
  RequestAlign();
  UpdateAnchorRules();
}

void TControl::SetAnchors(TAnchors anchors) {
  if (anchors == anchors_) return;
  anchors_ = anchors;
  UpdateAnchorRules();
}

void TControl::SetBoundsByLayout(int left, int top, int width, int height) {
  anchorMove_ = true;
  try {
    SetBounds(left, top, width, height);
  } catch (...) {
    anchorMove_ = false;
    throw;
  }
  anchorMove_ = false;
}

void TControl::UpdateAnchorRules() {
  if (anchorMove_ || ComponentState().Contains(csLoading)) return;
  if (anchors_ == TAnchors{akLeft, akTop}) {
    originalParentSize_ = TPoint(0, 0);
    return;
  }
  if (anchors_.Contains(akRight))
    anchorRules_.x = anchors_.Contains(akLeft) ? width_ : left_;
  else
    anchorRules_.x = left_ + width_ / 2;
  if (anchors_.Contains(akBottom))
    anchorRules_.y = anchors_.Contains(akTop) ? height_ : top_;
  else
    anchorRules_.y = top_ + height_ / 2;
  if (parent_) {
    TRect client = parent_->GetClientRect();
    originalParentSize_ = TPoint(client.right, client.bottom);
  }
}

void TControl::RequestAlign() {
  if (parent_) parent_->AlignControl(this);
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  VisibleChanging();
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible, 0);
  RequestAlign();
}

void TControl::Show() {
  if (parent_) parent_->ShowControl(this);
  SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

AnsiString TControl::GetText() const {
  auto* self = const_cast<TControl*>(this);
  LRESULT length = self->Perform(WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return AnsiString();
  std::string buffer(static_cast<size_t>(length) + 1, '\0');
  LRESULT got = self->Perform(WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  buffer.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, length)));
  return buffer;
}

void TControl::SetText(const AnsiString& text) {
  if (GetText() == text) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetTextBuffer(const AnsiString& text) { text_ = text; }

void TControl::SetName(const AnsiString& name) {
  // A control whose caption was its name keeps following the name.
  bool follow = controlStyle_.Contains(csSetCaption) && !ComponentState().Contains(csLoading) &&
                GetName() == GetText() && (!Owner() || !Owner()->ComponentState().Contains(csLoading));
  TComponent::SetName(name);
  if (follow) SetText(name);
}

void TControl::SetFont(TFont* font) {
  if (font) font_->Assign(font);
}

void TControl::FontChanged() {
  parentFont_ = false;
  Perform(CM_FONTCHANGED, 0, 0);
  Invalidate();
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (parent_ && value && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::CMParentFontChanged(TMessage&) {
  if (!parentFont_ || !parent_) return;
  font_->Assign(parent_->GetFont());
  parentFont_ = true;  // the assignment above counts as the parent's, not the control's own
}

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  parentColor_ = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (parent_ && value && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::CMParentColorChanged(TMessage&) {
  if (!parentColor_ || !parent_) return;
  SetColor(parent_->GetColor());
  parentColor_ = true;
}

void TControl::SetShowHint(bool value) {
  if (value == showHint_) return;
  showHint_ = value;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool value) {
  if (value == parentShowHint_) return;
  parentShowHint_ = value;
  if (parent_ && value) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!parentShowHint_ || !parent_) return;
  SetShowHint(parent_->GetShowHint());
  parentShowHint_ = true;
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  Perform(CM_CURSORCHANGED, 0, 0);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  if (WindowProc) WindowProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) {
    if (!controlStyle_.Contains(csDoubleClicks) &&
        (m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK))
      m.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
    switch (m.Msg) {
      case WM_MOUSEMOVE: Application()->HintMouseMessage(this, m); break;
      case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
        if (dragMode_ == dmAutomatic && enabled_) {
          BeginDrag(true);
          return;
        }
        controlState_ << csLButtonDown;
        break;
      case WM_LBUTTONUP: controlState_ >> csLButtonDown; break;
    }
  }
  Dispatch(m);
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: WMButtonDown(m, mbLeft, false); return;
    case WM_RBUTTONDOWN: WMButtonDown(m, mbRight, false); return;
    case WM_MBUTTONDOWN: WMButtonDown(m, mbMiddle, false); return;
    case WM_LBUTTONDBLCLK: WMButtonDown(m, mbLeft, true); return;
    case WM_RBUTTONDBLCLK: WMButtonDown(m, mbRight, true); return;
    case WM_MBUTTONDBLCLK: WMButtonDown(m, mbMiddle, true); return;
    case WM_LBUTTONUP: WMButtonUp(m, mbLeft); return;
    case WM_RBUTTONUP: WMButtonUp(m, mbRight); return;
    case WM_MBUTTONUP: WMButtonUp(m, mbMiddle); return;
    case WM_MOUSEMOVE: WMMouseMove(m); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(m); return;
    case CM_COLORCHANGED: Invalidate(); return;
    case CM_TEXTCHANGED: CMTextChanged(m); return;
    case CM_MOUSEENTER: CMMouseEnter(m); return;
    case CM_MOUSELEAVE: CMMouseLeave(m); return;
    case CM_HITTEST: CMHitTest(m); return;
    case CM_MOUSEWHEEL: CMMouseWheel(m); return;
    case WM_CONTEXTMENU: WMContextMenu(m); return;
  }
  DefaultHandler(m);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == popupMenu_) return;
  // The link runs both ways: the old menu still opened for this control needs it kept.
  if (popupMenu_ && popupMenu_->GetPopupComponent() != this) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

// The control's popup menu opens where the mouse was (from the keyboard: at the control's
// middle); a control without one leaves the request to its parent.
void TControl::WMContextMenu(TMessage& m) {
  if (!popupMenu_ || !popupMenu_->GetAutoPopup() || ComponentState().Contains(csDesigning)) {
    // A window hands the request up through DefWindowProc; a control without one asks its parent.
    if (!dynamic_cast<TWinControl*>(this) && parent_) m.Result = parent_->Perform(m.Msg, m.WParam, m.LParam);
    else DefaultHandler(m);
    return;
  }
  TPoint at(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
  if (m.LParam == -1) {
    at = ClientToScreen(TPoint(GetWidth() / 2, GetHeight() / 2));
  } else {
    // Outside the client area (a form's caption) the window's own menu answers.
    TPoint inside = ScreenToClient(at);
    TRect client = GetClientRect();
    if (inside.x < client.left || inside.y < client.top || inside.x >= client.right || inside.y >= client.bottom) {
      DefaultHandler(m);
      return;
    }
  }
  popupMenu_->SetPopupComponent(this);
  popupMenu_->Popup(at.x, at.y);
  m.Result = 1;
}

void TControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_GETTEXT: {
      AnsiString text = GetTextBuffer();
      char* out = reinterpret_cast<char*>(m.LParam);
      if (!out || m.WParam == 0) {
        m.Result = 0;
        return;
      }
      size_t n = std::min<size_t>(text.size(), m.WParam - 1);
      std::memcpy(out, text.data(), n);
      out[n] = 0;
      m.Result = static_cast<LRESULT>(n);
      return;
    }
    case WM_GETTEXTLENGTH: m.Result = static_cast<LRESULT>(GetTextBuffer().size()); return;
    case WM_SETTEXT:
      SetTextBuffer(m.LParam ? reinterpret_cast<const char*>(m.LParam) : "");
      m.Result = TRUE;
      return;
  }
}

// The window's own procedure hears a mouse message first (a system class tracks its press
// there, in a modal loop for a scroll bar), then the control's events fire.
void TControl::WMButtonDown(TMessage& m, TMouseButton button, bool doubleClick) {
  SendCancelMode(this);
  DefaultHandler(m);
  if (controlStyle_.Contains(csCaptureMouse)) SetCaptureControl(this);
  TShiftState shift = KeysToShiftState(m.WParam);
  if (doubleClick) {
    shift << ssDouble;
    if (button == mbLeft && controlStyle_.Contains(csClickEvents)) DblClick();
  } else if (button == mbLeft && controlStyle_.Contains(csClickEvents)) {
    controlState_ << csClicked;
  }
  DoMouseDown(m, button, shift);
}

void TControl::WMButtonUp(TMessage& m, TMouseButton button) {
  DefaultHandler(m);
  if (controlStyle_.Contains(csCaptureMouse) && GetCaptureControl() == this) SetCaptureControl(nullptr);
  if (button == mbLeft && controlState_.Contains(csClicked)) {
    controlState_ >> csClicked;
    TPoint p(m.LParamLo(), m.LParamHi());
    TRect r = GetClientRect();
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) Click();
  }
  // A window's default handling of the right button's release (above) sent WM_CONTEXTMENU; a
  // control without a window asks itself.
  if (button == mbRight && !dynamic_cast<TWinControl*>(this)) {
    TPoint screen = ClientToScreen(TPoint(m.LParamLo(), m.LParamHi()));
    Perform(WM_CONTEXTMENU, 0, MAKELPARAM(screen.x, screen.y));
  }
  DoMouseUp(m, button);
}

void TControl::WMMouseMove(TMessage& m) {
  DefaultHandler(m);
  if (!controlStyle_.Contains(csNoStdEvents)) MouseMove(KeysToShiftState(m.WParam), m.LParamLo(), m.LParamHi());
}

void TControl::DoMouseDown(TMessage& m, TMouseButton button, TShiftState shift) {
  if (!controlStyle_.Contains(csNoStdEvents)) MouseDown(button, shift, m.LParamLo(), m.LParamHi());
}

void TControl::DoMouseUp(TMessage& m, TMouseButton button) {
  if (!controlStyle_.Contains(csNoStdEvents)) MouseUp(button, KeysToShiftState(m.WParam), m.LParamLo(), m.LParamHi());
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  if (handled || wheelDelta == 0) return handled;
  return wheelDelta < 0 ? DoMouseWheelDown(shift, mousePos) : DoMouseWheelUp(shift, mousePos);
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, shift, mousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, shift, mousePos, handled);
  return handled;
}

// The wheel, as the focused control passes it on: this control's handlers, else its parent's,
// up to the form.
void TControl::CMMouseWheel(TMessage& m) {
  TShiftState shift = KeysToShiftState(LOWORD(m.WParam));
  TPoint at(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
  if (DoMouseWheel(shift, static_cast<short>(HIWORD(m.WParam)), at)) m.Result = 1;
  else if (parent_) m.Result = parent_->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
  else m.Result = 0;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, visible_ && controlStyle_.Contains(csOpaque)); }

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

// The parents hear of it too, with the control in LParam; the event is the control's own.
void TControl::CMMouseEnter(TMessage& m) {
  if (parent_) parent_->Perform(CM_MOUSEENTER, 0, m.LParam ? m.LParam : reinterpret_cast<LPARAM>(this));
  if (m.LParam == 0 && OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& m) {
  if (parent_) parent_->Perform(CM_MOUSELEAVE, 0, m.LParam ? m.LParam : reinterpret_cast<LPARAM>(this));
  if (m.LParam == 0 && OnMouseLeave) OnMouseLeave(this);
}

void TControl::SendCancelMode(TControl* sender) {
  for (TControl* c = this; c; c = c->parent_)
    if (auto* form = dynamic_cast<TCustomForm*>(c)) {
      form->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
      return;
    }
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!isVisible || !parent_ || !parent_->HandleAllocated()) return;
  RECT r = GetBoundsRect();
  InvalidateRect(parent_->GetHandle(), &r, !isOpaque);
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(csOpaque)); }

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
  Invalidate();
  parent_->Update();
}

void TControl::BringToFront() { SetZOrder(true); }
void TControl::SendToBack() { SetZOrder(false); }

void TControl::SetZOrder(bool topMost) {
  if (parent_) parent_->SetChildOrder(this, topMost);
}

void TControl::BeginDrag(bool immediate, int threshold) { StartDrag(this, immediate, threshold); }
void TControl::EndDrag(bool drop) { FinishDrag(this, drop); }
bool TControl::Dragging() const { return IsDragging(this); }

void TControl::DragDrop(TObject* source, int x, int y) {
  if (OnDragDrop) OnDragDrop(this, source, x, y);
}

bool TControl::DoDragOver(TObject* source, int x, int y, TDragState state) {
  bool accept = static_cast<bool>(OnDragOver);
  if (OnDragOver) OnDragOver(this, source, x, y, state, accept);
  return accept;
}

void TControl::DoStartDrag(TDragObject*& dragObject) {
  if (OnStartDrag) OnStartDrag(this, dragObject);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
  if (OnEndDrag) OnEndDrag(this, target, x, y);
}

TCustomForm* GetParentForm(const TControl* control) {
  const TControl* c = control;
  while (c && c->GetParent()) c = c->GetParent();
  return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

TCustomForm* ValidParentForm(const TControl* control) {
  TCustomForm* form = GetParentForm(control);
  if (!form) throw EInvalidOperation(Format(VclText::ParentRequired, control ? control->GetName().c_str() : ""));
  return form;
}

AnsiString GetShortHint(const AnsiString& hint) {
  size_t bar = hint.find('|');
  return bar == AnsiString::npos ? hint : hint.substr(0, bar);
}

AnsiString GetLongHint(const AnsiString& hint) {
  size_t bar = hint.find('|');
  return bar == AnsiString::npos ? hint : hint.substr(bar + 1);
}

bool IsAccel(WPARAM key, const AnsiString& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::toupper(static_cast<unsigned char>(caption[i + 1])) == std::toupper(static_cast<int>(key & 0xFF));
  }
  return false;
}
