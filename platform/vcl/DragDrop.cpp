#include "platform/vcl/DragDrop.h"

#include <cstdlib>

#include "platform/vcl/AllocateHWnd.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/WinControl.h"

QUILLO_DEFINE_CLASS(TDragObject, TObject)
QUILLO_DEFINE_CLASS(TDragControlObject, TDragObject)

TCursor TDragObject::GetDragCursor(bool accepted, int, int) { return accepted ? crDrag : crNoDrop; }

TCursor TDragControlObject::GetDragCursor(bool accepted, int x, int y) {
  if (accepted) return control_->GetDragCursor();
  return TDragObject::GetDragCursor(accepted, x, y);
}

// The one drag in progress: its source, the object the targets see, and where it is.
class TDragController {
public:
  TControl* control = nullptr;
  TDragObject* object = nullptr;
  TOwnedPtr<TDragObject> ownObject;
  HWND window = nullptr;
  bool pending = false;
  TPoint start;
  int threshold = 0;
  TControl* target = nullptr;
  bool accepted = false;

  TObject* Source() const {
    if (auto* c = dynamic_cast<TDragControlObject*>(object)) return c->Control();
    return object;
  }

  TControl* FindTarget(const TPoint& pos) const {
    TControl* t = FindDragTarget(pos, false);
    if (control->GetDragKind() != dkDock) return t;
    for (TControl* c = t; c; c = c->GetParent())
      if (auto* w = dynamic_cast<TWinControl*>(c); w && w->GetDockSite() && w != control && !w->ContainsControl(control))
        return w;
    return nullptr;
  }

  bool AskTarget(TControl* t, const TPoint& pos, TDragState state) {
    TPoint local = t->ScreenToClient(pos);
    if (control->GetDragKind() == dkDock) {
      auto* site = static_cast<TWinControl*>(t);
      bool accept = true;
      if (site->OnDockOver) site->OnDockOver(site, Source(), local.x, local.y, state, accept);
      return accept;
    }
    return t->DoDragOver(Source(), local.x, local.y, state);
  }

  void MoveTo(const TPoint& pos) {
    object->pos_ = pos;
    TControl* t = FindTarget(pos);
    if (t != target) {
      if (target) AskTarget(target, pos, dsDragLeave);
      target = t;
      object->target_ = t;
      accepted = t ? AskTarget(t, pos, dsDragEnter) : false;
    } else if (t) {
      accepted = AskTarget(t, pos, dsDragMove);
    }
    ::SetCursor(Screen()->Cursors(object->GetDragCursor(accepted, pos.x, pos.y)));
  }

  void ForgetTarget() {
    target = nullptr;
    accepted = false;
    if (object) object->target_ = nullptr;
  }

  void Begin() {
    pending = false;
    POINT p;
    GetCursorPos(&p);
    MoveTo(p);
  }

  void Done(bool drop) {
    if (!control) return;
    TControl* source = control;
    TControl* t = pending ? nullptr : target;
    bool dropped = drop && accepted && t;
    POINT p;
    GetCursorPos(&p);
    TPoint local = t ? t->ScreenToClient(p) : TPoint(p);
    object->dropped_ = dropped;
    object->cancelling_ = !drop;
    HWND w = window;
    window = nullptr;
    if (t && !dropped) AskTarget(t, p, dsDragLeave);
    if (dropped) {
      if (source->GetDragKind() == dkDock) {
        auto* site = static_cast<TWinControl*>(t);
        ManualDock(source, site);
        if (site->OnDockDrop) site->OnDockDrop(site, source, local.x, local.y);
      } else {
        t->DragDrop(Source(), local.x, local.y);
      }
    }
    control = nullptr;
    if (GetCapture() == w) ReleaseCapture();
    DeallocateHWnd(w);
    source->DoEndDrag(dropped ? t : nullptr, local.x, local.y);
    ownObject.reset();
    object = nullptr;
    target = nullptr;
    accepted = false;
    Screen()->SetCursor(Screen()->GetCursor());
  }

  void WndProc(TMessage& m) {
    switch (m.Msg) {
      case WM_MOUSEMOVE: {
        POINT p;
        GetCursorPos(&p);
        if (pending) {
          if (DragThresholdPassed(start, p, threshold)) Begin();
        } else {
          MoveTo(p);
        }
        return;
      }
      case WM_LBUTTONUP: Done(!pending); return;
      case WM_RBUTTONDOWN: Done(false); return;
      case WM_CAPTURECHANGED:
        if (control && reinterpret_cast<HWND>(m.LParam) != window) Done(false);
        return;
    }
    m.Result = DefWindowProc(window, m.Msg, m.WParam, m.LParam);
  }
};

namespace {
TDragController& Drag() {
  static TDragController drag;
  return drag;
}
}  // namespace

bool DragThresholdPassed(const TPoint& start, const TPoint& now, int threshold) {
  return std::abs(now.x - start.x) >= threshold || std::abs(now.y - start.y) >= threshold;
}

void StartDrag(TControl* control, bool immediate, int threshold) {
  TDragController& d = Drag();
  if (d.control || !control) return;
  d.control = control;
  d.threshold = threshold < 0 ? GetSystemMetrics(SM_CXDRAG) : threshold;
  POINT p;
  GetCursorPos(&p);
  d.start = p;
  TDragObject* object = nullptr;
  control->DoStartDrag(object);
  if (!object) {
    d.ownObject = MakeObject<TDragControlObject>(control);
    object = d.ownObject.get();
  }
  d.object = object;
  d.target = nullptr;
  d.accepted = false;
  d.window = AllocateHWnd([](TMessage& m) { Drag().WndProc(m); });
  SetCapture(d.window);
  d.pending = true;
  if (immediate) d.Begin();
}

void FinishDrag(TControl* control, bool drop) {
  if (Drag().control == control) Drag().Done(drop);
}

bool IsDragging(const TControl* control) { return Drag().control == control && control; }

void CancelDragOf(TControl* control) {
  TDragController& d = Drag();
  if (d.control == control) d.Done(false);
  if (d.target == control) d.ForgetTarget();
}

void CancelDrag() {
  if (Drag().control) Drag().Done(false);
}

TControl* DragControl() { return Drag().control; }

void ManualDock(TControl* control, TWinControl* site) {
  if (!control || !site || control->GetParent() == site) return;
  TWinControl* old = control->GetParent();
  if (old && old->OnUnDock) {
    bool allow = true;
    old->OnUnDock(old, control, site, allow);
    if (!allow) return;
  }
  control->SetParent(site);
}

TControl* FindVCLWindow(const TPoint& pos) {
  for (HWND w = WindowFromPoint(pos); w; w = GetParent(w))
    if (TWinControl* c = FindControl(w)) return c;
  return nullptr;
}

TControl* FindDragTarget(const TPoint& pos, bool allowDisabled) {
  auto* window = static_cast<TWinControl*>(FindVCLWindow(pos));
  if (!window) return nullptr;
  if (TControl* c = window->ControlAtPos(window->ScreenToClient(pos), allowDisabled)) return c;
  return window;
}
