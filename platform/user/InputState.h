#pragma once
// What the window manager remembers of the user's input: the key state table, where the
// cursor is, the last click (for double clicks) and the windows asking to hear when the
// mouse leaves them (TrackMouseEvent).

#include "platform/user/UserTypes.h"

struct ClickMemory {
  HWND window = nullptr;
  UINT message = 0;
  DWORD time = 0;
  POINT at;
};

enum class MousePart { Client, NonClient };

// A place the pointer passed, in screen coordinates, and when.
struct PointerPlace {
  POINT at;
  DWORD time = 0;
};

class InputState {
 public:
  // A key's state byte: 0x80 while it is down, bit 0 toggled by each fresh press.
  BYTE Key(int vk) const { return keys_[vk & 0xFF]; }
  bool IsDown(int vk) const { return (Key(vk) & 0x80) != 0; }
  // A press toggles the key unless it repeats one already down.
  void Press(int vk, bool repeat);
  void Release(int vk);

  POINT CursorPos() const { return cursorPos_; }
  void SetCursorPos(POINT at) { cursorPos_ = at; }

  // The places the pointer passed, the newest last; the oldest go beyond kTrailLength.
  static constexpr int kTrailLength = 64;
  void NotePointer(const PointerPlace& place);
  int TrailCount() const { return trailCount_; }
  const PointerPlace& TrailFromNewest(int i) const { return trail_[(trailNext_ + kTrailLength - 1 - i) % kTrailLength]; }

  const ClickMemory& LastClick() const { return lastClick_; }
  void RememberClick(const ClickMemory& click) { lastClick_ = click; }

  HWND LeaveTracked(MousePart part) const { return part == MousePart::Client ? trackLeave_ : trackNcLeave_; }
  void TrackLeave(MousePart part, HWND window) { (part == MousePart::Client ? trackLeave_ : trackNcLeave_) = window; }

  // A window going away is neither tracked nor remembered as clicked.
  void Forget(HWND window);
  // The desktop ends: no key is down, nothing is tracked or remembered; the cursor stays.
  void Clear();

 private:
  BYTE keys_[256] = {};
  POINT cursorPos_;
  ClickMemory lastClick_;
  PointerPlace trail_[kTrailLength];
  int trailNext_ = 0;
  int trailCount_ = 0;
  HWND trackLeave_ = nullptr;
  HWND trackNcLeave_ = nullptr;
};

namespace wm {
InputState& Input();
}
