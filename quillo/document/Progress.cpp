#include "quillo/document/Progress.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>

#include "platform/gdi/Rects.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/SettingsFolder.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Buttons.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramFolder.h"
#include "quillo/components/panels/FriendlyStatusBar.h"
#include "quillo/components/panels/PercentProgress.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"

std::uint8_t CancelRequested = 1;
std::uint8_t LogEnabled = 0;
DWORD LogStartTick = 0;
AnsiString ApplicationHelpFile;

namespace {

// The throttles: the bar moves at most every 100 ms, the view repaints at most every 2 s.
constexpr DWORD kBarInterval = 100;
constexpr DWORD kViewInterval = 2000;
// How long the elapsed time stays in the status bar, in seconds.
constexpr float kStatusSeconds = 5;
// The width of bar a narrow window keeps beside the Cancel button.
constexpr int kLeastBarWidth = 60;

struct ProgressState {
  std::optional<DWORD> startTick;  // the first step's time; none before it
  std::optional<DWORD> lastBarTick;  // none: the next step moves the bar
  DWORD lastViewTick = 0;
  AnsiString statusKey;
  // Starts not yet ended: a start inside a running operation (a load inside a filter) does
  // not end the outer one.
  int depth = 0;
  bool running = false;
  // The start cleared the cancel request: a request at the end is the user's.
  bool requestCleared = false;
};

ProgressState& State() {
  static ProgressState state;
  return state;
}

bool WindowOpen(const TImageForm* window) {
  if (window == nullptr) return false;
  for (int i = 0; i < ImgFormCount; ++i)
    if (ImgForms[static_cast<std::size_t>(i)] == window) return true;
  return false;
}

TPercentProgress* ActiveBar() { return ImageForm != nullptr ? ImageForm->ProgressBar : nullptr; }

bool CancelButtonVisible(const TImageForm* window) {
  return window != nullptr && window->CancelProgressBtn != nullptr && window->CancelProgressBtn->GetVisible();
}

// The main window and the tool options window take no command while an operation runs.
void EnableCommandWindows(bool enable) {
  TheDocumentHost().EnableCommandWindows(enable);
}

// The bar from its base place (its Tag), right of the Cancel button when that shows, to the
// status bar's end. A window too narrow for that moves both left, so that the button and a
// part of the bar stay on the status bar.
void PlaceBar(TImageForm* window) {
  TPercentProgress* bar = window->ProgressBar;
  TSpeedButton* cancel = window->CancelProgressBtn;
  const int statusWidth = window->StatusBar->GetWidth();
  const int cancelWidth = cancel->GetVisible() ? cancel->GetWidth() : 0;
  const int base = std::max(0, std::min(static_cast<int>(bar->GetTag()), statusWidth - cancelWidth - kLeastBarWidth));
  cancel->SetLeft(base);
  const int left = base + cancelWidth;
  bar->SetBounds(left, bar->GetTop(), std::max(statusWidth - left, 0), bar->GetHeight());
}

void NoteFirstStep() {
  ProgressState& s = State();
  if (!s.startTick) s.startTick = GetTickCount();
}

// True for a click or move that lands on the window's Cancel button.
bool OnCancelButton(const TImageForm* window, const MOUSEHOOKSTRUCT& mouse) {
  if (!WindowOpen(window) || !CancelButtonVisible(window)) return false;
  if (mouse.hwnd != window->StatusBar->GetHandle() || mouse.wHitTestCode != HTCLIENT) return false;
  const TPoint at = window->StatusBar->ScreenToClient(TPoint(mouse.pt.x, mouse.pt.y));
  const TRect button = window->CancelProgressBtn->GetBoundsRect();
  return PtInRect(&button, at) != FALSE;
}

bool IsButtonUp(UINT message) {
  return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
}

// After a press on the Cancel button the status bar holds the pointer; the pointer's moves
// and its release elsewhere still belong to that press: they go to the status bar, where the
// button lets go without a click, instead of to the window under the pointer.
void FinishPressOnCancel(const TImageForm* window, UINT message, const MOUSEHOOKSTRUCT& mouse) {
  if (!WindowOpen(window)) return;
  const HWND bar = window->StatusBar->GetHandle();
  if (GetCapture() != bar || (message != WM_MOUSEMOVE && !IsButtonUp(message))) return;
  const TPoint at = window->StatusBar->ScreenToClient(TPoint(mouse.pt.x, mouse.pt.y));
  SendMessage(bar, message, message == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(at.x, at.y));
}

// Lets the waiting messages run that may run inside an operation: the painting, and the
// user's clicks on the Cancel button and on the operation's own Stop button (when it has one).
// Esc and Enter ask the operation to stop when keysStop is set. Every other key and click is
// dropped by the hooks before it can activate a window; every other message stays queued until
// the operation has ended and the message loop runs again, so nothing starts another operation,
// closes a document or changes the tool meanwhile.
void PumpForCancel(TImageForm* window, HWND stopButton = nullptr, bool keysStop = false) {
  HHOOK mouseHook = nullptr;
  HHOOK keyHook = nullptr;
  mouseHook = SetWindowsHookEx(
      WH_MOUSE,
      [window, stopButton, &mouseHook](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (code < 0) return CallNextHookEx(mouseHook, code, wParam, lParam);
        const auto& mouse = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        // A press on the Stop button holds the pointer there: its moves and release go to it.
        const bool onStop = stopButton != nullptr && mouse.hwnd == stopButton;
        if (onStop || OnCancelButton(window, mouse)) return CallNextHookEx(mouseHook, code, wParam, lParam);
        if (code == HC_ACTION) FinishPressOnCancel(window, static_cast<UINT>(wParam), mouse);
        return 1;
      },
      nullptr, GetCurrentThreadId());
  keyHook = SetWindowsHookEx(
      WH_KEYBOARD,
      [keysStop](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        const bool pressed = code == HC_ACTION && (static_cast<DWORD>(lParam) & (1u << 31)) == 0;
        if (keysStop && pressed && (wParam == VK_ESCAPE || wParam == VK_RETURN)) CancelRequested = 1;
        return 1;
      },
      nullptr, GetCurrentThreadId());
  struct Unhook {
    HHOOK& mouse;
    HHOOK& key;
    ~Unhook() {
      UnhookWindowsHookEx(key);
      UnhookWindowsHookEx(mouse);
    }
  } unhook{mouseHook, keyHook};

  const struct {
    UINT first;
    UINT last;
  } ranges[] = {{WM_KEYFIRST, WM_KEYLAST},
                {WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK},
                {WM_MOUSEFIRST, WM_MOUSELAST},
                {WM_PAINT, WM_PAINT}};
  for (const auto& range : ranges) {
    MSG msg;
    while (PeekMessage(&msg, nullptr, range.first, range.last, PM_REMOVE)) {
      // Keys came through no hook as characters of the host's text input: dropped as well.
      if (range.first == WM_KEYFIRST || msg.message == WM_NULL) continue;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
}

AnsiString ElapsedText(const AnsiString& statusKey, DWORD elapsedMs) {
  const AnsiString status = statusKey.empty() ? AnsiString() : LangMessage(statusKey);
  return Format("%s %6.2f %s", status.c_str(), elapsedMs * 0.001, LangMessage("Sec").c_str());
}

}  // namespace

void ProgressStart(int max) {
  ProgressState& s = State();
  const bool outermost = s.depth == 0;
  ++s.depth;
  s.running = true;
  s.lastBarTick.reset();
  if (outermost) {
    s.startTick.reset();
    s.lastViewTick = GetTickCount();
  }
  if (TPercentProgress* bar = ActiveBar()) {
    bar->SetPosition(0);
    bar->SetMax(max);
    PlaceBar(ImageForm);
    bar->SetVisible(true);
  }
  // A start inside a cancelled operation leaves the user's request standing.
  if (!outermost) return;
  CancelRequested = 0;
  s.requestCleared = true;
  EnableCommandWindows(false);
}

void ProgressStart100() { ProgressStart(100); }

void ProgressStep(int pos) {
  ProgressState& s = State();
  NoteFirstStep();
  const DWORD now = GetTickCount();
  if (!s.lastBarTick || now - *s.lastBarTick > kBarInterval) {
    if (TPercentProgress* bar = ActiveBar()) bar->SetPosition(pos);
    s.lastBarTick = now;
  }
  if (now - s.lastViewTick > kViewInterval) {
    if (ImageForm != nullptr) ImageForm->ShowBuf->Invalidate();
    s.lastViewTick = now;
  }
}

void ProgressSetPos(int pos, int max) {
  NoteFirstStep();
  State().running = true;
  if (TPercentProgress* bar = ActiveBar()) {
    bar->SetVisible(true);
    bar->SetMax(max);
    bar->SetPosition(pos);
  }
}

bool ProgressCallback(int percent) {
  ProgressStep(percent);
  if (CancelButtonVisible(ImageForm)) PumpForCancel(ImageForm);
  return CancelRequested == 0;
}

bool ProgressStepStoppable(int pos, HWND stopButton) {
  ProgressStep(pos);
  PumpForCancel(ImageForm, stopButton, true);
  return CancelRequested == 0;
}

void SetProgressText(const AnsiString& key) { State().statusKey = key; }

void ProgressEnd() {
  ProgressState& s = State();
  if (s.depth > 1) {
    --s.depth;
    return;
  }
  s.depth = 0;
  s.running = false;
  const bool requestCleared = s.requestCleared;
  s.requestCleared = false;
  const DWORD now = GetTickCount();
  if (!s.startTick) s.startTick = now;
  const DWORD elapsed = now - *s.startTick;
  s.startTick.reset();
  if (TPercentProgress* bar = ActiveBar()) bar->SetVisible(false);
  // An operation the user stopped did not do what its text says, and one that an exception
  // ends reports its failure itself.
  if (std::uncaught_exceptions() == 0) {
    const bool stopped = requestCleared && CancelRequested != 0;
    const AnsiString key = stopped ? AnsiString(LangKey("OpCanceled")) : s.statusKey;
    ShowTimedStatus(ElapsedText(key, elapsed), kStatusSeconds);
  }
  if (ImageForm != nullptr) ImageForm->StatusBar->Repaint();
  CancelRequested = 1;
  EnableCommandWindows(true);
}

bool ProgressRunning() { return State().running; }

CancelButtonShown::CancelButtonShown(TImageForm* window) : window_(window) {
  if (window_ != nullptr) window_->CancelProgressBtn->SetVisible(true);
}

CancelButtonShown::~CancelButtonShown() {
  if (WindowOpen(window_)) window_->CancelProgressBtn->SetVisible(false);
}

TOwnedPtr<TBitmap> MakeCancelGlyph() {
  constexpr int kSize = 9;
  constexpr TColor kInk = static_cast<TColor>(0x000000A0);
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetSize(kSize, kSize);
  TCanvas* c = bitmap->GetCanvas();
  c->GetBrush()->SetColor(clOlive);  // the transparent colour (bottom-left pixel)
  c->FillRect(TRect(0, 0, kSize, kSize));
  // Two strokes two pixels wide, kept off the bottom-left corner.
  for (int i = 1; i < kSize - 1; ++i) {
    for (int x : {i, i + 1}) {
      if (x > kSize - 2) continue;
      c->SetPixel(x, i, kInk);
      c->SetPixel(kSize - 1 - x, i, kInk);
    }
  }
  return bitmap;
}

AnsiString LogFilePath() { return SettingsFolder() + "/QL.LOG"; }

void WriteLog(const char* text) {
  if (LogEnabled == 0) return;
  FILE* log = std::fopen(LogFilePath().c_str(), "a");
  if (log == nullptr) return;
  std::fprintf(log, "[%06.2f] %s\n", (GetTickCount() - LogStartTick) * 0.001, text);
  std::fclose(log);
}

void ResetHelpFile() { ApplicationHelpFile = ProgramFolder() + LangMessage("HelpFile"); }
