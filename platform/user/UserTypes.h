#pragma once
// The records and callables of the window interface: messages, window positions, creation,
// classes and the hook records.

#include <functional>

#include "platform/gdi/WinDefs.h"
#include "platform/user/WindowProcedure.h"

// A window procedure is a callable, so subclassing needs no executable thunks; procedures
// compare equal when one is a copy of the other.
using WNDPROC = WindowProcedure;
using TIMERPROC = std::function<void(HWND, UINT, UINT_PTR, DWORD)>;
using HOOKPROC = std::function<LRESULT(int, WPARAM, LPARAM)>;
using WNDENUMPROC = std::function<BOOL(HWND, LPARAM)>;

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;
  RECT rcPaint;
};

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
};

struct CREATESTRUCT {
  LPVOID lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  LONG style = 0;
  LPCSTR lpszName = nullptr;
  LPCSTR lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];
  WINDOWPOS* lppos = nullptr;
};

// Hook records.
struct CWPSTRUCT {
  LPARAM lParam = 0;
  WPARAM wParam = 0;
  UINT message = 0;
  HWND hwnd = nullptr;
};
struct MOUSEHOOKSTRUCT {
  POINT pt;
  HWND hwnd = nullptr;
  UINT wHitTestCode = 0;
  ULONG_PTR dwExtraInfo = 0;
};
struct CBT_CREATEWND {
  CREATESTRUCT* lpcs = nullptr;
  HWND hwndInsertAfter = nullptr;
};
struct CBTACTIVATESTRUCT {
  BOOL fMouse = FALSE;
  HWND hWndActive = nullptr;
};

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
};
using WNDCLASSA = WNDCLASS;

// The header of every WM_NOTIFY a common control sends its parent.
struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};

struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;
  UINT itemState = 0;
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  RECT rcItem{};
  ULONG_PTR itemData = 0;
};

struct MEASUREITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemWidth = 0;
  UINT itemHeight = 0;
  ULONG_PTR itemData = 0;
};

struct COMPAREITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  HWND hwndItem = nullptr;
  UINT itemID1 = 0;
  ULONG_PTR itemData1 = 0;
  UINT itemID2 = 0;
  ULONG_PTR itemData2 = 0;
  DWORD dwLocaleId = 0;
};

struct DELETEITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  HWND hwndItem = nullptr;
  ULONG_PTR itemData = 0;
};
