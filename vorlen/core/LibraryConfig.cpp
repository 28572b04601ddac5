#include "vorlen/core/LibraryConfig.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/Module.h"
#include "platform/rtl/Profile.h"
#include "platform/rtl/SysUtils.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/draw/RFont.h"

namespace {

constexpr DWORD kPathSize = sizeof(Buffer::config_file);
constexpr DWORD kSetupNameSize = 128;

void StorePath(char (&target)[260], const AnsiString& value) {
  const size_t length = std::min(value.size(), sizeof(target) - 1);
  std::memcpy(target, value.data(), length);
  target[length] = '\0';
}

void ReadDefaultSize(const char* configFile) {
  char setup[kSetupNameSize] = {};
  GetPrivateProfileString("config", "setup", "", setup, sizeof(setup), configFile);
  if (setup[0] == '\0') return;
  const AnsiString section = AnsiString(setup) + ".setup";
  Buffer::default_x = static_cast<int>(
      GetPrivateProfileInt(section.c_str(), "width", Buffer::default_x, configFile));
  Buffer::default_y = static_cast<int>(
      GetPrivateProfileInt(section.c_str(), "height", Buffer::default_y, configFile));
}

void ReadFontFolder(const char* configFile) {
  GetPrivateProfileString("dirs", "fonts", "", RFont::path, kPathSize, configFile);
  if (RFont::path[0] != '\0') StorePath(RFont::path, IncludeTrailingPathDelimiter(RFont::path));
}

void ReadConfiguration(HINSTANCE module) {
  GetProfileString("VORLEN", "config", "", Buffer::config_file, kPathSize);
  if (Buffer::config_file[0] != '\0') {
    ReadDefaultSize(Buffer::config_file);
    ReadFontFolder(Buffer::config_file);
  }
  if (RFont::path[0] == '\0') StorePath(RFont::path, FontFolderBesideLibrary(ModuleFileName(module)));
}

}  // namespace

AnsiString FontFolderBesideLibrary(const AnsiString& libraryPath) {
  const AnsiString folder = ExtractFilePath(libraryPath);
  const size_t slash = folder.size() - 1;  // the folder's own trailing '/'
  if (folder.size() >= 6 && SameText(folder.substr(slash - 4, 4), "/BIN"))
    return folder.substr(0, slash - 3) + "FONTS/";
  return folder;
}

BOOL VorlenDllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) ReadConfiguration(module);
  return TRUE;
}
