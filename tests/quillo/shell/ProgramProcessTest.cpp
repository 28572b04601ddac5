// The built program run as a user's session runs it: a child process on the headless host
// with its own settings and temporary folders, an image on its command line, and a request to
// close (SIGTERM, as a session sends at log-out). It must end by itself, successfully, and
// leave no temporary file behind.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/vcl/Registry.h"
#include "quillo/base/Settings.h"
#include "support/TempHome.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  if (fs::exists(folder))
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      names.push_back(fs::relative(entry.path(), folder).string());
  std::sort(names.begin(), names.end());
  return names;
}

// Waits for the child to end, at most the given time; -1 when it did not.
int WaitForExit(pid_t child, std::chrono::seconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < until) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return -1;
}

// Waits until the child's main thread blocks SIGTERM, which the program does first thing so
// that its watcher thread takes the request; false when that does not happen in time.
bool WaitUntilSigtermIsTaken(pid_t child, std::chrono::seconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  const unsigned long long sigterm = 1ULL << (SIGTERM - 1);
  while (std::chrono::steady_clock::now() < until) {
    std::ifstream status("/proc/" + std::to_string(child) + "/status");
    std::string line;
    while (std::getline(status, line))
      if (line.rfind("SigBlk:", 0) == 0 && (std::stoull(line.substr(7), nullptr, 16) & sigterm) != 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// The child finds the user level answered in its settings folder (the test's, which QUILLO_HOME
// names), as a returning user's program does; a first run would wait for the answer.
void StoreUserLevel() {
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
  if (!registry->OpenKey(AnsiString(SettingsRegistryKey) + "Preferences", true)) return;
  registry->WriteInteger("Level", 0);
  registry->CloseKey();
}

// Runs the built program headless with these arguments and that temporary folder; 0 when it
// could not be started.
pid_t SpawnProgram(const fs::path& temp, const std::vector<std::string>& arguments) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("QUILLO_HOST=", 0) && entry.rfind("TMPDIR=", 0) && entry.rfind("DISPLAY=", 0)) env.push_back(entry);
  }
  env.push_back("QUILLO_HOST=headless");
  env.push_back("TMPDIR=" + temp.string());
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = QUILLO_BIN_DIR "/quillo";
  std::vector<std::string> args = arguments;
  std::vector<char*> argv{program.data()};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return 0;
  return child;
}

// A file that cannot be opened stops start-up at its message, which nobody answers here: a
// request to close then still ends the program (nothing the user could lose exists yet).
TEST(ProgramProcessTest, ARequestToCloseDuringStartUpEndsTheProgram) {
  TempHome home;
  const fs::path temp = fs::path(home.Path()) / "tmp";
  fs::create_directories(temp);
  const std::string damaged = home.WriteFile("damaged.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));
  StoreUserLevel();
  const pid_t child = SpawnProgram(temp, {damaged});
  ASSERT_NE(child, 0);
  ASSERT_TRUE(WaitUntilSigtermIsTaken(child, std::chrono::seconds(30)));
  ASSERT_EQ(kill(child, SIGTERM), 0);
  const int result = WaitForExit(child, std::chrono::seconds(30));
  if (result == -1) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  EXPECT_EQ(result, 0);
}

TEST(ProgramProcessTest, StartsHeadlessWithAnImageAndEndsCleanlyWhenAskedToClose) {
  TempHome home;  // QUILLO_HOME for the child
  const fs::path temp = fs::path(home.Path()) / "tmp";
  fs::create_directories(temp);
  const std::string image = home.Path() + "/start.png";
  {
    Buffer pixels;
    pixels.Alloc(Pair<int>(40, 30));
    pixels.Box(pixels.rect, 0x336699);
    ASSERT_TRUE(GFXFile::Save(pixels, image, nullptr, nullptr));
    pixels.Free();
  }
  const std::vector<std::string> programFolderBefore = Listing(QUILLO_BIN_DIR);
  StoreUserLevel();
  const std::vector<std::string> homeBefore = Listing(home.Path());

  const pid_t child = SpawnProgram(temp, {image});
  ASSERT_NE(child, 0);
  // Once the program takes the request: during start-up it ends at once, after it the request
  // goes to the main window; either way it ends by itself and leaves nothing behind.
  ASSERT_TRUE(WaitUntilSigtermIsTaken(child, std::chrono::seconds(60)));
  ASSERT_EQ(kill(child, SIGTERM), 0);
  const int result = WaitForExit(child, std::chrono::seconds(60));
  if (result == -1) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  EXPECT_EQ(result, 0) << "the program ends by itself, successfully";

  EXPECT_EQ(Listing(temp), std::vector<std::string>{}) << "no temporary file is left";
  EXPECT_EQ(Listing(QUILLO_BIN_DIR), programFolderBefore) << "nothing is left beside the program";
  // The settings folder holds what the program keeps there, and nothing half-written.
  for (const std::string& name : Listing(home.Path())) {
    if (std::find(homeBefore.begin(), homeBefore.end(), name) != homeBefore.end()) continue;
    const std::string file = fs::path(name).filename().string();
    EXPECT_TRUE(file.find(".tmp") == std::string::npos && file.find(".copy") == std::string::npos && file[0] != '.')
        << name;
  }
}

}  // namespace
