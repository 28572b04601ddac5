// TCustomGrid and TDrawGrid: cell geometry, the current cell and the range moved by keys and
// the mouse, SelectCell refusing cells, drawing states, and a month grid of the kind a
// calendar derives from the custom grid (its own cell text, selectable days only, its keys,
// sizes from its client area, a plain border).

#include "VclFixture.h"

#include "platform/host/KeyCodes.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Grids.h"

namespace {

// Seven columns of days under one fixed row of names; day 1 in the third column, 30 days.
class TMonthGrid : public TCustomGrid {
  QUILLO_DECLARE_CLASS()

public:
  explicit TMonthGrid(TComponent* owner) : TCustomGrid(owner) {
    SetColCount(7);
    SetRowCount(7);
    SetFixedCols(0);
    SetFixedRows(1);
    SetScrollBars(ssNone);
    TGridOptions options = GetOptions();
    options >> goRangeSelect;
    options << goDrawFocusSelected;
    SetOptions(options);
  }
  static constexpr int kOffset = -1;  // the day in column 0 of row 1
  static int DayAt(int col, int row) { return row == 0 ? 0 : col + kOffset + (row - 1) * 7; }
  static bool IsDay(int col, int row) { return DayAt(col, row) >= 1 && DayAt(col, row) <= 30; }
  std::vector<std::string> drawn;
  int day = 1;

protected:
  void CreateParams(TCreateParams& p) override {
    TCustomGrid::CreateParams(p);
    p.Style |= WS_BORDER;
    p.ExStyle &= ~WS_EX_CLIENTEDGE;
  }
  bool SelectCell(int col, int row) override { return IsDay(col, row) && TCustomGrid::SelectCell(col, row); }
  void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override {
    std::string text = row == 0 ? std::string(1, "MTWTFSS"[col]) : IsDay(col, row) ? std::to_string(DayAt(col, row)) : "";
    if (state.Contains(gdSelected)) drawn.push_back(text);
    GetCanvas()->TextRect(rect, rect.left + 2, rect.top + 2, text);
  }
  void KeyDown(WORD& key, TShiftState shift) override {
    if (key == VK_LEFT && day > 1) {  // across rows, not just within one
      SetDay(day - 1);
      key = 0;
    }
    TCustomGrid::KeyDown(key, shift);
  }
  void Resize() override {
    TCustomGrid::Resize();
    SetDefaultColWidth((GetClientWidth() - 6 * GetGridLineWidth()) / 7);
    SetDefaultRowHeight((GetClientHeight() - 6 * GetGridLineWidth()) / 7);
  }

public:
  void SetDay(int d) {
    day = d;
    int index = d - kOffset;
    FocusCell(index % 7, index / 7 + 1, true);
  }
};
QUILLO_DEFINE_CLASS(TMonthGrid, TCustomGrid)

class GridTest : public VclTest {
protected:
  void SetUp() override {
    form = Application()->CreateForm<TForm>();
    form->SetBounds(100, 100, 420, 320);
  }
  void Show() {
    form->Show();
    ui.RunUntilIdle();
  }
  TDrawGrid* MakeDrawGrid() {
    auto* grid = NewComponent<TDrawGrid>(form);
    grid->SetParent(form);
    grid->SetBounds(10, 10, 330, 150);
    return grid;
  }
  TForm* form = nullptr;
};

TEST_F(GridTest, CellsLieSideBySideWithTheirLinesBetween) {
  TDrawGrid* grid = MakeDrawGrid();
  grid->SetColWidths(1, 30);
  grid->SetGridLineWidth(2);
  EXPECT_EQ(grid->CellRect(0, 0), TRect(0, 0, 64, 24));
  EXPECT_EQ(grid->CellRect(1, 0), TRect(66, 0, 96, 24));
  EXPECT_EQ(grid->CellRect(2, 1), TRect(98, 26, 162, 50));
  struct Case {
    int x, y, col, row;
  };
  const Case cases[] = {{5, 5, 0, 0}, {65, 5, 0, 0}, {66, 5, 1, 0}, {100, 30, 2, 1}, {5, 130, -1, -1}};
  for (const Case& c : cases) {
    int col = 9, row = 9;
    grid->MouseToCell(c.x, c.y, col, row);
    EXPECT_EQ(col, c.col) << c.x << "," << c.y;
    EXPECT_EQ(row, c.row) << c.x << "," << c.y;
  }
  grid->SetDefaultColWidth(40);
  EXPECT_EQ(grid->GetColWidths(1), 40);  // the default is every column's again
  // Without the vertical lines the columns touch.
  grid->SetOptions(TGridOptions{goHorzLine});
  EXPECT_EQ(grid->CellRect(1, 0).left, 40);
  EXPECT_EQ(grid->CellRect(0, 1).top, 26);
}

TEST_F(GridTest, KeysMoveTheCurrentCellAndShiftExtendsTheRange) {
  TDrawGrid* grid = MakeDrawGrid();
  grid->SetRowCount(20);
  Show();
  grid->SetFocus();
  ui.RunUntilIdle();
  struct Step {
    std::vector<int> keys;  // VK_SHIFT / VK_CONTROL held around the last key
    int col, row;
    TGridRect sel;
  };
  const Step steps[] = {
      {{VK_RIGHT}, 2, 1, {2, 1, 2, 1}},
      {{VK_DOWN}, 2, 2, {2, 2, 2, 2}},
      {{VK_SHIFT, VK_RIGHT}, 3, 2, {2, 2, 3, 2}},
      {{VK_SHIFT, VK_DOWN}, 3, 3, {2, 2, 3, 3}},
      {{VK_LEFT}, 2, 3, {2, 3, 2, 3}},
      {{VK_UP}, 2, 2, {2, 2, 2, 2}},
      {{VK_UP}, 2, 1, {2, 1, 2, 1}},
      {{VK_UP}, 2, 1, {2, 1, 2, 1}},  // the fixed row is not reached
      {{VK_HOME}, 1, 1, {1, 1, 1, 1}},
      {{VK_END}, 4, 1, {4, 1, 4, 1}},
      {{VK_CONTROL, VK_END}, 4, 19, {4, 19, 4, 19}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.keys.back());
    for (size_t i = 0; i + 1 < s.keys.size(); ++i) ui.KeyDown(s.keys[i]);
    ui.Press(s.keys.back());
    for (size_t i = 0; i + 1 < s.keys.size(); ++i) ui.KeyUp(s.keys[i]);
    EXPECT_EQ(grid->GetCol(), s.col);
    EXPECT_EQ(grid->GetRow(), s.row);
    TGridRect sel = grid->GetSelection();
    EXPECT_EQ(std::vector<int>({sel.Left, sel.Top, sel.Right, sel.Bottom}),
              std::vector<int>({s.sel.Left, s.sel.Top, s.sel.Right, s.sel.Bottom}));
  }
  // The last row came into sight.
  EXPECT_GT(grid->GetTopRow(), 1);
  EXPECT_GT(grid->CellRect(4, 19).Height(), 0);
  EXPECT_EQ(grid->CellRect(4, 1).Height(), 0);
  EXPECT_EQ(grid->CellRect(4, 0).Height(), 24);  // the fixed row stays
}

TEST_F(GridTest, TheMouseSelectsACellOrDragsARange) {
  TDrawGrid* grid = MakeDrawGrid();
  int clicks = 0;
  grid->OnClick = [&](TObject*) { ++clicks; };
  Show();
  TRect cell = grid->CellRect(3, 2);
  ClickOn(grid, cell.left + 5, cell.top + 5);
  EXPECT_EQ(grid->GetCol(), 3);
  EXPECT_EQ(grid->GetRow(), 2);
  EXPECT_TRUE(grid->Focused());
  EXPECT_GE(clicks, 1);
  ui.Advance(1000);
  POINT from = At(grid, grid->CellRect(1, 1).left + 5, grid->CellRect(1, 1).top + 5);
  POINT to = At(grid, grid->CellRect(2, 3).left + 5, grid->CellRect(2, 3).top + 5);
  ui.Drag(from, to);
  TGridRect sel = grid->GetSelection();
  EXPECT_EQ(std::vector<int>({sel.Left, sel.Top, sel.Right, sel.Bottom}), std::vector<int>({1, 1, 2, 3}));
  // A click on a fixed cell moves nothing.
  ui.Advance(1000);
  ClickOn(grid, 5, 5);
  EXPECT_EQ(grid->GetRow(), 3);
}

TEST_F(GridTest, RowSelectSelectsWholeRows) {
  TDrawGrid* grid = MakeDrawGrid();
  TGridOptions options = grid->GetOptions();
  options << goRowSelect;
  grid->SetOptions(options);
  grid->SetRow(3);
  TGridRect sel = grid->GetSelection();
  EXPECT_EQ(std::vector<int>({sel.Left, sel.Top, sel.Right, sel.Bottom}), std::vector<int>({1, 3, 4, 3}));
  EXPECT_EQ(GetSetProp(grid, "Options"),
            "goFixedVertLine,goFixedHorzLine,goVertLine,goHorzLine,goRangeSelect,goRowSelect");
}

TEST_F(GridTest, SelectCellRefusesAndDrawCellSeesTheStates) {
  TDrawGrid* grid = MakeDrawGrid();
  grid->OnSelectCell = [](TObject*, int col, int, bool& can) { can = col != 2; };
  std::map<std::pair<int, int>, TGridDrawState> states;
  grid->OnDrawCell = [&](TObject*, int col, int row, const TRect&, TGridDrawState state) { states[{col, row}] = state; };
  grid->SetCol(2);
  EXPECT_EQ(grid->GetCol(), 1);
  grid->SetCol(3);
  EXPECT_EQ(grid->GetCol(), 3);
  Show();
  grid->SetFocus();
  ui.RunUntilIdle();
  ui.Press(VK_LEFT);  // into the refused column: the current cell stays
  EXPECT_EQ(grid->GetCol(), 3);
  grid->Invalidate();
  ui.RunUntilIdle();
  EXPECT_EQ(states[std::make_pair(0, 0)], TGridDrawState{gdFixed});
  EXPECT_EQ(states[std::make_pair(3, 1)], (TGridDrawState{gdSelected, gdFocused}));
  EXPECT_EQ(states[std::make_pair(2, 2)], TGridDrawState{});
}

TEST_F(GridTest, AMonthGridDerivedFromTheCustomGrid) {
  auto* month = NewComponent<TMonthGrid>(form);
  month->SetParent(form);
  month->SetBounds(10, 10, 7 * 30 + 6 + 2, 7 * 20 + 6 + 2);
  Show();
  // Its own border, no client edge; sizes from its client area.
  LONG_PTR style = GetWindowLongPtr(month->GetHandle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_BORDER);
  EXPECT_FALSE(GetWindowLongPtr(month->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(month->GetDefaultColWidth(), 30);
  EXPECT_EQ(month->GetDefaultRowHeight(), 20);
  // Without fixed columns the first column shows, and the first cell after the fixed row is current.
  EXPECT_EQ(month->CellRect(0, 1), TRect(0, 21, 30, 41));
  EXPECT_EQ(month->GetCol(), 0);
  EXPECT_EQ(month->GetRow(), 1);
  // Empty cells cannot be chosen, by mouse or keys; the day cells can.
  month->SetDay(1);
  EXPECT_EQ(month->GetCol(), 2);
  EXPECT_EQ(month->GetRow(), 1);
  TRect empty = month->CellRect(0, 1);
  ClickOn(month, empty.left + 3, empty.top + 3);
  EXPECT_EQ(month->GetCol(), 2);
  TRect fifteen = month->CellRect(2, 3);
  ui.Advance(1000);
  ClickOn(month, fifteen.left + 3, fifteen.top + 3);
  EXPECT_EQ(TMonthGrid::DayAt(month->GetCol(), month->GetRow()), 15);
  month->day = 15;
  // Its own Left: across the row start to the day before.
  month->SetDay(6);
  EXPECT_EQ(month->GetCol(), 0);
  ui.Press(VK_LEFT);
  EXPECT_EQ(TMonthGrid::DayAt(month->GetCol(), month->GetRow()), 5);
  EXPECT_EQ(month->GetRow(), 1);
  // The focused day is drawn as selected: in the highlight colour.
  month->drawn.clear();
  month->Invalidate();
  ui.RunUntilIdle();
  EXPECT_EQ(month->drawn, std::vector<std::string>{"5"});
  TRect five = month->CellRect(month->GetCol(), month->GetRow());
  EXPECT_EQ(PixelOf(month, five.right - 2, five.bottom - 2), Rgb(clHighlight));
  EXPECT_EQ(PixelOf(month, month->CellRect(6, 2).right - 2, month->CellRect(6, 2).bottom - 2), Rgb(clWindow));
}

}  // namespace
