#include "quillo/components/toolbars/Dock.h"

#include <algorithm>

#include "quillo/components/toolbars/DockLayout.h"
#include "quillo/components/toolbars/ToolWindow.h"
#include "quillo/components/toolbars/ToolbarTexts.h"

QUILLO_DEFINE_ENUM_TYPE(tbx::TDockPosition, "dpTop", "dpBottom", "dpLeft", "dpRight")
QUILLO_DEFINE_SET_TYPE(TDockableTo, tbx::TDockPosition)
QUILLO_DEFINE_ENUM_TYPE(tbx::TDockBoundLinesValues, "blTop", "blBottom", "blLeft", "blRight")
QUILLO_DEFINE_SET_TYPE(TDockBoundLines, tbx::TDockBoundLinesValues)
QUILLO_DEFINE_ENUM_TYPE(tbx::TToolWindowDockMode, "dmCanFloat", "dmCannotFloat", "dmCannotFloatOrChangeDocks")
QUILLO_DEFINE_ENUM_TYPE(tbx::TToolWindowFloatingMode, "fmOnTopOfParentForm", "fmOnTopOfAllForms")
QUILLO_DEFINE_ENUM_TYPE(tbx::TDragHandleStyle, "dhDouble", "dhNone", "dhSingle")

namespace tbx {

QUILLO_DEFINE_PUBLISHED_CLASS(TDockX, TCustomControl)

const TPropTable* TDockX::PublishedProperties() {
  static const TPropTable table = TPublisher<TDockX>()
                                      .Property("AllowDrag", &TDockX::GetAllowDrag, &TDockX::SetAllowDrag)
                                      .Property("Background", &TDockX::GetBackground, &TDockX::SetBackground)
                                      .Property("BackgroundOnToolbars", &TDockX::GetBackgroundOnToolbars,
                                                &TDockX::SetBackgroundOnToolbars)
                                      .Property("BackgroundTransparent", &TDockX::GetBackgroundTransparent,
                                                &TDockX::SetBackgroundTransparent)
                                      .Property("BoundLines", &TDockX::GetBoundLines, &TDockX::SetBoundLines)
                                      .Property("FixAlign", &TDockX::GetFixAlign, &TDockX::SetFixAlign)
                                      .Property("LimitToOneRow", &TDockX::GetLimitToOneRow, &TDockX::SetLimitToOneRow)
                                      .Property("Position", &TDockX::GetPosition, &TDockX::SetPosition)
                                      .Property("Version", &TDockX::GetVersion)
                                      .Table();
  return &table;
}

TDockType GetDockTypeOf(const TDockX* dock) {
  if (!dock) return dtNotDocked;
  return dock->Vertical() ? dtLeftRight : dtTopBottom;
}

TDockX::TDockX(TComponent* owner) : TCustomControl(owner), background_(MakeObject<TBitmap>()) {
  controlStyle_ << csAcceptsControls << csNoStdEvents;
  controlStyle_ >> csCaptureMouse >> csClickEvents >> csOpaque;
  background_->OnChange = [this](TObject*) { BackgroundChanged(); };
  parentColor_ = false;
  SetColor(clBtnFace);
  SetPosition(dpTop);
}

TDockX::~TDockX() = default;

void TDockX::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (!ComponentState().Contains(csDesigning)) params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TDockX::SetParent(TWinControl* parent) {
  if (dynamic_cast<TCustomToolWindowX*>(parent) || dynamic_cast<TDockX*>(parent))
    throw EInvalidOperation(text::DockParentNotAllowed);
  TCustomControl::SetParent(parent);
}

void TDockX::SetPosition(TDockPosition value) {
  if (ControlCount() > 0) throw EInvalidOperation(text::DockCannotChangePosition);
  position_ = value;
  static constexpr TAlign aligns[] = {alTop, alBottom, alLeft, alRight};
  SetAlign(aligns[value]);
}

AnsiString TDockX::GetVersion() const { return text::Version; }

void TDockX::ForceFrameRecalc(HWND window) {
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TDockX::SetAllowDrag(bool value) {
  if (value == allowDrag_) return;
  allowDrag_ = value;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* bar = dynamic_cast<TCustomToolWindowX*>(Controls(i)); bar && bar->HandleAllocated())
      ForceFrameRecalc(bar->GetHandle());
  ArrangeToolbars(false);
}

void TDockX::SetBoundLines(TDockBoundLines value) {
  if (value == boundLines_) return;
  boundLines_ = value;
  ncWidth_ = (value.Contains(blLeft) ? 1 : 0) + (value.Contains(blRight) ? 1 : 0);
  ncHeight_ = (value.Contains(blTop) ? 1 : 0) + (value.Contains(blBottom) ? 1 : 0);
  if (HandleAllocated()) ForceFrameRecalc(GetHandle());
  ArrangeToolbars(false);
}

void TDockX::SetFixAlign(bool value) {
  if (value == fixAlign_) return;
  fixAlign_ = value;
  ArrangeToolbars(false);
}

void TDockX::SetLimitToOneRow(bool value) {
  if (value == limitToOneRow_) return;
  limitToOneRow_ = value;
  ArrangeToolbars(false);
}

void TDockX::SetBackground(TBitmap* value) { background_->Assign(value); }

void TDockX::SetBackgroundOnToolbars(bool value) {
  if (value == backgroundOnToolbars_) return;
  backgroundOnToolbars_ = value;
  InvalidateBackgrounds();
}

void TDockX::SetBackgroundTransparent(bool value) {
  if (value == backgroundTransparent_) return;
  backgroundTransparent_ = value;
  if (UsingBackground()) BackgroundChanged();
}

void TDockX::BeginUpdate() { ++updateCount_; }

void TDockX::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  if (updateCount_ == 0 && arrangePending_) ArrangeToolbars(clipPosesPending_);
}

void TDockX::Loaded() {
  TCustomControl::Loaded();
  ArrangeToolbars(false);
}

void TDockX::AlignControls(TControl*, TRect&) { ArrangeToolbars(false); }

void TDockX::ChangeWidthHeight(int newWidth, int newHeight) {
  switch (GetAlign()) {
    case alTop:
    case alLeft: SetBounds(left_, top_, newWidth, newHeight); break;
    case alBottom: SetBounds(left_, top_ + height_ - newHeight, newWidth, newHeight); break;
    case alRight: SetBounds(left_ + width_ - newWidth, top_, newWidth, newHeight); break;
    default: break;
  }
}

void TDockX::ArrangeToolbars(bool clipPoses) {
  if (clipPoses) clipPosesPending_ = true;
  if (updateCount_ > 0 || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) {
    arrangePending_ = true;
    return;
  }
  ++updateCount_;
  struct Guard {
    TDockX* dock;
    ~Guard() {
      --dock->updateCount_;
      dock->arrangePending_ = false;
      dock->clipPosesPending_ = false;
    }
  } guard{this};

  const bool designing = ComponentState().Contains(csDesigning);
  if (!designing && HandleAllocated())
    SetWindowPos(GetHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!HasVisibleToolbars()) {
    int thickness = designing ? 9 : fixAlign_ ? 1 : 0;
    rowSizes_.clear();
    if (Vertical())
      ChangeWidthHeight(thickness, height_);
    else
      ChangeWidthHeight(width_, thickness);
    return;
  }
  DockLayoutOptions options;
  options.vertical = Vertical();
  options.availableLength = std::max(0, Vertical() ? height_ - ncHeight_ : width_ - ncWidth_);
  options.limitToOneRow = limitToOneRow_;
  options.clipPositions = clipPosesPending_;
  std::vector<DockBar> bars;
  for (std::size_t i = 0; i < dockList_.size(); ++i) {
    TCustomToolWindowX* t = dockList_[i];
    DockBar b;
    b.id = static_cast<int>(i);
    b.row = t->dockRow_;
    b.pos = t->dockPos_;
    b.length = Vertical() ? t->GetHeight() : t->GetWidth();
    t->GetBarSize(b.barSize, DockType());
    b.fullSize = t->fullSize_;
    b.visible = ToolbarVisibleOnDock(t);
    bars.push_back(b);
  }
  DockLayoutResult layout = ArrangeDockBars(bars, options);
  std::vector<TCustomToolWindowX*> sorted;
  for (const DockBar& b : bars) {
    TCustomToolWindowX* t = dockList_[static_cast<std::size_t>(b.id)];
    t->dockRow_ = b.row;
    t->dockPos_ = b.pos;
    sorted.push_back(t);
  }
  dockList_ = sorted;
  ListSortEx(dockVisibleList_, [](TCustomToolWindowX* a, TCustomToolWindowX* b) {
    if (a->dockRow_ != b->dockRow_) return a->dockRow_ < b->dockRow_ ? -1 : 1;
    if (a->dockPos_ != b->dockPos_) return a->dockPos_ < b->dockPos_ ? -1 : 1;
    return 0;
  });
  rowSizes_ = layout.rowSizes;
  for (std::size_t i = 0; i < bars.size(); ++i) {
    if (!bars[i].visible) continue;
    TCustomToolWindowX* t = dockList_[i];
    const TRect& r = layout.bounds[i];
    ++t->movedByDock_;
    try {
      t->SetBounds(r.left, r.top, r.Width(), r.Height());
    } catch (...) {
      --t->movedByDock_;
      throw;
    }
    --t->movedByDock_;
  }
  if (Vertical())
    ChangeWidthHeight(ncWidth_ + layout.thickness, height_);
  else
    ChangeWidthHeight(width_, ncHeight_ + layout.thickness);
}

void TDockX::ChangeDockList(bool insert, TCustomToolWindowX* bar) {
  auto it = std::find(dockList_.begin(), dockList_.end(), bar);
  if (insert) {
    if (it == dockList_.end()) {
      dockList_.push_back(bar);
      FreeNotification(bar);
    }
  } else if (it != dockList_.end()) {
    dockList_.erase(it);
  }
  ToolbarVisibilityChanged(bar, false);
}

void TDockX::ToolbarVisibilityChanged(TCustomToolWindowX* bar, bool forceRemove) {
  bool visible = !forceRemove && ToolbarVisibleOnDock(bar);
  auto it = std::find(dockVisibleList_.begin(), dockVisibleList_.end(), bar);
  bool present = it != dockVisibleList_.end();
  if (visible == present) return;
  if (visible)
    dockVisibleList_.push_back(bar);
  else
    dockVisibleList_.erase(it);
  ArrangeToolbars(false);
  if (OnInsertRemoveBar) OnInsertRemoveBar(this, visible, bar);
}

bool TDockX::ToolbarVisibleOnDock(const TCustomToolWindowX* bar) const {
  return bar->GetParent() == this && (bar->GetVisible() || bar->ComponentState().Contains(csDesigning));
}

bool TDockX::HasVisibleToolbars() const {
  return std::any_of(dockList_.begin(), dockList_.end(),
                     [&](const TCustomToolWindowX* t) { return ToolbarVisibleOnDock(t); });
}

int TDockX::GetHighestRow() const {
  int highest = -1;
  for (const TCustomToolWindowX* t : dockList_) highest = std::max(highest, t->dockRow_);
  return highest;
}

int TDockX::GetNumberOfToolbarsOnRow(int row, const TCustomToolWindowX* notIncluding) const {
  return static_cast<int>(std::count_if(dockList_.begin(), dockList_.end(), [&](const TCustomToolWindowX* t) {
    return t != notIncluding && t->dockRow_ == row;
  }));
}

int TDockX::GetRowSize(int row, TCustomToolWindowX* defaultToolbar) const {
  int size = row >= 0 && row < static_cast<int>(rowSizes_.size()) ? rowSizes_[static_cast<std::size_t>(row)] : 0;
  if (size == 0 && defaultToolbar) defaultToolbar->GetBarSize(size, DockType());
  return size;
}

int TDockX::GetRowOf(int xy, bool& before) const { return tbx::GetRowOf(rowSizes_, GetHighestRow(), xy, before); }

namespace {
std::vector<DockBar> RowsOf(const std::vector<TCustomToolWindowX*>& list) {
  std::vector<DockBar> bars;
  for (const TCustomToolWindowX* t : list) {
    DockBar b;
    b.row = t->GetDockRow();
    bars.push_back(b);
  }
  return bars;
}
}  // namespace

void TDockX::RemoveBlankRows() {
  std::vector<DockBar> bars = RowsOf(dockList_);
  tbx::RemoveBlankRows(bars);
  for (std::size_t i = 0; i < bars.size(); ++i) dockList_[i]->dockRow_ = bars[i].row;
}

void TDockX::InsertRowBefore(int beforeRow) {
  for (TCustomToolWindowX* t : dockList_)
    if (t->dockRow_ >= beforeRow) ++t->dockRow_;
}

void TDockX::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (auto* t = dynamic_cast<TCustomToolWindowX*>(component)) {
    dockList_.erase(std::remove(dockList_.begin(), dockList_.end(), t), dockList_.end());
    dockVisibleList_.erase(std::remove(dockVisibleList_.begin(), dockVisibleList_.end(), t), dockVisibleList_.end());
  }
}

void TDockX::BackgroundChanged() {
  backgroundCache_.reset();
  InvalidateBackgrounds();
}

void TDockX::InvalidateBackgrounds() {
  Invalidate();
  for (TCustomToolWindowX* t : dockVisibleList_)
    if (t->HandleAllocated()) RedrawWindow(t->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

void TDockX::DrawBackground(HDC dc, const TRect& clip, const TRect* exclude, const TRect& drawRect) {
  TBitmap* source = background_.get();
  if (backgroundTransparent_) {
    if (!backgroundCache_) {
      backgroundCache_ = MakeObject<TBitmap>();
      backgroundCache_->SetPixelFormat(pf32bit);
      backgroundCache_->SetSize(background_->GetWidth(), background_->GetHeight());
      TCanvas* c = backgroundCache_->GetCanvas();
      c->GetBrush()->SetColor(GetColor());
      c->FillRect(TRect(0, 0, background_->GetWidth(), background_->GetHeight()));
      background_->SetTransparent(true);
      background_->SetTransparentColor(background_->GetCanvas()->GetPixel(0, background_->GetHeight() - 1));
      c->Draw(0, 0, background_.get());
      background_->SetTransparent(false);
    }
    source = backgroundCache_.get();
  }
  int saved = SaveDC(dc);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  if (exclude) ExcludeClipRect(dc, exclude->left, exclude->top, exclude->right, exclude->bottom);
  HDC sourceDC = source->GetCanvas()->GetHandle();
  const int w = source->GetWidth(), h = source->GetHeight();
  for (int y = drawRect.top; y < drawRect.bottom; y += h)
    for (int x = drawRect.left; x < drawRect.right; x += w) BitBlt(dc, x, y, w, h, sourceDC, 0, 0, SRCCOPY);
  RestoreDC(dc, saved);
}

void TDockX::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  if (ComponentState().Contains(csDesigning)) {
    c->GetPen()->SetColor(clBtnShadow);
    c->GetPen()->SetStyle(psDot);
    c->GetBrush()->SetStyle(bsClear);
    c->Rectangle(r);
    r = TRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
  }
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(GetColor());
  c->FillRect(r);
  if (UsingBackground()) {
    // Anchored at the parent's origin: the dock's own place moves the pattern back.
    const int w = background_->GetWidth(), h = background_->GetHeight();
    int ox = -(((left_ % w) + w) % w), oy = -(((top_ % h) + h) % h);
    DrawBackground(c->GetHandle(), r, nullptr, TRect(ox, oy, r.right, r.bottom));
  }
}

void TDockX::WMNCCalcSize(TMessage& m) {
  TCustomControl::Dispatch(m);
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
  RECT& r = params->rgrc[0];
  if (boundLines_.Contains(blTop)) ++r.top;
  if (boundLines_.Contains(blBottom)) --r.bottom;
  if (boundLines_.Contains(blLeft)) ++r.left;
  if (boundLines_.Contains(blRight)) --r.right;
}

void TDockX::DrawBoundLines(HWND window, HDC dc) {
  RECT wr;
  GetWindowRect(window, &wr);
  TRect r(0, 0, wr.right - wr.left, wr.bottom - wr.top);
  RECT client;
  ::GetClientRect(window, &client);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  int saved = SaveDC(dc);
  ExcludeClipRect(dc, origin.x - wr.left, origin.y - wr.top, origin.x - wr.left + client.right,
                  origin.y - wr.top + client.bottom);
  HBRUSH fill = CreateSolidBrush(ColorToRGB(GetColor()));
  FillRect(dc, &r, fill);
  DeleteObject(fill);
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ old = SelectObject(dc, light);
  if (boundLines_.Contains(blTop)) {
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, r.right, 0);
  }
  if (boundLines_.Contains(blLeft)) {
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 0, r.bottom);
  }
  SelectObject(dc, dark);
  if (boundLines_.Contains(blBottom)) {
    MoveToEx(dc, 0, r.bottom - 1, nullptr);
    LineTo(dc, r.right, r.bottom - 1);
  }
  if (boundLines_.Contains(blRight)) {
    MoveToEx(dc, r.right - 1, 0, nullptr);
    LineTo(dc, r.right - 1, r.bottom);
  }
  SelectObject(dc, old);
  DeleteObject(light);
  DeleteObject(dark);
  RestoreDC(dc, saved);
}

void TDockX::WMNCPaint(TMessage& m) {
  HWND window = GetHandle();
  HDC dc = GetWindowDC(window);
  SelectNCUpdateRgn(window, dc, reinterpret_cast<HRGN>(m.WParam));
  DrawBoundLines(window, dc);
  ReleaseDC(window, dc);
  m.Result = 0;
}

void TDockX::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE: WMNCCalcSize(m); return;
    case WM_NCPAINT: WMNCPaint(m); return;
    case WM_PRINT: HandleWMPrint(GetHandle(), m, [this](HWND w, HDC dc) { DrawBoundLines(w, dc); }); return;
    case WM_PRINTCLIENT: HandleWMPrintClient(this, m); return;
    case WM_SIZE:
      TCustomControl::Dispatch(m);
      ArrangeToolbars(false);
      return;
    case WM_MOVE:
      TCustomControl::Dispatch(m);
      if (UsingBackground()) InvalidateBackgrounds();
      return;
    case CM_COLORCHANGED:
      if (UsingBackground()) BackgroundChanged();
      TCustomControl::Dispatch(m);
      return;
    case CM_SYSCOLORCHANGE:
      TCustomControl::Dispatch(m);
      if (UsingBackground()) BackgroundChanged();
      return;
    default: TCustomControl::Dispatch(m);
  }
}

}  // namespace tbx
