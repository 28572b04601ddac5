#pragma once
// The framework's thread class. A subclass puts its work in Execute, which runs on a thread
// of its own; Synchronize runs a call on the UI thread, through that thread's message queue,
// and waits for it, so that the call may touch windows and components.
//
// A thread is built suspended: Execute cannot run before the subclass's part of the object is
// built, so Start (or Resume) sets it going. Suspend is cooperative: the thread stops at its
// next Synchronize or TThread::Sleep and stays there until it is resumed as often as it was
// suspended. Terminate only asks: Execute reads Terminated and ends.
//
// Ending: when Execute returns (or raises: the exception is kept as FatalException), OnTerminate
// runs on the UI thread; then, with FreeOnTerminate, the thread deletes its object (which must
// then have been made with new and belong to nobody else). Deleting a thread that still runs
// terminates it, resumes it and waits for it; a subclass whose Execute uses its own members
// must do that in its own destructor (Terminate(); WaitFor();), before those members go.
//
// The UI thread runs synchronized calls when its message loop dispatches (any loop: modal
// ones and message boxes too), in WaitFor, and in CheckSynchronize.

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/WinTypes.h"
#include "platform/vcl/Object.h"
#include "platform/vcl/Strings.h"

class EThread : public Exception {
public:
  explicit EThread(AnsiString message);
  ~EThread() override;
};

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

using TThreadMethod = std::function<void()>;

class TThread : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  TThread();
  ~TThread() override;

  // Sets a thread that was never started going; EThread when it has been started before.
  void Start();
  // One step off the suspend count; at 0 the thread runs (starting it the first time).
  void Resume();
  // One step on; the thread stops at its next suspension point.
  void Suspend();
  bool Suspended() const;
  void Terminate();
  bool Terminated() const { return terminated_; }
  bool Finished() const { return finished_; }
  // Waits until the thread has ended and OnTerminate has run; answers ReturnValue. On the UI
  // thread the calls the thread synchronizes meanwhile run too. EThread for a thread that
  // was never started, that frees itself, or that waits for itself.
  int WaitFor();

  // Kept for the program to read; the system's scheduler is not asked to change anything.
  TThreadPriority Priority() const { return priority_; }
  void SetPriority(TThreadPriority priority) { priority_ = priority; }

  // What Execute raised, if anything.
  std::exception_ptr FatalException() const { return fatal_; }

  bool FreeOnTerminate = false;
  TNotifyEvent OnTerminate;  // runs on the UI thread

  // Runs method on the UI thread and waits; an exception it raises is raised here. On the UI
  // thread it simply runs it. The calling thread is a suspension point first.
  void Synchronize(const TThreadMethod& method);

  // Sleeps on the layer's clock (a manual clock in tests: until it has been moved on far
  // enough). On a thread of this class the sleep ends early when the thread is terminated, and
  // then waits while the thread is suspended. Elsewhere it is the plain Sleep.
  static void Sleep(DWORD ms);

protected:
  virtual void Execute() = 0;
  // Runs OnTerminate through Synchronize.
  virtual void DoTerminate();
  int ReturnValue = 0;

private:
  static void Run(TThread* self);
  void Launch();  // with mutex_ held
  void WaitWhileSuspended();
  void WaitUntilFinished();

  mutable std::mutex mutex_;
  std::condition_variable changed_;  // the suspend count or the termination flag changed
  int suspendCount_ = 1;
  bool started_ = false;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::mutex joinMutex_;
  std::thread thread_;
  std::exception_ptr fatal_;
  TThreadPriority priority_ = tpNormal;
};

// Runs the calls that threads wait to have synchronized; answers whether there were any.
// Only the UI thread may call it.
bool CheckSynchronize();

namespace VclText {
inline constexpr const char* ThreadStarted = "Cannot call Start on a running or suspended thread";
inline constexpr const char* ThreadNeverStarted = "Cannot wait for a thread that was never started";
inline constexpr const char* ThreadFreesItself = "Cannot wait for a thread that frees itself";
inline constexpr const char* ThreadWaitsForItself = "A thread cannot wait for itself";
}  // namespace VclText
