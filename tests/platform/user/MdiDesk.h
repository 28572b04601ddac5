#pragma once
// A shown, active frame window whose MDI client is 600 x 400 pixels, and MDI children that
// are named by their titles. The frame, the client and the children log the messages a test
// follows as "name:MESSAGE", with the details that matter for MDI in brackets.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/user/User.h"
#include "support/UiDriver.h"

using Log = std::vector<std::string>;

class MdiDesk {
public:
  static constexpr int kWidth = 600, kHeight = 400, kFirstId = 100;

  explicit MdiDesk(DWORD clientStyle = 0, const char* frameTitle = "Frame");
  ~MdiDesk();
  MdiDesk(const MdiDesk&) = delete;
  MdiDesk& operator=(const MdiDesk&) = delete;

  // A child made with WM_MDICREATE, titled with its name; at the default place unless given.
  HWND Child(const std::string& name, DWORD style = 0);
  HWND ChildAt(const std::string& name, const RECT& at, DWORD style = 0);

  // The messages the log keeps from now on (the activation messages unless set).
  void Follow(std::set<UINT> messages) {
    followed_ = std::move(messages);
    log_.clear();
  }
  Log Take();

  HWND Active(BOOL* maximized = nullptr) const;
  // The window rectangle in the client's coordinates.
  RECT InClient(HWND child) const;
  // The client's children, topmost first.
  std::vector<HWND> ZOrder() const;
  static std::string Text(HWND window);

  UiDriver ui;
  HWND frame = nullptr;
  HWND client = nullptr;
  MDICREATESTRUCT lastCreate;          // what the last child's WM_CREATE found as its parameter
  const void* lastCreateParam = nullptr;

private:
  void Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  std::string Name(HWND window) const;

  std::map<HWND, std::string> names_;
  std::set<UINT> followed_;
  Log log_;
  WNDPROC clientProc_;
};
