#include "platform/vcl/Thread.h"

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/user/ThreadInbox.h"
#include "platform/user/User.h"

EThread::EThread(AnsiString message) : Exception(std::move(message)) {}
EThread::~EThread() = default;

QUILLO_DEFINE_CLASS(TThread, TObject)

namespace {

thread_local TThread* currentThread = nullptr;

// How long a wait goes before it looks again, in case a wake-up went to a window that has gone.
constexpr auto kPatience = std::chrono::milliseconds(50);

struct SyncRequest {
  const TThreadMethod* method = nullptr;
  bool done = false;
  std::exception_ptr error;
};

// The calls waiting for the UI thread, and the hidden window whose queue wakes it for them.
// One mutex and one condition serve the waiting threads (for their calls to be done) and a
// UI thread in WaitFor (for a call to come or a thread to end).
class SyncQueue {
public:
  std::mutex mutex;
  std::condition_variable changed;

  void PostAndWait(SyncRequest& request) {
    std::unique_lock<std::mutex> lock(mutex);
    pending_.push_back(&request);
    changed.notify_all();
    if (HWND window = window_.load()) PostMessage(window, WM_NULL, 0, 0);
    while (!request.done) changed.wait(lock);
  }

  bool HasPending() const { return !pending_.empty(); }  // with mutex held

  bool RunPending() {
    bool ran = false;
    for (;;) {
      SyncRequest* request = nullptr;
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (pending_.empty()) return ran;
        request = pending_.front();
        pending_.pop_front();
      }
      ran = true;
      std::exception_ptr error;
      try {
        (*request->method)();
      } catch (...) {
        error = std::current_exception();
      }
      std::lock_guard<std::mutex> lock(mutex);
      request->error = error;
      request->done = true;
      changed.notify_all();
    }
  }

  // On the UI thread: makes the window that wakes it, again after the desktop was restarted.
  void EnsureWindow() {
    HWND window = window_.load();
    char name[64] = {};
    if (window != nullptr && IsWindow(window) && GetClassName(window, name, sizeof name) > 0 &&
        std::string(name) == kClassName)
      return;
    WNDCLASS cls{};
    cls.lpfnWndProc = [](HWND w, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
      if (message == WM_NULL) {
        CheckSynchronize();
        return 0;
      }
      return DefWindowProc(w, message, wParam, lParam);
    };
    cls.lpszClassName = kClassName;
    RegisterClass(&cls);  // fails harmlessly when the class is there already
    window = CreateWindowEx(0, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    window_.store(window);
    std::lock_guard<std::mutex> lock(mutex);
    if (window != nullptr && !pending_.empty()) PostMessage(window, WM_NULL, 0, 0);
  }

private:
  static constexpr const char* kClassName = "TThreadSyncWindow";
  std::deque<SyncRequest*> pending_;
  std::atomic<HWND> window_{nullptr};
};

SyncQueue& Queue() {
  static SyncQueue queue;
  return queue;
}

// Before any thread made the desktop, a thread that is none of ours will be the UI thread:
// launching a thread makes the desktop there.
bool OnUiThread() { return Inbox().OnUiThread() || (!Inbox().UiThreadNamed() && currentThread == nullptr); }

}  // namespace

bool CheckSynchronize() { return Queue().RunPending(); }

TThread::TThread() = default;

TThread::~TThread() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_) return;
  }
  if (std::this_thread::get_id() == thread_.get_id()) {
    thread_.detach();  // the thread frees itself at its end
    return;
  }
  if (!finished_) {
    Terminate();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      suspendCount_ = 0;
    }
    changed_.notify_all();
    WaitUntilFinished();
  }
  std::lock_guard<std::mutex> lock(joinMutex_);
  if (thread_.joinable()) thread_.join();
}

void TThread::Launch() {
  if (OnUiThread()) Queue().EnsureWindow();
  started_ = true;
  thread_ = std::thread(&TThread::Run, this);
}

void TThread::Start() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (started_) throw EThread(VclText::ThreadStarted);
  suspendCount_ = 0;
  Launch();
}

void TThread::Resume() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (suspendCount_ > 0) --suspendCount_;
  if (suspendCount_ > 0) return;
  if (!started_)
    Launch();
  else
    changed_.notify_all();
}

void TThread::Suspend() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++suspendCount_;
  }
  if (currentThread == this) WaitWhileSuspended();
}

bool TThread::Suspended() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return suspendCount_ > 0;
}

void TThread::Terminate() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    terminated_ = true;
  }
  changed_.notify_all();
}

void TThread::WaitWhileSuspended() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return suspendCount_ == 0; });
}

void TThread::WaitUntilFinished() {
  SyncQueue& queue = Queue();
  const bool ui = OnUiThread();
  for (;;) {
    if (ui) {
      queue.RunPending();
      AnswerSentMessages();  // the thread may be sending to a window meanwhile
    }
    std::unique_lock<std::mutex> lock(queue.mutex);
    if (finished_) return;
    queue.changed.wait_for(lock, kPatience, [&] { return finished_ || (ui && queue.HasPending()); });
    if (finished_) return;
  }
}

int TThread::WaitFor() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_) throw EThread(VclText::ThreadNeverStarted);
  }
  if (FreeOnTerminate) throw EThread(VclText::ThreadFreesItself);
  if (currentThread == this) throw EThread(VclText::ThreadWaitsForItself);
  WaitUntilFinished();
  std::lock_guard<std::mutex> lock(joinMutex_);
  if (thread_.joinable()) thread_.join();
  return ReturnValue;
}

void TThread::Synchronize(const TThreadMethod& method) {
  if (OnUiThread()) {
    method();
    return;
  }
  if (currentThread == this) WaitWhileSuspended();
  SyncRequest request;
  request.method = &method;
  Queue().PostAndWait(request);
  if (request.error) std::rethrow_exception(request.error);
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

void TThread::Sleep(DWORD ms) {
  TThread* self = currentThread;
  if (self == nullptr) {
    ::Sleep(ms);
    return;
  }
  const DWORD start = GetTickCount();
  {
    std::unique_lock<std::mutex> lock(self->mutex_);
    for (;;) {
      const DWORD elapsed = GetTickCount() - start;
      if (self->terminated_ || elapsed >= ms) break;
      // A manual clock is moved by another thread without a word: look at it now and then.
      const DWORD wait = IsManualClock() ? 1 : ms - elapsed;
      self->changed_.wait_for(lock, std::chrono::milliseconds(wait));
    }
  }
  self->WaitWhileSuspended();
}

void TThread::Run(TThread* self) {
  {
    std::lock_guard<std::mutex> lock(self->mutex_);  // Start has finished with the object
  }
  currentThread = self;
  try {
    self->Execute();
  } catch (...) {
    self->fatal_ = std::current_exception();
  }
  const bool freeIt = self->FreeOnTerminate;
  try {
    self->DoTerminate();
  } catch (...) {
    if (!self->fatal_) self->fatal_ = std::current_exception();
  }
  currentThread = nullptr;
  std::unique_ptr<TThread> owned(freeIt ? self : nullptr);
  SyncQueue& queue = Queue();
  std::lock_guard<std::mutex> lock(queue.mutex);
  self->finished_ = true;  // the last touch of a thread someone else frees
  queue.changed.notify_all();
}
