// The system's classic icons: drawn with GDI for message boxes and captions, and made into
// icon pictures for LoadIcon by drawing them once over black and once over white.

#include "platform/user/SystemIcons.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/user/Dialog.h"

namespace {

void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
  RECT rect{l, t, r, b};
  HBRUSH brush = CreateSolidBrush(c);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void Shape(HDC dc, COLORREF fill, COLORREF outline, const std::function<void()>& draw) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, outline);
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  draw();
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

// A glyph of '#' cells, each cell scale pixels square.
void Glyph(HDC dc, int x, int y, const std::vector<const char*>& rows, int scale, COLORREF c) {
  for (size_t r = 0; r < rows.size(); ++r)
    for (int k = 0; rows[r][k]; ++k)
      if (rows[r][k] == '#') Fill(dc, x + k * scale, y + static_cast<int>(r) * scale, x + (k + 1) * scale, y + (static_cast<int>(r) + 1) * scale, c);
}

void Bubble(HDC dc, int x, int y) {
  Shape(dc, RGB(255, 255, 255), RGB(0, 0, 0), [&] {
    Ellipse(dc, x + 1, y + 1, x + 31, y + 26);
    POINT tail[] = {{x + 8, y + 22}, {x + 6, y + 31}, {x + 15, y + 24}};
    Polygon(dc, tail, 3);
  });
  Fill(dc, x + 8, y + 21, x + 15, y + 24, RGB(255, 255, 255));
}

}  // namespace

BOOL DrawMessageBoxIcon(HDC dc, int x, int y, UINT icon) {
  switch (icon & 0xF0) {
    case MB_ICONHAND:
      Shape(dc, RGB(255, 0, 0), RGB(128, 0, 0), [&] { Ellipse(dc, x + 1, y + 1, x + 31, y + 31); });
      for (int i = 0; i < 12; ++i) {  // the white cross, three pixels thick
        Fill(dc, x + 10 + i, y + 10 + i - 1, x + 11 + i, y + 10 + i + 2, RGB(255, 255, 255));
        Fill(dc, x + 21 - i, y + 10 + i - 1, x + 22 - i, y + 10 + i + 2, RGB(255, 255, 255));
      }
      return TRUE;
    case MB_ICONQUESTION:
      Bubble(dc, x, y);
      Glyph(dc, x + 11, y + 5, {" ### ", "#   #", "    #", "   # ", "  #  ", "     ", "  #  "}, 2, RGB(0, 0, 255));
      return TRUE;
    case MB_ICONEXCLAMATION: {
      Shape(dc, RGB(255, 255, 0), RGB(0, 0, 0), [&] {
        POINT triangle[] = {{x + 15, y + 1}, {x + 30, y + 29}, {x + 1, y + 29}};
        Polygon(dc, triangle, 3);
      });
      Glyph(dc, x + 14, y + 9, {"#", "#", "#", "#", "#", " ", "#"}, 2, RGB(0, 0, 0));
      Fill(dc, x + 16, y + 9, x + 17, y + 19, RGB(0, 0, 0));
      return TRUE;
    }
    case MB_ICONASTERISK:
      Bubble(dc, x, y);
      Glyph(dc, x + 13, y + 4, {" ##", "   ", "## ", " # ", " # ", " # ", "###"}, 2, RGB(0, 0, 255));
      return TRUE;
  }
  return FALSE;
}


void DrawWindowGlyph(HDC dc, const RECT& frame) {
  FillRect(dc, &frame, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWTEXT));
  RECT bar{frame.left + 1, frame.top + 1, frame.right - 1, frame.top + 1 + (frame.bottom - frame.top) / 4};
  FillRect(dc, &bar, GetSysColorBrush(COLOR_ACTIVECAPTION));
}

namespace {

constexpr int kIconSize = 32;

// The message box icon a standard icon number shows; 0 for the application's window.
UINT MessageBoxIconOf(std::uintptr_t id) {
  switch (id) {
    case 32513: return MB_ICONHAND;
    case 32514: return MB_ICONQUESTION;
    case 32515: return MB_ICONEXCLAMATION;
    case 32516: return MB_ICONASTERISK;
  }
  return 0;
}

// The square drawn over a background colour, top row first (0x00RRGGBB).
std::vector<std::uint32_t> Render(const std::function<void(HDC)>& draw, std::uint32_t background) {
  BITMAPINFO info{};
  info.bmiHeader.biWidth = kIconSize;
  info.bmiHeader.biHeight = -kIconSize;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<std::uint32_t> pixels(kIconSize * kIconSize, background);
  if (!bitmap || !bits) return pixels;
  auto* row = static_cast<std::uint32_t*>(bits);
  std::fill(row, row + pixels.size(), background);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  draw(dc);
  GdiFlush();
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = row[i] & 0xFFFFFF;
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return pixels;
}

}  // namespace

std::optional<IconImage> StandardIconImage(std::uintptr_t id) {
  std::function<void(HDC)> draw;
  if (id == 32512 || id == 32517) {  // IDI_APPLICATION, IDI_WINLOGO
    draw = [](HDC dc) { DrawWindowGlyph(dc, RECT{2, 4, kIconSize - 2, kIconSize - 4}); };
  } else if (UINT kind = MessageBoxIconOf(id)) {
    draw = [kind](HDC dc) { DrawMessageBoxIcon(dc, 0, 0, kind); };
  } else {
    return std::nullopt;
  }
  // What the drawing left alone differs between the two backgrounds: that is the mask.
  std::vector<std::uint32_t> overBlack = Render(draw, 0x000000), overWhite = Render(draw, 0xFFFFFF);
  IconImage image;
  image.width = image.height = kIconSize;
  image.bits = 32;
  image.colour.resize(overBlack.size());
  image.mask.resize(overBlack.size());
  for (size_t i = 0; i < overBlack.size(); ++i) {
    bool clear = overBlack[i] != overWhite[i];
    image.mask[i] = clear ? 1 : 0;
    image.colour[i] = clear ? 0 : overBlack[i];
  }
  return image;
}
