#pragma once
// The list-view common control ("SysListView32"): items with images and sub-item texts, shown
// as large icons, small icons, a list, or a report with a column header; single or multiple
// selection, a focused item, labels editable in place.

#include "platform/controls/CommonNotify.h"
#include "platform/controls/ImageList.h"

inline constexpr char WC_LISTVIEW[] = "SysListView32";

// Styles.
constexpr DWORD LVS_ICON = 0x0, LVS_REPORT = 0x1, LVS_SMALLICON = 0x2, LVS_LIST = 0x3, LVS_TYPEMASK = 0x3,
                LVS_SINGLESEL = 0x4, LVS_SHOWSELALWAYS = 0x8, LVS_SORTASCENDING = 0x10,
                LVS_SORTDESCENDING = 0x20, LVS_SHAREIMAGELISTS = 0x40, LVS_NOLABELWRAP = 0x80,
                LVS_AUTOARRANGE = 0x100, LVS_EDITLABELS = 0x200, LVS_NOSCROLL = 0x2000,
                LVS_NOCOLUMNHEADER = 0x4000, LVS_NOSORTHEADER = 0x8000;
constexpr DWORD LVS_EX_GRIDLINES = 0x1, LVS_EX_FULLROWSELECT = 0x20;

// Items.
constexpr UINT LVIF_TEXT = 0x1, LVIF_IMAGE = 0x2, LVIF_PARAM = 0x4, LVIF_STATE = 0x8, LVIF_INDENT = 0x10;
constexpr UINT LVIS_FOCUSED = 0x1, LVIS_SELECTED = 0x2, LVIS_CUT = 0x4, LVIS_DROPHILITED = 0x8;

struct LVITEM {
  UINT mask = 0;
  int iItem = 0;
  int iSubItem = 0;
  UINT state = 0;
  UINT stateMask = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iImage = 0;
  LPARAM lParam = 0;
  int iIndent = 0;
};

// Columns.
constexpr UINT LVCF_FMT = 0x1, LVCF_WIDTH = 0x2, LVCF_TEXT = 0x4, LVCF_SUBITEM = 0x8;
constexpr int LVCFMT_LEFT = 0x0, LVCFMT_RIGHT = 0x1, LVCFMT_CENTER = 0x2, LVCFMT_JUSTIFYMASK = 0x3;
constexpr int LVSCW_AUTOSIZE = -1, LVSCW_AUTOSIZE_USEHEADER = -2;

struct LVCOLUMN {
  UINT mask = 0;
  int fmt = 0;
  int cx = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iSubItem = 0;
};

struct LVHITTESTINFO {
  POINT pt{};
  UINT flags = 0;
  int iItem = -1;
  int iSubItem = 0;
};
constexpr UINT LVHT_NOWHERE = 0x1, LVHT_ONITEMICON = 0x2, LVHT_ONITEMLABEL = 0x4, LVHT_ONITEMSTATEICON = 0x8,
               LVHT_ONITEM = LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON, LVHT_ABOVE = 0x8,
               LVHT_BELOW = 0x10, LVHT_TORIGHT = 0x20, LVHT_TOLEFT = 0x40;

struct LVFINDINFO {
  UINT flags = 0;
  LPCSTR psz = nullptr;
  LPARAM lParam = 0;
  POINT pt{};
  UINT vkDirection = 0;
};
constexpr UINT LVFI_PARAM = 0x1, LVFI_STRING = 0x2, LVFI_PARTIAL = 0x8, LVFI_WRAP = 0x20;

// LVM_GETNEXTITEM relations and LVM_GETITEMRECT parts.
constexpr UINT LVNI_ALL = 0x0, LVNI_FOCUSED = 0x1, LVNI_SELECTED = 0x2, LVNI_ABOVE = 0x100, LVNI_BELOW = 0x200,
               LVNI_TOLEFT = 0x400, LVNI_TORIGHT = 0x800;
constexpr int LVIR_BOUNDS = 0, LVIR_ICON = 1, LVIR_LABEL = 2, LVIR_SELECTBOUNDS = 3;
constexpr int LVSIL_NORMAL = 0, LVSIL_SMALL = 1, LVSIL_STATE = 2;

using PFNLVCOMPARE = int (*)(LPARAM first, LPARAM second, LPARAM sortParam);

// Messages.
constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETBKCOLOR = LVM_FIRST + 0, LVM_SETBKCOLOR = LVM_FIRST + 1, LVM_GETIMAGELIST = LVM_FIRST + 2,
               LVM_SETIMAGELIST = LVM_FIRST + 3, LVM_GETITEMCOUNT = LVM_FIRST + 4, LVM_GETITEM = LVM_FIRST + 5,
               LVM_SETITEM = LVM_FIRST + 6, LVM_INSERTITEM = LVM_FIRST + 7, LVM_DELETEITEM = LVM_FIRST + 8,
               LVM_DELETEALLITEMS = LVM_FIRST + 9, LVM_GETNEXTITEM = LVM_FIRST + 12, LVM_FINDITEM = LVM_FIRST + 13,
               LVM_GETITEMRECT = LVM_FIRST + 14, LVM_GETSTRINGWIDTH = LVM_FIRST + 17, LVM_HITTEST = LVM_FIRST + 18,
               LVM_ENSUREVISIBLE = LVM_FIRST + 19, LVM_SCROLL = LVM_FIRST + 20, LVM_REDRAWITEMS = LVM_FIRST + 21,
               LVM_ARRANGE = LVM_FIRST + 22, LVM_EDITLABEL = LVM_FIRST + 23, LVM_GETEDITCONTROL = LVM_FIRST + 24,
               LVM_GETCOLUMN = LVM_FIRST + 25, LVM_SETCOLUMN = LVM_FIRST + 26, LVM_INSERTCOLUMN = LVM_FIRST + 27,
               LVM_DELETECOLUMN = LVM_FIRST + 28, LVM_GETCOLUMNWIDTH = LVM_FIRST + 29,
               LVM_SETCOLUMNWIDTH = LVM_FIRST + 30, LVM_GETHEADER = LVM_FIRST + 31,
               LVM_GETTEXTCOLOR = LVM_FIRST + 35, LVM_SETTEXTCOLOR = LVM_FIRST + 36,
               LVM_GETTOPINDEX = LVM_FIRST + 39, LVM_GETCOUNTPERPAGE = LVM_FIRST + 40,
               LVM_UPDATE = LVM_FIRST + 42, LVM_SETITEMSTATE = LVM_FIRST + 43, LVM_GETITEMSTATE = LVM_FIRST + 44,
               LVM_GETITEMTEXT = LVM_FIRST + 45, LVM_SETITEMTEXT = LVM_FIRST + 46,
               LVM_SETITEMCOUNT = LVM_FIRST + 47, LVM_SORTITEMS = LVM_FIRST + 48,
               LVM_GETSELECTEDCOUNT = LVM_FIRST + 50, LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54,
               LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55, LVM_SUBITEMHITTEST = LVM_FIRST + 57,
               LVM_GETSELECTIONMARK = LVM_FIRST + 66, LVM_SETSELECTIONMARK = LVM_FIRST + 67;

// Notifications (WM_NOTIFY to the parent).
constexpr UINT LVN_FIRST = static_cast<UINT>(-100);
constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0, LVN_ITEMCHANGED = LVN_FIRST - 1, LVN_INSERTITEM = LVN_FIRST - 2,
               LVN_DELETEITEM = LVN_FIRST - 3, LVN_DELETEALLITEMS = LVN_FIRST - 4,
               LVN_BEGINLABELEDIT = LVN_FIRST - 5, LVN_ENDLABELEDIT = LVN_FIRST - 6,
               LVN_COLUMNCLICK = LVN_FIRST - 8, LVN_BEGINDRAG = LVN_FIRST - 9, LVN_KEYDOWN = LVN_FIRST - 55;
// What an LVN_ITEMCHANGED reports as changed.
constexpr UINT LVIF_DI_SETITEM = 0x1000;

struct NMLISTVIEW {
  NMHDR hdr;
  int iItem = -1;
  int iSubItem = 0;
  UINT uNewState = 0;
  UINT uOldState = 0;
  UINT uChanged = 0;
  POINT ptAction{};
  LPARAM lParam = 0;
};

struct NMLVDISPINFO {
  NMHDR hdr;
  LVITEM item;
};

struct NMLVKEYDOWN {
  NMHDR hdr;
  WORD wVKey = 0;
  UINT flags = 0;
};

void RegisterListViewClass();
