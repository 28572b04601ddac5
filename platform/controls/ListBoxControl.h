#pragma once
// The state and behaviour behind one LISTBOX or ComboLBox window: its items, selection,
// caret and anchor, scroll position and geometry, painting, keyboard and mouse. The window
// procedure in ListBox.cpp dispatches each message to one of these handlers: items and
// selection live there, geometry and painting in ListBoxView.cpp, keys and mouse in
// ListBoxInput.cpp.

#include <string>
#include <vector>

#include "platform/controls/ListBox.h"
#include "platform/controls/ListItems.h"

// What a combo box hands its list when it makes it (CREATESTRUCT::lpCreateParams).
struct ComboListLink {
  HWND combo = nullptr;
};

// Between a combo box and its list (private to the two classes).
// Combo to list: follow the mouse until a click chooses or cancels; wParam TRUE when the
// left button is down already (the press that dropped the list).
constexpr UINT kComboListTrack = 0x01B0;
// List to combo: the user chose (wParam TRUE) or cancelled (FALSE) with the mouse.
constexpr UINT kComboListCloseUp = 0x01B1;

// The timer that scrolls a list while a drag is past its edge.
constexpr UINT_PTR kAutoScrollTimer = 0x4C42;

class ListBoxControl {
public:
  ListBoxControl(HWND window, const CREATESTRUCT& create);

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
  // Style.
  bool Is(DWORD style) const { return (style_ & style) != 0; }
  bool OwnerDraw() const { return Is(LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE); }
  bool Variable() const { return Is(LBS_OWNERDRAWVARIABLE) && !Is(LBS_MULTICOLUMN); }
  bool HasStrings() const { return !OwnerDraw() || Is(LBS_HASSTRINGS); }
  bool SingleSel() const { return !Is(LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }
  bool Extended() const { return Is(LBS_EXTENDEDSEL); }
  bool Count0() const { return items_.Count() == 0; }
  int Count() const { return items_.Count(); }
  bool Valid(int index) const { return index >= 0 && index < Count(); }

  // Notifications and owner messages.
  void Notify(WORD code);
  void NotifySelChange();
  void SendDrawItem(HDC dc, int index, const RECT& rect, UINT action, UINT state);
  int MeasureItem(int index, ULONG_PTR data);
  void SendDeleteItem(int index, const ListItem& item);
  void SendDeleteItems(const ListItems& gone);
  int CompareItems(const ListItem& a, const ListItem& b);

  // Items.
  LRESULT InsertItem(int index, LPARAM value, bool sortedPlace);
  LRESULT DeleteItem(int index);
  void ResetContent();
  LRESULT GetText(int index, LPSTR out) const;
  LRESULT GetTextLength(int index) const;
  LRESULT FindString(int start, LPARAM value, bool exact) const;
  bool Matches(const ListItem& item, LPARAM value, bool exact) const;
  int FindPrefix(int start, const std::string& prefix) const;
  LRESULT AddDirectory(UINT attributes, LPCSTR path);

  // Selection.
  LRESULT SetCurSel(int index);
  LRESULT GetCurSel() const;
  LRESULT SetSel(bool select, int index);
  LRESULT SelItemRange(bool select, int first, int last);
  LRESULT GetSelItems(int max, int* out) const;
  bool Select(int index, bool selected);
  bool SelectOnly(int index);
  bool SelectRangeOnly(int first, int last, bool keepOthers, bool state);
  void SetCaret(int index, bool scroll);

  // Geometry and scrolling.
  void MeasureFont();
  RECT Client() const;
  int RowsPerColumn() const;
  int VisibleColumns() const;
  int Page() const;
  int MaxTop() const;
  RECT ItemRect(int index) const;
  int ItemAt(POINT p, bool* outside) const;
  void SetTop(int index);
  void EnsureVisible(int index);
  void UpdateScroll();
  void Scroll(bool vertical, int code, int thumb);
  void SetHorizontalPos(int pos);
  void InvalidateItem(int index);
  void Redraw();
  void EnforceIntegralHeight(WINDOWPOS* pos);

  // Painting (ListBoxPaint.cpp).
  void Paint(HDC dc, const RECT& update);
  void PaintItem(HDC dc, int index, const ListItem& item, const RECT& rect, HBRUSH background);
  void DrawTabbedText(HDC dc, const std::string& text, int x, int y) const;
  LRESULT SetTabStops(int count, const int* stops);
  LRESULT OnPaint(HDC given);

  // Keyboard and mouse (ListBoxInput.cpp).
  LRESULT OnKeyDown(int vk);
  LRESULT OnChar(char ch);
  void MoveCaretByKey(int target, bool shift, bool ctrl);
  void OnButtonDown(POINT p, WPARAM keys, bool doubleClick);
  void OnMouseMove(POINT p);
  void OnButtonUp(POINT p);
  void TrackTo(int index);
  void EndTracking();
  void OnTimer();
  void OnWheel(int delta);
  void OnComboButtonDown(POINT p);

  HWND window_;
  HWND combo_ = nullptr;
  HWND commandTarget_ = nullptr;  // WM_COMMAND notifications
  HWND ownerTarget_ = nullptr;    // owner-draw messages and colours
  UINT ctlType_ = ODT_LISTBOX;
  DWORD style_ = 0;
  // The scroll bars the list was made with: the window manager hides a bar with nothing to
  // scroll (its style bit goes), yet the list keeps setting it, so it comes back when needed.
  DWORD bars_ = 0;
  ListItems items_;

  int top_ = 0;
  int caret_ = 0;
  int anchor_ = -1;
  int curSel_ = -1;  // single selection
  int itemHeight_ = 13;
  int fontHeight_ = 13;
  int avgCharWidth_ = 6;
  int columnWidth_ = 0;
  int horizontalExtent_ = 0;
  int horizontalPos_ = 0;
  std::vector<int> tabStops_;  // pixels, from the item's left edge
  int tabInterval_ = 0;        // pixels between the stops after the last one; 0: 32 dialog units
  HFONT font_ = nullptr;
  bool focused_ = false;
  bool redraw_ = true;

  // Mouse tracking.
  bool tracking_ = false;
  bool trackedChange_ = false;
  bool trackToggleState_ = true;  // extended selection with Ctrl: the anchor's new state
  bool trackKeepOthers_ = false;
  bool comboTracking_ = false;
  bool comboButtonDown_ = false;
  bool scrollingBar_ = false;  // an open combo list's own scroll bar has the mouse
  POINT lastMouse_{0, 0};
  bool timerOn_ = false;

  // Typing the first letters of an item.
  std::string typed_;
  DWORD lastTyped_ = 0;
};
