#pragma once
// Window, cursor, drawing and text helpers beneath the components: the nested busy cursor,
// waiting with messages running, command-line splitting, text shortened to a width, gradient
// fills, rectangles and polygons, centring and activating windows, and the system's error
// text. (The transparent and disabled bitmap drawing comes with the controls that use it.)

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Control.h"

// Nested busy cursor: the first StartWait shows WaitCursor, the last StopWait puts the screen
// cursor back; a StopWait too many does nothing.
extern TCursor WaitCursor;
void StartWait();
void StopWait();
int WaitCount();
// Lets messages run until ms have passed on the layer's clock.
void Delay(DWORD ms);

// Splits a command line into the program and its parameters (see the source for the rules).
void SplitCommandLine(const AnsiString& cmdLine, AnsiString& exeName, AnsiString& params);
// Text cut from its end, with "...", until it fits maxWidth on the canvas.
AnsiString MinimizeText(const AnsiString& text, TCanvas* canvas, int maxWidth);
TPoint GetAveCharSize(TCanvas* canvas);

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
AnsiString WindowClassName(HWND window);
void SwitchToWindow(HWND window, bool restore);
void ActivateWindow(HWND window);
HWND FindPrevInstance(const AnsiString& mainFormClass, const AnsiString& title);
bool IsForegroundTask();
// Takes one waiting msg for the window off the queue; a WM_QUIT taken is posted again.
void KillMessage(HWND window, UINT msg);
int MsgBox(const AnsiString& caption, const AnsiString& text, UINT flags);

// A resource's name as text: its name, or its number when it is given by number.
AnsiString ResourceNameText(LPCSTR resName);

// Stores a cursor resource under the first screen cursor number from 100 upward that still
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
