#pragma once
// The tree view's window object: what each "TreeView" window keeps and does. Its
// messages are answered in TreeView.cpp, its geometry and painting in TreeViewLayout.cpp, keys and
// the mouse in TreeViewInput.cpp.

#include <string>
#include <vector>

#include "platform/controls/LabelEdit.h"
#include "platform/controls/TreeView.h"
#include "platform/controls/TreeViewItems.h"

// Internal to the tree view: nothing outside its files uses these names.
namespace treeview {

constexpr UINT_PTR kEditTimer = 1;  // the slow second click that starts an edit
constexpr int kDefaultIndent = 19;
constexpr int kLabelPadding = 2;  // between the label's highlight and its text
constexpr int kImageGap = 3;     // between the image and the label
constexpr DWORD kTypeAheadPause = 1000;

class TreeViewWindow {
public:
  explicit TreeViewWindow(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }
  bool Has(DWORD style) const { return (Style() & style) != 0; }

  // Items.
  HTREEITEM Insert(const TVINSERTSTRUCT* insert);
  BOOL Delete(HTREEITEM handle);
  void DeleteAll();
  void NotifyDeleted(TreeViewItem* item);
  BOOL Expand(TreeViewItem* item, UINT action, bool byUser);
  HTREEITEM Next(UINT relation, HTREEITEM handle);
  BOOL Select(UINT relation, HTREEITEM handle, UINT cause);
  BOOL SelectCaret(TreeViewItem* item, UINT cause);
  BOOL GetItem(TVITEM* item);
  BOOL SetItem(const TVITEM* item);
  void FillItem(const TreeViewItem* from, UINT mask, TVITEM& out) const;
  bool EnsureVisible(TreeViewItem* item);

  // Geometry.
  int ItemHeight();
  int VisibleRows();
  int LevelOffset() const { return Has(TVS_LINESATROOT) ? 1 : 0; }
  int ContentLeft(const TreeViewItem* item) const { return (item->depth + LevelOffset()) * indent_ - xOffset_; }
  int ImageWidth() const;
  int LabelWidth(const TreeViewItem* item);
  bool ItemRect(TreeViewItem* item, bool textOnly, RECT& out);
  TVHITTESTINFO HitTest(POINT p);
  void ScrollTo(int top);
  void UpdateScrollRange();
  void RowsChanged();

  // Painting.
  void Paint(HDC dc, const RECT& dirty);
  void PaintRow(HDC dc, TreeViewItem* item, int y);
  void DottedLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour);
  void InvalidateItem(TreeViewItem* item);
  HFONT Font() const { return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

  // Input.
  void KeyDown(WPARAM key);
  void Char(char c);
  void ButtonDown(POINT p, bool doubleClick);
  HWND EditLabel(TreeViewItem* item);
  void EndEdit(bool cancel);

  LRESULT Notify(NMHDR& header, UINT code) { return SendNotify(window_, code, &header); }
  LRESULT NotifyItems(UINT code, UINT action, TreeViewItem* oldItem, TreeViewItem* newItem);

  HWND window_;
  TreeViewItems items_;
  TreeViewItem* caret_ = nullptr;
  TreeViewItem* dropHilite_ = nullptr;
  HIMAGELIST images_ = nullptr;
  HIMAGELIST stateImages_ = nullptr;
  HFONT font_ = nullptr;
  int indent_ = kDefaultIndent;
  int itemHeight_ = 0;       // 0: from the font and the images
  int fixedItemHeight_ = -1;  // set by TVM_SETITEMHEIGHT
  int top_ = 0;              // the first row shown
  int xOffset_ = 0;
  COLORREF background_ = CLR_NONE;
  COLORREF textColour_ = CLR_NONE;
  LabelEdit edit_;
  TreeViewItem* editing_ = nullptr;
  std::string typed_;
  DWORD typedAt_ = 0;
  bool focused_ = false;
};

}  // namespace treeview
