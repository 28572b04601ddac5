#include "quillo/files/ProbeFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/rtl/FileSystem.h"

namespace {
constexpr int kPathRoom = 260;
}

ProbeFolder::ProbeFolder() {
  char temp[kPathRoom] = {};
  const DWORD length = GetTempPath(sizeof temp, temp);
  if (length == 0 || length >= sizeof temp) return;
  std::string pattern = std::string(temp) + "quillo-probe-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) return;
  path_ = AnsiString(name.data()) + "/";
}

ProbeFolder::~ProbeFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path_), ignored);
}

void ProbeFolder::Remove(const AnsiString& file) {
  if (file.empty()) return;
  std::error_code ignored;
  std::filesystem::remove(std::filesystem::path(file), ignored);
}
