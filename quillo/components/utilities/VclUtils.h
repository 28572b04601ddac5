#pragma once
// Window, cursor, drawing and text helpers beneath the components: the nested busy cursor,
// waiting with messages running, command-line splitting, text shortened to a width, gradient
// fills, rectangles and polygons, centring and activating windows, and the system's error
// text. (Bitmaps from resources, transparent and greyed drawing are in BitmapUtils.h.)

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Graphic.h"

// Nested busy cursor: the first StartWait shows WaitCursor, the last StopWait puts the screen
// cursor back; a StopWait too many does nothing.
extern TCursor WaitCursor;
void StartWait();
void StopWait();
int WaitCount();
// StartWait for as long as the scope lives, StopWait at every way out.
class WaitCursorScope {
public:
  WaitCursorScope() { StartWait(); }
  ~WaitCursorScope() { StopWait(); }
  WaitCursorScope(const WaitCursorScope&) = delete;
  WaitCursorScope& operator=(const WaitCursorScope&) = delete;
};
// Lets messages run until ms have passed on the layer's clock.
void Delay(DWORD ms);

// Splits a command line into the program and its parameters (see the source for the rules).
void SplitCommandLine(const AnsiString& cmdLine, AnsiString& exeName, AnsiString& params);
// Text cut from its end, with "...", until it fits maxWidth on the canvas.
AnsiString MinimizeText(const AnsiString& text, TCanvas* canvas, int maxWidth);
TPoint GetAveCharSize(TCanvas* canvas);

// Text in a grid cell. Alignments are scoped here so as not to take the standard controls'
// names.
enum class TCellAlign { Left, Right, Center };
enum class TCellVAlign { Top, Center, Bottom };
// Draws text in a cell: directly when it is one line that needs no wrapping and the brush
// colour is exact, else through an off-screen bitmap with DrawText (word wrapping, right-to-left
// reading when asked). dx, dy: the text's offset in the cell.
void WriteText(TCanvas* canvas, const TRect& rect, int dx, int dy, const AnsiString& text, TCellAlign alignment,
               bool wordWrap, bool rightToLeft = false);
void DrawCellTextEx(TCanvas* canvas, const TRect& rect, const AnsiString& text, TCellAlign alignment,
                    TCellVAlign vertical, bool wordWrap, bool rightToLeft = false);
void DrawCellText(TCanvas* canvas, const TRect& rect, const AnsiString& text, TCellAlign alignment,
                  TCellVAlign vertical, bool rightToLeft = false);
void DrawCellBitmap(TCanvas* canvas, const TRect& rect, TGraphic* graphic);

// Dialog units of the interface font: x units are quarters of its average character width,
// y units eighths of its height.
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);
int PixelsToDialogUnitsX(int pixels);
int PixelsToDialogUnitsY(int pixels);
// A colour as a palette-relative value.
inline TColor PaletteColor(TColor color) { return static_cast<TColor>(ColorToRGB(color) | 0x02000000); }

// Cell index (row by row) of a picture cut into cols x rows equal cells, into dest.
void AssignBitmapCell(TGraphic* source, TBitmap* dest, int cols, int rows, int index);
// Paints on dest what the control's parent shows under it: the parent's background and its
// own painting, then the windowless siblings below the control. Neither the control nor any
// sibling above it is painted, so a control may call this from its own Paint.
void CopyParentImage(TControl* control, TCanvas* dest);
// Makes a form a borderless child of control: aligned as given, or moved by the control's
// client origin when align is alNone; shown or hidden.
void MergeForm(TWinControl* control, TCustomForm* form, TAlign align, bool show);

enum TFillDirection { fdTopToBottom, fdBottomToTop, fdLeftToRight, fdRightToLeft };
void GradientFillRect(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor,
                      TFillDirection direction, int colors);
// An 8 x 8 checkerboard of the two colours (color2 where x and y are both even or both odd).
TOwnedPtr<TBitmap> CreateTwoColorsBrushPattern(TColor color1, TColor color2);

inline int WidthOf(const TRect& r) { return r.right - r.left; }
inline int HeightOf(const TRect& r) { return r.bottom - r.top; }
// Right and bottom edges count as inside.
bool PointInRect(const TPoint& p, const TRect& r);
// Inside the polygon by the winding rule.
bool PointInPolyRgn(const TPoint& p, const std::vector<TPoint>& points);

// A control centred in its parent's client area, a form on the screen; never at a negative place.
void CenterControl(TControl* control);
void CenterWindow(HWND window);
TRect ScreenWorkArea();
// Whether a window of that size placed there shows nothing on the work area (a place stored
// on a larger screen); any int coordinates, far ones included.
bool LiesOffWorkArea(int left, int top, int width, int height);
AnsiString WindowClassName(HWND window);
// Sets or clears the sunken edge of an MDI client window.
void ShowMDIClientEdge(HWND clientHandle, bool showEdge);
// ShowWindow; the desktop never animates minimising or maximising, so there is nothing to
// switch off around it.
BOOL ShowWinNoAnimate(HWND window, int cmdShow);
void SwitchToWindow(HWND window, bool restore);
void ActivateWindow(HWND window);
HWND FindPrevInstance(const AnsiString& mainFormClass, const AnsiString& title);
// Brings the running instance's main window forward: the window of this class and/or title
// on this desktop, else a running instance of the program in another process (see
// InstanceChannel.h), which is asked to bring its own forward. True when one was found and
// activated (or asked to be).
bool ActivatePrevInstance(const AnsiString& mainFormClass, const AnsiString& title);
// The same on this desktop only: false when no such window is here.
bool ActivateInstanceWindow(const AnsiString& mainFormClass, const AnsiString& title);
bool IsForegroundTask();
// Takes one waiting msg for the window off the queue; a WM_QUIT taken is posted again.
void KillMessage(HWND window, UINT msg);
int MsgBox(const AnsiString& caption, const AnsiString& text, UINT flags);
// Tells the user a command is not built yet (error box), then aborts the command silently.
[[noreturn]] void NotImplemented();
// Inverts the screen rectangle between two corners; draws width nested focus rectangles on
// the screen, each one pixel inside the last. Drawing either twice puts the screen back.
void PaintInverseRect(const TPoint& p1, const TPoint& p2);
void DrawInvertFrame(const TRect& rect, int width);
// Loads a shared library; EOSError with the system's text when it does not load.
HMODULE LoadDLL(const AnsiString& name);
// Loads the library and calls its DllRegisterServer export when it has one; true when called.
bool RegisterServer(const AnsiString& moduleName);

// A resource's name as text: its name, or its number when it is given by number.
AnsiString ResourceNameText(LPCSTR resName);

// Stores a cursor resource (or the first frame of an animated one) under the first screen cursor number from 100 upward that still
// shows the default cursor; answers the number. EResNotFound when the resource does not
// load, EOutOfResources when every number up to 32767 is taken.
TCursor DefineCursor(HINSTANCE module, LPCSTR resName);

// A canvas on the whole screen (the desktop's context, taken on first use); SetOrigin makes
// (x, y) its top-left corner.
class TScreenCanvas : public TCanvas {
  QUILLO_DECLARE_CLASS()

public:
  TScreenCanvas();
  ~TScreenCanvas() override;
  void FreeHandle();
  void SetOrigin(int x, int y);

protected:
  void CreateHandle() override;

private:
  HDC dc_ = nullptr;
};

// EOSError with the system's text for a non-zero code; CheckWin32 raises the last error.
[[noreturn]] void RaiseWin32Error(DWORD code);
void CheckWin32(bool ok);

AnsiString GetEnvVar(const AnsiString& name);
AnsiString AnsiUpperFirstChar(const AnsiString& s);
AnsiString DropT(const AnsiString& s);
inline AnsiString ResStr(const AnsiString& ident) { return ident; }
