#include "platform/user/MessageBoxScript.h"

namespace {

MessageBoxScript& Script() {
  static MessageBoxScript script;
  return script;
}

}  // namespace

void SetMessageBoxScript(MessageBoxScript script) { Script() = std::move(script); }

int RunMessageBoxScript(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) {
  if (!Script()) return 0;
  return Script()(owner, text ? text : "", caption ? caption : "", flags);
}
