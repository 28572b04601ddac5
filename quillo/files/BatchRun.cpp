#include "quillo/files/BatchRun.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "quillo/base/Language.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/BatchFormats.h"
#include "quillo/files/ImageFiles.h"

namespace {

// Anything at the path, a dangling link included, takes the name.
bool NameTaken(const AnsiString& path) {
  struct stat info{};
  return ::lstat(path.c_str(), &info) == 0;
}

AnsiString MessageLine(const char* key, const AnsiString& path) { return LangMessage(key) + " " + path; }

// The two paths name one file (the same name, or links to one).
bool SameFile(const AnsiString& a, const AnsiString& b) {
  struct stat first{}, second{};
  if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

BatchRun::BatchRun(const BatchSettings& settings, BatchProgressSink& sink)
    : settings_(settings), sink_(sink), format_(BatchFormatNamed(settings.format)) {
  if (format_ == nullptr) {
    const std::vector<GFXFile*> formats = BatchWritableFormats();
    format_ = formats.empty() ? nullptr : formats.front();
  }
  extension_ = format_ != nullptr ? BatchOutputExtension(format_) : AnsiString();
}

AnsiString BatchRun::OutputName(const AnsiString& source, int index) const {
  const AnsiString folder = ExtractFilePath(source);
  if (!settings_.keepName) {
    // The first file of the list gets the first number; one that failed still uses its own.
    const long long number = static_cast<long long>(settings_.firstNumber) + index - 1;
    return folder + settings_.baseName + Format("%0*lld", settings_.digits, number) + extension_;
  }
  const AnsiString name = ChangeFileExt(ExtractFileName(source), AnsiString());
  const AnsiString candidate = folder + name + extension_;
  if (!settings_.addIndex || !NameTaken(candidate)) return candidate;
  for (int k = 1;; ++k) {
    const AnsiString indexed = folder + name + IntToStr(k) + extension_;
    if (!NameTaken(indexed)) return indexed;
  }
}

bool BatchRun::Waiting(const AnsiString& path) const {
  return std::find(files_.begin() + taken_, files_.end(), path) != files_.end();
}

void BatchRun::Convert(const AnsiString& source) {
  UDBuffer picture;
  const int loaded = LoadImageFile(&picture, source, 0, true);
  if (loaded != LoadOk && loaded != LoadDamaged && loaded != LoadReadFailed) {
    sink_.AddMessage(MessageLine("Can't open", source));
    return;
  }
  const bool partial = loaded != LoadOk;
  if (partial) sink_.AddMessage(MessageLine("Read in part", source));
  const AnsiString output = OutputName(source, taken_);
  // What was read of a damaged file never takes the place of the file itself.
  if (partial && SameFile(output, source)) {
    sink_.AddMessage(MessageLine("Can't save", output));
    return;
  }
  GFXSaveParams params = BatchSaveParams(settings_);
  params.format = format_;
  if (Waiting(output) || SaveImageFile(output, &picture, &params, true) != SaveOk)
    sink_.AddMessage(MessageLine("Can't save", output));
}

void BatchRun::Run(const std::vector<AnsiString>& files) {
  files_ = files;
  taken_ = 0;
  sink_.SetFileCount(static_cast<int>(files_.size()));
  while (taken_ < static_cast<int>(files_.size()) && !sink_.Cancelled()) {
    const AnsiString source = files_[static_cast<std::size_t>(taken_++)];
    Convert(source);
    sink_.SetFilesDone(taken_);
    sink_.Pump();
  }
}
