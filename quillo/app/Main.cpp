// The program's entry. Besides running WinMain it turns the signals by which a session asks a
// program to end (SIGTERM, SIGINT, SIGHUP) into a close request to the main window, so the
// program ends as it would from File > Exit: documents with changes ask first, and nothing is
// left behind. A write past the file-size limit fails as on a full disk rather than ending
// the program. The signals are blocked before any thread starts, so every thread inherits the
// mask and only the watcher thread takes them.

#include <pthread.h>
#include <signal.h>

#include <mutex>
#include <thread>
#include <vector>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/CommandLine.h"
#include "platform/user/User.h"
#include "quillo/shell/StartUp.h"

namespace {

// The watcher's own signal to stop when the program has ended.
constexpr int StopWatching = SIGUSR1;

sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : {SIGTERM, SIGINT, SIGHUP, StopWatching}) sigaddset(&set, signal);
  return set;
}

// Where a close request goes: the main window once start-up is done. During start-up nothing
// the user could lose exists yet, and start-up may be waiting on a message (a file that could
// not be opened) that nobody answers, so a request then ends the program at once.
class CloseRequests {
public:
  void MainWindowReady(HWND window) {
    std::lock_guard lock(mutex_);
    window_ = window;
  }
  void Request() {
    std::lock_guard lock(mutex_);
    // PostMessage may be called from any thread.
    if (window_) PostMessage(window_, WM_CLOSE, 0, 0);
    else AtomicFile::AbandonWritesAndExit(0);
  }

private:
  std::mutex mutex_;
  HWND window_ = nullptr;
};

void WatchSignals(sigset_t set, CloseRequests* requests) {
  for (;;) {
    int signal = 0;
    if (sigwait(&set, &signal) != 0 || signal == StopWatching) return;
    requests->Request();
  }
}

}  // namespace

int main(int argc, char** argv) {
  // A write past the file-size limit (ulimit -f) then fails with EFBIG and is reported as a
  // full disk is, instead of ending the program with every unsaved document.
  signal(SIGXFSZ, SIG_IGN);
  const sigset_t set = WatchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  CloseRequests requests;
  std::thread watcher(WatchSignals, set, &requests);

  SetParams(std::vector<AnsiString>(argv + 1, argv + argc));
  const int result = WinMain([&requests](HWND window) { requests.MainWindowReady(window); });

  pthread_kill(watcher.native_handle(), StopWatching);
  watcher.join();
  return result;
}
