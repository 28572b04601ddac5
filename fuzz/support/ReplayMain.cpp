// Runs a fuzz target over files without libFuzzer: each argument is a file or a folder
// whose files are run in name order. A crash or sanitizer report fails the run.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::printf("%s (%zu bytes)\n", path.c_str(), bytes.size());
  std::fflush(stdout);
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

// Under AddressSanitizer an allocation beyond 2 GB fails the run, as libFuzzer's malloc limit
// does (fuzz/README runs it with -rss_limit_mb=2048): a length taken from the input unchecked
// shows here too.
extern "C" const char* __asan_default_options() { return "max_allocation_size_mb=2048:allocator_may_return_null=0"; }

int main(int argc, char** argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      std::vector<std::filesystem::path> paths;
      for (const auto& entry : std::filesystem::directory_iterator(arg))
        if (entry.is_regular_file()) paths.push_back(entry.path());
      std::sort(paths.begin(), paths.end());
      for (const auto& p : paths) RunFile(p), ++files;
    } else if (std::filesystem::is_regular_file(arg)) {
      RunFile(arg);
      ++files;
    }
  }
  std::printf("%d inputs replayed\n", files);
  return 0;
}
