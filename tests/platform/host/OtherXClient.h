#pragma once
// Another program on the same X screen as the program under test: a connection of its own,
// windows of one colour each, the window manager's word on which window is active, keys
// pressed on the server's keyboard (XTEST) and key grabs of its own. Kept apart from the
// tests, since Xlib's macros clash with the test framework's names.

#include <string>
#include <vector>

struct _XDisplay;

class OtherXClient {
public:
  // Modifiers of a key grab.
  enum Modifier : unsigned { Control = 1, Alt = 2, Shift = 4, CapsLock = 8 };

  OtherXClient();
  ~OtherXClient();
  OtherXClient(const OtherXClient&) = delete;
  OtherXClient& operator=(const OtherXClient&) = delete;

  bool Ready() const { return display_ != nullptr; }

  // A window of one colour (0xRRGGBB), shown on top, inside parent when given (a frame's
  // client); returns once the server shows it.
  unsigned long Show(int x, int y, int width, int height, unsigned long colour, unsigned long parent = 0);
  void Move(unsigned long window, int x, int y);
  // As a window manager would: the window is the active one, and has the keyboard.
  void Activate(unsigned long window);
  // Presses the keys (by their X names: "Control_L", "k") in order, then lets go in reverse.
  void Chord(const std::vector<std::string>& keys);
  // Whether this client could take the combination for itself (and lets it go again).
  bool CanGrab(const std::string& key, unsigned modifiers);
  void Hold(const std::string& key, unsigned modifiers);
  void LetGo(const std::string& key, unsigned modifiers);
  // Switches the keyboard to another group of its layouts.
  void LockGroup(int group);
  // How many windows the root holds on the screen.
  int ViewableTopLevels();

private:
  _XDisplay* display_ = nullptr;
};
