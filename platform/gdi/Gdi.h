#pragma once
// The graphics interface: device contexts on the desktop or on memory bitmaps, drawing
// objects, regions, raster operations, DIBs and text. Coordinates are logical units equal
// to pixels (MM_TEXT); colours are 0x00BBGGRR.

#include "platform/gdi/GdiTypes.h"

// Objects.
HGDIOBJ GetStockObject(int index);
BOOL DeleteObject(HGDIOBJ object);
int GetObject(HGDIOBJ object, int size, void* out);
DWORD GetObjectType(HGDIOBJ object);
HPEN CreatePen(int style, int width, COLORREF colour);
HPEN CreatePenIndirect(const LOGPEN* pen);
HBRUSH CreateSolidBrush(COLORREF colour);
HBRUSH CreateHatchBrush(int hatch, COLORREF colour);
HBRUSH CreatePatternBrush(HBITMAP pattern);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HPALETTE CreatePalette(const LOGPALETTE* palette);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);
UINT RealizePalette(HDC dc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* out);
UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* out);
COLORREF GetNearestColor(HDC dc, COLORREF colour);

// Bitmaps and DIBs.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                         void* section, DWORD offset);
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
constexpr DWORD CBM_INIT = 4;
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int srcX, int srcY,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT usage);
int StretchDIBits(HDC dc, int x, int y, int width, int height, int srcX, int srcY,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info,
                  UINT usage, DWORD rop);
// The colour table of the DIB section of 8 bits or fewer selected in a memory context.
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* out);
UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colours);
LONG GetBitmapBits(HBITMAP bitmap, LONG size, void* out);
BOOL GetBitmapDimensionEx(HBITMAP bitmap, SIZE* size);
// Writes drawing done on DIB sections of other depths than 32 bits into their rows; call it
// before reading such rows after drawing on them, as on Windows.
void GdiFlush();

// Device contexts.
HDC CreateCompatibleDC(HDC dc);
HDC CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init);
BOOL DeleteDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);
int GetDeviceCaps(HDC dc, int index);
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop);
int GetROP2(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
// Image colour management of a context: ICM_ON or ICM_OFF answers the mode now set (0 for a
// bad mode or context), ICM_QUERY the mode in force. The desktop is taken to be sRGB and has
// no other profile, so DIB pixels pass unchanged whichever mode is set and whatever colour
// space a version 4 header names; the mode is kept, and saved and restored with the context.
int SetICMMode(HDC dc, int mode);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetTextCharacterExtra(HDC dc, int extra);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetViewportOrgEx(HDC dc, POINT* out);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetWindowOrgEx(HDC dc, POINT* out);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);
COLORREF SetDCBrushColor(HDC dc, COLORREF colour);
COLORREF SetDCPenColor(HDC dc, COLORREF colour);

// Clipping.
int SelectClipRgn(HDC dc, HRGN region);
int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
int GetClipBox(HDC dc, RECT* out);
int GetClipRgn(HDC dc, HRGN out);
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* rect);

// Regions.
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
int GetRgnBox(HRGN region, RECT* out);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height);
BOOL PaintRgn(HDC dc, HRGN region);
BOOL InvertRgn(HDC dc, HRGN region);
// The region as rectangles (RGNDATA: a 32-byte header, then the rectangles, top to bottom and
// left to right). With no buffer: the bytes needed. Else size when it was big enough, 0 when
// it was too small or the region is not one.
DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data);

// Drawing.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF colour);
COLORREF GetPixel(HDC dc, int x, int y);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL GetCurrentPositionEx(HDC dc, POINT* out);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
int SetArcDirection(HDC dc, int direction);
int GetArcDirection(HDC dc);
BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL ArcTo(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL Chord(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL AngleArc(HDC dc, int x, int y, DWORD radius, float startAngle, float sweepAngle);
BOOL PolyBezier(HDC dc, const POINT* points, DWORD count);
BOOL PolyBezierTo(HDC dc, const POINT* points, DWORD count);
// Paints with the brush the area around (x, y) bounded by pixels of colour
// (FLOODFILLBORDER) or made of pixels of colour (FLOODFILLSURFACE); FALSE when the point
// is outside the clip or not such a pixel.
constexpr UINT FLOODFILLBORDER = 0, FLOODFILLSURFACE = 1;
BOOL ExtFloodFill(HDC dc, int x, int y, COLORREF colour, UINT type);
BOOL FloodFill(HDC dc, int x, int y, COLORREF border);
BOOL FillRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop);
BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
             HBITMAP mask, int maskX, int maskY, DWORD rop);

// Text.
HFONT CreateFontIndirect(const LOGFONT* font);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight,
                 DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                 DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                 LPCSTR face);
BOOL TextOut(HDC dc, int x, int y, LPCSTR text, int length);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                const int* dx);
BOOL GetTextExtentPoint32(HDC dc, LPCSTR text, int length, SIZE* size);
BOOL GetTextExtentExPoint(HDC dc, LPCSTR text, int length, int maxExtent, int* fit,
                          int* dx, SIZE* size);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* out);
BOOL GetCharABCWidths(HDC dc, UINT first, UINT last, ABC* out);
BOOL GetCharABCWidthsFloat(HDC dc, UINT first, UINT last, ABCFLOAT* out);
BOOL GetCharWidth32(HDC dc, UINT first, UINT last, int* out);
int GetTextFace(HDC dc, int size, LPSTR out);
// Font families: the Windows faces the layer stands in for, then every installed family.
constexpr DWORD RASTER_FONTTYPE = 1, DEVICE_FONTTYPE = 2, TRUETYPE_FONTTYPE = 4;
using FONTENUMPROC = std::function<int(const LOGFONT*, const TEXTMETRIC*, DWORD, LPARAM)>;
int EnumFontFamiliesEx(HDC dc, const LOGFONT* filter, FONTENUMPROC proc, LPARAM param, DWORD flags);
int EnumFontFamilies(HDC dc, LPCSTR family, FONTENUMPROC proc, LPARAM param);

// The names with the "A" suffix that callers use for the byte-string variants.
inline constexpr auto& TextOutA = TextOut;
inline constexpr auto& ExtTextOutA = ExtTextOut;
inline constexpr auto& GetTextExtentPoint32A = GetTextExtentPoint32;
inline constexpr auto& GetTextMetricsA = GetTextMetrics;
inline constexpr auto& GetCharABCWidthsA = GetCharABCWidths;
inline constexpr auto& GetCharABCWidthsFloatA = GetCharABCWidthsFloat;
inline constexpr auto& GetCharWidth32A = GetCharWidth32;
inline constexpr auto& CreateFontIndirectA = CreateFontIndirect;
inline constexpr auto& CreateFontA = CreateFont;
inline constexpr auto& GetObjectA = GetObject;

// The objects behind the handles, so that every handle converts to HGDIOBJ.
#include "platform/gdi/GdiObject.h"
