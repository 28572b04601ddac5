// The registry's file streams: reading in place, writing through a temporary file.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "vorlen/formats/GFXFile.h"

GFXFile::TInputStream::TInputStream(const AnsiString& fileName)
    : TFileStream(fileName, fmOpenRead | fmShareDenyWrite), name(fileName) {}

namespace {

[[noreturn]] void ThrowCreateError(const AnsiString& fileName, int error) {
  throw EFCreateError(Format(RtlText::FCreateError, fileName.c_str(), std::strerror(error)));
}

// A new empty file in the folder of fileName, readable as fileName will be.
std::pair<int, AnsiString> CreateTemporaryBeside(const AnsiString& fileName) {
  struct stat existing {};
  const bool exists = ::stat(fileName.c_str(), &existing) == 0;
  if (exists && (S_ISDIR(existing.st_mode) || ::access(fileName.c_str(), W_OK) != 0))
    ThrowCreateError(fileName, S_ISDIR(existing.st_mode) ? EISDIR : EACCES);
  AnsiString pattern = ExtractFilePath(fileName) + ".quillo-save-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
  if (fd < 0) ThrowCreateError(fileName, errno);
  mode_t mode;
  if (exists) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);
  return {fd, AnsiString(buffer.data())};
}

}  // namespace

GFXFile::TOutputStream::TOutputStream(const AnsiString& fileName)
    : TOutputStream(fileName, CreateTemporaryBeside(fileName)) {}

GFXFile::TOutputStream::TOutputStream(const AnsiString& fileName,
                                      std::pair<int, AnsiString> temporary)
    : TFileStream(temporary.first, fileName), name(fileName), temporary_(temporary.second) {}

GFXFile::TOutputStream::~TOutputStream() {
  if (!committed_) ::unlink(temporary_.c_str());
}

void GFXFile::TOutputStream::Commit() {
  if (committed_) return;
  if (::fsync(handle_) != 0 || ::rename(temporary_.c_str(), name.c_str()) != 0)
    ThrowCreateError(name, errno);
  committed_ = true;
}
