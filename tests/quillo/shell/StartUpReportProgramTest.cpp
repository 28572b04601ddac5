// The built program on a display without a GPU (the test's own X server), started as a user
// starts it. Once its start-up shows it writes its start-up report, and by then it has shown
// itself without bringing up an OpenGL driver, unless SDL_RENDER_DRIVER asks for one; asked to
// close (SIGTERM, as a session does), it ends by itself, successfully.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProgram.h"
#include "support/PrivateDisplay.h"
#include "support/TempHome.h"

namespace {

constexpr auto kPatience = std::chrono::seconds(120);  // reached only when the program is stuck

// A returning user's settings: the user level is answered (a first run would ask for it).
constexpr const char* kSettings =
    "quillo registry 1\n\n[HKEY_CURRENT_USER\\Software\\Dornick\\QL\\Preferences]\n\"Level\"=dword:00000000\n";

// Starts the program on the SDL host of the current DISPLAY, with the renderer the user may
// name and the report asked for; 0 when it could not be started.
pid_t SpawnOnDisplay(const std::string& report, const char* renderDriver) {
  // What SDL and the X libraries keep for the process's life is not the program's to free.
  std::vector<std::string> added{"QUILLO_HOST=sdl", "QUILLO_STARTUP_REPORT=" + report,
                                 "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1"};
  if (renderDriver) added.push_back(std::string("SDL_RENDER_DRIVER=") + renderDriver);
  return SpawnChildProgram(QUILLO_BIN_DIR "/quillo", {"QUILLO_HOST=", "SDL_", "ASAN_OPTIONS=", "WAYLAND_DISPLAY="},
                           added);
}

bool WaitForFile(const std::string& path, pid_t child) {
  const auto until = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < until) {
    if (access(path.c_str(), F_OK) == 0) return true;
    if (waitpid(child, nullptr, WNOHANG) == child) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

int WaitForExit(pid_t child) {
  const auto until = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < until) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return -1;
}

// The OpenGL libraries and drivers the process has mapped.
std::set<std::string> OpenGlMapped(pid_t child) {
  std::set<std::string> found;
  std::ifstream maps("/proc/" + std::to_string(child) + "/maps");
  for (std::string line; std::getline(maps, line);) {
    const size_t slash = line.find('/');
    if (slash == std::string::npos) continue;
    const std::string path = line.substr(slash);
    for (const char* part : {"/libGL", "/libEGL", "/dri/", "/libLLVM"})
      if (path.find(part) != std::string::npos) found.insert(path);
  }
  return found;
}

TEST(StartUpReportProgramTest, ShowsWithoutAnOpenGlDriverUnlessTheUserNamesOne) {
  PrivateDisplay display;
  if (!display.Ready()) GTEST_SKIP() << display.Problem();
  const struct {
    const char* renderDriver;
    bool openGl;
  } cases[] = {{nullptr, false}, {"software", false}, {"opengl", true}};
  for (const auto& c : cases) {
    const std::string name = c.renderDriver ? c.renderDriver : "(default)";
    TempHome home;
    home.WriteFile("registry.txt", kSettings);
    const std::string report = home.Path() + "/start-up.txt";
    const pid_t child = SpawnOnDisplay(report, c.renderDriver);
    ASSERT_NE(child, 0) << name;
    ASSERT_TRUE(WaitForFile(report, child)) << name << ": the report comes once start-up shows";
    const std::set<std::string> openGl = OpenGlMapped(child);
    const std::string text = FileContents(report);
    ASSERT_EQ(kill(child, SIGTERM), 0);
    EXPECT_EQ(WaitForExit(child), 0) << name << ": the program ends by itself, successfully";

    if (c.openGl) EXPECT_FALSE(openGl.empty()) << name << ": the user's renderer is taken";
    else EXPECT_TRUE(openGl.empty()) << name << ": " << *openGl.begin();
    for (const char* key : {"VmRSS:", "VmHWM:", "RssAnon:", "RssFile:", "RssShmem:", "Threads:"})
      EXPECT_NE(text.find(key), std::string::npos) << name << ": " << key << " in\n" << text;
  }
}

}  // namespace
