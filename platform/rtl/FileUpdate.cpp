#include "platform/rtl/FileUpdate.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

namespace {

// An exclusive lock on a lock file, held for the object's lifetime. flock belongs to the open
// file, so two threads of one process that each open the lock file exclude each other too.
class WriterLock {
public:
  WriterLock(const AnsiString& fileName, const AnsiString& lockName)
      : handle_(::open(lockName.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666)) {
    if (handle_ < 0) Fail(fileName);
    while (::flock(handle_, LOCK_EX) != 0)
      if (errno != EINTR) Fail(fileName);
  }
  ~WriterLock() {
    if (handle_ >= 0) ::close(handle_);  // closing lets go of the lock
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

private:
  [[noreturn]] void Fail(const AnsiString& fileName) {
    const int error = errno;
    if (handle_ >= 0) ::close(handle_);
    throw EFCreateError(Format(RtlText::FCreateError, fileName.c_str(), std::strerror(error)));
  }

  int handle_;
};

// The file's whole contents; "" when there is none. A file that is there but cannot be read
// raises: writing over it from an empty start would lose it.
std::string ReadCurrentText(const AnsiString& fileName, const AnsiString& target) {
  const int handle = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
  if (handle < 0) {
    if (errno == ENOENT) return std::string();
    throw EFOpenError(Format(RtlText::FOpenError, fileName.c_str(), std::strerror(errno)));
  }
  std::string text;
  char chunk[16384];
  for (;;) {
    const ssize_t n = ::read(handle, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      ::close(handle);
      throw EFOpenError(Format(RtlText::FOpenError, fileName.c_str(), std::strerror(error)));
    }
    if (n == 0) break;
    text.append(chunk, static_cast<size_t>(n));
  }
  ::close(handle);
  return text;
}

}  // namespace

void UpdateFileText(const AnsiString& fileName, const FileTextChange& change) {
  // The lock sits beside the file a link names, so that every path to one file shares it.
  const AnsiString target = AtomicFile::TargetOf(fileName);
  WriterLock lock(fileName, target + ".lock");
  std::string text = ReadCurrentText(fileName, target);
  if (!change(text)) return;
  AtomicFile file(target);
  file.Write(text.data(), text.size());
  file.Commit();
}
