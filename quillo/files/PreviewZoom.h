#pragma once
// The arithmetic of the save optimiser's previews: the zoom at which an image fits a preview
// box, the steps of zooming in and out, and where the views go inside their boxes when the
// zoom changes (the point at the box's centre kept) or the user pans (never past an edge, an
// image smaller than the box centred).

namespace PreviewZoom {

constexpr int kLeast = 10;    // percent
constexpr int kMost = 3200;   // percent
constexpr int kBoxHeight = 189;
constexpr int kNarrowBox = 178;  // four previews
constexpr int kWideBox = 358;    // two previews

// The fitted zoom in percent: the image fits the box, rounded down to 10s below 100 and to
// 100s above it, held between the ends.
int Fit(int imageWidth, int imageHeight, int boxWidth = kNarrowBox, int boxHeight = kBoxHeight);
// One step in and out (by 10 up to 100, by 100 above); the ends stay.
int In(int zoom);
int Out(int zoom);
// An image under 4 pixels on a side is not shown below 100%.
int ForTinyImage(int zoom, int imageWidth, int imageHeight);

// The view's new left (or top) on one axis after a zoom from previous to zoom: viewPos the
// view's place in the box, centre the box's centre, extent the zoomed image, box the box.
int Rezoomed(int viewPos, int centre, int zoom, int previous, int extent, int box);
// The view's new left (or top) after moving it by delta.
int Panned(int viewPos, int delta, int extent, int box);

}  // namespace PreviewZoom
