#pragma once
// Reading files that must be regular files: settings, caches and images. They are opened
// without waiting, so that a named pipe in their place never holds the program up, and
// anything but a regular file (a pipe, a device, a socket, a folder) is refused unread. A
// whole-file read takes at most a limit, so that a huge file cannot take all memory.

#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "platform/rtl/AnsiString.h"

// The most a settings file (the registry, an INI file, a cache) may hold.
inline constexpr std::int64_t kMaxSettingsFileBytes = std::int64_t(64) << 20;

// Whether a regular file is at path (a link followed), found without opening it: a check to
// make before handing a path to something that opens it its own way (the dynamic loader).
bool IsRegularFile(const AnsiString& path);

// A descriptor open for reading path (blocking reads, as for any file); -1 when it cannot be opened or is not a regular file,
// with *reason (when given) saying why in the system's words.
int TryOpenRegularFile(const AnsiString& path, AnsiString* reason);
// The same, raising EFOpenError that names the file and the reason.
int OpenRegularFile(const AnsiString& path);

struct RegularFileText {
  enum class Outcome { Read, Missing, Refused };
  Outcome outcome = Outcome::Missing;
  std::string text;
  AnsiString reason;  // Refused: why, in the system's words
  struct stat status {};  // of the file read (not of what may be at the path by now)
  // Refused: the message to show, naming the file and the reason.
  AnsiString Message(const AnsiString& path) const;
};
// The whole of a regular file of at most `limit` bytes; Missing when nothing is at path.
RegularFileText ReadRegularFile(const AnsiString& path, std::int64_t limit = kMaxSettingsFileBytes);
