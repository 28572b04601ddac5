#include "ConcurrentWriters.h"

#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <vector>

bool RunConcurrentWriters(int processes, int threads, const std::function<bool(int process, int thread)>& write) {
  std::vector<pid_t> children;
  bool forked = true;
  for (int p = 0; p < processes && forked; ++p) {
    const pid_t child = ::fork();
    if (child < 0) {
      forked = false;
    } else if (child == 0) {
      std::vector<char> ok(static_cast<size_t>(threads), 0);
      std::vector<std::thread> running;
      for (int t = 0; t < threads; ++t) running.emplace_back([&, t] { ok[static_cast<size_t>(t)] = write(p, t); });
      for (std::thread& thread : running) thread.join();
      bool all = true;
      for (char one : ok) all = all && one;
      ::_exit(all ? 0 : 1);
    } else {
      children.push_back(child);
    }
  }
  bool all = forked;
  for (pid_t child : children) {
    int status = 0;
    all = ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0 && all;
  }
  return all;
}
