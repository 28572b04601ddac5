#include "quillo/components/edits/MaskEdit.h"

#include <cctype>

#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Messages.h"

QUILLO_DEFINE_CLASS(TCustomMaskEdit, TCustomEdit)

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::SetEditMask(const AnsiString& mask) {
  if (editMask_ == mask) return;
  const AnsiString text = GetText();
  editMask_ = mask;
  mask_.clear();
  blank_ = ' ';
  // "mask;save literals;blank": only the first field describes places.
  const size_t first = mask.find(';');
  const AnsiString body = mask.substr(0, first);
  if (first != AnsiString::npos) {
    const size_t second = mask.find(';', first + 1);
    if (second != AnsiString::npos && second + 1 < mask.size()) blank_ = mask[second + 1];
  }
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    switch (c) {
      case '!': case '<': case '>': continue;  // case and blank-trimming switches: no place
      case '\\':
        if (i + 1 < body.size()) mask_.push_back(Place{0, body[++i]});
        continue;
      case '0': case '9': case '#': case 'L': case 'l': case 'A': case 'a': case 'C': case 'c':
        mask_.push_back(Place{c, 0});
        continue;
      case '/': mask_.push_back(Place{0, DateSeparator}); continue;
      case ':': mask_.push_back(Place{0, TimeSeparator}); continue;
      default: mask_.push_back(Place{0, c});
    }
  }
  SetText(text);
}

bool TCustomMaskEdit::IsPlaceholder(int pos) const {
  return pos >= 0 && pos < static_cast<int>(mask_.size()) && mask_[static_cast<size_t>(pos)].kind != 0;
}

bool TCustomMaskEdit::Accepts(int pos, char c) const {
  const unsigned char u = static_cast<unsigned char>(c);
  switch (mask_[static_cast<size_t>(pos)].kind) {
    case '0': case '9': return std::isdigit(u) != 0;
    case '#': return std::isdigit(u) || c == '+' || c == '-';
    case 'L': case 'l': return std::isalpha(u) != 0;
    case 'A': case 'a': return std::isalnum(u) != 0;
    case 'C': case 'c': return u >= 32;
  }
  return false;
}

AnsiString TCustomMaskEdit::FormatToMask(const AnsiString& text) const {
  if (mask_.empty()) return text;
  AnsiString out;
  for (size_t i = 0; i < mask_.size(); ++i) {
    if (!mask_[i].kind) {
      out += mask_[i].literal;
      continue;
    }
    const char c = i < text.size() ? text[i] : blank_;
    out += Accepts(static_cast<int>(i), c) ? c : blank_;
  }
  return out;
}

// Text written from code is laid into the mask; writing what is there already changes nothing.
void TCustomMaskEdit::WndProc(TMessage& m) {
  if (m.Msg != WM_SETTEXT) {
    TCustomEdit::WndProc(m);
    return;
  }
  if (!IsMasked()) {
    textSetChanged_ = true;
    TCustomEdit::WndProc(m);
    return;
  }
  const AnsiString masked = FormatToMask(m.LParam ? reinterpret_cast<const char*>(m.LParam) : "");
  if (masked == GetTextBuffer()) {
    m.Result = TRUE;
    return;
  }
  textSetChanged_ = true;
  m.LParam = reinterpret_cast<LPARAM>(masked.c_str());
  TCustomEdit::WndProc(m);
}

bool TCustomMaskEdit::MaskComplete() {
  const AnsiString text = GetText();
  for (size_t i = 0; i < mask_.size(); ++i) {
    const char kind = mask_[i].kind;
    if ((kind == '0' || kind == 'L' || kind == 'A' || kind == 'C') && (i >= text.size() || text[i] == blank_))
      return false;
  }
  return true;
}

bool TCustomMaskEdit::TakeTextSetChanged() {
  const bool changed = textSetChanged_;
  textSetChanged_ = false;
  return changed;
}

bool TCustomMaskEdit::EditCanModify() { return !GetReadOnly(); }

bool TCustomMaskEdit::CanType() { return !TCustomEdit::GetReadOnly() && EditCanModify(); }

int TCustomMaskEdit::NextPlaceholder(int pos) const {
  for (int i = std::max(pos, 0); i < static_cast<int>(mask_.size()); ++i)
    if (IsPlaceholder(i)) return i;
  return -1;
}

int TCustomMaskEdit::PrevPlaceholder(int pos) const {
  for (int i = pos - 1; i >= 0; --i)
    if (IsPlaceholder(i)) return i;
  return -1;
}

void TCustomMaskEdit::Select(int start, int end) {
  SendMessage(GetHandle(), EM_SETSEL, static_cast<WPARAM>(start), end);
}

void TCustomMaskEdit::BlankRange(int from, int to) {
  AnsiString text = FormatToMask(GetText());
  for (int i = from; i < to && i < static_cast<int>(text.size()); ++i)
    if (IsPlaceholder(i)) text[static_cast<size_t>(i)] = blank_;
  SetText(text);
}

void TCustomMaskEdit::TypeChar(char c) {
  const int start = GetSelStart(), length = GetSelLength();
  // A typed literal (the date separator) steps over its place.
  if (length == 0 && start < static_cast<int>(mask_.size()) && !IsPlaceholder(start) &&
      mask_[static_cast<size_t>(start)].literal == c) {
    const int next = NextPlaceholder(start + 1);
    Select(next < 0 ? start + 1 : next, next < 0 ? start + 1 : next);
    return;
  }
  const int pos = NextPlaceholder(start);
  if (pos < 0 || !Accepts(pos, c)) {
    MessageBeep(0);
    return;
  }
  AnsiString text = FormatToMask(GetText());
  for (int i = start; i < start + length && i < static_cast<int>(text.size()); ++i)
    if (IsPlaceholder(i)) text[static_cast<size_t>(i)] = blank_;
  text[static_cast<size_t>(pos)] = c;
  SetText(text);
  SetModified(true);
  const int next = NextPlaceholder(pos + 1);
  const int caret = next < 0 ? static_cast<int>(mask_.size()) : next;
  Select(caret, caret);
}

void TCustomMaskEdit::KeyPress(char& key) {
  TCustomEdit::KeyPress(key);
  if (!IsMasked() || key == 0) return;
  if (key == 8) {
    key = 0;
    if (!CanType()) return;
    const int start = GetSelStart(), length = GetSelLength();
    if (length > 0) {
      BlankRange(start, start + length);
      Select(start, start);
    } else {
      const int prev = PrevPlaceholder(start);
      if (prev < 0) return;
      BlankRange(prev, prev + 1);
      Select(prev, prev);
    }
    return;
  }
  if (static_cast<unsigned char>(key) < 32) return;
  const char c = key;
  key = 0;
  if (CanType()) TypeChar(c);
}

void TCustomMaskEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  if (!IsMasked() || key != VK_DELETE) return;
  key = 0;
  if (!CanType()) return;
  const int start = GetSelStart(), length = GetSelLength();
  BlankRange(start, start + std::max(length, 1));
  Select(start, start);
}

void TCustomMaskEdit::WMCut(TMessage& m) {
  if (!IsMasked()) {
    TCustomEdit::WMCut(m);
    return;
  }
  CopyToClipboard();
  const int start = GetSelStart(), length = GetSelLength();
  if (CanType()) BlankRange(start, start + length);
  Select(start, start);
}

void TCustomMaskEdit::WMPaste(TMessage& m) {
  if (!IsMasked()) {
    TCustomEdit::WMPaste(m);
    return;
  }
  if (!CanType()) return;
  for (char c : Clipboard()->GetAsText()) {
    const int pos = NextPlaceholder(GetSelStart());
    if (pos < 0) break;
    if (Accepts(pos, c)) TypeChar(c);
  }
}
