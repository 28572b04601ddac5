// Tiles, cascades and the rows of minimised windows.

#include "platform/user/WindowArrange.h"

#include <algorithm>

#include "platform/user/Window.h"
#include "platform/user/WindowRegistry.h"

namespace {

int FloorSqrt(int n) {
  int k = 1;
  while ((k + 1) * (k + 1) <= n) ++k;
  return k;
}

// The i-th of `parts` equal pieces of [from, to), the last one taking the remainder.
std::pair<LONG, LONG> Piece(LONG from, LONG to, int i, int parts) {
  LONG length = to - from;
  return {from + length * i / parts, from + length * (i + 1) / parts};
}

bool IsShownIcon(HWND window) {
  WindowObject* w = LiveWindow(window);
  return w && (w->style & WS_VISIBLE) && (w->style & WS_MINIMIZE) && !w->destroying;
}

std::vector<HWND> IconicChildren(HWND parent, HWND except) {
  std::vector<HWND> icons;
  if (WindowObject* p = LiveWindow(parent))
    for (HWND c : p->children)
      if (c != except && IsShownIcon(c)) icons.push_back(c);
  return icons;
}

}  // namespace

std::vector<RECT> TileRects(const RECT& area, int count, bool horizontal) {
  std::vector<RECT> tiles;
  if (count <= 0) return tiles;
  int perLine = FloorSqrt(count);
  int lines = count / perLine;
  for (int line = 0; line < lines; ++line) {
    int inLine = line == lines - 1 ? count - perLine * (lines - 1) : perLine;
    for (int j = 0; j < inLine; ++j) {
      if (horizontal) {
        auto [top, bottom] = Piece(area.top, area.bottom, line, lines);
        auto [left, right] = Piece(area.left, area.right, j, inLine);
        tiles.push_back(RECT{left, top, right, bottom});
      } else {
        auto [left, right] = Piece(area.left, area.right, line, lines);
        auto [top, bottom] = Piece(area.top, area.bottom, j, inLine);
        tiles.push_back(RECT{left, top, right, bottom});
      }
    }
  }
  return tiles;
}

int CascadeStep() { return GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME); }

RECT CascadeRect(const RECT& area, int k) {
  int step = CascadeStep();
  int width = std::max<int>(0, area.right - area.left), height = std::max<int>(0, area.bottom - area.top);
  int steps = std::min(width, height) / (3 * step);
  int offset = (std::max(0, k) % (steps + 1)) * step;
  LONG left = area.left + offset, top = area.top + offset;
  return RECT{left, top, left + width - steps * step, top + height - steps * step};
}

int IconSlotsPerRow(const RECT& area) {
  return std::max(1, static_cast<int>(area.right - area.left) / GetSystemMetrics(SM_CXMINSPACING));
}

RECT IconSlotRect(const RECT& area, int slot) {
  int perRow = IconSlotsPerRow(area);
  int row = slot / perRow, column = slot % perRow;
  LONG left = area.left + column * GetSystemMetrics(SM_CXMINSPACING);
  LONG bottom = area.bottom - row * GetSystemMetrics(SM_CYMINSPACING);
  return RECT{left, bottom - GetSystemMetrics(SM_CYMINIMIZED), left + GetSystemMetrics(SM_CXMINIMIZED), bottom};
}

RECT IconArea(HWND parent) {
  RECT area{};
  if (parent == wm::Windows().Desktop()) {
    SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
    return area;
  }
  GetClientRect(parent, &area);
  return area;
}

RECT FreeIconSlot(HWND window) {
  WindowObject* w = LiveWindow(window);
  RECT area = IconArea(w->parent);
  std::vector<HWND> icons = IconicChildren(w->parent, window);
  for (int slot = 0;; ++slot) {
    RECT r = IconSlotRect(area, slot), overlap;
    bool taken = std::any_of(icons.begin(), icons.end(),
                             [&](HWND icon) { return IntersectRect(&overlap, &r, &LiveWindow(icon)->rect); });
    if (!taken) return r;
  }
}

int IconRowsHeight(HWND parent) {
  int count = static_cast<int>(IconicChildren(parent, nullptr).size());
  if (count == 0) return 0;
  int perRow = IconSlotsPerRow(IconArea(parent));
  return (count + perRow - 1) / perRow * GetSystemMetrics(SM_CYMINSPACING);
}

// The icons keep their order: rows from the bottom, then left to right.
UINT ArrangeIconicWindows(HWND parent) {
  if (!LiveWindow(parent)) return 0;
  RECT area = IconArea(parent);
  std::vector<HWND> icons = IconicChildren(parent, nullptr);
  int rowHeight = GetSystemMetrics(SM_CYMINSPACING);
  auto row = [&](HWND icon) { return (area.bottom - LiveWindow(icon)->rect.bottom) / rowHeight; };
  std::stable_sort(icons.begin(), icons.end(), [&](HWND a, HWND b) {
    if (row(a) != row(b)) return row(a) < row(b);
    return LiveWindow(a)->rect.left < LiveWindow(b)->rect.left;
  });
  for (size_t i = 0; i < icons.size(); ++i) {
    RECT r = IconSlotRect(area, static_cast<int>(i));
    if (LiveWindow(icons[i]))
      SetWindowPos(icons[i], nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return static_cast<UINT>(rowHeight);
}
