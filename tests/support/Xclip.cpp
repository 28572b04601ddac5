#include "support/Xclip.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <cstdlib>
#include <thread>

#include "support/UiDriver.h"

extern char** environ;

bool XclipInstalled() { return access(kXclip, X_OK) == 0; }

namespace {

bool RunXclip(UiDriver& ui, std::vector<std::string> args, const std::string& in, const std::string& out) {
  args.insert(args.begin(), {kXclip, "-selection", "clipboard"});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, in.empty() ? "/dev/null" : in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, out.empty() ? "/dev/null" : out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  // xclip -i stays behind to serve the selection: it must not hold the test's output open.
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&files, 3);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, kXclip, &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  if (spawned != 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return false;
    }
    ui.RunUntilIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// What xclip offers once it owns the clipboard: its one type after TARGETS.
std::string OfferedBy(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == "-t") return "TARGETS\n" + args[i + 1] + "\n";
  return "TARGETS\nUTF8_STRING\n";
}

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

bool Xclip(UiDriver& ui, std::vector<std::string> args, const std::string& in, const std::string& out) {
  if (!RunXclip(ui, args, in, out)) return false;
  if (std::find(args.begin(), args.end(), "-i") == args.end()) return true;
  const std::string targets = (in.empty() ? std::string("/tmp/xclip-targets") : in) + ".targets";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    if (RunXclip(ui, {"-o", "-t", "TARGETS"}, "", targets) && Contents(targets) == OfferedBy(args)) {
      std::remove(targets.c_str());
      return true;
    }
    ui.RunUntilIdle();
  }
  std::remove(targets.c_str());
  return false;
}

