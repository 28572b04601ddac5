#pragma once
// TCustomGrid and TDrawGrid: a table of cells, fixed rows and columns first, each drawn by
// DrawCell (OnDrawCell in TDrawGrid) after the grid has filled it in its colour; one current
// cell (Col, Row), a selected range, moved by the mouse and the arrow and page keys once
// SelectCell allows; grid lines of GridLineWidth as the options say. The non-fixed cells
// scroll (TopRow, LeftCol) to keep the current cell in sight. Scroll bars are not shown.

#include <vector>

#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/ScrollStyle.h"

struct TGridCoord {
  int X = 0;
  int Y = 0;
};
struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

enum TGridOption {
  goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
  goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect, goAlwaysShowEditor,
  goThumbTracking
};
using TGridOptions = SetOf<TGridOption>;
enum TGridDrawStateFlag { gdSelected, gdFocused, gdFixed };
using TGridDrawState = SetOf<TGridDrawStateFlag>;
QUILLO_DECLARE_ENUM_TYPE(TGridOption)
QUILLO_DECLARE_SET_TYPE(TGridOption)

using TDrawCellEvent =
    std::function<void(TObject* sender, int col, int row, const TRect& rect, TGridDrawState state)>;
using TSelectCellEvent = std::function<void(TObject* sender, int col, int row, bool& canSelect)>;

class TCustomGrid : public TCustomControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomGrid(TComponent* owner);
  ~TCustomGrid() override;

  int GetColCount() const { return static_cast<int>(colWidths_.size()); }
  void SetColCount(int value);
  int GetRowCount() const { return static_cast<int>(rowHeights_.size()); }
  void SetRowCount(int value);
  int GetFixedCols() const { return fixedCols_; }
  void SetFixedCols(int value);
  int GetFixedRows() const { return fixedRows_; }
  void SetFixedRows(int value);
  int GetDefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int value);  // every column takes it
  int GetDefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int value);  // every row takes it
  int GetColWidths(int col) const;
  void SetColWidths(int col, int width);
  int GetRowHeights(int row) const;
  void SetRowHeights(int row, int height);
  int GetGridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int value);
  TGridOptions GetOptions() const { return options_; }
  void SetOptions(TGridOptions value);
  TScrollStyle GetScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value) { scrollBars_ = value; }
  TColor GetFixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor value);
  bool GetDefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool value) { defaultDrawing_ = value; }

  // The current cell; setting it asks SelectCell first and moves the selection with it.
  int GetCol() const { return current_.X; }
  void SetCol(int col);
  int GetRow() const { return current_.Y; }
  void SetRow(int row);
  TGridRect GetSelection() const;
  void SetSelection(const TGridRect& rect);
  int GetTopRow() const { return topLeft_.Y; }
  void SetTopRow(int row);
  int GetLeftCol() const { return topLeft_.X; }
  void SetLeftCol(int col);
  int VisibleColCount() const;
  int VisibleRowCount() const;

  // The cell under a client point: -1, -1 outside every cell.
  void MouseToCell(int x, int y, int& col, int& row) const;
  TGridCoord MouseCoord(int x, int y) const;
  // Where a cell lies in the client area; empty when it is scrolled out of sight.
  TRect CellRect(int col, int row) const;
  using TCustomControl::GetCanvas;

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;
  TNotifyEvent OnTopLeftChanged;

  void Dispatch(TMessage& message) override;

protected:
  virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) = 0;
  virtual bool SelectCell(int col, int row);
  virtual void SizeChanged(int oldColCount, int oldRowCount) {
    (void)oldColCount;
    (void)oldRowCount;
  }
  virtual void TopLeftChanged();
  // Moves the current cell (with SelectCell's consent); the anchor of a range stays unless
  // moveAnchor. Answers whether it moved.
  bool FocusCell(int col, int row, bool moveAnchor);
  void InvalidateCell(int col, int row);
  void InvalidateGrid() { Invalidate(); }

  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  // A column's left edge or a row's top edge in the client area, or -1 when out of sight.
  int ColLeft(int col) const;
  int RowTop(int row) const;
  int LineWidthX() const;  // the space between columns
  int LineWidthY() const;  // and between rows
  void DrawLines(TCanvas* canvas);
  void Initialize();
  void KeepInView();
  void ClampTopLeft();
  void SelectionChanged(const TGridRect& old);

  std::vector<int> colWidths_;
  std::vector<int> rowHeights_;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  int gridLineWidth_ = 1;
  TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TScrollStyle scrollBars_ = ssBoth;
  TColor fixedColor_ = clBtnFace;
  bool defaultDrawing_ = true;
  TGridCoord current_{1, 1};
  TGridCoord anchor_{1, 1};
  TGridCoord topLeft_{1, 1};
  bool selecting_ = false;  // a range is being dragged out with the mouse
};

class TDrawGrid : public TCustomGrid {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TDrawGrid(TComponent* owner) : TCustomGrid(owner) {}

protected:
  void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
};
