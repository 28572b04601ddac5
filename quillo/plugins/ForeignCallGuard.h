#pragma once
// The guard around calls into foreign code that runs in the program's process (components and
// their libraries' constructors). A C++ exception, or a fault raised on the calling thread
// while the guarded call is on its stack (a bad memory access, a bus error, an arithmetic
// fault, an illegal instruction, an abort, a stack overflow), returns to the guard, which
// answers with what happened; the program goes on. The foreign code is left where it stopped:
// whoever called it must not call it again. A fault anywhere else (another thread, the program
// itself with no guarded call running) keeps its ordinary effect: the handler that was there
// before (the default, or a checker's) takes it.

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

// The language key of the fault's name ("QLCFault...").
const char* ForeignFaultKey(ForeignFault fault);
