#pragma once
// The tree-view common control ("SysTreeView32"): a hierarchy of labelled items with images,
// expanded and collapsed by buttons, keys or messages, one item selected, labels editable in
// place. Items are handles that stay valid until the item is deleted; a stale handle is
// refused, never followed.

#include <cstdint>

#include "platform/controls/CommonNotify.h"
#include "platform/controls/ImageList.h"
#include "platform/user/User.h"

inline constexpr char WC_TREEVIEW[] = "SysTreeView32";

struct TreeViewItem;
using HTREEITEM = TreeViewItem*;
inline const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x10000));
inline const HTREEITEM TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF));
inline const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFE));
inline const HTREEITEM TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFD));

// Styles.
constexpr DWORD TVS_HASBUTTONS = 0x1, TVS_HASLINES = 0x2, TVS_LINESATROOT = 0x4, TVS_EDITLABELS = 0x8,
                TVS_DISABLEDRAGDROP = 0x10, TVS_SHOWSELALWAYS = 0x20, TVS_NOTOOLTIPS = 0x80,
                TVS_CHECKBOXES = 0x100, TVS_TRACKSELECT = 0x200, TVS_SINGLEEXPAND = 0x400,
                TVS_FULLROWSELECT = 0x1000, TVS_NOSCROLL = 0x2000;

// Item fields and states.
constexpr UINT TVIF_TEXT = 0x1, TVIF_IMAGE = 0x2, TVIF_PARAM = 0x4, TVIF_STATE = 0x8, TVIF_HANDLE = 0x10,
               TVIF_SELECTEDIMAGE = 0x20, TVIF_CHILDREN = 0x40;
constexpr UINT TVIS_SELECTED = 0x2, TVIS_CUT = 0x4, TVIS_DROPHILITED = 0x8, TVIS_BOLD = 0x10,
               TVIS_EXPANDED = 0x20, TVIS_EXPANDEDONCE = 0x40, TVIS_STATEIMAGEMASK = 0xF000;
constexpr int I_CHILDRENCALLBACK = -1;

struct TVITEM {
  UINT mask = 0;
  HTREEITEM hItem = nullptr;
  UINT state = 0;
  UINT stateMask = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iImage = 0;
  int iSelectedImage = 0;
  int cChildren = 0;
  LPARAM lParam = 0;
};

struct TVINSERTSTRUCT {
  HTREEITEM hParent = nullptr;
  HTREEITEM hInsertAfter = nullptr;
  TVITEM item;
};

struct TVHITTESTINFO {
  POINT pt{};
  UINT flags = 0;
  HTREEITEM hItem = nullptr;
};
constexpr UINT TVHT_NOWHERE = 0x1, TVHT_ONITEMICON = 0x2, TVHT_ONITEMLABEL = 0x4, TVHT_ONITEMINDENT = 0x8,
               TVHT_ONITEMBUTTON = 0x10, TVHT_ONITEMRIGHT = 0x20, TVHT_ONITEMSTATEICON = 0x40,
               TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON, TVHT_ABOVE = 0x100,
               TVHT_BELOW = 0x200, TVHT_TORIGHT = 0x400, TVHT_TOLEFT = 0x800;

// Messages.
constexpr UINT TV_FIRST = 0x1100;
constexpr UINT TVM_INSERTITEM = TV_FIRST + 0, TVM_DELETEITEM = TV_FIRST + 1, TVM_EXPAND = TV_FIRST + 2,
               TVM_GETITEMRECT = TV_FIRST + 4, TVM_GETCOUNT = TV_FIRST + 5, TVM_GETINDENT = TV_FIRST + 6,
               TVM_SETINDENT = TV_FIRST + 7, TVM_GETIMAGELIST = TV_FIRST + 8, TVM_SETIMAGELIST = TV_FIRST + 9,
               TVM_GETNEXTITEM = TV_FIRST + 10, TVM_SELECTITEM = TV_FIRST + 11, TVM_GETITEM = TV_FIRST + 12,
               TVM_SETITEM = TV_FIRST + 13, TVM_EDITLABEL = TV_FIRST + 14, TVM_GETEDITCONTROL = TV_FIRST + 15,
               TVM_GETVISIBLECOUNT = TV_FIRST + 16, TVM_HITTEST = TV_FIRST + 17, TVM_SORTCHILDREN = TV_FIRST + 19,
               TVM_ENSUREVISIBLE = TV_FIRST + 20, TVM_ENDEDITLABELNOW = TV_FIRST + 22,
               TVM_SETITEMHEIGHT = TV_FIRST + 27, TVM_GETITEMHEIGHT = TV_FIRST + 28,
               TVM_SETBKCOLOR = TV_FIRST + 29, TVM_SETTEXTCOLOR = TV_FIRST + 30,
               TVM_GETBKCOLOR = TV_FIRST + 31, TVM_GETTEXTCOLOR = TV_FIRST + 32,
               TVM_GETITEMSTATE = TV_FIRST + 39;
// TVM_EXPAND actions.
constexpr UINT TVE_COLLAPSE = 0x1, TVE_EXPAND = 0x2, TVE_TOGGLE = 0x3, TVE_COLLAPSERESET = 0x8000;
// TVM_GETNEXTITEM and TVM_SELECTITEM relations.
constexpr UINT TVGN_ROOT = 0x0, TVGN_NEXT = 0x1, TVGN_PREVIOUS = 0x2, TVGN_PARENT = 0x3, TVGN_CHILD = 0x4,
               TVGN_FIRSTVISIBLE = 0x5, TVGN_NEXTVISIBLE = 0x6, TVGN_PREVIOUSVISIBLE = 0x7,
               TVGN_DROPHILITE = 0x8, TVGN_CARET = 0x9, TVGN_LASTVISIBLE = 0xA;
constexpr int TVSIL_NORMAL = 0, TVSIL_STATE = 2;

// Notifications (WM_NOTIFY to the parent).
constexpr UINT TVN_FIRST = static_cast<UINT>(-400);
constexpr UINT TVN_SELCHANGING = TVN_FIRST - 1, TVN_SELCHANGED = TVN_FIRST - 2, TVN_GETDISPINFO = TVN_FIRST - 3,
               TVN_SETDISPINFO = TVN_FIRST - 4, TVN_ITEMEXPANDING = TVN_FIRST - 5, TVN_ITEMEXPANDED = TVN_FIRST - 6,
               TVN_BEGINDRAG = TVN_FIRST - 7, TVN_BEGINRDRAG = TVN_FIRST - 8, TVN_DELETEITEM = TVN_FIRST - 9,
               TVN_BEGINLABELEDIT = TVN_FIRST - 10, TVN_ENDLABELEDIT = TVN_FIRST - 11, TVN_KEYDOWN = TVN_FIRST - 12;
// Why the selection changed.
constexpr UINT TVC_UNKNOWN = 0x0, TVC_BYMOUSE = 0x1, TVC_BYKEYBOARD = 0x2;

struct NMTREEVIEW {
  NMHDR hdr;
  UINT action = 0;
  TVITEM itemOld;
  TVITEM itemNew;
  POINT ptDrag{};
};

struct NMTVDISPINFO {
  NMHDR hdr;
  TVITEM item;
};

struct NMTVKEYDOWN {
  NMHDR hdr;
  WORD wVKey = 0;
  UINT flags = 0;
};

// Nothing to call: the class is registered with every desktop.
void RegisterTreeViewClass();
