// The registry's file streams: reading in place, writing through a temporary file.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
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

// The file a save replaces: a symbolic link's target, so that the link stays a link.
AnsiString ReplacedFile(const AnsiString& fileName) {
  struct stat link {};
  if (::lstat(fileName.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return fileName;
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(fileName.c_str(), nullptr), &std::free);
  return real != nullptr ? AnsiString(real.get()) : fileName;
}

}  // namespace

// A new empty file in the folder of the file it will replace, readable as that file is.
GFXFile::TOutputStream::Placement GFXFile::TOutputStream::CreateTemporaryBeside(
    const AnsiString& fileName) {
  const AnsiString target = ReplacedFile(fileName);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && (S_ISDIR(existing.st_mode) || ::access(target.c_str(), W_OK) != 0))
    ThrowCreateError(fileName, S_ISDIR(existing.st_mode) ? EISDIR : EACCES);
  AnsiString pattern = ExtractFilePath(target) + ".quillo-save-XXXXXX";
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
  return {fd, AnsiString(buffer.data()), target};
}

GFXFile::TOutputStream::TOutputStream(const AnsiString& fileName)
    : TOutputStream(fileName, CreateTemporaryBeside(fileName)) {}

GFXFile::TOutputStream::TOutputStream(const AnsiString& fileName, Placement placement)
    : TFileStream(placement.handle, fileName), name(fileName),
      temporary_(placement.temporary), target_(placement.target) {}

GFXFile::TOutputStream::~TOutputStream() {
  if (!committed_) ::unlink(temporary_.c_str());
}

void GFXFile::TOutputStream::Commit() {
  if (committed_) return;
  Flush();
  if (::fsync(handle_) != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0)
    ThrowCreateError(name, errno);
  committed_ = true;
}
