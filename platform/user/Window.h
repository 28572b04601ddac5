#pragma once
// What the window manager's files share: the window behind a handle, the desktop's start and
// restart, and the helpers one part of the window manager offers the others.

#include <string>

#include "platform/host/Host.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Region.h"
#include "platform/user/Resources.h"
#include "platform/user/User.h"
#include "platform/user/WindowObject.h"

// The window behind a handle when it is a live window (the desktop included).
WindowObject* LiveWindow(HWND window);
// The desktop surface, made on first use with the host QUILLO_HOST/DISPLAY selects.
void EnsureDesktop();
// Destroys every window and restarts the desktop (tests start from here).
void ResetDesktop(const DesktopConfig& config, const std::string& host);
// Shows what changed on the host.
void PresentDesktop();
// Paints the wallpaper into a screen region of the desktop.
void PaintWallpaper(const Region& screen);
// The host shows the desktop at another size: the screen metrics and the work area follow,
// every top-level window hears WM_DISPLAYCHANGE and WM_SETTINGCHANGE (the work area), as on
// Windows, then keeps to the screen, and everything is painted again.
void ResizeDesktop(int width, int height);
// Maximised top-level windows take the work area again; others that lie off the screen
// come back onto it.
void FitTopLevelWindowsToScreen();

// Geometry of the tree (WindowGeometry.cpp).
RECT ScreenRect(HWND window);        // the window in screen coordinates
RECT ScreenClientRect(HWND window);  // its client area in screen coordinates
bool IsVisibleOnScreen(HWND window);  // it and all its ancestors visible
// What of the window (or its client area) can be seen on the desktop, in screen coordinates.
Region VisibleRegion(HWND window, bool clientOnly, bool clipChildren);
// Invalidates every window, and paints the wallpaper, under a screen region.
void ExposeScreenRegion(const Region& screen, HWND except);
// The window a mouse event at a screen point goes to (the desktop when none takes it), and
// its WM_NCHITTEST answer; windows answering HTTRANSPARENT pass the point to those beneath.
struct WindowHit {
  HWND window = nullptr;
  int hit = HTNOWHERE;
};
WindowHit HitTestPoint(POINT screen);
HWND TopLevelOf(HWND window);
// Whether the window is the ancestor or one of its descendants (false for none).
bool IsSelfOrChild(HWND window, HWND ancestor);
// The program's main window: its oldest top-level window that no other window owns.
HWND MainWindow();

// Focus and activation (Focus.cpp).
void ActivateWindow(HWND window, WPARAM how, bool changeZOrder);
void ActivateNextAfterLosing(HWND lost);
void ForgetWindowInput(HWND window);

// Non-client areas (NonClient.cpp).
RECT ClientFromWindowRect(HWND window, const RECT& windowRect);  // both relative to parent
LRESULT NcHitTest(HWND window, POINT screen);
void PaintNonClient(HWND window);
// Paints the non-client area on any context whose origin is the window's top-left corner.
void PaintNonClientOn(HWND window, HDC dc);
// The caption button rectangles, window-relative; empty when the window has none.
RECT CaptionButtonRect(HWND window, int hit);

// The caret around painting and destruction (Caret.cpp).
void HideCaretForPaint(HWND window);
void RestoreCaretAfterPaint(HWND window);
void ForgetCaret(HWND window);

// The move and size loop (MoveSize.cpp).
void RunMoveSizeLoop(HWND window, WPARAM command);
void TrackCaptionButton(HWND window, int hit);

// MDI (Mdi.cpp, MdiClient.cpp): CreateWindowEx hands a WS_EX_MDICHILD window to its MDI
// client, which makes it through CreateWindowEx again with its MDICREATESTRUCT as parameter.
bool IsMdiChildBeingMade(HWND client, LPVOID param);
HWND CreateMdiChild(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                    HWND client, HINSTANCE instance, LPVOID param);
void RegisterMdiClientClass();
