#pragma once
// The program's side of a filter run in a child process: starts the helper program with the
// shared pictures and one end of a socket pair, answers its questions from the message loop
// (the user's Cancel, the progress bar, the colour dialog) and never blocks waiting for it.
// The helper runs in a process group of its own, watched as a process: one that ends without
// an outcome (also while a child it forked holds the socket open), breaks the protocol, or
// gives no outcome within 5 seconds (by the platform clock) of the user's Cancel counts as
// failed. When the run ends, whatever is left of the group is killed.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/rtl/AnsiString.h"
#include "quillo/plugins/FilterChannel.h"

enum class FilterOutcome { Done, Cancelled, Failed, Crashed, Unanswered };

struct FilterChildResult {
  FilterOutcome outcome = FilterOutcome::Failed;
  FilterFailure failure = FilterFailure::None;
};

// What the program does for the child while it runs.
struct FilterChildAnswers {
  // Lets waiting window messages run (paint, the Cancel button); true when the user asked to stop.
  std::function<bool()> pump;
  std::function<void(std::int32_t done, std::int32_t total)> progress;
  // The colour dialog: the chosen colour, or 0xFFFFFFFF.
  std::function<std::uint32_t(std::uint32_t start, const std::string& prompt)> pickColour;
};

// How long a child may go on after the user's Cancel, in milliseconds.
constexpr std::uint32_t kFilterCancelPatienceMs = 5000;

// The helper program, in the program's folder.
AnsiString FilterHelperPath();

// Starts the helper on the request and the shared block and waits, answering, until it ends.
FilterChildResult RunFilterChildProcess(const FilterRunRequest& request, int memory, const FilterChildAnswers& answers);
