#include "platform/dialogs/FileInfo.h"

#include <sys/stat.h>

#include <array>
#include <cstring>
#include <map>

#include "platform/dialogs/FileDialogFolder.h"

namespace {

// The pictures, 16 by 16, one character a pixel: '.' transparent, the others colours below.
// The 32-pixel list doubles them.
constexpr std::array<const char*, static_cast<int>(FileIcon::Count)> kPictures = {
    // Folder
    "................"
    "................"
    "..kkkkk........."
    ".kYYYYYk........"
    "kYWWWWWYkkkkkkk."
    "kWYYYYYYYYYYYYk."
    "kWYYYYYYYYYYYYkd"
    "kWYYYYYYYYYYYYkd"
    "kWYYYYYYYYYYYYkd"
    "kWYYYYYYYYYYYYkd"
    "kWYYYYYYYYYYYYkd"
    "kWYYYYYYYYYYYYkd"
    "kYYYYYYYYYYYYYkd"
    "kkkkkkkkkkkkkkkd"
    ".ddddddddddddddd"
    "................",
    // OpenFolder
    "................"
    "................"
    "..kkkkk........."
    ".kYYYYYk........"
    "kYWWWWWYkkkkkk.."
    "kWYYYYYYYYYYYk.."
    "kWYYkkkkkkkkkkkk"
    "kWYkWWWWWWWWWWWk"
    "kWkWYYYYYYYYYYk."
    "kYkWYYYYYYYYYYk."
    "kkWYYYYYYYYYYk.."
    "kkWYYYYYYYYYYk.."
    "kWYYYYYYYYYYk..."
    "kkkkkkkkkkkkk..."
    "................"
    "................",
    // Document
    "..kkkkkkkkk....."
    "..kWWWWWWWkk...."
    "..kWWWWWWWkWk..."
    "..kWWWWWWWkWWk.."
    "..kWWWWWWWkkkkk."
    "..kWWWWWWWWWWWkd"
    "..kWGGGGGGGGWWkd"
    "..kWWWWWWWWWWWkd"
    "..kWGGGGGGGGGWkd"
    "..kWWWWWWWWWWWkd"
    "..kWGGGGGGGGGWkd"
    "..kWWWWWWWWWWWkd"
    "..kWGGGGGWWWWWkd"
    "..kWWWWWWWWWWWkd"
    "..kkkkkkkkkkkkkd"
    "...ddddddddddddd",
    // Picture
    "..kkkkkkkkk....."
    "..kWWWWWWWkk...."
    "..kWWWWWWWkWk..."
    "..kWWWWWWWkWWk.."
    "..kWWWWWWWkkkkk."
    "..kWkkkkkkkkkWkd"
    "..kWkBBBBBBYkWkd"
    "..kWkBBBBBYYkWkd"
    "..kWkBBBBBBBkWkd"
    "..kWkBBNBBBBkWkd"
    "..kWkBNNNBBNkWkd"
    "..kWkNNNNNNNkWkd"
    "..kWkkkkkkkkkWkd"
    "..kWWWWWWWWWWWkd"
    "..kkkkkkkkkkkkkd"
    "...ddddddddddddd",
    // Home
    "................"
    ".......kk......."
    "......kRRk.kk..."
    ".....kRRRRkkk..."
    "....kRRRRRRkk..."
    "...kRRRRRRRRk..."
    "..kRRRRRRRRRRk.."
    ".kkkkkkkkkkkkkk."
    "..kWWWWWWWWWWk.."
    "..kWkkkWWkkkWk.."
    "..kWkBkWWkBkWk.."
    "..kWkkkWWkkkWk.."
    "..kWWWWWWWWWWk.."
    "..kWWkkkWWWWWk.."
    "..kWWkNkWWWWWk.."
    "..kkkkkkkkkkkk..",
    // Desktop
    "................"
    ".kkkkkkkkkkkkkk."
    ".kGGGGGGGGGGGGk."
    ".kGkkkkkkkkkkGk."
    ".kGkBBBBBBBBkGk."
    ".kGkBBBBBBBBkGk."
    ".kGkBBBBBBBBkGk."
    ".kGkBBBBBBBBkGk."
    ".kGkBBBBBBBBkGk."
    ".kGkkkkkkkkkkGk."
    ".kGGGGGGGGGGGGk."
    ".kkkkkkkkkkkkkk."
    "......kGGk......"
    "....kkkkkkkk...."
    "...kGGGGGGGGk..."
    "...kkkkkkkkkk...",
    // Drive
    "................"
    "................"
    "................"
    "................"
    "................"
    "..kkkkkkkkkkkk.."
    ".kWWWWWWWWWWWWk."
    "kWGGGGGGGGGGGGGk"
    "kWGGGGGGGGGGGGGk"
    "kWGGGGGGGGGNNGGk"
    "kWGGGGGGGGGGGGGk"
    "kddddddddddddddk"
    ".kkkkkkkkkkkkkk."
    "................"
    "................"
    "................",
    // UpFolder
    "................"
    "................"
    "..kkkkk........."
    ".kYYYYYk........"
    "kYWWWWWYkkkkkkk."
    "kWYYYYYkYYYYYYk."
    "kWYYYYkkkYYYYYk."
    "kWYYYkkkkkYYYYk."
    "kWYYYYYkYYYYYYk."
    "kWYYYYYkYYYYYYk."
    "kWYYYYYkkkkkYYk."
    "kWYYYYYYYYYYYYk."
    "kYYYYYYYYYYYYYk."
    "kkkkkkkkkkkkkkk."
    "................"
    "................",
    // NewFolder
    "..........Y....."
    "........Y.Y.Y..."
    ".........YYY...."
    "..kkkkk.YYYYY..."
    ".kYYYYYk.YYY...."
    "kYWWWWWYkYkYk..."
    "kWYYYYYYYYYYYk.."
    "kWYYYYYYYYYYYk.."
    "kWYYYYYYYYYYYk.."
    "kWYYYYYYYYYYYk.."
    "kWYYYYYYYYYYYk.."
    "kYYYYYYYYYYYYk.."
    "kkkkkkkkkkkkkk.."
    "................"
    "................"
    "................",
    // ListView
    "................"
    "................"
    ".BB.kkkk.BB.kkkk"
    ".BB......BB....."
    "................"
    ".BB.kkkk.BB.kkkk"
    ".BB......BB....."
    "................"
    ".BB.kkkk.BB.kkkk"
    ".BB......BB....."
    "................"
    ".BB.kkkk.BB.kkkk"
    ".BB......BB....."
    "................"
    "................"
    "................",
    // DetailsView
    "................"
    "................"
    ".BB.kkkkk.kk.kkk"
    ".BB............."
    "................"
    ".BB.kkkkk.kk.kkk"
    ".BB............."
    "................"
    ".BB.kkkkk.kk.kkk"
    ".BB............."
    "................"
    ".BB.kkkkk.kk.kkk"
    ".BB............."
    "................"
    "................"
    "................",
};

constexpr COLORREF kTransparent = RGB(255, 0, 255);

COLORREF ColourOf(char c) {
  switch (c) {
    case 'k': return RGB(0, 0, 0);
    case 'd': return RGB(128, 128, 128);
    case 'W': return RGB(255, 255, 255);
    case 'Y': return RGB(255, 255, 0);
    case 'G': return RGB(192, 192, 192);
    case 'B': return RGB(0, 0, 128);
    case 'N': return RGB(0, 128, 0);
    case 'R': return RGB(128, 0, 0);
    default: return kTransparent;
  }
}

HIMAGELIST MakeList(int scale) {
  const int size = 16 * scale;
  const int count = static_cast<int>(kPictures.size());
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 4);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP strip = CreateCompatibleBitmap(screen, size * count, size);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, strip);
  for (int i = 0; i < count; ++i) {
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) SetPixel(dc, i * size + x, y, ColourOf(kPictures[i][(y / scale) * 16 + x / scale]));
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  ImageList_AddMasked(list, strip, kTransparent);
  DeleteObject(strip);
  return list;
}

std::string LowerExtension(const std::string& name) {
  size_t offset = filedialog::ExtensionOffset(name);
  if (!offset) return {};
  std::string ext = name.substr(offset);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

const std::map<std::string, std::string>& KnownTypes() {
  static const std::map<std::string, std::string> types = {
      {"bmp", "Bitmap Image"}, {"dib", "Bitmap Image"},  {"png", "PNG Image"},   {"jpg", "JPEG Image"},
      {"jpeg", "JPEG Image"},  {"jpe", "JPEG Image"},    {"gif", "GIF Image"},   {"tif", "TIFF Image"},
      {"tiff", "TIFF Image"},  {"pcx", "PCX Image"},     {"tga", "Targa Image"}, {"ico", "Icon"},
      {"cur", "Cursor"},       {"wmf", "Windows Metafile"}, {"emf", "Enhanced Metafile"},
      {"psd", "Photoshop Image"}, {"ppm", "PPM Image"}, {"pgm", "PGM Image"},   {"pbm", "PBM Image"},
      {"webp", "WebP Image"},  {"txt", "Text Document"}, {"avi", "Video Clip"},  {"zip", "ZIP Archive"},
  };
  return types;
}

void CopyText(char* out, size_t size, const std::string& text) {
  size_t n = std::min(size - 1, text.size());
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

HIMAGELIST FileIconList(bool small) {
  static HIMAGELIST smallList = MakeList(1);
  static HIMAGELIST largeList = MakeList(2);
  return small ? smallList : largeList;
}

bool IsPictureName(const std::string& name) {
  auto it = KnownTypes().find(LowerExtension(name));
  if (it == KnownTypes().end()) return false;
  const std::string& type = it->second;
  return type.find("Image") != std::string::npos || type == "Icon" || type == "Cursor" ||
         type.find("Metafile") != std::string::npos;
}

std::string FileTypeName(const std::string& name, bool folder) {
  if (folder) return "File Folder";
  std::string ext = LowerExtension(name);
  if (ext.empty()) return "File";
  auto it = KnownTypes().find(ext);
  if (it != KnownTypes().end()) return it->second;
  std::string upper = ext;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper + " File";
}

DWORD_PTR SHGetFileInfo(LPCSTR path, DWORD attributes, SHFILEINFO* info, UINT infoSize, UINT flags) {
  if (!path) return 0;
  bool folder = false;
  if (flags & SHGFI_USEFILEATTRIBUTES) {
    folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  } else {
    struct stat st {};
    if (stat(path, &st) != 0) return 0;
    folder = S_ISDIR(st.st_mode);
  }
  const std::string name = std::strcmp(path, "/") == 0 ? std::string("/") : filedialog::NamePart(path);
  const bool small = (flags & SHGFI_SMALLICON) != 0;
  FileIcon icon = folder ? ((flags & SHGFI_OPENICON) ? FileIcon::OpenFolder : FileIcon::Folder)
                         : (IsPictureName(name) ? FileIcon::Picture : FileIcon::Document);
  if (folder && std::strcmp(path, "/") == 0) icon = FileIcon::Drive;
  if (flags & SHGFI_SYSICONINDEX) {
    if (info) info->iIcon = static_cast<int>(icon);
    return reinterpret_cast<DWORD_PTR>(FileIconList(small));
  }
  if (!info || infoSize < sizeof(SHFILEINFO)) return 0;
  if (flags & SHGFI_ICON) {
    info->iIcon = static_cast<int>(icon);
    info->hIcon = ImageList_GetIcon(FileIconList(small), static_cast<int>(icon), ILD_NORMAL);
  }
  if (flags & SHGFI_DISPLAYNAME) CopyText(info->szDisplayName, sizeof(info->szDisplayName), name);
  if (flags & SHGFI_TYPENAME) CopyText(info->szTypeName, sizeof(info->szTypeName), FileTypeName(name, folder));
  if (flags & SHGFI_ATTRIBUTES) info->dwAttributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  return 1;
}
