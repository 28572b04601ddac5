#include "quillo/files/BackupLeftovers.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "quillo/files/ImageFiles.h"

namespace {

constexpr std::string_view kSuffix = ".qlbak";

// A pending backup's parts: the file it belongs to and the process that made it.
struct PendingName {
  AnsiString fileName;
  pid_t pid = 0;
};

bool AllDigits(std::string_view s) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// ".NAME.<pid>-<n>.qlbak": false for every other name.
bool ParsePendingName(std::string_view name, PendingName& parsed) {
  if (name.size() <= 1 + kSuffix.size() || name.front() != '.' || !name.ends_with(kSuffix)) return false;
  name.remove_prefix(1);
  name.remove_suffix(kSuffix.size());
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return false;
  const std::string_view tag = name.substr(dot + 1);
  const std::size_t dash = tag.find('-');
  if (dash == std::string_view::npos || !AllDigits(tag.substr(0, dash)) || !AllDigits(tag.substr(dash + 1)))
    return false;
  parsed.fileName = AnsiString(name.substr(0, dot));
  parsed.pid = static_cast<pid_t>(std::stol(std::string(tag.substr(0, dash))));
  return parsed.pid > 0;
}

bool ProcessHasGone(pid_t pid) { return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

// Whether the backup holds a later version of the file than the pending one: the backup keeps
// the modification time of the bytes it holds.
bool BackupIsLater(const AnsiString& backup, const struct stat& pending) {
  struct stat info{};
  if (::lstat(backup.c_str(), &info) != 0) return false;
  if (info.st_mtim.tv_sec != pending.st_mtim.tv_sec) return info.st_mtim.tv_sec > pending.st_mtim.tv_sec;
  return info.st_mtim.tv_nsec > pending.st_mtim.tv_nsec;
}

void Tidy(const AnsiString& folder, const AnsiString& name, const PendingName& parsed) {
  const AnsiString path = folder + name;
  struct stat info{};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
  // Two links: the file still has these bytes under its own name.
  if (info.st_nlink > 1) {
    ::unlink(path.c_str());
    return;
  }
  const AnsiString backup = BackupFileName(folder + parsed.fileName);
  if (BackupIsLater(backup, info)) {
    ::unlink(path.c_str());
    return;
  }
  // A failed rename leaves the pending name: the bytes stay until a later save can place them.
  std::rename(path.c_str(), backup.c_str());
}

}  // namespace

AnsiString PendingBackupName(const AnsiString& folder, const AnsiString& fileName, pid_t pid, int attempt) {
  return folder + Format(".%s.%d-%d.qlbak", fileName.c_str(), static_cast<int>(pid), attempt);
}

void TidyBackupLeftovers(const AnsiString& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  std::vector<std::pair<AnsiString, PendingName>> gone;
  while (const dirent* entry = ::readdir(dir)) {
    PendingName parsed;
    if (ParsePendingName(entry->d_name, parsed) && ProcessHasGone(parsed.pid)) gone.emplace_back(entry->d_name, parsed);
  }
  ::closedir(dir);
  for (const auto& [name, parsed] : gone) Tidy(folder, name, parsed);
}
