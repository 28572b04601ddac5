#pragma once
// The multiple-document interface: the MDICLIENT window class, its WM_MDI* messages, and the
// default procedures of the frame and child windows around it.
//
// A frame window holds one MDICLIENT window (created with a CLIENTCREATESTRUCT); the client
// holds the MDI children. The frame's procedure passes what it does not handle to
// DefFrameProc, each child's to DefMDIChildProc, and the program's message loop offers every
// message to TranslateMDISysAccel before translating it.

#include "platform/user/WinConst.h"

// Messages to the MDI client (WM_MDIACTIVATE also reaches the children it switches between).
constexpr UINT WM_MDICREATE = 0x0220, WM_MDIDESTROY = 0x0221, WM_MDIACTIVATE = 0x0222,
               WM_MDIRESTORE = 0x0223, WM_MDINEXT = 0x0224, WM_MDIMAXIMIZE = 0x0225,
               WM_MDITILE = 0x0226, WM_MDICASCADE = 0x0227, WM_MDIICONARRANGE = 0x0228,
               WM_MDIGETACTIVE = 0x0229, WM_MDISETMENU = 0x0230, WM_MDIREFRESHMENU = 0x0234;

// WM_MDITILE and WM_MDICASCADE options.
constexpr WPARAM MDITILE_VERTICAL = 0x0000, MDITILE_HORIZONTAL = 0x0001, MDITILE_SKIPDISABLED = 0x0002,
                 MDITILE_ZORDER = 0x0004;

// The MDI client's own style: the children's MDICREATESTRUCT style is taken whole.
constexpr DWORD MDIS_ALLCHILDSTYLES = 0x0001;
// Every MDI child carries it; CreateWindowEx with it makes an MDI child of an MDI client.
constexpr DWORD WS_EX_MDICHILD = 0x00000040;

// The lpParam of CreateWindowEx for an MDICLIENT window.
struct CLIENTCREATESTRUCT {
  HMENU hWindowMenu = nullptr;  // where the children's list goes
  UINT idFirstChild = 0;        // the first child's id; the ids stay contiguous
};

// WM_MDICREATE's lParam; a child's WM_CREATE finds it as lpCreateParams.
struct MDICREATESTRUCT {
  LPCSTR szClass = nullptr;
  LPCSTR szTitle = nullptr;
  HINSTANCE hOwner = nullptr;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int cx = CW_USEDEFAULT;
  int cy = CW_USEDEFAULT;
  DWORD style = 0;
  LPARAM lParam = 0;
};
using CLIENTCREATESTRUCTA = CLIENTCREATESTRUCT;
using MDICREATESTRUCTA = MDICREATESTRUCT;

// Makes an MDI child of the client as WM_MDICREATE does; null on failure.
HWND CreateMDIWindow(LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                     HWND client, HINSTANCE instance, LPARAM lParam);
// The frame's default procedure; with no client it is DefWindowProc.
LRESULT DefFrameProc(HWND frame, HWND client, UINT message, WPARAM wParam, LPARAM lParam);
// An MDI child's default procedure.
LRESULT DefMDIChildProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
// Ctrl+F4 (close), Ctrl+F6 and Ctrl+Tab (next child; with Shift the previous one) as system
// commands to the client's active child. TRUE when the key was one of them and was sent.
BOOL TranslateMDISysAccel(HWND client, const MSG* msg);
inline constexpr auto& CreateMDIWindowA = CreateMDIWindow;
inline constexpr auto& DefFrameProcA = DefFrameProc;
inline constexpr auto& DefMDIChildProcA = DefMDIChildProc;
