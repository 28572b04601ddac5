#pragma once
// The guard around calls into foreign code that runs in the program's process (components and
// their libraries' constructors). A C++ exception, or a fault raised on the calling thread
// while the guarded call is on its stack (a bad memory access, a bus error, an arithmetic
// fault, an illegal instruction, an abort, a stack overflow), returns to the guard, which
// answers with what happened; the program goes on. The foreign code is left where it stopped:
// whoever called it must not call it again. A fault anywhere else (another thread, the program
// itself with no guarded call running) keeps its ordinary effect: the handler that was there
// before (the default, or a checker's) takes it.

#include <setjmp.h>

#include <utility>

enum class ForeignFault { None, Exception, Access, Bus, Arithmetic, IllegalInstruction, Abort, StackOverflow };

using ForeignBody = void (*)(void* context);

// Runs body(context) under the guard.
ForeignFault RunForeignCode(ForeignBody body, void* context);

// Runs a callable under the guard. It must not own anything that needs destroying when it is
// left halfway: a fault skips its destructors.
template <class Call>
ForeignFault RunForeign(Call&& call) {
  auto* context = &call;
  return RunForeignCode([](void* c) { (*static_cast<decltype(context)>(c))(); }, context);
}

// Lifts the guard for as long as it lives: the program's own code that runs from inside a
// guarded call (the messages a component's progress lets run) is not foreign, and a fault in
// it keeps its ordinary effect instead of being blamed on the component. The guard is back
// when it ends; a guarded call made meanwhile has its own.
class ForeignGuardSuspended {
public:
  ForeignGuardSuspended();
  ~ForeignGuardSuspended();
  ForeignGuardSuspended(const ForeignGuardSuspended&) = delete;
  ForeignGuardSuspended& operator=(const ForeignGuardSuspended&) = delete;

private:
  sigjmp_buf* suspended_;
};

// The language key of the fault's name ("QLCFault...").
const char* ForeignFaultKey(ForeignFault fault);
