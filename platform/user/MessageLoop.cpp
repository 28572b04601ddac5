// The message loop of the one UI thread: sending, posting, and taking messages in Windows'
// order, with the paint and timer messages made when nothing else waits; hooks, and waiting.

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iterator>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Everlasting.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/LastError.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Desktop.h"
#include "platform/user/DesktopScreen.h"
#include "platform/user/FocusState.h"
#include "platform/user/HookService.h"
#include "platform/user/InputState.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/ThreadInbox.h"
#include "platform/user/TimerService.h"
#include "platform/user/Window.h"
#include "platform/user/WindowRegistry.h"

HWND NextWindowToPaint(HWND filter);
bool TranslateHostEvent();
bool AcceptInputMessage(InputMessage& input, bool remove);

namespace {

constexpr DWORD kUiThreadId = 1;

// Whether the procedure running now answers a message sent from another thread.
thread_local bool answeringOtherThread = false;

// Sets what InSendMessage answers for the message about to run, and restores it after.
class SenderScope {
 public:
  explicit SenderScope(bool otherThread) : outer_(answeringOtherThread) { answeringOtherThread = otherThread; }
  ~SenderScope() { answeringOtherThread = outer_; }
  SenderScope(const SenderScope&) = delete;
  SenderScope& operator=(const SenderScope&) = delete;

 private:
  bool outer_;
};

std::function<bool()>& IdleHandler() {
  static std::function<bool()> handler;
  return handler;
}

bool InRange(UINT message, UINT first, UINT last) {
  return (first == 0 && last == 0) || (message >= first && message <= last);
}

bool Matches(const MSG& m, HWND filter, UINT first, UINT last) {
  if (filter == reinterpret_cast<HWND>(-1)) {
    if (m.hwnd) return false;
  } else if (filter && m.hwnd != filter && !IsChild(filter, m.hwnd)) {
    return false;
  }
  return InRange(m.message, first, last);
}

void Stamp(MSG& m) {
  m.time = GetTickCount();
  m.pt = wm::Input().CursorPos();
}

BOOL Refuse(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Posted messages wait in the queue or, from other threads, in the inbox.
bool QueueFull() { return wm::Queue().PostedCount() + Inbox().Size() >= MessageQueue::kPostedLimit; }

void CollectGraveyard() {
  if (wm::Queue().Sending()) return;
  wm::Windows().CollectGraveyard();
  wm::Hooks().Collect();
}

// A window filter takes the window's messages and those of its child windows.
void AddWithChildren(HWND window, std::vector<HWND>& out) {
  out.push_back(window);
  if (WindowObject* w = LiveWindow(window))
    for (HWND c : w->children)
      if (c->style & WS_CHILD) AddWithChildren(c, out);
}

bool TakePosted(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
  PostedFilter posted{{}, filter == reinterpret_cast<HWND>(-1), first, last};
  if (filter && !posted.threadOnly) AddWithChildren(filter, posted.windows);
  return wm::Queue().TakePosted(posted, remove, out);
}

// Input leaves the queue through the hooks, then mouse activation and the cursor; any of
// them may eat it. Each may send messages that read the queue again, so the entry is found
// again by its serial afterwards.
bool TakeInput(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
  MessageQueue& queue = wm::Queue();
  if (HWND keys = wm::Focus().Focused() ? wm::Focus().Focused() : wm::Focus().Active()) queue.RetargetKeyboardInput(keys);
  while (true) {
    std::optional<InputMessage> input = queue.FirstInput([&](const MSG& m) { return Matches(m, filter, first, last); });
    if (!input) return false;
    if (remove) queue.DropInput(input->serial);
    if (AcceptInputMessage(*input, remove)) {
      *out = input->msg;
      return true;
    }
    if (!remove) queue.DropInput(input->serial);
  }
}

bool TakeTimer(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
  if (!InRange(WM_TIMER, first, last)) return false;
  auto accepts = [&](HWND window) { return !filter || window == filter || IsChild(filter, window); };
  const TimerEntry* due = wm::Timers().TakeDue(GetTickCount(), accepts, remove);
  if (!due) return false;
  *out = MSG{due->window, WM_TIMER, due->id, due->proc ? 1 : 0, 0, {}};
  Stamp(*out);
  return true;
}

// Messages other threads posted join the queue here, on the UI thread, where the windows
// they name can be checked.
void TakeInPostsFromOtherThreads() {
  for (MSG m : Inbox().TakeAll()) {
    if (m.hwnd == HWND_BROADCAST) {
      for (HWND top : LiveWindow(GetDesktopWindow())->children) PostMessage(top, m.message, m.wParam, m.lParam);
      continue;
    }
    if (m.hwnd && !LiveWindow(m.hwnd)) continue;
    Stamp(m);
    wm::Queue().Post(m);
  }
}

// Finds the next message in Windows' order: posted, input, quit, paint, timers. Messages
// other threads sent run first, as Windows runs them whenever the thread asks for a message.
bool Fetch(MSG* msg, HWND filter, UINT first, UINT last, bool remove) {
  EnsureDesktop();
  AnswerSentMessages();
  CollectGraveyard();
  TakeInPostsFromOtherThreads();
  while (true) {  // host events may post as well as queue input
    if (TakePosted(msg, filter, first, last, remove)) return true;
    if (TakeInput(msg, filter, first, last, remove)) return true;
    if (!TranslateHostEvent()) break;
  }
  if (std::optional<int> code = wm::Queue().TakeQuit(remove)) {
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(*code), 0, 0, {}};
    Stamp(*msg);
    return true;
  }
  if (InRange(WM_PAINT, first, last))
    if (HWND dirty = NextWindowToPaint(filter == reinterpret_cast<HWND>(-1) ? nullptr : filter)) {
      *msg = MSG{dirty, WM_PAINT, 0, 0, 0, {}};
      Stamp(*msg);
      return true;
    }
  return TakeTimer(msg, filter, first, last, remove);
}

void Retrieved(MSG* msg, bool remove) {
  wm::Queue().NoteRetrieved(*msg);
  wm::Hooks().Call(WH_GETMESSAGE, HC_ACTION, remove ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(msg));
}

// How long a headless loop with nothing to do waits for another thread to post before it
// gives up.
constexpr int kPatienceForOtherThreadsMs = 2000;

// Whether the process has a thread besides this one, which might post.
bool OtherThreadsRun() {
  std::error_code error;
  std::filesystem::directory_iterator tasks("/proc/self/task", error);
  if (error) return true;
  return std::distance(tasks, std::filesystem::directory_iterator()) > 1;
}

// Waits for something to happen; false when nothing ever can.
bool WaitForWork() {
  PresentDesktop();
  if (!Inbox().Empty()) return true;
  if (IdleHandler() && IdleHandler()()) return true;
  int delay = wm::Timers().NextDelay(GetTickCount());
  Host& host = *wm::Screen().Display();
  bool headless = std::string(host.Name()) == "headless";
  // The manual clock never brings a timer due by itself; another thread may still post.
  // A thread that posted and ended between the look above and this one has left its post.
  if (IsManualClock()) return Inbox().WaitForPost(OtherThreadsRun() ? kPatienceForOtherThreadsMs : 0);
  if (headless) {
    if (delay >= 0) {
      Inbox().WaitForPost(delay);
      return true;
    }
    return Inbox().WaitForPost(kPatienceForOtherThreadsMs);
  }
  host.WaitEvent(delay < 0 ? 100 : std::min(delay, 100));
  return true;
}

}  // namespace

namespace {

LRESULT Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == HWND_BROADCAST) {
    std::vector<HWND> tops = LiveWindow(GetDesktopWindow())->children;
    for (HWND top : tops) SendMessage(top, message, wParam, lParam);
    return 0;
  }
  WindowObject* w = LiveWindow(window);
  if (!w) return 0;
  MessageQueue::SendScope sending(wm::Queue());
  if (wm::Hooks().Has(WH_CALLWNDPROC)) {
    CWPSTRUCT cwp{lParam, wParam, message, window};
    wm::Hooks().Call(WH_CALLWNDPROC, HC_ACTION, 0, reinterpret_cast<LPARAM>(&cwp));
  }
  LRESULT result = 0;
  if (LiveWindow(window)) {
    WNDPROC proc = w->proc;  // a copy: the procedure may replace itself while it runs
    result = proc ? proc(window, message, wParam, lParam) : 0;
  }
  return result;
}

}  // namespace

// From another thread the window's own thread runs the procedure while the sender waits.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!Inbox().OnUiThread()) {
    if (!Inbox().UiThreadNamed()) return 0;  // no window yet, and no thread to run one
    if (window != HWND_BROADCAST && !wm::Windows().LiveFromAnyThread(window)) return 0;
    SentMessage sent{MSG{window, message, wParam, lParam, 0, {}}};
    Inbox().SendAndWait(sent);
    return sent.result;
  }
  SenderScope sameThread(false);
  return Deliver(window, message, wParam, lParam);
}

bool AnswerSentMessages() {
  bool answered = false;
  while (SentMessage* sent = Inbox().TakeSent()) {
    answered = true;
    LRESULT result = 0;
    try {
      SenderScope otherThread(true);
      result = Deliver(sent->msg.hwnd, sent->msg.message, sent->msg.wParam, sent->msg.lParam);
    } catch (...) {
      Inbox().Answer(*sent, 0);  // the sender goes on; the error stays with the UI thread
      throw;
    }
    Inbox().Answer(*sent, result);
  }
  return answered;
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!Inbox().OnUiThread()) {
    // The UI thread checks the window again when it takes the post in: it may go meanwhile.
    if (window && window != HWND_BROADCAST && !wm::Windows().LiveFromAnyThread(window))
      return Refuse(ERROR_INVALID_WINDOW_HANDLE);
    if (QueueFull()) return Refuse(ERROR_NOT_ENOUGH_QUOTA);
    Inbox().Post(MSG{window, message, wParam, lParam, 0, {}});
    return TRUE;
  }
  EnsureDesktop();
  if (window == HWND_BROADCAST) {
    for (HWND top : LiveWindow(GetDesktopWindow())->children) PostMessage(top, message, wParam, lParam);
    return TRUE;
  }
  if (window && !LiveWindow(window)) return Refuse(ERROR_INVALID_WINDOW_HANDLE);
  if (QueueFull()) return Refuse(ERROR_NOT_ENOUGH_QUOTA);
  MSG m{window, message, wParam, lParam, 0, {}};
  Stamp(m);
  wm::Queue().Post(m);
  return TRUE;
}

// Only the UI thread has a message queue.
BOOL PostThreadMessage(DWORD thread, UINT message, WPARAM wParam, LPARAM lParam) {
  if (thread != kUiThreadId) return FALSE;
  return PostMessage(nullptr, message, wParam, lParam);
}

BOOL GetMessage(MSG* msg, HWND window, UINT first, UINT last) {
  if (!msg) return FALSE;
  while (!Fetch(msg, window, first, last, true))
    if (!WaitForWork())
      throw Exception("The message loop waits for input that cannot come");
  Retrieved(msg, true);
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessage(MSG* msg, HWND window, UINT first, UINT last, UINT remove) {
  if (!msg) return FALSE;
  if (!Fetch(msg, window, first, last, (remove & PM_REMOVE) != 0)) {
    PresentDesktop();
    return FALSE;
  }
  Retrieved(msg, (remove & PM_REMOVE) != 0);
  return TRUE;
}

BOOL WaitMessage() {
  MSG m;
  while (!Fetch(&m, nullptr, 0, 0, false))
    if (!WaitForWork()) return FALSE;
  return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    const TimerEntry* t = wm::Timers().Find(msg->hwnd, msg->wParam);
    if (t && t->proc) {
      TIMERPROC proc = t->proc;  // a copy: the timer may be killed while it runs
      proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    }
    return 0;
  }
  WindowObject* w = LiveWindow(msg->hwnd);
  if (!w || msg->hwnd == wm::Windows().Desktop()) return 0;
  MessageQueue::SendScope sending(wm::Queue());
  WNDPROC proc = w->proc;
  return proc ? proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

void PostQuitMessage(int exitCode) {
  wm::Queue().PostQuit(exitCode);
}

DWORD GetMessageTime() { return wm::Queue().LastMessageTime(); }
DWORD GetMessagePos() {
  POINT p = wm::Queue().LastMessagePos();
  return static_cast<DWORD>(MAKELONG(p.x, p.y));
}
BOOL InSendMessage() { return answeringOtherThread ? TRUE : FALSE; }

LRESULT CallWindowProc(const WNDPROC& proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(window, message, wParam, lParam) : 0;
}

BOOL CallMsgFilter(MSG* msg, int code) {
  return wm::Hooks().Call(WH_MSGFILTER, code, 0, reinterpret_cast<LPARAM>(msg)) ? TRUE : FALSE;
}

UINT RegisterWindowMessage(LPCSTR name) {
  static Everlasting<std::map<std::string, UINT>> registered;
  static UINT next = 0xC100;
  if (!name || !*name) return 0;
  const std::string key = UpperCase(name);
  auto it = registered->find(key);
  if (it != registered->end()) return it->second;
  return (*registered)[key] = next++;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  EnsureDesktop();
  if (window && !LiveWindow(window)) return 0;
  return wm::Timers().Set(window, id, elapse, std::move(proc), GetTickCount());
}

BOOL KillTimer(HWND window, UINT_PTR id) { return wm::Timers().Kill(window, id) ? TRUE : FALSE; }

HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, HINSTANCE, DWORD) {
  if (!proc) return nullptr;
  return wm::Hooks().Install(kind, std::move(proc));
}

BOOL UnhookWindowsHookEx(HHOOK hook) { return wm::Hooks().Remove(hook) ? TRUE : FALSE; }

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  return wm::Hooks().CallNext(hook, code, wParam, lParam);
}

DWORD GetCurrentThreadId() {
  static std::atomic<DWORD> next{kUiThreadId + 1};
  thread_local DWORD other = 0;
  if (Inbox().OnUiThread()) return kUiThreadId;
  if (!other) other = next++;
  return other;
}

void SetIdleHandler(std::function<bool()> handler) { IdleHandler() = std::move(handler); }
