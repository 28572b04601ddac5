/* Two filters in one file. "Tile Invert" walks the area in 64-pixel tiles, each asked for with
 * a one-pixel border (edge pixels repeated: inputPadding -1), a dummy plane before the colour
 * planes of its input and one after those of its output. "Half Sample" has no category: it
 * reads the area at every second pixel (inputRate 2, zeros outside: inputPadding 0) and writes
 * that half-size picture into the top-left quarter. */
#include "SamplePlugin.h"

SAMPLE_PIPL(tilePipl, "\013Tile Invert", "\014Quillo Tests", "TileEntry");
SAMPLE_PIPL(halfPipl, "\013Half Sample", "", "HalfEntry");

enum { kTile = 64 };

static void AskTile(FilterRecord* r, int left, int top) {
  Rect t;
  t.left = (int16_t)left;
  t.top = (int16_t)top;
  t.right = (int16_t)(left + kTile < r->filterRect.right ? left + kTile : r->filterRect.right);
  t.bottom = (int16_t)(top + kTile < r->filterRect.bottom ? top + kTile : r->filterRect.bottom);
  r->outRect = t;
  r->inRect.left = (int16_t)(t.left - 1);
  r->inRect.top = (int16_t)(t.top - 1);
  r->inRect.right = (int16_t)(t.right + 1);
  r->inRect.bottom = (int16_t)(t.bottom + 1);
}

SAMPLE_EXPORT void TileEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    r->inLoPlane = r->outLoPlane = 0;
    r->inHiPlane = r->outHiPlane = 2;
    r->inputPadding = -1;
    r->inPreDummyPlanes = 1;
    r->outPostDummyPlanes = 1;
    r->dummyPlaneValue = 0x5A;
    AskTile(r, r->filterRect.left, r->filterRect.top);
  } else if (selector == filterSelectorContinue) {
    const int rows = r->outRect.bottom - r->outRect.top, columns = r->outRect.right - r->outRect.left;
    for (int y = 0; y < rows; ++y) {
      /* the input starts one row and one column earlier */
      const uint8_t* in = (const uint8_t*)r->inData + (long)(y + 1) * r->inRowBytes + r->inColumnBytes;
      uint8_t* out = (uint8_t*)r->outData + (long)y * r->outRowBytes;
      for (int x = 0; x < columns; ++x) {
        const uint8_t* pixel = in + x * r->inColumnBytes;
        if (pixel[0] != 0x5A || out[x * r->outColumnBytes + 3] != 0x5A) { /* the dummy planes */
          *result = -30;
          return;
        }
        for (int p = 0; p < 3; ++p) out[x * r->outColumnBytes + p] = (uint8_t)(255 - pixel[1 + p]);
      }
    }
    int left = r->outRect.right, top = r->outRect.top;
    if (left >= r->filterRect.right) {
      left = r->filterRect.left;
      top = r->outRect.bottom;
    }
    if (top >= r->filterRect.bottom) {
      SampleAskNothing(r);
      return;
    }
    AskTile(r, left, top);
  }
}

SAMPLE_EXPORT void HalfEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    const int halfWidth = (r->filterRect.right - r->filterRect.left) / 2;
    const int halfHeight = (r->filterRect.bottom - r->filterRect.top) / 2;
    r->inputRate = 2 << 16;
    r->inputPadding = 0;
    r->inLoPlane = r->outLoPlane = 0;
    r->inHiPlane = r->outHiPlane = 2;
    r->inRect.left = (int16_t)(r->filterRect.left / 2);
    r->inRect.top = (int16_t)(r->filterRect.top / 2);
    r->inRect.right = (int16_t)(r->inRect.left + halfWidth);
    r->inRect.bottom = (int16_t)(r->inRect.top + halfHeight);
    r->outRect.left = r->filterRect.left;
    r->outRect.top = r->filterRect.top;
    r->outRect.right = (int16_t)(r->filterRect.left + halfWidth);
    r->outRect.bottom = (int16_t)(r->filterRect.top + halfHeight);
  } else if (selector == filterSelectorContinue) {
    const int rows = r->outRect.bottom - r->outRect.top, columns = r->outRect.right - r->outRect.left;
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < columns; ++x)
        for (int p = 0; p < 3; ++p)
          ((uint8_t*)r->outData)[(long)y * r->outRowBytes + x * r->outColumnBytes + p] =
              ((const uint8_t*)r->inData)[(long)y * r->inRowBytes + x * r->inColumnBytes + p];
    SampleAskNothing(r);
  }
}
