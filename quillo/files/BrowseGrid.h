#pragma once
// Where the image browser puts things: the thumbnail grid's columns, each entry's box and
// caption, the panel's height, the entries the window shows, and a caption cut to its box.

#include <functional>

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Types.h"

namespace browse_grid {

constexpr int kColumnPitch = 135;
constexpr int kRowPitch = 118;
constexpr int kBoxWidth = 120;
constexpr int kBoxHeight = 90;
constexpr int kBoxInset = 4;
constexpr int kCaptionTop = 100;
constexpr int kCaptionHeight = 18;

// At least one column, however narrow the window.
int Columns(int clientWidth);
// Entry n's 120 x 90 box in the panel.
TRect Box(int n, int columns);
// A thumbnail of w x h centred in entry n's box.
TRect ThumbPlace(int n, int columns, int w, int h);
TPoint CaptionPlace(int n, int columns);
int PanelHeight(int entries, int columns);

// The entries a window scrolled to scrollTop and height tall shows, first..last; clamped to
// the entries, so last < first when it shows none.
struct Range {
  int first = 0;
  int last = -1;
};
Range Visible(int scrollTop, int height, int columns, int entries);

// The caption as it fits width: whole, else its longest beginning followed by "...".
AnsiString FitCaption(const AnsiString& text, int width, const std::function<int(const AnsiString&)>& measure);

}  // namespace browse_grid
