#include "quillo/files/BrowseGrid.h"

#include <algorithm>

namespace browse_grid {

int Columns(int clientWidth) { return std::max(1, (clientWidth + 7) / kColumnPitch); }

TRect Box(int n, int columns) {
  const int left = n % columns * kColumnPitch + kBoxInset;
  const int top = n / columns * kRowPitch + kBoxInset;
  return TRect(left, top, left + kBoxWidth, top + kBoxHeight);
}

TRect ThumbPlace(int n, int columns, int w, int h) {
  const TRect box = Box(n, columns);
  const int left = box.left + (kBoxWidth - w) / 2;
  const int top = box.top + (kBoxHeight - h) / 2;
  return TRect(left, top, left + w, top + h);
}

TPoint CaptionPlace(int n, int columns) {
  return TPoint(n % columns * kColumnPitch + kBoxInset, n / columns * kRowPitch + kCaptionTop);
}

int PanelHeight(int entries, int columns) { return (entries + columns - 1) / columns * kRowPitch + 8; }

Range Visible(int scrollTop, int height, int columns, int entries) {
  Range r;
  r.first = scrollTop / kRowPitch * columns;
  r.last = std::min((scrollTop + height) / kRowPitch * columns + columns - 1, entries - 1);
  return r;
}

AnsiString FitCaption(const AnsiString& text, int width, const std::function<int(const AnsiString&)>& measure) {
  if (measure(text) <= width) return text;
  AnsiString head = text;
  while (!head.empty() && measure(head + "...") > width) {
    head.pop_back();
    // A character of several bytes goes whole.
    while (!head.empty() && (static_cast<unsigned char>(head.back()) & 0xC0) == 0x80) head.pop_back();
  }
  return head + "...";
}

}  // namespace browse_grid
