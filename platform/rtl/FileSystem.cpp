#include "platform/rtl/FileSystem.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/rtl/FindFile.h"
#include "platform/rtl/LastError.h"
#include "platform/rtl/SysUtils.h"

namespace {

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

BOOL FailErrno() { return Fail(ErrorFromErrno(errno)); }

// Copies a string into a caller's buffer as Windows does: the length without the zero when
// it fits, else the size needed with the zero and nothing written.
DWORD ToBuffer(const AnsiString& text, DWORD size, LPSTR buffer) {
  if (buffer == nullptr || text.size() + 1 > size) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

// A file descriptor closed on every exit.
class FileHandle {
public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int Get() const { return fd_; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

private:
  int fd_;
};

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool CopyBytes(int from, int to) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return true;
    if (!WriteAll(to, buffer.data(), static_cast<size_t>(got))) return false;
  }
}

bool Exists(const AnsiString& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The copy proper, into a temporary file beside the destination.
BOOL CopyInto(const AnsiString& from, const AnsiString& to, bool replace) {
  // Opened without waiting, so that a pipe is refused rather than waited on; only a regular
  // file's bytes are copied (a device would never end).
  FileHandle source(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (source.Get() < 0) return FailErrno();
  struct stat info {};
  if (::fstat(source.Get(), &info) != 0) return FailErrno();
  if (!S_ISREG(info.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  const int flags = ::fcntl(source.Get(), F_GETFL);
  if (flags >= 0) ::fcntl(source.Get(), F_SETFL, flags & ~O_NONBLOCK);

  AnsiString temp = to + ".copyXXXXXX";
  FileHandle target(::mkostemp(temp.data(), O_CLOEXEC));
  if (target.Get() < 0) return FailErrno();
  auto discard = [&](DWORD code) {
    ::unlink(temp.c_str());
    return Fail(code);
  };
  if (!CopyBytes(source.Get(), target.Get())) return discard(ErrorFromErrno(errno));
  const struct timespec times[2] = {info.st_atim, info.st_mtim};
  ::futimens(target.Get(), times);
  ::fchmod(target.Get(), info.st_mode & 07777);
  if (::close(target.Release()) != 0) return discard(ErrorFromErrno(errno));
  if (replace) {
    if (::rename(temp.c_str(), to.c_str()) != 0) return discard(ErrorFromErrno(errno));
  } else {
    // Links the finished copy in only where nothing exists yet, so no other file is lost.
    if (::link(temp.c_str(), to.c_str()) == 0) {
      ::unlink(temp.c_str());
    } else if (errno == EEXIST || Exists(to)) {
      return discard(ERROR_ALREADY_EXISTS);
    } else if (::rename(temp.c_str(), to.c_str()) != 0) {  // a file system without links
      return discard(ErrorFromErrno(errno));
    }
  }
  return TRUE;
}

bool ReadOnlyFile(const AnsiString& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && (info.st_mode & S_IWUSR) == 0;
}

AnsiString CurrentFolder() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return AnsiString("/");
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

}  // namespace

DWORD GetFileAttributes(LPCSTR path) {
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  const int attr = FileGetAttr(path);
  if (attr < 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_FILE_ATTRIBUTES;
  }
  return attr == 0 ? FILE_ATTRIBUTE_NORMAL : static_cast<DWORD>(attr);
}

BOOL SetFileAttributes(LPCSTR path, DWORD attributes) {
  if (path == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  const int code = FileSetAttr(path, static_cast<int>(attributes & FILE_ATTRIBUTE_READONLY));
  return code == 0 ? TRUE : Fail(static_cast<DWORD>(code));
}

BOOL CopyFile(LPCSTR from, LPCSTR to, BOOL failIfExists) {
  if (from == nullptr || to == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (ReadOnlyFile(to)) return Fail(ERROR_ACCESS_DENIED);
  const BOOL copied = CopyInto(from, to, !failIfExists);
  if (!copied && failIfExists && GetLastError() == ERROR_ALREADY_EXISTS) SetLastError(ERROR_FILE_EXISTS);
  return copied;
}

BOOL MoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
  if (from == nullptr || to == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  struct stat source {};
  if (::lstat(from, &source) != 0) return FailErrno();
  const bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
  if (!replace && Exists(to)) return Fail(ERROR_ALREADY_EXISTS);
  if (replace && ReadOnlyFile(to)) return Fail(ERROR_ACCESS_DENIED);
  // Without replacing, the rename itself refuses an existing destination, so a file that
  // appears meanwhile is not lost; file systems that cannot do that get a plain rename.
  int renamed = ::renameat2(AT_FDCWD, from, AT_FDCWD, to, replace ? 0 : RENAME_NOREPLACE);
  if (renamed != 0 && errno == EINVAL && !replace) renamed = ::rename(from, to);
  if (renamed == 0) return TRUE;
  if (errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
  if (errno != EXDEV) return FailErrno();
  if ((flags & MOVEFILE_COPY_ALLOWED) == 0 || S_ISDIR(source.st_mode))
    return Fail(ERROR_NOT_SAME_DEVICE);
  if (!CopyInto(from, to, replace)) return FALSE;
  if (::unlink(from) != 0) return FailErrno();
  return TRUE;
}

BOOL MoveFile(LPCSTR from, LPCSTR to) { return MoveFileEx(from, to, MOVEFILE_COPY_ALLOWED); }

DWORD GetTempPath(DWORD size, LPSTR buffer) {
  const char* dir = ::getenv("TMPDIR");
  AnsiString path = dir != nullptr && dir[0] != '\0' ? dir : "/tmp";
  return ToBuffer(IncludeTrailingPathDelimiter(path), size, buffer);
}

UINT GetTempFileName(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR buffer) {
  if (path == nullptr || buffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const AnsiString folder = IncludeTrailingPathDelimiter(path);
  const AnsiString start = folder + AnsiString(prefix != nullptr ? prefix : "").substr(0, 3);
  auto nameFor = [&](UINT number) { return start + IntToHex(number, 1) + ".tmp"; };
  if (unique != 0) {
    unique &= 0xFFFF;
    const AnsiString name = nameFor(unique);
    if (name.size() >= MAX_PATH) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return unique;
  }
  // Start somewhere that differs between processes, then try each number once.
  const UINT first = (static_cast<UINT>(::getpid()) * 2654435761u >> 16) & 0xFFFF;
  for (UINT i = 0; i < 0x10000; ++i) {
    const UINT number = (first + i) % 0xFFFF + 1;
    const AnsiString name = nameFor(number);
    if (name.size() >= MAX_PATH) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      std::memcpy(buffer, name.c_str(), name.size() + 1);
      return number;
    }
    if (errno != EEXIST) {
      SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_DIRECTORY : ErrorFromErrno(errno));
      return 0;
    }
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}

AnsiString ExpandFileName(const AnsiString& name) {
  if (name.empty()) return AnsiString();
  const AnsiString whole = name[0] == '/' ? name : CurrentFolder() + "/" + name;
  std::vector<AnsiString> parts;
  size_t at = 0;
  while (at <= whole.size()) {
    size_t slash = whole.find('/', at);
    if (slash == AnsiString::npos) slash = whole.size();
    const AnsiString part = whole.substr(at, slash - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = slash + 1;
  }
  AnsiString result;
  for (const AnsiString& part : parts) result += "/" + part;
  // A trailing '/' names a folder and stays, as it does on Windows.
  if (result.empty() || whole.back() == '/') result += "/";
  return result;
}

DWORD GetFullPathName(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart) {
  if (name == nullptr || name[0] == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const AnsiString full = ExpandFileName(name);
  const DWORD answer = ToBuffer(full, size, buffer);
  if (filePart != nullptr && answer < size) {
    const size_t slash = full.rfind('/');
    *filePart = slash + 1 < full.size() ? buffer + slash + 1 : nullptr;
  }
  return answer;
}

AnsiString GetCurrentDir() { return CurrentFolder(); }

bool SetCurrentDir(const AnsiString& folder) { return ::chdir(folder.c_str()) == 0; }

DWORD GetCurrentDirectory(DWORD size, LPSTR buffer) { return ToBuffer(CurrentFolder(), size, buffer); }

BOOL SetCurrentDirectory(LPCSTR folder) {
  if (folder == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  return ::chdir(folder) == 0 ? TRUE : FailErrno();
}

BOOL GetDiskFreeSpaceEx(LPCSTR folder, ULARGE_INTEGER* freeBytesAvailable,
                        ULARGE_INTEGER* totalBytes, ULARGE_INTEGER* totalFreeBytes) {
  struct statvfs info {};
  const char* where = folder != nullptr && folder[0] != '\0' ? folder : ".";
  if (::statvfs(where, &info) != 0) return FailErrno();
  const std::uint64_t unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
  if (freeBytesAvailable != nullptr) freeBytesAvailable->QuadPart = unit * info.f_bavail;
  if (totalBytes != nullptr) totalBytes->QuadPart = unit * info.f_blocks;
  if (totalFreeBytes != nullptr) totalFreeBytes->QuadPart = unit * info.f_bfree;
  return TRUE;
}

BOOL GetDiskFreeSpace(LPCSTR folder, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                      DWORD* freeClusters, DWORD* totalClusters) {
  struct statvfs info {};
  const char* where = folder != nullptr && folder[0] != '\0' ? folder : ".";
  if (::statvfs(where, &info) != 0) return FailErrno();
  const std::uint64_t unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
  constexpr std::uint64_t kSector = 512;
  const std::uint64_t perCluster = std::max<std::uint64_t>(1, unit / kSector);
  const std::uint64_t clusterBytes = perCluster * kSector;
  auto capped = [](std::uint64_t n) { return static_cast<DWORD>(std::min<std::uint64_t>(n, 0xFFFFFFFFu)); };
  if (sectorsPerCluster != nullptr) *sectorsPerCluster = capped(perCluster);
  if (bytesPerSector != nullptr) *bytesPerSector = kSector;
  if (freeClusters != nullptr) *freeClusters = capped(unit * info.f_bavail / clusterBytes);
  if (totalClusters != nullptr) *totalClusters = capped(unit * info.f_blocks / clusterBytes);
  return TRUE;
}

AnsiString PercentEncodedPath(const AnsiString& path) {
  static const char* hex = "0123456789ABCDEF";
  AnsiString out;
  for (unsigned char c : path) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '-' ||
                 c == '_' || c == '.' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}
