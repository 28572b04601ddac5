#pragma once
// Bitmap routines beneath the glyph-drawing components: bitmaps from resources, drawing with
// one transparent colour, the greyed look of a disabled glyph, a colour swapped out, a shaded
// rectangle, a rotated font, and screen cursors defined from resources.

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Icon.h"
#include "platform/vcl/ImageList.h"

// A new bitmap from a module's bitmap resource; EResNotFound naming it when it does not load.
TOwnedPtr<TBitmap> MakeModuleBitmap(HINSTANCE module, LPCSTR resName);
TOwnedPtr<TBitmap> MakeBitmap(LPCSTR resName);
TOwnedPtr<TBitmap> MakeBitmapID(WORD resId);
// A new icon from a module's icon resource; null when it does not load.
TOwnedPtr<TIcon> MakeModuleIcon(HINSTANCE module, LPCSTR resName);
TOwnedPtr<TIcon> MakeIcon(LPCSTR resName);
TOwnedPtr<TIcon> MakeIconID(WORD resId);

// Stretches the source onto the destination leaving maskColor's pixels transparent.
void StretchBltTransparent(HDC dstDC, int x, int y, int w, int h, HDC srcDC, int srcX, int srcY, int srcW,
                           int srcH, COLORREF maskColor);
void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF transparentColor);
// clNone copies without transparency (through the canvas's copy mode); clDefault takes the
// bitmap's bottom-left pixel; a monochrome bitmap is always transparent in white. An empty
// rectangle means the whole bitmap, and a width or height of 0 the rectangle's own.
void DrawBitmapTransparent(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor transparentColor);
void DrawBitmapRectTransparent(TCanvas* canvas, int x, int y, TRect rect, TBitmap* bitmap, TColor transparentColor);
void StretchBitmapRectTransparent(TCanvas* canvas, int x, int y, int w, int h, TRect rect, TBitmap* bitmap,
                                  TColor transparentColor);
// A bitmap of the same size in newColor with the source copied over it except its color pixels.
TOwnedPtr<TBitmap> ChangeBitmapColor(TBitmap* bitmap, TColor color, TColor newColor);
// The greyed look of a glyph: its shape (what is not outlineColor) in shadowColor, with a
// highlight one pixel down and right, on backColor.
TOwnedPtr<TBitmap> CreateDisabledBitmapEx(TBitmap* glyph, TColor outlineColor, TColor backColor,
                                          TColor highlightColor, TColor shadowColor, bool drawHighlight);
TOwnedPtr<TBitmap> CreateDisabledBitmap(TBitmap* glyph, TColor outlineColor);
// Image index of the list drawn greyed at (x, y): its shape in grayColor, with a highlight
// one pixel down and right when drawHighlight. Nothing for an index outside the list.
void ImageListDrawDisabled(TCustomImageList* images, TCanvas* canvas, int x, int y, int index,
                           TColor highlightColor, TColor grayColor, bool drawHighlight);
// The icon drawn on backColor, which becomes the bitmap's transparent colour.
TOwnedPtr<TBitmap> CreateBitmapFromIcon(TIcon* icon, TColor backColor);
// An icon of the bitmap's size whose transparentColor pixels are see-through (clDefault: the
// bitmap's own transparent colour).
TOwnedPtr<TIcon> CreateIconFromBitmap(TBitmap* bitmap, TColor transparentColor);
// Darkens a rectangle with a diagonal-line pattern.
void ShadeRect(HDC dc, const TRect& rect);
// A font handle like font, rotated by angle degrees; the caller deletes it.
HFONT CreateRotatedFont(TFont* font, int angle);
// The cursor of an animated-cursor resource (a RIFF "ACON" file, of resource type 21 or kept
// among the cursors); the desktop shows no animation, so this is its first frame. Null when
// the resource is missing or damaged.
HCURSOR LoadAniCursor(HINSTANCE module, LPCSTR resName);
