#include "quillo/plugins/ForeignCallGuard.h"

#include <signal.h>
#include <setjmp.h>
#include <ucontext.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr int GuardedSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr std::size_t SignalSlots = 65;

// A fault this close to the interrupted stack pointer hit the stack's end.
constexpr std::uintptr_t StackReach = 64 * 1024;
// The alternate stack the handler runs on, so that it runs after a stack overflow too.
constexpr std::size_t AlternateStackBytes = 256 * 1024;

struct sigaction Previous[SignalSlots];
bool Installed = false;

// The innermost guarded call of this thread, and what stopped it.
thread_local sigjmp_buf* ActiveJump = nullptr;
thread_local volatile sig_atomic_t FaultSeen = 0;

ForeignFault FaultOf(int signal, const siginfo_t* info, const void* context) {
  switch (signal) {
    case SIGSEGV: {
      const auto* uc = static_cast<const ucontext_t*>(context);
      const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
      const auto sp = static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RSP]);
      const std::uintptr_t distance = address > sp ? address - sp : sp - address;
      return distance < StackReach ? ForeignFault::StackOverflow : ForeignFault::Access;
    }
    case SIGBUS: return ForeignFault::Bus;
    case SIGFPE: return ForeignFault::Arithmetic;
    case SIGILL: return ForeignFault::IllegalInstruction;
    default: return ForeignFault::Abort;
  }
}

void OnFault(int signal, siginfo_t* info, void* context) {
  if (sigjmp_buf* jump = ActiveJump) {
    FaultSeen = static_cast<sig_atomic_t>(FaultOf(signal, info, context));
    siglongjmp(*jump, 1);
  }
  // Not ours: the handler from before takes it. A fault raised by the processor happens again
  // when this returns; a sent signal (an abort) is sent again.
  sigaction(signal, &Previous[signal], nullptr);
  if (info->si_code <= 0) raise(signal);
}

// The stack of the thread that makes guarded calls (the user-interface thread); static, so
// that it outlives everything that might still fault at the program's end.
alignas(64) char AlternateStack[AlternateStackBytes];

void EnsureAlternateStack() {
  stack_t current{};
  if (sigaltstack(nullptr, &current) == 0 && current.ss_sp == AlternateStack && !(current.ss_flags & SS_DISABLE)) return;
  stack_t stack{};
  stack.ss_sp = AlternateStack;
  stack.ss_size = AlternateStackBytes;
  sigaltstack(&stack, nullptr);
}

void InstallHandlers() {
  EnsureAlternateStack();
  if (Installed) return;
  Installed = true;
  struct sigaction action {};
  action.sa_sigaction = OnFault;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (const int signal : GuardedSignals) sigaction(signal, &action, &Previous[signal]);
}

// Leaves the guard's jump as it found it, on every way out.
class JumpScope {
public:
  explicit JumpScope(sigjmp_buf* outer) : outer_(outer) {}
  ~JumpScope() { ActiveJump = outer_; }
  JumpScope(const JumpScope&) = delete;
  JumpScope& operator=(const JumpScope&) = delete;

private:
  sigjmp_buf* outer_;
};

ForeignFault CallCatchingExceptions(ForeignBody body, void* context) {
  try {
    body(context);
  } catch (...) {
    return ForeignFault::Exception;
  }
  return ForeignFault::None;
}

}  // namespace

ForeignFault RunForeignCode(ForeignBody body, void* context) {
  InstallHandlers();
  sigjmp_buf jump;
  JumpScope scope(ActiveJump);
  if (sigsetjmp(jump, 1) != 0) {
    const auto fault = static_cast<ForeignFault>(FaultSeen);
    FaultSeen = 0;
    return fault;
  }
  ActiveJump = &jump;
  return CallCatchingExceptions(body, context);
}

ForeignGuardSuspended::ForeignGuardSuspended() : suspended_(ActiveJump) { ActiveJump = nullptr; }

ForeignGuardSuspended::~ForeignGuardSuspended() { ActiveJump = suspended_; }

const char* ForeignFaultKey(ForeignFault fault) {
  switch (fault) {
    case ForeignFault::None: return "";
    case ForeignFault::Exception: return "QLCFaultException";
    case ForeignFault::Access: return "QLCFaultAccess";
    case ForeignFault::Bus: return "QLCFaultBus";
    case ForeignFault::Arithmetic: return "QLCFaultArithmetic";
    case ForeignFault::IllegalInstruction: return "QLCFaultIllegal";
    case ForeignFault::Abort: return "QLCFaultAbort";
    case ForeignFault::StackOverflow: return "QLCFaultStack";
  }
  return "";
}
