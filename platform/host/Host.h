#pragma once
// A presentation back end: shows the desktop surface and delivers input. Only the window
// manager talks to it. Input can also be injected (tests drive any host this way).

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/KeyCodes.h"
#include "platform/host/Surface.h"

struct InputEvent {
  // Resize: the display now shows a desktop of x by y pixels.
  // HotKey: a combination the host grabbed on the user's screen was pressed (vk, modifiers).
  // KeyboardLayout: the user's keyboard now types the language in `language`.
  enum class Kind { MouseMove, MouseDown, MouseUp, Wheel, KeyDown, KeyUp, Text, DropFiles, Close, Resize,
                    HotKey, KeyboardLayout };
  enum Button { Left = 0, Right = 1, Middle = 2 };
  Kind kind = Kind::MouseMove;
  int x = 0;  // desktop coordinates, for mouse events and dropped files
  int y = 0;
  int button = Left;
  int wheelDelta = 0;  // multiples of 120, positive away from the user
  int vk = 0;          // virtual-key code of key events
  std::string text;    // UTF-8, for text events
  // A text event the layout made with AltGr (the right Alt key as a third level, as '@' on
  // many European keyboards): typed although Alt is down, as with Ctrl+Alt on Windows.
  bool thirdLevel = false;
  std::vector<std::string> files;
  unsigned modifiers = 0;  // Host::HotKeyModifier bits, for hot keys
  bool repeat = false;     // a hot key held down, repeating
  int language = 0;        // Windows language identifier, for keyboard layouts
  // How long before it was polled the event happened, in milliseconds; unset: just then. A
  // slow handler then leaves later clicks their true times (double clicks, GetMessageTime).
  std::optional<std::uint32_t> ageMs;
};

// The standard cursor shapes a host can show.
enum class CursorShape { Arrow, IBeam, Wait, Cross, UpArrow, SizeNWSE, SizeNESW, SizeWE, SizeNS,
                         SizeAll, No, Hand, AppStarting, Help, Hidden };

class Host {
public:
  virtual ~Host();
  virtual const char* Name() const = 0;
  // Makes the display of the given size ready; false when it cannot be shown.
  virtual bool Open(int width, int height) = 0;
  // The desktop size that suits the user's screen, asked before Open where no size is set;
  // false where the host has no screen of its own.
  virtual bool FittingSize(int& width, int& height) {
    (void)width, (void)height;
    return false;
  }
  // Shows a rectangle of the desktop surface.
  virtual void Present(const Surface& desktop, const SurfaceRect& dirty) = 0;
  virtual void SetCursorShape(CursorShape shape) = 0;
  // A cursor of its own: 0xAARRGGBB pixels (alpha 255 opaque), top row first, with its
  // hotspot; key identifies it so a host can keep what it made from it.
  virtual void SetCursorImage(const void* key, int width, int height, const std::uint32_t* argb,
                              int hotspotX, int hotspotY) {
    (void)key, (void)width, (void)height, (void)argb, (void)hotspotX, (void)hotspotY;
    SetCursorShape(CursorShape::Arrow);
  }
  virtual void Beep() {}
  // The host's own clipboard text (UTF-8, LF line ends), where the host has a clipboard:
  // false when it has none or holds no text.
  virtual bool GetClipboardText(std::string& out) {
    (void)out;
    return false;
  }
  virtual bool SetClipboardText(const std::string& text) {
    (void)text;
    return false;
  }
  // Pictures travel through the host's clipboard as the bytes of image files, by MIME type
  // ("image/png", "image/bmp").
  struct ClipboardFile {
    std::string type;
    std::vector<std::uint8_t> bytes;
  };
  // A picture offered as files of several types, each made only when someone asks for it
  // (a large picture costs nothing until another program pastes it).
  struct ClipboardPicture {
    std::vector<std::string> types;  // MIME types, best first; none: no picture
    // The file of one of the types; empty when it can no longer be made.
    std::function<std::vector<std::uint8_t>(const std::string& type)> render;
  };
  // Replaces what the host's clipboard holds with the text (when given) and the picture, in
  // one go; a host without pictures takes the text alone.
  virtual bool OfferClipboardContent(const std::string* text, ClipboardPicture picture) {
    (void)picture;
    return text ? SetClipboardText(*text) : false;
  }
  // The same with the picture's files made beforehand.
  bool SetClipboardContent(const std::string* text, std::vector<ClipboardFile> files);
  // Counts the changes of the host's clipboard, the program's own and others'; 0 when the host
  // cannot tell, and only reading the clipboard shows whether it changed.
  virtual std::uint64_t ClipboardSerial() { return 0; }
  // The host's picture in the first of the types (in order of preference) that it offers;
  // false when it holds none of them.
  virtual bool GetClipboardFile(const std::vector<std::string>& types, ClipboardFile& out) {
    (void)types, (void)out;
    return false;
  }
  // The user's own screen, where the host shares one with other programs (an X display): all
  // of it, or the window the user works in with the frame the window manager gives it, with
  // the host's own window out of the picture and the area clipped to the screen. False where
  // the host has no such screen (headless, Wayland): the program's desktop is then the screen.
  enum class ScreenArea { Whole, ActiveWindow };
  struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
  };
  virtual bool CaptureScreen(ScreenArea area, ScreenImage& out) {
    (void)area, (void)out;
    return false;
  }
  // Takes a key combination (HotKeyModifier bits and a virtual key) for the program on the
  // whole user's screen, whichever program has the keyboard; its presses come as HotKey
  // events. InUse: another program holds it. Unsupported: the host has no screen shared with
  // other programs, or cannot name that key there.
  enum class HotKeyGrab { Grabbed, InUse, Unsupported };
  // The modifiers of a hot key, with the values RegisterHotKey gives them.
  enum HotKeyModifier : unsigned { HotKeyAlt = 1, HotKeyControl = 2, HotKeyShift = 4, HotKeyWin = 8 };
  virtual HotKeyGrab GrabHotKey(unsigned modifiers, int vk) {
    (void)modifiers, (void)vk;
    return HotKeyGrab::Unsupported;
  }
  virtual void ReleaseHotKey(unsigned modifiers, int vk) { (void)modifiers, (void)vk; }
  // The next input event, injected ones first; false when none is waiting.
  bool PollEvent(InputEvent& out);
  // The event PollEvent gives next, left for it.
  bool PeekEvent(InputEvent& out);
  // Waits until input may be waiting or the time has passed.
  virtual void WaitEvent(int timeoutMs) = 0;
  // Ends a WaitEvent early; may be called from any thread.
  virtual void Wake() {}
  void Inject(const InputEvent& event) { injected_.push_back(event); }
  bool HasInjected() const { return !injected_.empty() || peeked_.has_value(); }
  void ClearInjected() {
    injected_.clear();
    peeked_.reset();
  }

protected:
  virtual bool PollOwnEvent(InputEvent& out) = 0;

private:
  std::deque<InputEvent> injected_;
  std::optional<InputEvent> peeked_;
};

struct DesktopConfig {
  int width = 1280;
  int height = 800;
  int bitsPerPixel = 32;
  bool sizeGiven = false;  // the size was asked for (QUILLO_DESKTOP), not chosen to fit the screen
};
// Reads QUILLO_DESKTOP=WxHxBPP (or WxH); malformed or absurd values keep the defaults.
DesktopConfig ParseDesktopConfig(const char* text);
// The host chosen by QUILLO_HOST, else SDL when DISPLAY or WAYLAND_DISPLAY is set, else the
// headless one. An SDL host that cannot open falls back to headless.
std::unique_ptr<Host> CreateHost(const std::string& forced = "");
std::unique_ptr<Host> CreateHeadlessHost();
std::unique_ptr<Host> CreateSdlHost();
