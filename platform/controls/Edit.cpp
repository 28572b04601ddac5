// The EDIT class: its registration and the window procedure that gives each window its
// EditControl.

#include "platform/controls/Edit.h"

#include <memory>
#include <unordered_map>

#include "platform/controls/EditControl.h"
#include "platform/rtl/Everlasting.h"
#include "platform/user/SystemClasses.h"

namespace {

// The state of every live edit window, made at WM_NCCREATE and let go at WM_NCDESTROY. A
// message being handled holds its state too: a parent that destroys the edit from inside a
// notification leaves the handler a whole object to return through.
std::unordered_map<HWND, std::shared_ptr<EditControl>>& Edits() {
  static Everlasting<std::unordered_map<HWND, std::shared_ptr<EditControl>>> edits;
  return *edits;
}

LRESULT EditWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& edits = Edits();
  auto it = edits.find(window);
  if (it == edits.end()) {
    if (message != WM_NCCREATE) return DefWindowProc(window, message, wParam, lParam);
    it = edits.emplace(window, std::make_shared<EditControl>(window)).first;
  }
  if (message == WM_NCDESTROY) {
    edits.erase(it);
    return DefWindowProc(window, message, wParam, lParam);
  }
  const std::shared_ptr<EditControl> edit = it->second;
  return edit->Handle(message, wParam, lParam);
}

}  // namespace

void RegisterEditClass() {
  RegisterControlClass(kEditClassName, &EditWindowProc, CS_DBLCLKS | CS_GLOBALCLASS, IDC_IBEAM);
}

namespace {
const bool kRegistered = AddSystemClassRegistration(&RegisterEditClass);
}
