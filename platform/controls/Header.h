#pragma once
// The header control (WC_HEADER): a row of column titles. Its items can be pushed like
// buttons (HDS_BUTTONS: HDN_ITEMCLICK) and sized by dragging the divider at their right edge
// (HDN_BEGINTRACK, HDN_TRACK, HDN_ENDTRACK, then HDN_ITEMCHANGING / HDN_ITEMCHANGED). While
// a divider is dragged an inverted line shows on the parent, unless HDS_FULLDRAG sizes the
// item at every move. Escape (while the header has the focus) or a lost capture ends the drag
// without a change.

#include "platform/controls/CommonNotify.h"
#include "platform/controls/ImageList.h"

inline constexpr const char* WC_HEADER = "SysHeader32";

constexpr DWORD HDS_HORZ = 0x0000, HDS_BUTTONS = 0x0002, HDS_HOTTRACK = 0x0004, HDS_HIDDEN = 0x0008,
                HDS_DRAGDROP = 0x0040, HDS_FULLDRAG = 0x0080;

constexpr UINT HDM_FIRST = 0x1200;
constexpr UINT HDM_GETITEMCOUNT = HDM_FIRST + 0, HDM_INSERTITEM = HDM_FIRST + 1,
               HDM_DELETEITEM = HDM_FIRST + 2, HDM_GETITEM = HDM_FIRST + 3, HDM_SETITEM = HDM_FIRST + 4,
               HDM_LAYOUT = HDM_FIRST + 5, HDM_HITTEST = HDM_FIRST + 6, HDM_GETITEMRECT = HDM_FIRST + 7,
               HDM_SETIMAGELIST = HDM_FIRST + 8, HDM_GETIMAGELIST = HDM_FIRST + 9,
               HDM_ORDERTOINDEX = HDM_FIRST + 15;
inline constexpr UINT HDM_INSERTITEMA = HDM_INSERTITEM, HDM_GETITEMA = HDM_GETITEM, HDM_SETITEMA = HDM_SETITEM;

constexpr UINT HDI_WIDTH = 0x1, HDI_HEIGHT = 0x1, HDI_TEXT = 0x2, HDI_FORMAT = 0x4, HDI_LPARAM = 0x8,
               HDI_BITMAP = 0x10, HDI_IMAGE = 0x20, HDI_ORDER = 0x80;
constexpr int HDF_LEFT = 0x0, HDF_RIGHT = 0x1, HDF_CENTER = 0x2, HDF_JUSTIFYMASK = 0x3,
              HDF_RTLREADING = 0x4, HDF_IMAGE = 0x0800, HDF_BITMAP_ON_RIGHT = 0x1000,
              HDF_BITMAP = 0x2000, HDF_STRING = 0x4000, HDF_OWNERDRAW = 0x8000;

constexpr UINT HHT_NOWHERE = 0x1, HHT_ONHEADER = 0x2, HHT_ONDIVIDER = 0x4, HHT_ONDIVOPEN = 0x8,
               HHT_ABOVE = 0x100, HHT_BELOW = 0x200, HHT_TORIGHT = 0x400, HHT_TOLEFT = 0x800;

constexpr UINT HDN_ITEMCHANGING = static_cast<UINT>(-300), HDN_ITEMCHANGED = static_cast<UINT>(-301),
               HDN_ITEMCLICK = static_cast<UINT>(-302), HDN_ITEMDBLCLICK = static_cast<UINT>(-303),
               HDN_DIVIDERDBLCLICK = static_cast<UINT>(-305), HDN_BEGINTRACK = static_cast<UINT>(-306),
               HDN_ENDTRACK = static_cast<UINT>(-307), HDN_TRACK = static_cast<UINT>(-308);

struct HDITEM {
  UINT mask = 0;
  int cxy = 0;
  LPSTR pszText = nullptr;
  HBITMAP hbm = nullptr;
  int cchTextMax = 0;
  int fmt = 0;
  LPARAM lParam = 0;
  int iImage = 0;
  int iOrder = 0;
};
using HDITEMA = HDITEM;

struct HDLAYOUT {
  RECT* prc = nullptr;
  WINDOWPOS* pwpos = nullptr;
};

struct HDHITTESTINFO {
  POINT pt;
  UINT flags = 0;
  int iItem = -1;
};

struct NMHEADER {
  NMHDR hdr;
  int iItem = -1;
  int iButton = 0;
  HDITEM* pitem = nullptr;
};

void RegisterHeaderClass();
