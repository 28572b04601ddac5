#include "platform/controls/EditText.h"

#include <algorithm>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

EditText::EditText() : measure_([](const char*, int) { return 1; }) { LayOutAll(); }

void EditText::SetCharWidth(CharWidth measure) {
  measure_ = std::move(measure);
  LayOutAll();
}

void EditText::SetMultiLine(bool multiLine) {
  if (multiLine_ == multiLine) return;
  multiLine_ = multiLine;
  LayOutAll();
}

void EditText::SetWrapWidth(int pixels) {
  pixels = std::max(0, pixels);
  if (wrapWidth_ == pixels) return;
  wrapWidth_ = pixels;
  LayOutAll();
}

void EditText::SetTabWidth(int pixels) {
  if (tabWidth_ == pixels) return;
  tabWidth_ = std::max(0, pixels);
  LayOutAll();
}

void EditText::Relayout() { LayOutAll(); }

void EditText::SetText(std::string text) {
  text_ = std::move(text);
  LayOutAll();
}

int EditText::CharLength(std::string_view s, int pos) {
  const int size = static_cast<int>(s.size());
  if (pos >= size) return 0;
  unsigned char c = static_cast<unsigned char>(s[static_cast<size_t>(pos)]);
  int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
  if (n == 1 || pos + n > size) return 1;
  for (int k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[static_cast<size_t>(pos + k)]) & 0xC0) != 0x80) return 1;
  if (n == 2 && c < 0xC2) return 1;  // an overlong form is not a character
  return n;
}

int EditText::Next(int pos) const {
  pos = std::clamp(pos, 0, Length());
  if (pos == Length()) return pos;
  if (text_[static_cast<size_t>(pos)] == '\r' && pos + 1 < Length() && text_[static_cast<size_t>(pos + 1)] == '\n')
    return pos + 2;
  return pos + CharLength(text_, pos);
}

int EditText::Snap(int pos) const {
  pos = std::clamp(pos, 0, Length());
  // A character is at most four bytes: look back that far for the one that covers pos.
  for (int back = 1; back <= 3 && pos - back >= 0; ++back) {
    int start = pos - back;
    if (CharLength(text_, start) > back) return start;
  }
  if (pos > 0 && pos < Length() && text_[static_cast<size_t>(pos)] == '\n' && text_[static_cast<size_t>(pos - 1)] == '\r')
    return pos - 1;
  return pos;
}

int EditText::Prev(int pos) const {
  pos = std::clamp(pos, 0, Length());
  if (pos == 0) return 0;
  return Snap(pos - 1);
}

int EditText::WordLeft(int pos) const {
  pos = Snap(pos);
  while (pos > 0 && IsSpace(text_[static_cast<size_t>(pos - 1)])) --pos;
  if (pos > 0 && IsLineBreak(text_[static_cast<size_t>(pos - 1)])) return Prev(pos);
  while (pos > 0 && !IsSpace(text_[static_cast<size_t>(pos - 1)]) && !IsLineBreak(text_[static_cast<size_t>(pos - 1)]))
    --pos;
  return Snap(pos);
}

int EditText::WordRight(int pos) const {
  pos = Snap(pos);
  const int n = Length();
  if (pos < n && IsLineBreak(text_[static_cast<size_t>(pos)])) return Next(pos);
  while (pos < n && !IsSpace(text_[static_cast<size_t>(pos)]) && !IsLineBreak(text_[static_cast<size_t>(pos)])) ++pos;
  while (pos < n && IsSpace(text_[static_cast<size_t>(pos)])) ++pos;
  return pos;
}

void EditText::WordAt(int pos, int& start, int& end) const {
  pos = Snap(pos);
  const int n = Length();
  start = end = pos;
  auto word = [&](int i) { return !IsSpace(text_[static_cast<size_t>(i)]) && !IsLineBreak(text_[static_cast<size_t>(i)]); };
  if (pos < n && word(pos)) {
    while (start > 0 && word(start - 1)) --start;
    while (end < n && word(end)) ++end;
  } else {
    while (start > 0 && IsSpace(text_[static_cast<size_t>(start - 1)])) --start;
  }
  while (end < n && IsSpace(text_[static_cast<size_t>(end)])) ++end;
}

bool EditText::IsBreakAt(int pos, int& length) const {
  if (!multiLine_) return false;
  const char c = text_[static_cast<size_t>(pos)];
  if (c == '\n') {
    length = 1;
    return true;
  }
  if (c == '\r' && pos + 1 < Length() && text_[static_cast<size_t>(pos + 1)] == '\n') {
    length = 2;
    return true;
  }
  return false;
}

int EditText::Width(int pos, int length, int x) const {
  if (text_[static_cast<size_t>(pos)] == '\t' && multiLine_ && tabWidth_ > 0) return tabWidth_ - x % tabWidth_;
  return measure_(text_.data() + pos, length);
}

EditText::Line EditText::LayOut(int start, int& next) const {
  Line line{start, start, 0};
  const int n = Length();
  int x = 0, pos = start, wordStart = -1, widthAtWord = 0;
  bool afterSpace = false;
  while (pos < n) {
    int breakLength = 0;
    if (IsBreakAt(pos, breakLength)) {
      line.end = pos;
      line.width = x;
      next = pos + breakLength;
      return line;
    }
    const int length = CharLength(text_, pos);
    const char c = text_[static_cast<size_t>(pos)];
    const int w = Width(pos, length, x);
    if (c != ' ' && afterSpace) {
      wordStart = pos;
      widthAtWord = x;
    }
    if (multiLine_ && wrapWidth_ > 0 && c != ' ' && pos > start && x + w > wrapWidth_) {
      // Spaces hang at the end of the line; the word that does not fit starts the next one,
      // unless it is the line's only word, which is cut here.
      if (wordStart > start) {
        line.end = next = wordStart;
        line.width = widthAtWord;
      } else {
        line.end = next = pos;
        line.width = x;
      }
      return line;
    }
    afterSpace = c == ' ';
    x += w;
    pos += length;
  }
  line.end = n;
  line.width = x;
  next = -1;
  return line;
}

void EditText::LayOutAll() {
  lines_.clear();
  int start = 0, next = 0;
  while (true) {
    lines_.push_back(LayOut(start, next));
    if (next < 0) break;
    start = next;
  }
}

EditText::Changed EditText::Replace(int from, int to, std::string_view text) {
  from = std::clamp(from, 0, Length());
  to = std::clamp(to, from, Length());
  int first = LineFromPos(from);
  if (multiLine_ && wrapWidth_ > 0) {
    // A word shortened here may now fit on the line before; a line cut inside a long word
    // depends on the lines that word started on.
    if (first > 0 && lines_[static_cast<size_t>(first - 1)].end == lines_[static_cast<size_t>(first)].start) --first;
    while (first > 0 && lines_[static_cast<size_t>(first - 1)].end == lines_[static_cast<size_t>(first)].start &&
           !IsSpace(text_[static_cast<size_t>(lines_[static_cast<size_t>(first)].start - 1)]))
      --first;
  }
  text_.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), text);
  const int delta = static_cast<int>(text.size()) - (to - from);
  const int editEnd = from + static_cast<int>(text.size());

  std::vector<Line> fresh;
  int start = lines_[static_cast<size_t>(first)].start, next = 0;
  size_t resume = lines_.size();  // the first old line kept, shifted by delta
  while (true) {
    fresh.push_back(LayOut(start, next));
    if (next < 0) break;
    start = next;
    if (start >= editEnd) {
      // Past the edit, a line that starts where an old one did lays out as it did.
      const int oldStart = start - delta;
      auto it = std::lower_bound(lines_.begin() + first + 1, lines_.end(), oldStart,
                                 [](const Line& l, int s) { return l.start < s; });
      if (it != lines_.end() && it->start == oldStart) {
        resume = static_cast<size_t>(it - lines_.begin());
        break;
      }
    }
  }
  std::vector<Line> tail(lines_.begin() + static_cast<long>(resume), lines_.end());
  for (Line& l : tail) {
    l.start += delta;
    l.end += delta;
  }
  lines_.resize(static_cast<size_t>(first));
  lines_.insert(lines_.end(), fresh.begin(), fresh.end());
  lines_.insert(lines_.end(), tail.begin(), tail.end());
  return Changed{first, first + static_cast<int>(fresh.size()) - 1};
}

int EditText::LineFromPos(int pos) const {
  auto it = std::upper_bound(lines_.begin(), lines_.end(), pos, [](int p, const Line& l) { return p < l.start; });
  return std::max(0, static_cast<int>(it - lines_.begin()) - 1);
}

int EditText::WidestLine() const {
  int widest = 0;
  for (const Line& l : lines_) widest = std::max(widest, l.width);
  return widest;
}

int EditText::XOf(int line, int pos) const {
  const Line& l = LineAt(line);
  pos = std::clamp(pos, l.start, l.end);
  int x = 0;
  for (int p = l.start; p < pos;) {
    const int length = CharLength(text_, p);
    x += Width(p, length, x);
    p += length;
  }
  return x;
}

int EditText::PosAtX(int line, int x) const {
  const Line& l = LineAt(line);
  int left = 0;
  for (int p = l.start; p < l.end;) {
    const int length = CharLength(text_, p);
    const int w = Width(p, length, left);
    if (x < left + (w + 1) / 2) return p;
    left += w;
    p += length;
  }
  return l.end;
}
