#pragma once
// Every window and window class there is: the desktop window, the live windows, the
// destroyed ones still held until no message is being sent, and the classes by name and
// atom. Classes belong to the program and outlive a desktop restart; windows do not.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/user/WindowObject.h"

class WindowRegistry {
 public:
  // The desktop window; null before the desktop starts.
  HWND Desktop() const { return desktop_.get(); }
  void SetDesktop(std::unique_ptr<WindowObject> desktop);
  // The window behind a handle while it lives (the desktop included); null otherwise.
  WindowObject* Live(HWND window) const;
  // Whether a handle names a window not yet destroyed, asked from any thread (a worker's post).
  bool LiveFromAnyThread(HWND window) const;
  // Creation order, for the windows' serial numbers.
  unsigned long NextSerial() { return ++nextSerial_; }
  void Add(std::unique_ptr<WindowObject> window);
  // A destroyed window is no longer live, but its object stays until CollectGraveyard, since
  // callers up the stack may still hold it.
  void Bury(HWND window);
  void CollectGraveyard() { graveyard_.clear(); }
  // The live windows the given one owns, in handle order.
  std::vector<HWND> OwnedBy(HWND owner) const;
  // The window owns nothing any more.
  void ForgetOwner(HWND owner);
  bool AnyOfClass(const std::shared_ptr<WindowClass>& cls) const;

  // Takes the class and gives it its atom; 0 when the name is taken (case blind).
  ATOM AddClass(std::shared_ptr<WindowClass> cls);
  // A class by name, or by atom passed as a small integer.
  std::shared_ptr<WindowClass> FindClass(LPCSTR name) const;
  void RemoveClass(const std::string& name);

  // The desktop ends: every window, live or buried, and the desktop window go.
  void End();

 private:
  std::unique_ptr<WindowObject> desktop_;
  std::map<const WindowObject*, std::unique_ptr<WindowObject>> windows_;
  std::vector<std::unique_ptr<WindowObject>> graveyard_;
  std::map<std::string, std::shared_ptr<WindowClass>> classes_;  // by upper-case name
  ATOM nextAtom_ = 0xC000;
  unsigned long nextSerial_ = 0;
  mutable std::mutex handlesMutex_;
  std::unordered_set<HWND> handles_;  // the desktop and the windows not yet buried
};

namespace wm {
WindowRegistry& Windows();
}
