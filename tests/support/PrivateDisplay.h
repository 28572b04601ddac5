#pragma once
// An X server of the test's own (Xvfb), so tests that need a display run the same on a
// developer's desktop and in CI, and never touch the user's clipboard. DISPLAY names it while
// the object lives.

#include <string>
#include <sys/types.h>

class PrivateDisplay {
public:
  PrivateDisplay();
  ~PrivateDisplay();
  PrivateDisplay(const PrivateDisplay&) = delete;
  PrivateDisplay& operator=(const PrivateDisplay&) = delete;

  // Whether the server is up; when not, Problem says why.
  bool Ready() const { return ready_; }
  const std::string& Problem() const { return problem_; }

private:
  pid_t server_ = -1;
  bool ready_ = false;
  std::string problem_;
  bool hadDisplay_ = false;
  std::string previousDisplay_;
};
