#pragma once
// What the desktop's clipboard holds: blocks by format in the order they were set, the owner,
// the window that has it open, and the text last exchanged with the host (to tell the host's
// newer text from the program's own).

#include <map>
#include <string>
#include <vector>

#include "platform/user/UserTypes.h"

class ClipboardStore {
public:
  struct Entry {
    UINT format = 0;
    HGLOBAL data = nullptr;  // null: promised, rendered by the owner on request
  };
  bool open = false;
  HWND openWindow = nullptr;
  HWND owner = nullptr;
  bool textChanged = false;  // text set while open: the host hears it on close
  std::string hostEcho;      // the host text the program last gave or took (LF line ends)

  const std::vector<Entry>& Entries() const { return entries_; }
  Entry* Find(UINT format);
  // Replaces the format's block (freeing the old one) or adds it at the end.
  void Put(UINT format, HGLOBAL data);
  void Erase(UINT format);
  void FreeAll();
  // The desktop restarts: nothing stays.
  void Clear();

private:
  std::vector<Entry> entries_;
};

namespace wm {
ClipboardStore& Clipboard();
}
