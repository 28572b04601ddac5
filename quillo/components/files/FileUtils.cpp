#include "quillo/components/files/FileUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/dialogs/ShellFileOperation.h"
#include "platform/dialogs/ShellFolders.h"
#include "platform/dialogs/ShellLink.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/FindFile.h"
#include "platform/rtl/RegularFile.h"
#include "platform/rtl/SettingsFolder.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Form.h"
#include "quillo/components/utilities/ComponentErrors.h"
#include "quillo/components/utilities/ProgressControls.h"

namespace fs = std::filesystem;

namespace {

bool IsSymlink(const AnsiString& path) {
  struct stat info{};
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool IsRealDir(const AnsiString& path) {
  struct stat info{};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

AnsiString NormalDir(const AnsiString& dir) {
  if (dir.empty() || dir.back() == '/') return dir;
  return dir + "/";
}

AnsiString RemoveBackSlash(const AnsiString& dir) {
  if (dir.size() > 1 && dir.back() == '/') return dir.substr(0, dir.size() - 1);
  return dir;
}

bool DirExists(const AnsiString& name) { return !name.empty() && DirectoryExists(name); }

bool ValidFileName(const AnsiString& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find('/') == AnsiString::npos && name.find('\0') == AnsiString::npos;
}

std::int64_t GetFileSize(const AnsiString& name) {
  struct stat info{};
  if (::stat(name.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

TDateTime FileDateTime(const AnsiString& name) {
  struct stat info{};
  if (::stat(name.c_str(), &info) != 0) return 0;
  return UnixTimeToDateTime(static_cast<std::int64_t>(info.st_mtime));
}

bool HasAttr(const AnsiString& name, int attributes) {
  const int attr = FileGetAttr(name);
  return attr != -1 && (attr & attributes) == attributes;
}

bool DeleteFiles(const AnsiString& mask) {
  const AnsiString expanded = ExpandFileName(mask);
  const AnsiString folder = ExtractFilePath(expanded);
  TSearchRec rec;
  bool ok = true;
  if (FindFirst(expanded, faAnyFile & ~faDirectory & ~faVolumeID, rec) == 0) {
    do {
      if (rec.Name.empty() || rec.Name[0] == '.' || (rec.Attr & (faDirectory | faVolumeID))) continue;
      if (!DeleteFile(folder + rec.Name)) {
        ok = false;
        break;
      }
    } while (FindNext(rec) == 0);
    FindClose(rec);
  }
  return ok;
}

bool DeleteFilesEx(const std::vector<AnsiString>& masks) {
  for (const AnsiString& mask : masks)
    if (!DeleteFiles(mask)) return false;
  return true;
}

bool ClearDir(const AnsiString& dir, bool deleteDir) {
  const AnsiString folder = RemoveBackSlash(dir);
  if (!IsRealDir(folder)) return false;
  std::error_code error;
  fs::directory_iterator it(folder.c_str(), error);
  if (error) return false;
  bool ok = true;
  std::vector<fs::path> entries;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) return false;
    entries.push_back(it->path());
  }
  for (const fs::path& entry : entries) {
    const AnsiString path = entry.string();
    if (IsRealDir(path)) {
      ok = ClearDir(path, true) && ok;
    } else {
      // A file (or a link, which goes as a link): read-only protection is the user's own
      // folder's business here, so the file goes as the folder is cleared.
      if (!IsSymlink(path)) FileSetAttr(path, FileGetAttr(path) & ~faReadOnly);
      ok = (::unlink(path.c_str()) == 0) && ok;
    }
  }
  if (ok && deleteDir && folder != "/") ok = ::rmdir(folder.c_str()) == 0;
  return ok;
}

AnsiString GetTempDir() {
  // As long as the folder's name is: the call answers the size it needs when it does not fit.
  std::vector<char> buffer(256);
  for (;;) {
    const DWORD n = GetTempPath(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0) return "/tmp/";
    if (n < buffer.size()) return NormalDir(AnsiString(buffer.data(), n));
    buffer.resize(static_cast<size_t>(n) + 1);
  }
}

AnsiString GetWindowsDir() { return WindowsFolder(); }

namespace {

int LockRegion(int handle, short type, std::int64_t offset, std::int64_t length) {
  struct flock lock{};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  return ::fcntl(handle, F_SETLK, &lock) == 0 ? 0 : errno;
}

}  // namespace

int FileLock(int handle, std::int64_t offset, std::int64_t length) { return LockRegion(handle, F_WRLCK, offset, length); }
int FileUnlock(int handle, std::int64_t offset, std::int64_t length) { return LockRegion(handle, F_UNLCK, offset, length); }

// ---- shortcuts

AnsiString FileLinkPath(const AnsiString& displayName, int folder) {
  if (displayName.empty() || displayName == "." || displayName == ".." ||
      displayName.find_first_of("/\r\n") != AnsiString::npos)
    return "";
  const std::string path = SpecialFolderPath(folder);
  if (path.empty()) return "";
  return (path == "/" ? "" : path) + "/" + displayName + ".desktop";
}

bool CreateFileLink(const AnsiString& fileName, const AnsiString& displayName, int folder) {
  const AnsiString link = FileLinkPath(displayName, folder);
  if (link.empty() || fileName.empty()) return false;
  SpecialFolderPath(folder, true);
  const AnsiString target = ExpandFileName(fileName);
  return WriteDesktopEntry(link, target, displayName, ExcludeTrailingPathDelimiter(ExtractFilePath(target)));
}

bool DeleteFileLink(const AnsiString& displayName, int folder) {
  const AnsiString link = FileLinkPath(displayName, folder);
  return !link.empty() && ::unlink(link.c_str()) == 0;
}

// ---- TExFileOperator

QUILLO_DEFINE_ENUM_TYPE(TFileOperation, "foCopy", "foDelete", "foMove", "foRename")
QUILLO_DEFINE_ENUM_TYPE(TFileOperFlag, "flAllowUndo", "flConfirmMouse", "flFilesOnly", "flMultiDest",
                        "flNoConfirmation", "flNoConfirmMkDir", "flRenameOnCollision", "flSilent",
                        "flSimpleProgress", "flNoErrorUI")
QUILLO_DEFINE_SET_TYPE(TFileOperFlags, TFileOperFlag)

QUILLO_DEFINE_PUBLISHED_CLASS(TExFileOperator, TComponent)

const TPropTable* TExFileOperator::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TExFileOperator>()
          .Property("Source", [](const TExFileOperator* o) { return o->Source; },
                    [](TExFileOperator* o, const AnsiString& v) { o->Source = v; })
          .Property("Destination", [](const TExFileOperator* o) { return o->Destination; },
                    [](TExFileOperator* o, const AnsiString& v) { o->Destination = v; })
          .Property("Operation", [](const TExFileOperator* o) { return o->Operation; },
                    [](TExFileOperator* o, TFileOperation v) { o->Operation = v; })
          .Property("Options", [](const TExFileOperator* o) { return o->Options; },
                    [](TExFileOperator* o, TFileOperFlags v) { o->Options = v; })
          .Property("ProgressTitle", [](const TExFileOperator* o) { return o->ProgressTitle; },
                    [](TExFileOperator* o, const AnsiString& v) { o->ProgressTitle = v; })
          .Table();
  return &table;
}

TExFileOperator::TExFileOperator(TComponent* owner) : TComponent(owner) {}

namespace {

std::vector<AnsiString> SplitNames(const AnsiString& list) {
  std::vector<AnsiString> names;
  AnsiString current;
  for (char c : list) {
    if (c == ';' || c == '|') {
      if (!current.empty()) names.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) names.push_back(current);
  return names;
}

}  // namespace

namespace {

FILEOP_FLAGS ShellFlags(const TFileOperFlags& options) {
  static const std::pair<TFileOperFlag, FILEOP_FLAGS> kFlags[] = {
      {flAllowUndo, FOF_ALLOWUNDO},           {flConfirmMouse, FOF_CONFIRMMOUSE},
      {flFilesOnly, FOF_FILESONLY},           {flMultiDest, FOF_MULTIDESTFILES},
      {flNoConfirmation, FOF_NOCONFIRMATION}, {flNoConfirmMkDir, FOF_NOCONFIRMMKDIR},
      {flRenameOnCollision, FOF_RENAMEONCOLLISION}, {flSilent, FOF_SILENT},
      {flSimpleProgress, FOF_SIMPLEPROGRESS}, {flNoErrorUI, FOF_NOERRORUI},
  };
  FILEOP_FLAGS flags = 0;
  for (const auto& [option, flag] : kFlags)
    if (options.Contains(option)) flags |= flag;
  return flags;
}

// The errno value nearest to the shell's answer, for the system's message.
int ErrnoOf(int shellError) {
  switch (shellError) {
    case static_cast<int>(ERROR_FILE_NOT_FOUND): return ENOENT;
    case static_cast<int>(ERROR_PATH_NOT_FOUND): return ENOTDIR;
    case static_cast<int>(ERROR_ACCESS_DENIED): return EACCES;
    case static_cast<int>(ERROR_ALREADY_EXISTS):
    case static_cast<int>(ERROR_FILE_EXISTS):
    case DE_SAMEFILE: return EEXIST;
    case static_cast<int>(ERROR_DISK_FULL): return ENOSPC;
    case static_cast<int>(ERROR_DIR_NOT_EMPTY): return ENOTEMPTY;
    case static_cast<int>(ERROR_INVALID_PARAMETER):
    case DE_MANYSRC1DEST:
    case DE_DESTSUBTREE: return EINVAL;
    default: return EIO;
  }
}

// A list of names as the shell takes it: each ended by a NUL, the list by another.
std::string ShellList(const std::vector<AnsiString>& names) {
  std::string list;
  for (const AnsiString& name : names) {
    list += name;
    list += '\0';
  }
  list += '\0';
  return list;
}

HWND OperatorOwner() {
  if (TCustomForm* form = Application()->GetMainForm(); form && form->HandleAllocated()) return form->GetHandle();
  return Application()->GetHandle();
}

}  // namespace

// Through the shell's file operation, so that the options mean what the shell makes of them:
// flAllowUndo deletes to the trash, confirmations and errors are shown unless switched off.
// Copies, moves and renames go one item at a time so that OnProgress sees each just before it
// is handled and can stop the rest; a deletion is confirmed once for the whole list, so
// OnProgress sees all of its items first.
bool TExFileOperator::Execute() {
  aborted_ = false;
  error_ = 0;
  const std::vector<AnsiString> sources = SplitNames(Source);
  const std::vector<AnsiString> targets = SplitNames(Destination);
  if (sources.empty()) return true;
  SHFILEOPSTRUCT op;
  op.hwnd = OperatorOwner();
  op.wFunc = Operation == foCopy ? FO_COPY : Operation == foMove ? FO_MOVE : Operation == foRename ? FO_RENAME : FO_DELETE;
  op.fFlags = ShellFlags(Options);
  op.lpszProgressTitle = ProgressTitle.empty() ? nullptr : ProgressTitle.c_str();
  auto run = [&](const std::vector<AnsiString>& from, const std::vector<AnsiString>& to) {
    const std::string fromList = ShellList(from), toList = ShellList(to);
    op.pFrom = fromList.c_str();
    op.pTo = to.empty() ? nullptr : toList.c_str();
    const int result = SHFileOperation(&op);
    if (op.fAnyOperationsAborted) aborted_ = true;
    if (result == ERROR_CANCELLED) return false;
    if (result != 0) {
      error_ = ErrnoOf(result);
      return false;
    }
    return true;
  };
  auto progress = [&](const AnsiString& name) {
    bool abort = false;
    if (OnProgress) OnProgress(this, name, abort);
    if (abort) aborted_ = true;
    return !abort;
  };
  if (Operation == foDelete) {
    for (const AnsiString& source : sources)
      if (!progress(source)) return false;
    return run(sources, {});
  }
  if (targets.empty()) {
    error_ = EINVAL;
    return false;
  }
  const bool paired = Options.Contains(flMultiDest);
  // Several items (or one into a folder) land in the destination under their own names.
  const bool intoFolder = !paired && Operation != foRename && (sources.size() > 1 || DirExists(targets[0]));
  for (size_t i = 0; i < sources.size(); ++i) {
    if (!progress(sources[i])) return false;
    AnsiString target = paired && i < targets.size() ? targets[i] : targets[0];
    if (intoFolder) target = NormalDir(target) + ExtractFileName(RemoveBackSlash(sources[i]));
    if (!run({sources[i]}, {target})) return false;
  }
  return true;
}

// ---- copying and moving

namespace FileUtil {

namespace {

constexpr size_t kBlockSize = 8192;

void RunOperator(TFileOperation operation, const AnsiString& source, const AnsiString& destination,
                 bool confirm, std::function<void(const AnsiString&, bool&)> onProgress) {
  auto op = MakeObject<TExFileOperator>(nullptr);
  op->Operation = operation;
  op->Source = source;
  op->Destination = destination;
  if (!confirm) {
    op->Options >> flAllowUndo;
    op->Options << flNoConfirmation;
  }
  if (onProgress) op->OnProgress = [&onProgress](TObject*, const AnsiString& name, bool& abort) { onProgress(name, abort); };
  if (op->Execute()) return;
  // The user's stop is a cancel, not a failure with whatever the last system error says.
  if (op->Aborted()) throw EAbort(ComponentsText::OperationCancelled);
  throw EOSError(AnsiString(std::strerror(op->ErrorCode())) + ": " + source);
}

}  // namespace

void CopyFileEx(const AnsiString& source, const AnsiString& destination, bool overwriteReadOnly, bool withOperator,
                TObject* progress, std::function<void(const AnsiString&, bool&)> onProgress) {
  if (withOperator) {
    RunOperator(foCopy, source, destination, !overwriteReadOnly, std::move(onProgress));
    return;
  }
  AnsiString target = destination;
  if (DirExists(target)) target = NormalDir(target) + ExtractFileName(source);
  // A regular file only, opened without waiting on a pipe.
  const int in = TryOpenRegularFile(source, nullptr);
  struct stat info{};
  if (in < 0 || ::fstat(in, &info) != 0) {
    if (in >= 0) ::close(in);
    throw EFOpenError(Format(ComponentsText::CannotOpenFile, source.c_str()));
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{in};
  // Progress counts in bytes, or in larger units when a 32-bit control could not hold the size.
  const std::int64_t unit = info.st_size > INT32_MAX ? info.st_size / INT32_MAX + 1 : 1;
  if (progress) {
    SetProgressMax(progress, static_cast<std::int64_t>(info.st_size) / unit);
    SetProgressMin(progress, 0);
    SetProgressValue(progress, 0);
  }
  const AnsiString folder = ExtractFilePath(target);
  if (!folder.empty()) ForceDirectories(folder);
  if (overwriteReadOnly && FileExists(target)) FileSetAttr(target, FileGetAttr(target) & ~faReadOnly);
  if (FileExists(target) && (FileGetAttr(target) & faReadOnly))
    throw EFCreateError(Format(ComponentsText::CannotCreateFile, target.c_str()));
  std::unique_ptr<AtomicFile> out;
  try {
    out = std::make_unique<AtomicFile>(target);
  } catch (const EFCreateError&) {
    throw EFCreateError(Format(ComponentsText::CannotCreateFile, target.c_str()));
  }
  std::vector<char> block(kBlockSize);
  std::int64_t copied = 0;
  for (;;) {
    const ssize_t n = ::read(in, block.data(), block.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EReadError(RtlText::ReadError);
    }
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(out->Handle(), block.data() + done, static_cast<size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        throw EWriteError(RtlText::WriteError);
      }
      done += w;
    }
    copied += n;
    if (progress) SetProgressValue(progress, copied / unit);
  }
  ::fchmod(out->Handle(), info.st_mode & 07777);
  struct timespec times[2] = {info.st_atim, info.st_mtim};
  ::futimens(out->Handle(), times);
  out->Commit();
  if (progress) SetProgressValue(progress, 0);
}

void CopyFile(const AnsiString& source, const AnsiString& destination, TObject* progress) {
  CopyFileEx(source, destination, false, false, progress);
}

void MoveFile(const AnsiString& source, const AnsiString& destination) {
  const AnsiString target = ExpandFileName(destination);
  if (::rename(source.c_str(), target.c_str()) == 0) return;
  if (!FileExists(source)) throw EFOpenError(Format(ComponentsText::CannotOpenFile, source.c_str()));
  FileSetAttr(source, FileGetAttr(source) & ~faReadOnly);
  CopyFileEx(source, target, false, false);
  DeleteFile(source);
}

void MoveFileEx(const AnsiString& source, const AnsiString& destination, bool withOperator,
                std::function<void(const AnsiString&, bool&)> onProgress) {
  if (!withOperator) {
    MoveFile(source, destination);
    return;
  }
  const bool sameFolder = SameText(ExtractFilePath(ExpandFileName(source)), ExtractFilePath(ExpandFileName(destination)));
  RunOperator(sameFolder ? foRename : foMove, source, destination, true, std::move(onProgress));
}

}  // namespace FileUtil
