#include "support/PrivateDisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kXvfb = "/usr/bin/Xvfb";
constexpr int kStartLimitMs = 30000;

}  // namespace

PrivateDisplay::PrivateDisplay() {
  if (const char* display = std::getenv("DISPLAY")) {
    hadDisplay_ = true;
    previousDisplay_ = display;
  }
  if (access(kXvfb, X_OK) != 0) {
    problem_ = "Xvfb is not installed (Debian's xvfb)";
    return;
  }
  // Xvfb picks a free display number itself and writes it to the pipe once it takes clients.
  int pipeFds[2];
  if (pipe(pipeFds) != 0) {
    problem_ = "no pipe";
    return;
  }
  fcntl(pipeFds[0], F_SETFD, FD_CLOEXEC);
  // -noreset: by default the server resets when its last client leaves, and refuses
  // connections meanwhile, which a test that reopens its host would run into.
  std::vector<std::string> args = {kXvfb, "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", "1024x768x24",
                                   "-nolisten", "tcp", "-noreset"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  const int spawned = posix_spawn(&server_, kXvfb, &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  close(pipeFds[1]);
  if (spawned != 0) {
    server_ = -1;
    close(pipeFds[0]);
    problem_ = "Xvfb did not start";
    return;
  }
  std::string number;
  pollfd ready{pipeFds[0], POLLIN, 0};
  char c = 0;
  while (poll(&ready, 1, kStartLimitMs) == 1 && read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
  close(pipeFds[0]);
  if (number.empty()) {
    problem_ = "Xvfb did not say which display it serves";
    return;
  }
  setenv("DISPLAY", (":" + number).c_str(), 1);
  ready_ = true;
}

PrivateDisplay::~PrivateDisplay() {
  if (server_ > 0) {
    kill(server_, SIGTERM);
    int status = 0;
    waitpid(server_, &status, 0);
  }
  if (hadDisplay_) setenv("DISPLAY", previousDisplay_.c_str(), 1);
  else unsetenv("DISPLAY");
}
