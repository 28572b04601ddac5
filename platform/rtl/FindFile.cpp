#include "platform/rtl/FindFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/rtl/LastError.h"
#include "platform/rtl/SysUtils.h"

struct FindState {
  std::vector<TSearchRec> entries;
  size_t next = 0;
};

namespace {

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool Match(const char* name, const char* mask) {
  // Backtracking over the last '*' seen is enough for '*' and '?' patterns.
  const char* starMask = nullptr;
  const char* starName = nullptr;
  while (*name != '\0') {
    if (*mask == '*') {
      starMask = ++mask;
      starName = name;
    } else if (*mask == '?' || (*mask != '\0' && FoldCase(*mask) == FoldCase(*name))) {
      ++mask;
      ++name;
    } else if (starMask != nullptr) {
      mask = starMask;
      name = ++starName;
    } else {
      return false;
    }
  }
  while (*mask == '*') ++mask;
  return *mask == '\0';
}

int AttributesOf(const AnsiString& name, const struct stat& info) {
  int attr = 0;
  if (S_ISDIR(info.st_mode))
    attr |= faDirectory;
  else
    attr |= faArchive;
  if ((info.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
  if (name.size() > 1 && name[0] == '.' && name != "..") attr |= faHidden;
  return attr;
}

bool StatPath(const AnsiString& path, struct stat& info) {
  // A link that leads nowhere is still listed, as the link itself.
  return ::stat(path.c_str(), &info) == 0 || ::lstat(path.c_str(), &info) == 0;
}

TSearchRec EntryFor(const AnsiString& name, const struct stat& info) {
  TSearchRec rec;
  rec.Name = name;
  rec.Attr = AttributesOf(name, info);
  rec.Size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::int64_t>(info.st_size);
  rec.TimeStamp = UnixTimeToDateTime(info.st_mtime);
  rec.Time = DateTimeToFileDate(rec.TimeStamp);
  return rec;
}

bool DotEntry(const AnsiString& name) { return name == "." || name == ".."; }

bool NameOrder(const TSearchRec& a, const TSearchRec& b) {
  if (DotEntry(a.Name) != DotEntry(b.Name)) return DotEntry(a.Name);
  const int folded = CompareText(a.Name, b.Name);
  return folded != 0 ? folded < 0 : a.Name < b.Name;
}

void Deliver(TSearchRec& rec) {
  FindState& state = *rec.FindHandle;
  const TSearchRec& entry = state.entries[state.next++];
  rec.Time = entry.Time;
  rec.Size = entry.Size;
  rec.Attr = entry.Attr;
  rec.Name = entry.Name;
  rec.TimeStamp = entry.TimeStamp;
}

}  // namespace

bool MatchesMask(const AnsiString& name, const AnsiString& mask) {
  if (mask == "*.*") return true;
  return Match(name.c_str(), mask.c_str());
}

int FindFirst(const AnsiString& path, int attr, TSearchRec& rec) {
  rec.FindHandle.reset();
  rec.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  const AnsiString folder = ExtractFilePath(path);
  const AnsiString mask = ExtractFileName(path);

  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) {
    const int code = errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                          : static_cast<int>(ErrorFromErrno(errno));
    SetLastError(static_cast<DWORD>(code));
    return code;
  }
  auto state = std::make_shared<FindState>();
  while (const dirent* entry = ::readdir(dir)) {
    const AnsiString name = entry->d_name;
    if (mask.empty() || !MatchesMask(name, mask)) continue;
    struct stat info {};
    if (!StatPath(folder + name, info)) continue;  // gone since the listing
    TSearchRec found = EntryFor(name, info);
    if ((found.Attr & rec.ExcludeAttr) == 0) state->entries.push_back(std::move(found));
  }
  ::closedir(dir);
  if (state->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return static_cast<int>(ERROR_FILE_NOT_FOUND);
  }
  std::sort(state->entries.begin(), state->entries.end(), NameOrder);
  rec.FindHandle = std::move(state);
  Deliver(rec);
  return 0;
}

int FindNext(TSearchRec& rec) {
  if (!rec.FindHandle) {
    SetLastError(ERROR_INVALID_HANDLE);
    return static_cast<int>(ERROR_INVALID_HANDLE);
  }
  if (rec.FindHandle->next >= rec.FindHandle->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return static_cast<int>(ERROR_NO_MORE_FILES);
  }
  Deliver(rec);
  return 0;
}

void FindClose(TSearchRec& rec) { rec.FindHandle.reset(); }

int FileGetAttr(const AnsiString& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return -1;
  return AttributesOf(ExtractFileName(ExcludeTrailingPathDelimiter(path)), info);
}

int FileSetAttr(const AnsiString& path, int attr) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return static_cast<int>(ErrorFromErrno(errno));
  mode_t mode = info.st_mode & 07777;
  if (attr & faReadOnly)
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else if ((mode & S_IWUSR) == 0)
    mode |= S_IWUSR;
  if (::chmod(path.c_str(), mode) != 0) return static_cast<int>(ErrorFromErrno(errno));
  return 0;
}

int FileAge(const AnsiString& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return -1;
  return DateTimeToFileDate(UnixTimeToDateTime(info.st_mtime));
}

int FileSetDate(const AnsiString& path, int fileDate) {
  const TDateTime when = FileDateToDateTime(fileDate);
  if (when == 0) return static_cast<int>(ERROR_INVALID_PARAMETER);
  struct timespec times[2] {};
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(DateTimeToUnixTime(when));
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
    return static_cast<int>(ErrorFromErrno(errno));
  return 0;
}
