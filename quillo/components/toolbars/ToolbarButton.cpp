#include "quillo/components/toolbars/ToolbarButton.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/rtl/Everlasting.h"
#include "quillo/components/toolbars/DockTypes.h"
#include "quillo/components/toolbars/ToolbarCommon.h"
#include "quillo/components/toolbars/ToolbarTexts.h"

QUILLO_DEFINE_ENUM_TYPE(tbx::TButtonDisplayMode, "dmBoth", "dmGlyphOnly", "dmTextOnly")
QUILLO_DEFINE_ENUM_TYPE(tbx::TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom")

namespace tbx {

QUILLO_DEFINE_PUBLISHED_CLASS(TToolbarButtonX, TGraphicControl)

const TPropTable* TToolbarButtonX::PublishedProperties() {
  using B = TToolbarButtonX;
  static const TPropTable table =
      TPublisher<B>()
          .Property("Alignment", &B::GetAlignment, &B::SetAlignment)
          .Property("AllowAllUp", &B::GetAllowAllUp, &B::SetAllowAllUp)
          .Property("Cancel", &B::GetCancel, &B::SetCancel)
          .Property("Default", &B::GetDefault, &B::SetDefault)
          .Property("DisplayMode", &B::GetDisplayMode, &B::SetDisplayMode)
          .Property("Down", &B::GetDown, &B::SetDown)
          .Property("DropdownAlways", &B::GetDropdownAlways, &B::SetDropdownAlways)
          .Property("DropdownArrow", &B::GetDropdownArrow, &B::SetDropdownArrow)
          .Property("DropdownArrowWidth", &B::GetDropdownArrowWidth, &B::SetDropdownArrowWidth)
          .Property("DropdownCombo", &B::GetDropdownCombo, &B::SetDropdownCombo)
          .Property("DropdownMenu", &B::GetDropdownMenu, &B::SetDropdownMenu)
          .Property("Flat", &B::GetFlat, &B::SetFlat)
          .Property("Glyph", &B::GetGlyph, &B::SetGlyph)
          .Property("GlyphMask", &B::GetGlyphMask, &B::SetGlyphMask)
          .Property("GroupIndex", &B::GetGroupIndex, &B::SetGroupIndex)
          .Property("HighlightWhenDown", &B::GetHighlightWhenDown, &B::SetHighlightWhenDown)
          .Property("ImageIndex", &B::GetImageIndex, &B::SetImageIndex)
          .Property("Images", &B::GetImages, &B::SetImages)
          .Property("Layout", &B::GetLayout, &B::SetLayout)
          .Property("Margin", &B::GetMargin, &B::SetMargin)
          .Property("ModalResult", &B::GetModalResult, &B::SetModalResult)
          .Property("NoBorder", &B::GetNoBorder, &B::SetNoBorder)
          .Property("NumGlyphs", &B::GetNumGlyphs, &B::SetNumGlyphs)
          .Property("OldDisabledStyle", &B::GetOldDisabledStyle, &B::SetOldDisabledStyle)
          .Property("Opaque", &B::GetOpaque, &B::SetOpaque)
          .Property("Repeating", &B::GetRepeating, &B::SetRepeating)
          .Property("RepeatDelay", &B::GetRepeatDelay, &B::SetRepeatDelay)
          .Property("RepeatInterval", &B::GetRepeatInterval, &B::SetRepeatInterval)
          .Property("ShowBorderWhenInactive", &B::GetShowBorderWhenInactive, &B::SetShowBorderWhenInactive)
          .Property("Spacing", &B::GetSpacing, &B::SetSpacing)
          .Property("WordWrap", &B::GetWordWrap, &B::SetWordWrap)
          .Property("Version", &B::GetVersion)
          .Table();
  return &table;
}

namespace {

// State shared by every button: the one hot button, its timer, the dither pattern.
struct SharedButtonState {
  TToolbarButtonX* hot = nullptr;
  TOwnedPtr<TTimer> mouseTimer;
  int liveButtons = 0;
  TOwnedPtr<TBitmap> pattern;
  COLORREF patternFace = 0, patternHighlight = 0;
  int (*dockPosProc)(const TControl*) = nullptr;
  std::vector<TClass> xControlClasses;
};

SharedButtonState& Shared() {
  static Everlasting<SharedButtonState> state;
  return *state;
}

TControl* ControlUnderCursor() {
  POINT p;
  GetCursorPos(&p);
  return FindDragTarget(TPoint(p.x, p.y), true);
}

HBRUSH DitherBrush() {
  SharedButtonState& s = Shared();
  if (s.pattern && (s.patternFace != ColorToRGB(clBtnFace) || s.patternHighlight != ColorToRGB(clBtnHighlight)))
    s.pattern.reset();
  if (!s.pattern) {
    s.pattern = MakeObject<TBitmap>();
    s.pattern->SetPixelFormat(pf32bit);
    s.pattern->SetSize(8, 8);
    TCanvas* c = s.pattern->GetCanvas();
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) c->SetPixel(x, y, (x & 1) == (y & 1) ? clBtnHighlight : clBtnFace);
    s.patternFace = ColorToRGB(clBtnFace);
    s.patternHighlight = ColorToRGB(clBtnHighlight);
  }
  return CreatePatternBrush(s.pattern->GetHandle());
}

// The accelerator of a caption ("&File" has F), 0 when none.
char AcceleratorOf(const AnsiString& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    ++i;
  }
  return 0;
}

// The drop-down arrow: rows of 5, 3 and 1 pixels. Filled row by row, so the small triangle is
// solid whatever rule the polygon filler uses for pixels on its edges.
void FillTriangle(HDC dc, int cx, int y, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  for (int row = 0; row < 3; ++row) {
    RECT r{cx - 2 + row, y + row, cx + 3 - row, y + row + 1};
    FillRect(dc, &r, brush);
  }
  DeleteObject(brush);
}

}  // namespace

TToolbarButtonX* ButtonMouseInControl() { return Shared().hot; }
bool ButtonMouseTimerExists() { return Shared().mouseTimer != nullptr; }
void SetToolbarDockPosProc(int (*proc)(const TControl* control)) { Shared().dockPosProc = proc; }

void RegisterXControlClass(TClass cls) {
  auto& classes = Shared().xControlClasses;
  if (std::find(classes.begin(), classes.end(), cls) == classes.end()) classes.push_back(cls);
}

void UnregisterXControlClass(TClass cls) {
  auto& classes = Shared().xControlClasses;
  classes.erase(std::remove(classes.begin(), classes.end(), cls), classes.end());
  if (classes.empty()) classes.shrink_to_fit();
}

bool ControlIsXControl(const TControl* control) {
  if (!control) return false;
  for (TClass cls : Shared().xControlClasses)
    if (control->InheritsFrom(cls)) return true;
  return false;
}

void ButtonMouseTimerHandler() {
  TToolbarButtonX* hot = Shared().hot;
  if (hot && ControlUnderCursor() != hot) hot->MouseLeft();
}

void ButtonHookProc(THookProcCode code, HWND, WPARAM wParam, LPARAM) {
  TToolbarButtonX* hot = Shared().hot;
  if (!hot) return;
  if (code == hpSendActivateApp) {
    if (wParam == 0 && !hot->showBorderWhenInactive_) hot->MouseLeft();
  } else if (code == hpPostMouseMove) {
    if (ControlUnderCursor() != hot) hot->MouseLeft();
  }
}

TToolbarButtonX::TToolbarButtonX(TComponent* owner) : TGraphicControl(owner), glyph_(MakeObject<TButtonGlyph>()) {
  width_ = 23;
  height_ = 22;
  controlStyle_ = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
  parentColor_ = false;
  color_ = clBtnFace;
  glyph_->OnChange = [this] { Redraw(true); };
  InstallHookProc(ButtonHookProc, {hpSendActivateApp, hpPostMouseMove}, ComponentState().Contains(csDesigning));
  SharedButtonState& s = Shared();
  if (!s.mouseTimer) {
    s.mouseTimer = MakeObject<TTimer>(nullptr);
    s.mouseTimer->SetEnabled(false);
    s.mouseTimer->SetInterval(125);
    s.mouseTimer->SetOnTimer([](TObject*) { ButtonMouseTimerHandler(); });
  }
  ++s.liveButtons;
}

TToolbarButtonX::~TToolbarButtonX() {
  RemoveButtonMouseTimer();
  glyph_.reset();
  *alive_ = false;
  repeatTimer_.reset();
  UninstallHookProc(ButtonHookProc);
  SharedButtonState& s = Shared();
  if (--s.liveButtons == 0) {
    s.pattern.reset();
    s.mouseTimer.reset();
  }
}

void TToolbarButtonX::BeforeDestruction() {
  RemoveButtonMouseTimer();
  TGraphicControl::BeforeDestruction();
}

AnsiString TToolbarButtonX::GetVersion() const { return text::Version; }

void TToolbarButtonX::Loaded() {
  TGraphicControl::Loaded();
  glyph_->BuildStateImage(enabled_ ? bsUp : bsDisabled);
}

void TToolbarButtonX::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == glyph_->GetImages()) glyph_->SetImages(nullptr);
  if (operation == opRemove && component == dropdownMenu_) SetDropdownMenu(nullptr);
}

void TToolbarButtonX::SetImages(TCustomImageList* value) {
  glyph_->SetImages(value);
  if (value) FreeNotification(value);
}

void TToolbarButtonX::Redraw(bool erase) {
  if (!opaque_ && flat_ && erase) {
    Invalidate();
    return;
  }
  // Opaque for the invalidation: the parent need not erase behind the button first.
  bool wasOpaque = controlStyle_.Contains(csOpaque);
  controlStyle_ << csOpaque;
  Invalidate();
  if (!wasOpaque) controlStyle_ >> csOpaque;
}

// ---- Properties ----

void TToolbarButtonX::SetAllowAllUp(bool value) {
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  UpdateExclusive();
}

void TToolbarButtonX::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  UpdateExclusive();
}

void TToolbarButtonX::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_ || (down_ && !allowAllUp_)) return;
  down_ = value;
  state_ = !enabled_ ? bsDisabled : value ? bsExclusive : bsUp;
  Redraw(true);
  if (value) UpdateExclusive();
}

void TToolbarButtonX::UpdateExclusive() {
  if (groupIndex_ == 0 || !parent_) return;
  for (int i = 0; i < parent_->ControlCount(); ++i) {
    auto* other = dynamic_cast<TToolbarButtonX*>(parent_->Controls(i));
    if (!other || other == this || other->groupIndex_ != groupIndex_) continue;
    if (other->down_ && down_) {
      other->down_ = false;
      other->state_ = bsUp;
      other->Redraw(true);
    }
    other->allowAllUp_ = allowAllUp_;
  }
}

void TToolbarButtonX::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  if (!flat_ || opaque_) controlStyle_ << csOpaque; else controlStyle_ >> csOpaque;
  Redraw(true);
}

void TToolbarButtonX::SetOpaque(bool value) {
  if (value == opaque_) return;
  opaque_ = value;
  if (!flat_ || opaque_) controlStyle_ << csOpaque; else controlStyle_ >> csOpaque;
  Invalidate();
}

void TToolbarButtonX::SetNoBorder(bool value) {
  if (value == noBorder_) return;
  noBorder_ = value;
  Invalidate();
}

void TToolbarButtonX::SetHighlightWhenDown(bool value) {
  if (value == highlightWhenDown_) return;
  highlightWhenDown_ = value;
  if (down_) Redraw(true);
}

void TToolbarButtonX::SetDisplayMode(TButtonDisplayMode value) {
  if (value == displayMode_) return;
  displayMode_ = value;
  Redraw(true);
}

void TToolbarButtonX::SetLayout(TButtonLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Redraw(true);
}

void TToolbarButtonX::SetMargin(int value) {
  if (value < -1 || value == margin_) return;
  margin_ = value;
  Redraw(true);
}

void TToolbarButtonX::SetSpacing(int value) {
  if (value == spacing_) return;
  spacing_ = value;
  Redraw(true);
}

void TToolbarButtonX::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  Redraw(true);
}

void TToolbarButtonX::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Redraw(true);
}

void TToolbarButtonX::SetDropdownMenu(TPopupMenu* value) {
  bool used = UsesDropdown();
  dropdownMenu_ = value;
  if (value) FreeNotification(value);
  if (used != UsesDropdown() && (dropdownArrow_ || dropdownCombo_)) Redraw(true);
}

void TToolbarButtonX::SetDropdownAlways(bool value) {
  bool used = UsesDropdown();
  dropdownAlways_ = value;
  if (used != UsesDropdown() && (dropdownArrow_ || dropdownCombo_)) Redraw(true);
}

void TToolbarButtonX::SetDropdownArrow(bool value) {
  if (value == dropdownArrow_) return;
  dropdownArrow_ = value;
  Redraw(true);
}

void TToolbarButtonX::SetDropdownArrowWidth(int value) {
  value = std::max(7, value);
  if (value == dropdownArrowWidth_) return;
  int difference = value - dropdownArrowWidth_;
  dropdownArrowWidth_ = value;
  if (dropdownCombo_ && !ComponentState().Contains(csLoading)) SetWidth(std::max(1, width_ + difference));
  Redraw(true);
}

void TToolbarButtonX::SetDropdownCombo(bool value) {
  if (value == dropdownCombo_) return;
  dropdownCombo_ = value;
  if (!ComponentState().Contains(csLoading)) {
    int change = dropdownArrowWidth_ + 2;
    SetWidth(value ? width_ + change : std::max(1, width_ - change));
  }
  Redraw(true);
}

// ---- Hover tracking ----

void TToolbarButtonX::UpdateTracking() {
  if (!enabled_) return;
  bool onButton = ControlUnderCursor() == this;
  mouseInControl_ = !onButton;
  if (onButton)
    MouseEntered();
  else
    MouseLeft();
}

void TToolbarButtonX::MouseEntered() {
  if (!enabled_ || mouseInControl_) return;
  mouseInControl_ = true;
  if (state_ == bsUp) state_ = bsMouseIn;
  const int glyphs = glyph_->GetNumGlyphs();
  if (flat_ || glyphs == 5) Redraw(down_ || glyphs == 5);
  if (OnMouseEnter) OnMouseEnter(this);
}

void TToolbarButtonX::MouseLeft() {
  if (!enabled_ || !mouseInControl_ || mouseIsDown_) return;
  mouseInControl_ = false;
  RemoveButtonMouseTimer();
  TButtonStateX old = state_;
  if (state_ == bsMouseIn || (state_ == bsDown && !inClick_)) state_ = down_ && groupIndex_ ? bsExclusive : bsUp;
  if (!flat_ && glyph_->GetNumGlyphs() < 5) {
    if (old != state_ && old != bsMouseIn) Redraw(true);
  } else {
    Redraw(true);
  }
  if (OnMouseExit) OnMouseExit(this);
}

void TToolbarButtonX::RemoveButtonMouseTimer() {
  SharedButtonState& s = Shared();
  if (s.hot != this) return;
  if (s.mouseTimer) s.mouseTimer->SetEnabled(false);
  s.hot = nullptr;
}

// ---- Pressing ----

bool TToolbarButtonX::PointInButton(int x, int y) const {
  int right = width_ - (dropdownCombo_ && UsesDropdown() ? dropdownArrowWidth_ + 2 : 0);
  return x >= 0 && x < right && y >= 0 && y < height_;
}

void TToolbarButtonX::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!enabled_) {
    TGraphicControl::MouseDown(button, shift, x, y);
    return;
  }
  if (button != mbLeft) {
    MouseEntered();
    TGraphicControl::MouseDown(button, shift, x, y);
    return;
  }
  MouseEntered();
  menuIsDown_ = UsesDropdown() && (!dropdownCombo_ || x >= width_ - (dropdownArrowWidth_ + 2));
  if (!down_) {
    state_ = bsDown;
    Redraw(true);
  } else if (allowAllUp_) {
    Redraw(true);
  }
  if (!menuIsDown_) mouseIsDown_ = true;
  TGraphicControl::MouseDown(button, shift, x, y);
  const std::shared_ptr<bool> alive = alive_;
  if (menuIsDown_) {
    Click();
  } else if (repeating_) {
    Click();
    if (!*alive) return;
    if (!repeatTimer_) repeatTimer_ = MakeObject<TTimer>(nullptr);
    repeatTimer_->SetEnabled(false);
    repeatTimer_->SetInterval(static_cast<unsigned>(std::max(1, repeatDelay_)));
    repeatTimer_->SetOnTimer([this](TObject*) { RepeatTimerHandler(); });
    repeatTimer_->SetEnabled(true);
  }
  if (*alive) menuIsDown_ = false;
}

void TToolbarButtonX::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  SharedButtonState& s = Shared();
  if (s.hot != this && ControlUnderCursor() == this) {
    if (s.hot) s.hot->MouseLeft();
    if (showBorderWhenInactive_ || ApplicationIsActive()) {
      s.hot = this;
      if (s.mouseTimer) s.mouseTimer->SetEnabled(true);
      MouseEntered();
    }
  }
  if (!mouseIsDown_) return;
  bool inside = PointInButton(x, y);
  if (inside && repeatTimer_) repeatTimer_->SetEnabled(true);
  TButtonStateX next = down_ ? bsExclusive : inside ? bsDown : bsUp;
  if (next != state_) {
    state_ = next;
    Redraw(true);
  }
}

void TToolbarButtonX::RepeatTimerHandler() {
  repeatTimer_->SetInterval(static_cast<unsigned>(std::max(1, repeatInterval_)));
  POINT p;
  GetCursorPos(&p);
  TPoint local = ScreenToClient(TPoint(p.x, p.y));
  if (repeating_ && mouseIsDown_ && GetCaptureControl() == this && PointInButton(local.x, local.y))
    Click();
  else
    repeatTimer_->SetEnabled(false);
}

void TToolbarButtonX::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  repeatTimer_.reset();
  if (button == mbRight && enabled_) {
    mouseIsDown_ = false;
    MouseLeft();
  }
  TGraphicControl::MouseUp(button, shift, x, y);
  if (button == mbLeft && mouseIsDown_) {
    mouseIsDown_ = false;
    if (PointInButton(x, y) && !repeating_)
      Click();
    else
      MouseLeft();
  }
}

void TToolbarButtonX::Click() {
  if (repeating_ && !menuIsDown_) {
    TGraphicControl::Click();
    return;
  }
  struct InClick {
    TToolbarButtonX* b;
    std::shared_ptr<bool> alive;
    ~InClick() {
      if (!*alive) return;
      b->inClick_ = false;
      if (b->state_ == bsDown) b->state_ = bsUp;
      if (!b->ComponentState().Contains(csDestroying)) {
        b->Redraw(true);
        b->UpdateTracking();
      }
    }
  } guard{this, alive_};
  inClick_ = true;
  if (groupIndex_ != 0 && !menuIsDown_) SetDown(!down_);
  // The button stays drawn pushed while its menu is open.
  if (state_ == bsUp || state_ == bsMouseIn) {
    state_ = bsDown;
    Redraw(true);
  }
  MouseLeft();
  if (!UsesDropdown() || (dropdownCombo_ && !menuIsDown_)) {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    TGraphicControl::Click();
    return;
  }
  if (!dropdownCombo_) TGraphicControl::Click();
  if (!*guard.alive) return;
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  bool showMenu = dropdownMenu_ != nullptr, removeClicks = true;
  if (OnDropdown) OnDropdown(this, showMenu, removeClicks);
  if (!*guard.alive) return;
  if (dropdownMenu_ && showMenu) DropDownMenu();
  if (removeClicks && *guard.alive) RemoveClicksOnButton();
}

void TToolbarButtonX::DropDownMenu() {
  // The menu is the user's: its own alignment and track button come back afterwards, even
  // when an item's handler freed the button; not when it freed the menu itself.
  struct Restore : TComponent {
    Restore(TPopupMenu* watched) : TComponent(nullptr), menu(watched) {
      FreeNotification(watched);
      alignment = watched->GetAlignment();
      trackButton = watched->GetTrackButton();
    }
    ~Restore() override {
      if (!menu) return;
      menu->SetAlignment(alignment);
      menu->SetTrackButton(trackButton);
    }
    void Notification(TComponent* component, TOperation operation) override {
      TComponent::Notification(component, operation);
      if (operation == opRemove && component == menu) menu = nullptr;
    }
    TPopupMenu* menu;
    TPopupAlignment alignment = paLeft;
    TTrackButton trackButton = tbRightButton;
  };
  TPopupMenu* menu = dropdownMenu_;
  auto restore = MakeObject<Restore>(menu);
  menu->SetAlignment(paLeft);
  TPoint at(0, height_);  // below the button
  int dock = Shared().dockPosProc ? Shared().dockPosProc(this) : tbxNotDocked;
  if (dock == dpLeft) {
    at = TPoint(width_, 0);  // right of it
  } else if (dock == dpRight) {
    at = TPoint(0, 0);  // left of it
    menu->SetAlignment(paRight);
  }
  TPoint screen = ClientToScreen(at);
  menu->SetPopupComponent(this);
  // Only the left button, which opened the menu, chooses from it.
  menu->SetTrackButton(tbLeftButton);
  menu->Popup(screen.x, screen.y);
}

void TToolbarButtonX::RemoveClicksOnButton() {
  // The click that closed the menu on this button must not press it again.
  std::vector<MSG> kept;
  MSG msg;
  const TPoint origin = ClientToScreen(TPoint(0, 0));
  const TRect onScreen = Bounds(origin.x, origin.y, width_, height_);
  while (PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    bool press = msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK ||
                 msg.message == WM_RBUTTONDOWN || msg.message == WM_RBUTTONDBLCLK ||
                 msg.message == WM_MBUTTONDOWN || msg.message == WM_MBUTTONDBLCLK;
    POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    if (msg.hwnd) ::ClientToScreen(msg.hwnd, &p);
    if (press && RectContains(onScreen, TPoint(p.x, p.y))) continue;
    kept.push_back(msg);
  }
  for (const MSG& m : kept) PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
}

// ---- Messages ----

void TToolbarButtonX::CMEnabledChanged(TMessage& m) {
  TGraphicControl::Dispatch(m);
  if (!enabled_) {
    state_ = bsDisabled;
    mouseInControl_ = false;
    mouseIsDown_ = false;
    RemoveButtonMouseTimer();
    Perform(WM_CANCELMODE, 0, 0);
  } else if (state_ == bsDisabled) {
    state_ = down_ && groupIndex_ ? bsExclusive : bsUp;
  }
  Redraw(true);
}

void TToolbarButtonX::WMCancelMode(TMessage& m) {
  repeatTimer_.reset();
  if (mouseIsDown_) {
    mouseIsDown_ = false;
    MouseLeft();
  }
  TGraphicControl::Dispatch(m);
}

void TToolbarButtonX::CMDialogChar(TMessage& m) {
  char key = static_cast<char>(std::toupper(static_cast<unsigned char>(m.WParam)));
  if (key && key == AcceleratorOf(GetCaption()) && parent_ && parent_->CanFocus() && enabled_ && visible_ &&
      displayMode_ != dmGlyphOnly) {
    Click();
    m.Result = 1;
    return;
  }
  TGraphicControl::Dispatch(m);
}

void TToolbarButtonX::CMDialogKey(TMessage& m) {
  const bool noShift = CurrentShiftState().Empty();
  if (noShift && ((m.WParam == VK_RETURN && default_) || (m.WParam == VK_ESCAPE && cancel_)) && parent_ &&
      parent_->CanFocus() && enabled_ && visible_ && displayMode_ != dmGlyphOnly) {
    Click();
    m.Result = 1;
    return;
  }
  TGraphicControl::Dispatch(m);
}

void TToolbarButtonX::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); return;
    case WM_CANCELMODE: WMCancelMode(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: return;  // the button tracks the mouse itself
    case WM_LBUTTONDBLCLK: {
      const std::shared_ptr<bool> alive = alive_;
      TGraphicControl::Dispatch(m);
      if (*alive && down_) DblClick();
      return;
    }
    case CM_SYSCOLORCHANGE:
      TGraphicControl::Dispatch(m);
      glyph_->DropImages();
      glyph_->BuildStateImage(state_);
      Redraw(true);
      return;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      TGraphicControl::Dispatch(m);
      Redraw(true);
      return;
    default: TGraphicControl::Dispatch(m);
  }
}

// ---- Painting ----

void TToolbarButtonX::Paint() {
  const bool offscreen = opaque_ || !flat_;
  TOwnedPtr<TBitmap> buffer;
  HDC dc = GetCanvas()->GetHandle();
  if (offscreen) {
    buffer = MakeObject<TBitmap>();
    buffer->SetPixelFormat(pf32bit);
    buffer->SetSize(width_, height_);
    TCanvas* c = buffer->GetCanvas();
    c->GetBrush()->SetColor(GetColor());
    c->FillRect(TRect(0, 0, width_, height_));
    dc = c->GetHandle();
  }
  SelectObject(dc, GetFont()->GetHandle());
  const bool pushed = state_ == bsDown || state_ == bsExclusive;
  const bool combo = dropdownCombo_ && UsesDropdown();
  const bool mainPushed = pushed && !(combo && menuIsDown_);
  const bool border = ComponentState().Contains(csDesigning) ||
                      (!noBorder_ && (!flat_ || pushed || (mouseInControl_ && state_ != bsDisabled)));
  const UINT raised = flat_ ? BDR_RAISEDINNER : EDGE_RAISED, sunken = flat_ ? BDR_SUNKENOUTER : EDGE_SUNKEN;
  const UINT flags = flat_ ? BF_RECT : BF_RECT | BF_SOFT | BF_MIDDLE;
  RECT main = TRect(0, 0, width_, height_);
  if (combo) {
    if (border) {
      RECT arrow = TRect(width_ - dropdownArrowWidth_ - 2, 0, width_, height_);
      DrawEdge(dc, &arrow, pushed && menuIsDown_ ? sunken : raised, flags);
    }
    main.right -= dropdownArrowWidth_ + 2;
  }
  TRect content = main;
  if (border) DrawEdge(dc, &main, mainPushed ? sunken : raised, flags);
  if (!noBorder_) {
    int inset = flat_ ? 1 : 2;
    content = TRect(content.left + inset, content.top + inset, content.right - inset, content.bottom - inset);
  }
  if (mainPushed && state_ == bsExclusive && highlightWhenDown_ && !(flat_ && mouseInControl_)) {
    HBRUSH dither = DitherBrush();
    RECT r = content;
    FillRect(dc, &r, dither);
    DeleteObject(dither);
  }
  DrawContent(dc, content, mainPushed);
  if (combo) {
    int left = width_ - dropdownArrowWidth_ - 2, cx = left + dropdownArrowWidth_ / 2, y = height_ / 2 - 1;
    if (state_ == bsDisabled) {
      FillTriangle(dc, cx + 1, y + 1, ColorToRGB(clBtnHighlight));
      FillTriangle(dc, cx, y, ColorToRGB(clBtnShadow));
    } else {
      FillTriangle(dc, cx, y, ColorToRGB(GetFont()->GetColor()));
    }
  }
  if (buffer) BitBlt(GetCanvas()->GetHandle(), 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
}

void TToolbarButtonX::DrawContent(HDC dc, TRect content, bool pushed) {
  if (pushed) content = TRect(content.left + 1, content.top + 1, content.right + 1, content.bottom + 1);
  const TPoint glyph = displayMode_ == dmTextOnly ? TPoint(0, 0) : glyph_->GlyphSize();
  const bool hasGlyph = glyph.x > 0 && glyph.y > 0;
  const bool arrow = !dropdownCombo_ && dropdownArrow_ && UsesDropdown();
  const TPoint arrowSize = arrow ? TPoint(dropdownArrowWidth_, 3) : TPoint(0, 0);
  const bool horizontal = !hasGlyph || layout_ == blGlyphLeft || layout_ == blGlyphRight;
  const AnsiString caption = displayMode_ == dmGlyphOnly ? AnsiString() : GetCaption();
  TPoint text(0, 0);
  if (!caption.empty()) {
    int spacing = spacing_ == -1 ? 4 : spacing_;
    int margin = margin_ != -1 ? margin_ : spacing_ != -1 ? spacing_ : 4;
    int available = content.Width() - (horizontal ? arrowSize.x : 0);
    if (wordWrap_ && hasGlyph && horizontal) available -= glyph.x + spacing + 2 * margin;
    RECT r = TRect(0, 0, std::max(1, available), 0);
    DrawText(dc, caption.c_str(), -1, &r, DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE));
    text = TPoint(r.right - r.left, r.bottom - r.top);
  }
  const bool both = hasGlyph && text.x > 0;
  // The block along the layout axis: glyph, spacing, caption, then the arrow.
  const int axisLength = horizontal ? content.Width() : content.Height();
  const int itemsLength = horizontal ? glyph.x + text.x + arrowSize.x : glyph.y + text.y;
  int margin = margin_, spacing = both ? spacing_ : 0;
  if (margin == -1 && spacing == -1) {
    margin = spacing = (axisLength - itemsLength) / 3;
  } else if (margin == -1) {
    margin = (axisLength - itemsLength - spacing) / 2;
  } else if (spacing == -1) {
    spacing = (axisLength - margin - itemsLength) / 2;
  }
  TPoint glyphAt, textAt, arrowAt;
  if (horizontal) {
    int x = content.left + margin;
    const bool glyphFirst = layout_ == blGlyphLeft || !hasGlyph;
    if (glyphFirst) {
      glyphAt.x = x;
      textAt.x = x + glyph.x + spacing;
      arrowAt.x = textAt.x + text.x;
    } else {
      textAt.x = x;
      glyphAt.x = x + text.x + spacing;
      arrowAt.x = glyphAt.x + glyph.x;
    }
    glyphAt.y = content.top + (content.Height() - glyph.y) / 2;
    textAt.y = content.top + (content.Height() - text.y) / 2;
  } else {
    int y = content.top + margin;
    if (layout_ == blGlyphTop) {
      glyphAt.y = y;
      textAt.y = y + glyph.y + spacing;
    } else {
      textAt.y = y;
      glyphAt.y = y + text.y + spacing;
    }
    glyphAt.x = content.left + (content.Width() - glyph.x - arrowSize.x) / 2;
    textAt.x = content.left + (content.Width() - text.x) / 2;
    arrowAt.x = glyphAt.x + glyph.x;
  }
  arrowAt.y = hasGlyph ? glyphAt.y + (glyph.y - arrowSize.y) / 2 : textAt.y + (text.y - arrowSize.y) / 2;
  if (hasGlyph) glyph_->Draw(dc, glyphAt.x, glyphAt.y, state_);
  if (text.x > 0) {
    SetBkMode(dc, TRANSPARENT);
    UINT format = (alignment_ == taLeftJustify ? DT_LEFT : alignment_ == taRightJustify ? DT_RIGHT : DT_CENTER) |
                  DT_VCENTER | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
    RECT r = Bounds(textAt.x, textAt.y, text.x, text.y);
    if (state_ == bsDisabled) {
      RECT shifted = Bounds(textAt.x + 1, textAt.y + 1, text.x, text.y);
      SetTextColor(dc, ColorToRGB(clBtnHighlight));
      DrawText(dc, caption.c_str(), -1, &shifted, format);
      SetTextColor(dc, ColorToRGB(clBtnShadow));
    } else {
      SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
    }
    DrawText(dc, caption.c_str(), -1, &r, format);
  }
  if (arrow) {
    int cx = arrowAt.x + arrowSize.x / 2;
    if (state_ == bsDisabled) {
      FillTriangle(dc, cx + 1, arrowAt.y + 1, ColorToRGB(clBtnHighlight));
      FillTriangle(dc, cx, arrowAt.y, ColorToRGB(clBtnShadow));
    } else {
      FillTriangle(dc, cx, arrowAt.y, ColorToRGB(GetFont()->GetColor()));
    }
  }
}

}  // namespace tbx
