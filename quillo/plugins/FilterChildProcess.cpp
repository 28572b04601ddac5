#include "quillo/plugins/FilterChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <thread>

#include "platform/rtl/Clock.h"
#include "platform/user/User.h"
#include "quillo/base/ProgramFolder.h"

extern char** environ;

namespace {

// Posted (to no window) by the watcher when the child has something to say.
constexpr UINT kChildSpoke = 0x1960;

class Descriptor {
public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { Reset(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

private:
  int fd_;
};

// Wakes the message loop whenever the child's socket has something to read: one post, then
// it waits until the loop has read and asks for the next.
class ChildWatcher {
public:
  explicit ChildWatcher(int socket) : socket_(socket), rearm_(eventfd(0, EFD_CLOEXEC)), stop_(eventfd(0, EFD_CLOEXEC)) {
    thread_ = std::thread([this] { Watch(); });
  }
  ~ChildWatcher() {
    Signal(stop_.Get());
    thread_.join();
    MSG stray;
    while (PeekMessage(&stray, nullptr, kChildSpoke, kChildSpoke, PM_REMOVE)) {
    }
  }
  ChildWatcher(const ChildWatcher&) = delete;
  ChildWatcher& operator=(const ChildWatcher&) = delete;

  void Rearm() { Signal(rearm_.Get()); }

private:
  static void Signal(int fd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(fd, &one, sizeof one);
  }
  // Waits until fd can be read; false when stopped meanwhile.
  bool WaitFor(int fd) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop_.Get(), POLLIN, 0}};
    for (;;) {
      if (poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents != 0) return false;
      if (fds[0].revents != 0) return true;
    }
  }
  void Watch() {
    for (;;) {
      if (!WaitFor(socket_)) return;
      PostMessage(nullptr, kChildSpoke, 0, 0);
      if (!WaitFor(rearm_.Get())) return;
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t got = read(rearm_.Get(), &count, sizeof count);
    }
  }

  int socket_;
  Descriptor rearm_;
  Descriptor stop_;
  std::thread thread_;
};

std::optional<pid_t> SpawnHelper(int childSocket, int memory) {
  // Moved above the numbers they go to first, so that neither dup2 overwrites the other.
  Descriptor socketAbove(fcntl(childSocket, F_DUPFD_CLOEXEC, 16));
  Descriptor memoryAbove(fcntl(memory, F_DUPFD_CLOEXEC, 16));
  if (socketAbove.Get() < 0 || memoryAbove.Get() < 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, socketAbove.Get(), 3);
  posix_spawn_file_actions_adddup2(&actions, memoryAbove.Get(), 4);
  const std::string path = FilterHelperPath();
  char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>("3"), const_cast<char*>("4"), nullptr};
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return std::nullopt;
  return pid;
}

// The child's end: reaped now, killed first when it has not ended by itself.
int Reap(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) == pid) return status;
  kill(pid, SIGKILL);
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

}  // namespace

AnsiString FilterHelperPath() { return ProgramFolder() + "quillo-filter-host"; }

FilterChildResult RunFilterChildProcess(const FilterRunRequest& request, int memory, const FilterChildAnswers& answers) {
  FilterChildResult result;
  int pair[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) return result;
  Descriptor ours(pair[0]);
  Descriptor theirs(pair[1]);
  const std::optional<pid_t> pid = SpawnHelper(theirs.Get(), memory);
  theirs.Reset();
  if (!pid) return result;
  if (!SendChannelMessage(ours.Get(), &request, sizeof request)) {
    Reap(*pid);
    result.outcome = FilterOutcome::Crashed;
    return result;
  }

  ChildWatcher watcher(ours.Get());
  std::optional<DWORD> cancelledAt;
  bool cancelled = false;
  for (;;) {
    bool heard = false;
    ChannelMessage m;
    const int got = PollChannelMessage(ours.Get(), &m, sizeof m);
    if (got < 0) {
      // Gone without an outcome: ended by a signal or broke off.
      Reap(*pid);
      result.outcome = FilterOutcome::Crashed;
      return result;
    }
    if (got > 0) {
      heard = true;
      ChannelMessage answer;
      switch (m.kind) {
        case ChannelKind::Finished:
          Reap(*pid);
          result.outcome = m.a == 0 ? FilterOutcome::Done : m.a == 1 ? FilterOutcome::Cancelled : FilterOutcome::Failed;
          result.failure = static_cast<FilterFailure>(m.b);
          return result;
        case ChannelKind::Abort:
          answer.a = cancelled ? 1 : 0;
          break;
        case ChannelKind::Progress:
          if (answers.progress) answers.progress(m.a, m.b);
          break;
        case ChannelKind::PickColour:
          answer.a = static_cast<std::int32_t>(
              answers.pickColour ? answers.pickColour(static_cast<std::uint32_t>(m.a),
                                                      std::string(m.text, std::min<std::size_t>(m.textLength, sizeof m.text)))
                                 : 0xFFFFFFFFu);
          break;
        default:
          Reap(*pid);
          result.outcome = FilterOutcome::Crashed;
          return result;
      }
      if (!SendChannelMessage(ours.Get(), &answer, sizeof answer)) {
        Reap(*pid);
        result.outcome = FilterOutcome::Crashed;
        return result;
      }
      continue;  // it may have more to say at once
    }
    watcher.Rearm();
    // A press on Cancel counts for the rest of the run, whenever the child asks.
    if (answers.pump && answers.pump()) cancelled = true;
    if (cancelled && !cancelledAt) cancelledAt = GetTickCount();
    if (cancelledAt && GetTickCount() - *cancelledAt >= kFilterCancelPatienceMs) {
      Reap(*pid);
      result.outcome = FilterOutcome::Unanswered;
      return result;
    }
    MSG wake;
    if (PeekMessage(&wake, nullptr, kChildSpoke, kChildSpoke, PM_REMOVE)) heard = true;
    if (!heard) {
      // Nothing from the child: wait for it or the user. Messages the pump leaves waiting
      // would end the wait at once, so the socket gets a short wait of its own too.
      const BOOL waiting = WaitMessage();
      pollfd fd{ours.Get(), POLLIN, 0};
      if (waiting) poll(&fd, 1, 5);
    }
  }
}
