// Linked into every program the build makes that runs the program's code but is not the
// program (tests, benchmarks, fuzz targets, build checks): before main, QUILLO_HOME points at a
// fresh folder of the process's own, removed at exit, so a run never reads or writes the
// user's settings. A test that needs a folder of its own still sets one over it, and the
// children such a process starts keep the folder it gave them.

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string& ScratchFolder() {
  static std::string folder;
  return folder;
}

pid_t& ScratchOwner() {
  static pid_t owner = 0;
  return owner;
}

void RemoveScratchFolder() {
  // A forked child that exits normally must not take its parent's folder with it.
  if (getpid() != ScratchOwner() || ScratchFolder().empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(ScratchFolder(), ignored);
}

// Marks the environment of a process that already keeps its settings apart, so that the
// children it starts (a test restarting itself to read back what it stored) keep the folder
// it chose for them instead of taking a fresh one.
constexpr const char* kPrivateSettingsMark = "QUILLO_PRIVATE_SETTINGS";

bool UseScratchSettingsFolder() {
  if (std::getenv(kPrivateSettingsMark) != nullptr && std::getenv("QUILLO_HOME") != nullptr) return false;
  std::error_code error;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  std::string pattern = ((error ? std::filesystem::path("/tmp") : temp) / "quillo-settings-XXXXXX").string();
  const char* made = mkdtemp(pattern.data());
  // Without a folder of its own the run must not fall back on the user's.
  if (made == nullptr) std::abort();
  ScratchFolder() = made;
  ScratchOwner() = getpid();
  setenv("QUILLO_HOME", made, 1);
  setenv(kPrivateSettingsMark, "1", 1);
  std::atexit(RemoveScratchFolder);
  return true;
}

[[maybe_unused]] const bool scratchSettingsInUse = UseScratchSettingsFolder();

}  // namespace
