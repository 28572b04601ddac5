#pragma once
// The X window under an SDL window, and what its X server offers. Apart, since SDL's
// window-system header brings in Xlib's macros, which clash with the host's own names.

struct SDL_Window;

// The X window; 0 when SDL does not show the window on X.
unsigned long X11WindowOf(SDL_Window* window);

// Whether the X server showing the window has the extension of that name; false when SDL
// does not show the window on X.
bool X11ServerHasExtension(SDL_Window* window, const char* name);
