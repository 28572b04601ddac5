#pragma once
// Image lists: many images of one size in one colour strip, each with a monochrome mask
// (1 where the image is transparent), added from bitmaps or icons and drawn normally,
// transparently, as their mask, blended with a colour, or with an overlay image on top.

#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"

struct ImageListObject;
using HIMAGELIST = ImageListObject*;

constexpr UINT ILC_COLOR = 0x0000, ILC_MASK = 0x0001, ILC_COLOR4 = 0x0004, ILC_COLOR8 = 0x0008,
               ILC_COLOR16 = 0x0010, ILC_COLOR24 = 0x0018, ILC_COLOR32 = 0x0020, ILC_COLORDDB = 0x00FE;
constexpr UINT ILD_NORMAL = 0x0000, ILD_TRANSPARENT = 0x0001, ILD_BLEND25 = 0x0002, ILD_FOCUS = 0x0002,
               ILD_BLEND50 = 0x0004, ILD_SELECTED = 0x0004, ILD_BLEND = 0x0004, ILD_MASK = 0x0010,
               ILD_IMAGE = 0x0020, ILD_OVERLAYMASK = 0x0F00;
constexpr UINT INDEXTOOVERLAYMASK(int overlay) { return static_cast<UINT>(overlay) << 8; }
constexpr UINT ILCF_MOVE = 0, ILCF_SWAP = 1;
// Colours of ImageList_DrawEx: none (transparent) or the list's own.
constexpr COLORREF CLR_NONE = 0xFFFFFFFF, CLR_DEFAULT = 0xFF000000;

struct IMAGEINFO {
  HBITMAP hbmImage = nullptr;
  HBITMAP hbmMask = nullptr;
  int Unused1 = 0;
  int Unused2 = 0;
  RECT rcImage;
};

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
// Grows the list with black, opaque images or drops images from its end.
BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height);
// Changes the image size; every image is removed.
BOOL ImageList_SetIconSize(HIMAGELIST list, int width, int height);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour);
COLORREF ImageList_GetBkColor(HIMAGELIST list);

// Adds every image-sized cell of the bitmap (left to right); the mask's 1 bits make pixels
// transparent, and the stored image is black under them. Answers the first new index, or -1.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// The same with a mask made from the pixels of one colour.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColour);
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
// Replaces image index with the icon, or adds it when index is -1; answers its index.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }
// Removes one image (the later ones move down) or, with -1, all of them.
BOOL ImageList_Remove(HIMAGELIST list, int index);
inline BOOL ImageList_RemoveAll(HIMAGELIST list) { return ImageList_Remove(list, -1); }
// Copies image source over image dest (ILCF_MOVE) or exchanges them (ILCF_SWAP), within one list.
BOOL ImageList_Copy(HIMAGELIST destList, int dest, HIMAGELIST sourceList, int source, UINT flags);

// Makes image `image` overlay number `overlay` (1 to 15), drawn by ILD_OVERLAYMASK styles.
BOOL ImageList_SetOverlayImage(HIMAGELIST list, int image, int overlay);

// Draws image index at (x, y): dx x dy pixels of it (0: all). background: the colour under
// the image's transparent pixels (CLR_DEFAULT: the list's, CLR_NONE: transparent);
// foreground: the colour ILD_BLEND25/50 mix in (CLR_DEFAULT: the highlight colour).
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF background,
                      COLORREF foreground, UINT style);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);

// A new icon (DestroyIcon frees it) of image index.
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
// The strip bitmaps (owned by the list) and the image's rectangle in them.
BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* out);
