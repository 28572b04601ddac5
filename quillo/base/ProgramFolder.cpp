#include "quillo/base/ProgramFolder.h"

namespace {

AnsiString& Folder() {
  static AnsiString folder;
  return folder;
}

}  // namespace

AnsiString ProgramFolderOf(const AnsiString& programPath) {
  const auto cut = programPath.find_last_of("/:");
  return cut == AnsiString::npos ? AnsiString() : programPath.substr(0, cut + 1);
}

AnsiString ProgramFolder() { return Folder(); }
void SetProgramFolder(const AnsiString& folder) {
  Folder() = folder.empty() || folder.back() == '/' ? folder : folder + "/";
}
