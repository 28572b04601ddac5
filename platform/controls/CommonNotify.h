#pragma once
// The notifications every common control may send its parent in WM_NOTIFY, and how a control
// sends one.

#include "platform/user/User.h"

constexpr UINT NM_FIRST = 0;
constexpr UINT NM_OUTOFMEMORY = NM_FIRST - 1, NM_CLICK = NM_FIRST - 2, NM_DBLCLK = NM_FIRST - 3,
               NM_RETURN = NM_FIRST - 4, NM_RCLICK = NM_FIRST - 5, NM_RDBLCLK = NM_FIRST - 6,
               NM_SETFOCUS = NM_FIRST - 7, NM_KILLFOCUS = NM_FIRST - 8;

// Fills the header of a notification record and sends it to the control's parent; answers
// the parent's reply.
LRESULT SendNotify(HWND control, NMHDR& header, UINT code);
// A notification that carries nothing but its header.
LRESULT SendSimpleNotify(HWND control, UINT code);
