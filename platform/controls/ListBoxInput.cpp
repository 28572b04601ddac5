// The list box's keyboard and mouse: moving the caret and the selection by keys, typing the
// first letters of an item, clicks and drags with Shift and Ctrl, scrolling while a drag is
// past an edge, and the mouse tracking of a combo box's open list.

#include <algorithm>

#include "platform/user/ScrollBars.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/rtl/Clock.h"

namespace {

constexpr UINT kAutoScrollMs = 50;
constexpr DWORD kTypeAheadMs = 1000;

bool KeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

int Fold(char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : static_cast<unsigned char>(c); }

}  // namespace

// ---------------------------------------------------------------------------------------
// Keyboard.

void ListBoxControl::MoveCaretByKey(int target, bool shift, bool ctrl) {
  if (Count() == 0) return;
  target = std::clamp(target, 0, Count() - 1);
  if (Is(LBS_NOSEL)) {
    SetCaret(target, true);
    return;
  }
  bool changed = false;
  if (SingleSel()) {
    changed = SelectOnly(target);
  } else if (Extended()) {
    if (shift) {
      if (anchor_ < 0) anchor_ = caret_;
      changed = SelectRangeOnly(anchor_, target, ctrl, true);
    } else if (!ctrl) {
      changed = SelectOnly(target);
      anchor_ = target;
    }
  }
  SetCaret(target, true);
  if (changed) NotifySelChange();
}

LRESULT ListBoxControl::OnKeyDown(int vk) {
  if (Is(LBS_WANTKEYBOARDINPUT) && ownerTarget_) {
    LRESULT r = SendMessage(ownerTarget_, WM_VKEYTOITEM, MAKEWPARAM(vk, caret_), reinterpret_cast<LPARAM>(window_));
    if (r == -2) return 0;
    if (r >= 0) {
      MoveCaretByKey(static_cast<int>(r), false, false);
      return 0;
    }
  }
  bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
  int rows = RowsPerColumn();
  int page = std::max(1, Page());
  int target = -1;
  switch (vk) {
    case VK_UP: target = caret_ - 1; break;
    case VK_DOWN: target = caret_ + 1; break;
    case VK_LEFT:
      if (Is(LBS_MULTICOLUMN)) target = caret_ - rows;
      else Scroll(false, SB_LINEUP, 0);
      break;
    case VK_RIGHT:
      if (Is(LBS_MULTICOLUMN)) target = caret_ + rows;
      else Scroll(false, SB_LINEDOWN, 0);
      break;
    case VK_PRIOR:
      if (Is(LBS_MULTICOLUMN)) target = caret_ - rows * VisibleColumns();
      else target = caret_ == top_ ? caret_ - (page - 1) : top_;
      break;
    case VK_NEXT:
      if (Is(LBS_MULTICOLUMN)) target = caret_ + rows * VisibleColumns();
      else target = caret_ == top_ + page - 1 ? caret_ + (page - 1) : top_ + page - 1;
      break;
    case VK_HOME: target = 0; break;
    case VK_END: target = Count() - 1; break;
    case VK_SPACE:
      if (!SingleSel() && Valid(caret_)) {
        bool changed;
        if (Extended() && shift) {
          if (anchor_ < 0) anchor_ = caret_;
          changed = SelectRangeOnly(anchor_, caret_, ctrl, true);
        } else if (Extended() && !ctrl) {
          changed = SelectOnly(caret_);
          anchor_ = caret_;
        } else {
          changed = Select(caret_, !items_.At(caret_).selected);
          anchor_ = caret_;
        }
        if (changed) NotifySelChange();
      }
      return 0;
    default: return 0;
  }
  if (target == -1 && vk != VK_UP && vk != VK_PRIOR && vk != VK_LEFT) return 0;
  if (Count() == 0) return 0;
  // With nothing chosen yet, an arrow chooses the caret's item before it moves on.
  if (SingleSel() && !Is(LBS_NOSEL) && curSel_ < 0 && (vk == VK_UP || vk == VK_DOWN)) target = caret_;
  // Multiple selection moves only the caret; extended selection follows Shift and Ctrl.
  if (Is(LBS_MULTIPLESEL) && !Extended()) {
    SetCaret(std::clamp(target, 0, Count() - 1), true);
    return 0;
  }
  MoveCaretByKey(target, shift, ctrl);
  return 0;
}

LRESULT ListBoxControl::OnChar(char ch) {
  if (Is(LBS_WANTKEYBOARDINPUT) && ownerTarget_) {
    LRESULT r = SendMessage(ownerTarget_, WM_CHARTOITEM, MAKEWPARAM(static_cast<unsigned char>(ch), caret_),
                            reinterpret_cast<LPARAM>(window_));
    if (r == -2) return 0;
    if (r >= 0) {
      MoveCaretByKey(static_cast<int>(r), false, false);
      return 0;
    }
  }
  if (static_cast<unsigned char>(ch) < 0x20) return 0;
  if (ch == ' ' && !SingleSel()) return 0;  // the space toggles, on its key
  if (!HasStrings() || Count() == 0) return 0;
  DWORD now = GetTickCount();
  bool continuing = !typed_.empty() && now - lastTyped_ < kTypeAheadMs;
  lastTyped_ = now;
  typed_ = continuing ? typed_ + ch : std::string(1, ch);
  // A new first letter looks past the current item; a longer prefix may still be it.
  int from = continuing ? caret_ - 1 : caret_;
  int found = FindPrefix(from, typed_);
  if (found < 0 && continuing) {
    // No item starts with the whole prefix: the same letter typed again steps through.
    bool same = std::all_of(typed_.begin(), typed_.end(), [&](char c) { return Fold(c) == Fold(ch); });
    if (same) found = FindPrefix(caret_, std::string(1, ch));
  }
  if (found >= 0) {
    if (Is(LBS_MULTIPLESEL) && !Extended()) SetCaret(found, true);
    else MoveCaretByKey(found, false, false);
  }
  return 0;
}

// ---------------------------------------------------------------------------------------
// Mouse.

void ListBoxControl::OnButtonDown(POINT p, WPARAM keys, bool doubleClick) {
  if (comboTracking_) {
    OnComboButtonDown(p);
    return;
  }
  // A simple combo box's list leaves the focus with its combo box (and the edit there).
  if (combo_) {
    if (GetFocus() != combo_ && !IsChild(combo_, GetFocus())) SetFocus(combo_);
  } else if (!focused_) {
    SetFocus(window_);
  }
  if (!IsWindow(window_)) return;
  bool outside = false;
  int index = ItemAt(p, &outside);
  lastMouse_ = p;
  if (doubleClick) {
    Notify(LBN_DBLCLK);
    return;
  }
  SetCapture(window_);
  tracking_ = true;
  trackedChange_ = false;
  if (index < 0 || Is(LBS_NOSEL)) {
    if (index >= 0) SetCaret(index, true);
    return;
  }
  bool shift = (keys & MK_SHIFT) != 0, ctrl = (keys & MK_CONTROL) != 0;
  if (SingleSel()) {
    trackedChange_ = SelectOnly(index);
  } else if (!Extended()) {
    trackedChange_ = Select(index, !items_.At(index).selected);
    anchor_ = index;
  } else if (shift) {
    if (anchor_ < 0) anchor_ = caret_;
    trackKeepOthers_ = ctrl;
    trackToggleState_ = true;
    trackedChange_ = SelectRangeOnly(anchor_, index, ctrl, true);
  } else if (ctrl) {
    anchor_ = index;
    trackKeepOthers_ = true;
    trackToggleState_ = !items_.At(index).selected;
    trackedChange_ = Select(index, trackToggleState_);
  } else {
    anchor_ = index;
    trackKeepOthers_ = false;
    trackToggleState_ = true;
    trackedChange_ = SelectOnly(index);
  }
  SetCaret(index, true);
}

void ListBoxControl::TrackTo(int index) {
  if (!Valid(index) || Is(LBS_NOSEL)) return;
  if (SingleSel()) {
    trackedChange_ |= SelectOnly(index);
  } else if (Extended()) {
    if (anchor_ < 0) anchor_ = index;
    trackedChange_ |= SelectRangeOnly(anchor_, index, trackKeepOthers_, trackToggleState_);
  }
  SetCaret(index, true);
}

void ListBoxControl::OnMouseMove(POINT p) {
  lastMouse_ = p;
  if (comboTracking_) {
    bool outside = false;
    int index = ItemAt(p, &outside);
    RECT c = Client();
    if (PtInRect(&c, p) && index >= 0) {
      SelectOnly(index);
      SetCaret(index, false);
    }
    if (comboButtonDown_ && (p.y < c.top || p.y >= c.bottom) && p.x >= c.left && p.x < c.right && !timerOn_) {
      SetTimer(window_, kAutoScrollTimer, kAutoScrollMs, nullptr);
      timerOn_ = true;
    }
    return;
  }
  if (!tracking_) return;
  RECT c = Client();
  bool outsideV = p.y < c.top || p.y >= c.bottom;
  bool outsideH = Is(LBS_MULTICOLUMN) && (p.x < c.left || p.x >= c.right);
  if ((outsideV || outsideH) && !timerOn_) {
    SetTimer(window_, kAutoScrollTimer, kAutoScrollMs, nullptr);
    timerOn_ = true;
  } else if (!outsideV && !outsideH && timerOn_) {
    KillTimer(window_, kAutoScrollTimer);
    timerOn_ = false;
  }
  bool outside = false;
  int index = ItemAt(p, &outside);
  if (index >= 0 && !Is(LBS_MULTIPLESEL)) TrackTo(index);
}

void ListBoxControl::OnTimer() {
  // The pointer is past an edge with the button held: one item further each tick.
  POINT p = lastMouse_;
  RECT c = Client();
  int step = 0;
  if (Is(LBS_MULTICOLUMN)) {
    if (p.x < c.left) step = -RowsPerColumn();
    else if (p.x >= c.right) step = RowsPerColumn();
  }
  if (p.y < c.top) step = -1;
  else if (p.y >= c.bottom) step = 1;
  if (step == 0 || (!tracking_ && !comboTracking_)) {
    KillTimer(window_, kAutoScrollTimer);
    timerOn_ = false;
    return;
  }
  int target = std::clamp(caret_ + step, 0, std::max(0, Count() - 1));
  if (comboTracking_) {
    SelectOnly(target);
    SetCaret(target, true);
  } else if (!Is(LBS_MULTIPLESEL)) {
    TrackTo(target);
  } else {
    SetCaret(target, true);
  }
}

void ListBoxControl::EndTracking() {
  if (timerOn_) {
    KillTimer(window_, kAutoScrollTimer);
    timerOn_ = false;
  }
  bool wasTracking = tracking_;
  tracking_ = false;
  if (GetCapture() == window_) ReleaseCapture();
  if (wasTracking && trackedChange_) {
    trackedChange_ = false;
    NotifySelChange();
  }
}

void ListBoxControl::OnButtonUp(POINT p) {
  if (comboTracking_) {
    RECT c = Client();
    bool inside = PtInRect(&c, p) != 0;
    if (comboButtonDown_ && !inside) {
      // The press that dropped the list ended outside it: the list stays open.
      comboButtonDown_ = false;
      return;
    }
    if (inside) {
      bool outside = false;
      int index = ItemAt(p, &outside);
      if (index >= 0) SelectOnly(index);
      comboTracking_ = false;
      if (timerOn_) KillTimer(window_, kAutoScrollTimer);
      timerOn_ = false;
      if (GetCapture() == window_) ReleaseCapture();
      SendMessage(combo_, kComboListCloseUp, TRUE, 0);
    }
    return;
  }
  (void)p;
  EndTracking();
}

void ListBoxControl::OnComboButtonDown(POINT p) {
  RECT c = Client();
  if (PtInRect(&c, p)) {
    comboButtonDown_ = true;
    OnMouseMove(p);
    return;
  }
  POINT screen = p;
  ClientToScreen(window_, &screen);
  RECT frame;
  GetWindowRect(window_, &frame);
  if (PtInRect(&frame, screen)) {
    // The list's own frame: a press on its scroll bar scrolls it (the bar tracks the mouse
    // for as long as the button is held), then the list follows the mouse again.
    LRESULT hit = SendMessage(window_, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    if (hit == HTVSCROLL || hit == HTHSCROLL) {
      scrollingBar_ = true;
      DefWindowProc(window_, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(screen.x, screen.y));
      scrollingBar_ = false;
      if (comboTracking_ && IsWindow(window_) && GetCapture() != window_) SetCapture(window_);
    }
    return;
  }
  // A press anywhere else closes the list without a choice.
  comboTracking_ = false;
  if (timerOn_) KillTimer(window_, kAutoScrollTimer);
  timerOn_ = false;
  if (GetCapture() == window_) ReleaseCapture();
  Notify(LBN_SELCANCEL);
  SendMessage(combo_, kComboListCloseUp, FALSE, 0);
}

void ListBoxControl::OnWheel(int delta) {
  int lines = 3 * delta / WHEEL_DELTA;
  if (lines == 0) return;
  if (Is(LBS_MULTICOLUMN)) SetTop(top_ - (lines > 0 ? 1 : -1) * RowsPerColumn());
  else SetTop(top_ - lines);
}

