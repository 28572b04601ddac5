#include "platform/dialogs/ShellFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>

#include "platform/rtl/FileSystem.h"
#include "platform/rtl/RegularFile.h"

namespace fs = std::filesystem;

// The list's contents: an absolute path, or nothing for a virtual item.
struct ITEMIDLIST {
  std::string path;
};

namespace {

// The user folders file is a dozen lines: a larger file is not read.
constexpr std::int64_t kMostShellTextBytes = std::int64_t(1) << 20;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (home.empty()) {
    if (const passwd* entry = ::getpwuid(::getuid())) home = entry->pw_dir ? entry->pw_dir : "";
  }
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  return home;
}

// An XDG base folder: the variable when it holds an absolute path, else home + fallback.
std::string BaseFolder(const char* variable, const char* fallback) {
  const std::string value = Env(variable);
  if (!value.empty() && value[0] == '/') return value;
  return HomeFolder() + fallback;
}

// A line of user-dirs.dirs: XDG_NAME_DIR="$HOME/Name" or XDG_NAME_DIR="/absolute/path".
std::string UserDirFromFile(const std::string& key) {
  std::istringstream in(ReadRegularFile(BaseFolder("XDG_CONFIG_HOME", "/.config") + "/user-dirs.dirs", kMostShellTextBytes).text);
  std::string line;
  std::string found;
  while (std::getline(in, line)) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    if (line.compare(start, key.size() + 1, key + "=") != 0) continue;
    std::string value = line.substr(start + key.size() + 1);
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
    value = value.substr(1, value.size() - 2);
    std::string unescaped;
    for (size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) ++i;
      unescaped += value[i];
    }
    if (unescaped.rfind("$HOME", 0) == 0 && (unescaped.size() == 5 || unescaped[5] == '/'))
      found = HomeFolder() + unescaped.substr(5);
    else if (!unescaped.empty() && unescaped[0] == '/')
      found = unescaped;  // the last valid line wins, as xdg-user-dirs reads it
  }
  return found;
}

std::string UserDir(const char* name, const char* fallback) {
  const std::string key = std::string("XDG_") + name + "_DIR";
  std::string path = Env(key.c_str());
  if (path.empty() || path[0] != '/') path = UserDirFromFile(key);
  if (path.empty()) path = HomeFolder() + "/" + fallback;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The live lists, so that a stale or foreign pointer is recognised and refused.
class ItemListTable {
public:
  LPITEMIDLIST Add(std::string path) {
    auto item = std::make_unique<ITEMIDLIST>();
    item->path = std::move(path);
    LPITEMIDLIST pointer = item.get();
    std::lock_guard lock(mutex_);
    items_.emplace(pointer, std::move(item));
    return pointer;
  }
  bool Remove(const void* pointer) {
    std::lock_guard lock(mutex_);
    return items_.erase(static_cast<const ITEMIDLIST*>(pointer)) != 0;
  }
  bool Find(LPCITEMIDLIST pointer, std::string* path) {
    std::lock_guard lock(mutex_);
    auto found = items_.find(pointer);
    if (found == items_.end()) return false;
    if (path) *path = found->second->path;
    return true;
  }

private:
  std::mutex mutex_;
  std::map<const ITEMIDLIST*, std::unique_ptr<ITEMIDLIST>> items_;
};

ItemListTable& Lists() {
  static ItemListTable table;
  return table;
}

bool CopyOut(const std::string& path, LPSTR out) {
  if (!out) return false;
  if (path.size() >= static_cast<size_t>(MAX_PATH)) {
    out[0] = 0;
    return false;
  }
  std::memcpy(out, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace

std::string SpecialFolderPath(int csidl, bool create) {
  std::string path;
  switch (csidl & ~CSIDL_FLAG_MASK) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: path = UserDir("DESKTOP", "Desktop"); break;
    case CSIDL_PERSONAL: path = UserDir("DOCUMENTS", "Documents"); break;
    case CSIDL_MYPICTURES: path = UserDir("PICTURES", "Pictures"); break;
    case CSIDL_MYMUSIC: path = UserDir("MUSIC", "Music"); break;
    case CSIDL_MYVIDEO: path = UserDir("VIDEOS", "Videos"); break;
    case CSIDL_TEMPLATES: path = UserDir("TEMPLATES", "Templates"); break;
    case CSIDL_APPDATA: path = BaseFolder("XDG_CONFIG_HOME", "/.config"); break;
    case CSIDL_LOCAL_APPDATA: path = BaseFolder("XDG_DATA_HOME", "/.local/share"); break;
    case CSIDL_PROGRAMS:
    case CSIDL_STARTMENU: path = BaseFolder("XDG_DATA_HOME", "/.local/share") + "/applications"; break;
    case CSIDL_STARTUP: path = BaseFolder("XDG_CONFIG_HOME", "/.config") + "/autostart"; break;
    case CSIDL_FONTS: path = BaseFolder("XDG_DATA_HOME", "/.local/share") + "/fonts"; break;
    case CSIDL_PROFILE: path = HomeFolder(); break;
    case CSIDL_DRIVES: path = "/"; break;
    default: return "";
  }
  if (path.empty() || path[0] != '/') return "";
  if (create || (csidl & CSIDL_FLAG_CREATE)) {
    std::error_code error;
    fs::create_directories(path, error);
  }
  return path;
}

LPITEMIDLIST ILCreateFromPath(LPCSTR path) {
  if (!path || !*path) return nullptr;
  std::string full = ExpandFileName(path);
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  return Lists().Add(full);
}

LPITEMIDLIST ILClone(LPCITEMIDLIST pidl) {
  std::string path;
  if (!Lists().Find(pidl, &path)) return nullptr;
  return Lists().Add(path);
}

void ILFree(LPITEMIDLIST pidl) {
  if (pidl) Lists().Remove(pidl);
}

void CoTaskMemFree(void* memory) {
  if (memory) Lists().Remove(memory);
}

bool ILIsValid(LPCITEMIDLIST pidl) { return pidl && Lists().Find(pidl, nullptr); }

std::string ILPath(LPCITEMIDLIST pidl) {
  std::string path;
  if (!pidl || !Lists().Find(pidl, &path)) return "";
  return path;
}

BOOL ILIsEqual(LPCITEMIDLIST a, LPCITEMIDLIST b) {
  std::string pathA, pathB;
  if (!a || !b || !Lists().Find(a, &pathA) || !Lists().Find(b, &pathB)) return FALSE;
  return pathA == pathB;
}

BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPSTR path) {
  if (!path) return FALSE;
  path[0] = 0;
  const std::string found = ILPath(pidl);
  if (found.empty()) return FALSE;
  return CopyOut(found, path);
}

HRESULT SHGetSpecialFolderLocation(HWND, int csidl, LPITEMIDLIST* pidl) {
  if (!pidl) return E_INVALIDARG;
  *pidl = nullptr;
  const std::string path = SpecialFolderPath(csidl);
  if (path.empty()) return E_INVALIDARG;
  *pidl = Lists().Add(path);
  return S_OK;
}

BOOL SHGetSpecialFolderPath(HWND, LPSTR path, int csidl, BOOL create) {
  if (!path) return FALSE;
  path[0] = 0;
  const std::string found = SpecialFolderPath(csidl, create != FALSE);
  std::error_code error;
  if (found.empty() || !fs::is_directory(found, error)) return FALSE;
  return CopyOut(found, path);
}

HRESULT SHGetFolderPath(HWND, int csidl, void*, DWORD, LPSTR path) {
  if (!path) return E_INVALIDARG;
  path[0] = 0;
  const std::string found = SpecialFolderPath(csidl);
  if (found.empty()) return E_INVALIDARG;
  if (!CopyOut(found, path)) return E_FAIL;
  std::error_code error;
  if (fs::is_directory(found, error)) return S_OK;
  return (csidl & CSIDL_FLAG_CREATE) ? E_FAIL : S_FALSE;
}
