#pragma once
// The about panel's picture, drawn when the panel is made: a quill over a painter's palette
// on a night-blue ground, the product's name, and the web link as a globe badge in the
// lower right, exactly where the panel's hot area for the link lies.

#include "platform/vcl/Types.h"
#include "platform/rtl/AnsiString.h"

class TCanvas;

constexpr int AboutPictureWidth = 436;
constexpr int AboutPictureHeight = 337;
// The web link's hot area in picture coordinates, right and bottom excluded; the badge that
// shows the link fills it.
constexpr TRect AboutLinkArea{276, 281, 325, 327};

constexpr bool InAboutLinkArea(int x, int y) {
  return x >= AboutLinkArea.left && x < AboutLinkArea.right && y >= AboutLinkArea.top && y < AboutLinkArea.bottom;
}

// Paints the whole picture (AboutPictureWidth x AboutPictureHeight) on the canvas, with the
// product's name and a line under it in the loaded language.
void PaintAboutPicture(TCanvas* canvas, const AnsiString& productName, const AnsiString& tagline);
