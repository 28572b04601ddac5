#include "platform/host/SdlX11Window.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
bool X11InfoOf(SDL_Window* window, SDL_SysWMinfo& info) {
  SDL_VERSION(&info.version);
  return window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}
#endif

}  // namespace

unsigned long X11WindowOf(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  if (X11InfoOf(window, info)) return static_cast<unsigned long>(info.info.x11.window);
#else
  (void)window;
#endif
  return 0;
}

bool X11ServerHasExtension(SDL_Window* window, const char* name) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  int opcode = 0, event = 0, error = 0;
  return X11InfoOf(window, info) && XQueryExtension(info.info.x11.display, name, &opcode, &event, &error);
#else
  (void)window;
  (void)name;
  return false;
#endif
}
