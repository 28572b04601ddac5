#pragma once
// How the SDL host brings the desktop to its window. With a graphics card, SDL's accelerated
// renderer draws it there. Where the only OpenGL is one that draws on the processor (llvmpipe,
// softpipe: a virtual X server, a remote display, a machine without a GPU), bringing that up
// costs some 50 MB of driver, compiler and worker threads for nothing a plain copy to the
// window would not do as well, so SDL's software renderer draws straight to the window's own
// surface instead. The choice is made from what the display and the devices tell, without
// loading the driver; where that cannot tell, the driver is asked once it is up.
// SDL_RENDER_DRIVER, SDL's own setting, overrides the choice.

#include <string>

enum class Presenter {
  Accelerated,  // SDL's default renderer, checked for a GL that draws on the processor
  Software,     // SDL's software renderer on the window's own surface
  UsersChoice,  // the renderer SDL_RENDER_DRIVER names, taken as it comes
};

struct PresenterFacts {
  std::string userDriver;            // the SDL_RENDER_DRIVER setting, empty when not set
  bool softwareGlRequested = false;  // the environment tells Mesa to draw on the processor
  bool gpuOffered = false;           // the display and a device offer direct rendering
};

Presenter ChoosePresenter(const PresenterFacts& facts);

// Whether an OpenGL renderer string (GL_RENDERER) names a driver that draws on the processor.
bool IsSoftwareGlRenderer(const std::string& glRenderer);

// LIBGL_ALWAYS_SOFTWARE set to a true value, or GALLIUM_DRIVER naming a processor driver.
bool SoftwareGlRequested();

// Whether the folder (the system's /dev/dri) holds a render node this process may open for
// reading and writing, as a GPU's OpenGL driver does.
bool RenderNodeAvailable(const std::string& folder = "/dev/dri");
