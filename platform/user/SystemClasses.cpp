#include "platform/user/SystemClasses.h"

#include <vector>

#include "platform/rtl/Everlasting.h"
#include "platform/user/MenuObject.h"
#include "platform/user/Window.h"

namespace {

std::vector<SystemClassRegistration>& Registrations() {
  static Everlasting<std::vector<SystemClassRegistration>> registrations;
  return *registrations;
}

}  // namespace

bool AddSystemClassRegistration(SystemClassRegistration registration) {
  Registrations().push_back(registration);
  return true;
}

void RegisterSystemClasses() {
  RegisterMdiClientClass();
  RegisterPopupMenuClass();
  for (SystemClassRegistration registration : Registrations()) registration();
}

void RegisterControlClass(LPCSTR name, WNDPROC procedure, UINT style, LPCSTR cursor) {
  WNDCLASS cls;
  cls.style = style;
  cls.lpfnWndProc = procedure;
  cls.hCursor = LoadCursor(nullptr, cursor);
  cls.lpszClassName = name;
  RegisterClass(&cls);
}
