#pragma once
// Drives the real user interface as a user would: a fresh desktop on the headless host (or
// whichever host QUILLO_HOST names), input at screen or client coordinates, the message
// loop run until idle, a manual clock, scripted answers to message boxes, pixels and
// screenshots.
//
// Gestures that enter a modal loop (a caption drag, a border resize, a modal dialog) are
// queued whole before the loop runs: Drag() does that, handing each step to the program
// only once it has taken the one before (moves left waiting together would be one move, as
// on Windows). A loop that starves raises an Exception instead of waiting forever.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/host/Host.h"
#include "platform/user/User.h"

class UiDriver {
public:
  explicit UiDriver(int width = 1280, int height = 800, int bitsPerPixel = 32);
  ~UiDriver();
  UiDriver(const UiDriver&) = delete;
  UiDriver& operator=(const UiDriver&) = delete;

  // Input at screen coordinates; each runs the loop until idle afterwards.
  void MoveTo(int x, int y);
  void Click(int x, int y, int button = InputEvent::Left);
  void DoubleClick(int x, int y);
  void MouseDown(int x, int y, int button = InputEvent::Left);
  void MouseUp(int x, int y, int button = InputEvent::Left);
  // Press at from, move in steps, release at to: queued as one gesture.
  void Drag(POINT from, POINT to, int steps = 8, int button = InputEvent::Left);
  void Wheel(int x, int y, int delta);
  void Press(int vk);  // down and up
  void KeyDown(int vk);
  void KeyUp(int vk);
  // Types text as a US keyboard would (keys for letters, digits, spaces and common
  // punctuation, with the host's text input between each key's press and release); other
  // characters come as text input alone.
  void Type(const std::string& text);
  // One key of any layout: pressed, the text the layout makes of it (none for a dead key),
  // released.
  void TypeKey(int vk, const std::string& text, bool thirdLevel = false);
  // The user closes the host's window (the program's window on the user's screen).
  void CloseHost();
  // Input queued without running the loop: a gesture that a modal loop (a menu) reads whole.
  // RunUntilIdle then plays it.
  void QueueKeyDown(int vk);
  void QueueKeyUp(int vk);
  void QueuePress(int vk);
  void QueueMove(int x, int y);
  void QueueClick(int x, int y, int button = InputEvent::Left);
  void QueueMouseDown(int x, int y, int button = InputEvent::Left);
  void QueueMouseUp(int x, int y, int button = InputEvent::Left);
  // Client coordinates of a window to screen coordinates.
  static POINT At(HWND window, int x, int y);

  // Runs every waiting message, paint and due timer; answers how many were dispatched.
  int RunUntilIdle(int limit = 100000);
  // What the program's own message loop does with each message before translating it (MDI
  // keys, accelerators, dialog keys): true when it took the message.
  void PreTranslate(std::function<bool(MSG&)> filter) { preTranslate_ = std::move(filter); }
  // Moves the manual clock on and runs what became due.
  void Advance(DWORD ms);

  // The next message boxes are answered with these results, in order.
  void AnswerMessageBoxes(std::deque<int> answers);
  // Or by a script that sees each box.
  void OnMessageBox(std::function<int(const std::string& text, const std::string& caption, UINT flags)> script);
  const std::vector<std::string>& MessageBoxTexts() const { return boxTexts_; }
  // From now on message boxes wait for real input (keys and clicks, from WhenModalWaits
  // actions) instead of being answered; their texts are still recorded.
  void DriveMessageBoxes() { driveBoxes_ = true; }
  // The message box (or other dialog of the dialog manager) showing now, by caption; null
  // when there is none.
  static HWND FindDialog(const std::string& caption);
  // Answers for modal loops (dialogs, menus, drags) that wait for input: each time a loop
  // has nothing left to do, the next action runs (it may inject input, click a button or
  // post a message); with none left the loop raises an Exception.
  void WhenModalWaits(std::function<void()> action);
  // Forgets the actions no modal loop took (a dialog that was expected and did not come).
  void DropModalActions() { modalActions_.clear(); }

  std::uint32_t Pixel(int x, int y) const;  // 0x00RRGGBB
  // The pixels of a window's caption bar as they are on the screen, row by row.
  std::vector<std::uint32_t> CaptionPixels(HWND window) const;
  bool SaveDesktop(const std::string& path) const;
  bool SaveWindow(HWND window, const std::string& path) const;

  // For a person looking at the screen (the screenshot scripts): with QUILLO_SHOT=<file.bmp>
  // the desktop is saved there, and with QUILLO_DEMO_HOLD_MS=<n> the screen is kept for n
  // milliseconds of real time, which the SDL host shows. Live runs the message loop on the
  // real clock meanwhile, so that moving things move; Still leaves input queued.
  enum class Hold { Still, Live };
  void ShowToViewer(Hold hold = Hold::Still);

  // Queues a host event as it is, without running the loop.
  void Inject(const InputEvent& e);
  // Queues a host event that reaches the program only when it has taken everything before
  // (the loop running until idle, or a modal loop that would wait), as a user's hand at a
  // pace the program follows.
  void InjectPaced(const InputEvent& e) { paced_.push_back(e); }

private:
  std::deque<int> answers_;
  std::function<int(const std::string&, const std::string&, UINT)> script_;
  std::vector<std::string> boxTexts_;
  bool driveBoxes_ = false;
  std::deque<std::function<void()>> modalActions_;
  std::deque<InputEvent> paced_;
  // Hands the next paced event to the host; false when none waits.
  bool FeedPaced();
  std::function<bool(MSG&)> preTranslate_;
};

// Writes a rectangle of a 32-bit surface as a 24-bit BMP file.
bool SaveSurfaceBmp(const Surface& surface, const RECT& area, const std::string& path);
