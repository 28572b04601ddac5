#include "ComponentFixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

bool RunTestInChild(const std::string& testName, const std::string& phase) {
  const std::string filter = "--gtest_filter=" + testName;
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::setenv("QUILLO_CHILD_PHASE", phase.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>("/proc/self/exe"), const_cast<char*>(filter.c_str()),
                            const_cast<char*>("--gtest_brief=1"), nullptr};
    ::execv("/proc/self/exe", argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string ChildPhase() {
  const char* phase = std::getenv("QUILLO_CHILD_PHASE");
  return phase ? phase : "";
}

namespace {

std::pair<int, int> PhaseDesktop() {
  const std::string phase = ChildPhase();
  int w = 0, h = 0;
  const size_t at = phase.find('@');
  if (at != std::string::npos && std::sscanf(phase.c_str() + at + 1, "%dx%d", &w, &h) == 2 && w > 0 && h > 0)
    return {w, h};
  return {1280, 800};
}

}  // namespace

int PhaseDesktopWidth() { return PhaseDesktop().first; }
int PhaseDesktopHeight() { return PhaseDesktop().second; }
