// TCustomGrid and TDrawGrid: geometry, the current cell and the selection, keys, mouse and
// painting.

#include "platform/vcl/Grids.h"

#include <algorithm>

#include "platform/user/WinConst.h"

QUILLO_DEFINE_ENUM_TYPE(TGridOption, "goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
                        "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving", "goEditing",
                        "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking")
QUILLO_DEFINE_SET_TYPE(TGridOptions, TGridOption)

QUILLO_DEFINE_CLASS(TCustomGrid, TCustomControl)

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csClickEvents};
  colWidths_.assign(5, defaultColWidth_);
  rowHeights_.assign(5, defaultRowHeight_);
  SetBounds(0, 0, 320, 120);
  SetParentColor(false);
  SetColor(clWindow);
  SetTabStop(true);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.ExStyle |= WS_EX_CLIENTEDGE;  // framed, in the 3-D look
  p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

// Geometry.

int TCustomGrid::LineWidthX() const {
  return options_.Contains(goVertLine) || options_.Contains(goFixedVertLine) ? gridLineWidth_ : 0;
}

int TCustomGrid::LineWidthY() const {
  return options_.Contains(goHorzLine) || options_.Contains(goFixedHorzLine) ? gridLineWidth_ : 0;
}

int TCustomGrid::ColLeft(int col) const {
  if (col < 0 || col >= GetColCount()) return -1;
  int x = 0;
  if (col < fixedCols_) {
    for (int i = 0; i < col; ++i) x += colWidths_[i] + LineWidthX();
    return x;
  }
  if (col < topLeft_.X) return -1;
  for (int i = 0; i < fixedCols_; ++i) x += colWidths_[i] + LineWidthX();
  for (int i = topLeft_.X; i < col; ++i) x += colWidths_[i] + LineWidthX();
  return x;
}

int TCustomGrid::RowTop(int row) const {
  if (row < 0 || row >= GetRowCount()) return -1;
  int y = 0;
  if (row < fixedRows_) {
    for (int i = 0; i < row; ++i) y += rowHeights_[i] + LineWidthY();
    return y;
  }
  if (row < topLeft_.Y) return -1;
  for (int i = 0; i < fixedRows_; ++i) y += rowHeights_[i] + LineWidthY();
  for (int i = topLeft_.Y; i < row; ++i) y += rowHeights_[i] + LineWidthY();
  return y;
}

TRect TCustomGrid::CellRect(int col, int row) const {
  int x = ColLeft(col), y = RowTop(row);
  TRect client = GetClientRect();
  if (x < 0 || y < 0 || x >= client.right || y >= client.bottom) return TRect(0, 0, 0, 0);
  return TRect(x, y, x + colWidths_[col], y + rowHeights_[row]);
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const {
  TGridCoord c = MouseCoord(x, y);
  col = c.X;
  row = c.Y;
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const {
  TGridCoord found{-1, -1};
  for (int c = 0; c < GetColCount(); ++c) {
    int left = ColLeft(c);
    if (left >= 0 && x >= left && x < left + colWidths_[c] + LineWidthX()) {
      found.X = c;
      break;
    }
  }
  for (int r = 0; r < GetRowCount(); ++r) {
    int top = RowTop(r);
    if (top >= 0 && y >= top && y < top + rowHeights_[r] + LineWidthY()) {
      found.Y = r;
      break;
    }
  }
  if (found.X < 0 || found.Y < 0) return TGridCoord{-1, -1};
  return found;
}

int TCustomGrid::VisibleColCount() const {
  int width = GetClientWidth(), count = 0;
  for (int c = topLeft_.X; c < GetColCount(); ++c) {
    if (ColLeft(c) + colWidths_[c] > width) break;
    ++count;
  }
  return count;
}

int TCustomGrid::VisibleRowCount() const {
  int height = GetClientHeight(), count = 0;
  for (int r = topLeft_.Y; r < GetRowCount(); ++r) {
    if (RowTop(r) + rowHeights_[r] > height) break;
    ++count;
  }
  return count;
}

// Sizes and options.

void TCustomGrid::SetColCount(int value) {
  value = std::max(value, 1);
  if (value == GetColCount()) return;
  int oldCols = GetColCount(), oldRows = GetRowCount();
  colWidths_.resize(static_cast<size_t>(value), defaultColWidth_);
  if (fixedCols_ >= value) fixedCols_ = value - 1;
  current_.X = std::clamp(current_.X, fixedCols_, value - 1);
  anchor_.X = std::clamp(anchor_.X, fixedCols_, value - 1);
  ClampTopLeft();
  SizeChanged(oldCols, oldRows);
  Invalidate();
}

void TCustomGrid::SetRowCount(int value) {
  value = std::max(value, 1);
  if (value == GetRowCount()) return;
  int oldCols = GetColCount(), oldRows = GetRowCount();
  rowHeights_.resize(static_cast<size_t>(value), defaultRowHeight_);
  if (fixedRows_ >= value) fixedRows_ = value - 1;
  current_.Y = std::clamp(current_.Y, fixedRows_, value - 1);
  anchor_.Y = std::clamp(anchor_.Y, fixedRows_, value - 1);
  ClampTopLeft();
  SizeChanged(oldCols, oldRows);
  Invalidate();
}

void TCustomGrid::SetFixedCols(int value) {
  if (value < 0 || value >= GetColCount()) throw EInvalidOperation("Fixed column count must be less than column count");
  if (fixedCols_ == value) return;
  fixedCols_ = value;
  Initialize();
}

void TCustomGrid::SetFixedRows(int value) {
  if (value < 0 || value >= GetRowCount()) throw EInvalidOperation("Fixed row count must be less than row count");
  if (fixedRows_ == value) return;
  fixedRows_ = value;
  Initialize();
}

// New fixed rows or columns: the first cell after them is current and shows at the top left.
void TCustomGrid::Initialize() {
  topLeft_ = TGridCoord{fixedCols_, fixedRows_};
  current_ = anchor_ = topLeft_;
  Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int value) {
  defaultColWidth_ = std::max(value, 0);
  std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
  Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int value) {
  defaultRowHeight_ = std::max(value, 0);
  std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
  Invalidate();
}

int TCustomGrid::GetColWidths(int col) const {
  return col >= 0 && col < GetColCount() ? colWidths_[static_cast<size_t>(col)] : defaultColWidth_;
}

void TCustomGrid::SetColWidths(int col, int width) {
  if (col < 0 || col >= GetColCount()) return;
  colWidths_[static_cast<size_t>(col)] = std::max(width, 0);
  Invalidate();
}

int TCustomGrid::GetRowHeights(int row) const {
  return row >= 0 && row < GetRowCount() ? rowHeights_[static_cast<size_t>(row)] : defaultRowHeight_;
}

void TCustomGrid::SetRowHeights(int row, int height) {
  if (row < 0 || row >= GetRowCount()) return;
  rowHeights_[static_cast<size_t>(row)] = std::max(height, 0);
  Invalidate();
}

void TCustomGrid::SetGridLineWidth(int value) {
  gridLineWidth_ = std::max(value, 0);
  Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions value) {
  options_ = value;
  if (!options_.Contains(goRangeSelect)) anchor_ = current_;
  Invalidate();
}

void TCustomGrid::SetFixedColor(TColor value) {
  fixedColor_ = value;
  Invalidate();
}

// The current cell, the selection and scrolling.

bool TCustomGrid::SelectCell(int col, int row) {
  bool can = true;
  if (OnSelectCell) OnSelectCell(this, col, row, can);
  return can;
}

TGridRect TCustomGrid::GetSelection() const {
  TGridRect r{std::min(anchor_.X, current_.X), std::min(anchor_.Y, current_.Y), std::max(anchor_.X, current_.X),
              std::max(anchor_.Y, current_.Y)};
  if (options_.Contains(goRowSelect)) {  // whole rows
    r.Left = fixedCols_;
    r.Right = GetColCount() - 1;
  }
  return r;
}

void TCustomGrid::SetSelection(const TGridRect& rect) {
  TGridRect old = GetSelection();
  anchor_ = TGridCoord{std::clamp(rect.Left, fixedCols_, GetColCount() - 1), std::clamp(rect.Top, fixedRows_, GetRowCount() - 1)};
  current_ = TGridCoord{std::clamp(rect.Right, fixedCols_, GetColCount() - 1),
                        std::clamp(rect.Bottom, fixedRows_, GetRowCount() - 1)};
  KeepInView();
  SelectionChanged(old);
}

void TCustomGrid::SelectionChanged(const TGridRect& old) {
  TGridRect now = GetSelection();
  if (old.Left != now.Left || old.Top != now.Top || old.Right != now.Right || old.Bottom != now.Bottom) Invalidate();
}

bool TCustomGrid::FocusCell(int col, int row, bool moveAnchor) {
  col = std::clamp(col, fixedCols_, GetColCount() - 1);
  row = std::clamp(row, fixedRows_, GetRowCount() - 1);
  if (!options_.Contains(goRangeSelect)) moveAnchor = true;
  bool same = col == current_.X && row == current_.Y;
  if (same && (!moveAnchor || (anchor_.X == col && anchor_.Y == row))) return true;
  if (!same && !SelectCell(col, row)) return false;
  TGridRect old = GetSelection();
  current_ = TGridCoord{col, row};
  if (moveAnchor) anchor_ = current_;
  KeepInView();
  SelectionChanged(old);
  Invalidate();
  if (!same) Click();
  return true;
}

void TCustomGrid::SetCol(int col) { FocusCell(col, current_.Y, true); }
void TCustomGrid::SetRow(int row) { FocusCell(current_.X, row, true); }

void TCustomGrid::ClampTopLeft() {
  topLeft_.X = std::clamp(topLeft_.X, fixedCols_, std::max(fixedCols_, GetColCount() - 1));
  topLeft_.Y = std::clamp(topLeft_.Y, fixedRows_, std::max(fixedRows_, GetRowCount() - 1));
}

void TCustomGrid::SetTopRow(int row) {
  TGridCoord old = topLeft_;
  topLeft_.Y = row;
  ClampTopLeft();
  if (topLeft_.Y != old.Y) TopLeftChanged();
}

void TCustomGrid::SetLeftCol(int col) {
  TGridCoord old = topLeft_;
  topLeft_.X = col;
  ClampTopLeft();
  if (topLeft_.X != old.X) TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {
  Invalidate();
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::KeepInView() {
  TGridCoord old = topLeft_;
  if (current_.X < topLeft_.X) topLeft_.X = current_.X;
  while (topLeft_.X < current_.X && ColLeft(current_.X) + colWidths_[current_.X] > GetClientWidth()) ++topLeft_.X;
  if (current_.Y < topLeft_.Y) topLeft_.Y = current_.Y;
  while (topLeft_.Y < current_.Y && RowTop(current_.Y) + rowHeights_[current_.Y] > GetClientHeight()) ++topLeft_.Y;
  if (old.X != topLeft_.X || old.Y != topLeft_.Y) TopLeftChanged();
}

void TCustomGrid::InvalidateCell(int col, int row) {
  TRect r = CellRect(col, row);
  if (HandleAllocated() && r.Width() > 0) {
    RECT area{r.left, r.top, r.right + LineWidthX(), r.bottom + LineWidthY()};
    InvalidateRect(GetHandle(), &area, FALSE);
  }
}

// Keys and mouse.

void TCustomGrid::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == 0) return;
  bool ctrl = shift.Contains(ssCtrl);
  bool extend = shift.Contains(ssShift) && options_.Contains(goRangeSelect);
  int col = current_.X, row = current_.Y;
  int page = std::max(1, VisibleRowCount());
  switch (key) {
    case VK_LEFT: --col; break;
    case VK_RIGHT: ++col; break;
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_PRIOR: row -= page; break;
    case VK_NEXT: row += page; break;
    case VK_HOME:
      if (ctrl) row = fixedRows_;
      col = fixedCols_;
      break;
    case VK_END:
      if (ctrl) row = GetRowCount() - 1;
      col = GetColCount() - 1;
      break;
    default: return;
  }
  FocusCell(col, row, !extend);
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (CanFocus() && !Focused()) SetFocus();
  if (button == mbLeft) {
    TGridCoord cell = MouseCoord(x, y);
    if (cell.X >= fixedCols_ && cell.Y >= fixedRows_) {
      bool extend = shift.Contains(ssShift) && options_.Contains(goRangeSelect);
      if (FocusCell(cell.X, cell.Y, !extend)) selecting_ = options_.Contains(goRangeSelect);
    }
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y) {
  if (selecting_ && shift.Contains(ssLeft)) {
    TGridCoord cell = MouseCoord(x, y);
    if (cell.X >= fixedCols_ && cell.Y >= fixedRows_) FocusCell(cell.X, cell.Y, false);
  }
  TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  selecting_ = false;
  TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomGrid::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS | (options_.Contains(goTabs) ? DLGC_WANTTAB : 0);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomControl::Dispatch(m);
      Invalidate();  // the focused cell looks different
      return;
    case WM_SIZE:
      TCustomControl::Dispatch(m);
      Invalidate();
      return;
  }
  TCustomControl::Dispatch(m);
}

// Painting.

void TCustomGrid::DrawLines(TCanvas* c) {
  int lx = LineWidthX(), ly = LineWidthY();
  for (int row = 0; row < GetRowCount(); ++row)
    for (int col = 0; col < GetColCount(); ++col) {
      TRect r = CellRect(col, row);
      if (r.Width() == 0 && r.Height() == 0) continue;
      bool fixed = col < fixedCols_ || row < fixedRows_;
      bool vertical = options_.Contains(fixed ? goFixedVertLine : goVertLine);
      bool horizontal = options_.Contains(fixed ? goFixedHorzLine : goHorzLine);
      c->GetBrush()->SetColor(fixed ? clBlack : clSilver);
      c->GetBrush()->SetStyle(bsSolid);
      if (vertical && lx > 0) c->FillRect(TRect(r.right, r.top, r.right + lx, r.bottom + ly));
      if (horizontal && ly > 0) c->FillRect(TRect(r.left, r.bottom, r.right + lx, r.bottom + ly));
    }
}

void TCustomGrid::Paint() {
  TCanvas* c = GetCanvas();
  TRect client = GetClientRect();
  c->GetBrush()->SetColor(GetColor());
  c->GetBrush()->SetStyle(bsSolid);
  c->FillRect(client);  // what lies beyond the last cells
  bool focused = Focused();
  TGridRect sel = GetSelection();
  for (int row = 0; row < GetRowCount(); ++row)
    for (int col = 0; col < GetColCount(); ++col) {
      TRect r = CellRect(col, row);
      if (r.Width() == 0 && r.Height() == 0) continue;
      TGridDrawState state;
      bool fixed = col < fixedCols_ || row < fixedRows_;
      if (fixed) {
        state << gdFixed;
      } else {
        if (col >= sel.Left && col <= sel.Right && row >= sel.Top && row <= sel.Bottom) state << gdSelected;
        if (focused && col == current_.X && row == current_.Y) state << gdFocused;
      }
      c->GetFont()->Assign(GetFont());
      if (defaultDrawing_) {
        bool highlight = state.Contains(gdSelected) &&
                         (!state.Contains(gdFocused) || options_.Contains(goDrawFocusSelected) ||
                          options_.Contains(goRowSelect));
        c->GetBrush()->SetColor(fixed ? fixedColor_ : highlight ? clHighlight : GetColor());
        if (highlight) c->GetFont()->SetColor(clHighlightText);
        c->GetBrush()->SetStyle(bsSolid);
        c->FillRect(r);
      }
      int saved = SaveDC(c->GetHandle());
      IntersectClipRect(c->GetHandle(), r.left, r.top, r.right, r.bottom);
      DrawCell(col, row, r, state);
      RestoreDC(c->GetHandle(), saved);
      if (defaultDrawing_ && fixed && (options_.Contains(goFixedVertLine) || options_.Contains(goFixedHorzLine))) {
        RECT edge = r;
        DrawEdge(c->GetHandle(), &edge, BDR_RAISEDINNER, BF_RECT);
      }
      if (defaultDrawing_ && state.Contains(gdFocused) && !options_.Contains(goRowSelect)) c->DrawFocusRect(r);
    }
  DrawLines(c);
}

// TDrawGrid

const TPropTable* TDrawGrid::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TDrawGrid>()
          .Property("ColCount", &TDrawGrid::GetColCount, &TDrawGrid::SetColCount)
          .Property("DefaultColWidth", &TDrawGrid::GetDefaultColWidth, &TDrawGrid::SetDefaultColWidth)
          .Property("DefaultDrawing", &TDrawGrid::GetDefaultDrawing, &TDrawGrid::SetDefaultDrawing)
          .Property("DefaultRowHeight", &TDrawGrid::GetDefaultRowHeight, &TDrawGrid::SetDefaultRowHeight)
          .Property("FixedColor", &TDrawGrid::GetFixedColor, &TDrawGrid::SetFixedColor)
          .Property("FixedCols", &TDrawGrid::GetFixedCols, &TDrawGrid::SetFixedCols)
          .Property("FixedRows", &TDrawGrid::GetFixedRows, &TDrawGrid::SetFixedRows)
          .Property("GridLineWidth", &TDrawGrid::GetGridLineWidth, &TDrawGrid::SetGridLineWidth)
          .Property("Options", &TDrawGrid::GetOptions, &TDrawGrid::SetOptions)
          .Property("RowCount", &TDrawGrid::GetRowCount, &TDrawGrid::SetRowCount)
          .Property("ScrollBars", &TDrawGrid::GetScrollBars, &TDrawGrid::SetScrollBars)
          .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TDrawGrid, TCustomGrid)

void TDrawGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}
