#include "platform/dialogs/FileDialogFolder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/SysUtils.h"

namespace filedialog {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }


bool Glob(const char* name, const char* pattern) {
  // Iterative matching with one backtrack point: linear enough for file names.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' || (*pattern && Lower(*pattern) == Lower(*name))) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::vector<FileFilter> ParseFilter(const char* filter) {
  std::vector<FileFilter> out;
  if (!filter) return out;
  const char* p = filter;
  while (*p) {
    std::string description = p;
    p += description.size() + 1;
    if (!*p) break;
    std::string patterns = p;
    p += patterns.size() + 1;
    FileFilter f;
    f.description = description;
    size_t start = 0;
    while (start <= patterns.size()) {
      size_t end = patterns.find(';', start);
      if (end == std::string::npos) end = patterns.size();
      std::string one = Trimmed(patterns.substr(start, end - start));
      if (!one.empty()) f.patterns.push_back(one);
      start = end + 1;
    }
    out.push_back(std::move(f));
  }
  return out;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  return Glob(name.c_str(), pattern.c_str());
}

bool MatchesAny(const std::string& name, const std::vector<std::string>& patterns) {
  if (patterns.empty()) return true;
  return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& p) { return MatchesPattern(name, p); });
}

bool HasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

std::vector<FolderEntry> ListFolder(const std::string& folder, const std::vector<std::string>& patterns,
                                    HiddenFiles hidden) {
  std::vector<FolderEntry> entries;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return entries;
  while (dirent* d = readdir(dir)) {
    std::string name = d->d_name;
    if (name == "." || name == "..") continue;
    if (name[0] == '.' && hidden == HiddenFiles::Hide) continue;
    std::string path = folder == "/" ? "/" + name : folder + "/" + name;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0) continue;
    FolderEntry e;
    e.name = name;
    e.folder = S_ISDIR(st.st_mode);
    e.size = e.folder ? 0 : static_cast<std::uint64_t>(st.st_size);
    e.modified = st.st_mtime;
    if (!e.folder && !MatchesAny(name, patterns)) continue;
    entries.push_back(std::move(e));
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
    if (a.folder != b.folder) return a.folder;
    return CompareFileNames(a.name, b.name) < 0;
  });
  return entries;
}

std::string NormalPath(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += "/" + part;
  return out.empty() ? "/" : out;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? NormalPath(home) : "/";
}

std::string ResolvePath(const std::string& folder, const std::string& name) {
  if (name == "~" || name.rfind("~/", 0) == 0) return NormalPath(HomeFolder() + name.substr(1));
  if (!name.empty() && name[0] == '/') return NormalPath(name);
  return NormalPath(folder + "/" + name);
}

std::string ParentFolder(const std::string& folder) { return NormalPath(folder + "/.."); }

std::vector<std::string> FolderAncestors(const std::string& folder) {
  std::vector<std::string> out{"/"};
  std::string normal = NormalPath(folder);
  for (size_t pos = normal.find('/', 1); normal != "/"; pos = normal.find('/', pos + 1)) {
    out.push_back(pos == std::string::npos ? normal : normal.substr(0, pos));
    if (pos == std::string::npos) break;
  }
  return out;
}

std::string NamePart(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::size_t ExtensionOffset(const std::string& path) {
  size_t slash = path.rfind('/');
  size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart || dot == nameStart || dot + 1 >= path.size()) return 0;
  return dot + 1;
}

std::vector<std::string> SplitNames(const std::string& text) {
  std::vector<std::string> names;
  if (text.find('"') == std::string::npos) {
    std::string one = Trimmed(text);
    if (!one.empty()) names.push_back(one);
    return names;
  }
  size_t pos = 0;
  while (pos < text.size()) {
    size_t open = text.find('"', pos);
    if (open == std::string::npos) {
      std::string rest = Trimmed(text.substr(pos));
      if (!rest.empty()) names.push_back(rest);
      break;
    }
    std::string before = Trimmed(text.substr(pos, open - pos));
    if (!before.empty()) names.push_back(before);
    size_t close = text.find('"', open + 1);
    if (close == std::string::npos) close = text.size();
    std::string name = text.substr(open + 1, close - open - 1);
    if (!name.empty()) names.push_back(name);
    pos = close + 1;
  }
  return names;
}

std::string JoinNames(const std::vector<std::string>& names) {
  if (names.size() == 1) return names[0];
  std::string out;
  for (const std::string& name : names) out += (out.empty() ? "\"" : " \"") + name + "\"";
  return out;
}

std::string ExtensionToAdd(const FileFilter* filter, const std::string& defaultExt) {
  if (filter && !filter->patterns.empty()) {
    const std::string& first = filter->patterns[0];
    if (first.rfind("*.", 0) == 0 && first.size() > 2 && !HasWildcard(first.substr(2))) return first.substr(2);
  }
  return defaultExt;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 || lstat(path.c_str(), &st) == 0;
}

}  // namespace filedialog
