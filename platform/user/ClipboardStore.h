#pragma once
// What the desktop's clipboard holds: data by format in the order they were set, then the
// conversions made from them on request; the owner, the window that has it open, and what was
// last exchanged with the host (to tell the host's newer data from the program's own).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/user/UserTypes.h"

class ClipboardStore {
public:
  struct Entry {
    UINT format = 0;
    HGLOBAL data = nullptr;    // null: promised, rendered by the owner on request
    bool converted = false;    // made by the clipboard from another format
  };
  bool open = false;
  HWND openWindow = nullptr;
  HWND owner = nullptr;
  bool textChanged = false;   // text set while open: the host hears it on close
  bool imageChanged = false;  // a picture set while open: likewise
  std::string hostEcho;       // the host text the program last gave or took (LF line ends)
  std::size_t hostImageEcho = 0;  // a digest of the host picture last given or taken
  std::uint64_t hostSerial = 0;   // the host clipboard's serial then (0: the host cannot tell)

  const std::vector<Entry>& Entries() const { return entries_; }
  // Changes whenever data are set or taken away (not when the clipboard converts them).
  std::uint64_t ContentSerial() const { return contentSerial_; }
  Entry* Find(UINT format);
  // Replaces the format's data (freeing the old) or adds it at the end.
  void Put(UINT format, HGLOBAL data, bool converted = false);
  void Erase(UINT format);
  // Frees what the clipboard made in the formats of a family (text, pictures), so data set
  // anew are converted afresh.
  void EraseConverted(bool (*family)(UINT format));
  void FreeAll();
  // The desktop restarts: nothing stays.
  void Clear();

private:
  std::vector<Entry> entries_;
  std::uint64_t contentSerial_ = 0;
};

// Frees the data of a format as the clipboard owns it: GDI objects (CF_BITMAP, CF_PALETTE,
// the private GDI range) are deleted, memory blocks freed, and the private range left to its
// owner.
void FreeClipboardData(UINT format, HGLOBAL data);
// Whether a format's data is a GDI object rather than a memory block.
bool IsGdiClipboardFormat(UINT format);
bool IsPrivateClipboardFormat(UINT format);

// A window that owns the clipboard is being destroyed: it renders what it promised first.
void ClipboardOwnerLeaving(HWND window);

namespace wm {
ClipboardStore& Clipboard();
}
