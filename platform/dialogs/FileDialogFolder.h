#pragma once
// What the open and save dialogs know about names, patterns and folders, apart from any
// window: the filter string, pattern matching, a folder's listing as the file list shows it,
// and turning what the user typed into paths.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace filedialog {

struct FileFilter {
  std::string description;
  std::vector<std::string> patterns;  // "*.png", "*.jpg"
};

// The pairs of a filter string (description NUL patterns NUL ... NUL); patterns are split
// at ';'. An unpaired description at the end is dropped.
std::vector<FileFilter> ParseFilter(const char* filter);

// Case-insensitive (ASCII letters) match with '*' and '?'; "*.*" matches every name, also
// those without a dot.
bool MatchesPattern(const std::string& name, const std::string& pattern);
bool MatchesAny(const std::string& name, const std::vector<std::string>& patterns);
bool HasWildcard(const std::string& text);

struct FolderEntry {
  std::string name;
  bool folder = false;
  std::uint64_t size = 0;
  std::time_t modified = 0;
};

enum class HiddenFiles { Hide, Show };

// The folders of folder (all of them) and its files that match one of the patterns (all
// files when there are none), folders first, each group sorted case-insensitively. Names
// starting with '.' are hidden files. Empty when the folder cannot be read.
std::vector<FolderEntry> ListFolder(const std::string& folder, const std::vector<std::string>& patterns,
                                    HiddenFiles hidden);

// An absolute path with no "." or ".." parts, no doubled or trailing '/' (except "/").
std::string NormalPath(const std::string& path);
// name taken relative to folder ("~" is the home folder; an absolute name stands alone).
std::string ResolvePath(const std::string& folder, const std::string& name);
std::string ParentFolder(const std::string& folder);
// "/", "/home", "/home/ann" for "/home/ann".
std::vector<std::string> FolderAncestors(const std::string& folder);
// The part after the last '/'.
std::string NamePart(const std::string& path);
// The offset of the extension in path (after its dot), or 0 when the last name has none.
std::size_t ExtensionOffset(const std::string& path);

// The names of a multi-select edit: each quoted name ("a b.png" "c.png"), or the whole text
// as one name when it holds no quote. Empty names are dropped.
std::vector<std::string> SplitNames(const std::string& text);
// The text a multi-select edit shows for these names: one name plain, several quoted.
std::string JoinNames(const std::vector<std::string>& names);

// The extension an extension-less name gets: the selected filter's own extension when its
// first pattern names one ("*.png"), else the default extension.
std::string ExtensionToAdd(const FileFilter* filter, const std::string& defaultExt);

bool IsFolder(const std::string& path);
bool Exists(const std::string& path);
std::string HomeFolder();

}  // namespace filedialog
