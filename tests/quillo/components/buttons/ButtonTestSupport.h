#pragma once
// What the button and list tests share: glyph strips drawn in code, colours as the desktop's
// pixels read them, and a control's pixel on the screen.

#include <cstdint>
#include <initializer_list>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Control.h"
#include "support/UiDriver.h"

namespace buttons_testing {

// 0x00RRGGBB of a framework colour.
inline std::uint32_t Rgb(TColor c) {
  COLORREF v = ColorToRGB(c);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// A strip of size x size cells on a fuchsia background (its bottom-left pixel, so
// transparent): each cell a square of its colour, 4 pixels in from every edge.
inline TOwnedPtr<TBitmap> MakeStrip(std::initializer_list<TColor> cells, int size = 16) {
  auto glyph = MakeObject<TBitmap>();
  glyph->SetPixelFormat(pf24bit);
  glyph->SetSize(size * static_cast<int>(cells.size()), size);
  TCanvas* c = glyph->GetCanvas();
  c->GetBrush()->SetColor(clFuchsia);
  c->FillRect(TRect(0, 0, glyph->GetWidth(), size));
  int x = 0;
  for (TColor colour : cells) {
    c->GetBrush()->SetColor(colour);
    c->FillRect(TRect(x + 4, 4, x + size - 4, size - 4));
    x += size;
  }
  return glyph;
}

inline POINT ScreenAt(TControl* c, int x, int y) {
  TPoint p = c->ClientToScreen(TPoint(x, y));
  return POINT{p.x, p.y};
}

inline std::uint32_t PixelOf(const UiDriver& ui, TControl* c, int x, int y) {
  POINT p = ScreenAt(c, x, y);
  return ui.Pixel(p.x, p.y);
}

}  // namespace buttons_testing
