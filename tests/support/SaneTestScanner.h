#pragma once
// SANE with its test backend alone: a configuration folder naming only "test" (the devices'
// number and the options given), with SANE_CONFIG_DIR pointing at it for the length of a
// scope. The folder is one per process, kept to its end: SANE reads the folder's name once.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

class SaneTestScanner {
public:
  explicit SaneTestScanner(const std::string& testConf, const std::string& backends = "test\n") {
    static const struct Folder {
      std::string path = "/tmp/quillo-sane-" + std::to_string(::getpid());
      ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
      }
    } folder;
    path_ = folder.path;
    std::filesystem::create_directories(path_);
    std::ofstream(path_ + "/dll.conf") << backends;
    std::ofstream(path_ + "/test.conf") << testConf;
    if (const char* old = std::getenv("SANE_CONFIG_DIR")) old_ = old;
    ::setenv("SANE_CONFIG_DIR", path_.c_str(), 1);
  }
  ~SaneTestScanner() {
    if (old_) ::setenv("SANE_CONFIG_DIR", old_->c_str(), 1);
    else ::unsetenv("SANE_CONFIG_DIR");
  }
  SaneTestScanner(const SaneTestScanner&) = delete;
  SaneTestScanner& operator=(const SaneTestScanner&) = delete;
  const std::string& Path() const { return path_; }

private:
  std::string path_;
  std::optional<std::string> old_;
};
