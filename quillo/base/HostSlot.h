#pragma once
// The place where a higher layer installs its implementation of an interface that a lower
// layer declares. Until one is installed (and after it is taken out), the interface's own
// neutral defaults answer, so the lower layer works on its own.

template <class Interface>
class HostSlot {
public:
  static Interface& Current() { return installed_ != nullptr ? *installed_ : Neutral(); }
  // host: null takes the installed one out. The caller keeps it alive while installed.
  static void Install(Interface* host) { installed_ = host; }

private:
  static Interface& Neutral() {
    static Interface neutral;
    return neutral;
  }
  static inline Interface* installed_ = nullptr;
};
