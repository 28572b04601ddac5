#include "platform/rtl/FileUpdate.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RegularFile.h"
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

// The file's whole contents ("" when there is none) and its status. A file that is there but
// cannot be read (or holds more than a settings file may) raises: writing over it from an
// empty start would lose it.
RegularFileText ReadCurrentText(const AnsiString& fileName, const AnsiString& target) {
  RegularFileText file = ReadRegularFile(target);
  if (file.outcome == RegularFileText::Outcome::Refused)
    throw EFOpenError(Format(RtlText::FOpenError, fileName.c_str(), file.reason.c_str()));
  return file;
}

}  // namespace

UpdatedFile UpdateFileText(const AnsiString& fileName, const FileTextChange& change) {
  // The lock sits beside the file a link names, so that every path to one file shares it.
  const AnsiString target = AtomicFile::TargetOf(fileName);
  WriterLock lock(fileName, target + ".lock");
  RegularFileText current = ReadCurrentText(fileName, target);
  if (!change(current.text)) return UpdatedFile{current.outcome == RegularFileText::Outcome::Read, current.status};
  AtomicFile file(target);
  file.Write(current.text.data(), current.text.size());
  file.Commit();
  UpdatedFile written{true, {}};
  if (::fstat(file.Handle(), &written.status) != 0) written.exists = false;  // then it is read again
  return written;
}
