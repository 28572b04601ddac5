// Memory at start-up: the program started as a user starts it (the SDL host on an X server
// without a GPU, the benchmark's own, and no picture named), its resident size once start-up
// shows (the program's own start-up report, QUILLO_STARTUP_REPORT) beside the goal, with where
// it lies (the process's smaps, in MB): OpenGL and its drivers, heap and anonymous memory,
// shared memory (the window's image), the program's own code, the other libraries. The
// reference, started in turns with it, is the same program on SDL's OpenGL renderer
// (SDL_RENDER_DRIVER=opengl), which drew on the processor here through llvmpipe.

#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProgram.h"
#include "support/PrivateDisplay.h"

namespace {

namespace fs = std::filesystem;

constexpr double kGoalMB = 60;
constexpr auto kPatience = std::chrono::seconds(120);

// A returning user's settings: the user level is answered (a first run would ask for it).
constexpr const char* kSettings =
    "quillo registry 1\n\n[HKEY_CURRENT_USER\\Software\\Dornick\\QL\\Preferences]\n\"Level\"=dword:00000000\n";

struct Resident {
  std::map<std::string, double> partsMB;  // by the kind of mapping
  double totalMB = 0;
  bool ok = false;
};

std::string PartOf(const std::string& path) {
  if (path.empty() || path[0] == '[') return "heap_anon_MB";
  for (const char* openGl : {"/libGL", "/libEGL", "/dri/", "/libLLVM", "/libglapi", "/libz3", "/libdrm_", "/libsensors",
                             "/libelf", "mesa_shader_cache"})
    if (path.find(openGl) != std::string::npos) return "opengl_MB";
  if (path.rfind("/SYSV", 0) == 0 || path.rfind("/memfd:", 0) == 0 || path.rfind("/dev/shm/", 0) == 0) return "shm_MB";
  if (path.rfind(QUILLO_BIN_DIR, 0) == 0) return "program_MB";
  return "libs_MB";
}

Resident ReadSmaps(pid_t child) {
  Resident out;
  std::ifstream smaps("/proc/" + std::to_string(child) + "/smaps");
  std::string part;
  for (std::string line; std::getline(smaps, line);) {
    std::istringstream fields(line);
    std::string first;
    fields >> first;
    if (first.find('-') != std::string::npos && first.find(':') == std::string::npos) {
      std::string perms, offset, device, inode, path;
      fields >> perms >> offset >> device >> inode;
      std::getline(fields >> std::ws, path);
      part = PartOf(path);
    } else if (first == "Rss:") {
      double kB = 0;
      fields >> kB;
      out.partsMB[part] += kB / 1024;
      out.totalMB += kB / 1024;
      out.ok = true;
    }
  }
  return out;
}

// Starts the program on the benchmark's display, waits for its start-up report, reads where
// its memory lies and asks it to close as a session does.
Resident StartAndMeasure(const char* renderDriver) {
  const fs::path home = fs::temp_directory_path() / ("startup-memory-" + std::to_string(getpid()));
  fs::remove_all(home);
  fs::create_directories(home);
  std::ofstream(home / "registry.txt") << kSettings;
  const std::string report = (home / "start-up.txt").string();
  std::vector<std::string> added{"QUILLO_HOST=sdl", "QUILLO_HOME=" + home.string(), "QUILLO_STARTUP_REPORT=" + report};
  if (renderDriver) added.push_back(std::string("SDL_RENDER_DRIVER=") + renderDriver);
  const pid_t child =
      SpawnChildProgram(QUILLO_BIN_DIR "/quillo", {"QUILLO_", "SDL_RENDER_DRIVER=", "WAYLAND_DISPLAY="}, added);
  Resident out;
  if (child == 0) return out;
  const auto until = std::chrono::steady_clock::now() + kPatience;
  while (!fs::exists(report) && std::chrono::steady_clock::now() < until && waitpid(child, nullptr, WNOHANG) == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (fs::exists(report)) out = ReadSmaps(child);
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  fs::remove_all(home);
  return out;
}

void BM_StartUpResident(benchmark::State& state) {
  PrivateDisplay display;
  if (!display.Ready()) {
    state.SkipWithError(display.Problem().c_str());
    return;
  }
  Resident ours, reference;
  for (auto _ : state) {
    ours = StartAndMeasure(nullptr);
    reference = StartAndMeasure("opengl");
  }
  if (!ours.ok || !reference.ok) {
    state.SkipWithError("the program did not report its start-up");
    return;
  }
  state.counters["rss_MB"] = ours.totalMB;
  state.counters["goal_MB"] = kGoalMB;
  state.counters["vs_goal"] = ours.totalMB / kGoalMB;
  state.counters["ref_rss_MB"] = reference.totalMB;
  state.counters["vs_ref"] = ours.totalMB / reference.totalMB;
  for (const char* part : {"opengl_MB", "heap_anon_MB", "shm_MB", "program_MB", "libs_MB"}) {
    state.counters[part] = ours.partsMB[part];
    state.counters[std::string("ref_") + part] = reference.partsMB[part];
  }
}
BENCHMARK(BM_StartUpResident)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
