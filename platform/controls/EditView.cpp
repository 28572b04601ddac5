// An edit window's geometry, scrolling, caret and painting.

#include <algorithm>
#include <string>

#include "platform/controls/EditControl.h"
#include "platform/user/ScrollBars.h"

namespace {

// The codes of WM_VSCROLL, WM_HSCROLL and EM_SCROLL.
constexpr int kLineUp = 0, kLineDown = 1, kPageUp = 2, kPageDown = 3, kThumbPosition = 4, kThumbTrack = 5,
              kTop = 6, kBottom = 7;

// A bar with nothing to scroll stays, disabled, as an edit's bars do.
void ShowScrollRange(HWND window, bool vertical, int max, int page, int pos) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  info.nMin = 0;
  info.nMax = max;
  info.nPage = static_cast<UINT>(page);
  info.nPos = pos;
  SetScrollInfo(window, vertical ? SB_VERT : SB_HORZ, &info, TRUE);
}

}  // namespace

void EditControl::SetFont(HFONT font, bool redraw) {
  font_ = font;
  HGDIOBJ old = SelectObject(measureDc_, font ? font : GetStockObject(SYSTEM_FONT));
  if (!measureOldFont_) measureOldFont_ = old;
  TEXTMETRIC tm{};
  GetTextMetrics(measureDc_, &tm);
  lineHeight_ = std::max<int>(1, tm.tmHeight);
  averageWidth_ = std::max<int>(1, tm.tmAveCharWidth);
  asciiWidths_.fill(-1);
  otherWidths_.clear();
  UseFontMargins();
  text_.SetTabWidth(multiLine_ ? tabUnits_ * averageWidth_ / 4 : 0);
  if (!rectSet_) ResetRect();
  else text_.Relayout();
  if (focused_) {
    CreateCaret(window_, nullptr, 1, lineHeight_);
    ShowCaret(window_);
  }
  ScrollCaretIntoView();
  UpdateScrollBars();
  PlaceCaret();
  if (redraw) InvalidateRect(window_, nullptr, TRUE);
}

void EditControl::UseFontMargins() {
  leftMargin_ = rightMargin_ = std::max(1, averageWidth_ / 4);
}

int EditControl::CharWidth(const char* bytes, int length) {
  if (Password()) {
    bytes = &passwordChar_;
    length = 1;
  }
  const unsigned char first = static_cast<unsigned char>(bytes[0]);
  if (length == 1 && first < 128 && asciiWidths_[first] >= 0) return asciiWidths_[first];
  if (length > 1 || first >= 128) {
    auto it = otherWidths_.find(std::string(bytes, static_cast<size_t>(length)));
    if (it != otherWidths_.end()) return it->second;
  }
  SIZE size{};
  GetTextExtentPoint32(measureDc_, bytes, length, &size);
  if (length == 1 && first < 128) asciiWidths_[first] = size.cx;
  else otherWidths_.emplace(std::string(bytes, static_cast<size_t>(length)), size.cx);
  return size.cx;
}

void EditControl::ResetRect() {
  RECT client;
  GetClientRect(window_, &client);
  rect_ = RECT{client.left + leftMargin_, client.top, client.right - rightMargin_, client.bottom};
  if (!multiLine_) {
    // A single line sits at the top, a pixel in where there is room.
    if (client.bottom - client.top >= lineHeight_ + 2) rect_.top += 1;
    rect_.bottom = rect_.top + lineHeight_;
  }
  rect_.right = std::max(rect_.left, rect_.right);
  rectSet_ = false;
  UpdateLayoutWidth();
}

void EditControl::SetRect(const RECT* rect, bool redraw) {
  if (!rect) {
    ResetRect();
  } else {
    rect_ = *rect;
    rect_.right = std::max(rect_.left, rect_.right);
    rect_.bottom = std::max(rect_.top, rect_.bottom);
    rectSet_ = true;
    UpdateLayoutWidth();
  }
  ScrollCaretIntoView();
  UpdateScrollBars();
  PlaceCaret();
  if (redraw) InvalidateRect(window_, nullptr, TRUE);
}

void EditControl::UpdateLayoutWidth() { text_.SetWrapWidth(Wraps() ? std::max(1, rect_.right - rect_.left) : 0); }

int EditControl::VisibleLines() const { return std::max(0, (rect_.bottom - rect_.top) / lineHeight_); }

int EditControl::LineX(int line) const {
  const int room = rect_.right - rect_.left, width = text_.LineAt(line).width;
  int shift = 0;
  const DWORD style = Style();
  if (width < room) {
    if (style & ES_CENTER) shift = (room - width) / 2;
    else if (style & ES_RIGHT) shift = room - width;
  }
  return rect_.left + shift - xOffset_;
}

POINT EditControl::PosToPoint(int pos) const {
  const int line = text_.LineFromPos(pos);
  const int y = rect_.top + (multiLine_ ? (line - topLine_) * lineHeight_ : 0);
  return POINT{LineX(line) + text_.XOf(line, pos), y};
}

int EditControl::LineAtY(int y) const {
  if (!multiLine_) return 0;
  int row = y < rect_.top ? -1 : (y - rect_.top) / lineHeight_;
  return std::clamp(topLine_ + row, 0, text_.LineCount() - 1);
}

int EditControl::PointToPos(POINT p) const {
  const int line = LineAtY(p.y);
  return text_.PosAtX(line, p.x - LineX(line));
}

// Scrolls so that the caret shows; answers whether anything scrolled.
bool EditControl::ScrollCaretIntoView() {
  const int line = text_.LineFromPos(caret_);
  int top = topLine_, x = xOffset_;
  if (multiLine_) {
    const int rows = std::max(1, VisibleLines());
    if (line < top) top = line;
    else if (line >= top + rows) top = line - rows + 1;
  }
  const int room = rect_.right - rect_.left;
  const int caretX = text_.XOf(line, caret_);
  const DWORD style = Style();
  if (style & ES_AUTOHSCROLL || (multiLine_ && !Wraps())) {
    // Jumps by a third of the width, as the standard control does, so typing does not scroll
    // at every key.
    if (caretX < x) x = std::max(0, caretX - room / 3);
    else if (caretX >= x + room) x = caretX - room + room / 3 + 1;
  } else {
    x = 0;
  }
  if (text_.LineAt(line).width < room) x = std::min(x, std::max(0, caretX - room + 1));
  x = std::max(0, x);
  if (top == topLine_ && x == xOffset_) return false;
  const bool vertical = top != topLine_, horizontal = x != xOffset_;
  topLine_ = top;
  xOffset_ = x;
  UpdateScrollBars();
  if (vertical && multiLine_) Notify(EN_VSCROLL);
  if (horizontal) Notify(EN_HSCROLL);
  return true;
}

void EditControl::ScrollTo(int top, int x, bool notify) {
  top = std::clamp(top, 0, std::max(0, text_.LineCount() - 1));
  x = std::clamp(x, 0, std::max(0, text_.WidestLine()));
  if (!multiLine_) top = 0;
  if (top == topLine_ && x == xOffset_) return;
  const bool vertical = top != topLine_;
  topLine_ = top;
  xOffset_ = x;
  InvalidateRect(window_, nullptr, TRUE);
  UpdateScrollBars();
  PlaceCaret();
  if (notify) Notify(vertical ? EN_VSCROLL : EN_HSCROLL);
}

LRESULT EditControl::ScrollBy(bool vertical, int code, int thumb) {
  const int page = std::max(1, VisibleLines());
  const int hPage = std::max(averageWidth_, (rect_.right - rect_.left) * 3 / 4);
  int top = topLine_, x = xOffset_;
  int& v = vertical ? top : x;
  const int line = vertical ? 1 : averageWidth_, step = vertical ? page : hPage;
  switch (code) {
    case kLineUp: v -= line; break;
    case kLineDown: v += line; break;
    case kPageUp: v -= step; break;
    case kPageDown: v += step; break;
    case kThumbPosition: case kThumbTrack: v = thumb; break;
    case kTop: v = 0; break;
    case kBottom: v = vertical ? text_.LineCount() - page : text_.WidestLine(); break;
    default: return 0;
  }
  if (vertical) top = std::clamp(top, 0, std::max(0, text_.LineCount() - page));
  const int before = topLine_;
  ScrollTo(top, x, true);
  return static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(topLine_ - before, TRUE)));
}

void EditControl::UpdateScrollBars() {
  const DWORD style = Style();
  if (style & WS_VSCROLL)
    ShowScrollRange(window_, true, std::max(0, text_.LineCount() - 1), std::max(1, VisibleLines()), topLine_);
  if (style & WS_HSCROLL)
    ShowScrollRange(window_, false, text_.WidestLine(), std::max(1, rect_.right - rect_.left), xOffset_);
}

void EditControl::PlaceCaret() {
  if (!focused_) return;
  POINT p = PosToPoint(caret_);
  const bool inside = p.y >= rect_.top && p.y < std::max(rect_.bottom, rect_.top + lineHeight_) &&
                      p.x >= rect_.left - 1 && p.x <= rect_.right;
  if (!inside) p = POINT{-20000, -20000};  // out of sight while the caret's line is scrolled away
  SetCaretPos(p.x, p.y);
}

void EditControl::InvalidateFromLine(int line) {
  RECT r;
  GetClientRect(window_, &r);
  if (multiLine_) r.top = std::max(r.top, rect_.top + (line - topLine_) * lineHeight_);
  if (r.top < r.bottom) InvalidateRect(window_, &r, TRUE);
}

void EditControl::InvalidateLines(int first, int last) {
  RECT r;
  GetClientRect(window_, &r);
  if (multiLine_) {
    r.top = std::max(r.top, rect_.top + (first - topLine_) * lineHeight_);
    r.bottom = std::min(r.bottom, rect_.top + (last - topLine_ + 1) * lineHeight_);
  }
  if (r.top < r.bottom) InvalidateRect(window_, &r, TRUE);
}

void EditControl::InvalidateSelection(int a, int b) {
  if (a == b) return;
  InvalidateLines(text_.LineFromPos(a), text_.LineFromPos(b));
}

HBRUSH EditControl::ColourDc(HDC dc) {
  const bool grey = ReadOnly() || !IsWindowEnabled(window_);
  const UINT message = grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  HWND parent = GetParent(window_);
  LRESULT brush = parent ? SendMessage(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window_)) : 0;
  if (!brush) brush = DefWindowProc(window_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window_));
  if (!IsWindowEnabled(window_)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  return reinterpret_cast<HBRUSH>(brush);
}

void EditControl::Paint(HDC dc, const RECT& area) {
  HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(SYSTEM_FONT));
  HBRUSH brush = ColourDc(dc);
  FillRect(dc, &area, brush);
  const COLORREF text = GetTextColor(dc);
  SaveDC(dc);
  RECT clip = rect_;
  if (!multiLine_) {
    // A single line may use the whole client height below its rectangle's top.
    RECT client;
    GetClientRect(window_, &client);
    clip.bottom = std::max(clip.bottom, client.bottom);
  }
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  SetBkMode(dc, TRANSPARENT);
  const bool showSelection = focused_ || (Style() & ES_NOHIDESEL);
  const int first = multiLine_ ? std::max(topLine_, topLine_ + (area.top - rect_.top) / lineHeight_) : 0;
  const int last = multiLine_ ? std::min(text_.LineCount() - 1, topLine_ + (area.bottom - rect_.top) / lineHeight_) : 0;
  for (int line = first; line <= last; ++line) {
    const int y = rect_.top + (line - topLine_) * lineHeight_;
    PaintLine(dc, line, y, text, showSelection);
  }
  RestoreDC(dc, -1);
  SelectObject(dc, oldFont);
}

void EditControl::PaintLine(HDC dc, int line, int y, COLORREF text, bool showSelection) {
  const EditText::Line& l = text_.LineAt(line);
  const int selA = std::clamp(SelMin(), l.start, l.end), selB = std::clamp(SelMax(), l.start, l.end);
  const bool selected = showSelection && selA < selB;
  SetTextColor(dc, text);
  if (!selected) {
    DrawRun(dc, line, l.start, l.end, y);
    return;
  }
  DrawRun(dc, line, l.start, selA, y);
  DrawRun(dc, line, selB, l.end, y);
  const int x0 = LineX(line);
  RECT band{x0 + text_.XOf(line, selA), y, x0 + text_.XOf(line, selB), y + lineHeight_};
  FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
  SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  DrawRun(dc, line, selA, selB, y);
  SetTextColor(dc, text);
}

// Draws the characters [from, to) of a line where the layout puts them; tabs are gaps.
void EditControl::DrawRun(HDC dc, int line, int from, int to, int y) {
  if (from >= to) return;
  const int x0 = LineX(line);
  const std::string& s = text_.Text();
  if (Password()) {
    int count = 0;
    for (int p = from; p < to; p += EditText::CharLength(s, p)) ++count;
    const std::string dots(static_cast<size_t>(count), passwordChar_);
    TextOut(dc, x0 + text_.XOf(line, from), y, dots.data(), count);
    return;
  }
  int start = from;
  while (start < to) {
    int end = start;
    while (end < to && s[static_cast<size_t>(end)] != '\t') ++end;
    if (end > start) TextOut(dc, x0 + text_.XOf(line, start), y, s.data() + start, end - start);
    start = end + 1;
  }
}
