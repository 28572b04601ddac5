#include "quillo/components/files/TreeScanner.h"

#include <sys/stat.h>

#include <utility>
#include <vector>

#include "platform/rtl/FileSystem.h"
#include "platform/rtl/FindFile.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Strings.h"

QUILLO_DEFINE_PUBLISHED_CLASS(TTreeScanner, TComponent)

const TPropTable* TTreeScanner::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TTreeScanner>()
          .Property("InitialDirectory", &TTreeScanner::GetInitialDirectory, &TTreeScanner::SetInitialDirectory)
          .Property("FileMask", &TTreeScanner::GetFileMask, &TTreeScanner::SetFileMask)
          .Property("Recursive", &TTreeScanner::GetRecursive, &TTreeScanner::SetRecursive)
          .Property("EnableMessages", &TTreeScanner::GetEnableMessages, &TTreeScanner::SetEnableMessages)
          .Table();
  return &table;
}

TTreeScanner::TTreeScanner(TComponent* owner) : TComponent(owner) {}

bool TTreeScanner::ScanTree() {
  if (searching_) return false;
  searching_ = true;
  fileFound_.clear();
  fileSize_ = 0;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{searching_};
  if (initialDirectory_.empty()) initialDirectory_ = GetCurrentDir();
  // Exactly one trailing '/': "a//" and "a" both become "a/".
  AnsiString dir = initialDirectory_;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  initialDirectory_ = dir == "/" ? dir : dir + "/";
  scan_directory(initialDirectory_);
  return true;
}

namespace {

bool IsLink(const AnsiString& path) {
  struct stat info{};
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

}  // namespace

void TTreeScanner::scan_directory(const AnsiString& dir) {
  if (enableMessages_) Application()->ProcessMessages();
  fileSize_ = 0;
  fileFound_ = dir;
  if (OnDirectoryFound) OnDirectoryFound(this);

  auto folders = MakeObject<TStringList>();
  folders->SetSorted(true);
  folders->SetDuplicates(dupAccept);
  std::vector<std::pair<AnsiString, std::int64_t>> files;
  TSearchRec rec;
  if (FindFirst(dir + "*", faAnyFile, rec) == 0) {
    do {
      if (rec.Name == "." || rec.Name == "..") continue;
      if ((rec.Attr & faDirectory) && !IsLink(dir + rec.Name)) folders->Add(dir + rec.Name + "/");
    } while (FindNext(rec) == 0);
    FindClose(rec);
  }
  if (FindFirst(dir + fileMask_, faAnyFile, rec) == 0) {
    do {
      if (rec.Attr & (faDirectory | faVolumeID)) continue;
      files.emplace_back(dir + rec.Name, rec.Size);
    } while (FindNext(rec) == 0);
    FindClose(rec);
  }
  std::stable_sort(files.begin(), files.end(),
                   [](const auto& a, const auto& b) { return CompareFileNames(a.first, b.first) < 0; });
  for (const auto& [path, size] : files) {
    fileFound_ = path;
    fileSize_ = size;
    if (OnFileFound) OnFileFound(this);
  }
  fileSize_ = 0;
  for (int i = 0; i < folders->Count(); ++i) {
    const AnsiString sub = folders->Strings(i);
    if (recursive_) {
      scan_directory(sub);
    } else {
      fileFound_ = sub;
      if (OnDirectoryFound) OnDirectoryFound(this);
    }
  }
  fileFound_ = dir;  // the folder that is done, not whatever was reported last inside it
  if (OnDirectoryDone) OnDirectoryDone(this);
}
