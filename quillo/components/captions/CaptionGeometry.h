#pragma once
// What the painted captions compute without a window: colour ramps and bands, the caption
// rectangle of each border style, where the caption buttons go, which part of a caption a
// point is on, and how a dithered gradient is cut into bands. The gradient form and the band
// caption paint from these, and tests check them on tables.

#include <array>
#include <vector>

#include "platform/vcl/Color.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Types.h"

namespace captions {

// RGB colours (0x00BBGGRR), each entry start + Round(i x (stop - start) / (count - 1)) per
// channel, halves to even, channels taken modulo 256. count < 2 gives count copies of start.
std::vector<COLORREF> GradientRamp(COLORREF start, COLORREF stop, int count);

// Band i of count across width pixels from left: [left + Round(i W / N), left + Round((i+1) W / N)).
struct TSpan {
  int left;
  int right;
  bool operator==(const TSpan&) const = default;
};
TSpan RoundedBand(int left, int width, int index, int count);
// The same with the system's MulDiv rounding (halves away from zero).
TSpan MulDivBand(int left, int width, int index, int count);
// The band caption's colour of band index: begin when count < 2, else per channel
// begin + MulDiv(index, end - begin, count - 1), modulo 256.
COLORREF BandColor(COLORREF begin, COLORREF end, int index, int count);

// The caption rectangle in window coordinates (origin at the window's top-left) of a window
// width x height pixels; bottom = top + caption height - 1. bsNone gives an empty rectangle.
// At design time the sizing frame and the normal caption height count.
TRect GradientCaptionRect(TFormBorderStyle style, bool minimised, bool designing, int width, int height);

// Where the gradient form draws its caption buttons inside caption rectangle r (window
// coordinates), and how far the text may run (textRight).
enum TCaptionButtonKind { cbClose, cbMaximize, cbMinimize, cbHelp };
struct TCaptionButtonPlace {
  TRect rect;       // empty when the button is not drawn
  bool enabled = true;
};
struct TCaptionButtonLayout {
  std::array<TCaptionButtonPlace, 4> buttons;  // by TCaptionButtonKind
  int textRight = 0;
};
TCaptionButtonLayout GradientCaptionButtons(const TRect& caption, TFormBorderStyle style, TBorderIcons icons,
                                            bool designing);

// The band caption's layout (CalculateCaption) of a window width x height pixels.
struct TBandCaptionLayout {
  TFormBorderStyle style = bsSizeable;
  TBorderIcons icons;         // the effective ones
  int frameX = 0, frameY = 0;
  int captionHeight = 0;
  TRect caption;              // window coordinates
  TRect menuIcon;
  TRect buttonsArea;
  TRect title;
  // DLeft, DTop, DWidth, DHeight of each button, by TCaptionButtonKind; visible and enabled.
  std::array<TCaptionButtonPlace, 4> buttons;
  std::array<bool, 4> visible{};
};
TBandCaptionLayout LayoutBandCaption(TFormBorderStyle style, TBorderIcons icons, bool minimised, bool designing,
                                     int width, int height);
// The rectangle a band caption button answers the mouse in: two pixels taller above and
// below, the close button two wider on the right.
TRect BandButtonHitRect(const TRect& button, TCaptionButtonKind kind);
// What a window-relative point of a band caption lies on: HTCLOSE, HTMAXBUTTON, HTMINBUTTON,
// HTHELP (the visible buttons, tested in that order), HTSYSMENU (the menu icon), HTCAPTION
// (the rest of the caption), HTNOWHERE (outside it).
int BandCaptionHit(const TBandCaptionLayout& layout, const TPoint& point);

// The sizing cursor (IDC_SIZEWE ...) of a border hit code; null for any other code.
LPCSTR SizingCursorForHit(int hit);

// Dithered gradients: the masks (69 x 30 for gentle ramps, 14 x 28 for steep ones) and how
// a width is cut into bands of them.
struct TDitherMaskSize {
  int width;
  int height;
};
inline constexpr TDitherMaskSize DitherMaskWide{69, 30};
inline constexpr TDitherMaskSize DitherMaskNarrow{14, 28};
// The mask for a ramp whose channels differ by |dR| + |dG| + |dB| over width pixels; the
// narrow one when that sum / width >= 5 / 7.
TDitherMaskSize ChooseDitherMask(COLORREF start, COLORREF stop, int width);
// Whether a width can be dithered with the mask at all (at least two mask widths, no palette).
bool CanDither(int width, TDitherMaskSize mask, bool palette);
struct TDitherBand {
  int left;        // where the band starts
  int strip;       // solid pixels after the masked part
  COLORREF color;  // the band's colour; the mask fades into it from the previous band's
};
// Bands 1 .. steps (steps = width / maskWidth + 1): colour start + MulDiv(k, delta, steps - 1)
// clamped to 0..255 per channel; each maskWidth wide and followed by its strip of the rest.
std::vector<TDitherBand> DitherBands(COLORREF start, COLORREF stop, int width, int maskWidth);
// Whether the mask pixel (x, y) shows the previous band's colour: dense at the mask's left,
// none at its right, spread by an ordered pattern.
bool DitherMaskBit(int x, int y, TDitherMaskSize mask);

// The caption a frame shows: its own, or with a maximised child's as "frame - [child]".
AnsiString FrameCaptionText(const AnsiString& frame, bool childMaximised, const AnsiString& child);

// WM_GETTEXT from a kept string: at most size - 1 characters and the terminator; answers the
// number copied (0 and nothing written for a null buffer or size 0).
LRESULT CopyTextToBuffer(const AnsiString& text, WPARAM size, LPARAM buffer);

}  // namespace captions
