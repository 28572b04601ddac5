#pragma once
// The list view's window object: what each "ListView" window keeps and does. Its
// messages are answered in ListView.cpp, its geometry and painting in ListViewLayout.cpp, keys and
// the mouse in ListViewInput.cpp.

#include <string>
#include <vector>

#include "platform/controls/LabelEdit.h"
#include "platform/controls/ListView.h"

// Internal to the list view: nothing outside its files uses these names.
namespace listview {

constexpr UINT_PTR kEditTimer = 1;
constexpr int kLabelPadding = 2;
constexpr int kSideStep = 20;  // a report's sideways scroll by an arrow, in pixels
constexpr int kListColumnWidth = 100;  // the list and small-icon views' cell, beside the image
constexpr int kIconCellWidth = 75;
constexpr int kDividerGrip = 4;        // how near a header divider the pointer grips it
constexpr DWORD kTypeAheadPause = 1000;

struct Item {
  std::string text;
  std::vector<std::string> subItems;  // columns 1 and on
  int image = 0;
  UINT state = 0;
  LPARAM param = 0;
  int indent = 0;
};

struct Column {
  std::string text;
  int width = 0;
  int format = LVCFMT_LEFT;
  int subItem = 0;
};

// Where the cells lie: `across` cells to a line (a line is a row of cells; in the list view
// a column), lines stacked down (or, in the list view, side by side).
struct Grid {
  int cellWidth = 0;
  int cellHeight = 0;
  int perLine = 1;
  bool linesAreColumns = false;
};

class ListViewWindow {
public:
  explicit ListViewWindow(HWND window) : window_(window) {}
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }
  DWORD View() const { return Style() & LVS_TYPEMASK; }
  bool Report() const { return View() == LVS_REPORT; }
  int Count() const { return static_cast<int>(items_.size()); }
  bool Valid(int index) const { return index >= 0 && index < Count(); }

  // Items and columns.
  int Insert(const LVITEM* given);
  BOOL Delete(int index);
  BOOL DeleteAll();
  BOOL SetItem(const LVITEM* given);
  BOOL GetItem(LVITEM* item) const;
  const std::string& TextOf(const Item& item, int subItem) const;
  int CopyText(const std::string& text, LPSTR buffer, int size) const;
  // Changes the state bits in mask of one item, asking and telling the parent; false when vetoed.
  bool ChangeState(int index, UINT state, UINT mask);
  void SetStateAll(UINT state, UINT mask);
  void SelectOnly(int index);
  void SelectRange(int from, int to);
  void Focus(int index);
  int NextItem(int start, UINT flags);
  int Find(int start, const LVFINDINFO* info) const;
  void Sort(LPARAM sortParam, PFNLVCOMPARE compare);
  int InsertColumn(int index, const LVCOLUMN* given);
  int AutoWidth(int column, bool withHeader);
  int SortedPlace(const std::string& text) const;

  // Geometry.
  int TextHeight();
  int RowHeight();
  int HeaderHeight();
  Grid Cells();
  RECT ItemArea();  // the client area below the header
  int TotalColumnWidth() const;
  bool CellRect(int index, RECT& out);
  bool PartRect(int index, int part, RECT& out);
  int LinesInView();
  int CountPerPage();
  int LineOf(int index);
  LVHITTESTINFO HitTest(POINT p, bool subItems);
  int ColumnAtX(int x, bool& onDivider);
  // Scrolling: each keeps the view inside the content and the window's bars on the view.
  void ScrollToLine(int line);
  void ScrollToX(int x);  // the report's sideways scroll, in pixels
  void Rescroll();        // after the content or the window changed
  void UpdateScrollBars();
  void EnsureVisible(int index);
  void InvalidateItem(int index);
  int TextWidth(const std::string& text);
  HFONT Font() const { return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
  HIMAGELIST ItemImages() const { return View() == LVS_ICON ? images_ : smallImages_; }

  // Painting.
  void Paint(HDC dc, const RECT& dirty);
  void PaintHeader(HDC dc);
  void PaintItem(HDC dc, int index);

  // Input.
  void KeyDown(WPARAM key);
  void Char(char c);
  void ButtonDown(POINT p, bool doubleClick, bool right);
  void HeaderDown(POINT p);
  void MouseMove(POINT p);
  void ButtonUp(POINT p);
  HWND EditLabel(int index);

  LRESULT Notify(NMHDR& header, UINT code) { return SendNotify(window_, code, &header); }
  LRESULT NotifyItem(UINT code, int index, UINT newState = 0, UINT oldState = 0, UINT changed = 0);

  HWND window_;
  std::vector<Item> items_;
  std::vector<Column> columns_;
  int selectedCount_ = 0;
  int focused_ = -1;
  int mark_ = -1;  // the selection mark: where a Shift range starts
  HIMAGELIST images_ = nullptr;
  HIMAGELIST smallImages_ = nullptr;
  HIMAGELIST stateImages_ = nullptr;
  HFONT font_ = nullptr;
  int textHeight_ = 0;
  int top_ = 0;      // first line in view
  int xOffset_ = 0;  // the report's horizontal scroll, in pixels
  int listColumnWidth_ = 0;
  DWORD extended_ = 0;
  COLORREF background_ = CLR_NONE;
  COLORREF textColour_ = CLR_NONE;
  LabelEdit edit_;
  int editing_ = -1;
  std::string typed_;
  DWORD typedAt_ = 0;
  bool focused_window_ = false;
  // Header tracking: a column pressed, or a divider dragged.
  int pressedColumn_ = -1;
  bool pressedInside_ = false;
  int sizingColumn_ = -1;
  int sizingStartX_ = 0;
  int sizingStartWidth_ = 0;
};

}  // namespace listview
