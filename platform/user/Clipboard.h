#pragma once
// The clipboard: one per desktop, a window-manager service as on Windows. Data are global
// memory blocks (GlobalAlloc) kept by format, or GDI objects for CF_BITMAP and CF_PALETTE; the
// clipboard owns them once set and frees them (DeleteObject for the GDI formats) when emptied.
// Text formats are converted into one another on request, and so are pictures: CF_BITMAP
// from CF_DIB and back (with the colours of a CF_PALETTE set beside the bitmap), CF_PALETTE
// from an indexed CF_DIB; the formats that can be made are available and listed after those
// set. A damaged DIB converts to nothing. Text and pictures are bridged to the host's own
// clipboard where the host has one: what the program puts there the host's other programs
// see (pictures as PNG and BMP files), and host data newer than the program's own are offered
// in its place.

#include "platform/rtl/GlobalMemory.h"
#include "platform/user/UserTypes.h"

// CF_TEXT holds UTF-8 bytes (the layer's text), CF_UNICODETEXT UTF-16 code units; both end
// with a zero and break lines with CR LF.
constexpr UINT CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_SYLK = 4, CF_DIF = 5, CF_TIFF = 6,
               CF_OEMTEXT = 7, CF_DIB = 8, CF_PALETTE = 9, CF_RIFF = 11, CF_WAVE = 12,
               CF_UNICODETEXT = 13, CF_ENHMETAFILE = 14, CF_HDROP = 15, CF_LOCALE = 16, CF_DIBV5 = 17;
constexpr UINT WM_RENDERFORMAT = 0x0305, WM_RENDERALLFORMATS = 0x0306, WM_DESTROYCLIPBOARD = 0x0307;

using HANDLE = HGLOBAL;

// Opens it for the window (null: for no window); fails while another window has it open.
BOOL OpenClipboard(HWND window);
BOOL CloseClipboard();
// Frees every block, tells the old owner (WM_DESTROYCLIPBOARD) and makes the window that
// opened the clipboard its owner. The clipboard must be open.
BOOL EmptyClipboard();
// Takes the block (the clipboard owns it from now on; an earlier block of the format is
// freed). A null block promises the data: the owner renders it on WM_RENDERFORMAT when asked.
// Answers the block, null when the clipboard is not open.
HANDLE SetClipboardData(UINT format, HANDLE data);
// The block of a format (the clipboard keeps owning it); null when the clipboard is not
// open or holds no such data.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
int CountClipboardFormats();
// The format after the one given (0 for the first); 0 after the last. The clipboard must be open.
UINT EnumClipboardFormats(UINT format);
// A format number of 0xC000 or more for a name (the same for the same name in any case).
UINT RegisterClipboardFormat(LPCSTR name);
int GetClipboardFormatName(UINT format, LPSTR out, int size);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
inline constexpr auto& RegisterClipboardFormatA = RegisterClipboardFormat;
