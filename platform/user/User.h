#pragma once
// The window interface: classes and windows, positions, painting, messages, timers, hooks,
// input, focus, activation, capture, cursors and resources.

#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Rects.h"
#include "platform/user/SysParams.h"
#include "platform/user/UserDraw.h"
#include "platform/user/WinConst.h"

// Classes.
ATOM RegisterClass(const WNDCLASS* cls);
BOOL UnregisterClass(LPCSTR name, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, LPCSTR name, WNDCLASS* out);
int GetClassName(HWND window, LPSTR out, int size);
ULONG_PTR GetClassLongPtr(HWND window, int index);
ULONG_PTR SetClassLongPtr(HWND window, int index, LONG_PTR value);
inline constexpr auto& RegisterClassA = RegisterClass;

// Windows.
HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    LPVOID param);
inline HWND CreateWindow(LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                         int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  return CreateWindowEx(0, className, title, style, x, y, width, height, parent, menu, instance, param);
}
inline constexpr auto& CreateWindowExA = CreateWindowEx;
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsChild(HWND parent, HWND window);
HWND GetDesktopWindow();
HWND GetParent(HWND window);
HWND SetParent(HWND window, HWND parent);
HWND GetAncestor(HWND window, UINT flags);
HWND GetWindow(HWND window, UINT relation);
HWND GetTopWindow(HWND window);
HWND GetNextWindow(HWND window, UINT relation);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM param);
HWND FindWindow(LPCSTR className, LPCSTR title);
HWND FindWindowEx(HWND parent, HWND after, LPCSTR className, LPCSTR title);
LONG_PTR GetWindowLongPtr(HWND window, int index);
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value);
inline LONG GetWindowLong(HWND w, int i) { return static_cast<LONG>(GetWindowLongPtr(w, i)); }
inline LONG SetWindowLong(HWND w, int i, LONG v) { return static_cast<LONG>(SetWindowLongPtr(w, i, v)); }
// The window procedure (GWL_WNDPROC as a callable): subclassing swaps it, CallWindowProc
// calls a previous one.
WNDPROC GetWindowProc(HWND window);
WNDPROC SetWindowProc(HWND window, WNDPROC proc);
LRESULT CallWindowProc(const WNDPROC& proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int GetWindowText(HWND window, LPSTR out, int size);
int GetWindowTextLength(HWND window);
BOOL SetWindowText(HWND window, LPCSTR text);
int GetDlgCtrlID(HWND window);
HWND GetDlgItem(HWND dialog, int id);
BOOL SetProp(HWND window, LPCSTR name, void* data);
void* GetProp(HWND window, LPCSTR name);
void* RemoveProp(HWND window, LPCSTR name);
HMENU GetMenu(HWND window);
BOOL SetMenu(HWND window, HMENU menu);

// Position, size and visibility.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);
BOOL IsZoomed(HWND window);
BOOL BringWindowToTop(HWND window);
// Lines the parent's minimised children up from the bottom left of its client area, in the
// order they stand; answers the height of a row.
UINT ArrangeIconicWindows(HWND parent);
BOOL GetWindowRect(HWND window, RECT* out);
BOOL GetClientRect(HWND window, RECT* out);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
HWND WindowFromPoint(POINT point);
HWND ChildWindowFromPoint(HWND parent, POINT point);
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
inline BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }
struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = SW_SHOWNORMAL;
  POINT ptMinPosition;
  POINT ptMaxPosition;
  RECT rcNormalPosition;
};
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* out);
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);

// Painting.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
HDC GetDC(HWND window);
HDC GetWindowDC(HWND window);
// The clip region of DCX_INTERSECTRGN and DCX_EXCLUDERGN is in screen coordinates and is copied.
HDC GetDCEx(HWND window, HRGN clip, DWORD flags);
int ReleaseDC(HWND window, HDC dc);
HWND WindowFromDC(HDC dc);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL ValidateRgn(HWND window, HRGN region);
BOOL UpdateWindow(HWND window);
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
BOOL GetUpdateRect(HWND window, RECT* out, BOOL erase);
int GetUpdateRgn(HWND window, HRGN out, BOOL erase);
BOOL ScrollWindow(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip);
constexpr UINT SW_SCROLLCHILDREN = 0x1, SW_INVALIDATE = 0x2, SW_ERASE = 0x4;
int ScrollWindowEx(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags);
BOOL LockWindowUpdate(HWND window);

// Messages.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// These two may be called from any thread (a worker wakes the UI thread); every other call
// of the window interface belongs to the UI thread.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD thread, UINT message, WPARAM wParam, LPARAM lParam);
BOOL GetMessage(MSG* msg, HWND window, UINT first, UINT last);
BOOL PeekMessage(MSG* msg, HWND window, UINT first, UINT last, UINT remove);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
void PostQuitMessage(int exitCode);
BOOL WaitMessage();
DWORD GetMessageTime();
DWORD GetMessagePos();
BOOL InSendMessage();
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CallMsgFilter(MSG* msg, int code);
UINT RegisterWindowMessage(LPCSTR name);
inline constexpr auto& SendMessageA = SendMessage;
inline constexpr auto& PostMessageA = PostMessage;
inline constexpr auto& DefWindowProcA = DefWindowProc;

// Timers.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);

// Hooks.
HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, HINSTANCE module, DWORD thread);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
inline constexpr auto& SetWindowsHookExA = SetWindowsHookEx;
DWORD GetCurrentThreadId();

// Input, focus, activation and capture.
HWND SetFocus(HWND window);
HWND GetFocus();
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();  // the desktop window when no window is active
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* state);
BOOL GetCursorPos(POINT* out);
BOOL SetCursorPos(int x, int y);
BOOL MessageBeep(UINT type);
BOOL DragDetect(HWND window, POINT start);
struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};
constexpr DWORD TME_LEAVE = 0x2, TME_NONCLIENT = 0x10, TME_CANCEL = 0x80000000;
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
// The places the pointer passed, in screen coordinates: only the newest of several waiting
// mouse moves reaches a window, and a stroke that wants every point asks for the ones before.
struct MOUSEMOVEPOINT {
  int x = 0;
  int y = 0;
  DWORD time = 0;
  ULONG_PTR dwExtraInfo = 0;
};
constexpr DWORD GMMP_USE_DISPLAY_POINTS = 1;
constexpr DWORD ERROR_POINT_NOT_FOUND = 1171;
// Finds *point (time 0: the newest place at x, y) among the last 64 places and copies it and
// those before it, newest first, up to count; answers how many, or -1 (GetLastError says why).
int GetMouseMovePointsEx(UINT size, const MOUSEMOVEPOINT* point, MOUSEMOVEPOINT* out, int count, DWORD resolution);

// Files dropped on a window that accepts them (WM_DROPFILES).
struct DropObject {
  std::vector<std::string> files;
  POINT point;
};
using HDROP = DropObject*;
UINT DragQueryFile(HDROP drop, UINT index, LPSTR out, UINT size);
BOOL DragQueryPoint(HDROP drop, POINT* out);
void DragFinish(HDROP drop);
void DragAcceptFiles(HWND window, BOOL accept);

// The caret.
BOOL CreateCaret(HWND window, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND window);
BOOL HideCaret(HWND window);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* out);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT ms);

// Cursors and icons.
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
HICON LoadIcon(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int ShowCursor(BOOL show);
BOOL DestroyCursor(HCURSOR cursor);
// Frees an icon made by CreateIconIndirect, CopyIcon or CreateIconFromIconFile; icons and
// cursors loaded from resources are shared and stay.
BOOL DestroyIcon(HICON icon);
struct ICONINFO {
  BOOL fIcon = TRUE;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask = nullptr;   // 1 where the background shows through
  HBITMAP hbmColor = nullptr;  // null: hbmMask is twice as high, the AND mask over the XOR image
};
HICON CreateIconIndirect(const ICONINFO* info);
// New bitmaps (the caller frees them) with the icon's colour image and mask.
BOOL GetIconInfo(HICON icon, ICONINFO* out);
HICON CopyIcon(HICON icon);
// The icon of an icon file held in memory: its largest image of the greatest depth, as
// LoadIcon reads a resource. Null when the bytes are not an icon file this layer reads.
HICON CreateIconFromIconFile(const void* data, DWORD size);
constexpr UINT DI_MASK = 1, DI_IMAGE = 2, DI_NORMAL = 3;
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step,
                HBRUSH flicker, UINT flags);
inline constexpr auto& LoadCursorA = LoadCursor;
inline constexpr auto& LoadIconA = LoadIcon;

// Resources of a module's res/ folder.
HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
const void* LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL data);
HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name);
int LoadString(HINSTANCE instance, UINT id, LPSTR out, int size);
HMODULE GetModuleHandle(LPCSTR name);
inline constexpr auto& FindResourceA = FindResource;
inline constexpr auto& LoadBitmapA = LoadBitmap;
inline constexpr auto& LoadStringA = LoadString;

#include "platform/user/HotKey.h"
#include "platform/user/Mdi.h"
#include "platform/user/ScrollBars.h"
#include "platform/user/Menu.h"
