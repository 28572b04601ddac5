#include "platform/host/SdlX11Window.h"

#include <SDL.h>
#include <SDL_syswm.h>

unsigned long X11WindowOf(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
    return static_cast<unsigned long>(info.info.x11.window);
#else
  (void)window;
#endif
  return 0;
}
