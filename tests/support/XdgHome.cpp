#include "XdgHome.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace {
const char* const kCleared[] = {"XDG_DESKTOP_DIR",  "XDG_DOCUMENTS_DIR", "XDG_PICTURES_DIR", "XDG_MUSIC_DIR",
                                "XDG_VIDEOS_DIR",   "XDG_TEMPLATES_DIR", "XDG_DOWNLOAD_DIR", "XDG_PUBLICSHARE_DIR"};
}  // namespace

XdgHome::XdgHome() {
  char pattern[] = "/tmp/quillo-xdg-XXXXXX";
  root_ = ::mkdtemp(pattern);
  for (const char* folder : {"/home", "/config", "/data"}) std::filesystem::create_directories(root_ + folder);
  Set("HOME", Home().c_str());
  Set("XDG_CONFIG_HOME", Config().c_str());
  Set("XDG_DATA_HOME", Data().c_str());
  for (const char* name : kCleared) Set(name, nullptr);
}

XdgHome::~XdgHome() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->second.first)
      ::setenv(it->first.c_str(), it->second.second.c_str(), 1);
    else
      ::unsetenv(it->first.c_str());
  }
  std::error_code ignored;
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(root_, ignored);
}

void XdgHome::Remember(const char* name) {
  for (const auto& entry : saved_)
    if (entry.first == name) return;
  const char* old = ::getenv(name);
  saved_.push_back({name, {old != nullptr, old ? old : ""}});
}

void XdgHome::Set(const char* name, const char* value) {
  Remember(name);
  if (value)
    ::setenv(name, value, 1);
  else
    ::unsetenv(name);
}

std::string XdgHome::MakeFolder(const std::string& relative) const {
  const std::string path = root_ + "/" + relative;
  std::filesystem::create_directories(path);
  return path;
}

std::string XdgHome::WriteFile(const std::string& relative, const std::string& contents) const {
  const std::filesystem::path full = std::filesystem::path(root_) / relative;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream(full, std::ios::binary) << contents;
  return full.string();
}
