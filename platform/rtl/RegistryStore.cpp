#include "platform/rtl/RegistryStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <ctime>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileUpdate.h"
#include "platform/rtl/RegistrySystemValues.h"
#include "platform/rtl/RegistryText.h"
#include "platform/rtl/RegularFile.h"
#include "platform/rtl/SettingsFolder.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr std::uintptr_t kFirstRootHandle = 0x80000000;
constexpr std::uintptr_t kLastRootHandle = 0x80000006;
constexpr std::uintptr_t kPerformanceData = 0x80000004;  // not a store root

bool IsRootHandle(HKEY key) {
  const auto value = reinterpret_cast<std::uintptr_t>(key);
  return value >= kFirstRootHandle && value <= kLastRootHandle && value != kPerformanceData;
}

RegRoot RootOfHandle(HKEY key) {
  switch (reinterpret_cast<std::uintptr_t>(key) - kFirstRootHandle) {
    case 0: return RegRoot::ClassesRoot;
    case 1: return RegRoot::CurrentUser;
    case 2: return RegRoot::LocalMachine;
    case 3: return RegRoot::Users;
    case 5: return RegRoot::CurrentConfig;
    default: return RegRoot::DynData;
  }
}

// The names of a key path; empty names between backslashes are skipped.
DWORD SplitKeyPath(LPCSTR subKey, RegPath* path) {
  if (subKey == nullptr) return ERROR_SUCCESS;
  const AnsiString text(subKey);
  for (size_t at = 0; at <= text.size();) {
    const size_t stop = std::min(text.find('\\', at), text.size());
    if (stop > at) {
      AnsiString name = text.substr(at, stop - at);
      if (!IsValidKeyName(name)) return ERROR_INVALID_PARAMETER;
      path->push_back(std::move(name));
    }
    at = stop + 1;
  }
  return ERROR_SUCCESS;
}

void PrintReport(const RegistryReport& report) {
  switch (report.kind) {
    case RegistryReport::Kind::Damaged:
      std::fprintf(stderr, "quillo: the registry %s was damaged (line %d: %s); it was kept as %s and what could be read was kept\n",
                   report.fileName.c_str(), report.firstBadLine, report.reason.c_str(), report.keptAs.c_str());
      break;
    case RegistryReport::Kind::Unreadable:
      std::fprintf(stderr, "quillo: the registry %s cannot be read (%s)\n", report.fileName.c_str(),
                   report.reason.c_str());
      break;
    case RegistryReport::Kind::NotSaved:
      std::fprintf(stderr, "quillo: registry changes could not be saved to %s (%s)\n", report.fileName.c_str(),
                   report.reason.c_str());
      break;
  }
}

constexpr const char* kLaterFormat = "the file is of a later format";

}  // namespace

RegistryStore::RegistryStore(std::function<AnsiString()> fileName) : fileNameOf_(std::move(fileName)) {}

RegistryStore::~RegistryStore() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (loaded_ && !pending_.empty()) Save();
  for (const RegistryReport& report : reports_) PrintReport(report);
}

RegistryStore& RegistryStore::Process() {
  static RegistryStore store(&RegistryStore::DefaultFileName);
  return store;
}

AnsiString RegistryStore::DefaultFileName() { return SettingsFolder() + "/registry.txt"; }

void RegistryStore::SetReportHandler(RegistryReportHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handler_ = std::move(handler);
}

template <class Call>
DWORD RegistryStore::Locked(Call call) {
  std::vector<RegistryReport> reports;
  RegistryReportHandler handler;
  DWORD result;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Refresh();
    result = call();
    reports.swap(reports_);
    handler = handler_;
  }
  for (const RegistryReport& report : reports) {
    if (handler)
      handler(report);
    else
      PrintReport(report);
  }
  return result;
}

void RegistryStore::Report(RegistryReport report) {
  if (report.kind == RegistryReport::Kind::NotSaved) {
    if (notSavedReported_) return;
    notSavedReported_ = true;
  }
  report.fileName = fileName_;
  reports_.push_back(std::move(report));
}

RegistryStore::FileStamp RegistryStore::StampOf(const AnsiString& fileName) const {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) return FileStamp{true, false};
  return StampOfStatus(info);
}

RegistryStore::FileStamp RegistryStore::StampOfStatus(const struct stat& info) {
  return FileStamp{true, true, info.st_dev, info.st_ino, static_cast<std::uint64_t>(info.st_size),
                   info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

// Follows the settings folder, and picks up what other processes saved.
void RegistryStore::Refresh() {
  const AnsiString fileName = fileNameOf_();
  if (loaded_ && fileName != fileName_) {
    if (!pending_.empty()) Save();  // what is pending belongs to the old file
    pending_.clear();
    loaded_ = false;
  }
  if (!loaded_) {
    fileName_ = fileName;
    notSavedReported_ = false;
    // A save makes a settings folder that is missing at the start; one that goes away later
    // (removed by the user, or a test's folder) is not made again behind his back.
    const AnsiString folder = ExtractFilePath(fileName_);
    mayCreateFolder_ = !folder.empty() && !DirectoryExists(folder);
    Load();
  } else if (StampOf(fileName_) != stamp_) {
    Load();
  }
}

void RegistryStore::Load() {
  loaded_ = true;
  FileStamp stamp = StampOf(fileName_);
  // Read without waiting: a pipe or a device in the file's place is refused unread.
  const RegularFileText file = ReadRegularFile(fileName_);
  const bool readable = file.outcome != RegularFileText::Outcome::Refused;
  // The stamp of what is read, not of what was there.
  if (file.outcome == RegularFileText::Outcome::Read) stamp = StampOfStatus(file.status);
  RegistryFileContents contents;
  if (readable) contents = ParseRegistryText(file.text);
  if (!readable || contents.laterVersion) {
    Report(RegistryReport{RegistryReport::Kind::Unreadable, {}, {}, 0, readable ? AnsiString(kLaterFormat) : file.reason});
    contents = RegistryFileContents();
  } else if (contents.Damaged() && Save(/*repair=*/true)) {
    return;  // the file was kept aside and rewritten, and tree_ holds what it now says
  }
  tree_ = std::move(contents.tree);
  for (const RegChange& change : pending_) ApplyChange(tree_, change);
  stamp_ = stamp;
}

bool RegistryStore::Save(bool repair) {
  if (pending_.empty() && !repair) return true;
  RegistryTree merged;
  bool laterVersion = false;
  RegistryReport damage{RegistryReport::Kind::Damaged, {}, {}, 0, {}};
  UpdatedFile left;
  try {
    if (mayCreateFolder_) ForceDirectories(ExtractFilePath(fileName_));
    left = UpdateFileText(fileName_, [&](std::string& text) {
      RegistryFileContents contents = ParseRegistryText(text);
      if (contents.laterVersion) {
        laterVersion = true;
        return false;
      }
      if (contents.Damaged()) {
        damage.keptAs = KeepDamagedCopy(text);  // before anything is written over it
        damage.firstBadLine = contents.firstBadLine;
        damage.reason = contents.problem;
      }
      merged = std::move(contents.tree);
      for (const RegChange& change : pending_) ApplyChange(merged, change);
      std::string changed = RegistryText(merged);
      if (changed == text) return false;
      text = std::move(changed);
      return true;
    });
  } catch (const Exception& error) {
    if (!damage.keptAs.empty()) Report(damage);
    Report(RegistryReport{RegistryReport::Kind::NotSaved, {}, {}, 0, error.Message});
    return false;
  }
  if (laterVersion) {
    Report(RegistryReport{RegistryReport::Kind::NotSaved, {}, {}, 0, kLaterFormat});
    return false;
  }
  if (!damage.keptAs.empty()) Report(damage);
  pending_.clear();
  mayCreateFolder_ = false;
  tree_ = std::move(merged);
  // The file as the save left it, which tree_ now holds: the next call reads it again only
  // when another process has replaced it since.
  stamp_ = left.exists ? StampOfStatus(left.status) : FileStamp{true, false};
  notSavedReported_ = false;
  return true;
}

void RegistryStore::SaveWhenIdle() {
  if (handles_.empty() && !pending_.empty()) Save();
}

// A new file beside the store's, named after the time; raises EFCreateError when it cannot
// be written whole.
AnsiString RegistryStore::KeepDamagedCopy(const std::string& bytes) const {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const AnsiString base = fileName_ + ".damaged-" + stamp;
  for (int attempt = 1;; ++attempt) {
    const AnsiString name = attempt == 1 ? base : base + "-" + IntToStr(attempt);
    const int handle = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (handle < 0 && errno == EEXIST && attempt < 1000) continue;
    if (handle < 0) throw EFCreateError(Format(RtlText::FCreateError, name.c_str(), std::strerror(errno)));
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(handle, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    const int error = errno;
    const bool whole = done == bytes.size() && ::fsync(handle) == 0;
    ::close(handle);
    if (!whole) {
      ::unlink(name.c_str());
      throw EFCreateError(Format(RtlText::FCreateError, name.c_str(), std::strerror(error)));
    }
    return name;
  }
}

DWORD RegistryStore::Resolve(HKEY key, KeyAccess need, OpenKey* out, RegKey** found) {
  if (IsRootHandle(key)) {
    *out = OpenKey{RootOfHandle(key), {}, KEY_ALL_ACCESS};
  } else {
    auto it = handles_.find(reinterpret_cast<std::uintptr_t>(key));
    if (it == handles_.end()) return ERROR_INVALID_HANDLE;
    *out = it->second;
  }
  REGSAM needed = 0;
  switch (need) {
    case KeyAccess::None: break;
    case KeyAccess::Query: needed = KEY_QUERY_VALUE; break;
    case KeyAccess::Set: needed = KEY_SET_VALUE; break;
    case KeyAccess::Enumerate: needed = KEY_ENUMERATE_SUB_KEYS; break;
  }
  if ((out->access & needed) != needed) return ERROR_ACCESS_DENIED;
  *found = tree_.Find(out->root, out->path);
  return *found == nullptr ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

void RegistryStore::Change(RegChange change) {
  ApplyChange(tree_, change);
  pending_.push_back(std::move(change));
}

DWORD RegistryStore::Open(HKEY base, LPCSTR subKey, REGSAM access, bool create, HKEY* result,
                          DWORD* disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  return Locked([&]() -> DWORD {
    OpenKey key;
    RegKey* node = nullptr;
    if (DWORD error = Resolve(base, KeyAccess::None, &key, &node)) return error;
    const REGSAM baseAccess = key.access;
    if (DWORD error = SplitKeyPath(subKey, &key.path)) return error;
    if (key.path.size() > kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    const bool exists = tree_.Find(key.root, key.path) != nullptr;
    if (!exists && IsSystemKey(key.root, key.path)) {
      // Every system has it: it is made on first use, as if it had always been there.
      Change(RegChange{RegChange::Kind::CreateKey, key.root, key.path, {}, 0, {}});
    } else if (!exists) {
      if (!create) return ERROR_FILE_NOT_FOUND;
      if ((baseAccess & KEY_CREATE_SUB_KEY) == 0) return ERROR_ACCESS_DENIED;
      Change(RegChange{RegChange::Kind::CreateKey, key.root, key.path, {}, 0, {}});
    }
    if (disposition != nullptr) *disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    if (nextHandle_ == kFirstRootHandle) nextHandle_ = kLastRootHandle + 1;
    const std::uintptr_t handle = nextHandle_++;
    key.access = access;
    handles_.emplace(handle, std::move(key));
    *result = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
  });
}

DWORD RegistryStore::Close(HKEY key) {
  return Locked([&]() -> DWORD {
    if (IsRootHandle(key)) return ERROR_SUCCESS;
    if (handles_.erase(reinterpret_cast<std::uintptr_t>(key)) == 0) return ERROR_INVALID_HANDLE;
    SaveWhenIdle();
    return ERROR_SUCCESS;
  });
}

DWORD RegistryStore::Flush(HKEY key) {
  return Locked([&]() -> DWORD {
    if (!IsRootHandle(key) && handles_.count(reinterpret_cast<std::uintptr_t>(key)) == 0)
      return ERROR_INVALID_HANDLE;
    return Save() ? ERROR_SUCCESS : ERROR_CANTWRITE;
  });
}

DWORD RegistryStore::DeleteKey(HKEY base, LPCSTR subKey) {
  return Locked([&]() -> DWORD {
    OpenKey key;
    RegKey* node = nullptr;
    if (DWORD error = Resolve(base, KeyAccess::None, &key, &node)) return error;
    RegPath relative;
    if (DWORD error = SplitKeyPath(subKey, &relative)) return error;
    if (relative.empty()) return ERROR_INVALID_PARAMETER;
    key.path.insert(key.path.end(), relative.begin(), relative.end());
    const RegKey* target = tree_.Find(key.root, key.path);
    if (target == nullptr) return ERROR_FILE_NOT_FOUND;
    if (!target->subkeys.empty()) return ERROR_ACCESS_DENIED;
    Change(RegChange{RegChange::Kind::DeleteKey, key.root, key.path, {}, 0, {}});
    SaveWhenIdle();
    return ERROR_SUCCESS;
  });
}

DWORD RegistryStore::QueryValue(HKEY key, const AnsiString& name, DWORD* type, std::string* data) {
  return Locked([&]() -> DWORD {
    OpenKey open;
    RegKey* node = nullptr;
    if (DWORD error = Resolve(key, KeyAccess::Query, &open, &node)) return error;
    const RegValue* value = node->Value(name);
    if (value == nullptr) return SystemValue(open.root, open.path, name, type, data) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    *type = value->type;
    *data = value->data;
    return ERROR_SUCCESS;
  });
}

DWORD RegistryStore::SetValue(HKEY key, const AnsiString& name, DWORD type, std::string data) {
  return Locked([&]() -> DWORD {
    OpenKey open;
    RegKey* node = nullptr;
    if (DWORD error = Resolve(key, KeyAccess::Set, &open, &node)) return error;
    if (name.size() > kMaxValueNameLength || data.size() > kMaxValueSize) return ERROR_INVALID_PARAMETER;
    Change(RegChange{RegChange::Kind::SetValue, open.root, open.path, name, type, std::move(data)});
    SaveWhenIdle();
    return ERROR_SUCCESS;
  });
}

DWORD RegistryStore::DeleteValue(HKEY key, const AnsiString& name) {
  return Locked([&]() -> DWORD {
    OpenKey open;
    RegKey* node = nullptr;
    if (DWORD error = Resolve(key, KeyAccess::Set, &open, &node)) return error;
    if (node->Value(name) == nullptr) return ERROR_FILE_NOT_FOUND;
    Change(RegChange{RegChange::Kind::DeleteValue, open.root, open.path, name, 0, {}});
    SaveWhenIdle();
    return ERROR_SUCCESS;
  });
}

DWORD RegistryStore::SubKeyName(HKEY key, DWORD index, AnsiString* name) {
  return Locked([&]() -> DWORD {
    OpenKey open;
    RegKey* node = nullptr;
    if (DWORD error = Resolve(key, KeyAccess::Enumerate, &open, &node)) return error;
    if (index >= node->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    *name = node->subkeys[index].name;
    return ERROR_SUCCESS;
  });
}

DWORD RegistryStore::ValueAt(HKEY key, DWORD index, AnsiString* name, DWORD* type, std::string* data) {
  return Locked([&]() -> DWORD {
    OpenKey open;
    RegKey* node = nullptr;
    if (DWORD error = Resolve(key, KeyAccess::Query, &open, &node)) return error;
    if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegValue& value = node->values[index];
    *name = value.name;
    *type = value.type;
    *data = value.data;
    return ERROR_SUCCESS;
  });
}

DWORD RegistryStore::QueryInfo(HKEY key, RegistryKeyInfo* info) {
  return Locked([&]() -> DWORD {
    OpenKey open;
    RegKey* node = nullptr;
    if (DWORD error = Resolve(key, KeyAccess::Query, &open, &node)) return error;
    *info = RegistryKeyInfo{};
    info->subKeys = static_cast<DWORD>(node->subkeys.size());
    info->values = static_cast<DWORD>(node->values.size());
    for (const RegKey& subkey : node->subkeys)
      info->maxSubKeyLength = std::max(info->maxSubKeyLength, static_cast<DWORD>(subkey.name.size()));
    for (const RegValue& value : node->values) {
      info->maxValueNameLength = std::max(info->maxValueNameLength, static_cast<DWORD>(value.name.size()));
      info->maxValueLength = std::max(info->maxValueLength, static_cast<DWORD>(value.data.size()));
    }
    return ERROR_SUCCESS;
  });
}
