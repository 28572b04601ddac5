#include "TempHome.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

TempHome::TempHome() {
  char pattern[] = "/tmp/quillo-home-XXXXXX";
  path_ = ::mkdtemp(pattern);
  if (const char* old = ::getenv("QUILLO_HOME")) {
    previous_ = old;
    hadPrevious_ = true;
  }
  ::setenv("QUILLO_HOME", path_.c_str(), 1);
}

TempHome::~TempHome() {
  if (hadPrevious_)
    ::setenv("QUILLO_HOME", previous_.c_str(), 1);
  else
    ::unsetenv("QUILLO_HOME");
  std::error_code ignored;
  // A file dialog answered inside the home changes into its folder, as the system's does;
  // a process left in a deleted folder could not name its working folder to later tests.
  const std::filesystem::path cwd = std::filesystem::current_path(ignored);
  const std::string here = cwd.string() + "/";
  if (!ignored && here.compare(0, path_.size() + 1, path_ + "/") == 0)
    std::filesystem::current_path(std::filesystem::path(path_).parent_path(), ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempHome::WriteFile(const std::string& relative, const std::string& contents) const {
  const std::filesystem::path full = std::filesystem::path(path_) / relative;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream(full, std::ios::binary) << contents;
  return full.string();
}

std::vector<std::string> TempHome::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string FileContents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}
