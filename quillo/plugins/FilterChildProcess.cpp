#include "quillo/plugins/FilterChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/syscall.h>
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
  // helper: a descriptor that becomes readable when the helper ends (-1: none, then the loop
  // is woken every tenth of a second to look).
  ChildWatcher(int socket, int helper)
      : socket_(socket), helper_(helper), rearm_(eventfd(0, EFD_CLOEXEC)), stop_(eventfd(0, EFD_CLOEXEC)) {
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
  // Waits until the socket can be read or the helper has ended; false when stopped meanwhile.
  bool WaitForChild() {
    pollfd fds[3] = {{socket_, POLLIN, 0}, {stop_.Get(), POLLIN, 0}, {helper_, POLLIN, 0}};
    for (;;) {
      const int ready = poll(fds, helper_ >= 0 ? 3 : 2, helper_ >= 0 ? -1 : 100);
      if (ready < 0) continue;
      if (fds[1].revents != 0) return false;
      if (ready == 0 || fds[0].revents != 0 || fds[2].revents != 0) return true;
    }
  }
  void Watch() {
    for (;;) {
      if (!WaitForChild()) return;
      PostMessage(nullptr, kChildSpoke, 0, 0);
      if (!WaitFor(rearm_.Get())) return;
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t got = read(rearm_.Get(), &count, sizeof count);
    }
  }

  int socket_;
  int helper_;
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
  // A process group of its own: what the plug-in sends to "its group" stays there, and the
  // whole group (children the plug-in made included) ends with the run.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return std::nullopt;
  return pid;
}

// The helper process of one run: watched through a descriptor of its own (so that a child it
// forked, holding the socket open, cannot hide its end), and ended with its whole group.
class HelperProcess {
public:
  explicit HelperProcess(pid_t pid) : pid_(pid), watch_(static_cast<int>(syscall(SYS_pidfd_open, pid, 0))) {}
  ~HelperProcess() { End(); }
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;

  int Watch() const { return watch_.Get(); }
  // The helper has ended (it is not reaped yet, so its number still names its group).
  bool Ended() const {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid_;
  }
  // Kills whatever of the group is left, the helper first when it has not ended, and reaps it.
  void End() {
    if (reaped_) return;
    reaped_ = true;
    kill(-pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }

private:
  pid_t pid_;
  Descriptor watch_;
  bool reaped_ = false;
};

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
  HelperProcess helper(*pid);
  if (!SendChannelMessage(ours.Get(), &request, sizeof request)) {
    result.outcome = FilterOutcome::Crashed;
    return result;
  }

  ChildWatcher watcher(ours.Get(), helper.Watch());
  std::optional<DWORD> cancelledAt;
  bool cancelled = false;
  for (;;) {
    bool heard = false;
    ChannelMessage m;
    // Ended: what it said before is read first; nothing more will come.
    const bool ended = helper.Ended();
    int got = PollChannelMessage(ours.Get(), &m, sizeof m);
    if (got == 0 && ended) got = -1;
    if (got < 0) {
      // Gone without an outcome: ended by a signal or broke off.
      result.outcome = FilterOutcome::Crashed;
      return result;
    }
    if (got > 0) {
      heard = true;
      ChannelMessage answer;
      switch (m.kind) {
        case ChannelKind::Finished:
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
          result.outcome = FilterOutcome::Crashed;
          return result;
      }
      if (!SendChannelMessage(ours.Get(), &answer, sizeof answer)) {
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
