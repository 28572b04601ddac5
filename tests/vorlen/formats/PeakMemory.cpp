#include "tests/vorlen/formats/PeakMemory.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

long PeakMemoryGrowthKiB(const std::function<void()>& action) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    const long before = PeakKiB();
    try {
      action();
    } catch (...) {
    }
    const long growth = PeakKiB() - before;
    const ssize_t written = write(pipeEnds[1], &growth, sizeof growth);
    _exit(written == sizeof growth ? 0 : 1);  // no exit handlers: the test program's belong to it
  }
  close(pipeEnds[1]);
  long growth = -1;
  if (child > 0 && read(pipeEnds[0], &growth, sizeof growth) != sizeof growth) growth = -1;
  close(pipeEnds[0]);
  if (child > 0) waitpid(child, nullptr, 0);
  return growth;
}
