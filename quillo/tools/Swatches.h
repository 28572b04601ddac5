#pragma once
// The main window's two colour swatches as the tools see them: a swatch takes a colour
// together with its hue, saturation and value (kept in its Tag as H << 16 | S << 8 | V, which
// the colour keys step), and a colour is read out as the status bar shows it.

#include <cstdint>

#include "platform/rtl/AnsiString.h"

class TPanel;

// The swatch's colour := rgb (0x00RRGGBB), its Tag := the packed hue, saturation and value.
void SetSwatchColour(TPanel* swatch, std::uint32_t rgb);
// The swatch's colour as 0x00RRGGBB (0 without a swatch).
std::uint32_t SwatchColour(const TPanel* swatch);
// H << 16 | S << 8 | V of a colour 0x00RRGGBB.
int PackedHSV(std::uint32_t rgb);

// "r:R g:G b:B a:A" of a pixel 0xTTRRGGBB (A the top byte), each value two upper-case
// hexadecimal digits when the setting ColorInHex is on, else decimal.
AnsiString ColourReadout(std::uint32_t pixel);
// Shows a readout in the active document window's sizes panel; an empty text clears it.
void ShowColourReadout(const AnsiString& text);
