#pragma once
// The explorer-style open and save dialogs (GetOpenFileName, GetSaveFileName): a folder
// combo, up-one-level, new-folder and view buttons, a places bar, the file list over the real
// folder, the file-name edit, the file-type combo and the buttons, all with the identifiers
// Windows gives them. A hook (OFN_ENABLEHOOK) is the dialog procedure of a child dialog made
// from the caller's template (or an empty one) inside the main dialog; it hears the CDN_
// notifications as WM_NOTIFY with an OFNOTIFY, and asks the main dialog (its parent) with the
// CDM_ messages. Strings are UTF-8; paths are Linux paths.

#include <functional>
#include <string>

#include "platform/dialogs/CommDlgError.h"
#include "platform/dialogs/CommDlgIds.h"
#include "platform/user/Dialog.h"

// The hook: a dialog procedure for the child dialog (TRUE when it handled the message).
using LPOFNHOOKPROC = std::function<UINT_PTR(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)>;

struct OPENFILENAME {
  DWORD lStructSize = sizeof(OPENFILENAME);
  HWND hwndOwner = nullptr;
  // With OFN_ENABLETEMPLATEHANDLE: the child's in-memory template, a DialogTemplate.
  HINSTANCE hInstance = nullptr;
  // Pairs of description and patterns ("PNG Image\0*.png\0Pictures\0*.png;*.jpg\0"), the last
  // pair followed by a second NUL.
  LPCSTR lpstrFilter = nullptr;
  LPSTR lpstrCustomFilter = nullptr;
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 0;  // 1-based; kept up to date while the dialog runs
  LPSTR lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  LPSTR lpstrFileTitle = nullptr;
  DWORD nMaxFileTitle = 0;
  LPCSTR lpstrInitialDir = nullptr;
  LPCSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;
  WORD nFileExtension = 0;
  LPCSTR lpstrDefExt = nullptr;
  LPARAM lCustData = 0;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName = nullptr;
};
using OPENFILENAMEA = OPENFILENAME;
using LPOPENFILENAME = OPENFILENAME*;

constexpr DWORD OFN_READONLY = 0x1, OFN_OVERWRITEPROMPT = 0x2, OFN_HIDEREADONLY = 0x4, OFN_NOCHANGEDIR = 0x8,
                OFN_SHOWHELP = 0x10, OFN_ENABLEHOOK = 0x20, OFN_ENABLETEMPLATE = 0x40,
                OFN_ENABLETEMPLATEHANDLE = 0x80, OFN_NOVALIDATE = 0x100, OFN_ALLOWMULTISELECT = 0x200,
                OFN_EXTENSIONDIFFERENT = 0x400, OFN_PATHMUSTEXIST = 0x800, OFN_FILEMUSTEXIST = 0x1000,
                OFN_CREATEPROMPT = 0x2000, OFN_SHAREAWARE = 0x4000, OFN_NOREADONLYRETURN = 0x8000,
                OFN_NOTESTFILECREATE = 0x10000, OFN_NONETWORKBUTTON = 0x20000, OFN_NOLONGNAMES = 0x40000,
                OFN_EXPLORER = 0x80000, OFN_NODEREFERENCELINKS = 0x100000, OFN_LONGNAMES = 0x200000,
                OFN_ENABLEINCLUDENOTIFY = 0x400000, OFN_ENABLESIZING = 0x800000,
                OFN_DONTADDTORECENT = 0x2000000, OFN_FORCESHOWHIDDEN = 0x10000000;

// Notifications to the hook (WM_NOTIFY, lParam an OFNOTIFY).
constexpr UINT CDN_FIRST = static_cast<UINT>(0U - 601U);
constexpr UINT CDN_INITDONE = CDN_FIRST - 0, CDN_SELCHANGE = CDN_FIRST - 1, CDN_FOLDERCHANGE = CDN_FIRST - 2,
               CDN_SHAREVIOLATION = CDN_FIRST - 3, CDN_HELP = CDN_FIRST - 4, CDN_FILEOK = CDN_FIRST - 5,
               CDN_TYPECHANGE = CDN_FIRST - 6, CDN_INCLUDEITEM = CDN_FIRST - 7;

struct OFNOTIFY {
  NMHDR hdr;
  LPOPENFILENAME lpOFN = nullptr;
  LPSTR pszFile = nullptr;
};

// Messages the hook sends to the main dialog (its parent). The GET messages copy into the
// buffer (lParam, wParam bytes) and answer the size the text needs with its NUL, or -1.
constexpr UINT CDM_FIRST = WM_USER + 100;
constexpr UINT CDM_GETSPEC = CDM_FIRST + 0, CDM_GETFILEPATH = CDM_FIRST + 1, CDM_GETFOLDERPATH = CDM_FIRST + 2,
               CDM_GETFOLDERIDLIST = CDM_FIRST + 3, CDM_SETCONTROLTEXT = CDM_FIRST + 4,
               CDM_HIDECONTROL = CDM_FIRST + 5, CDM_SETDEFEXT = CDM_FIRST + 6;

// The dialog's own buttons that Windows leaves unnamed: up one level, new folder, list and
// details view.
constexpr int kFileDialogUpButton = 0xA001, kFileDialogNewFolderButton = 0xA002,
              kFileDialogListButton = 0xA003, kFileDialogDetailsButton = 0xA004;

// TRUE when the user chose a file (the record then holds it); FALSE when they cancelled or
// the dialog failed (CommDlgExtendedError tells which).
BOOL GetOpenFileName(OPENFILENAME* ofn);
BOOL GetSaveFileName(OPENFILENAME* ofn);
inline constexpr auto& GetOpenFileNameA = GetOpenFileName;
inline constexpr auto& GetSaveFileNameA = GetSaveFileName;

// The folder the last accepted dialog chose from; a dialog without an initial folder starts
// there.
std::string FileDialogLastFolder();
