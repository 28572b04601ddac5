#pragma once
// The X window under an SDL window; 0 when SDL does not show it on X. Apart, since SDL's
// window-system header brings in Xlib's macros, which clash with the host's own names.

struct SDL_Window;

unsigned long X11WindowOf(SDL_Window* window);
