#pragma once
// The hook chains (SetWindowsHookEx): newest hook first. A hook removed while hooks may be
// running is only marked; Collect frees it once no message is being sent.

#include <memory>
#include <vector>

#include "platform/rtl/HandleStorage.h"
#include "platform/user/UserTypes.h"

struct HookObject : HandleStorage {
  int kind = 0;
  HOOKPROC proc;
  bool removed = false;
};

class HookService {
 public:
  HHOOK Install(int kind, HOOKPROC proc);
  // False when the hook is unknown or already removed.
  bool Remove(HHOOK hook);
  bool Has(int kind) const;
  // The newest hook of the kind answers; 0 when there is none.
  LRESULT Call(int kind, int code, WPARAM wParam, LPARAM lParam) const;
  // The next hook of the same kind after the given one; 0 when there is none.
  LRESULT CallNext(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) const;
  // Frees the hooks removed since the last call.
  void Collect();
  void Clear() { hooks_.clear(); }

 private:
  std::vector<std::unique_ptr<HookObject>> hooks_;  // newest first
};

namespace wm {
HookService& Hooks();
}
