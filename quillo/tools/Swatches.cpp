#include "quillo/tools/Swatches.h"

#include <cstdio>

#include "platform/gdi/WinDefs.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/tools/ColorSpace.h"

int PackedHSV(std::uint32_t rgb) {
  int h = 0, s = 0, v = 0;
  RGB2HSV(static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF), static_cast<int>(rgb & 0xFF), h, s,
          v);
  return h << 16 | s << 8 | v;
}

void SetSwatchColour(TPanel* swatch, std::uint32_t rgb) {
  if (!swatch) return;
  swatch->SetColor(static_cast<TColor>(ColorFromPixel(rgb & 0xFFFFFFu)));
  swatch->SetTag(PackedHSV(rgb));
}

std::uint32_t SwatchColour(const TPanel* swatch) {
  return swatch ? PixelFromColor(ColorToRGB(swatch->GetColor())) & 0xFFFFFFu : 0;
}

AnsiString ColourReadout(std::uint32_t pixel) {
  const char* format = Settings.ColorInHex ? "r:%02X g:%02X b:%02X a:%02X" : "r:%u g:%u b:%u a:%u";
  char text[48];
  std::snprintf(text, sizeof text, format, pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF, pixel >> 24);
  return text;
}

void ShowColourReadout(const AnsiString& text) {
  if (ImageForm) ImageForm->SetPanelText(spSizes, text);
}
