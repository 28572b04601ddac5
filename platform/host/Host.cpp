#include "platform/host/Host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

Host::~Host() = default;

bool Host::SetClipboardContent(const std::string* text, std::vector<ClipboardFile> files) {
  ClipboardPicture picture;
  for (const ClipboardFile& file : files) picture.types.push_back(file.type);
  picture.render = [files = std::move(files)](const std::string& type) {
    for (const ClipboardFile& file : files)
      if (file.type == type) return file.bytes;
    return std::vector<std::uint8_t>();
  };
  return OfferClipboardContent(text, std::move(picture));
}

bool Host::PollEvent(InputEvent& out) {
  if (peeked_) {
    out = std::move(*peeked_);
    peeked_.reset();
    return true;
  }
  if (!injected_.empty()) {
    out = injected_.front();
    injected_.pop_front();
    return true;
  }
  return PollOwnEvent(out);
}

bool Host::PeekEvent(InputEvent& out) {
  if (!peeked_) {
    InputEvent next;
    if (!PollEvent(next)) return false;
    peeked_ = std::move(next);
  }
  out = *peeked_;
  return true;
}

DesktopConfig ParseDesktopConfig(const char* text) {
  DesktopConfig config;
  if (!text || !*text) return config;
  int w = 0, h = 0, bpp = 32;
  char tail = 0;
  int n = std::sscanf(text, "%dx%dx%d%c", &w, &h, &bpp, &tail);
  if (n < 2 || n == 4) {
    n = std::sscanf(text, "%dx%d%c", &w, &h, &tail);
    if (n != 2) return config;
    bpp = 32;
  }
  if (w < 64 || h < 64 || w > 16384 || h > 16384) return config;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 15 && bpp != 16 && bpp != 24 && bpp != 32)
    return config;
  config.width = w;
  config.height = h;
  config.bitsPerPixel = bpp;
  config.sizeGiven = true;
  return config;
}

std::unique_ptr<Host> CreateHost(const std::string& forced) {
  std::string choice = forced;
  if (choice.empty()) {
    const char* env = std::getenv("QUILLO_HOST");
    if (env && *env) choice = env;
  }
  if (choice.empty()) {
    const char* x = std::getenv("DISPLAY");
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    choice = (x && *x) || (wl && *wl) ? "sdl" : "headless";
  }
  if (choice == "sdl") return CreateSdlHost();
  return CreateHeadlessHost();
}
