#include "quillo/shell/ColourKeys.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/gdi/WinDefs.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/ImageForm.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/ColorSpace.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/ToolForm.h"

namespace {

constexpr int MostHue = 359;

std::array<int, 3> Rgb(std::uint32_t c) {
  return {static_cast<int>(c >> 16 & 0xFF), static_cast<int>(c >> 8 & 0xFF), static_cast<int>(c & 0xFF)};
}

std::array<int, 3> Hsv(int tag) { return {tag >> 16 & 0xFFFF, tag >> 8 & 0xFF, tag & 0xFF}; }

void ShowValues(TImageForm& window) {
  const TPanel* swatch = MainForm->DrawCol;
  const bool hex = Settings.ColorInHex;
  char text[64];
  if (ColourKeysRGB) {
    const auto [r, g, b] = Rgb(SwatchColour(swatch));
    std::snprintf(text, sizeof text, hex ? "r:%02X g:%02X b:%02X a:%02X" : "r:%d g:%d b:%d a:%d", r, g, b, 0);
  } else {
    const auto [h, s, v] = Hsv(static_cast<int>(swatch->GetTag()));
    std::snprintf(text, sizeof text, hex ? "h:%02X s:%02X v:%02X" : "h:%d s:%d v:%d", h, s, v);
  }
  window.SetPanelText(spSizes, text);
}

void ColoursChanged() {
  if (ToolForm) ToolForm->DrawPalette();
  MainForm->ColorBoxChange(MainForm, false, clNone);
}

}  // namespace

void StepDrawingColour(TImageForm& window, int component, int delta) {
  if (!MainForm || component < 0 || component > 2) return;
  TPanel* swatch = MainForm->DrawCol;
  if (ColourKeysRGB) {
    auto rgb = Rgb(SwatchColour(swatch));
    rgb[static_cast<std::size_t>(component)] = std::clamp(rgb[static_cast<std::size_t>(component)] + delta, 0, 255);
    SetSwatchColour(swatch, static_cast<std::uint32_t>(rgb[0] << 16 | rgb[1] << 8 | rgb[2]));
  } else {
    auto hsv = Hsv(static_cast<int>(swatch->GetTag()));
    int& value = hsv[static_cast<std::size_t>(component)];
    if (component == 0) value = value + delta > MostHue ? 0 : value + delta < 0 ? MostHue : value + delta;
    else value = std::clamp(value + delta, 0, 255);
    int r = 0, g = 0, b = 0;
    HSV2RGB(hsv[0], hsv[1], hsv[2], r, g, b);
    // The stepped hue, saturation and value stay as they are, also where the colour alone
    // would not tell them (a grey has no hue).
    swatch->SetColor(static_cast<TColor>(ColorFromPixel(static_cast<std::uint32_t>(r << 16 | g << 8 | b))));
    swatch->SetTag(hsv[0] << 16 | hsv[1] << 8 | hsv[2]);
  }
  ColoursChanged();
  ShowValues(window);
}

void SwapColours() {
  if (!MainForm) return;
  TPanel* a = MainForm->DrawCol;
  TPanel* b = MainForm->BackCol;
  const TColor colour = a->GetColor();
  const auto tag = a->GetTag();
  a->SetColor(b->GetColor());
  a->SetTag(b->GetTag());
  b->SetColor(colour);
  b->SetTag(tag);
  ColoursChanged();
}

void FlipColourKeysMode(TImageForm& window) {
  ColourKeysRGB = ColourKeysRGB ? 0 : 1;
  ShowValues(window);
}
