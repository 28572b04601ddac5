// DrawText: lines, word breaks, tabs, prefixes, alignment, ellipses and CALCRECT.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/user/UserDraw.h"

namespace {

struct Line {
  std::string text;
  int prefixAt = -1;  // byte index of the underlined character, -1 for none
};

struct Layout {
  HDC dc;
  UINT format;
  int tabWidth;
};

int Width(const Layout& l, const std::string& s) {
  SIZE size{};
  if (!(l.format & DT_EXPANDTABS) || s.find('\t') == std::string::npos) {
    GetTextExtentPoint32(l.dc, s.data(), static_cast<int>(s.size()), &size);
    return size.cx;
  }
  int x = 0;
  size_t start = 0;
  while (true) {
    size_t tab = s.find('\t', start);
    std::string part = s.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    GetTextExtentPoint32(l.dc, part.data(), static_cast<int>(part.size()), &size);
    x += size.cx;
    if (tab == std::string::npos) return x;
    x = (x / l.tabWidth + 1) * l.tabWidth;
    start = tab + 1;
  }
}

// Removes the '&' prefixes, remembering the character the first one marks.
Line StripPrefix(const std::string& s, UINT format) {
  Line line;
  if (format & DT_NOPREFIX) {
    line.text = s;
    return line;
  }
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&' && i + 1 < s.size()) {
      ++i;
      if (s[i] != '&' && line.prefixAt < 0 && !(format & DT_HIDEPREFIX))
        line.prefixAt = static_cast<int>(line.text.size());
    } else if (s[i] == '&') {
      continue;
    }
    line.text += s[i];
  }
  return line;
}

// Breaks one paragraph into lines no wider than the width, at spaces where possible.
void WrapParagraph(const Layout& l, const Line& para, int width, std::vector<Line>& out) {
  const std::string& s = para.text;
  size_t start = 0;
  while (true) {
    size_t end = start, lastFit = std::string::npos;
    while (end < s.size()) {
      size_t next = s.find(' ', end);
      if (next == std::string::npos) next = s.size();
      if (Width(l, s.substr(start, next - start)) > width && lastFit != std::string::npos) break;
      lastFit = next;
      end = next == s.size() ? next : next + 1;
      if (next == s.size()) break;
    }
    size_t stop = lastFit == std::string::npos ? s.size() : lastFit;
    Line line;
    line.text = s.substr(start, stop - start);
    if (para.prefixAt >= static_cast<int>(start) && para.prefixAt < static_cast<int>(stop))
      line.prefixAt = para.prefixAt - static_cast<int>(start);
    out.push_back(line);
    start = stop;
    while (start < s.size() && s[start] == ' ') ++start;
    if (start >= s.size()) return;
  }
}

std::vector<Line> SplitLines(const Layout& l, const std::string& text, int width) {
  std::vector<std::string> paragraphs;
  if (l.format & DT_SINGLELINE) {
    paragraphs.push_back(text);
  } else {
    std::string current;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' || text[i] == '\n') {
        paragraphs.push_back(current);
        current.clear();
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      } else {
        current += text[i];
      }
    }
    paragraphs.push_back(current);
  }
  std::vector<Line> lines;
  for (const std::string& p : paragraphs) {
    Line para = StripPrefix(p, l.format);
    if ((l.format & DT_WORDBREAK) && !(l.format & DT_SINGLELINE))
      WrapParagraph(l, para, width, lines);
    else
      lines.push_back(para);
  }
  return lines;
}

// Shortens a line that does not fit with "...": at its end, or in the middle of a path,
// keeping the last part after a '/' or '\\'.
void Ellipsize(const Layout& l, Line& line, int width) {
  if (Width(l, line.text) <= width) return;
  const std::string dots = "...";
  std::string s = line.text;
  line.prefixAt = -1;
  if (l.format & DT_PATH_ELLIPSIS) {
    size_t slash = s.find_last_of("/\\");
    std::string tail = slash == std::string::npos ? s : s.substr(slash);
    std::string head = slash == std::string::npos ? "" : s.substr(0, slash);
    while (!head.empty() && Width(l, head + dots + tail) > width) head.pop_back();
    line.text = head + dots + tail;
    if (Width(l, line.text) <= width || !(l.format & DT_END_ELLIPSIS)) return;
    s = line.text;
  }
  while (!s.empty() && Width(l, s + dots) > width) s.pop_back();
  line.text = s + dots;
}

void DrawLine(const Layout& l, const Line& line, int x, int y, const RECT* clip) {
  UINT options = clip ? ETO_CLIPPED : 0;
  if (!(l.format & DT_EXPANDTABS) || line.text.find('\t') == std::string::npos) {
    ExtTextOut(l.dc, x, y, options, clip, line.text.data(), static_cast<UINT>(line.text.size()), nullptr);
  } else {
    int pen = 0;
    size_t start = 0;
    while (start <= line.text.size()) {
      size_t tab = line.text.find('\t', start);
      std::string part = line.text.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
      ExtTextOut(l.dc, x + pen, y, options, clip, part.data(), static_cast<UINT>(part.size()), nullptr);
      pen += Width(l, part);
      if (tab == std::string::npos) break;
      pen = (pen / l.tabWidth + 1) * l.tabWidth;
      start = tab + 1;
    }
  }
  if (line.prefixAt >= 0) {
    TEXTMETRIC tm;
    GetTextMetrics(l.dc, &tm);
    int before = Width(l, line.text.substr(0, line.prefixAt));
    int after = Width(l, line.text.substr(0, line.prefixAt + 1));
    HPEN pen = CreatePen(PS_SOLID, 1, GetTextColor(l.dc));
    HGDIOBJ old = SelectObject(l.dc, pen);
    MoveToEx(l.dc, x + before, y + tm.tmAscent + 1, nullptr);
    LineTo(l.dc, x + after, y + tm.tmAscent + 1);
    SelectObject(l.dc, old);
    DeleteObject(pen);
  }
}

}  // namespace

int DrawText(HDC dc, LPCSTR text, int length, RECT* rect, UINT format) {
  if (!rect || !text) return 0;
  std::string s = length < 0 ? std::string(text) : std::string(text, static_cast<size_t>(length));
  TEXTMETRIC tm;
  if (!GetTextMetrics(dc, &tm)) return 0;
  int tabStops = (format & DT_TABSTOP) ? static_cast<int>((format >> 8) & 0xFF) : 8;
  Layout l{dc, format, std::max(1, tabStops) * std::max<LONG>(1, tm.tmAveCharWidth)};
  int width = rect->right - rect->left;
  std::vector<Line> lines = SplitLines(l, s, width);
  if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))
    for (Line& line : lines) Ellipsize(l, line, width);
  int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  int total = lineHeight * static_cast<int>(lines.size());
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const Line& line : lines) widest = std::max(widest, Width(l, line.text));
    // Narrower text narrows the rectangle, a word wider than it widens it, wrapped or not.
    rect->right = rect->left + widest;
    rect->bottom = rect->top + total;
    return total;
  }
  int y = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = rect->bottom - lineHeight;
  }
  UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP);
  const RECT* clip = (format & DT_NOCLIP) ? nullptr : rect;
  for (const Line& line : lines) {
    int w = Width(l, line.text);
    int x = rect->left;
    if (format & DT_CENTER) x = rect->left + (width - w) / 2;
    else if (format & DT_RIGHT) x = rect->right - w;
    DrawLine(l, line, x, y, clip);
    y += lineHeight;
  }
  SetTextAlign(dc, oldAlign);
  if (format & (DT_VCENTER | DT_BOTTOM)) return y - rect->top;
  return total;
}
