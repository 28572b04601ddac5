#include "platform/dialogs/ShellFileOperation.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/dialogs/ShellTrash.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/LastError.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Dialog.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> ParseList(LPCSTR list) {
  std::vector<std::string> names;
  if (!list) return names;
  for (const char* p = list; *p; p += std::strlen(p) + 1) names.emplace_back(p);
  return names;
}

std::string Trimmed(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool Lstat(const std::string& path, struct stat* info) { return ::lstat(path.c_str(), info) == 0; }
bool Exists(const std::string& path) {
  struct stat info{};
  return Lstat(path, &info);
}
bool IsFolder(const std::string& path) {
  struct stat info{};
  return Lstat(path, &info) && S_ISDIR(info.st_mode);
}
bool IsExistingFolder(const std::string& path) {  // a link to a folder counts as a destination
  struct stat info{};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// A free name beside target: "name (2).ext", "name (3).ext", ...
std::string FreeName(const std::string& target) {
  const std::string base = BaseName(target);
  const size_t dot = base.rfind('.');
  const bool hasExt = dot != std::string::npos && dot != 0;
  const std::string stem = target.substr(0, target.size() - (hasExt ? base.size() - dot : 0));
  const std::string ext = hasExt ? base.substr(dot) : "";
  for (int n = 2;; ++n) {
    const std::string candidate = stem + " (" + std::to_string(n) + ")" + ext;
    if (!Exists(candidate)) return candidate;
  }
}

// The path a folder resolves to, for the "into itself" check.
std::string Resolved(const std::string& path) {
  std::error_code error;
  const fs::path canonical = fs::weakly_canonical(path, error);
  return error ? path : canonical.string();
}

bool Inside(const std::string& path, const std::string& folder) {
  const std::string p = Resolved(path), f = Resolved(folder);
  return p == f || (p.size() > f.size() && p.compare(0, f.size(), f) == 0 && (f == "/" || p[f.size()] == '/'));
}

class FileOperation {
public:
  explicit FileOperation(SHFILEOPSTRUCT& op) : op_(op), flags_(op.fFlags) {}
  int Run();

private:
  enum class Choice { Go, Skip, Stop };

  bool Has(FILEOP_FLAGS flag) const { return (flags_ & flag) != 0; }
  int Ask(const std::string& text, const char* caption, UINT buttons);
  int Fail(int code, const std::string& name, const std::string& reason);
  int FailErrno(int error, const std::string& name) {
    return Fail(static_cast<int>(ErrorFromErrno(error)), name, std::strerror(error));
  }
  std::vector<std::string> Sources(const std::vector<std::string>& names, int* error);
  int Delete(const std::vector<std::string>& sources);
  int Transfer(const std::vector<std::string>& sources, const std::vector<std::string>& targets);
  Choice Collision(const std::string& source, std::string& target);
  int CopyItem(const std::string& source, const std::string& target);
  int CopyFolder(const std::string& source, const std::string& target);
  int CopyLink(const std::string& source, const std::string& target);
  int MoveItem(const std::string& source, const std::string& target);
  int MoveFolderInto(const std::string& source, const std::string& target);
  int MakeFolderFor(const std::string& folder);

  SHFILEOPSTRUCT& op_;
  FILEOP_FLAGS flags_;
  bool stopped_ = false;
};

int FileOperation::Ask(const std::string& text, const char* caption, UINT buttons) {
  return MessageBox(op_.hwnd, text.c_str(), caption, buttons | MB_ICONQUESTION);
}

int FileOperation::Fail(int code, const std::string& name, const std::string& reason) {
  if (!Has(FOF_NOERRORUI)) {
    const char* format = op_.wFunc == FO_COPY     ? ShellText::CannotCopy
                         : op_.wFunc == FO_MOVE   ? ShellText::CannotMove
                         : op_.wFunc == FO_RENAME ? ShellText::CannotRename
                                                  : ShellText::CannotDelete;
    MessageBox(op_.hwnd, Format(format, name.c_str(), reason.c_str()).c_str(), ShellText::ErrorCaption,
               MB_OK | MB_ICONSTOP);
  }
  return code;
}

std::vector<std::string> FileOperation::Sources(const std::vector<std::string>& names, int* error) {
  std::vector<std::string> sources;
  for (const std::string& given : names) {
    const std::string name = Trimmed(ExpandFileName(given));
    if (name == "/") {
      *error = Fail(DE_ROOTDIR, given, std::strerror(EPERM));
      return {};
    }
    const std::string pattern = BaseName(name);
    if (!HasWildcard(pattern)) {
      if (!Exists(name)) {
        *error = Fail(static_cast<int>(ERROR_FILE_NOT_FOUND), given, std::strerror(ENOENT));
        return {};
      }
      sources.push_back(name);
      continue;
    }
    const std::string folder = FolderOf(name);
    const std::string match = pattern == "*.*" ? "*" : pattern;
    std::vector<std::string> found;
    if (DIR* dir = ::opendir(folder.c_str())) {
      while (const dirent* entry = ::readdir(dir)) {
        const std::string entryName = entry->d_name;
        if (entryName == "." || entryName == "..") continue;
        if (::fnmatch(match.c_str(), entryName.c_str(), 0) != 0) continue;
        const std::string path = (folder == "/" ? "" : folder) + "/" + entryName;
        if (Has(FOF_FILESONLY) && IsFolder(path)) continue;
        found.push_back(path);
      }
      ::closedir(dir);
    }
    std::sort(found.begin(), found.end());
    sources.insert(sources.end(), found.begin(), found.end());
  }
  return sources;
}

int FileOperation::Run() {
  if (op_.wFunc < FO_MOVE || op_.wFunc > FO_RENAME || !op_.pFrom) return static_cast<int>(ERROR_INVALID_PARAMETER);
  int error = 0;
  const std::vector<std::string> names = ParseList(op_.pFrom);
  const std::vector<std::string> sources = Sources(names, &error);
  if (error) return error;
  if (sources.empty()) return 0;
  if (op_.wFunc == FO_DELETE) return Delete(sources);
  std::vector<std::string> targets = ParseList(op_.pTo);
  if (targets.empty()) return static_cast<int>(ERROR_INVALID_PARAMETER);
  for (std::string& target : targets) target = Trimmed(ExpandFileName(target));
  if (op_.wFunc == FO_RENAME) {
    if (sources.size() != 1 || targets.size() != 1) return DE_MANYSRC1DEST;
    std::string target = Trimmed(targets[0]);
    // A bare new name stays in the source's folder.
    if (std::string(op_.pTo).find('/') == std::string::npos) target = FolderOf(sources[0]) + "/" + op_.pTo;
    const Choice choice = Collision(sources[0], target);
    if (choice == Choice::Stop) return stopped_ ? ERROR_CANCELLED : DE_SAMEFILE;
    if (choice == Choice::Skip) return 0;
    return MoveItem(sources[0], target);
  }
  return Transfer(sources, targets);
}

int FileOperation::Delete(const std::vector<std::string>& sources) {
  const bool trash = Has(FOF_ALLOWUNDO);
  if (!Has(FOF_NOCONFIRMATION)) {
    const std::string text =
        sources.size() == 1
            ? Format(trash ? ShellText::ConfirmTrash : ShellText::ConfirmDelete, BaseName(sources[0]).c_str())
            : Format(trash ? ShellText::ConfirmTrashMany : ShellText::ConfirmDeleteMany, static_cast<int>(sources.size()));
    if (Ask(text, ShellText::ConfirmDeleteCaption, MB_YESNO) != IDYES) {
      op_.fAnyOperationsAborted = TRUE;
      return ERROR_CANCELLED;
    }
  }
  for (const std::string& source : sources) {
    if (trash) {
      if (const int error = MoveToTrash(source)) return FailErrno(error, source);
      continue;
    }
    std::error_code error;
    fs::remove_all(source, error);
    if (error) return FailErrno(error.value(), source);
  }
  return 0;
}

int FileOperation::MakeFolderFor(const std::string& folder) {
  if (IsExistingFolder(folder)) return 0;
  if (!Has(FOF_NOCONFIRMMKDIR) && !Has(FOF_NOCONFIRMATION) &&
      Ask(Format(ShellText::ConfirmMakeFolder, folder.c_str()), ShellText::ConfirmMakeFolderCaption, MB_YESNO) != IDYES) {
    op_.fAnyOperationsAborted = TRUE;
    stopped_ = true;
    return ERROR_CANCELLED;
  }
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return FailErrno(error.value(), folder);
  return 0;
}

int FileOperation::Transfer(const std::vector<std::string>& sources, const std::vector<std::string>& targets) {
  const bool paired = Has(FOF_MULTIDESTFILES) && targets.size() > 1;
  if (paired && targets.size() != sources.size()) return DE_MANYSRC1DEST;
  const bool several = sources.size() > 1 || HasWildcard(BaseName(ParseList(op_.pFrom)[0]));
  if (!paired && several)
    if (const int error = MakeFolderFor(targets[0])) return error;
  for (size_t i = 0; i < sources.size(); ++i) {
    const std::string& source = sources[i];
    const std::string& given = paired ? targets[i] : targets[0];
    std::string target = IsExistingFolder(given) ? (given == "/" ? "" : given) + "/" + BaseName(source) : given;
    if (!IsExistingFolder(FolderOf(target)))
      if (const int error = MakeFolderFor(FolderOf(target))) return error;
    if (IsFolder(source) && Inside(target, source))
      return Fail(DE_DESTSUBTREE, source, ShellText::IntoItself);
    const Choice choice = Collision(source, target);
    if (choice == Choice::Stop) return stopped_ ? ERROR_CANCELLED : Fail(DE_SAMEFILE, source, ShellText::SameFile);
    if (choice == Choice::Skip) continue;
    const int error = op_.wFunc == FO_COPY ? CopyItem(source, target) : MoveItem(source, target);
    if (error) return error;
  }
  return 0;
}

// Decides what happens when target is taken; may change target to a free name.
FileOperation::Choice FileOperation::Collision(const std::string& source, std::string& target) {
  struct stat from{}, to{};
  if (!Lstat(target, &to)) return Choice::Go;
  Lstat(source, &from);
  const bool same = from.st_dev == to.st_dev && from.st_ino == to.st_ino;
  if (Has(FOF_RENAMEONCOLLISION)) {
    target = FreeName(target);
    return Choice::Go;
  }
  if (same) return Choice::Stop;
  if (Has(FOF_NOCONFIRMATION)) return Choice::Go;
  const bool folders = S_ISDIR(from.st_mode) && S_ISDIR(to.st_mode);
  const int answer = Ask(Format(folders ? ShellText::ConfirmReplaceFolder : ShellText::ConfirmReplaceFile,
                                BaseName(target).c_str()),
                         ShellText::ConfirmReplaceCaption, MB_YESNOCANCEL);
  if (answer == IDYES) return Choice::Go;
  op_.fAnyOperationsAborted = TRUE;
  if (answer == IDNO) return Choice::Skip;
  stopped_ = true;
  return Choice::Stop;
}

int FileOperation::CopyItem(const std::string& source, const std::string& target) {
  struct stat from{}, to{};
  if (!Lstat(source, &from)) return FailErrno(errno, source);
  const bool targetExists = Lstat(target, &to);
  if (S_ISDIR(from.st_mode)) {
    if (targetExists && !S_ISDIR(to.st_mode)) return FailErrno(EEXIST, target);
    return CopyFolder(source, target);
  }
  if (targetExists && S_ISDIR(to.st_mode)) return FailErrno(EEXIST, target);
  if (S_ISLNK(from.st_mode)) return CopyLink(source, target);
  if (!S_ISREG(from.st_mode)) return 0;  // devices, pipes and sockets are not copied
  if (!::CopyFile(source.c_str(), target.c_str(), FALSE)) {
    const DWORD error = GetLastError();
    return Fail(static_cast<int>(error ? error : ERROR_ACCESS_DENIED), source, std::strerror(errno ? errno : EIO));
  }
  return 0;
}

int FileOperation::CopyFolder(const std::string& source, const std::string& target) {
  struct stat from{};
  if (!Lstat(source, &from)) return FailErrno(errno, source);
  if (!IsFolder(target) && ::mkdir(target.c_str(), (from.st_mode & 07777) | S_IRWXU) != 0) return FailErrno(errno, target);
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(source.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
  } else {
    return FailErrno(errno, source);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    const std::string from = source + "/" + name;
    std::string to = target + "/" + name;
    if (!IsFolder(from) || !IsFolder(to)) {  // folders inside merge without asking again
      const Choice choice = Collision(from, to);
      if (choice == Choice::Stop) return stopped_ ? ERROR_CANCELLED : Fail(DE_SAMEFILE, from, ShellText::SameFile);
      if (choice == Choice::Skip) continue;
    }
    if (const int error = CopyItem(from, to)) return error;
  }
  return 0;
}

int FileOperation::CopyLink(const std::string& source, const std::string& target) {
  std::error_code error;
  const fs::path pointsTo = fs::read_symlink(source, error);
  if (error) return FailErrno(error.value(), source);
  // A new link beside the target, renamed over it: the old one stays if anything fails.
  const std::string temporary = FolderOf(target) + "/." + BaseName(target) + ".link-" + std::to_string(::getpid());
  ::unlink(temporary.c_str());
  if (::symlink(pointsTo.c_str(), temporary.c_str()) != 0) return FailErrno(errno, target);
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int saved = errno;
    ::unlink(temporary.c_str());
    return FailErrno(saved, target);
  }
  return 0;
}

// A folder onto a folder: each item moves on its own; what the user chose to keep stays in
// the source folder, which goes only when it is empty.
int FileOperation::MoveFolderInto(const std::string& source, const std::string& target) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(source.c_str());
  if (!dir) return FailErrno(errno, source);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    const std::string from = source + "/" + name;
    std::string to = target + "/" + name;
    if (IsFolder(from) && IsFolder(to)) {
      if (const int error = MoveFolderInto(from, to)) return error;
      continue;
    }
    const Choice choice = Collision(from, to);
    if (choice == Choice::Stop) return stopped_ ? ERROR_CANCELLED : Fail(DE_SAMEFILE, from, ShellText::SameFile);
    if (choice == Choice::Skip) continue;
    if (const int error = MoveItem(from, to)) return error;
  }
  ::rmdir(source.c_str());
  return 0;
}

int FileOperation::MoveItem(const std::string& source, const std::string& target) {
  struct stat from{}, to{};
  if (!Lstat(source, &from)) return FailErrno(errno, source);
  if (Lstat(target, &to)) {
    if (S_ISDIR(from.st_mode) != S_ISDIR(to.st_mode)) return FailErrno(S_ISDIR(to.st_mode) ? EISDIR : ENOTDIR, target);
    if (S_ISDIR(from.st_mode)) return MoveFolderInto(source, target);
  }
  if (::rename(source.c_str(), target.c_str()) == 0) return 0;
  if (errno != EXDEV) return FailErrno(errno, source);
  // Another file system: a whole copy first, and the source goes only once that succeeded.
  if (const int error = CopyItem(source, target)) return error;
  std::error_code error;
  fs::remove_all(source, error);
  if (error) return FailErrno(error.value(), source);
  return 0;
}

}  // namespace

int SHFileOperation(LPSHFILEOPSTRUCT operation) {
  if (!operation) return static_cast<int>(ERROR_INVALID_PARAMETER);
  operation->fAnyOperationsAborted = FALSE;
  return FileOperation(*operation).Run();
}
