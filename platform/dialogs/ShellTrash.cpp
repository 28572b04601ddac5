#include "platform/dialogs/ShellTrash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "platform/dialogs/ShellFolders.h"
#include "platform/rtl/FileSystem.h"

namespace fs = std::filesystem;

namespace {

std::string DeletionDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

bool MakeFolder(const std::string& path) {
  std::error_code error;
  fs::create_directories(path, error);
  ::chmod(path.c_str(), 0700);
  struct stat info{};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder that holds path's file system: the highest folder on the same device.
std::string TopFolder(const std::string& path, dev_t device) {
  std::string top = path.substr(0, path.rfind('/'));
  if (top.empty()) return "/";
  for (;;) {
    const size_t slash = top.rfind('/');
    const std::string parent = slash == 0 ? "/" : top.substr(0, slash);
    struct stat info{};
    if (::stat(parent.c_str(), &info) != 0 || info.st_dev != device) return top;
    if (parent == "/") return parent;
    top = parent;
  }
}

// Reserves a name in the trash by creating its info file (O_EXCL: two trashings of the same
// name never share one), then moves the item in. The info file goes again when the move fails.
int TrashInto(const std::string& trash, const std::string& full) {
  if (!MakeFolder(trash + "/files") || !MakeFolder(trash + "/info")) return EACCES;
  const std::string base = full.substr(full.rfind('/') + 1);
  const size_t dot = base.rfind('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
  const std::string ext = dot == std::string::npos || dot == 0 ? "" : base.substr(dot);
  for (int n = 1; n < 10000; ++n) {
    const std::string name = n == 1 ? base : stem + "." + std::to_string(n) + ext;
    const std::string info = trash + "/info/" + name + ".trashinfo";
    const int handle = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (handle < 0) {
      if (errno == EEXIST) continue;
      return errno;
    }
    const std::string text = "[Trash Info]\nPath=" + PercentEncodedPath(full) + "\nDeletionDate=" + DeletionDate() + "\n";
    const bool written = ::write(handle, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    const bool closed = ::close(handle) == 0;
    const std::string target = trash + "/files/" + name;
    struct stat existing{};
    if (::lstat(target.c_str(), &existing) == 0) {  // a leftover without its info: keep it
      ::unlink(info.c_str());
      continue;
    }
    if (written && closed && ::rename(full.c_str(), target.c_str()) == 0) return 0;
    const int error = written && closed ? errno : EIO;
    ::unlink(info.c_str());
    return error;
  }
  return EEXIST;
}

}  // namespace

std::string HomeTrashFolder() { return SpecialFolderPath(CSIDL_LOCAL_APPDATA) + "/Trash"; }

int MoveToTrash(const std::string& path) {
  std::string full = ExpandFileName(path);
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  struct stat item{};
  if (::lstat(full.c_str(), &item) != 0) return errno;
  if (full == "/") return EINVAL;
  const std::string home = HomeTrashFolder();
  // The trash itself is not trashed.
  if (full == home || full.rfind(home + "/", 0) == 0) return EINVAL;
  MakeFolder(home);
  struct stat homeInfo{};
  if (::stat(home.c_str(), &homeInfo) == 0 && homeInfo.st_dev == item.st_dev) return TrashInto(home, full);
  // Another file system: its own trash at its top folder.
  const std::string top = TopFolder(full, item.st_dev);
  return TrashInto((top == "/" ? "" : top) + "/.Trash-" + std::to_string(::getuid()), full);
}
