#pragma once
// What the property-checking fuzz targets share: a check that names the broken line and stops
// the run, and a scratch folder of the target's own, removed when the program ends.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

inline void Check(bool condition, const char* file, int line) {
  if (condition) return;
  std::fprintf(stderr, "property broken at %s:%d\n", file, line);
  std::abort();
}

// A new folder under $TMPDIR (else /tmp) named after `name`, made at the first call; its path
// ends without a '/'.
inline const std::string& ScratchFolder(const char* name) {
  struct Remover {
    std::string path;
    ~Remover() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Remover folder = [name] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/quillo-" + name + "-XXXXXX";
    Check(mkdtemp(pattern.data()) != nullptr, __FILE__, __LINE__);
    return Remover{pattern};
  }();
  return folder.path;
}

// Writes the fuzzer's input to a file, for readers that take a path.
inline void WriteFile(const std::string& path, const unsigned char* data, std::size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  Check(f != nullptr, __FILE__, __LINE__);
  Check(size == 0 || std::fwrite(data, 1, size, f) == size, __FILE__, __LINE__);
  std::fclose(f);
}

}  // namespace fuzz

#define CHECK(condition) ::fuzz::Check(condition, __FILE__, __LINE__)
