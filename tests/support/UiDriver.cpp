#include "UiDriver.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/rtl/Clock.h"
#include "platform/user/Desktop.h"
#include "platform/user/Dialog.h"
#include "platform/user/MessageBoxScript.h"

namespace {

void Put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The key and shift state that type a character on a US keyboard; vk 0 for none.
std::pair<int, bool> KeyFor(char c) {
  if (c >= 'a' && c <= 'z') return {c - 32, false};
  if (c >= 'A' && c <= 'Z') return {c, true};
  if (c >= '0' && c <= '9') return {c, false};
  static const std::string shiftedDigits = ")!@#$%^&*(";
  if (auto i = shiftedDigits.find(c); i != std::string::npos) return {'0' + static_cast<int>(i), true};
  switch (c) {
    case ' ': return {VK_SPACE, false};
    case '\n': case '\r': return {VK_RETURN, false};
    case '\t': return {VK_TAB, false};
    case '\b': return {VK_BACK, false};
    case ';': return {0xBA, false};
    case ':': return {0xBA, true};
    case '=': return {0xBB, false};
    case '+': return {0xBB, true};
    case ',': return {0xBC, false};
    case '<': return {0xBC, true};
    case '-': return {0xBD, false};
    case '_': return {0xBD, true};
    case '.': return {0xBE, false};
    case '>': return {0xBE, true};
    case '/': return {0xBF, false};
    case '?': return {0xBF, true};
    case '\\': return {0xDC, false};
    case '\'': return {0xDE, false};
    case '"': return {0xDE, true};
  }
  return {0, false};
}

bool IsDialogWindow(HWND window) {
  char name[16] = {};
  GetClassName(window, name, sizeof name);
  return std::strcmp(name, WC_DIALOG) == 0;
}

}  // namespace

UiDriver::UiDriver(int width, int height, int bitsPerPixel) {
  DesktopConfig config;
  config.width = width;
  config.height = height;
  config.bitsPerPixel = bitsPerPixel;
  config.sizeGiven = true;
  RestartDesktop(config, "");
  SetManualClock(true);
  SetIdleHandler([this] {
    if (FeedPaced()) return true;
    if (modalActions_.empty()) return false;
    std::function<void()> action = std::move(modalActions_.front());
    modalActions_.pop_front();
    action();
    return true;
  });
  SetMessageBoxScript([this](HWND, LPCSTR text, LPCSTR caption, UINT flags) {
    boxTexts_.push_back(text);
    if (driveBoxes_) return 0;
    if (script_) return script_(text, caption, flags);
    if (answers_.empty()) return IDCANCEL;
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
  });
}

UiDriver::~UiDriver() {
  SetMessageBoxScript(nullptr);
  SetIdleHandler(nullptr);
  RestartDesktop(DesktopConfig{}, "headless");
  SetManualClock(false);
}

void UiDriver::Inject(const InputEvent& e) { DesktopHost().Inject(e); }

bool UiDriver::FeedPaced() {
  if (paced_.empty()) return false;
  Inject(paced_.front());
  paced_.pop_front();
  return true;
}

POINT UiDriver::At(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

namespace {

InputEvent MouseEvent(InputEvent::Kind kind, int x, int y, int button) {
  InputEvent e;
  e.kind = kind;
  e.x = x;
  e.y = y;
  e.button = button;
  return e;
}

InputEvent KeyEvent(InputEvent::Kind kind, int vk) {
  InputEvent e;
  e.kind = kind;
  e.vk = vk;
  return e;
}

}  // namespace

void UiDriver::MoveTo(int x, int y) {
  Inject(MouseEvent(InputEvent::Kind::MouseMove, x, y, InputEvent::Left));
  RunUntilIdle();
}

void UiDriver::MouseDown(int x, int y, int button) {
  Inject(MouseEvent(InputEvent::Kind::MouseDown, x, y, button));
  RunUntilIdle();
}

void UiDriver::MouseUp(int x, int y, int button) {
  Inject(MouseEvent(InputEvent::Kind::MouseUp, x, y, button));
  RunUntilIdle();
}

void UiDriver::Click(int x, int y, int button) {
  InputEvent e;
  e.x = x;
  e.y = y;
  e.button = button;
  e.kind = InputEvent::Kind::MouseMove;
  Inject(e);
  e.kind = InputEvent::Kind::MouseDown;
  Inject(e);
  e.kind = InputEvent::Kind::MouseUp;
  Inject(e);
  RunUntilIdle();
}

void UiDriver::DoubleClick(int x, int y) {
  Click(x, y);
  Advance(50);
  Click(x, y);
}

void UiDriver::Drag(POINT from, POINT to, int steps, int button) {
  InputEvent e;
  e.button = button;
  e.kind = InputEvent::Kind::MouseMove;
  e.x = from.x;
  e.y = from.y;
  Inject(e);
  e.kind = InputEvent::Kind::MouseDown;
  Inject(e);
  steps = std::max(1, steps);
  for (int i = 1; i <= steps; ++i) {
    e.kind = InputEvent::Kind::MouseMove;
    e.x = from.x + (to.x - from.x) * i / steps;
    e.y = from.y + (to.y - from.y) * i / steps;
    InjectPaced(e);
  }
  e.kind = InputEvent::Kind::MouseUp;
  InjectPaced(e);
  RunUntilIdle();
}

void UiDriver::Wheel(int x, int y, int delta) {
  InputEvent e;
  e.kind = InputEvent::Kind::Wheel;
  e.x = x;
  e.y = y;
  e.wheelDelta = delta;
  Inject(e);
  RunUntilIdle();
}

void UiDriver::CloseHost() {
  InputEvent e;
  e.kind = InputEvent::Kind::Close;
  Inject(e);
  RunUntilIdle();
}

void UiDriver::KeyDown(int vk) {
  Inject(KeyEvent(InputEvent::Kind::KeyDown, vk));
  RunUntilIdle();
}

void UiDriver::KeyUp(int vk) {
  Inject(KeyEvent(InputEvent::Kind::KeyUp, vk));
  RunUntilIdle();
}

void UiDriver::QueueKeyDown(int vk) { Inject(KeyEvent(InputEvent::Kind::KeyDown, vk)); }
void UiDriver::QueueKeyUp(int vk) { Inject(KeyEvent(InputEvent::Kind::KeyUp, vk)); }
void UiDriver::QueuePress(int vk) {
  QueueKeyDown(vk);
  QueueKeyUp(vk);
}
void UiDriver::QueueMove(int x, int y) { Inject(MouseEvent(InputEvent::Kind::MouseMove, x, y, InputEvent::Left)); }
void UiDriver::QueueMouseDown(int x, int y, int button) {
  Inject(MouseEvent(InputEvent::Kind::MouseDown, x, y, button));
}
void UiDriver::QueueMouseUp(int x, int y, int button) { Inject(MouseEvent(InputEvent::Kind::MouseUp, x, y, button)); }
void UiDriver::QueueClick(int x, int y, int button) {
  Inject(MouseEvent(InputEvent::Kind::MouseMove, x, y, button));
  Inject(MouseEvent(InputEvent::Kind::MouseDown, x, y, button));
  Inject(MouseEvent(InputEvent::Kind::MouseUp, x, y, button));
}

void UiDriver::Press(int vk) {
  Inject(KeyEvent(InputEvent::Kind::KeyDown, vk));
  Inject(KeyEvent(InputEvent::Kind::KeyUp, vk));
  RunUntilIdle();
}

// As a host does: the key goes down, the text it types follows, the key comes up.
void UiDriver::Type(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    size_t length = 1;  // one character: a UTF-8 sequence is typed whole
    while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80) ++length;
    std::string character = text.substr(i, length);
    i += length;
    auto [vk, shift] = length == 1 ? KeyFor(character[0]) : std::pair<int, bool>{0, false};
    InputEvent text;
    text.kind = InputEvent::Kind::Text;
    text.text = character;
    bool printable = static_cast<unsigned char>(character[0]) >= 0x20;
    if (!vk) {
      Inject(text);
      continue;
    }
    if (shift) Inject(KeyEvent(InputEvent::Kind::KeyDown, VK_SHIFT));
    Inject(KeyEvent(InputEvent::Kind::KeyDown, vk));
    if (printable) Inject(text);
    Inject(KeyEvent(InputEvent::Kind::KeyUp, vk));
    if (shift) Inject(KeyEvent(InputEvent::Kind::KeyUp, VK_SHIFT));
  }
  RunUntilIdle();
}

void UiDriver::TypeKey(int vk, const std::string& text, bool thirdLevel) {
  Inject(KeyEvent(InputEvent::Kind::KeyDown, vk));
  if (!text.empty()) {
    InputEvent e;
    e.kind = InputEvent::Kind::Text;
    e.text = text;
    e.thirdLevel = thirdLevel;
    Inject(e);
  }
  Inject(KeyEvent(InputEvent::Kind::KeyUp, vk));
  RunUntilIdle();
}

int UiDriver::RunUntilIdle(int limit) {
  int count = 0;
  MSG msg;
  // The next message, handing paced events over until one makes a message (a move over the
  // bare desktop makes none).
  auto next = [&] {
    while (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
      if (!FeedPaced()) return false;
    return true;
  };
  while (count < limit && next()) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // left for the program's own loop
      break;
    }
    // A dialog of the dialog manager that is active has its keyboard, as its own loop (or
    // the program's, for a modeless one) gives it.
    if (HWND active = GetActiveWindow(); active && IsDialogWindow(active) && IsDialogMessage(active, &msg)) {
      ++count;
      continue;
    }
    if (preTranslate_ && preTranslate_(msg)) {
      ++count;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    ++count;
  }
  FlushDesktop();
  return count;
}

void UiDriver::Advance(DWORD ms) {
  AdvanceClock(ms);
  RunUntilIdle();
}

void UiDriver::WhenModalWaits(std::function<void()> action) { modalActions_.push_back(std::move(action)); }

void UiDriver::AnswerMessageBoxes(std::deque<int> answers) { answers_ = std::move(answers); }

HWND UiDriver::FindDialog(const std::string& caption) {
  HWND box = FindWindow("#32770", caption.c_str());
  return box && IsWindowVisible(box) ? box : nullptr;
}

void UiDriver::OnMessageBox(std::function<int(const std::string&, const std::string&, UINT)> script) {
  script_ = std::move(script);
}

std::uint32_t UiDriver::Pixel(int x, int y) const {
  const Surface& s = DesktopSurface();
  if (x < 0 || y < 0 || x >= s.width || y >= s.height) return 0;
  return s.Row(y)[x] & 0xFFFFFF;
}

std::vector<std::uint32_t> UiDriver::CaptionPixels(HWND window) const {
  RECT r;
  GetWindowRect(window, &r);
  const int frame = GetSystemMetrics(SM_CXFRAME);
  std::vector<std::uint32_t> pixels;
  for (int y = r.top + frame; y < r.top + frame + GetSystemMetrics(SM_CYCAPTION); ++y)
    for (int x = r.left + frame; x < r.right - frame; ++x) pixels.push_back(Pixel(x, y));
  return pixels;
}

void UiDriver::ShowToViewer(Hold hold) {
  FlushDesktop();
  if (const char* shot = std::getenv("QUILLO_SHOT")) SaveDesktop(shot);
  const char* ms = std::getenv("QUILLO_DEMO_HOLD_MS");
  if (!ms) return;
  if (hold == Hold::Live) SetManualClock(false);
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(ms));
  while (std::chrono::steady_clock::now() < end) {
    MSG msg;
    while (hold == Hold::Live && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    FlushDesktop();
    DesktopHost().WaitEvent(20);
  }
  if (hold == Hold::Live) SetManualClock(true);
}

bool UiDriver::SaveDesktop(const std::string& path) const {
  const Surface& s = DesktopSurface();
  return SaveSurfaceBmp(s, RECT{0, 0, s.width, s.height}, path);
}

bool UiDriver::SaveWindow(HWND window, const std::string& path) const {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  return SaveSurfaceBmp(DesktopSurface(), r, path);
}

bool SaveSurfaceBmp(const Surface& surface, const RECT& area, const std::string& path) {
  RECT r{std::max<LONG>(0, area.left), std::max<LONG>(0, area.top), std::min<LONG>(surface.width, area.right),
         std::min<LONG>(surface.height, area.bottom)};
  if (r.left >= r.right || r.top >= r.bottom) return false;
  int w = r.right - r.left, h = r.bottom - r.top;
  std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
  std::string out;
  out += "BM";
  Put32(out, 54 + stride * h);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(w));
  Put32(out, static_cast<std::uint32_t>(h));
  Put16(out, 1);
  Put16(out, 24);
  for (int i = 0; i < 6; ++i) Put32(out, i == 1 ? stride * h : (i == 2 || i == 3) ? 3780 : 0);
  for (int y = r.bottom - 1; y >= r.top; --y) {
    const std::uint32_t* row = surface.Row(y);
    for (int x = r.left; x < r.right; ++x) {
      out += static_cast<char>(row[x] & 0xFF);
      out += static_cast<char>((row[x] >> 8) & 0xFF);
      out += static_cast<char>((row[x] >> 16) & 0xFF);
    }
    out.append(stride - static_cast<std::uint32_t>(w) * 3, '\0');
  }
  std::ofstream file(path, std::ios::binary);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}
