// The clipboard API over the desktop's ClipboardStore, with the text formats converted into
// one another and text bridged to the host.

#include "platform/user/Clipboard.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "platform/rtl/SysUtils.h"
#include "platform/user/ClipboardStore.h"
#include "platform/user/DesktopScreen.h"
#include "platform/user/Window.h"

ClipboardStore::Entry* ClipboardStore::Find(UINT format) {
  for (Entry& e : entries_)
    if (e.format == format) return &e;
  return nullptr;
}

void ClipboardStore::Put(UINT format, HGLOBAL data) {
  if (Entry* e = Find(format)) {
    if (e->data && e->data != data) GlobalFree(e->data);
    e->data = data;
    return;
  }
  entries_.push_back(Entry{format, data});
}

void ClipboardStore::Erase(UINT format) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it)
    if (it->format == format) {
      if (it->data) GlobalFree(it->data);
      entries_.erase(it);
      return;
    }
}

void ClipboardStore::FreeAll() {
  for (Entry& e : entries_)
    if (e.data) GlobalFree(e.data);
  entries_.clear();
}

void ClipboardStore::Clear() {
  FreeAll();
  open = false;
  openWindow = owner = nullptr;
  textChanged = false;
  hostEcho.clear();
}

namespace {

bool IsText(UINT format) { return format == CF_TEXT || format == CF_UNICODETEXT || format == CF_OEMTEXT; }

// The bytes of a block up to its first zero (or its end).
std::string BlockText(HGLOBAL block) {
  const char* p = static_cast<const char*>(GlobalLock(block));
  if (!p) return {};
  SIZE_T size = GlobalSize(block);
  std::string text(p, strnlen(p, size));
  GlobalUnlock(block);
  return text;
}

std::u16string BlockText16(HGLOBAL block) {
  const unsigned char* p = static_cast<const unsigned char*>(GlobalLock(block));
  if (!p) return {};
  SIZE_T units = GlobalSize(block) / 2;
  std::u16string text;
  for (SIZE_T i = 0; i < units; ++i) {
    char16_t u = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
    if (!u) break;
    text.push_back(u);
  }
  GlobalUnlock(block);
  return text;
}

HGLOBAL MakeBlock(const void* bytes, SIZE_T size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return nullptr;
  std::memcpy(GlobalLock(block), bytes, size);
  GlobalUnlock(block);
  return block;
}

HGLOBAL TextBlock(const std::string& text) { return MakeBlock(text.c_str(), text.size() + 1); }

HGLOBAL Text16Block(const std::u16string& text) {
  std::string bytes;
  for (char16_t u : text) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  bytes.append(2, '\0');
  return MakeBlock(bytes.data(), bytes.size());
}

// UTF-8 to UTF-16; a byte that is not part of valid UTF-8 stands for itself (Latin-1).
std::u16string ToUtf16(const std::string& s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    bool valid = n > 0 && i + n <= s.size();
    for (int k = 1; valid && k < n; ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      valid = (t & 0xC0) == 0x80;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (!valid || cp > 0x10FFFF || (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) || (n == 2 && cp < 0x80)) {
      out.push_back(c);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += n;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string ToUtf8(const std::u16string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;  // a lone surrogate
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string ToHostLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out.push_back(text[i]);
  return out;
}

std::string FromHostLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}

Host* DisplayHost() {
  EnsureDesktop();
  return wm::Screen().Display();
}

void TellOwnerItIsGone(ClipboardStore& store) {
  HWND old = store.owner;
  store.owner = nullptr;
  if (old && LiveWindow(old)) SendMessage(old, WM_DESTROYCLIPBOARD, 0, 0);
}

// Host text that the program neither gave nor took yet is newer than what the program holds:
// it replaces the program's clipboard (while no one has it open).
void TakeNewerHostText() {
  ClipboardStore& store = wm::Clipboard();
  Host* host = DisplayHost();
  std::string text;
  if (store.open || !host || !host->GetClipboardText(text) || text.empty() || text == store.hostEcho) return;
  store.hostEcho = text;
  TellOwnerItIsGone(store);
  store.FreeAll();
  if (HGLOBAL block = TextBlock(FromHostLines(text))) store.Put(CF_TEXT, block);
}

// The text of the clipboard as UTF-8, from whichever text format it holds; promised text is
// rendered only when asked to.
enum class Promised { Render, Skip };
bool ClipboardTextNow(std::string& out, Promised promised = Promised::Render) {
  ClipboardStore& store = wm::Clipboard();
  for (UINT f : {CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT}) {
    ClipboardStore::Entry* e = store.Find(f);
    if (!e) continue;
    if (!e->data && promised == Promised::Skip) return false;
    if (!e->data && store.owner && LiveWindow(store.owner)) SendMessage(store.owner, WM_RENDERFORMAT, f, 0);
    e = store.Find(f);
    if (!e || !e->data) continue;
    out = f == CF_UNICODETEXT ? ToUtf8(BlockText16(e->data)) : BlockText(e->data);
    return true;
  }
  return false;
}

bool HasText(ClipboardStore& store) {
  return store.Find(CF_TEXT) || store.Find(CF_UNICODETEXT) || store.Find(CF_OEMTEXT);
}

}  // namespace

BOOL OpenClipboard(HWND window) {
  if (window && !LiveWindow(window)) return FALSE;
  ClipboardStore& store = wm::Clipboard();
  if (store.open) return store.openWindow == window ? TRUE : FALSE;
  TakeNewerHostText();
  store.open = true;
  store.openWindow = window;
  store.textChanged = false;
  return TRUE;
}

BOOL CloseClipboard() {
  ClipboardStore& store = wm::Clipboard();
  if (!store.open) return FALSE;
  store.open = false;
  store.openWindow = nullptr;
  if (store.textChanged) {
    store.textChanged = false;
    std::string text;
    Host* host = DisplayHost();
    // Promised text reaches the host only once someone asks for it.
    if (host && ClipboardTextNow(text, Promised::Skip)) {
      store.hostEcho = ToHostLines(text);
      host->SetClipboardText(store.hostEcho);
    }
  }
  return TRUE;
}

BOOL EmptyClipboard() {
  ClipboardStore& store = wm::Clipboard();
  if (!store.open) return FALSE;
  TellOwnerItIsGone(store);
  store.FreeAll();
  store.owner = store.openWindow;
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  ClipboardStore& store = wm::Clipboard();
  if (!store.open || format == 0) return nullptr;
  if (data) {
    if (!GlobalLock(data)) return nullptr;  // not a block
    GlobalUnlock(data);
  }
  // One text stays: another text format set now replaces the ones converted from it.
  if (IsText(format))
    for (UINT f : {CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT})
      if (f != format) store.Erase(f);
  store.Put(format, data);
  if (IsText(format)) store.textChanged = true;
  return data;
}

HANDLE GetClipboardData(UINT format) {
  ClipboardStore& store = wm::Clipboard();
  if (!store.open) return nullptr;
  if (ClipboardStore::Entry* e = store.Find(format)) {
    if (!e->data && store.owner && LiveWindow(store.owner)) SendMessage(store.owner, WM_RENDERFORMAT, format, 0);
    e = store.Find(format);
    return e ? e->data : nullptr;
  }
  if (!IsText(format) || !HasText(store)) return nullptr;
  std::string text;
  if (!ClipboardTextNow(text)) return nullptr;
  HGLOBAL block = format == CF_UNICODETEXT ? Text16Block(ToUtf16(text)) : TextBlock(text);
  if (block) store.Put(format, block);  // the clipboard keeps the converted copy
  return block;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  TakeNewerHostText();
  ClipboardStore& store = wm::Clipboard();
  if (store.Find(format)) return TRUE;
  return IsText(format) && HasText(store) ? TRUE : FALSE;
}

int CountClipboardFormats() {
  TakeNewerHostText();
  return static_cast<int>(wm::Clipboard().Entries().size());
}

UINT EnumClipboardFormats(UINT format) {
  ClipboardStore& store = wm::Clipboard();
  if (!store.open) return 0;
  bool after = format == 0;
  for (const ClipboardStore::Entry& e : store.Entries()) {
    if (after) return e.format;
    if (e.format == format) after = true;
  }
  return 0;
}

namespace {
struct FormatName {
  UINT value;
  std::string name;  // as first registered
};
// By the name in upper case: names compare without regard to case.
std::map<std::string, FormatName>& FormatNames() {
  static std::map<std::string, FormatName> names;
  return names;
}
}  // namespace

UINT RegisterClipboardFormat(LPCSTR name) {
  if (!name || !*name) return 0;
  auto& names = FormatNames();
  const std::string key = UpperCase(name);
  auto it = names.find(key);
  if (it != names.end()) return it->second.value;
  UINT next = 0xC000 + static_cast<UINT>(names.size());
  if (next > 0xFFFF) return 0;
  names[key] = FormatName{next, name};
  return next;
}

int GetClipboardFormatName(UINT format, LPSTR out, int size) {
  if (!out || size <= 0) return 0;
  for (const auto& [key, entry] : FormatNames()) {
    if (entry.value != format) continue;
    int n = std::min<int>(static_cast<int>(entry.name.size()), size - 1);
    std::memcpy(out, entry.name.data(), static_cast<size_t>(n));
    out[n] = '\0';
    return n;
  }
  return 0;
}

HWND GetClipboardOwner() {
  HWND owner = wm::Clipboard().owner;
  return owner && LiveWindow(owner) ? owner : nullptr;
}

HWND GetOpenClipboardWindow() {
  const ClipboardStore& store = wm::Clipboard();
  return store.open ? store.openWindow : nullptr;
}
