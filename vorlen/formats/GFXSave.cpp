// Saving by path: settings, palette and index image, then the codec, then the file is put
// in place. A save that fails or is stopped leaves any existing file as it was, and no save
// changes the pixels of the image it saves or of the image its palette comes from.

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

// The format to write: the one given (the path completed with its extension when its name
// has none), else the one the path's extension names. A path that names no format is refused
// (EInvalidImage "100"): guessing one would write to another name than the caller gave.
GFXFile* ChooseFormat(GFXSaveParams& p, AnsiString& path) {
  if (p.format != nullptr) {
    if (!LastNameHasDot(path)) path += p.format->DefaultExtension();
    return p.format;
  }
  GFXFile* const format = GFXFile::GetDefaultFormat(path);
  if (format == nullptr) ThrowInvalidImage();
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

bool HasPixels(const Buffer& b) { return b.pixels != nullptr && !b.Empty(); }

// The image whose colours the palette is built from: palette_source when it has pixels,
// else the image being saved.
Buffer& PaletteColours(Buffer& src, const GFXSaveParams& p) {
  return p.palette_source != nullptr && HasPixels(*p.palette_source) ? *p.palette_source : src;
}

// A palette of at most count entries built from colours. The builder reorders the pixels it
// works on, so it works on the save's own memory, never on a caller's buffer.
int BuildPalette(Buffer& colours, GFXSaveParams& p, GFXtra32* extra, uint key, int count,
                 IndexedWork& work) {
  if (!GFXFile::alpha || p.transparent)
    return CreatePalette(colours, p.palette, count, key, nullptr, p.dither);
  Buffer* const composite = GFXFile::CompositeForSave(&work.composite, &colours, extra);
  const int built = CreatePalette(*composite, p.palette, count, key, composite, p.dither);
  work.composite.Free();
  return built;
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
    p.colours = static_cast<short>(
        BuildPalette(PaletteColours(src, p), p, extra, key, std::min(n, 256), work));
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
    image = GFXFile::CompositeForSave(&work.composite, &src, extra);
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

// Switches the progress hook off while the registry reads back what it wrote.
class ProgressStepsOff {
public:
  ProgressStepsOff() : saved_(GFXFile::PrStep) { GFXFile::PrStep = nullptr; }
  ~ProgressStepsOff() { GFXFile::PrStep = saved_; }
  ProgressStepsOff(const ProgressStepsOff&) = delete;
  ProgressStepsOff& operator=(const ProgressStepsOff&) = delete;

private:
  bool (*saved_)(int);
};

// Whether format's own reader takes written back as an image without pixels.
bool ReadsBackEmpty(GFXFile* format, TMemoryStream& written) {
  ProgressStepsOff quiet;
  written.SetPosition(0);
  try {
    GFXFileDesc desc;
    if (format->Test(&written, &desc) != 1) return false;
    written.SetPosition(0);
    Buffer back;
    return format->Load(back, &written, 0, nullptr, &desc) && back.Empty();
  } catch (const EInvalidImage&) {
    return false;
  } catch (const EReadError&) {
    return false;
  }
}

// Several formats cannot describe a picture without pixels. Such an image is written to
// memory first and goes to the file only when the format reads it back; otherwise the save
// is refused and the file at the path stays as it was.
bool WriteEmpty(GFXFile* format, Buffer& image, const AnsiString& path, GFXSaveParams& p,
                GFXtra32* extra) {
  TMemoryStream written;
  if (!format->Save(image, &written, &p, extra)) return false;
  if (!ReadsBackEmpty(format, written)) ThrowInvalidImage();
  GFXFile::TOutputStream stream(path);
  written.SetPosition(0);
  stream.CopyFrom(&written, written.Size());
  stream.Commit();
  return true;
}

}  // namespace

bool GFXFile::Save(Buffer& src, AnsiString path, GFXtra32* extra, GFXSaveParams* params) {
  GFXSaveParams p = params != nullptr ? *params : GFXSaveParams();
  GFXFile* const format = ChooseFormat(p, path);
  format->SetSaveDefaults(&p);
  format->defaults = p;
  format->defaults.palette = nullptr;
  format->defaults.palette_source = nullptr;
  // Without its palette, "use the given palette" would mean nothing to a later save.
  if (format->defaults.colours < 0) format->defaults.colours = 0;

  GFXProgressScope progress;
  if (alpha && extra != nullptr) {
    extra->transparent &= 0x00FFFFFF;
    extra->background &= 0x00FFFFFF;
  }
  Buffer none;
  Buffer& source = HasPixels(src) ? src : none;
  IndexedWork work;
  Buffer* image = &source;
  if (!p.grey && p.quality == 100 && p.bits <= 8) {
    const uint key = TransparencyArgument(p, extra);
    PreparePalette(format, source, p, extra, key, work);
    image = MakeIndexImage(source, p, extra, key, work);
  } else if (alpha && p.bits != 32) {
    if (format->SavesByRows()) p.composite = true;
    else image = CompositeForSave(&work.composite, &source, extra);
  }
  if (image->Empty()) return WriteEmpty(format, *image, path, p, extra);
  TOutputStream stream(path);
  const bool written = format->Save(*image, &stream, &p, extra);
  if (written) stream.Commit();
  return written;
}

uint GFXFile::SaveBackground(const GFXtra32* extra) {
  // The background is opaque: its top byte may already carry a palette index.
  return extra != nullptr ? extra->transparent & 0x00FFFFFF : 0;
}

Buffer* GFXFile::CompositeForSave(Buffer* work, Buffer* src, GFXtra32* extra) {
  const int width = std::max(src->Width(), 0);
  const int height = std::max(src->Height(), 0);
  if (work->pixels == nullptr && width > 0 && height > 0) {
    work->Alloc(Pair<int>(width, height));
    if (work->pixels == nullptr) throw EOutOfMemory(RtlText::OutOfMemory);
  }
  if (work->pixels == nullptr) return work;
  CompositeOver(*work, *src, SaveBackground(extra));
  return work;
}
