#pragma once
// Files for the benchmarks that save and load as the program does. The program saves into a
// temporary file beside the target, syncs it to disk and renames it over the target; the
// reference libraries' side of each benchmark does the same around their own stdio writers,
// so that both pay for the same disk work.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace bench_files {

// A scratch folder for the run, removed with everything in it when the program ends.
class Folder {
public:
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillo-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  std::string File(const char* name) const { return path_ + "/" + name; }

private:
  std::string path_;
};

inline const Folder& Scratch() {
  static const Folder folder;
  return folder;
}

// Runs write(FILE*) into a temporary file beside path, syncs it and renames it over path, as
// the program's saves do; false when any step fails.
template <class Write>
bool SaveLikeTheProgram(const std::string& path, Write write) {
  const std::string temporary = path + ".saving";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = write(file);
  ok = std::fflush(file) == 0 && ok;
  ok = ::fsync(::fileno(file)) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  return ok && std::rename(temporary.c_str(), path.c_str()) == 0;
}

inline bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  return SaveLikeTheProgram(path, [&](std::FILE* file) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  });
}

}  // namespace bench_files
