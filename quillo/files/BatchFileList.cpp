#include "quillo/files/BatchFileList.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "vorlen/formats/GFXFile.h"

namespace {

bool NamesAFormat(const AnsiString& name) { return GFXFile::GetDefaultFormat(name) != nullptr; }

std::vector<AnsiString> NamesIn(const AnsiString& folder) {
  std::vector<AnsiString> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const AnsiString name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

enum class EntryKind { Folder, File, Other };

EntryKind KindOf(const AnsiString& path) {
  struct stat info{};
  if (::lstat(path.c_str(), &info) != 0) return EntryKind::Other;
  if (S_ISDIR(info.st_mode)) return EntryKind::Folder;
  if (S_ISREG(info.st_mode)) return EntryKind::File;
  // A link counts as the regular file it names; a linked folder is not entered.
  if (S_ISLNK(info.st_mode) && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return EntryKind::File;
  return EntryKind::Other;
}

}  // namespace

void ScanBatchFolder(const AnsiString& folder, bool withSubfolders, std::vector<AnsiString>& files) {
  if (folder.empty()) return;
  const AnsiString base = folder.back() == '/' ? folder : folder + "/";
  for (const AnsiString& name : NamesIn(base)) {
    const AnsiString path = base + name;
    switch (KindOf(path)) {
      case EntryKind::Folder:
        if (withSubfolders && name[0] != '.') ScanBatchFolder(path, withSubfolders, files);
        break;
      case EntryKind::File:
        if (NamesAFormat(name)) files.push_back(path);
        break;
      case EntryKind::Other: break;
    }
  }
}

std::vector<AnsiString> BatchInputFiles(const BatchSettings& s) {
  std::vector<AnsiString> files;
  switch (s.input) {
    case BatchInput::SingleImage: {
      const AnsiString name = Trim(s.singleImage);
      if (!name.empty() && NamesAFormat(name)) files.push_back(name);
      break;
    }
    case BatchInput::SingleFolder: ScanBatchFolder(Trim(s.singleFolder), s.subfolders, files); break;
    case BatchInput::MultipleFolders:
      for (const AnsiString& folder : s.folders) ScanBatchFolder(Trim(folder), s.subfoldersMulti, files);
      break;
  }
  return files;
}
