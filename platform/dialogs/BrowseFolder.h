#pragma once
// The shell's folder browser: a modal dialog with a tree of the real folders, opened lazily
// level by level, each level sorted by name without regard to case, hidden names (".name")
// left out, names shown as their UTF-8 bytes. Without a root the tree starts with the desktop
// folder, the home folder and the file system root; with pidlRoot it holds that folder alone.
//
// The callback sees BFFM_INITIALIZED once the dialog is up, then BFFM_SELCHANGED for the
// selection it starts with and for every later one (lParam: an item identifier list the
// dialog owns), and with BIF_EDITBOX | BIF_VALIDATE, BFFM_VALIDATEFAILED (lParam: the typed
// text) for a typed name that is no folder: nonzero keeps the dialog open, zero ends it as a
// cancel. It may send BFFM_SETSELECTION (wParam TRUE: lParam is a path; FALSE: an item
// identifier list), BFFM_SETEXPANDED, BFFM_SETSTATUSTEXT (with BIF_STATUSTEXT), BFFM_ENABLEOK
// (lParam: enable) and BFFM_SETOKTEXT to the dialog.
//
// A name typed in the edit (BIF_EDITBOX) is taken from the selected folder unless it starts
// with '/'. The answer is an item identifier list for the caller to free (ILFree or
// CoTaskMemFree), null when cancelled; pszDisplayName (MAX_PATH bytes) gets the chosen
// folder's name.

#include <functional>

#include "platform/dialogs/ShellFolders.h"
#include "platform/user/User.h"

constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001, BIF_DONTGOBELOWDOMAIN = 0x0002, BIF_STATUSTEXT = 0x0004,
               BIF_RETURNFSANCESTORS = 0x0008, BIF_EDITBOX = 0x0010, BIF_VALIDATE = 0x0020,
               BIF_NEWDIALOGSTYLE = 0x0040, BIF_USENEWUI = BIF_NEWDIALOGSTYLE | BIF_EDITBOX,
               BIF_BROWSEINCLUDEURLS = 0x0080, BIF_NONEWFOLDERBUTTON = 0x0200, BIF_BROWSEFORCOMPUTER = 0x1000,
               BIF_BROWSEFORPRINTER = 0x2000, BIF_BROWSEINCLUDEFILES = 0x4000;

// To the callback.
constexpr UINT BFFM_INITIALIZED = 1, BFFM_SELCHANGED = 2, BFFM_VALIDATEFAILED = 3;
// To the dialog.
constexpr UINT BFFM_SETSTATUSTEXT = WM_USER + 100, BFFM_ENABLEOK = WM_USER + 101,
               BFFM_SETSELECTION = WM_USER + 102, BFFM_SETOKTEXT = WM_USER + 105,
               BFFM_SETEXPANDED = WM_USER + 106;
constexpr UINT BFFM_SETSTATUSTEXTA = BFFM_SETSTATUSTEXT, BFFM_SETSELECTIONA = BFFM_SETSELECTION,
               BFFM_VALIDATEFAILEDA = BFFM_VALIDATEFAILED;

// The dialog's controls, by the identifiers the shell gives them.
constexpr int IDC_BROWSE_TREE = 0x3741, IDC_BROWSE_TITLE = 0x3742, IDC_BROWSE_STATUS = 0x3743,
              IDC_BROWSE_EDIT = 0x3744;

using BFFCALLBACK = std::function<int(HWND dialog, UINT message, LPARAM lParam, LPARAM data)>;

struct BROWSEINFO {
  HWND hwndOwner = nullptr;
  LPCITEMIDLIST pidlRoot = nullptr;
  LPSTR pszDisplayName = nullptr;
  LPCSTR lpszTitle = nullptr;
  UINT ulFlags = 0;
  BFFCALLBACK lpfn;
  LPARAM lParam = 0;
  int iImage = 0;
};
using BROWSEINFOA = BROWSEINFO;
using LPBROWSEINFO = BROWSEINFO*;

LPITEMIDLIST SHBrowseForFolder(LPBROWSEINFO info);
inline constexpr auto& SHBrowseForFolderA = SHBrowseForFolder;

namespace BrowseFolderText {
inline constexpr const char* Caption = "Browse for Folder";
inline constexpr const char* Desktop = "Desktop";
inline constexpr const char* Home = "Home";
inline constexpr const char* FileSystem = "File System";
inline constexpr const char* Folder = "Folder:";
inline constexpr const char* Ok = "OK";
inline constexpr const char* Cancel = "Cancel";
}  // namespace BrowseFolderText
