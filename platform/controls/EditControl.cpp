// An edit window's text, selection and undo.

#include "platform/controls/EditControl.h"

#include <algorithm>
#include <cstring>

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
