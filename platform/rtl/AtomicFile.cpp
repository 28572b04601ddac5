#include "platform/rtl/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>

#include "platform/rtl/Everlasting.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

namespace {

[[noreturn]] void ThrowCreateError(const AnsiString& fileName, const char* reason) {
  throw EFCreateError(Format(RtlText::FCreateError, fileName.c_str(), reason));
}

[[noreturn]] void ThrowCreateError(const AnsiString& fileName, int error) {
  ThrowCreateError(fileName, std::strerror(error));
}

constexpr std::string_view kTemporaryPrefix = ".quillo-save-";

// The temporary files of the writes under way, for a process that ends at once. A commit
// renames under the same lock, so an ending process sees each write either done or not.
struct WritesUnderWay {
  std::mutex mutex;
  std::set<std::string> temporaries;
};

WritesUnderWay& Writes() {
  static Everlasting<WritesUnderWay> writes;
  return *writes;
}

// A name no other writer uses at the same moment: the process id tells processes apart, the
// counter the writers of one process; O_EXCL catches what is left (another host, a stale file).
AnsiString TemporaryName(const AnsiString& folder) {
  static std::atomic<unsigned long> counter{0};
  return folder + AnsiString(kTemporaryPrefix) + IntToStr(::getpid()) + "-" +
         IntToStr(static_cast<std::int64_t>(++counter));
}

// The process that made a temporary file of that name; 0 for any other name.
pid_t WriterOf(std::string_view name) {
  if (!name.starts_with(kTemporaryPrefix)) return 0;
  name.remove_prefix(kTemporaryPrefix.size());
  const size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size() || dash > 9) return 0;
  pid_t pid = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    if (i == dash) continue;
    if (name[i] < '0' || name[i] > '9') return 0;
    if (i < dash) pid = pid * 10 + (name[i] - '0');
  }
  return pid;
}

// The temporary files of saves whose process has gone (killed, crashed) are of no use to
// anyone: the next save in their folder removes them. Those of running processes stay.
void RemoveLeftovers(const AnsiString& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const pid_t writer = WriterOf(entry->d_name);
    if (writer <= 0 || writer == ::getpid() || ::kill(writer, 0) == 0 || errno != ESRCH) continue;
    ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
}

// The new file gets the old one's owner and group, then its mode (in this order: a change of
// owner clears the set-id bits). A user who may not give a file away still keeps the group
// when he belongs to it; what cannot be kept stays as the new file has it, and set-id bits
// are kept only together with the owner and group they belong to.
void KeepOwnerAndMode(int handle, const struct stat& old) {
  mode_t mode = old.st_mode & 07777;
  if (::fchown(handle, old.st_uid, old.st_gid) != 0) {
    mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    if (::fchown(handle, static_cast<uid_t>(-1), old.st_gid) != 0) {
      // The group is not one of the writer's either: the new file keeps the writer's.
    }
  }
  if (::fchmod(handle, mode) != 0) {
    // The writer owns the new file, so this does not fail; were it to, the file stays private.
  }
}

void SyncFolder(const AnsiString& fileName, const AnsiString& folder) {
  const int handle = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) ThrowCreateError(fileName, errno);
  const int result = ::fsync(handle);
  const int error = errno;
  ::close(handle);
  // Some file systems cannot sync a folder at all; their rename is as durable as it gets.
  if (result != 0 && error != EINVAL && error != ENOTSUP) ThrowCreateError(fileName, error);
}

}  // namespace

AnsiString AtomicFile::TargetOf(const AnsiString& fileName) {
  struct stat info {};
  if (::lstat(fileName.c_str(), &info) != 0) {
    if (errno == ENOENT) return fileName;  // a new file
    ThrowCreateError(fileName, errno);
  }
  AnsiString target = fileName;
  if (S_ISLNK(info.st_mode)) {
    // A dangling link or a loop fails here and is refused: replacing the link by a file
    // would cut it off from whatever it was meant to name.
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(fileName.c_str(), nullptr), &std::free);
    if (real == nullptr || ::stat(real.get(), &info) != 0) ThrowCreateError(fileName, errno);
    target = real.get();
  }
  if (S_ISDIR(info.st_mode)) ThrowCreateError(fileName, EISDIR);
  if (!S_ISREG(info.st_mode)) ThrowCreateError(fileName, RtlText::NotRegularFile);
  return target;
}

AtomicFile::AtomicFile(const AnsiString& fileName) : fileName_(fileName), target_(TargetOf(fileName)) {
  struct stat old {};
  const bool replacing = ::stat(target_.c_str(), &old) == 0;
  if (replacing && ::access(target_.c_str(), W_OK) != 0) ThrowCreateError(fileName, errno);
  // A file that replaces another starts private until it has that file's owner and mode;
  // a new file gets what the user's umask gives.
  const mode_t mode = replacing ? 0600 : 0666;
  const AnsiString folder = ExtractFilePath(target_);
  for (int attempt = 0; handle_ < 0; ++attempt) {
    temporary_ = TemporaryName(folder);
    handle_ = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (handle_ < 0 && (errno != EEXIST || attempt == 100)) ThrowCreateError(fileName, errno);
  }
  if (replacing) KeepOwnerAndMode(handle_, old);
  std::lock_guard lock(Writes().mutex);
  Writes().temporaries.insert(temporary_);
}

AtomicFile::~AtomicFile() {
  {
    std::lock_guard lock(Writes().mutex);
    Writes().temporaries.erase(temporary_);
  }
  if (!committed_) ::unlink(temporary_.c_str());
  if (ownsHandle_) ::close(handle_);
}

int AtomicFile::ReleaseHandle() {
  ownsHandle_ = false;
  return handle_;
}

void AtomicFile::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(handle_, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ThrowCreateError(fileName_, n < 0 ? errno : ENOSPC);
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
}

void AtomicFile::Commit() {
  if (committed_) return;
  if (::fsync(handle_) != 0) ThrowCreateError(fileName_, errno);
  {
    std::lock_guard lock(Writes().mutex);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) ThrowCreateError(fileName_, errno);
    Writes().temporaries.erase(temporary_);
  }
  committed_ = true;
  SyncFolder(fileName_, ExtractFilePath(target_));
  RemoveLeftovers(ExtractFilePath(target_));
}

void AtomicFile::WriteFile(const AnsiString& fileName, const std::string& bytes) {
  AtomicFile file(fileName);
  file.Write(bytes.data(), bytes.size());
  file.Commit();
}

void AtomicFile::AbandonWritesAndExit(int status) {
  // The lock is never given back: a commit that comes after waits until the process is gone.
  Writes().mutex.lock();
  for (const std::string& temporary : Writes().temporaries) ::unlink(temporary.c_str());
  std::_Exit(status);
}
