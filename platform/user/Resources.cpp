// Finding embedded resources by module, type and name, and the loaders built on them.

#include "platform/user/Resources.h"

#include <sys/auxv.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/rtl/Everlasting.h"
#include "platform/rtl/Module.h"
#include "platform/rtl/SysUtils.h"
#include "platform/gdi/DibFile.h"
#include "platform/user/User.h"

namespace {

struct Entry {
  const EmbeddedResource* resource;
  std::string type;  // upper case, or "#n" for a numbered type
  std::string name;  // upper case, or "#n" for a numbered name
};

std::map<HMODULE, std::vector<Entry>>& Tables() {
  static Everlasting<std::map<HMODULE, std::vector<Entry>>> tables;
  return *tables;
}

// "#n" for a numbered type or name.
std::string Numbered(std::uintptr_t n) {
  std::string out(1, '#');
  out += std::to_string(n);
  return out;
}

std::string Key(LPCSTR id) {
  if (!id) return "";
  if (IS_INTRESOURCE(id)) return Numbered(reinterpret_cast<std::uintptr_t>(id));
  if (id[0] == '#') return id;  // "#123" names a number
  return UpperCase(id);
}

// A file's type: its folder when it has one, else its extension.
std::string TypeOf(const std::string& path) {
  size_t slash = path.find('/');
  std::string folder = slash == std::string::npos ? "" : UpperCase(path.substr(0, slash));
  std::string ext;
  size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > path.rfind('/'))) ext = UpperCase(path.substr(dot + 1));
  if (folder == "BITMAPS" || ext == "BMP") return Key(RT_BITMAP);
  if (folder == "CURSORS" || ext == "CUR" || ext == "ANI") return Key(RT_GROUP_CURSOR);
  if (folder == "ICONS" || ext == "ICO") return Key(RT_GROUP_ICON);
  if (folder == "STRINGS" || (ext == "TXT" && folder.empty())) return Key(RT_STRING);
  if (!folder.empty()) return folder;
  return Key(RT_RCDATA);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = file.rfind('.');
  if (dot != std::string::npos) file = file.substr(0, dot);
  bool digits = !file.empty() && file.size() <= 9 && file.find_first_not_of("0123456789") == std::string::npos;
  return digits ? Numbered(std::stoul(file)) : UpperCase(file);
}

HMODULE Normalize(HMODULE module) { return module ? module : ProgramModule(); }

}  // namespace

HMODULE ProgramModule() {
  return ModuleOfAddress(reinterpret_cast<const void*>(::getauxval(AT_PHDR)));
}

bool RegisterModuleResources(const char*, const EmbeddedResource* table) {
  HMODULE module = ModuleOfAddress(table);
  auto& entries = Tables()[module];
  for (const EmbeddedResource* r = table; r && r->path; ++r) entries.push_back(Entry{r, TypeOf(r->path), NameOf(r->path)});
  return true;
}

HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type) {
  auto it = Tables().find(Normalize(module));
  if (it == Tables().end()) return nullptr;
  std::string n = Key(name), t = Key(type);
  // A cursor or icon may be asked for by its single-image type too.
  if (t == Key(RT_CURSOR)) t = Key(RT_GROUP_CURSOR);
  if (t == Key(RT_ICON)) t = Key(RT_GROUP_ICON);
  for (const Entry& e : it->second)
    if (e.name == n && e.type == t) return e.resource;
  return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) { return resource ? resource->data : nullptr; }
const void* LockResource(HGLOBAL data) { return data; }
DWORD SizeofResource(HMODULE, HRSRC resource) { return resource ? static_cast<DWORD>(resource->size) : 0; }
BOOL FreeResource(HGLOBAL) { return FALSE; }

HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name) {
  HRSRC r = FindResource(instance, name, RT_BITMAP);
  BmpFileImage image;
  if (!r || !ReadBmpFile(r->data, r->size, image)) return nullptr;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(image.info.data());
  HBITMAP bitmap = CreateCompatibleBitmap(nullptr, image.width, image.height);
  if (bitmap && SetDIBits(nullptr, bitmap, 0, static_cast<UINT>(image.height), image.bits, info, DIB_RGB_COLORS) == 0) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

// String tables are text files of "id=text" lines; \n in the text is a line break.
int LoadString(HINSTANCE instance, UINT id, LPSTR out, int size) {
  if (!out || size <= 0) return 0;
  out[0] = 0;
  auto it = Tables().find(Normalize(instance));
  if (it == Tables().end()) return 0;
  for (const Entry& e : it->second) {
    if (e.type != Key(RT_STRING)) continue;
    std::string text(reinterpret_cast<const char*>(e.resource->data), e.resource->size);
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
      pos = end == std::string::npos ? text.size() : end + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      size_t eq = line.find('=');
      if (eq == std::string::npos || eq == 0 || eq > 9 || line.substr(0, eq).find_first_not_of("0123456789") != std::string::npos) continue;
      if (std::stoul(line.substr(0, eq)) != id) continue;
      std::string value;
      for (size_t i = eq + 1; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == 'n') {
          value += '\n';
          ++i;
        } else {
          value += line[i];
        }
      }
      int n = std::min<int>(static_cast<int>(value.size()), size - 1);
      std::memcpy(out, value.data(), n);
      out[n] = 0;
      return n;
    }
  }
  return 0;
}
