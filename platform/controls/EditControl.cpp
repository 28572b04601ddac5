// An edit window's text, selection and undo, and its message switch.

#include "platform/controls/EditControl.h"

#include <algorithm>
#include <cstring>

namespace {

LRESULT Pair(int lo, int hi) { return static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(lo, hi))); }

std::string_view TextOf(LPARAM lParam) {
  const char* p = reinterpret_cast<const char*>(lParam);
  return p ? std::string_view(p) : std::string_view();
}

}  // namespace

EditControl::EditControl(HWND window) : window_(window) {
  multiLine_ = (Style() & ES_MULTILINE) != 0;
  asciiWidths_.fill(-1);
  text_.SetMultiLine(multiLine_);
  measureDc_ = CreateCompatibleDC(nullptr);
  text_.SetCharWidth([this](const char* bytes, int length) { return CharWidth(bytes, length); });
  limit_ = multiLine_ ? 0x7FFFFFFE : 0x7FFE;
  SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), false);
}

EditControl::~EditControl() {
  if (measureDc_) {
    SelectObject(measureDc_, measureOldFont_);
    DeleteDC(measureDc_);
  }
}

DWORD EditControl::Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }

void EditControl::Notify(WORD code) {
  HWND parent = GetParent(window_);
  if (!parent || !IsWindow(window_)) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), code), reinterpret_cast<LPARAM>(window_));
}

std::string EditControl::SelectedText() const {
  return text_.Text().substr(static_cast<size_t>(SelMin()), static_cast<size_t>(SelMax() - SelMin()));
}

void EditControl::SetSelection(int anchor, int caret, bool scroll) {
  anchor = text_.Snap(anchor);
  caret = text_.Snap(caret);
  if (anchor == anchor_ && caret == caret_) {
    if (scroll && ScrollCaretIntoView()) InvalidateRect(window_, nullptr, TRUE);
    PlaceCaret();
    return;
  }
  const int oldMin = SelMin(), oldMax = SelMax();
  anchor_ = anchor;
  caret_ = caret;
  if (scroll && ScrollCaretIntoView()) InvalidateRect(window_, nullptr, TRUE);
  else if (oldMin != oldMax || anchor_ != caret_) {
    InvalidateSelection(oldMin, oldMax);
    InvalidateSelection(SelMin(), SelMax());
  }
  PlaceCaret();
}

// Case conversion of ES_UPPERCASE and ES_LOWERCASE (letters of ASCII), and a single-line
// edit's cut at the first line break.
std::string EditControl::Filtered(std::string_view text) const {
  std::string out(text);
  if (!multiLine_) {
    size_t cut = out.find_first_of("\r\n");
    if (cut != std::string::npos) out.resize(cut);
  }
  const DWORD style = Style();
  if (style & ES_UPPERCASE)
    for (char& c : out)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (style & ES_LOWERCASE)
    for (char& c : out)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool EditControl::ReplaceSelection(std::string_view given, Source source, UndoKind undoKind) {
  std::string text = Filtered(given);
  const int from = SelMin(), to = SelMax();
  const int room = limit_ - (text_.Length() - (to - from));
  if (static_cast<int>(text.size()) > room) {
    // Only whole characters fit.
    int keep = 0;
    while (keep < static_cast<int>(text.size())) {
      int n = EditText::CharLength(text, keep);
      if (keep + n > room) break;
      keep += n;
    }
    if (keep > 0 && text[static_cast<size_t>(keep - 1)] == '\r' && keep < static_cast<int>(text.size()) &&
        text[static_cast<size_t>(keep)] == '\n')
      --keep;
    text.resize(static_cast<size_t>(std::max(0, keep)));
    Notify(EN_MAXTEXT);
    if (text.empty() && from == to) {
      if (source == Source::User) MessageBeep(0);
      return false;
    }
  }
  const std::string removed = text_.Text().substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
  const int oldLines = text_.LineCount();
  const EditText::Changed changed = text_.Replace(from, to, text);
  const int end = from + static_cast<int>(text.size());

  // A single-line edit that does not scroll takes only what fits its rectangle, and a
  // multi-line one that does not scroll down only the lines it shows.
  const DWORD style = Style();
  bool overflow = false;
  if (source == Source::User) {
    if (!multiLine_ && !(style & ES_AUTOHSCROLL))
      overflow = text_.LineAt(0).width > rect_.right - rect_.left;
    else if (multiLine_ && !(style & ES_AUTOVSCROLL))
      overflow = text_.LineCount() > std::max(1, VisibleLines()) && text_.LineCount() > oldLines;
  }
  if (overflow) {
    text_.Replace(from, end, removed);
    Notify(EN_MAXTEXT);
    MessageBeep(0);
    return false;
  }
  if (undoKind != UndoKind::None) RecordUndo(undoKind, from, removed, static_cast<int>(text.size()));
  else EmptyUndo();
  anchor_ = caret_ = end;
  desiredX_ = -1;
  modified_ = true;
  // Lines below the change move only when the number of lines changed.
  if (text_.LineCount() != oldLines) InvalidateFromLine(changed.first);
  else InvalidateLines(changed.first, changed.last);
  Notify(EN_UPDATE);
  if (ScrollCaretIntoView()) InvalidateRect(window_, nullptr, TRUE);
  UpdateScrollBars();
  PlaceCaret();
  Notify(EN_CHANGE);
  return true;
}

void EditControl::SetText(std::string_view text) {
  text_.SetText(std::string(text));
  anchor_ = caret_ = 0;
  desiredX_ = -1;
  topLine_ = 0;
  xOffset_ = 0;
  modified_ = false;
  pendingBytes_.clear();
  EmptyUndo();
  InvalidateRect(window_, nullptr, TRUE);
  // The standard control tells the parent of text set by WM_SETTEXT only when single-line.
  if (!multiLine_) Notify(EN_UPDATE);
  UpdateScrollBars();
  PlaceCaret();
  if (!multiLine_) Notify(EN_CHANGE);
}

void EditControl::RecordUndo(UndoKind kind, int pos, const std::string& removed, int inserted) {
  Undo& u = undo_;
  // Runs of typing, of Backspace and of Delete undo as one.
  if (kind == UndoKind::Typing && u.kind == kind && removed.empty() && pos == u.pos + u.inserted) {
    u.inserted += inserted;
    return;
  }
  if (kind == UndoKind::Backspace && u.kind == kind && inserted == 0 && pos + static_cast<int>(removed.size()) == u.pos) {
    u.pos = pos;
    u.removed.insert(0, removed);
    return;
  }
  if (kind == UndoKind::Delete && u.kind == kind && inserted == 0 && pos == u.pos) {
    u.removed += removed;
    return;
  }
  undo_ = Undo{kind, pos, removed, inserted};
}

bool EditControl::DoUndo() {
  if (undo_.kind == UndoKind::None) return false;
  Undo u = undo_;
  const int end = std::min(u.pos + u.inserted, text_.Length());
  anchor_ = u.pos;
  caret_ = end;
  const std::string inserted = SelectedText();
  // What was there before comes back whole: no limit or filter applies to it.
  const int first = text_.Replace(u.pos, end, u.removed).first;
  undo_ = Undo{UndoKind::Other, u.pos, inserted, static_cast<int>(u.removed.size())};
  anchor_ = u.pos;
  caret_ = u.pos + static_cast<int>(u.removed.size());
  desiredX_ = -1;
  modified_ = true;
  InvalidateFromLine(first);
  Notify(EN_UPDATE);
  if (ScrollCaretIntoView()) InvalidateRect(window_, nullptr, TRUE);
  UpdateScrollBars();
  PlaceCaret();
  Notify(EN_CHANGE);
  return true;
}

LRESULT EditControl::GetLine(int line, char* buffer) const {
  if (!buffer) return 0;
  WORD size = 0;
  std::memcpy(&size, buffer, sizeof size);
  if (!multiLine_) line = 0;
  if (line < 0 || line >= text_.LineCount()) return 0;
  const EditText::Line& l = text_.LineAt(line);
  const int n = std::min<int>(size, l.end - l.start);
  std::memcpy(buffer, text_.Text().data() + l.start, static_cast<size_t>(n));
  if (n < size) buffer[n] = '\0';
  return n;
}

LRESULT EditControl::LineLength(int pos) const {
  if (pos >= 0) {
    const EditText::Line& l = text_.LineAt(text_.LineFromPos(std::min(pos, text_.Length())));
    return l.end - l.start;
  }
  // -1: what is not selected on the lines the selection touches.
  const EditText::Line& first = text_.LineAt(text_.LineFromPos(SelMin()));
  const EditText::Line& last = text_.LineAt(text_.LineFromPos(SelMax()));
  return (SelMin() - first.start) + std::max(0, last.end - SelMax());
}

LRESULT EditControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      if (cs && cs->lpszName) text_.SetText(std::string(cs->lpszName));
      return DefWindowProc(window_, message, wParam, lParam);
    }
    case WM_CREATE:
      ResetRect();
      UpdateScrollBars();
      return 0;
    case WM_GETDLGCODE: return DialogCode(reinterpret_cast<const MSG*>(lParam));
    case WM_SETTEXT:
      DefWindowProc(window_, message, wParam, lParam);
      SetText(TextOf(lParam));
      return TRUE;
    case WM_GETTEXT: {
      char* out = reinterpret_cast<char*>(lParam);
      const int size = static_cast<int>(wParam);
      if (!out || size <= 0) return 0;
      const int n = std::min(size - 1, text_.Length());
      std::memcpy(out, text_.Text().data(), static_cast<size_t>(n));
      out[n] = '\0';
      return n;
    }
    case WM_GETTEXTLENGTH: return text_.Length();
    case WM_SETFONT: SetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE:
      if (!rectSet_) ResetRect();
      else UpdateLayoutWidth();
      ScrollCaretIntoView();
      UpdateScrollBars();
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
      focused_ = true;
      CreateCaret(window_, nullptr, 1, lineHeight_);
      PlaceCaret();
      ShowCaret(window_);
      if (HasSelection()) InvalidateSelection(SelMin(), SelMax());
      Notify(EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      focused_ = false;
      if (tracking_) OnMouseUp();
      DestroyCaret();
      if (HasSelection() && !(Style() & ES_NOHIDESEL)) InvalidateSelection(SelMin(), SelMax());
      Notify(EN_KILLFOCUS);
      return 0;
    case WM_ENABLE: InvalidateRect(window_, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return 1;  // painted with the text, in the parent's colours
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      PAINTSTRUCT ps;
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (dc || message == WM_PRINTCLIENT) {
        RECT all;
        GetClientRect(window_, &all);
        Paint(dc, all);
        return 0;
      }
      dc = BeginPaint(window_, &ps);
      Paint(dc, ps.rcPaint);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_KEYDOWN: return OnKeyDown(static_cast<int>(wParam));
    case WM_CHAR: OnChar(static_cast<unsigned>(wParam)); return 0;
    case WM_LBUTTONDOWN: OnMouseDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, (wParam & MK_SHIFT) != 0); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_MOUSEMOVE: OnMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_LBUTTONUP: OnMouseUp(); return 0;
    case WM_CAPTURECHANGED:
      if (tracking_ && reinterpret_cast<HWND>(lParam) != window_) OnMouseUp();
      return 0;
    case WM_TIMER: OnTimer(); return 0;
    case WM_VSCROLL: case WM_HSCROLL:
      ScrollBy(message == WM_VSCROLL, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      return 0;
    case WM_MOUSEWHEEL:
      if (!multiLine_) return DefWindowProc(window_, message, wParam, lParam);
      ScrollTo(topLine_ - static_cast<short>(HIWORD(wParam)) / 120 * 3, xOffset_, true);
      return 0;
    case WM_CUT: Cut(); return 0;
    case WM_COPY: Copy(); return 0;
    case WM_PASTE: Paste(); return 0;
    case WM_CLEAR: Clear(); return 0;
    case WM_UNDO: case EM_UNDO: return DoUndo() || !multiLine_ ? TRUE : FALSE;
    case EM_CANUNDO: return undo_.kind != UndoKind::None;
    case EM_EMPTYUNDOBUFFER: EmptyUndo(); return 0;
    case EM_GETSEL: {
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(SelMin());
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(SelMax());
      return SelMax() > 0xFFFF ? -1 : Pair(SelMin(), SelMax());
    }
    case EM_SETSEL: {
      int start = static_cast<int>(static_cast<LONG>(wParam)), end = static_cast<int>(static_cast<LONG>(lParam));
      if (start == -1) {
        SetSelection(caret_, caret_);
        return 0;
      }
      if (end < 0 || end > text_.Length()) end = text_.Length();
      start = std::min(std::max(0, start), text_.Length());
      desiredX_ = -1;
      SetSelection(start, end);
      return 0;
    }
    case EM_REPLACESEL:
      ReplaceSelection(TextOf(lParam), Source::Program, wParam ? UndoKind::Other : UndoKind::None);
      return 0;
    case EM_GETLINE: return GetLine(static_cast<int>(wParam), reinterpret_cast<char*>(lParam));
    case EM_GETLINECOUNT: return multiLine_ ? text_.LineCount() : 1;
    case EM_LINEINDEX: {
      if (!multiLine_) return 0;
      const int line = static_cast<LONG>(wParam) == -1 ? text_.LineFromPos(caret_) : static_cast<int>(wParam);
      return line >= 0 && line < text_.LineCount() ? text_.LineAt(line).start : -1;
    }
    case EM_LINELENGTH: return LineLength(static_cast<int>(static_cast<LONG>(wParam)));
    case EM_LINEFROMCHAR: {
      if (!multiLine_) return 0;
      const int pos = static_cast<int>(static_cast<LONG>(wParam));
      return text_.LineFromPos(pos < 0 ? (HasSelection() ? SelMin() : caret_) : std::min(pos, text_.Length()));
    }
    case EM_GETFIRSTVISIBLELINE:
      return multiLine_ ? topLine_ : text_.PosAtX(0, xOffset_);
    case EM_LINESCROLL:
      if (!multiLine_) return FALSE;
      ScrollTo(topLine_ + static_cast<int>(static_cast<LONG>(lParam)),
               xOffset_ + static_cast<int>(static_cast<LONG>(wParam)) * averageWidth_, false);
      return TRUE;
    case EM_GETTHUMB: return multiLine_ ? topLine_ : 0;
    case EM_SETTABSTOPS: {
      // Dialog units, a quarter of the average character: none gives the default of 32, one
      // a stop at every multiple; with several, their first spacing is kept.
      if (!multiLine_) return FALSE;
      const int* stops = reinterpret_cast<const int*>(lParam);
      const int units = wParam == 0 || !stops ? 32 : std::max(1, stops[0]);
      tabUnits_ = units;
      text_.SetTabWidth(units * averageWidth_ / 4);
      InvalidateRect(window_, nullptr, TRUE);
      PlaceCaret();
      return TRUE;
    }
    case EM_SCROLL: {
      if (!multiLine_) return FALSE;
      return ScrollBy(true, static_cast<int>(wParam), 0);
    }
    case EM_SCROLLCARET:
      if (ScrollCaretIntoView()) InvalidateRect(window_, nullptr, TRUE);
      UpdateScrollBars();
      PlaceCaret();
      return TRUE;
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
    case EM_SETPASSWORDCHAR: {
      passwordChar_ = static_cast<char>(wParam);
      LONG_PTR style = GetWindowLongPtr(window_, GWL_STYLE);
      SetWindowLongPtr(window_, GWL_STYLE, passwordChar_ ? style | ES_PASSWORD : style & ~static_cast<LONG_PTR>(ES_PASSWORD));
      otherWidths_.clear();
      text_.Relayout();
      InvalidateRect(window_, nullptr, TRUE);
      PlaceCaret();
      return 0;
    }
    case EM_GETPASSWORDCHAR: return (Style() & ES_PASSWORD) ? static_cast<unsigned char>(passwordChar_) : 0;
    case EM_SETREADONLY: {
      LONG_PTR style = GetWindowLongPtr(window_, GWL_STYLE);
      SetWindowLongPtr(window_, GWL_STYLE, wParam ? style | ES_READONLY : style & ~static_cast<LONG_PTR>(ES_READONLY));
      InvalidateRect(window_, nullptr, TRUE);
      return TRUE;
    }
    case EM_SETMARGINS:
      if (wParam == EC_USEFONTINFO) {
        UseFontMargins();
      } else {
        if (wParam & EC_LEFTMARGIN) leftMargin_ = LOWORD(lParam);
        if (wParam & EC_RIGHTMARGIN) rightMargin_ = HIWORD(lParam);
      }
      if (!rectSet_) ResetRect();
      InvalidateRect(window_, nullptr, TRUE);
      PlaceCaret();
      return 0;
    case EM_GETMARGINS: return Pair(leftMargin_, rightMargin_);
    case EM_POSFROMCHAR: {
      const int pos = static_cast<int>(wParam);
      if (pos < 0 || pos >= text_.Length()) return -1;
      POINT p = PosToPoint(pos);
      return Pair(p.x, p.y);
    }
    case EM_CHARFROMPOS: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const int pos = PointToPos(p);
      return Pair(pos, multiLine_ ? text_.LineFromPos(pos) : 0);
    }
    case WM_STYLECHANGED:
      text_.SetWrapWidth(Wraps() ? rect_.right - rect_.left : 0);
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
  }
  return DefWindowProc(window_, message, wParam, lParam);
}
