// Saving by path: settings, palette and index image, then the codec, then the file is put
// in place. A save that fails or is stopped leaves any existing file as it was.

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "vorlen/color/Quantize.h"
#include "vorlen/formats/GFXFile.h"

namespace {

bool LastNameHasDot(const AnsiString& path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  return dot != AnsiString::npos && (slash == AnsiString::npos || dot > slash);
}

// The format to write, and the path completed with its extension.
GFXFile* ChooseFormat(GFXSaveParams& p, AnsiString& path) {
  if (p.format != nullptr) {
    if (!LastNameHasDot(path)) path += p.format->DefaultExtension();
    return p.format;
  }
  GFXFile* format = GFXFile::GetDefaultFormat(path);
  if (format == nullptr) {
    format = GFXFile::Formats();
    if (format == nullptr) ThrowInvalidImage();
    path += format->DefaultExtension();
  }
  p.format = format;
  return format;
}

// Everything an indexed save works with; released when the save ends.
struct IndexedWork {
  uchar localPalette[768] = {};
  Buffer composite;
  std::vector<uint> indexMemory;
  Buffer indexImage;
};

uint TransparencyArgument(const GFXSaveParams& p, const GFXtra32* extra) {
  uint key = kNoKey;
  if (p.transparent) key = extra != nullptr ? extra->transparent : 0;
  if (GFXFile::alpha) key |= kCompositeKey;
  return key;
}

// An indexed save's palette (built or given), the extra colours' indices and the depth.
void PreparePalette(GFXFile* format, Buffer& src, GFXSaveParams& p, GFXtra32* extra, uint key,
                    IndexedWork& work) {
  if (p.palette == nullptr) p.palette = work.localPalette;
  int n;
  if (p.colours >= 0) {
    const int depth = p.bits > 0 ? p.bits : HighestDepth(format->depths, 8);
    n = 1 << depth;
    if (p.colours > 0 && p.colours < n) n = p.colours;
    n = std::max(n, 2);
    Buffer* image = &src;
    Buffer* scratch = p.palette_source;
    if (GFXFile::alpha && !p.transparent) {
      image = GFXFile::CompositeForSave(&work.composite, &src, p.palette_source, extra);
      scratch = image;
    }
    p.colours = static_cast<short>(CreatePalette(*image, p.palette, std::min(n, 256), key,
                                                 scratch, p.dither));
  } else {
    int c = -p.colours;
    if (p.bits > 0) c = std::min(c, 1 << p.bits);
    p.colours = static_cast<short>(std::min(c, 256));
    n = p.colours;
  }
  if (p.palette != work.localPalette && n < 256) {
    std::memcpy(work.localPalette, p.palette, static_cast<size_t>(p.colours) * 3);
    std::memset(work.localPalette + p.colours * 3, 0, 768 - static_cast<size_t>(p.colours) * 3);
    p.palette = work.localPalette;
  }
  if (extra != nullptr) {
    extra->transparent &= 0x00FFFFFF;
    extra->background &= 0x00FFFFFF;
    if (!p.transparent)
      extra->transparent |= static_cast<uint>(Quantize(extra->transparent, p.palette, p.colours))
                            << 24;
    extra->background |= static_cast<uint>(Quantize(extra->background, p.palette, p.colours))
                         << 24;
  }
  if (p.bits == -1) {
    int bits = 0;
    for (int b = 1; b <= 8 && bits == 0; ++b)
      if ((format->depths & (1u << (b - 1))) && (1 << b) >= p.colours) bits = b;
    if (bits == 0) {
      bits = HighestDepth(format->depths, 8);
      p.colours = static_cast<short>(1 << bits);
    }
    p.bits = static_cast<signed char>(bits);
  }
}

// An indexed save's image: one byte a pixel, rows of (width + 3) / 4 words.
Buffer* MakeIndexImage(Buffer& src, GFXSaveParams& p, GFXtra32* extra, uint key,
                       IndexedWork& work) {
  Buffer* image = &src;
  if (GFXFile::alpha && !p.transparent) {
    work.composite.Free();
    image = GFXFile::CompositeForSave(&work.composite, &src, p.palette_source, extra);
  }
  const int width = std::max(src.Width(), 0);
  const int height = std::max(src.Height(), 0);
  const int words = (width + 3) / 4;
  work.indexMemory.assign(static_cast<size_t>(words) * height + 1, 0);
  work.indexImage.Alloc(Pair<int>(width, height), work.indexMemory.data(), words);
  if (width == 0 || height == 0) {
    work.indexImage.Free();
    return &work.indexImage;
  }
  const int index = Quantize(*image, p.palette, p.colours, key, p.dither,
                             reinterpret_cast<uchar*>(work.indexMemory.data()), words * 4);
  if (p.transparent && extra != nullptr)
    extra->transparent = (extra->transparent & 0x00FFFFFF) | static_cast<uint>(index) << 24;
  return &work.indexImage;
}

// work = background (opaque), then src composited over it by src's transparency bytes.
void CompositeOver(Buffer& work, Buffer& src, uint background) {
  for (int y = 0; y < work.Height(); ++y)
    std::fill_n(work.At(work.rect.left, work.rect.top + y), work.Width(), background);
  work.Copy(src, Pair<int>(work.rect.left - src.rect.left, work.rect.top - src.rect.top),
            Buffer::kComposite);
}

}  // namespace

bool GFXFile::Save(Buffer& src, AnsiString path, GFXtra32* extra, GFXSaveParams* params) {
  GFXSaveParams p = params != nullptr ? *params : GFXSaveParams();
  GFXFile* const format = ChooseFormat(p, path);
  format->SetSaveDefaults(&p);
  format->defaults = p;
  format->defaults.palette = nullptr;
  format->defaults.palette_source = nullptr;

  TOutputStream stream(path);
  GFXProgressScope progress;
  if (alpha && extra != nullptr) {
    extra->transparent &= 0x00FFFFFF;
    extra->background &= 0x00FFFFFF;
  }
  IndexedWork work;
  Buffer* image = &src;
  if (!p.grey && p.quality == 100 && p.bits <= 8) {
    const uint key = TransparencyArgument(p, extra);
    PreparePalette(format, src, p, extra, key, work);
    image = MakeIndexImage(src, p, extra, key, work);
  } else if (alpha && p.bits != 32) {
    image = CompositeForSave(&work.composite, &src, nullptr, extra);
  }
  const bool written = format->Save(*image, &stream, &p, extra);
  if (written) stream.Commit();
  return written;
}

Buffer* GFXFile::CompositeForSave(Buffer* work, Buffer* src, Buffer* palette_source,
                                  GFXtra32* extra) {
  const int width = std::max(src->Width(), 0);
  const int height = std::max(src->Height(), 0);
  if (work->pixels == nullptr && width > 0 && height > 0) {
    const long long count = static_cast<long long>(width) * height;
    if (palette_source != nullptr && palette_source->pixels != nullptr &&
        static_cast<long long>(palette_source->Width()) * palette_source->Height() >= count &&
        palette_source->stride == palette_source->Width()) {
      work->Alloc(Pair<int>(width, height), palette_source->pixels, width);
    } else {
      work->Alloc(Pair<int>(width, height));
      if (work->pixels == nullptr) throw EOutOfMemory(RtlText::OutOfMemory);
    }
  }
  if (work->pixels == nullptr) return work;
  // The background is opaque: its top byte may already carry a palette index.
  const uint background = extra != nullptr ? extra->transparent & 0x00FFFFFF : 0;
  CompositeOver(*work, *src, background);
  return work;
}
