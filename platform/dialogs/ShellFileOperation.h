#pragma once
// The shell's file operation: copy, move, rename or delete lists of files and folders, with
// the confirmations and the error boxes of the desktop (the layer's MessageBox), on the real
// file system.
//
// pFrom and pTo are lists of names, each ended by a NUL and the whole by a second NUL. A
// source's last part may hold the wildcards '*' and '?' ("*.*" matches every name); with
// FOF_FILESONLY a wildcard takes files only. A destination that is a folder receives the
// sources under their own names; a destination that is not there is the new name of a single
// source, or a folder to make for several (asked unless FOF_NOCONFIRMMKDIR); FOF_MULTIDESTFILES
// pairs the lists name by name. FO_RENAME renames one item (a destination without '/' is a
// name in the source's folder).
//
// A name that is taken: FOF_RENAMEONCOLLISION picks "name (2).ext"; FOF_NOCONFIRMATION
// replaces; otherwise the user is asked (Yes replaces, No skips that item, Cancel stops). A
// folder onto a folder merges them. A copy is written under a temporary name and renamed over
// the old file at the end, so a failed copy leaves the old file as it was. Links are copied
// and moved as links, never followed. FO_DELETE with FOF_ALLOWUNDO moves to the desktop's
// trash (ShellTrash.h); without it the items are gone. Deletions are confirmed once, for the
// whole list, unless FOF_NOCONFIRMATION.
//
// The file system root is never a source (DE_ROOTDIR). The first failure stops the operation and is shown unless FOF_NOERRORUI. The answer is 0,
// ERROR_CANCELLED when the user stopped it, or the error's code; fAnyOperationsAborted tells
// whether the user skipped or stopped anything. There is no progress window, so FOF_SILENT
// and FOF_SIMPLEPROGRESS change nothing.

#include "platform/gdi/WinDefs.h"
#include "platform/rtl/LastError.h"  // the error codes it answers
#include "platform/rtl/WinTypes.h"

using FILEOP_FLAGS = WORD;

constexpr UINT FO_MOVE = 0x1, FO_COPY = 0x2, FO_DELETE = 0x3, FO_RENAME = 0x4;
constexpr FILEOP_FLAGS FOF_MULTIDESTFILES = 0x1, FOF_CONFIRMMOUSE = 0x2, FOF_SILENT = 0x4,
                       FOF_RENAMEONCOLLISION = 0x8, FOF_NOCONFIRMATION = 0x10, FOF_WANTMAPPINGHANDLE = 0x20,
                       FOF_ALLOWUNDO = 0x40, FOF_FILESONLY = 0x80, FOF_SIMPLEPROGRESS = 0x100,
                       FOF_NOCONFIRMMKDIR = 0x200, FOF_NOERRORUI = 0x400;

// The shell's own answers beside the system's error codes.
constexpr int DE_SAMEFILE = 0x71, DE_MANYSRC1DEST = 0x72, DE_ROOTDIR = 0x74, DE_DESTSUBTREE = 0x76,
              DE_INVALIDFILES = 0x7C;
constexpr int ERROR_CANCELLED = 1223;

struct SHFILEOPSTRUCT {
  HWND hwnd = nullptr;
  UINT wFunc = 0;
  LPCSTR pFrom = nullptr;
  LPCSTR pTo = nullptr;
  FILEOP_FLAGS fFlags = 0;
  BOOL fAnyOperationsAborted = FALSE;
  LPVOID hNameMappings = nullptr;
  LPCSTR lpszProgressTitle = nullptr;
};
using SHFILEOPSTRUCTA = SHFILEOPSTRUCT;
using LPSHFILEOPSTRUCT = SHFILEOPSTRUCT*;

int SHFileOperation(LPSHFILEOPSTRUCT operation);
inline constexpr auto& SHFileOperationA = SHFileOperation;

// The texts of the confirmations and errors (the program's language file may translate its
// own; these are the layer's). %s is a name, %d a count.
namespace ShellText {
inline constexpr const char* ConfirmReplaceCaption = "Confirm File Replace";
inline constexpr const char* ConfirmReplaceFile =
    "This folder already contains a file named '%s'.\n\nWould you like to replace the existing file?";
inline constexpr const char* ConfirmReplaceFolder =
    "This folder already contains a folder named '%s'.\n\nFiles with the same names will be replaced. "
    "Do you still want to move or copy the folder?";
inline constexpr const char* ConfirmDeleteCaption = "Confirm File Delete";
inline constexpr const char* ConfirmDelete = "Are you sure you want to delete '%s'?";
inline constexpr const char* ConfirmTrash = "Are you sure you want to move '%s' to the Trash?";
inline constexpr const char* ConfirmDeleteMany = "Are you sure you want to delete these %d items?";
inline constexpr const char* ConfirmTrashMany = "Are you sure you want to move these %d items to the Trash?";
inline constexpr const char* ConfirmMakeFolderCaption = "Confirm Folder Create";
inline constexpr const char* ConfirmMakeFolder = "The folder '%s' does not exist.\n\nDo you want to create it?";
inline constexpr const char* ErrorCaption = "Error";
inline constexpr const char* CannotCopy = "Cannot copy '%s': %s";
inline constexpr const char* CannotMove = "Cannot move '%s': %s";
inline constexpr const char* CannotRename = "Cannot rename '%s': %s";
inline constexpr const char* CannotDelete = "Cannot delete '%s': %s";
inline constexpr const char* SameFile = "The source and the destination are the same file.";
inline constexpr const char* IntoItself = "The destination folder is inside the source folder.";
}  // namespace ShellText
