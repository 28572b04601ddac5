#pragma once
// The shell's special folders and item identifier lists, on a freedesktop.org desktop.
//
// Special folders (CSIDL_...) are the user's XDG folders: the user-dirs.dirs file under
// $XDG_CONFIG_HOME (else ~/.config) names Desktop, Documents, Pictures, Music, Videos and
// Templates; $XDG_VARIABLE in the environment overrides the file, and a missing entry falls
// back to the usual English name under $HOME. Program data goes to $XDG_CONFIG_HOME (roaming)
// and $XDG_DATA_HOME (local); menu entries ("Programs", "Start Menu") to the data folder's
// "applications" and programs started at log-in to $XDG_CONFIG_HOME/autostart, where the
// desktop looks for them. "My Computer" (CSIDL_DRIVES) is the file system root; there is no
// network neighbourhood here (CSIDL_NETWORK fails).
//
// An item identifier list (a PIDL) is an opaque object the caller owns: free it with ILFree
// or CoTaskMemFree. A pointer that is not a live list is refused, never followed.

#include <string>

#include "platform/gdi/WinDefs.h"
#include "platform/rtl/WinTypes.h"

constexpr int CSIDL_DESKTOP = 0x0000, CSIDL_PROGRAMS = 0x0002, CSIDL_PERSONAL = 0x0005,
              CSIDL_MYDOCUMENTS = CSIDL_PERSONAL, CSIDL_STARTUP = 0x0007, CSIDL_STARTMENU = 0x000B,
              CSIDL_MYMUSIC = 0x000D, CSIDL_MYVIDEO = 0x000E, CSIDL_DESKTOPDIRECTORY = 0x0010,
              CSIDL_DRIVES = 0x0011, CSIDL_NETWORK = 0x0012, CSIDL_FONTS = 0x0014, CSIDL_TEMPLATES = 0x0015,
              CSIDL_APPDATA = 0x001A, CSIDL_LOCAL_APPDATA = 0x001C, CSIDL_MYPICTURES = 0x0027,
              CSIDL_PROFILE = 0x0028;
// Or'ed into a folder identifier: make the folder when it is not there.
constexpr int CSIDL_FLAG_CREATE = 0x8000, CSIDL_FLAG_MASK = 0xFF00;

// The folder's path (without a trailing '/'); empty for an unknown identifier or one without
// a path. With create the folder (and its parents) is made.
std::string SpecialFolderPath(int csidl, bool create = false);

struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using PIDLIST_ABSOLUTE = LPITEMIDLIST;

// A new list naming path (made absolute; it need not exist); null for an empty path.
LPITEMIDLIST ILCreateFromPath(LPCSTR path);
inline constexpr auto& ILCreateFromPathA = ILCreateFromPath;
// A copy the caller owns; null for a pointer that is not a live list.
LPITEMIDLIST ILClone(LPCITEMIDLIST pidl);
void ILFree(LPITEMIDLIST pidl);
// Frees what the shell handed out (item identifier lists); anything else is ignored.
void CoTaskMemFree(void* memory);
// True when pidl is a live list.
bool ILIsValid(LPCITEMIDLIST pidl);
// The list's path, or empty for a virtual item or a pointer that is not a live list.
std::string ILPath(LPCITEMIDLIST pidl);
// Two lists naming the same item.
BOOL ILIsEqual(LPCITEMIDLIST a, LPCITEMIDLIST b);

// Copies the path into path (MAX_PATH bytes); FALSE (and an empty string) for an item without
// one, a path that does not fit, or a pointer that is not a live list.
BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPSTR path);
inline constexpr auto& SHGetPathFromIDListA = SHGetPathFromIDList;

HRESULT SHGetSpecialFolderLocation(HWND owner, int csidl, LPITEMIDLIST* pidl);
// path: MAX_PATH bytes. FALSE when the identifier is unknown or the folder is not there (and
// create is FALSE or making it failed).
BOOL SHGetSpecialFolderPath(HWND owner, LPSTR path, int csidl, BOOL create);
inline constexpr auto& SHGetSpecialFolderPathA = SHGetSpecialFolderPath;
// S_OK, S_FALSE when the folder does not exist (path is filled all the same), E_INVALIDARG for
// an unknown identifier, E_FAIL when CSIDL_FLAG_CREATE could not make it.
HRESULT SHGetFolderPath(HWND owner, int csidl, void* token, DWORD flags, LPSTR path);
inline constexpr auto& SHGetFolderPathA = SHGetFolderPath;
