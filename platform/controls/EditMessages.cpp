// An edit window's message switch and the handlers of the messages that ask or set its state.

#include <algorithm>
#include <cstring>

#include "platform/controls/EditControl.h"
#include "platform/user/ScrollBars.h"

namespace {

LRESULT Pair(int lo, int hi) { return static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(lo, hi))); }
POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
int Signed(WPARAM value) { return static_cast<int>(static_cast<LONG>(value)); }

std::string_view TextOf(LPARAM lParam) {
  const char* p = reinterpret_cast<const char*>(lParam);
  return p ? std::string_view(p) : std::string_view();
}

}  // namespace

LRESULT EditControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: OnNcCreate(reinterpret_cast<const CREATESTRUCT*>(lParam)); break;
    case WM_CREATE: OnCreate(); return 0;
    case WM_GETDLGCODE: return DialogCode(reinterpret_cast<const MSG*>(lParam));
    case WM_SETTEXT:
      DefWindowProc(window_, message, wParam, lParam);
      SetText(TextOf(lParam));
      return TRUE;
    case WM_GETTEXT: return OnGetText(reinterpret_cast<char*>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH: return text_.Length();
    case WM_SETFONT: SetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE: OnSize(); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_KILLFOCUS: OnKillFocus(); return 0;
    case WM_ENABLE: InvalidateRect(window_, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return 1;  // painted with the text, in the parent's colours
    case WM_PAINT: OnPaint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_PRINTCLIENT: OnPaint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_KEYDOWN: return OnKeyDown(static_cast<int>(wParam));
    case WM_CHAR: OnChar(static_cast<unsigned>(wParam)); return 0;
    case WM_LBUTTONDOWN: OnMouseDown(PointOf(lParam), (wParam & MK_SHIFT) != 0); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(PointOf(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(PointOf(lParam)); return 0;
    case WM_LBUTTONUP: OnMouseUp(); return 0;
    case WM_CAPTURECHANGED:
      if (tracking_ && reinterpret_cast<HWND>(lParam) != window_) OnMouseUp();
      return 0;
    case WM_TIMER: OnTimer(); return 0;
    case WM_VSCROLL: ScrollBy(true, LOWORD(wParam), scrollbars::ThumbPosition(window_, SB_VERT, wParam)); return 0;
    case WM_HSCROLL: ScrollBy(false, LOWORD(wParam), scrollbars::ThumbPosition(window_, SB_HORZ, wParam)); return 0;
    case WM_MOUSEWHEEL: {
      if (!multiLine_) break;  // to the parent
      // The wheel stops where the scroll bar does: the last line at the bottom.
      const int top = topLine_ - static_cast<short>(HIWORD(wParam)) / 120 * 3;
      const int lowest = std::max(0, text_.LineCount() - std::max(1, VisibleLines()));
      ScrollTo(std::clamp(top, 0, std::max(lowest, topLine_)), xOffset_, true);
      return 0;
    }
    case WM_CUT: Cut(); return 0;
    case WM_COPY: Copy(); return 0;
    case WM_PASTE: Paste(); return 0;
    case WM_CLEAR: Clear(); return 0;
    case WM_UNDO: case EM_UNDO: return DoUndo() || !multiLine_ ? TRUE : FALSE;
    case EM_CANUNDO: return undo_.kind != UndoKind::None;
    case EM_EMPTYUNDOBUFFER: EmptyUndo(); return 0;
    case EM_GETSEL: return OnGetSel(reinterpret_cast<DWORD*>(wParam), reinterpret_cast<DWORD*>(lParam));
    case EM_SETSEL: OnSetSel(Signed(wParam), Signed(static_cast<WPARAM>(lParam))); return 0;
    case EM_REPLACESEL:
      ReplaceSelection(TextOf(lParam), Source::Program, wParam ? UndoKind::Other : UndoKind::None);
      return 0;
    case EM_GETLINE: return GetLine(static_cast<int>(wParam), reinterpret_cast<char*>(lParam));
    case EM_GETLINECOUNT: return multiLine_ ? text_.LineCount() : 1;
    case EM_LINEINDEX: return OnLineIndex(Signed(wParam));
    case EM_LINELENGTH: return LineLength(Signed(wParam));
    case EM_LINEFROMCHAR: return OnLineFromChar(Signed(wParam));
    case EM_GETFIRSTVISIBLELINE: return multiLine_ ? topLine_ : text_.PosAtX(0, xOffset_);
    case EM_LINESCROLL: return OnLineScroll(Signed(wParam), Signed(static_cast<WPARAM>(lParam)));
    case EM_GETTHUMB: return multiLine_ ? topLine_ : 0;
    case EM_SETTABSTOPS: return OnSetTabStops(static_cast<int>(wParam), reinterpret_cast<const int*>(lParam));
    case EM_SCROLL: return multiLine_ ? ScrollBy(true, static_cast<int>(wParam), 0) : FALSE;
    case EM_SCROLLCARET: OnScrollCaret(); return TRUE;
    case EM_GETMODIFY: return modified_;
    case EM_SETMODIFY: modified_ = wParam != 0; return 0;
    case EM_GETRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = rect_;
      return 0;
    case EM_SETRECT: case EM_SETRECTNP:
      if (multiLine_) SetRect(reinterpret_cast<const RECT*>(lParam), message == EM_SETRECT);
      return 0;
    case EM_SETLIMITTEXT:
      limit_ = wParam == 0 || wParam > 0x7FFFFFFE ? 0x7FFFFFFE : static_cast<int>(wParam);
      return 0;
    case EM_GETLIMITTEXT: return limit_;
    case EM_SETPASSWORDCHAR: OnSetPasswordChar(static_cast<char>(wParam)); return 0;
    case EM_GETPASSWORDCHAR: return (Style() & ES_PASSWORD) ? static_cast<unsigned char>(passwordChar_) : 0;
    case EM_SETREADONLY: OnSetReadOnly(wParam != 0); return TRUE;
    case EM_SETMARGINS: OnSetMargins(wParam, lParam); return 0;
    case EM_GETMARGINS: return Pair(leftMargin_, rightMargin_);
    case EM_POSFROMCHAR: return OnPosFromChar(Signed(wParam));
    case EM_CHARFROMPOS: return OnCharFromPos(PointOf(lParam));
    case WM_STYLECHANGED: OnStyleChanged(); return 0;
  }
  return DefWindowProc(window_, message, wParam, lParam);
}

void EditControl::OnNcCreate(const CREATESTRUCT* cs) {
  if (cs && cs->lpszName) text_.SetText(std::string(cs->lpszName));
}

void EditControl::OnCreate() {
  ResetRect();
  UpdateScrollBars();
}

LRESULT EditControl::OnGetText(char* out, int size) const {
  if (!out || size <= 0) return 0;
  const int n = std::min(size - 1, text_.Length());
  std::memcpy(out, text_.Text().data(), static_cast<size_t>(n));
  out[n] = '\0';
  return n;
}

void EditControl::OnSize() {
  if (!rectSet_) ResetRect();
  else UpdateLayoutWidth();
  ScrollCaretIntoView();
  UpdateScrollBars();
  InvalidateRect(window_, nullptr, TRUE);
}

void EditControl::OnSetFocus() {
  focused_ = true;
  CreateCaret(window_, nullptr, 1, lineHeight_);
  PlaceCaret();
  ShowCaret(window_);
  if (HasSelection()) InvalidateSelection(SelMin(), SelMax());
  Notify(EN_SETFOCUS);
}

void EditControl::OnKillFocus() {
  focused_ = false;
  if (tracking_) OnMouseUp();
  DestroyCaret();
  if (HasSelection() && !(Style() & ES_NOHIDESEL)) InvalidateSelection(SelMin(), SelMax());
  Notify(EN_KILLFOCUS);
}

// Paints the invalid part, or, on a context given (WM_PRINTCLIENT too), the whole client area.
void EditControl::OnPaint(HDC given) {
  if (given) {
    RECT all;
    GetClientRect(window_, &all);
    Paint(given, all);
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  Paint(dc, ps.rcPaint);
  EndPaint(window_, &ps);
}

LRESULT EditControl::OnGetSel(DWORD* start, DWORD* end) const {
  if (start) *start = static_cast<DWORD>(SelMin());
  if (end) *end = static_cast<DWORD>(SelMax());
  return SelMax() > 0xFFFF ? -1 : Pair(SelMin(), SelMax());
}

// -1 as the start takes the selection away; -1 (or past the end) as the end is the end.
void EditControl::OnSetSel(int start, int end) {
  if (start == -1) {
    SetSelection(caret_, caret_);
    return;
  }
  if (end < 0 || end > text_.Length()) end = text_.Length();
  start = std::clamp(start, 0, text_.Length());
  desiredX_ = -1;
  SetSelection(start, end);
}

LRESULT EditControl::OnLineIndex(int line) const {
  if (!multiLine_) return 0;
  if (line == -1) line = text_.LineFromPos(caret_);
  return line >= 0 && line < text_.LineCount() ? text_.LineAt(line).start : -1;
}

// -1: the caret's line, or the line where the selection starts.
LRESULT EditControl::OnLineFromChar(int pos) const {
  if (!multiLine_) return 0;
  return text_.LineFromPos(pos < 0 ? (HasSelection() ? SelMin() : caret_) : std::min(pos, text_.Length()));
}

LRESULT EditControl::OnLineScroll(int characters, int lines) {
  if (!multiLine_) return FALSE;
  ScrollTo(topLine_ + lines, xOffset_ + characters * averageWidth_, false);
  return TRUE;
}

// Tab stops in dialog units, a quarter of the average character: none gives the default of
// 32, one a stop at every multiple; of several, the first spacing is kept.
LRESULT EditControl::OnSetTabStops(int count, const int* stops) {
  if (!multiLine_) return FALSE;
  tabUnits_ = count == 0 || !stops ? 32 : std::max(1, stops[0]);
  text_.SetTabWidth(tabUnits_ * averageWidth_ / 4);
  InvalidateRect(window_, nullptr, TRUE);
  PlaceCaret();
  return TRUE;
}

void EditControl::OnScrollCaret() {
  if (ScrollCaretIntoView()) InvalidateRect(window_, nullptr, TRUE);
  UpdateScrollBars();
  PlaceCaret();
}

// A password character sets ES_PASSWORD, none clears it.
void EditControl::OnSetPasswordChar(char character) {
  passwordChar_ = character;
  const LONG_PTR style = GetWindowLongPtr(window_, GWL_STYLE);
  SetWindowLongPtr(window_, GWL_STYLE, character ? style | ES_PASSWORD : style & ~static_cast<LONG_PTR>(ES_PASSWORD));
  otherWidths_.clear();
  text_.Relayout();
  InvalidateRect(window_, nullptr, TRUE);
  PlaceCaret();
}

void EditControl::OnSetReadOnly(bool readOnly) {
  const LONG_PTR style = GetWindowLongPtr(window_, GWL_STYLE);
  SetWindowLongPtr(window_, GWL_STYLE, readOnly ? style | ES_READONLY : style & ~static_cast<LONG_PTR>(ES_READONLY));
  InvalidateRect(window_, nullptr, TRUE);  // the colours change with it
}

void EditControl::OnSetMargins(WPARAM which, LPARAM margins) {
  if (which == EC_USEFONTINFO) {
    UseFontMargins();
  } else {
    if (which & EC_LEFTMARGIN) leftMargin_ = LOWORD(margins);
    if (which & EC_RIGHTMARGIN) rightMargin_ = HIWORD(margins);
  }
  if (!rectSet_) ResetRect();
  InvalidateRect(window_, nullptr, TRUE);
  PlaceCaret();
}

// Past the last character there is no answer (-1), as the standard control gives.
LRESULT EditControl::OnPosFromChar(int pos) const {
  if (pos < 0 || pos >= text_.Length()) return -1;
  const POINT p = PosToPoint(pos);
  return Pair(p.x, p.y);
}

LRESULT EditControl::OnCharFromPos(POINT p) const {
  const int pos = PointToPos(p);
  return Pair(pos, multiLine_ ? text_.LineFromPos(pos) : 0);
}

void EditControl::OnStyleChanged() {
  UpdateLayoutWidth();
  InvalidateRect(window_, nullptr, TRUE);
}
