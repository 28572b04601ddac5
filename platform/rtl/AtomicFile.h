#pragma once
// Replacing a file's contents in one step. The new contents go to a temporary file with a
// unique name in the folder of the file they replace; Commit syncs it, renames it over that
// file and syncs the folder, so that a reader, a crash or a power cut finds either the old file
// or the new one, never a mix, and success is reported only once the new file is on disk.
// The new file keeps the old one's mode, owner and group, as far as the user may set them.
// A symbolic link is followed: the file it names is replaced and the link stays a link.
// Anything that is not a regular file (a folder, a device, a pipe, a socket, a dangling link,
// a link loop) is refused and left as it is. Deleted without Commit, the temporary file goes
// and the old file stays as it was. A process killed while it writes leaves its temporary file
// behind: the next commit in that folder removes those of processes that have gone. A process
// that ends itself at once does so through AbandonWritesAndExit, which leaves none.
//
// Every writer of a whole file uses this: the settings files, the image output stream, the
// font cache. Writers that read, change and write back a shared file go through
// UpdateFileText (FileUpdate.h), which adds the lock.

#include <cstddef>
#include <string>

#include "platform/rtl/AnsiString.h"

class AtomicFile {
public:
  // Makes the temporary file. EFCreateError when fileName cannot be replaced (see above) or
  // the temporary file cannot be made beside it.
  explicit AtomicFile(const AnsiString& fileName);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // The file Commit replaces: fileName, or the file its symbolic link names.
  const AnsiString& Target() const { return target_; }
  int Handle() const { return handle_; }
  // Hands the temporary file's descriptor to an owner that closes it (a file stream). The
  // owner keeps it open until Commit has run or this object is gone.
  int ReleaseHandle();

  // Writes all of the bytes at the temporary file's position; EFCreateError when they do not
  // all go out.
  void Write(const void* data, std::size_t size);
  // Syncs the temporary file, renames it over the target and syncs the folder. EFCreateError
  // when any step fails; up to the rename the old file is untouched.
  void Commit();

  // The file a write to fileName replaces, following a symbolic link; fileName itself when
  // nothing is there yet. EFCreateError for everything that is not a regular file.
  static AnsiString TargetOf(const AnsiString& fileName);
  // Replaces fileName's contents with bytes: the whole round of the above in one call.
  static void WriteFile(const AnsiString& fileName, const std::string& bytes);
  // Ends the process at once (no destructors run) with the writes of every thread settled:
  // each is either wholly in place or its temporary file is gone and its old file kept.
  [[noreturn]] static void AbandonWritesAndExit(int status);

private:
  AnsiString fileName_;  // as the caller named it, for the error messages
  AnsiString target_;
  AnsiString temporary_;
  int handle_ = -1;
  bool ownsHandle_ = true;
  bool committed_ = false;
};

namespace RtlText {
inline constexpr const char* NotRegularFile = "It is not a regular file.";
}  // namespace RtlText
