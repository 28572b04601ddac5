#include "vorlen/formats/GFXFile.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "vorlen/formats/FormatList.h"

GFXFile* GFXFile::first = nullptr;
bool GFXFile::alpha = false;
void (*GFXFile::PrStart)() = nullptr;
bool (*GFXFile::PrStep)(int) = nullptr;
void (*GFXFile::PrEnd)() = nullptr;

void ThrowInvalidImage() { throw EInvalidImage(kInvalidImage); }

int HighestDepth(uint mask, int most) {
  for (int n = most; n >= 1; --n)
    if (mask & (1u << (n - 1))) return n;
  return 0;
}

void GFXFileDesc::ClearProbeFields() {
  uchar* const keep = palette_data;
  *this = GFXFileDesc();
  palette_data = keep;
}

GFXFile::GFXFile(const char* formatName, const char* formatExtensions, unsigned long depthMask,
                 unsigned char greyDepthMask, bool hasInterlace, signed char hasQuality)
    : name(formatName), extensions(formatExtensions), depths(static_cast<uint>(depthMask)),
      grey_depths(greyDepthMask), interlace(hasInterlace), quality(hasQuality) {
  GFXFile** tail = &first;
  while (*tail != nullptr) tail = &(*tail)->next;
  *tail = this;
  if (depths != 0 || grey_depths != 0) SetSaveDefaults(&defaults);
}

GFXFile::~GFXFile() = default;

bool GFXFile::Save(Buffer&, TStream*, GFXSaveParams*, GFXtra32*) { return true; }

GFXFile* GFXFile::Formats() {
  RegisterFormats();
  return first;
}

void GFXFile::SetAlpha(bool on) { alpha = on; }

void GFXFile::SetProgFunc(void (*start)(), bool (*step)(int), void (*end)()) {
  PrStart = start;
  PrStep = step;
  PrEnd = end;
}

GFXFile* GFXFile::GetFormat(TStream* stream, GFXFileDesc* desc) {
  for (GFXFile* f = Formats(); f != nullptr; f = f->next) {
    if (f->Test(stream, desc) != 0) {
      if (desc != nullptr) desc->format = f;
      return f;
    }
  }
  if (desc != nullptr) desc->format = nullptr;
  return nullptr;
}

namespace {

// The extension of path with its dot, in upper case; "" when the last name has none.
AnsiString UpperExtension(const AnsiString& path) {
  for (size_t i = path.size(); i-- > 0;) {
    if (path[i] == '/') return {};
    if (path[i] == '.') return UpperCase(path.substr(i));
  }
  return {};
}

}  // namespace

GFXFile* GFXFile::GetDefaultFormat(AnsiString path) {
  const AnsiString ext = UpperExtension(path);
  if (ext.empty()) return nullptr;
  for (GFXFile* f = Formats(); f != nullptr; f = f->next) {
    const size_t at = f->extensions.find(ext);
    if (at == AnsiString::npos) continue;
    const size_t end = at + ext.size();
    if (end == f->extensions.size() || f->extensions[end] == ';') return f;
  }
  return nullptr;
}

AnsiString GFXFile::DefaultExtension() const {
  const size_t semicolon = extensions.find(';');
  if (extensions.size() < 2) return {};
  return extensions.substr(1, semicolon == AnsiString::npos ? AnsiString::npos : semicolon - 1);
}

namespace {

// The format that reads the open file: the extension's format when it recognises the file,
// else the first that does. desc->format names it.
GFXFile* FindReader(GFXFile* byExtension, TStream* stream, GFXFileDesc* desc) {
  if (byExtension != nullptr && byExtension->Test(stream, desc) != 0) {
    if (desc != nullptr) desc->format = byExtension;
    return byExtension;
  }
  return GFXFile::GetFormat(stream, desc);
}

}  // namespace

bool GFXFile::Test(AnsiString path, GFXFileDesc* desc) {
  GFXFile* const byExtension = GetDefaultFormat(path);
  TInputStream stream(path);
  return FindReader(byExtension, &stream, desc) != nullptr;
}

bool GFXFile::Load(Buffer& dst, AnsiString path, GFXtra32* extra, int image, GFXFileDesc* desc) {
  GFXFile* const byExtension = GetDefaultFormat(path);
  TInputStream stream(path);
  GFXProgressScope progress;
  GFXFile* const format = FindReader(byExtension, &stream, desc);
  if (format == nullptr) ThrowInvalidImage();
  return format->Load(dst, &stream, image, extra, desc);
}

void GFXFile::SetSaveDefaults(GFXSaveParams* p) {
  // Below -1 no depth is meant: refused before a codec would read it as a bit count.
  if (p->bits < -1) ThrowInvalidImage();
  if (p->grey && p->bits <= 0) p->bits = static_cast<signed char>(HighestDepth(grey_depths, 8));
  if (!p->grey && p->bits == 0) {
    p->bits = static_cast<signed char>(HighestDepth(depths, 32));
    if (p->bits >= 1 && p->bits <= 8 && (depths & 0xFF & ~(1u << (p->bits - 1))) != 0)
      p->bits = -1;
  }
  bool valid = p->bits != 0 && p->bits <= 32;
  if (valid && p->bits > 0) {
    const uint mask = p->grey ? grey_depths : depths;
    valid = (mask & (1u << (p->bits - 1))) != 0;
  } else if (valid) {
    valid = (depths & 0xFF) != 0;
  }
  if (!valid) ThrowInvalidImage();
  if (p->quality == 0)
    p->quality = quality > 0 ? 75 : 100;
  else if (quality <= 0 || p->quality > 100)
    p->quality = 100;
  // Indexed output told to use the caller's palette as it is needs that palette.
  const bool indexed = !p->grey && p->quality == 100 && p->bits <= 8;
  if (indexed && p->colours < 0 && p->palette == nullptr) ThrowInvalidImage();
}

GFXSaveParams& GFXSaveParams::operator=(GFXFileDesc& desc) {
  *this = GFXSaveParams();
  bits = static_cast<signed char>(desc.bits);
  grey = !desc.colour && !desc.palette;
  interlaced = desc.interlaced;
  transparent = desc.transparent;
  GFXFile* const f = desc.format;
  if (f == nullptr) return *this;
  int b = desc.bits;
  if (grey) {
    if (f->grey_depths != 0) {
      while (b <= 8 && !(b >= 1 && (f->grey_depths & (1u << (b - 1))))) ++b;
    }
    if (f->grey_depths == 0 || b > 8) {
      grey = false;
      b = 24;
    }
  }
  if (!grey) {
    // Pixels keep 8 bits a sample: a file of 16-bit samples saves as 24 bits, or 32 with its
    // alpha channel, instead of asking for a depth no format writes.
    if (b > 32) b = b == 64 ? 32 : 24;
    if (b <= 8) {
      while (b <= 8 && !(b >= 1 && (f->depths & (1u << (b - 1))))) ++b;
      if (b > 8) b = 24;
    }
    if (b > 8) {
      while (b <= 32 && !(f->depths & (1u << (b - 1)))) ++b;
    }
  }
  bits = static_cast<signed char>(b);
  quality = f->quality > 0 ? 75 : 100;
  return *this;
}
