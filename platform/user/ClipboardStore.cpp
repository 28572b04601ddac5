// The desktop's clipboard contents and who owns them.

#include "platform/user/ClipboardStore.h"

#include "platform/gdi/Gdi.h"
#include "platform/rtl/GlobalMemory.h"
#include "platform/user/Clipboard.h"
#include "platform/user/Window.h"

namespace {
constexpr UINT CF_DSPBITMAP = 0x0082, CF_PRIVATEFIRST = 0x0200, CF_PRIVATELAST = 0x02FF,
               CF_GDIOBJFIRST = 0x0300, CF_GDIOBJLAST = 0x03FF;
}

bool IsGdiClipboardFormat(UINT format) {
  return format == CF_BITMAP || format == CF_PALETTE || format == CF_DSPBITMAP ||
         (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST);
}

bool IsPrivateClipboardFormat(UINT format) { return format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST; }

void FreeClipboardData(UINT format, HGLOBAL data) {
  if (!data || IsPrivateClipboardFormat(format)) return;
  if (IsGdiClipboardFormat(format))
    DeleteObject(static_cast<HGDIOBJ>(const_cast<void*>(data)));
  else
    GlobalFree(data);
}

ClipboardStore::Entry* ClipboardStore::Find(UINT format) {
  for (Entry& e : entries_)
    if (e.format == format) return &e;
  return nullptr;
}

void ClipboardStore::Put(UINT format, HGLOBAL data, bool converted) {
  if (!converted) ++contentSerial_;
  if (Entry* e = Find(format)) {
    if (e->data != data) FreeClipboardData(format, e->data);
    e->data = data;
    e->converted = converted;
    return;
  }
  entries_.push_back(Entry{format, data, converted});
}

void ClipboardStore::Erase(UINT format) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it)
    if (it->format == format) {
      if (!it->converted) ++contentSerial_;
      FreeClipboardData(format, it->data);
      entries_.erase(it);
      return;
    }
}

void ClipboardStore::EraseConverted(bool (*family)(UINT format)) {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->converted && family(it->format)) {
      FreeClipboardData(it->format, it->data);
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
}

void ClipboardStore::FreeAll() {
  ++contentSerial_;
  for (Entry& e : entries_) FreeClipboardData(e.format, e.data);
  entries_.clear();
}

void ClipboardStore::Clear() {
  FreeAll();
  open = false;
  openWindow = owner = nullptr;
  textChanged = imageChanged = false;
  hostEcho.clear();
  hostImageEcho = 0;
  hostSerial = 0;
}

void ClipboardOwnerLeaving(HWND window) {
  ClipboardStore& store = wm::Clipboard();
  if (!window || store.owner != window) return;
  bool promised = false;
  for (const ClipboardStore::Entry& e : store.Entries()) promised = promised || !e.data;
  if (promised) SendMessage(window, WM_RENDERALLFORMATS, 0, 0);
  // What it still did not render cannot be had any more.
  std::vector<UINT> gone;
  for (const ClipboardStore::Entry& e : store.Entries())
    if (!e.data) gone.push_back(e.format);
  for (UINT f : gone) store.Erase(f);
}
