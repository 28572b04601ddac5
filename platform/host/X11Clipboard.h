#pragma once
// The user's clipboard on an X display, spoken to over a connection of its own (SDL bridges
// only text, and answers requests for its own window itself). It offers the program's text
// and pictures to other X programs (TARGETS, text as UTF8_STRING, STRING and text/plain,
// pictures by MIME type, large ones in INCR steps) and reads theirs. What it read is kept
// until the XFixes extension says another program took the clipboard.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/Host.h"

class X11Clipboard {
public:
  // Null when there is no X display or the program was built without X.
  static std::unique_ptr<X11Clipboard> Open();
  ~X11Clipboard();
  X11Clipboard(const X11Clipboard&) = delete;
  X11Clipboard& operator=(const X11Clipboard&) = delete;

  // Takes the clipboard for what is given; false when the display refused it. The picture's
  // files are made when first asked for, and kept while the clipboard is ours.
  bool SetContent(const std::string* text, Host::ClipboardPicture picture);
  bool GetText(std::string& out);
  bool GetFile(const std::vector<std::string>& types, Host::ClipboardFile& out);
  // Counts the changes of the clipboard; 0 when another program holds it and the display
  // cannot say when that changes (no XFixes).
  std::uint64_t Serial();
  // Answers the requests of other programs waiting now (never blocks).
  void Serve();
  // Whether there may be requests to answer: while it owns the clipboard or sends data.
  bool Busy() const;

  struct State;

private:
  explicit X11Clipboard(std::unique_ptr<State> state);
  std::unique_ptr<State> s_;
};
