// The clipboard API over the desktop's ClipboardStore, with the text formats converted into
// one another, pictures converted between CF_DIB, CF_BITMAP and CF_PALETTE, and text and
// pictures bridged to the host.

#include "platform/user/Clipboard.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/rtl/Everlasting.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/ClipboardImage.h"
#include "platform/user/ClipboardStore.h"
#include "platform/user/DesktopImageFile.h"
#include "platform/user/DesktopScreen.h"
#include "platform/user/Window.h"

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

bool IsPicture(UINT format) { return format == CF_DIB || format == CF_BITMAP || format == CF_PALETTE; }

// The picture types asked of the host, best first: PNG keeps transparency.
const std::vector<std::string>& HostPictureTypes() {
  static const std::vector<std::string> types{"image/png", "image/bmp", "image/x-bmp", "image/x-MS-bmp"};
  return types;
}

std::size_t Digest(const std::vector<std::uint8_t>& bytes) {
  return std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())) ^
         bytes.size();
}

// A picture file of the host's as a packed DIB; empty when it cannot be read.
std::vector<std::uint8_t> DibOfHostFile(const Host::ClipboardFile& file) {
  std::vector<std::uint8_t> dib;
  const bool png = file.type == "image/png";
  if (png ? PackedDibFromPngFile(file.bytes.data(), file.bytes.size(), dib)
          : PackedDibFromBmpFile(file.bytes.data(), file.bytes.size(), dib))
    return dib;
  return {};
}

// Host data that the program neither gave nor took yet are newer than what the program
// holds: they replace the program's clipboard (while no one has it open). A picture the
// host holds that cannot be read is passed over, and only its text (if any) comes in. A host
// that counts its clipboard's changes is read only after a change.
void TakeNewerHostData() {
  ClipboardStore& store = wm::Clipboard();
  Host* host = DisplayHost();
  if (store.open || !host) return;
  const std::uint64_t serial = host->ClipboardSerial();
  if (serial != 0 && serial == store.hostSerial) return;
  store.hostSerial = serial;
  std::string text;
  const bool hasText = host->GetClipboardText(text) && !text.empty();
  Host::ClipboardFile file;
  const bool hasPicture = host->GetClipboardFile(HostPictureTypes(), file) && !file.bytes.empty();
  const std::size_t digest = hasPicture ? Digest(file.bytes) : 0;
  const bool newText = hasText && text != store.hostEcho;
  const bool newPicture = hasPicture && digest != store.hostImageEcho;
  if (!newText && !newPicture) return;
  store.hostEcho = hasText ? text : std::string();
  store.hostImageEcho = digest;
  TellOwnerItIsGone(store);
  store.FreeAll();
  if (hasPicture) {
    const std::vector<std::uint8_t> dib = DibOfHostFile(file);
    if (!dib.empty())
      if (HGLOBAL block = BlockOf(dib)) store.Put(CF_DIB, block);
  }
  if (hasText)
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

// The data of a format the clipboard holds as set (or converted), rendered first when it
// was promised; null when there are none.
HGLOBAL DataNow(UINT format) {
  ClipboardStore& store = wm::Clipboard();
  ClipboardStore::Entry* e = store.Find(format);
  if (!e) return nullptr;
  if (!e->data && store.owner && LiveWindow(store.owner)) SendMessage(store.owner, WM_RENDERFORMAT, format, 0);
  e = store.Find(format);
  return e ? e->data : nullptr;
}

// A picture format made from another that the clipboard holds: CF_BITMAP from CF_DIB,
// CF_DIB from CF_BITMAP (with the colours of a CF_PALETTE set beside it), CF_PALETTE from
// the colour table of CF_DIB. Null when the source is missing or damaged.
HGLOBAL ConvertPicture(UINT format) {
  ClipboardStore& store = wm::Clipboard();
  HGLOBAL made = nullptr;
  if (format == CF_BITMAP || format == CF_PALETTE) {
    if (!store.Find(CF_DIB)) return nullptr;
    const std::vector<std::uint8_t> dib = BlockBytes(DataNow(CF_DIB));
    made = format == CF_BITMAP ? static_cast<HGLOBAL>(BitmapFromPackedDib(dib.data(), dib.size()))
                               : static_cast<HGLOBAL>(PaletteFromPackedDib(dib.data(), dib.size()));
  } else if (format == CF_DIB) {
    if (!store.Find(CF_BITMAP)) return nullptr;
    HGLOBAL bitmap = DataNow(CF_BITMAP);
    const ClipboardStore::Entry* palette = store.Find(CF_PALETTE);
    HGLOBAL colours = palette && !palette->converted ? DataNow(CF_PALETTE) : nullptr;
    const std::vector<std::uint8_t> dib =
        PackedDibFromBitmap(static_cast<HBITMAP>(const_cast<void*>(bitmap)), static_cast<HPALETTE>(const_cast<void*>(colours)));
    if (!dib.empty()) made = BlockOf(dib);
  }
  if (made) store.Put(format, made, true);
  return made;
}

bool PictureAvailable(ClipboardStore& store, UINT format) {
  if (format == CF_BITMAP) return store.Find(CF_DIB) != nullptr;
  if (format == CF_DIB) return store.Find(CF_BITMAP) != nullptr;
  if (format == CF_PALETTE) {
    // Only a DIB with a colour table gives a palette; a promised one may.
    const ClipboardStore::Entry* dib = store.Find(CF_DIB);
    if (!dib) return false;
    if (!dib->data) return true;
    const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(dib->data));
    PackedDibLayout layout;
    const bool table = bytes && ReadPackedDibLayout(bytes, GlobalSize(dib->data), layout) && layout.tableEntries > 0;
    GlobalUnlock(dib->data);
    return table;
  }
  return false;
}

bool Available(ClipboardStore& store, UINT format) {
  if (store.Find(format)) return true;
  if (IsText(format)) return HasText(store);
  return IsPicture(format) && PictureAvailable(store, format);
}

// Every format the clipboard can give: those set and converted, then the pictures it can
// make from them.
std::vector<UINT> AvailableFormats(ClipboardStore& store) {
  std::vector<UINT> formats;
  for (const ClipboardStore::Entry& e : store.Entries()) formats.push_back(e.format);
  for (UINT f : {CF_BITMAP, CF_DIB, CF_PALETTE})
    if (!store.Find(f) && PictureAvailable(store, f)) formats.push_back(f);
  return formats;
}

// The data a SetClipboardData call may hand over for the format: GDI objects for the GDI
// formats, anything for the private range, memory blocks for the rest.
bool AcceptableData(UINT format, HGLOBAL data) {
  if (!data || IsPrivateClipboardFormat(format)) return true;
  HGDIOBJ object = static_cast<HGDIOBJ>(const_cast<void*>(data));
  if (format == CF_BITMAP) return GetObjectType(object) == OBJ_BITMAP;
  if (format == CF_PALETTE) return GetObjectType(object) == OBJ_PAL;
  if (IsGdiClipboardFormat(format)) return GetObjectType(object) != 0;
  if (!GlobalLock(data)) return false;
  GlobalUnlock(data);
  return true;
}

// The picture the program put on the clipboard as a packed DIB; empty when it holds no
// picture with data.
std::vector<std::uint8_t> PictureDib(ClipboardStore& store) {
  if (ClipboardStore::Entry* e = store.Find(CF_DIB); e && e->data) return BlockBytes(e->data);
  if (ClipboardStore::Entry* b = store.Find(CF_BITMAP); b && b->data) {
    const ClipboardStore::Entry* p = store.Find(CF_PALETTE);
    return PackedDibFromBitmap(static_cast<HBITMAP>(const_cast<void*>(b->data)),
                               p && p->data ? static_cast<HPALETTE>(const_cast<void*>(p->data)) : nullptr);
  }
  return {};
}

bool HoldsPicture(ClipboardStore& store) {
  const ClipboardStore::Entry* dib = store.Find(CF_DIB);
  const ClipboardStore::Entry* bitmap = store.Find(CF_BITMAP);
  return (dib && dib->data) || (bitmap && bitmap->data);
}

// The picture the program put on the clipboard, offered to the host as PNG and BMP files that
// are made only when another program asks, from the clipboard as it is then: nothing once
// the program's clipboard has changed (a promised picture reaches the host once rendered).
Host::ClipboardPicture PictureForHost(ClipboardStore& store) {
  Host::ClipboardPicture picture;
  if (!HoldsPicture(store)) return picture;
  picture.types = {"image/png", "image/bmp"};
  picture.render = [offered = store.ContentSerial()](const std::string& type) {
    ClipboardStore& now = wm::Clipboard();
    if (now.ContentSerial() != offered) return std::vector<std::uint8_t>();
    const std::vector<std::uint8_t> dib = PictureDib(now);
    if (dib.empty()) return dib;
    return type == "image/png" ? PngFileFromPackedDib(dib.data(), dib.size())
                               : BmpFileFromPackedDib(dib.data(), dib.size());
  };
  return picture;
}

}  // namespace

BOOL OpenClipboard(HWND window) {
  if (window && !LiveWindow(window)) return FALSE;
  ClipboardStore& store = wm::Clipboard();
  if (store.open) return store.openWindow == window ? TRUE : FALSE;
  TakeNewerHostData();
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
  if (store.textChanged || store.imageChanged) {
    store.textChanged = store.imageChanged = false;
    Host* host = DisplayHost();
    std::string text;
    // Promised data reach the host only once someone asks for them.
    const bool hasText = host && ClipboardTextNow(text, Promised::Skip);
    Host::ClipboardPicture picture = host ? PictureForHost(store) : Host::ClipboardPicture();
    if (hasText || !picture.types.empty()) {
      store.hostEcho = hasText ? ToHostLines(text) : std::string();
      store.hostImageEcho = 0;
      host->OfferClipboardContent(hasText ? &store.hostEcho : nullptr, std::move(picture));
      store.hostSerial = host->ClipboardSerial();
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
  if (!store.open || format == 0 || !AcceptableData(format, data)) return nullptr;
  // One text stays: another text format set now replaces the ones converted from it.
  if (IsText(format))
    for (UINT f : {CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT})
      if (f != format) store.Erase(f);
  // Pictures made from the ones set before are made again from the new.
  if (IsPicture(format)) store.EraseConverted(IsPicture);
  store.Put(format, data);
  if (IsText(format)) store.textChanged = true;
  if ((format == CF_DIB || format == CF_BITMAP) && data) store.imageChanged = true;
  return data;
}

HANDLE GetClipboardData(UINT format) {
  ClipboardStore& store = wm::Clipboard();
  if (!store.open) return nullptr;
  if (store.Find(format)) return DataNow(format);
  if (IsPicture(format)) return ConvertPicture(format);
  if (!IsText(format) || !HasText(store)) return nullptr;
  std::string text;
  if (!ClipboardTextNow(text)) return nullptr;
  HGLOBAL block = format == CF_UNICODETEXT ? Text16Block(ToUtf16(text)) : TextBlock(text);
  if (block) store.Put(format, block, true);  // the clipboard keeps the converted copy
  return block;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  TakeNewerHostData();
  return Available(wm::Clipboard(), format) ? TRUE : FALSE;
}

int CountClipboardFormats() {
  TakeNewerHostData();
  return static_cast<int>(AvailableFormats(wm::Clipboard()).size());
}

UINT EnumClipboardFormats(UINT format) {
  ClipboardStore& store = wm::Clipboard();
  if (!store.open) return 0;
  const std::vector<UINT> formats = AvailableFormats(store);
  if (format == 0) return formats.empty() ? 0 : formats.front();
  auto it = std::find(formats.begin(), formats.end(), format);
  return it == formats.end() || ++it == formats.end() ? 0 : *it;
}

namespace {
struct FormatName {
  UINT value;
  std::string name;  // as first registered
};
// By the name in upper case: names compare without regard to case.
std::map<std::string, FormatName>& FormatNames() {
  static Everlasting<std::map<std::string, FormatName>> names;
  return *names;
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
