// An edit window's keys, characters, mouse and clipboard commands.

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/controls/EditControl.h"
#include "platform/user/Clipboard.h"

namespace {

constexpr UINT_PTR kScrollTimer = 1;
constexpr UINT kScrollInterval = 50;

bool KeyIsDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

}  // namespace

LRESULT EditControl::DialogCode(const MSG* msg) const {
  LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
  if (!multiLine_) return code;
  // A multi-line edit wants every key, except that in a dialog Tab moves on, Esc cancels and
  // Enter presses the default button unless it has ES_WANTRETURN.
  if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR)) {
    if (msg->wParam == VK_TAB || msg->wParam == VK_ESCAPE) return code;
    if (msg->wParam == VK_RETURN && !(Style() & ES_WANTRETURN)) return code;
  }
  return code | DLGC_WANTALLKEYS;
}

void EditControl::MoveCaret(int pos, bool extend) {
  SetSelection(extend ? anchor_ : pos, pos);
}

LRESULT EditControl::OnKeyDown(int vk) {
  const bool shift = KeyIsDown(VK_SHIFT), ctrl = KeyIsDown(VK_CONTROL);
  const int line = text_.LineFromPos(caret_);
  auto keepX = [&] {
    if (desiredX_ < 0) desiredX_ = text_.XOf(line, caret_);
  };
  auto toLine = [&](int target) {
    keepX();
    target = std::clamp(target, 0, text_.LineCount() - 1);
    const int x = desiredX_;
    MoveCaret(text_.PosAtX(target, x), shift);
    desiredX_ = x;
  };
  switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: {
      const bool back = vk == VK_LEFT || (vk == VK_UP && !multiLine_);
      if ((vk == VK_UP || vk == VK_DOWN) && multiLine_) {
        toLine(line + (vk == VK_UP ? -1 : 1));
        return 0;
      }
      // Without Shift the caret steps from where it is and the selection goes, as the
      // standard control does (it does not jump to the selection's edge).
      desiredX_ = -1;
      int pos = ctrl ? (back ? text_.WordLeft(caret_) : text_.WordRight(caret_))
                     : (back ? text_.Prev(caret_) : text_.Next(caret_));
      MoveCaret(pos, shift);
      return 0;
    }
    case VK_HOME:
      desiredX_ = -1;
      MoveCaret(ctrl ? 0 : text_.LineAt(line).start, shift);
      return 0;
    case VK_END:
      desiredX_ = -1;
      MoveCaret(ctrl ? text_.Length() : text_.LineAt(line).end, shift);
      return 0;
    case VK_PRIOR:
    case VK_NEXT: {
      if (!multiLine_) return 0;
      const int page = std::max(1, VisibleLines());
      const int step = vk == VK_PRIOR ? -page : page;
      keepX();
      const int x = desiredX_;
      ScrollTo(topLine_ + step, xOffset_, false);
      toLine(line + step);
      desiredX_ = x;
      return 0;
    }
    case VK_DELETE:
      if (shift) SendMessage(window_, WM_CUT, 0, 0);
      else if (!ReadOnly()) DeleteForward();
      return 0;
    case VK_INSERT:
      if (ctrl) SendMessage(window_, WM_COPY, 0, 0);
      else if (shift) SendMessage(window_, WM_PASTE, 0, 0);
      return 0;
  }
  return 0;
}

void EditControl::OnChar(unsigned code) {
  switch (code) {
    // The clipboard keys send the window its commands, so that a subclass can refuse them.
    case 0x01: SetSelection(0, text_.Length()); return;  // Ctrl+A
    case 0x03: SendMessage(window_, WM_COPY, 0, 0); return;   // Ctrl+C
    case 0x16: SendMessage(window_, WM_PASTE, 0, 0); return;  // Ctrl+V
    case 0x18: SendMessage(window_, WM_CUT, 0, 0); return;    // Ctrl+X
    case 0x1A: SendMessage(window_, WM_UNDO, 0, 0); return;   // Ctrl+Z
    case '\b':
      if (ReadOnly()) MessageBeep(0);
      else Backspace();
      return;
    case '\r':
      if (multiLine_) InsertTyped("\r\n");
      return;
    case '\t':
      if (multiLine_) InsertTyped("\t");
      return;
  }
  if (code < 0x20 || code == 0x7F) return;
  std::string bytes;
  if (code >= 0x100) {
    // A whole character given by its code point.
    char32_t cp = code;
    if (cp < 0x800) {
      bytes = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
    } else if (cp < 0x10000) {
      bytes = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
               static_cast<char>(0x80 | (cp & 0x3F))};
    } else {
      bytes = {static_cast<char>(0xF0 | (cp >> 18)), static_cast<char>(0x80 | ((cp >> 12) & 0x3F)),
               static_cast<char>(0x80 | ((cp >> 6) & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
    }
  } else if (code >= 0x80) {
    // Text input arrives one byte of UTF-8 at a time: a character goes in whole.
    pendingBytes_.push_back(static_cast<char>(code));
    const unsigned char lead = static_cast<unsigned char>(pendingBytes_[0]);
    const size_t need = (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 1;
    if (pendingBytes_.size() < need && (pendingBytes_.size() == 1 || (code & 0xC0) == 0x80)) return;
    bytes.swap(pendingBytes_);
  } else {
    bytes = std::string(1, static_cast<char>(code));
    if (!pendingBytes_.empty()) bytes.insert(0, std::exchange(pendingBytes_, std::string()));
  }
  if (ReadOnly()) {
    MessageBeep(0);
    return;
  }
  if ((Style() & ES_NUMBER) && !(bytes.size() == 1 && bytes[0] >= '0' && bytes[0] <= '9')) {
    MessageBeep(0);
    return;
  }
  InsertTyped(bytes);
}

void EditControl::InsertTyped(std::string_view text) {
  if (ReadOnly()) {
    MessageBeep(0);
    return;
  }
  ReplaceSelection(text, Source::User, UndoKind::Typing);
}

void EditControl::Backspace() {
  if (HasSelection()) {
    ReplaceSelection("", Source::User, UndoKind::Other);
    return;
  }
  if (caret_ == 0) return;
  anchor_ = text_.Prev(caret_);
  ReplaceSelection("", Source::User, UndoKind::Backspace);
}

void EditControl::DeleteForward() {
  if (HasSelection()) {
    ReplaceSelection("", Source::User, UndoKind::Other);
    return;
  }
  if (caret_ == text_.Length()) return;
  anchor_ = text_.Next(caret_);
  ReplaceSelection("", Source::User, UndoKind::Delete);
}

void EditControl::StartTracking(POINT p) {
  tracking_ = true;
  lastMouse_ = p;
  SetCapture(window_);
  SetTimer(window_, kScrollTimer, kScrollInterval, nullptr);
}

void EditControl::OnMouseDown(POINT p, bool extend) {
  if (!focused_) SetFocus(window_);
  if (GetFocus() != window_) return;
  desiredX_ = -1;
  byWords_ = false;
  const int pos = PointToPos(p);
  SetSelection(extend ? anchor_ : pos, pos);
  StartTracking(p);
}

// A double-click selects a word; dragging on from there selects whole words.
void EditControl::OnDoubleClick(POINT p) {
  if (GetFocus() != window_) return;
  text_.WordAt(PointToPos(p), wordStart_, wordEnd_);
  desiredX_ = -1;
  SetSelection(wordStart_, wordEnd_);
  byWords_ = true;
  StartTracking(p);
}

void EditControl::ExtendTo(POINT p, bool scroll) {
  const int pos = PointToPos(p);
  if (!byWords_) {
    SetSelection(anchor_, pos, scroll);
    return;
  }
  int start = 0, end = 0;
  text_.WordAt(pos, start, end);
  if (start < wordStart_) SetSelection(wordEnd_, start, scroll);
  else SetSelection(wordStart_, std::max(end, wordEnd_), scroll);
}

void EditControl::OnMouseMove(POINT p) {
  if (!tracking_) return;
  lastMouse_ = p;
  ExtendTo(p, true);
}

// While the button is held outside the text, the text scrolls towards the mouse.
void EditControl::OnTimer() {
  if (!tracking_) return;
  const POINT p = lastMouse_;
  int top = topLine_, x = xOffset_;
  if (multiLine_ && p.y < rect_.top) --top;
  else if (multiLine_ && p.y >= rect_.bottom) ++top;
  if (p.x < rect_.left) x -= averageWidth_;
  else if (p.x >= rect_.right) x += averageWidth_;
  if (top == topLine_ && x == xOffset_) return;
  ScrollTo(top, x, false);
  ExtendTo(p, false);
}

void EditControl::OnMouseUp() {
  if (!tracking_) return;
  tracking_ = false;
  byWords_ = false;
  KillTimer(window_, kScrollTimer);
  if (GetCapture() == window_) ReleaseCapture();
}

bool EditControl::Copy() {
  // A password is never given away.
  if (!HasSelection() || (Style() & ES_PASSWORD)) return false;
  if (!OpenClipboard(window_)) return false;
  EmptyClipboard();
  const std::string text = SelectedText();
  if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
  }
  CloseClipboard();
  return true;
}

void EditControl::Cut() {
  if (ReadOnly() || !HasSelection() || !Copy()) return;
  ReplaceSelection("", Source::User, UndoKind::Other);
}

void EditControl::Clear() {
  if (ReadOnly() || !HasSelection()) return;
  ReplaceSelection("", Source::User, UndoKind::Other);
}

void EditControl::Paste() {
  if (ReadOnly() || !IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(window_)) return;
  std::string text;
  if (HANDLE block = GetClipboardData(CF_TEXT)) {
    const char* p = static_cast<const char*>(GlobalLock(block));
    if (p) text.assign(p, strnlen(p, GlobalSize(block)));
    GlobalUnlock(block);
  }
  CloseClipboard();
  ReplaceSelection(text, Source::User, UndoKind::Other);
}
