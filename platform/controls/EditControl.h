#pragma once
// The state and behaviour of one EDIT window; Edit.cpp hands it its messages. The behaviour
// is split by subject: EditMessages.cpp (the message switch and the EM_ queries and settings),
// EditControl.cpp (text, selection, undo), EditInput.cpp (keys, characters, mouse,
// clipboard) and EditView.cpp (geometry, scrolling, caret, painting).

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/controls/Edit.h"
#include "platform/controls/EditText.h"

class EditControl {
public:
  explicit EditControl(HWND window);
  ~EditControl();
  EditControl(const EditControl&) = delete;
  EditControl& operator=(const EditControl&) = delete;

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
  // One level of undo, as the standard control keeps: what an action removed and how much it
  // inserted at pos. Undoing swaps them, so a second undo redoes.
  enum class UndoKind { None, Typing, Backspace, Delete, Other };
  struct Undo {
    UndoKind kind = UndoKind::None;
    int pos = 0;
    std::string removed;
    int inserted = 0;
  };
  enum class Source { User, Program };

  DWORD Style() const;
  bool MultiLine() const { return multiLine_; }
  bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
  bool Password() const { return !multiLine_ && (Style() & ES_PASSWORD) && passwordChar_; }
  bool Wraps() const { return multiLine_ && !(Style() & ES_AUTOHSCROLL); }
  void Notify(WORD code);

  // Text and selection (EditControl.cpp).
  int SelMin() const { return std::min(anchor_, caret_); }
  int SelMax() const { return std::max(anchor_, caret_); }
  bool HasSelection() const { return anchor_ != caret_; }
  std::string SelectedText() const;
  void SetSelection(int anchor, int caret, bool scroll = true);
  // Replaces the selection; answers false (and beeps for the user) when nothing fit.
  bool ReplaceSelection(std::string_view text, Source source, UndoKind undo);
  void SetText(std::string_view text);
  void RecordUndo(UndoKind kind, int pos, const std::string& removed, int inserted);
  bool DoUndo();
  void EmptyUndo() { undo_ = Undo{}; }
  std::string Filtered(std::string_view text) const;
  LRESULT GetLine(int line, char* buffer) const;
  LRESULT LineLength(int pos) const;

  // Messages that ask or set the state (EditMessages.cpp).
  void OnNcCreate(const CREATESTRUCT* cs);
  void OnCreate();
  LRESULT OnGetText(char* out, int size) const;
  void OnSize();
  void OnSetFocus();
  void OnKillFocus();
  void OnPaint(HDC given);
  LRESULT OnGetSel(DWORD* start, DWORD* end) const;
  void OnSetSel(int start, int end);
  LRESULT OnLineIndex(int line) const;
  LRESULT OnLineFromChar(int pos) const;
  LRESULT OnLineScroll(int characters, int lines);
  LRESULT OnSetTabStops(int count, const int* stops);
  void OnScrollCaret();
  void OnSetPasswordChar(char character);
  void OnSetReadOnly(bool readOnly);
  void OnSetMargins(WPARAM which, LPARAM margins);
  LRESULT OnPosFromChar(int pos) const;
  LRESULT OnCharFromPos(POINT p) const;
  void OnStyleChanged();

  // Input (EditInput.cpp).
  LRESULT OnKeyDown(int vk);
  void OnChar(unsigned code);
  void InsertTyped(std::string_view text);
  void MoveCaret(int pos, bool extend);
  void Backspace();
  void DeleteForward();
  void StartTracking(POINT p);
  void ExtendTo(POINT p, bool scroll);
  void OnMouseDown(POINT p, bool extend);
  void OnMouseMove(POINT p);
  void OnMouseUp();
  void OnDoubleClick(POINT p);
  void OnTimer();
  bool Copy();
  void Cut();
  void Paste();
  void Clear();
  LRESULT DialogCode(const MSG* msg) const;

  // View (EditView.cpp).
  void SetFont(HFONT font, bool redraw);
  void UseFontMargins();
  int CharWidth(const char* bytes, int length);
  void ResetRect();
  void SetRect(const RECT* rect, bool redraw);
  void UpdateLayoutWidth();
  int VisibleLines() const;
  int LineX(int line) const;  // the client x where a line's text starts (alignment, scrolling)
  POINT PosToPoint(int pos) const;
  int PointToPos(POINT p) const;
  int LineAtY(int y) const;
  bool ScrollCaretIntoView();
  void ScrollTo(int topLine, int xOffset, bool notify);
  LRESULT ScrollBy(bool vertical, int code, int thumb);
  void UpdateScrollBars();
  void PlaceCaret();
  void InvalidateFromLine(int line);
  void InvalidateLines(int first, int last);
  void InvalidateSelection(int a, int b);
  HBRUSH ColourDc(HDC dc);
  void Paint(HDC dc, const RECT& area);
  void PaintLine(HDC dc, int line, int y, COLORREF text, bool showSelection);
  void DrawRun(HDC dc, int line, int from, int to, int y);

  HWND window_;
  bool multiLine_ = false;
  EditText text_;
  int anchor_ = 0;
  int caret_ = 0;
  int desiredX_ = -1;  // the x Up and Down keep to, -1 when a new one is taken
  Undo undo_;
  bool modified_ = false;
  int limit_ = 0x7FFE;
  char passwordChar_ = '*';
  int tabUnits_ = 32;  // tab stops, in dialog units
  std::string pendingBytes_;  // the first bytes of a character typed byte by byte

  HFONT font_ = nullptr;
  HDC measureDc_ = nullptr;
  HGDIOBJ measureOldFont_ = nullptr;
  int lineHeight_ = 13;
  int averageWidth_ = 6;
  std::array<int, 128> asciiWidths_{};
  std::unordered_map<std::string, int> otherWidths_;

  RECT rect_{};  // the formatting rectangle, client coordinates
  bool rectSet_ = false;
  int leftMargin_ = 0;
  int rightMargin_ = 0;
  int topLine_ = 0;
  int xOffset_ = 0;  // pixels scrolled horizontally

  bool focused_ = false;
  bool tracking_ = false;
  bool byWords_ = false;  // a drag that began with a double-click
  int wordStart_ = 0;     // the word it began on
  int wordEnd_ = 0;
  POINT lastMouse_{};
};
