#pragma once
// The registry store: the registry's keys and values, kept in one text file (RegistryText.h),
// registry.txt in the settings folder, shared by every process and thread of the program.
//
// Reading: the file is read at the first call and read again whenever a call finds that it
// has been replaced since, so that a process sees what the others saved.
//
// Writing: a change takes effect in memory at once and is saved to the file when the process
// holds no open key handle any more: at once for a change made through a root key, at the
// close of the last handle for changes made through open keys (so that a dialog's settings
// go out in one write), on RegFlushKey, and at the latest when the process ends. A save takes
// the file's lock, reads the file as it is now, replays this process's unsaved changes onto it
// in their order and puts the result in place atomically (UpdateFileText), so that processes
// and threads writing at the same time lose nothing of each other's.
// A settings folder that is missing at the start is made by the first save; one that goes
// away while the program runs is not made again (the save is NotSaved).
//
// Trouble with the file is reported to the report handler (stderr when none is set), not to
// the call that met it: the call did not cause it, and callers treat a failed call as a
// missing setting, which would hide it.
// - Damaged: the file has lines that cannot be read. Its bytes are first kept beside it as
//   "registry.txt.damaged-<date>-<time>", then the file is rewritten from everything readable
//   in it, and the report says where the copy is. A damaged file is never written over
//   before its copy is safe; when the copy cannot be made, nothing is written (NotSaved).
// - Unreadable: the file is there but cannot be read, or is of a later format. Work goes on
//   in memory; the file is left alone.
// - NotSaved: changes could not be saved. They stay pending and are tried again at the next
//   save; the report comes once until a save succeeds.
// The handler runs on the thread whose call met the trouble, after the store has let go of
// its lock, so it may use the registry itself.

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/RegistryApi.h"
#include "platform/rtl/RegistryTree.h"

struct RegistryReport {
  enum class Kind { Damaged, Unreadable, NotSaved };
  Kind kind = Kind::Damaged;
  AnsiString fileName;
  AnsiString keptAs;      // Damaged: the copy of the damaged file
  int firstBadLine = 0;   // Damaged: 1-based
  AnsiString reason;      // what went wrong, in the system's or the reader's words
};
using RegistryReportHandler = std::function<void(const RegistryReport&)>;

struct RegistryKeyInfo {
  DWORD subKeys = 0;
  DWORD maxSubKeyLength = 0;
  DWORD values = 0;
  DWORD maxValueNameLength = 0;
  DWORD maxValueLength = 0;
};

class RegistryStore {
public:
  // fileName answers which file to use; asked at every call, so that the store follows the
  // settings folder (a change of folder saves what is pending to the old file first).
  explicit RegistryStore(std::function<AnsiString()> fileName);
  // Saves what is still pending; trouble goes to stderr.
  ~RegistryStore();
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;

  // The store behind the Reg* calls, on the settings folder's registry.txt.
  static RegistryStore& Process();
  static AnsiString DefaultFileName();

  // The Reg* calls without their buffers; each answers a Windows error code.
  DWORD Open(HKEY base, LPCSTR subKey, REGSAM access, bool create, HKEY* result,
             DWORD* disposition);
  DWORD Close(HKEY key);
  DWORD Flush(HKEY key);
  DWORD DeleteKey(HKEY base, LPCSTR subKey);
  DWORD QueryValue(HKEY key, const AnsiString& name, DWORD* type, std::string* data);
  DWORD SetValue(HKEY key, const AnsiString& name, DWORD type, std::string data);
  DWORD DeleteValue(HKEY key, const AnsiString& name);
  DWORD SubKeyName(HKEY key, DWORD index, AnsiString* name);
  DWORD ValueAt(HKEY key, DWORD index, AnsiString* name, DWORD* type, std::string* data);
  DWORD QueryInfo(HKEY key, RegistryKeyInfo* info);

  // null sends reports to stderr.
  void SetReportHandler(RegistryReportHandler handler);

private:
  struct OpenKey {
    RegRoot root;
    RegPath path;
    REGSAM access;
  };
  struct FileStamp {
    bool known = false;
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t seconds = 0, nanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
  };
  enum class KeyAccess { None, Query, Set, Enumerate };

  template <class Call>
  DWORD Locked(Call call);
  void Refresh();
  void Load();
  bool Save(bool repair = false);
  void SaveWhenIdle();
  void Report(RegistryReport report);
  AnsiString KeepDamagedCopy(const std::string& bytes) const;
  FileStamp StampOf(const AnsiString& fileName) const;
  static FileStamp StampOfStatus(const struct stat& info);

  DWORD Resolve(HKEY key, KeyAccess need, OpenKey* out, RegKey** found);
  void Change(RegChange change);

  std::mutex mutex_;
  std::function<AnsiString()> fileNameOf_;
  AnsiString fileName_;
  bool loaded_ = false;
  bool mayCreateFolder_ = false;
  FileStamp stamp_;
  RegistryTree tree_;             // the file as last read, with the pending changes on it
  std::vector<RegChange> pending_;
  bool notSavedReported_ = false;
  std::unordered_map<std::uintptr_t, OpenKey> handles_;
  std::uintptr_t nextHandle_ = 1;
  std::vector<RegistryReport> reports_;  // delivered when the lock is let go
  RegistryReportHandler handler_;
};
