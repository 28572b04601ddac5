#include "quillo/components/toolbars/Toolbar.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "quillo/components/toolbars/ToolbarTexts.h"

namespace tbx {

QUILLO_DEFINE_CLASS(TCustomToolbarX, TCustomToolWindowX)
QUILLO_DEFINE_CLASS(TToolbarX, TCustomToolbarX)
QUILLO_DEFINE_PUBLISHED_CLASS(TToolbarSepX, TGraphicControl)

const TPropTable* TToolbarSepX::PublishedProperties() {
  static const TPropTable table = TPublisher<TToolbarSepX>()
                                      .Property("Blank", &TToolbarSepX::GetBlank, &TToolbarSepX::SetBlank)
                                      .Property("SizeHorz", &TToolbarSepX::GetSizeHorz, &TToolbarSepX::SetSizeHorz)
                                      .Property("SizeVert", &TToolbarSepX::GetSizeVert, &TToolbarSepX::SetSizeVert)
                                      .Table();
  return &table;
}

TCustomToolbarX::TCustomToolbarX(TComponent* owner) : TCustomToolWindowX(owner) {}

TCustomToolbarX::~TCustomToolbarX() = default;

void TCustomToolbarX::GetParams(TToolWindowParams& params) {
  // The toolbar sizes itself: none of the base's own resizing behaviours.
  params.CallAlignControls = false;
  params.ResizeEightCorner = false;
  params.ResizeClipCursor = false;
}

void TCustomToolbarX::GetMinimumSize(int& clientWidth, int& clientHeight) {
  clientWidth = 0;
  clientHeight = 0;
}

bool TCustomToolbarX::ShouldControlBeVisible(TControl* control, bool leftRight) const {
  for (const auto& [topBottom, lr] : slaveControls_) {
    if (control == topBottom) return !leftRight;
    if (control == lr) return leftRight;
  }
  return control->GetVisible() || ComponentState().Contains(csDesigning);
}

void TCustomToolbarX::SetControlVisible(TControl* control, bool leftRight) {
  control->SetVisible(ShouldControlBeVisible(control, leftRight));
}

void TCustomToolbarX::SetSlaveControl(TControl* topBottom, TControl* leftRight) {
  slaveControls_.emplace_back(topBottom, leftRight);
  ArrangeControls();
}

std::vector<TControl*> TCustomToolbarX::LaidOutControls(bool onlyShouldBeVisible, bool leftRight) const {
  std::vector<TControl*> controls;
  for (TControl* c : orderList_) {
    bool take = onlyShouldBeVisible ? ShouldControlBeVisible(c, leftRight)
                                    : c->GetVisible() || ComponentState().Contains(csDesigning);
    if (take) controls.push_back(c);
  }
  return controls;
}

std::vector<ToolbarItem> TCustomToolbarX::ItemsOf(const std::vector<TControl*>& controls) const {
  std::vector<ToolbarItem> items;
  for (TControl* c : controls) {
    ToolbarItem item;
    item.width = c->GetWidth();
    item.height = c->GetHeight();
    if (auto* sep = dynamic_cast<TToolbarSepX*>(c)) {
      item.separator = true;
      item.sepSizeHorz = sep->GetSizeHorz();
      item.sepSizeVert = sep->GetSizeVert();
      item.sepBlank = sep->GetBlank();
    }
    items.push_back(item);
  }
  return items;
}

void TCustomToolbarX::GetBarSize(int& size, TDockType dockType) {
  size = ToolbarBarSize(ItemsOf(LaidOutControls(!slaveControls_.empty(), dockType == dtLeftRight)),
                        dockType == dtLeftRight);
}

TPoint TCustomToolbarX::OrderControls(bool canMoveControls, TDockType dockType, TDockX* dock) {
  const bool leftRight = dockType == dtLeftRight;
  if (canMoveControls && !slaveControls_.empty())
    for (TControl* c : orderList_)
      if (!dynamic_cast<TToolbarSepX*>(c)) SetControlVisible(c, leftRight);
  std::vector<TControl*> controls = LaidOutControls(!canMoveControls && !slaveControls_.empty(), leftRight);
  std::vector<ToolbarItem> items = ItemsOf(controls);
  ToolbarLayoutInput input;
  input.floating = dockType == dtNotDocked;
  input.leftRight = leftRight;
  input.floatingRightX = floatingRightX_;
  input.rowSize = ToolbarBarSize(items, leftRight);
  if (dock && dock == GetDockedTo()) input.rowSize = std::max(input.rowSize, GetDockRowSize());
  ToolbarLayoutResult layout = LayOutToolbar(items, input);
  if (canMoveControls) {
    lineSeparators_ = layout.lineSeparators;
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const TRect& r = layout.bounds[i];
      controls[i]->SetBounds(r.left, r.top, r.Width(), r.Height());
    }
    if (ComponentState().Contains(csDesigning)) Invalidate();
  }
  return layout.size;
}

std::vector<TPoint> TCustomToolbarX::PotentialSizes() {
  return PotentialFloatingSizes(ItemsOf(LaidOutControls(!slaveControls_.empty(), false)));
}

void TCustomToolbarX::InitializeOrdering() {
  if (floatingRightX_ == 0) return;
  const bool leftRight = GetDockedTo() && GetDockedTo()->Vertical();
  ListSortEx(orderList_, [&](TControl* a, TControl* b) {
    int pa = leftRight ? a->GetTop() : a->GetLeft(), pb = leftRight ? b->GetTop() : b->GetLeft();
    return pa < pb ? -1 : pa > pb ? 1 : 0;
  });
}

void TCustomToolbarX::SetFloatingWidth(int value) {
  if (value == floatingRightX_) return;
  floatingRightX_ = value;
  ArrangeControls();
}

int TCustomToolbarX::GetOrderIndex(TControl* control) const {
  auto it = std::find(orderList_.begin(), orderList_.end(), control);
  if (it == orderList_.end())
    throw EInvalidOperation(Format(text::ToolbarControlNotChildOfToolbar, control ? control->GetName().c_str() : ""));
  return static_cast<int>(it - orderList_.begin());
}

void TCustomToolbarX::SetOrderIndex(TControl* control, int index) {
  int current = GetOrderIndex(control);
  int count = static_cast<int>(orderList_.size());
  if (index >= count) index = count - 1;
  if (index < 0) index = 0;
  if (index == current) return;
  orderList_.erase(orderList_.begin() + current);
  orderList_.insert(orderList_.begin() + index, control);
  ArrangeControls();
}

bool TCustomToolbarX::ChildControlTransparent(TControl* control) { return dynamic_cast<TToolbarSepX*>(control); }

void TCustomToolbarX::Paint() {
  TCustomToolWindowX::Paint();
  if (!Floating()) return;
  TCanvas* c = GetCanvas();
  for (const LineSeparator& line : lineSeparators_) {
    if (line.blank) continue;
    c->GetPen()->SetColor(clBtnShadow);
    c->MoveTo(1, line.y - 4);
    c->LineTo(GetClientWidth() - 1, line.y - 4);
    c->GetPen()->SetColor(clBtnHighlight);
    c->MoveTo(1, line.y - 3);
    c->LineTo(GetClientWidth() - 1, line.y - 3);
  }
}

void TCustomToolbarX::ReadPositionData(const TPositionReadIntProc& readInt, const TPositionReadStringProc&) {
  // A damaged width is clamped to what a screen can hold.
  floatingRightX_ = std::clamp(readInt(GetName(), "FloatRightX", 0), 0, 32767);
}

void TCustomToolbarX::WritePositionData(const TPositionWriteIntProc& writeInt, const TPositionWriteStringProc&) {
  writeInt(GetName(), "FloatRightX", floatingRightX_);
}

void TCustomToolbarX::ResizeBegin(TToolWindowSizeHandle handle) {
  TCustomToolWindowX::ResizeBegin(handle);
  TRect nc = FloatingNonClient();
  TRect now = ScreenRect();
  resizing_ = std::make_unique<FloatingResizeSnapper>(handle, PotentialSizes(),
                                                      TPoint(nc.left + nc.right, nc.top + nc.bottom), nc.left,
                                                      TPoint(now.Width(), now.Height()), floatingRightX_);
}

void TCustomToolbarX::ResizeTrack(TRect& rect, const TRect& origRect) {
  TCustomToolWindowX::ResizeTrack(rect, origRect);
  if (resizing_) rect = resizing_->Track(rect, origRect);
}

void TCustomToolbarX::ResizeEnd(bool accept) {
  TCustomToolWindowX::ResizeEnd(accept);
  if (resizing_ && accept) SetFloatingWidth(resizing_->WrapWidth());
  resizing_.reset();
}

void TCustomToolbarX::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_CONTROLLISTCHANGE: {
      TCustomToolWindowX::Dispatch(m);
      auto* control = reinterpret_cast<TControl*>(m.WParam);
      orderList_.erase(std::remove(orderList_.begin(), orderList_.end(), control), orderList_.end());
      for (auto it = slaveControls_.begin(); it != slaveControls_.end();)
        it = !m.LParam && (it->first == control || it->second == control) ? slaveControls_.erase(it) : it + 1;
      if (m.LParam) orderList_.push_back(control);
      return;
    }
    case CM_CONTROLCHANGE:
      TCustomToolWindowX::Dispatch(m);
      ArrangeControls();
      return;
    case WM_WINDOWPOSCHANGING: {
      TCustomToolWindowX::Dispatch(m);
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
      if (Floating() && HandleAllocated() &&
          ((pos->flags & SWP_FRAMECHANGED) ||
           (!(pos->flags & SWP_NOSIZE) && (pos->cx != GetWidth() || pos->cy != GetHeight()))))
        Invalidate();
      return;
    }
    default: TCustomToolWindowX::Dispatch(m);
  }
}

// ---- TToolbarSepX ----

TToolbarSepX::TToolbarSepX(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ >> csOpaque >> csCaptureMouse;
  width_ = 6;
  height_ = 6;
}

void TToolbarSepX::SetParent(TWinControl* parent) {
  if (parent && !dynamic_cast<TCustomToolbarX*>(parent)) throw EInvalidOperation(text::SepParentNotAllowed);
  TGraphicControl::SetParent(parent);
}

void TToolbarSepX::SetBlank(bool value) {
  if (value == blank_) return;
  blank_ = value;
  Invalidate();
}

void TToolbarSepX::SetSizeHorz(int value) {
  value = std::max(1, value);
  if (value == sizeHorz_) return;
  sizeHorz_ = value;
  if (auto* bar = dynamic_cast<TCustomToolbarX*>(parent_)) bar->ArrangeControls();
}

void TToolbarSepX::SetSizeVert(int value) {
  value = std::max(1, value);
  if (value == sizeVert_) return;
  sizeVert_ = value;
  if (auto* bar = dynamic_cast<TCustomToolbarX*>(parent_)) bar->ArrangeControls();
}

void TToolbarSepX::Paint() {
  auto* bar = dynamic_cast<TCustomToolbarX*>(parent_);
  if (!bar) return;
  TCanvas* c = GetCanvas();
  if (ComponentState().Contains(csDesigning)) {
    c->GetPen()->SetColor(clBtnShadow);
    c->GetPen()->SetStyle(psDot);
    c->GetBrush()->SetStyle(bsClear);
    c->Rectangle(TRect(0, 0, width_, height_));
    c->GetPen()->SetStyle(psSolid);
  }
  if (blank_) return;
  const bool leftRight = bar->GetDockedTo() && bar->GetDockedTo()->Vertical();
  if (leftRight) {
    c->GetPen()->SetColor(clBtnShadow);
    c->MoveTo(0, height_ / 2 - 1);
    c->LineTo(width_, height_ / 2 - 1);
    c->GetPen()->SetColor(clBtnHighlight);
    c->MoveTo(0, height_ / 2);
    c->LineTo(width_, height_ / 2);
  } else {
    c->GetPen()->SetColor(clBtnShadow);
    c->MoveTo(width_ / 2 - 1, 0);
    c->LineTo(width_ / 2 - 1, height_);
    c->GetPen()->SetColor(clBtnHighlight);
    c->MoveTo(width_ / 2, 0);
    c->LineTo(width_ / 2, height_);
  }
}

void TToolbarSepX::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  // The toolbar can be dragged by its separators.
  if (auto* bar = dynamic_cast<TCustomToolbarX*>(parent_)) bar->SeparatorMouseDown(button, shift, left_ + x, top_ + y);
}

}  // namespace tbx
