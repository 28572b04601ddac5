// TWinControl: laying children out by Align and Anchors, the tab order, and moving the focus.

#include <algorithm>

#include "platform/vcl/Form.h"
#include "platform/vcl/WinControl.h"

void TWinControl::AlignControl(TControl* control) {
  if (ComponentState().Contains(csDestroying) || ComponentState().Contains(csLoading)) {
    controlState_ << csAlignmentNeeded;
    return;
  }
  if (alignLevel_ != 0) {
    controlState_ << csAlignmentNeeded;
    return;
  }
  DisableAlign();
  try {
    TRect rect = GetClientRect();
    AlignControls(control, rect);
  } catch (...) {
    controlState_ >> csAlignmentNeeded;
    EnableAlign();
    throw;
  }
  controlState_ >> csAlignmentNeeded;
  EnableAlign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign() {
  if (--alignLevel_ == 0 && controlState_.Contains(csAlignmentNeeded)) {
    if (parent_) parent_->Realign();
    else Realign();
  }
}

void TWinControl::AlignControls(TControl* control, TRect& rect) {
  AdjustClientRect(rect);
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone}) DoAlign(a, control, rect);
}

namespace {

// Whether a comes before b among controls of one alignment: the nearer the edge they align
// to, the earlier; the control being moved wins a tie.
bool AlignsBefore(TAlign align, const TControl* a, const TControl* b) {
  switch (align) {
    case alTop: return a->GetTop() < b->GetTop();
    case alBottom: return a->GetTop() + a->GetHeight() > b->GetTop() + b->GetHeight();
    case alLeft: return a->GetLeft() < b->GetLeft();
    case alRight: return a->GetLeft() + a->GetWidth() > b->GetLeft() + b->GetWidth();
    default: return false;
  }
}

}  // namespace

void TWinControl::DoAlign(TAlign align, TControl* changed, TRect& rect) {
  std::vector<TControl*> list;
  auto wants = [&](TControl* c) {
    if (c->GetAlign() != align || !c->GetVisible()) return false;
    if (align == alNone) return !(c->GetAnchors() == TAnchors{akLeft, akTop});
    return true;
  };
  if (changed && changed->GetParent() == this && wants(changed)) list.push_back(changed);
  for (TControl* c : controls_) {
    if (c == changed || !wants(c)) continue;
    auto at = list.begin();
    while (at != list.end() && !AlignsBefore(align, c, *at)) ++at;
    // The control being moved keeps its place ahead of equals.
    if (at == list.begin() && !list.empty() && list.front() == changed && !AlignsBefore(align, c, changed)) ++at;
    list.insert(at, c);
  }
  for (TControl* c : list) DoPosition(c, align, rect);
}

void TWinControl::DoPosition(TControl* control, TAlign align, TRect& rect) {
  if (align == alNone) {
    // Anchored controls keep their distances to the anchored edges of the parent.
    TPoint original = control->OriginalParentSize();
    if (original.x == 0 || original.y == 0) return;
    TRect client = GetClientRect();
    TPoint size(client.right, client.bottom);
    TPoint rules = control->AnchorRules();
    TAnchors anchors = control->GetAnchors();
    int left = control->GetLeft(), top = control->GetTop();
    int width = control->GetWidth(), height = control->GetHeight();
    if (anchors.Contains(akRight)) {
      if (anchors.Contains(akLeft)) width = size.x - (original.x - rules.x);
      else left = rules.x + (size.x - original.x);
    } else if (!anchors.Contains(akLeft)) {
      left = static_cast<int>(static_cast<long long>(rules.x) * size.x / original.x) - width / 2;
    }
    if (anchors.Contains(akBottom)) {
      if (anchors.Contains(akTop)) height = size.y - (original.y - rules.y);
      else top = rules.y + (size.y - original.y);
    } else if (!anchors.Contains(akTop)) {
      top = static_cast<int>(static_cast<long long>(rules.y) * size.y / original.y) - height / 2;
    }
    control->SetBoundsByLayout(left, top, std::max(0, width), std::max(0, height));
    return;
  }
  if (align == alCustom) return;
  int width = rect.right - rect.left;
  if (width < 0 || align == alLeft || align == alRight) width = control->GetWidth();
  int height = rect.bottom - rect.top;
  if (height < 0 || align == alTop || align == alBottom) height = control->GetHeight();
  int left = rect.left, top = rect.top;
  switch (align) {
    case alTop: rect.top += height; break;
    case alBottom: rect.bottom -= height; top = rect.bottom; break;
    case alLeft: rect.left += width; break;
    case alRight: rect.right -= width; left = rect.right; break;
    default: break;
  }
  control->SetBoundsByLayout(left, top, width, height);
  // A control that would not take the size (its OnCanResize refused) keeps the space it has.
  if (control->GetWidth() != width || control->GetHeight() != height) {
    switch (align) {
      case alTop: rect.top -= height - control->GetHeight(); break;
      case alBottom: rect.bottom += height - control->GetHeight(); break;
      case alLeft: rect.left -= width - control->GetWidth(); break;
      case alRight: rect.right += width - control->GetWidth(); break;
      default: break;
    }
  }
}

int TWinControl::GetTabOrder() const {
  if (!parent_) return -1;
  auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!parent_) return;
  auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
}

void TWinControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  if (handle_) {
    LONG style = GetWindowLong(handle_, GWL_STYLE);
    SetWindowLong(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

std::vector<TWinControl*> TWinControl::GetTabOrderList() const {
  std::vector<TWinControl*> out;
  for (TWinControl* c : tabList_) {
    out.push_back(c);
    std::vector<TWinControl*> inner = c->GetTabOrderList();
    out.insert(out.end(), inner.begin(), inner.end());
  }
  return out;
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list = GetTabOrderList();
  if (list.empty()) return nullptr;
  int n = static_cast<int>(list.size());
  int start = -1;
  if (current) {
    auto it = std::find(list.begin(), list.end(), current);
    if (it != list.end()) start = static_cast<int>(it - list.begin());
  }
  if (start < 0) start = goForward ? n - 1 : 0;
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = goForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[static_cast<size_t>(i)];
    if (c == current && current) continue;
    if (c->CanFocus() && (!checkTabStop || c->GetTabStop()) && (!checkParent || c->GetParent() == this)) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop);
  if (next) next->SetFocus();
}

void TWinControl::SelectFirst() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return;
  TWinControl* first = FindNextControl(nullptr, true, true, false);
  if (!first) first = FindNextControl(nullptr, true, false, false);
  if (first) form->SetActiveControl(first);
}

bool TWinControl::CanFocus() const {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  // Up to the form, not including it: a dialog names the control to have the focus before it
  // is shown.
  for (const TControl* c = this; c && (c == this || c != form); c = c->GetParent())
    if (!c->GetVisible() || !c->GetEnabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
  } else if (parentWindow_) {
    ::SetFocus(GetHandle());
  } else {
    ValidParentForm(this);
  }
}

void TWinControl::RemoveFocus(bool removing) {
  if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, removing);
}
