// Dragging a tool window between docks and the floating state, and sizing a floating one:
// captured loops that draw an XOR outline on the locked screen.

#include <algorithm>

#include "quillo/components/toolbars/DockLayout.h"
#include "quillo/components/toolbars/ToolWindow.h"

namespace tbx {

namespace {

// An outline drawn in XOR with a checker brush; drawing the same outline again erases it,
// so the screen is left as it was.
class XorOutline {
public:
  XorOutline() {
    HWND desktop = GetDesktopWindow();
    // Pending paints first: nothing may repaint under the outline while the screen is locked.
    RedrawWindow(desktop, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    LockWindowUpdate(desktop);
    dc_ = GetDCEx(desktop, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    WORD bits[8];
    for (int i = 0; i < 8; ++i) bits[i] = static_cast<WORD>(i & 1 ? 0xAA : 0x55);
    pattern_ = CreateBitmap(8, 8, 1, 1, bits);
    brush_ = CreatePatternBrush(pattern_);
  }
  ~XorOutline() {
    Erase();
    DeleteObject(brush_);
    DeleteObject(pattern_);
    ReleaseDC(GetDesktopWindow(), dc_);
    LockWindowUpdate(nullptr);
  }
  XorOutline(const XorOutline&) = delete;
  XorOutline& operator=(const XorOutline&) = delete;

  void Show(const TRect& r, int thickness) {
    if (shown_ && r.left == rect_.left && r.top == rect_.top && r.right == rect_.right &&
        r.bottom == rect_.bottom && thickness == thickness_)
      return;
    Erase();
    rect_ = r;
    thickness_ = thickness;
    Draw();
    shown_ = true;
  }
  void Erase() {
    if (!shown_) return;
    Draw();
    shown_ = false;
  }

private:
  void Draw() {
    const TRect& r = rect_;
    int t = std::max(1, std::min({thickness_, r.Width() / 2, r.Height() / 2}));
    HGDIOBJ old = SelectObject(dc_, brush_);
    PatBlt(dc_, r.left, r.top, r.Width(), t, PATINVERT);
    PatBlt(dc_, r.left, r.bottom - t, r.Width(), t, PATINVERT);
    PatBlt(dc_, r.left, r.top + t, t, r.Height() - 2 * t, PATINVERT);
    PatBlt(dc_, r.right - t, r.top + t, t, r.Height() - 2 * t, PATINVERT);
    SelectObject(dc_, old);
  }

  HDC dc_ = nullptr;
  HBITMAP pattern_ = nullptr;
  HBRUSH brush_ = nullptr;
  TRect rect_;
  int thickness_ = 1;
  bool shown_ = false;
};

TRect ScreenRectOf(TWinControl* control) {
  RECT r;
  GetWindowRect(control->GetHandle(), &r);
  return TRect(r.left, r.top, r.right, r.bottom);
}

TRect MonitorRect() {
  return TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

void CollectDocks(TCustomForm* form, TDockableTo dockableTo, std::vector<TDockX*>& docks) {
  if (!form) return;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    auto* dock = dynamic_cast<TDockX*>(form->Components(i));
    if (dock && dockableTo.Contains(dock->GetPosition()) &&
        std::find(docks.begin(), docks.end(), dock) == docks.end())
      docks.push_back(dock);
  }
}

}  // namespace

std::vector<TDockX*> TCustomToolWindowX::CandidateDocks() const {
  std::vector<TDockX*> docks;
  if (dockMode_ == dmCannotFloatOrChangeDocks) {
    if (dockedTo_) docks.push_back(dockedTo_);
    return docks;
  }
  CollectDocks(ValidToolWindowParentForm(), dockableTo_, docks);
  for (TCustomForm* form : dockForms_) CollectDocks(form, dockableTo_, docks);
  return docks;
}

void TCustomToolWindowX::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  if (TControl* child = ControlAtPos(TPoint(x, y), true); child && !ChildControlTransparent(child)) return;
  if (!Floating() && !(dockedTo_ && dockedTo_->GetAllowDrag())) return;
  if (shift.Contains(ssDouble)) {
    if (Floating()) {
      if (lastDock_)
        DockInto(lastDock_, dockRow_, dockPos_);
      else if (defaultDock_)
        DockInto(defaultDock_, 0, -8);
    } else if (dockMode_ == dmCanFloat) {
      FloatOnForm();
      MoveOnScreen(true);
    }
    return;
  }
  BeginMoving(x, y);
}

void TCustomToolWindowX::DockInto(TDockX* dock, int row, int pos) {
  dock->BeginUpdate();
  struct End {
    TDockX* d;
    ~End() { d->EndUpdate(); }
  } end{dock};
  dockRow_ = row;
  dockPos_ = pos;
  SetParent(dock);
  dock->ArrangeToolbars(false);
}

void TCustomToolWindowX::BeginMoving(int, int) {
  HWND window = GetHandle();
  POINT cursorStart;
  GetCursorPos(&cursorStart);
  const TRect start = ScreenRectOf(this);
  const TPoint grab(cursorStart.x - start.left, cursorStart.y - start.top);
  const TPoint startSize(start.Width(), start.Height());
  bool noDock = GetKeyState(VK_CONTROL) < 0;

  struct Candidate {
    TDockX* dock;
    TPoint size;
  };
  std::vector<Candidate> candidates;
  for (TDockX* dock : CandidateDocks()) {
    TPoint size = startSize;
    if (dock != dockedTo_) {
      TPoint client = OrderControls(false, dock->DockType(), dock);
      TRect nc = DockedNonClient(dock);
      size = TPoint(client.x + nc.left + nc.right, client.y + nc.top + nc.bottom);
    }
    candidates.push_back({dock, size});
  }
  TPoint floatSize = startSize;
  if (!Floating()) {
    TPoint client = OrderControls(false, dtNotDocked, nullptr);
    TRect nc = FloatingNonClient();
    floatSize = TPoint(client.x + nc.left + nc.right, client.y + nc.top + nc.bottom);
  }
  const HCURSOR startCursor = ::GetCursor();

  TDockX* target = nullptr;
  TRect outline;
  auto recalc = [&](POINT cursor) {
    target = nullptr;
    if (!noDock) {
      for (const Candidate& c : candidates) {
        DropZoneInput in;
        in.cursor = cursor;
        in.grabOffset = grab;
        in.startSize = startSize;
        in.newSize = c.size;
        in.dockRect = ScreenRectOf(c.dock);
        in.vertical = c.dock->Vertical();
        TRect r;
        if (!DropZoneAccepts(in, r)) continue;
        bool accept = true;
        if (c.dock->OnRequestDock) c.dock->OnRequestDock(c.dock, this, accept);
        if (!accept) continue;
        target = c.dock;
        outline = r;
        break;
      }
    }
    if (!target)
      outline = FloatingOutline(cursor, grab, startSize, floatSize, MonitorRect(),
                                TPoint(FloatingBorderX(), FloatingBorderY()), FloatingCaptionHeight());
    ::SetCursor(dockMode_ != dmCanFloat && !target ? LoadCursor(nullptr, IDC_NO) : startCursor);
  };

  bool accepted = false;
  {
    XorOutline xorOutline;
    auto draw = [&] { xorOutline.Show(outline, target ? 1 : FloatingBorderX()); };
    recalc(cursorStart);
    SetCapture(window);
    draw();
    MSG msg;
    while (GetCapture() == window) {
      if (!GetMessage(&msg, nullptr, 0, 0)) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (msg.message == WM_MOUSEMOVE) {
        POINT p;
        GetCursorPos(&p);
        recalc(p);
        draw();
      } else if (msg.message == WM_LBUTTONUP) {
        accepted = true;
        break;
      } else if (msg.message >= WM_RBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK) {
        // Other buttons do nothing while dragging.
      } else if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_CONTROL) {
        noDock = msg.message == WM_KEYDOWN;
        POINT p;
        GetCursorPos(&p);
        recalc(p);
        draw();
      } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        break;
      } else {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
      }
    }
    if (GetCapture() == window) ReleaseCapture();
  }
  ::SetCursor(startCursor);
  if (!accepted) return;

  if (target) {
    TPoint topLeft = target->ScreenToClient(outline.TopLeft());
    TRect local = Bounds(topLeft.x, topLeft.y, outline.Width(), outline.Height());
    const bool vertical = target->Vertical();
    int mid = vertical ? (local.left + local.right) / 2 : (local.top + local.bottom) / 2;
    bool before = false;
    int row = target->GetRowOf(mid, before);
    if (before)
      target->InsertRowBefore(row);
    else if (fullSize_ && target->GetNumberOfToolbarsOnRow(row, this) > 0) {
      ++row;
      target->InsertRowBefore(row);
    }
    target->BeginUpdate();
    struct End {
      TDockX* d;
      ~End() { d->EndUpdate(); }
    } end{target};
    dockRow_ = row;
    dockPos_ = vertical ? local.top : local.left;
    SetParent(target);
    target->ArrangeToolbars(true);
  } else {
    if (dockMode_ != dmCanFloat) return;
    floatingTopLeft_ = outline.TopLeft();
    if (Floating())
      floatParent_->SetBounds(floatingTopLeft_.x, floatingTopLeft_.y, width_, height_);
    else
      FloatOnForm();
  }
  MoveOnScreen(true);
}

void TCustomToolWindowX::BeginSizing(TToolWindowSizeHandle handle) {
  if (!Floating() || !resizable_) return;
  HWND window = GetHandle();
  POINT cursorStart;
  GetCursorPos(&cursorStart);
  const TRect origRect = ScreenRectOf(this);
  const bool left = handle == twshLeft || handle == twshTopLeft || handle == twshBottomLeft;
  const bool right = handle == twshRight || handle == twshTopRight || handle == twshBottomRight;
  const bool top = handle == twshTop || handle == twshTopLeft || handle == twshTopRight;
  const bool bottom = handle == twshBottom || handle == twshBottomLeft || handle == twshBottomRight;
  ResizeBegin(handle);
  TRect rect = origRect;
  bool accepted = false;
  {
    XorOutline xorOutline;
    const int thickness = FloatingBorderX();
    SetCapture(window);
    xorOutline.Show(rect, thickness);
    MSG msg;
    while (GetCapture() == window) {
      if (!GetMessage(&msg, nullptr, 0, 0)) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (msg.message == WM_MOUSEMOVE) {
        POINT p;
        GetCursorPos(&p);
        int dx = p.x - cursorStart.x, dy = p.y - cursorStart.y;
        rect = origRect;
        if (left) rect.left = std::min<int>(origRect.left + dx, origRect.right - 1);
        if (right) rect.right = std::max<int>(origRect.right + dx, origRect.left + 1);
        if (top) rect.top = std::min<int>(origRect.top + dy, origRect.bottom - 1);
        if (bottom) rect.bottom = std::max<int>(origRect.bottom + dy, origRect.top + 1);
        ResizeTrack(rect, origRect);
        xorOutline.Show(rect, thickness);
      } else if (msg.message == WM_LBUTTONUP) {
        accepted = true;
        break;
      } else if (msg.message >= WM_RBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK) {
      } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        break;
      } else {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
      }
    }
    if (GetCapture() == window) ReleaseCapture();
  }
  if (accepted) {
    BeginUpdate();
    floatingTopLeft_ = rect.TopLeft();
    ResizeEnd(true);
    SetBounds(0, 0, rect.Width(), rect.Height());
    floatParent_->SetBounds(floatingTopLeft_.x, floatingTopLeft_.y, rect.Width(), rect.Height());
    EndUpdate();
  } else {
    ResizeEnd(false);
  }
  MoveOnScreen(true);
}

}  // namespace tbx
