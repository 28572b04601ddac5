#pragma once
// Path and file helpers of the components, on Linux terms: paths are cut and joined at '/',
// a file name is any non-empty name without '/' or NUL, and no path has a fixed length
// limit. Folder walks never follow a symbolic link to a folder.
//
// The copy and move helpers live in FileUtil, apart from the system calls of the same names.
// A copy replaces its destination in one step (the old file stays until the new one is
// complete), so a copy that fails half-way loses nothing.
//
// The folder browser (TBrowseFolderDlg, BrowseDirectory) has a file pair of its own.

#include <cstdint>
#include <functional>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"  // ForceDirectories, which these helpers use as they are
#include "platform/vcl/Component.h"
#include "platform/vcl/SetOf.h"
#include "quillo/components/files/BrowseFolderDlg.h"

AnsiString NormalDir(const AnsiString& dir);        // with exactly one trailing '/' (empty stays empty)
AnsiString RemoveBackSlash(const AnsiString& dir);  // one trailing '/' off, but not off "/"
bool DirExists(const AnsiString& name);
bool ValidFileName(const AnsiString& name);
std::int64_t GetFileSize(const AnsiString& name);  // -1 for a folder or a missing file
TDateTime FileDateTime(const AnsiString& name);    // 0 when missing
bool HasAttr(const AnsiString& name, int attributes);
// Deletes the files a mask names (not folders, not hidden names); false at the first failure.
bool DeleteFiles(const AnsiString& mask);
bool DeleteFilesEx(const std::vector<AnsiString>& masks);
// Empties a folder, its sub-folders too; a symbolic link in it is removed as a link, and what
// it points to is left alone. With deleteDir the folder itself goes once it is empty.
bool ClearDir(const AnsiString& dir, bool deleteDir);
AnsiString GetTempDir();     // with a trailing '/'
AnsiString GetWindowsDir();  // the settings folder's "windows" folder
// Advisory locks on part of an open file (a descriptor): 0 or the system's error code.
int FileLock(int handle, std::int64_t offset, std::int64_t length);
int FileUnlock(int handle, std::int64_t offset, std::int64_t length);
// Linux has one form of each name.
inline AnsiString ShortToLongFileName(const AnsiString& name) { return name; }
inline AnsiString LongToShortFileName(const AnsiString& name) { return name; }
inline AnsiString ShortToLongPath(const AnsiString& name) { return name; }
inline AnsiString LongToShortPath(const AnsiString& name) { return name; }

// Shortcuts in a special folder (CSIDL_DESKTOP, CSIDL_PROGRAMS, CSIDL_STARTUP...): a desktop
// entry "<displayName>.desktop" that the desktop shows as displayName and that opens fileName
// (a program runs in its own folder). The special folder is made when it is not there. False
// for a display name that is empty, ".", "..", or holds '/' or a line break, and when the
// entry cannot be written or deleted.
bool CreateFileLink(const AnsiString& fileName, const AnsiString& displayName, int folder);
bool DeleteFileLink(const AnsiString& displayName, int folder);
// Where CreateFileLink puts the shortcut (empty for an unknown folder or a bad name).
AnsiString FileLinkPath(const AnsiString& displayName, int folder);

// File operations on lists of names ("a;b" or "a|b") through the shell's file operation
// (ShellFileOperation.h): the options are the shell's flags, so flAllowUndo deletes to the
// trash and confirmations and errors are shown unless switched off. OnProgress sees each item
// before it is handled (a deletion's items all before the one confirmation) and may stop.
enum TFileOperation { foCopy, foDelete, foMove, foRename };
enum TFileOperFlag {
  flAllowUndo, flConfirmMouse, flFilesOnly, flMultiDest, flNoConfirmation, flNoConfirmMkDir,
  flRenameOnCollision, flSilent, flSimpleProgress, flNoErrorUI
};
using TFileOperFlags = SetOf<TFileOperFlag>;
QUILLO_DECLARE_ENUM_TYPE(TFileOperation)
QUILLO_DECLARE_ENUM_TYPE(TFileOperFlag)
QUILLO_DECLARE_SET_TYPE(TFileOperFlag)

class TExFileOperator : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExFileOperator(TComponent* owner);
  AnsiString Source;
  AnsiString Destination;
  TFileOperation Operation = foCopy;
  TFileOperFlags Options{flAllowUndo, flNoConfirmMkDir};
  AnsiString ProgressTitle;
  // sender, the file about to be handled, abort.
  std::function<void(TObject* sender, const AnsiString& fileName, bool& abort)> OnProgress;
  // True when the last Execute was stopped by OnProgress or the user skipped or stopped
  // anything the shell asked about.
  bool Aborted() const { return aborted_; }
  // The system's error code of the failure that stopped the last Execute (0 when none).
  int ErrorCode() const { return error_; }
  bool Execute();

private:
  bool aborted_ = false;
  int error_ = 0;
};

namespace FileUtil {
// Copies source to destination (a folder takes the source's name) in blocks, driving a
// registered progress control; the destination gets the source's modification time.
// EFOpenError, EFCreateError, EReadError or EWriteError on failure, the destination unchanged.
void CopyFile(const AnsiString& source, const AnsiString& destination, TObject* progress = nullptr);
// withOperator: through TExFileOperator; an abort raises EAbort (a cancel, not an error), a
// failure EOSError with the system's message.
void CopyFileEx(const AnsiString& source, const AnsiString& destination, bool overwriteReadOnly,
                bool withOperator, TObject* progress = nullptr,
                std::function<void(const AnsiString&, bool&)> onProgress = nullptr);
// Renames, or copies and deletes across file systems.
void MoveFile(const AnsiString& source, const AnsiString& destination);
void MoveFileEx(const AnsiString& source, const AnsiString& destination, bool withOperator,
                std::function<void(const AnsiString&, bool&)> onProgress = nullptr);
}  // namespace FileUtil
