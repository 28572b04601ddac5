// The host on a real display: one SDL2 window the size of the desktop.

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>

#include "platform/host/Host.h"
#include "platform/host/PresenterChoice.h"
#include "platform/host/X11Clipboard.h"
#include "platform/host/SdlX11Window.h"
#include "platform/host/X11Desktop.h"

namespace {

int VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
  switch (key) {
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_LGUI: return VK_LWIN;
    case SDLK_RGUI: return VK_RWIN;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_COMMA: return 0xBC;
    case SDLK_MINUS: return 0xBD;
    case SDLK_PERIOD: return 0xBE;
    case SDLK_SLASH: return 0xBF;
    case SDLK_SEMICOLON: return 0xBA;
    case SDLK_EQUALS: return 0xBB;
    case SDLK_LEFTBRACKET: return 0xDB;
    case SDLK_BACKSLASH: return 0xDC;
    case SDLK_RIGHTBRACKET: return 0xDD;
    case SDLK_QUOTE: return 0xDE;
    case SDLK_BACKQUOTE: return 0xC0;
  }
  return 0;
}

int Button(Uint8 b) {
  if (b == SDL_BUTTON_RIGHT) return InputEvent::Right;
  if (b == SDL_BUTTON_MIDDLE) return InputEvent::Middle;
  return InputEvent::Left;
}

// Whether the text is the character the key itself stands for (either case of a letter).
bool IsKeysOwnCharacter(SDL_Keycode key, const std::string& text) {
  if (text.size() != 1 || key <= 0 || key >= 0x80) return false;
  return std::tolower(static_cast<unsigned char>(text[0])) == std::tolower(static_cast<int>(key));
}

class SdlHost : public Host {
public:
  ~SdlHost() override {
    for (SDL_Cursor* c : cursors_)
      if (c) SDL_FreeCursor(c);
    for (auto& [key, c] : custom_)
      if (c) SDL_FreeCursor(c);
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    x11_.reset();
    desktop_.reset();
    if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // With no other part of SDL in use, what SDL keeps for the process (its D-Bus
    // connection) goes too; a later host starts it again.
    if (started_ && SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  }
  const char* Name() const override { return "sdl"; }

  bool FittingSize(int& width, int& height) override {
    if (!Start()) return false;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w < 64 || usable.h < 64) return false;
    scale_ = ScreenScale();
    // Room for the window manager's frame around the window.
    width = std::max(640, usable.w * 9 / 10) / scale_;
    height = std::max(480, usable.h * 9 / 10) / scale_;
    return true;
  }

  bool Open(int width, int height) override {
    if (!Start()) return false;
    if (!MakeWindowAndRenderer(width, height)) return false;
    // Each desktop pixel is scale x scale pixels of the window, unsmoothed; SDL maps the
    // mouse back to desktop pixels.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    SDL_RenderSetIntegerScale(renderer_, SDL_TRUE);
    if (!MakeTexture(width, height)) return false;
    SDL_ShowWindow(window_);
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    SDL_StartTextInput();
    cursors_.assign(static_cast<size_t>(CursorShape::Hidden) + 1, nullptr);
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::string(driver) == "x11") {
      x11_ = X11Clipboard::Open();
      desktop_ = X11Desktop::Open();
    }
    return true;
  }

  // On X the screen is the user's. The program's window leaves it first, as a program
  // minimises itself to take a picture of the others, and comes back afterwards.
  bool CaptureScreen(ScreenArea area, ScreenImage& out) override {
    if (!desktop_) return false;
    const unsigned long own = X11WindowOf(window_);
    const bool shown = (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0;
    if (shown) {
      SDL_HideWindow(window_);
      // The programs it uncovered draw themselves again meanwhile; nothing tells when they
      // are done.
      SDL_Delay(kUncoverMs);
    }
    const bool taken = desktop_->Capture(area, own, out);
    if (shown) {
      SDL_ShowWindow(window_);
      Show();
    }
    return taken;
  }

  HotKeyGrab GrabHotKey(unsigned modifiers, int vk) override {
    return desktop_ ? desktop_->GrabHotKey(modifiers, vk) : HotKeyGrab::Unsupported;
  }

  void ReleaseHotKey(unsigned modifiers, int vk) override {
    if (desktop_) desktop_->ReleaseHotKey(modifiers, vk);
  }

  // On an X display the clipboard is spoken to directly, so pictures travel too; elsewhere
  // SDL bridges the text.
  bool GetClipboardText(std::string& out) override {
    if (x11_) return x11_->GetText(out);
    if (!SDL_HasClipboardText()) return false;
    char* text = SDL_GetClipboardText();
    if (!text) return false;
    out = text;
    SDL_free(text);
    return true;
  }

  bool SetClipboardText(const std::string& text) override {
    if (x11_) return x11_->SetContent(&text, {});
    return SDL_SetClipboardText(text.c_str()) == 0;
  }

  bool OfferClipboardContent(const std::string* text, ClipboardPicture picture) override {
    if (x11_) return x11_->SetContent(text, std::move(picture));
    return text ? SetClipboardText(*text) : false;
  }

  std::uint64_t ClipboardSerial() override { return x11_ ? x11_->Serial() : 0; }

  bool GetClipboardFile(const std::vector<std::string>& types, ClipboardFile& out) override {
    return x11_ && x11_->GetFile(types, out);
  }

  void Present(const Surface& desktop, const SurfaceRect& dirty) override {
    if ((desktop.width != textureWidth_ || desktop.height != textureHeight_) && !MakeTexture(desktop.width, desktop.height))
      return;
    const SurfaceRect r{std::max(0, dirty.left), std::max(0, dirty.top),
                        std::min(desktop.width, dirty.right), std::min(desktop.height, dirty.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) return;
    SDL_Rect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
    SDL_UpdateTexture(texture_, &area, desktop.Row(r.top) + r.left,
                      static_cast<int>(desktop.stride * sizeof(std::uint32_t)));
    Show();
  }

  void SetCursorShape(CursorShape shape) override {
    if (shape == CursorShape::Hidden) {
      SDL_ShowCursor(SDL_DISABLE);
      return;
    }
    SDL_ShowCursor(SDL_ENABLE);
    size_t i = static_cast<size_t>(shape);
    if (!cursors_[i]) cursors_[i] = SDL_CreateSystemCursor(SystemCursor(shape));
    if (cursors_[i]) SDL_SetCursor(cursors_[i]);
  }

  void SetCursorImage(const void* key, int width, int height, const std::uint32_t* argb, int hotspotX,
                      int hotspotY) override {
    SDL_ShowCursor(SDL_ENABLE);
    auto it = custom_.find(key);
    if (it == custom_.end()) {
      SDL_Surface* image = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(argb), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_ARGB8888);
      SDL_Cursor* cursor = image ? SDL_CreateColorCursor(image, hotspotX, hotspotY) : nullptr;
      if (image) SDL_FreeSurface(image);
      it = custom_.emplace(key, cursor).first;
    }
    if (it->second) SDL_SetCursor(it->second);
  }

  void Beep() override {}

  // While other programs may ask for the clipboard, or hot keys may come, the wait is cut
  // into short slices that answer them in between.
  void WaitEvent(int timeoutMs) override {
    timeoutMs = std::max(1, timeoutMs);
    const bool clipboard = x11_ && x11_->Busy(), hotKeys = desktop_ && desktop_->Busy();
    if (!clipboard && !hotKeys) {
      SDL_WaitEventTimeout(nullptr, timeoutMs);
      return;
    }
    // Hot keys come over the X connection of their own, which SDL does not wait on.
    for (int waited = 0; waited < timeoutMs; waited += kServeSliceMs) {
      if (clipboard) x11_->Serve();
      if (hotKeys && desktop_->Pending()) return;
      if (SDL_WaitEventTimeout(nullptr, std::min(kServeSliceMs, timeoutMs - waited))) return;
    }
  }

  // SDL's event queue takes events from any thread; the event itself is ignored.
  void Wake() override {
    SDL_Event e{};
    e.type = SDL_USEREVENT;
    SDL_PushEvent(&e);
  }

protected:
  bool PollOwnEvent(InputEvent& out) override {
    if (x11_) x11_->Serve();
    if (desktop_ && desktop_->Poll(out)) return true;
    if (TakeRelease(out)) return true;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      if (Translate(e, out)) {
        // SDL stamps each event on its own millisecond clock when it arrives.
        out.ageMs = SDL_GetTicks() - e.common.timestamp;
        return true;
      }
      if (TakeRelease(out)) return true;
    }
    return false;
  }

private:
  static SDL_SystemCursor SystemCursor(CursorShape shape) {
    switch (shape) {
      case CursorShape::IBeam: return SDL_SYSTEM_CURSOR_IBEAM;
      case CursorShape::Wait: return SDL_SYSTEM_CURSOR_WAIT;
      case CursorShape::Cross: return SDL_SYSTEM_CURSOR_CROSSHAIR;
      case CursorShape::SizeNWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
      case CursorShape::SizeNESW: return SDL_SYSTEM_CURSOR_SIZENESW;
      case CursorShape::SizeWE: return SDL_SYSTEM_CURSOR_SIZEWE;
      case CursorShape::SizeNS: return SDL_SYSTEM_CURSOR_SIZENS;
      case CursorShape::SizeAll: return SDL_SYSTEM_CURSOR_SIZEALL;
      case CursorShape::No: return SDL_SYSTEM_CURSOR_NO;
      case CursorShape::Hand: return SDL_SYSTEM_CURSOR_HAND;
      case CursorShape::AppStarting: return SDL_SYSTEM_CURSOR_WAITARROW;
      default: return SDL_SYSTEM_CURSOR_ARROW;
    }
  }

  bool Start() {
    if (started_) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    started_ = true;
    return true;
  }

  // The window starts hidden, so that the renderer may make it again (SDL does for OpenGL)
  // before it shows.
  SDL_Window* MakeWindow(int width, int height) {
    SDL_Window* window = SDL_CreateWindow("quillo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * scale_,
                                          height * scale_, SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (window) SDL_SetWindowMinimumSize(window, 320 * scale_, 240 * scale_);
    return window;
  }

  bool MakeWindowAndRenderer(int width, int height) {
    window_ = MakeWindow(width, height);
    if (!window_) return false;
    const Presenter presenter = ChoosePresenter(PresenterFactsOf(window_));
    if (presenter != Presenter::Software) renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_ && presenter == Presenter::Accelerated && DrawsOnTheProcessor(renderer_)) {
      // A device was there, but the driver draws on the processor all the same (none for
      // that device): the software renderer presents instead, on a window that never had
      // OpenGL. That spares the driver's drawing memory; its code, once loaded, stays.
      SDL_DestroyRenderer(renderer_);
      renderer_ = nullptr;
      SDL_DestroyWindow(window_);
      window_ = MakeWindow(width, height);
      if (!window_) return false;
    }
    if (!renderer_) renderer_ = MakeSoftwareRenderer(window_);
    return renderer_ != nullptr;
  }

  static PresenterFacts PresenterFactsOf(SDL_Window* window) {
    PresenterFacts facts;
    if (const char* driver = SDL_GetHint(SDL_HINT_RENDER_DRIVER)) facts.userDriver = driver;
    facts.softwareGlRequested = SoftwareGlRequested();
    const char* video = SDL_GetCurrentVideoDriver();
    if (video && std::string(video) == "x11")
      facts.gpuOffered = ((X11ServerHasExtension(window, "DRI3") || X11ServerHasExtension(window, "DRI2")) &&
                          RenderNodeAvailable()) ||
                         X11ServerHasExtension(window, "NV-GLX");
    else
      facts.gpuOffered = RenderNodeAvailable();
    return facts;
  }

  // SDL's own software renderer, or an OpenGL one whose driver draws on the processor.
  static bool DrawsOnTheProcessor(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
    if (info.flags & SDL_RENDERER_SOFTWARE) return true;
    if (!info.name || std::string(info.name).rfind("opengl", 0) != 0 || !SDL_GL_GetCurrentContext()) return false;
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int kGlRenderer = 0x1F01;
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(kGlRenderer) : nullptr;
    return name && IsSoftwareGlRenderer(reinterpret_cast<const char*>(name));
  }

  // The software renderer draws into the window's own surface; SDL would otherwise put that
  // surface on an OpenGL texture, bringing up the driver all the same (unless the user's
  // SDL_FRAMEBUFFER_ACCELERATION says otherwise).
  static SDL_Renderer* MakeSoftwareRenderer(SDL_Window* window) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
      SDL_RendererInfo info;
      if (SDL_GetRenderDriverInfo(i, &info) == 0 && info.name && std::string(info.name) == "software")
        return SDL_CreateRenderer(window, i, 0);
    }
    return nullptr;
  }

  // 2 on a screen of twice the usual density (192 dots per inch and more), else 1.
  static int ScreenScale() {
    float dpi = 0;
    if (SDL_GetDisplayDPI(0, &dpi, nullptr, nullptr) != 0) return 1;
    return dpi >= 168 ? 2 : 1;
  }

  // The texture the desktop goes to, and the logical size that maps the window onto it.
  bool MakeTexture(int width, int height) {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    textureWidth_ = texture_ ? width : 0;
    textureHeight_ = texture_ ? height : 0;
    SDL_RenderSetLogicalSize(renderer_, width, height);
    return texture_ != nullptr;
  }

  bool TakeRelease(InputEvent& out) {
    if (releases_.empty()) return false;
    out = InputEvent{};
    out.kind = InputEvent::Kind::KeyUp;
    out.vk = releases_.back();
    releases_.pop_back();
    return true;
  }

  // The texture holds the whole desktop as last presented.
  void Show() {
    if (!texture_) return;
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
  }

  // What the window manager does to the window itself: the picture comes back whenever the
  // window is uncovered, shown again or resized, and keys held when the window loses the
  // keyboard are let go (their releases go to another window).
  // A new window size is a new desktop size (one to one, or at the screen's scale); until
  // the desktop is drawn at that size the old picture stays, centred.
  bool OnWindowEvent(const SDL_WindowEvent& e, InputEvent& out) {
    switch (e.event) {
      case SDL_WINDOWEVENT_SIZE_CHANGED: {
        Show();
        const int width = std::max(64, e.data1 / scale_), height = std::max(64, e.data2 / scale_);
        if (width == textureWidth_ && height == textureHeight_) return false;
        out.kind = InputEvent::Kind::Resize;
        out.x = width;
        out.y = height;
        return true;
      }
      case SDL_WINDOWEVENT_EXPOSED: case SDL_WINDOWEVENT_SHOWN: case SDL_WINDOWEVENT_RESTORED:
      case SDL_WINDOWEVENT_MAXIMIZED:
        Show();
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST: case SDL_WINDOWEVENT_MINIMIZED:
        releases_.assign(held_.begin(), held_.end());
        held_.clear();
        break;
    }
    return false;
  }

  bool Translate(const SDL_Event& e, InputEvent& out) {
    switch (e.type) {
      case SDL_WINDOWEVENT:
        return OnWindowEvent(e.window, out);
      case SDL_MOUSEMOTION:
        out.kind = InputEvent::Kind::MouseMove;
        out.x = e.motion.x;
        out.y = e.motion.y;
        return true;
      case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP:
        out.kind = e.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Kind::MouseDown : InputEvent::Kind::MouseUp;
        out.x = e.button.x;
        out.y = e.button.y;
        out.button = Button(e.button.button);
        return true;
      case SDL_MOUSEWHEEL:
        out.kind = InputEvent::Kind::Wheel;
        SDL_GetMouseState(&out.x, &out.y);
        out.wheelDelta = e.wheel.y * 120;
        return e.wheel.y != 0;
      case SDL_KEYDOWN: case SDL_KEYUP:
        if (e.type == SDL_KEYDOWN) {
          lastKeyDown_ = e.key.keysym.sym;
          rightAltAlone_ = (e.key.keysym.mod & KMOD_RALT) && !(e.key.keysym.mod & (KMOD_LALT | KMOD_CTRL));
        }
        out.kind = e.type == SDL_KEYDOWN ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
        out.vk = VirtualKey(e.key.keysym.sym);
        if (out.vk && e.type == SDL_KEYDOWN) held_.insert(out.vk);
        else held_.erase(out.vk);
        return out.vk != 0;
      case SDL_TEXTINPUT:
        // Every typed character comes as text, as the layout made it; the key messages give
        // only the control characters (Enter, Backspace, Tab, Escape, Ctrl+letter).
        out.kind = InputEvent::Kind::Text;
        out.text = e.text.text;
        // With the right Alt alone held, a character other than the key's own came from the
        // layout's third level (AltGr); the key's own one is Alt with a menu's letter.
        out.thirdLevel = rightAltAlone_ && !IsKeysOwnCharacter(lastKeyDown_, out.text);
        return true;
      case SDL_DROPFILE:
        out.kind = InputEvent::Kind::DropFiles;
        SDL_GetMouseState(&out.x, &out.y);
        out.files = {e.drop.file ? e.drop.file : ""};
        SDL_free(e.drop.file);
        return true;
      case SDL_QUIT:
        out.kind = InputEvent::Kind::Close;
        return true;
    }
    return false;
  }

  std::set<int> held_;          // keys down as this window heard them
  std::vector<int> releases_;   // key releases owed after the window lost the keyboard
  SDL_Keycode lastKeyDown_ = SDLK_UNKNOWN;
  bool rightAltAlone_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  int scale_ = 1;
  std::vector<SDL_Cursor*> cursors_;
  std::map<const void*, SDL_Cursor*> custom_;
  bool started_ = false;
  std::unique_ptr<X11Clipboard> x11_;
  std::unique_ptr<X11Desktop> desktop_;
  static constexpr int kServeSliceMs = 40;
  static constexpr int kUncoverMs = 150;
};

}  // namespace

std::unique_ptr<Host> CreateSdlHost() {
  auto host = std::make_unique<SdlHost>();
  return host;
}
