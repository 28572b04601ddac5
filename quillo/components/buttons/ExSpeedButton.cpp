#include "quillo/components/buttons/ExSpeedButton.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/rtl/Clock.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/utilities/VclUtils.h"

QUILLO_DEFINE_ENUM_TYPE(TExDropDownMenuPos, "dmpBottom", "dmpRight")
QUILLO_DEFINE_PUBLISHED_CLASS(TExSpeedButton, TGraphicControl)

namespace {

std::atomic<int> liveButtons{0};

constexpr DWORD ProgrammaticPressMs = 20;

}  // namespace

const TPropTable* TExSpeedButton::PublishedProperties() {
  using B = TExSpeedButton;
  static const TPropTable table =
      TPublisher<B>()
          .Property("Alignment", &B::GetAlignment, &B::SetAlignment)
          .Property("AllowAllUp", &B::GetAllowAllUp, &B::SetAllowAllUp)
          .Property("AllowTimer", &B::GetAllowTimer, &B::SetAllowTimer)
          .Property("GroupIndex", &B::GetGroupIndex, &B::SetGroupIndex)
          .Property("Down", &B::GetDown, &B::SetDown)
          .Property("DropDownMenu", &B::GetDropDownMenu, &B::SetDropDownMenu)
          .Property("MenuPosition", &B::GetMenuPosition, &B::SetMenuPosition)
          .Property("Flat", &B::GetFlat, &B::SetFlat)
          .Property("Glyph", &B::GetGlyph, &B::SetGlyph)
          .Property("GrayedInactive", &B::GetGrayedInactive, &B::SetGrayedInactive)
          .Property("InitPause", &B::GetInitPause, &B::SetInitPause)
          .Property("Layout", &B::GetLayout, &B::SetLayout)
          .Property("Margin", &B::GetMargin, &B::SetMargin)
          .Property("MarkDropDown", &B::GetMarkDropDown, &B::SetMarkDropDown)
          .Property("ModalResult", &B::GetModalResult, &B::SetModalResult)
          .Property("NumGlyphs", &B::GetNumGlyphs, &B::SetNumGlyphs)
          .Property("RepeatInterval", &B::GetRepeatInterval, &B::SetRepeatInterval)
          .Property("Spacing", &B::GetSpacing, &B::SetSpacing)
          .Property("Style", &B::GetStyle, &B::SetStyle)
          .Property("Transparent", &B::GetTransparent, &B::SetTransparent)
          .Property("WordWrap", &B::GetWordWrap, &B::SetWordWrap)
          .Table();
  return &table;
}

int TExSpeedButton::LiveCount() { return liveButtons.load(); }

TExSpeedButton::TExSpeedButton(TComponent* owner)
    : TGraphicControl(owner), glyph_(MakeObject<TExButtonGlyph>()), drawImage_(MakeObject<TBitmap>()) {
  controlStyle_ = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable};
  SetBounds(0, 0, 25, 25);
  SetParentShowHint(false);
  SetShowHint(true);
  glyph_->OnChange = [this](TObject*) { Invalidate(); };
  ++liveButtons;
}

TExSpeedButton::~TExSpeedButton() {
  glyph_->OnChange = nullptr;
  --liveButtons;
}

// ---- properties ----

void TExSpeedButton::SetAlignment(TAlignment value) {
  if (value == glyph_->GetAlignment()) return;
  glyph_->SetAlignment(value);
  Invalidate();
}

void TExSpeedButton::SetWordWrap(bool value) {
  if (value == glyph_->GetWordWrap()) return;
  glyph_->SetWordWrap(value);
  Invalidate();
}

void TExSpeedButton::SetAllowAllUp(bool value) {
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  UpdateExclusive();
}

void TExSpeedButton::SetAllowTimer(bool value) {
  allowTimer_ = value;
  if (!value && repeatTimer_) {
    StopRepeat();
    FreeObject(repeatTimer_);
    repeatTimer_ = nullptr;
  }
}

void TExSpeedButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  UpdateExclusive();
}

void TExSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = value;
  if (value) {
    if (state_ == rbsUp) Invalidate();
    state_ = rbsExclusive;
  } else {
    state_ = rbsUp;
  }
  Repaint();
  if (value) UpdateExclusive();
}

void TExSpeedButton::SetDropDownMenu(TPopupMenu* value) {
  if (value == dropDownMenu_) return;
  if (dropDownMenu_) {
    // The menu last opened here must not go on naming a button that may soon be freed.
    if (dropDownMenu_->GetPopupComponent() == this) dropDownMenu_->SetPopupComponent(nullptr);
    dropDownMenu_->RemoveFreeNotification(this);
  }
  dropDownMenu_ = value;
  if (value) value->FreeNotification(this);
  if (markDropDown_) Invalidate();
}

void TExSpeedButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == dropDownMenu_) {
    dropDownMenu_ = nullptr;
    if (markDropDown_) Invalidate();
  }
}

#define QUILLO_INVALIDATING_SETTER(Name, field)  \
  void TExSpeedButton::Set##Name(decltype(field) value) { \
    if (value == field) return;                  \
    field = value;                               \
    Invalidate();                                \
  }
QUILLO_INVALIDATING_SETTER(Flat, flat_)
QUILLO_INVALIDATING_SETTER(GrayedInactive, grayedInactive_)
QUILLO_INVALIDATING_SETTER(Layout, layout_)
QUILLO_INVALIDATING_SETTER(MarkDropDown, markDropDown_)
QUILLO_INVALIDATING_SETTER(Spacing, spacing_)
QUILLO_INVALIDATING_SETTER(Style, style_)
#undef QUILLO_INVALIDATING_SETTER

void TExSpeedButton::SetMargin(int value) {
  if (value == margin_ || value < -1) return;
  margin_ = value;
  Invalidate();
}

void TExSpeedButton::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  if (value) controlStyle_ >> csOpaque;
  else controlStyle_ << csOpaque;
  Invalidate();
}

void TExSpeedButton::SetGlyph(TBitmap* value) {
  glyph_->SetGlyph(value);
  Invalidate();
}

void TExSpeedButton::SetNumGlyphs(int value) {
  value = value < 0 ? 1 : value > 5 ? 5 : value;
  if (value == glyph_->GetNumGlyphs()) return;
  glyph_->SetNumGlyphs(value);
  Invalidate();
}

// ---- groups ----

void TExSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !GetParent()) return;
  TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(static_cast<TObject*>(this)),
             0};
  GetParent()->Broadcast(m);
}

void TExSpeedButton::ButtonPressed(int groupIndex, TExSpeedButton* sender) {
  if (groupIndex != groupIndex_ || !sender || sender == this) return;
  if (sender->down_ && down_) {
    down_ = false;
    state_ = rbsUp;
    Repaint();
  }
  allowAllUp_ = sender->allowAllUp_;
}

// ---- painting ----

void TExSpeedButton::Paint() {
  if (!GetEnabled()) {
    state_ = rbsDisabled;
    dragging_ = false;
  } else if (state_ == rbsDisabled) {
    state_ = down_ && groupIndex_ ? rbsExclusive : rbsUp;
  }
  const bool designing = ComponentState().Contains(csDesigning);
  TExButtonState paintState = state_;
  if (flat_ && !mouseInControl_ && !designing && state_ != rbsExclusive) paintState = rbsInactive;

  const int w = GetWidth(), h = GetHeight();
  if (w <= 0 || h <= 0) return;
  drawImage_->SetSize(w, h);
  TCanvas* c = drawImage_->GetCanvas();
  c->SetFont(GetFont());
  c->GetBrush()->SetColor(clBtnFace);
  c->GetBrush()->SetStyle(bsSolid);
  c->FillRect(TRect(0, 0, w, h));
  if (transparent_) CopyParentImage(this, c);

  TRect area(0, 0, w, h);
  if (paintState != rbsInactive) {
    area = DrawButtonFrame(c, area, paintState == rbsDown || paintState == rbsExclusive, flat_, style_);
  } else {
    area = TRect(area.left + 2, area.top + 2, area.right - 2, area.bottom - 2);
  }
  if (paintState == rbsExclusive && !transparent_ && (!flat_ || !mouseInControl_)) {
    auto pattern = CreateTwoColorsBrushPattern(clBtnFace, clBtnHighlight);
    c->GetBrush()->SetBitmap(pattern.get());
    c->FillRect(TRect(area.left - 1, area.top - 1, area.right + 1, area.bottom + 1));
    c->GetBrush()->SetBitmap(nullptr);
    c->GetBrush()->SetColor(clBtnFace);
  }
  if (paintState == rbsDown || paintState == rbsExclusive) area = TRect(area.left + 1, area.top + 1, area.right + 1, area.bottom + 1);
  const TExButtonState glyphState = !GetEnabled() || !grayedInactive_ ? state_ : paintState;
  glyph_->Draw(c, area, GetCaption(), layout_, margin_, spacing_, markDropDown_ && dropDownMenu_, glyphState,
               AlignmentToDrawText(glyph_->GetAlignment()));
  GetCanvas()->Draw(0, 0, drawImage_.get());
}

// ---- mouse ----

void TExSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (menuTracking_) return;
  TGraphicControl::MouseDown(button, shift, x, y);
  if (!mouseInControl_ && GetEnabled()) {
    mouseInControl_ = true;
    Repaint();
  }
  if (button != mbLeft || !GetEnabled()) return;
  if (!down_) {
    state_ = rbsDown;
    Repaint();
  }
  dragging_ = true;
  if (ShowDropDownMenu()) return;
  if (allowTimer_) {
    if (!repeatTimer_) {
      repeatTimer_ = NewComponent<TTimer>(this);
      repeatTimer_->SetEnabled(false);
      repeatTimer_->SetOnTimer([this](TObject*) { RepeatTick(); });
    }
    repeatTimer_->SetInterval(initPause_);
    repeatTimer_->SetEnabled(true);
  }
}

TPoint TExSpeedButton::DropDownPosition() const {
  if (!dropDownMenu_) return TPoint(0, 0);
  const int w = GetWidth(), h = GetHeight();
  const TPopupAlignment alignment = dropDownMenu_->GetAlignment();
  if (menuPosition_ == dmpBottom) {
    switch (alignment) {
      case paLeft: return TPoint(-1, h);
      case paCenter: return TPoint(w / 2, h);
      case paRight: return TPoint(w + 1, h);
    }
  }
  switch (alignment) {
    case paLeft: return TPoint(w, -1);
    case paRight: return TPoint(-1, -1);
    case paCenter: return TPoint(w / 2, h);
  }
  return TPoint(0, 0);
}

bool TExSpeedButton::ShowDropDownMenu() {
  if (!dropDownMenu_ || !dropDownMenu_->GetAutoPopup()) return false;
  menuTracking_ = true;
  struct TrackingEnd {
    bool& flag;
    ~TrackingEnd() { flag = false; }
  } end{menuTracking_};
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  const TPoint at = ClientToScreen(DropDownPosition());
  dropDownMenu_->SetPopupComponent(this);
  dropDownMenu_->Popup(at.x, at.y);
  // The press is finished as a release that clicks nothing.
  FinishRelease(-1, -1, true);
  RemovePendingPress();
  return true;
}

void TExSpeedButton::RemovePendingPress() {
  if (!GetParent() || !GetParent()->HandleAllocated()) return;
  MSG msg{};
  HWND window = GetParent()->GetHandle();
  if (!PeekMessage(&msg, window, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_NOREMOVE)) return;
  if (msg.message != WM_LBUTTONDOWN && msg.message != WM_LBUTTONDBLCLK) return;
  const TPoint p(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
  RECT bounds = GetBoundsRect();
  if (PtInRect(&bounds, POINT{p.x, p.y})) PeekMessage(&msg, window, msg.message, msg.message, PM_REMOVE);
}

void TExSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  TExButtonState next = Inside(x, y) ? (down_ ? rbsExclusive : rbsDown) : (down_ ? rbsExclusive : rbsUp);
  if (next != state_) {
    state_ = next;
    Repaint();
  }
}

void TExSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (button == mbLeft) FinishRelease(x, y, false);
  UpdateTracking();
}

void TExSpeedButton::FinishRelease(int x, int y, bool fromMenu) {
  StopRepeat();
  if (!dragging_) return;
  dragging_ = false;
  const bool inside = !fromMenu && Inside(x, y);
  if (groupIndex_ == 0) {
    state_ = rbsUp;
    mouseInControl_ = false;
    Repaint();
  } else if (inside) {
    SetDown(!down_);
    if (down_) Repaint();
  } else {
    if (down_) state_ = rbsExclusive;
    Repaint();
  }
  if (inside) Click();
  UpdateTracking();
}

void TExSpeedButton::RepeatTick() {
  if (!repeatTimer_) return;
  repeatTimer_->SetInterval(repeatInterval_);
  if (state_ == rbsDown && GetCaptureControl() == this) {
    try {
      Click();
    } catch (...) {
      StopRepeat();
      throw;
    }
  }
}

void TExSpeedButton::StopRepeat() {
  if (repeatTimer_) repeatTimer_->SetEnabled(false);
}

void TExSpeedButton::UpdateTracking() {
  if (!GetEnabled() || !GetParent()) return;
  POINT p;
  GetCursorPos(&p);
  const bool over = FindDragTarget(TPoint(p.x, p.y), true) == this && IsForegroundTask();
  if (over == mouseInControl_) return;
  TMessage m{static_cast<UINT>(over ? CM_MOUSEENTER : CM_MOUSELEAVE), 0, 0, 0};
  Dispatch(m);
}

// ---- clicks ----

void TExSpeedButton::ButtonClick() {
  if (menuTracking_ || !GetEnabled()) return;
  if (dropDownMenu_ && dropDownMenu_->GetAutoPopup()) {
    // As the mouse would: the menu opens and nothing is clicked.
    if (!down_) {
      state_ = rbsDown;
      Repaint();
    }
    dragging_ = true;
    ShowDropDownMenu();
    return;
  }
  if (!down_) {
    state_ = rbsDown;
    Repaint();
  }
  // The pressed look stays a moment; under the manual clock time stands still, so the wait is
  // real time there rather than a wait that would never end.
  if (IsManualClock()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ProgrammaticPressMs));
  } else {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ProgrammaticPressMs) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // A grouped button toggles as a release inside would.
  dragging_ = true;
  FinishRelease(0, 0, false);
}

void TExSpeedButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TGraphicControl::Click();
}

void TExSpeedButton::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TExSpeedButton::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TExSpeedButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_BUTTONPRESSED:
      ButtonPressed(static_cast<int>(m.WParam), dynamic_cast<TExSpeedButton*>(reinterpret_cast<TObject*>(m.LParam)));
      return;
    case CM_MOUSEENTER:
      if (!mouseInControl_ && GetEnabled() && IsForegroundTask()) {
        mouseInControl_ = true;
        if (flat_) Repaint();
        MouseEnter();
      }
      return;
    case CM_MOUSELEAVE:
      if (mouseInControl_ && !dragging_) {
        mouseInControl_ = false;
        if (flat_) Invalidate();
        MouseLeave();
      }
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(m.WParam, GetCaption()) && GetEnabled()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    case WM_LBUTTONDBLCLK:
      if (menuTracking_) return;
      TGraphicControl::Dispatch(m);
      if (down_ && OnDblClick) OnDblClick(this);
      return;
    case CM_ENABLEDCHANGED:
      TGraphicControl::Dispatch(m);
      glyph_->Invalidate();
      UpdateTracking();
      Repaint();
      return;
    case CM_SYSCOLORCHANGE:
      TGraphicControl::Dispatch(m);
      glyph_->Invalidate();
      Invalidate();
      return;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      TGraphicControl::Dispatch(m);
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      TGraphicControl::Dispatch(m);
      if (GetVisible()) UpdateTracking();
      return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      TGraphicControl::Dispatch(m);
      UpdateTracking();
      return;
    default:
      break;
  }
  TGraphicControl::Dispatch(m);
}
