// The one desktop: its surface, its host, its wallpaper, and the restart tests use.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/gdi/Blit.h"
#include "platform/gdi/DibFile.h"
#include "platform/rtl/RegularFile.h"
#include "platform/user/ClipboardStore.h"
#include "platform/user/HotKeyTable.h"
#include "platform/user/DesktopScreen.h"
#include "platform/user/FocusState.h"
#include "platform/user/HookService.h"
#include "platform/user/InputState.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/SystemClasses.h"
#include "platform/user/ThreadInbox.h"
#include "platform/user/WallpaperSetting.h"
#include "platform/user/TimerService.h"
#include "platform/user/Window.h"
#include "platform/user/WindowRegistry.h"

namespace {

// Far more than an uncompressed picture of the largest desktop takes.
constexpr std::int64_t kMostWallpaperBytes = std::int64_t(256) << 20;

void MakeDesktopWindow() {
  auto cls = std::make_shared<WindowClass>();
  cls->name = "#32769";
  cls->proc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_PAINT || m == WM_ERASEBKGND || m == WM_NCPAINT) return 0;  // painted by the desktop
    return DefWindowProc(w, m, wp, lp);
  };
  auto desktop = std::make_unique<WindowObject>();
  WindowObject& d = *desktop;
  d.cls = cls;
  d.proc = cls->proc;
  d.style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
  d.rect = wm::Screen().Bounds();
  d.client = wm::Screen().Bounds();
  wm::Windows().SetDesktop(std::move(desktop));
}

void OpenHost(DesktopScreen& screen, std::unique_ptr<Host> host) {
  Inbox().SetWaker(nullptr);
  const DesktopConfig& config = screen.Config();
  if (!host->Open(config.width, config.height)) {
    std::fprintf(stderr, "quillo: the %s display cannot be opened; running headless\n", host->Name());
    host = CreateHeadlessHost();
    host->Open(config.width, config.height);
  }
  Inbox().SetUiThread(std::this_thread::get_id());
  Inbox().SetWaker([shown = host.get()] { shown->Wake(); });
  screen.SetDisplay(std::move(host));
}

void StartDesktop(DesktopConfig config, const std::string& forced) {
  DesktopScreen& screen = wm::Screen();
  std::unique_ptr<Host> host = CreateHost(forced);
  // On a real screen the desktop fits the user's screen unless a size is asked for.
  if (int width = 0, height = 0; !config.sizeGiven && host->FittingSize(width, height)) {
    config.width = width;
    config.height = height;
  }
  screen.Start(config);
  SetScreenSurface(screen.Pixels());
  SetDesktopMetrics(config.width, config.height, config.bitsPerPixel);
  MakeDesktopWindow();
  RegisterSystemClasses();
  OpenHost(screen, std::move(host));
  // The wallpaper the user last kept, before anything paints.
  const std::string wallpaper = StoredWallpaperSetting();
  if (!wallpaper.empty()) SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(wallpaper.c_str()), 0);
  SetWallpaperChangedHandler([] {
    PaintWallpaper(Region(wm::Screen().Bounds()));
    ExposeScreenRegion(Region(wm::Screen().Bounds()), wm::Windows().Desktop());
  });
  wm::Input().SetCursorPos(POINT{config.width / 2, config.height / 2});
  PaintWallpaper(Region(RECT{0, 0, config.width, config.height}));
  BumpLayoutSerial();
}

// A wallpaper from an uncompressed BMP file, centred; nothing when it cannot be read.
bool DrawWallpaperImage(HDC dc, const std::string& path) {
  const RegularFileText file = ReadRegularFile(path, kMostWallpaperBytes);
  if (file.outcome != RegularFileText::Outcome::Read) return false;
  BmpFileImage image;
  if (!ReadBmpFile(reinterpret_cast<const std::uint8_t*>(file.text.data()), file.text.size(), image)) return false;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(image.info.data());
  const DesktopConfig& config = wm::Screen().Config();
  const int x = (config.width - image.width) / 2, y = (config.height - image.height) / 2;
  return SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(image.width), static_cast<DWORD>(image.height), 0, 0, 0,
                           static_cast<UINT>(image.height), image.bits, info, DIB_RGB_COLORS) > 0;
}

}  // namespace

void EnsureDesktop() {
  if (wm::Windows().Desktop()) return;
  StartDesktop(ParseDesktopConfig(std::getenv("QUILLO_DESKTOP")), "");
}

void ResetDesktop(const DesktopConfig& config, const std::string& host) {
  // None started yet: no default one just to end it.
  if (!wm::Windows().Desktop()) {
    StartDesktop(config, host);
    return;
  }
  // Top-level windows first; each takes its children and owned windows with it.
  HWND desktop = wm::Windows().Desktop();
  while (!desktop->children.empty()) DestroyWindow(desktop->children.front());
  wm::Windows().End();
  wm::Queue().Clear();
  wm::Timers().Clear();
  wm::Hooks().Clear();
  wm::Focus().Clear();
  wm::Input().Clear();
  wm::Clipboard().Clear();
  wm::HotKeys().Clear();
  Inbox().SetWaker(nullptr);
  Inbox().TakeAll();
  wm::Screen().End();
  ResetSystemParameters();
  StartDesktop(config, host);
}

void PresentDesktop() {
  DesktopScreen& screen = wm::Screen();
  if (TakeScreenDrawn()) screen.MarkChanged();
  if (!screen.Display() || !screen.TakeChanged()) return;
  screen.Display()->Present(screen.Pixels(), SurfaceRect{0, 0, screen.Config().width, screen.Config().height});
}

void ResizeDesktop(int width, int height) {
  DesktopScreen& screen = wm::Screen();
  const DesktopConfig& config = screen.Config();
  if (!wm::Windows().Desktop() || width < 64 || height < 64 || width > 16384 || height > 16384 ||
      (width == config.width && height == config.height))
    return;
  screen.Resize(width, height);
  SetScreenSurface(screen.Pixels());
  SetDesktopMetrics(width, height, config.bitsPerPixel);
  WindowObject* desktop = wm::Windows().Desktop();
  desktop->rect = desktop->client = screen.Bounds();
  BumpLayoutSerial();
  // Windows hear of the change first, so that what they answer when placed (their maximised
  // size) already follows the new work area.
  for (HWND top : std::vector<HWND>(desktop->children)) {
    if (LiveWindow(top)) SendMessage(top, WM_DISPLAYCHANGE, static_cast<WPARAM>(config.bitsPerPixel), MAKELPARAM(width, height));
    if (LiveWindow(top)) SendMessage(top, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  }
  FitTopLevelWindowsToScreen();
  ExposeScreenRegion(Region(screen.Bounds()), nullptr);
}

void PaintWallpaper(const Region& screen) {
  if (!wm::Windows().Desktop()) return;
  HDC dc = GetDC(nullptr);
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  LiveRegion(clip)->region = screen;
  SelectClipRgn(dc, clip);
  HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_DESKTOP));
  RECT all = wm::Screen().Bounds();
  FillRect(dc, &all, brush);
  if (!WallpaperPath().empty()) DrawWallpaperImage(dc, WallpaperPath());
  DeleteObject(brush);
  DeleteObject(clip);
  ReleaseDC(nullptr, dc);
  wm::Screen().MarkChanged();
}
