#pragma once
// Brushes written as letters: "abcd/efgh" is a brush two rows high, each letter a distinct
// opaque colour, "." the brush's outside (0xFF000000), "/" between rows; capitals R, G, B
// stand for pure red, green and blue. A pixel of another colour reads back as "?".

#include <cstdint>
#include <string>

#include "quillo/document/BrushState.h"
#include "quillo/document/UDBuffer.h"

namespace brush_letters {

inline std::uint32_t ColourOf(char c) {
  switch (c) {
    case '.': return BrushOutside;
    case 'R': return 0xFF0000;
    case 'G': return 0x00FF00;
    case 'B': return 0x0000FF;
    default: return 0x100000u + static_cast<std::uint32_t>(c) * 0x0101u;
  }
}

inline char LetterOf(std::uint32_t pixel) {
  for (const char c : std::string(".RGBabcdefghijklmnopqrstuvwxyz"))
    if (ColourOf(c) == pixel) return c;
  return '?';
}

// The picture made from the rows (all of the first row's width).
inline void Fill(UDBuffer& picture, const std::string& rows) {
  int w = 0, h = 1;
  for (const char c : rows) {
    if (c == '/') ++h;
    else if (h == 1) ++w;
  }
  picture.Alloc(w, h);
  int x = 0, y = 0;
  for (const char c : rows) {
    if (c == '/') {
      ++y;
      x = 0;
      continue;
    }
    *picture.At(picture.rect.left + x++, picture.rect.top + y) = ColourOf(c);
  }
}

inline std::string Text(const Buffer& picture) {
  std::string text;
  for (int y = 0; y < picture.Height(); ++y) {
    if (y) text += '/';
    for (int x = 0; x < picture.Width(); ++x) text += LetterOf(*picture.At(picture.rect.left + x, picture.rect.top + y));
  }
  return text;
}

// Brush from the rows, BrushShape at its size and a copy of it.
inline void SetBrush(const std::string& rows) {
  Fill(Brush, rows);
  BrushShape.Alloc(Brush.Width(), Brush.Height());
  BrushShape.Copy(Brush, {0, 0}, Buffer::kPlain);
}

inline std::string BrushText() { return Text(Brush); }

}  // namespace brush_letters
