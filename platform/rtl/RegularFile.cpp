#include "platform/rtl/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

namespace {

// A descriptor for reading path with its status, or -1 with `error` the system's error
// number (0: something is there, but not a regular file). O_NONBLOCK keeps the open of a pipe
// without a writer from waiting for one; a regular file reads as ever with it.
int OpenRegular(const AnsiString& path, int& error, struct stat& info) {
  const int handle = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (handle < 0) {
    error = errno;
    return -1;
  }
  if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(handle);
    error = 0;
    return -1;
  }
  // A regular file it is: reads from here on behave as on any descriptor.
  const int flags = ::fcntl(handle, F_GETFL);
  if (flags >= 0) ::fcntl(handle, F_SETFL, flags & ~O_NONBLOCK);
  return handle;
}

AnsiString Reason(int error) { return error == 0 ? AnsiString(RtlText::NotRegularFile) : AnsiString(std::strerror(error)); }

}  // namespace

bool IsRegularFile(const AnsiString& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

AnsiString RegularFileText::Message(const AnsiString& path) const {
  return Format(RtlText::FOpenError, path.c_str(), reason.c_str());
}

int TryOpenRegularFile(const AnsiString& path, AnsiString* reason) {
  int error = 0;
  struct stat info {};
  const int handle = OpenRegular(path, error, info);
  if (handle < 0 && reason != nullptr) *reason = Reason(error);
  return handle;
}

int OpenRegularFile(const AnsiString& path) {
  AnsiString reason;
  const int handle = TryOpenRegularFile(path, &reason);
  if (handle < 0) throw EFOpenError(Format(RtlText::FOpenError, path.c_str(), reason.c_str()));
  return handle;
}

RegularFileText ReadRegularFile(const AnsiString& path, std::int64_t limit) {
  RegularFileText result;
  int error = 0;
  const int handle = OpenRegular(path, error, result.status);
  if (handle < 0) {
    result.outcome = error == ENOENT ? RegularFileText::Outcome::Missing : RegularFileText::Outcome::Refused;
    if (error != ENOENT) result.reason = Reason(error);
    return result;
  }
  // The size is checked before anything is read, and again as the file is read (it may grow).
  error = result.status.st_size > limit ? EFBIG : 0;
  char chunk[16384];
  while (error == 0) {
    const ssize_t n = ::read(handle, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    if (n <= 0) break;
    if (static_cast<std::int64_t>(result.text.size()) + n > limit) error = EFBIG;
    else result.text.append(chunk, static_cast<size_t>(n));
  }
  ::close(handle);
  if (error != 0) {
    result.outcome = RegularFileText::Outcome::Refused;
    result.reason = std::strerror(error);
    result.text.clear();
  } else {
    result.outcome = RegularFileText::Outcome::Read;
  }
  return result;
}
