// The built program under a file-size limit (ulimit -f): a write past the limit must fail as
// it does on a full disk, not end the program with the user's work. The child starts with the
// signal's default action, as a user's shell gives it; only the program may choose otherwise.
//
// The first thing the program writes here is the copy it keeps of a damaged settings file
// before it mends it. The copy is larger than the limit, so its write fails and the program
// removes the part it wrote. Once that removal shows, the program is asked to close (SIGTERM,
// as a session does) and must end by itself, successfully, with the settings file as it was.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/TempHome.h"

extern char** environ;

namespace {

constexpr rlim_t kFileSizeLimit = 64 * 1024;
constexpr int kPatienceMs = 120 * 1000;  // reached only when the program is stuck

// A settings file with one damaged line among 256 KB of good ones: the user level is answered
// (a first run would ask for it) and the rest is padding.
std::string DamagedSettings() {
  std::string text = "quillo registry 1\n\n[HKEY_CURRENT_USER\\Software\\Dornick\\QL\\Preferences]\n"
                     "\"Level\"=dword:00000000\nthis line is damaged\n\n[HKEY_CURRENT_USER\\Software\\Padding]\n";
  for (int i = 0; text.size() < 256 * 1024; ++i)
    text += "\"Value" + std::to_string(i) + "\"=\"" + std::string(100, 'x') + "\"\n";
  return text;
}

// Starts the built program headless in `folder` with the file-size limit, the default action
// for SIGXFSZ and no core file; -1 when it could not be started.
pid_t SpawnLimited(const std::string& folder) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("QUILLO_HOST=", 0) && entry.rfind("TMPDIR=", 0) && entry.rfind("DISPLAY=", 0) &&
        entry.rfind("WAYLAND_DISPLAY=", 0))
      env.push_back(entry);
  }
  env.push_back("QUILLO_HOST=headless");
  env.push_back("TMPDIR=" + folder);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = QUILLO_BIN_DIR "/quillo";
  char* argv[] = {program.data(), nullptr};
  rlimit fileSize{};
  getrlimit(RLIMIT_FSIZE, &fileSize);
  fileSize.rlim_cur = kFileSizeLimit;
  const rlimit noCore{0, 0};
  struct sigaction defaultAction {};
  defaultAction.sa_handler = SIG_DFL;
  sigset_t noSignals;
  sigemptyset(&noSignals);
  const pid_t child = fork();
  if (child == 0) {  // only async-signal-safe calls from here on
    if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0 || setrlimit(RLIMIT_CORE, &noCore) != 0 ||
        sigaction(SIGXFSZ, &defaultAction, nullptr) != 0 || sigprocmask(SIG_SETMASK, &noSignals, nullptr) != 0 ||
        chdir(folder.c_str()) != 0)
      _exit(126);
    execve(program.c_str(), argv, envp.data());
    _exit(127);
  }
  return child;
}

// Waits until a name holding `part` is removed from the watched folder (true), or the child
// ends or the patience runs out (false).
bool WaitForRemoval(int watch, int child, const std::string& part) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fds[2] = {{watch, POLLIN, 0}, {child, POLLIN, 0}};
    if (poll(fds, 2, static_cast<int>(left.count())) < 0) return false;
    if (fds[1].revents & POLLIN) return false;
    if (!(fds[0].revents & POLLIN)) continue;
    alignas(inotify_event) char events[4096];
    const ssize_t n = read(watch, events, sizeof events);
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events + at);
      if (event->len > 0 && std::string(event->name).find(part) != std::string::npos) return true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
}

// The child's exit status as the shell shows it (128 + the signal that ended it); -1 when it
// did not end within the patience (it is then killed).
int WaitForExit(pid_t child, int childHandle) {
  pollfd fd{childHandle, POLLIN, 0};
  if (poll(&fd, 1, kPatienceMs) <= 0) kill(child, SIGKILL);
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  if (!(fd.revents & POLLIN)) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(FileSizeLimitProgram, AWritePastTheLimitFailsAndTheProgramGoesOn) {
  TempHome home;  // QUILLO_HOME for the child
  const std::string settings = DamagedSettings();
  const std::string registry = home.WriteFile("registry.txt", settings);
  const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, home.Path().c_str(), IN_DELETE), 0);

  const pid_t child = SpawnLimited(home.Path());
  ASSERT_GT(child, 0);
  const int childHandle = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
  ASSERT_GE(childHandle, 0);
  const bool copyRemoved = WaitForRemoval(watch, childHandle, "registry.txt.damaged-");
  if (copyRemoved) kill(child, SIGTERM);
  const int status = WaitForExit(child, childHandle);
  close(childHandle);
  close(watch);

  EXPECT_TRUE(copyRemoved) << "the copy that could not be written whole is removed";
  EXPECT_EQ(status, 0) << "the program ends by itself, successfully (" << 128 + SIGXFSZ << " is SIGXFSZ)";
  EXPECT_EQ(FileContents(registry), settings) << "the settings file is kept as it was";
}

}  // namespace
