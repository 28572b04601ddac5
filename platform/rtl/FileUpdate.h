#pragma once
// One read-modify-write of a file that several writers share (a settings file, the registry
// store), safe against writers in other threads and other processes. Every writer takes an
// exclusive lock on "<file>.lock" beside the file, reads the file as it is now under that lock,
// changes the text and puts the result in place with AtomicFile before it lets go, so that no
// writer works from a copy another one has since replaced. Readers take no lock: they find the
// old file or the new one. The lock file is left in place; removing it would let two writers
// lock two different files.

#include <sys/stat.h>

#include <functional>
#include <string>

#include "platform/rtl/AnsiString.h"

// Called with the file's current contents ("" when there is no file yet); edits them and
// answers whether there is anything to write.
using FileTextChange = std::function<bool(std::string& text)>;

// The file as an update leaves it when it lets go of the lock: whether there is one, and its
// status (of the file a link names), so that a caller can tell later whether it was replaced
// since without reading it again.
struct UpdatedFile {
  bool exists = false;
  struct stat status {};
};

// EFOpenError when the file is there but cannot be read (or is larger than a settings file
// may be), EFCreateError when it cannot be locked or replaced (see AtomicFile); the file then
// stays as it was.
UpdatedFile UpdateFileText(const AnsiString& fileName, const FileTextChange& change);
