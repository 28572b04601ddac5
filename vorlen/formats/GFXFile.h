#pragma once
// The image-file framework: the base class of every codec, the registry of codecs, and the
// entry points through which the program tests, loads and saves image files by path.
//
// A codec derives from GFXFile, answers Test/Load/Save on a stream, and registers by
// constructing one static object (see FormatList.cpp). Bad data raises EInvalidImage with
// the message "100" (kInvalidImage); an early end of data raises the stream's EReadError.

#include <memory>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Streams.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/core/Types.h"

class AtomicFile;
class GFXFile;

// The message of EInvalidImage: the number of the library's text for a damaged file.
inline constexpr const char* kInvalidImage = "100";
[[noreturn]] void ThrowInvalidImage();

// The highest depth of at most `most` bits in a depth mask (bit n - 1 for n bits); 0 for none.
int HighestDepth(uint mask, int most);

// What a probe found.
struct GFXFileDesc {
  int width = 0;
  int height = 0;
  bool colour = false;   // colour data (true colour or a colour palette)
  bool palette = false;  // palette indices
  uchar bits = 0;        // bits per pixel in the file
  uchar sample_bits = 0;
  int supported = 0;     // 1 readable; 0 an unsupported variant; the video codec: frames
  GFXFile* format = nullptr;
  bool interlaced = false;
  bool transparent = false;
  uchar* palette_data = nullptr;  // set by the caller: 768 bytes for R, G, B triplets

  // Clears every field before palette_data, as a probe does before filling it.
  void ClearProbeFields();
};

// How to save; completed by the registry before a codec sees it.
struct GFXSaveParams {
  signed char bits = 0;  // 0 the format's default; -1 the smallest indexed depth that fits;
                         // below -1 refused
  bool grey = false;
  uchar quality = 0;     // 1-100; 0 = default
  bool interlaced = false;
  short colours = 0;     // indexed: entries; 0 = as the depth holds; < 0 = use `palette`, which
                         // must be given, as is
  bool dither = false;
  bool transparent = false;
  GFXFile* format = nullptr;      // null: chosen from the path's extension
  uchar* palette = nullptr;       // R, G, B triplets; null = built by Save
  Buffer* palette_source = nullptr;  // an image whose colours make the palette; null = the
                                     // image saved. Only read.
  bool composite = false;  // set by the registry's save for writers that save by rows: each
                           // row is composited over extra->transparent (0 without extra)

  GFXSaveParams() = default;
  GFXSaveParams(const GFXSaveParams&) = default;
  GFXSaveParams& operator=(const GFXSaveParams&) = default;
  // Settings that reproduce a loaded file.
  GFXSaveParams& operator=(GFXFileDesc& desc);
};

// Extra data of an image.
struct GFXtra32 {
  short x = 0;
  short y = 0;
  uint background = 0;   // 0x00RRGGBB; indexed save: top byte = nearest palette index
  uint transparent = 0;  // 0x00RRGGBB; indexed save: top byte = index used for it
};

class GFXFile {
public:
  // The file streams the registry opens; codecs may look at the name behind them.
  // EFOpenError at once when `name` is not a regular file or a link to one (a pipe is never
  // waited on).
  class TInputStream : public TFileStream {
  public:
    explicit TInputStream(const AnsiString& fileName);
    const AnsiString name;
  };

  // Writes to a temporary file beside `name` (an AtomicFile); Commit puts it in place of
  // `name`. Deleted without Commit, it removes the temporary file and leaves `name` as it was.
  // EFCreateError at once when `name` is not a regular file or a link to one.
  class TOutputStream : public TFileStream {
  public:
    explicit TOutputStream(const AnsiString& fileName);
    ~TOutputStream() override;
    // The one place where the written bytes are synced and put in place; EWriteError when
    // buffered bytes cannot be written, EFCreateError when the file cannot be put in place.
    // Either way the old file stays.
    void Commit();
    const AnsiString name;  // the file being written (not the temporary one)

  private:
    TOutputStream(const AnsiString& fileName, std::unique_ptr<AtomicFile> file);
    std::unique_ptr<AtomicFile> file_;
  };

  GFXFile(const char* name, const char* extensions, unsigned long depths,
          unsigned char grey_depths, bool interlace, signed char quality);
  virtual ~GFXFile();
  GFXFile(const GFXFile&) = delete;
  GFXFile& operator=(const GFXFile&) = delete;

  // Probe: 1 this format, -1 this format but unreadable, 0 not this format. Leaves the
  // stream where it found it; fills desc (when given) for a non-zero answer.
  virtual int Test(TStream* stream, GFXFileDesc* desc) = 0;
  // 1 done, 0 stopped by the progress hook.
  virtual bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra,
                    GFXFileDesc* desc) = 0;
  // true written, false stopped. The base writes nothing.
  virtual bool Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra);
  // Whether Save composites row by row when params->composite asks for it, so that the
  // registry need not make a composited copy of the whole picture first.
  virtual bool SavesByRows() const { return false; }

  // The registry.
  static GFXFile* Formats();
  static void SetAlpha(bool on);
  static void SetProgFunc(void (*start)(), bool (*step)(int), void (*end)());
  static GFXFile* GetFormat(TStream* stream, GFXFileDesc* desc);
  static GFXFile* GetDefaultFormat(AnsiString path);
  static bool Test(AnsiString path, GFXFileDesc* desc);
  static bool Load(Buffer& dst, AnsiString path, GFXtra32* extra, int image, GFXFileDesc* desc);
  // Writes in params->format (a path without an extension gets the format's), else in the
  // format the path's extension names (EInvalidImage "100" when it names none).
  static bool Save(Buffer& src, AnsiString path, GFXtra32* extra, GFXSaveParams* params);

  // Completes and checks save settings for this format (EInvalidImage "100" when impossible).
  void SetSaveDefaults(GFXSaveParams* params);
  // The default extension with its dot (".FRM" from "*.FRM").
  AnsiString DefaultExtension() const;
  // work holding src composited over extra->transparent (0 without extra); work's pixels are
  // allocated when it has none.
  static Buffer* CompositeForSave(Buffer* work, Buffer* src, GFXtra32* extra);
  // The colour a save composites over: extra->transparent, opaque (0 without extra).
  static uint SaveBackground(const GFXtra32* extra);

  // Progress helpers for codecs: PrStep(percent) when set; false = stop.
  static bool Step(int percent) { return PrStep == nullptr || PrStep(percent); }

  GFXFile* next = nullptr;
  AnsiString name;
  AnsiString extensions;
  uint depths;
  uchar grey_depths;
  bool interlace;
  signed char quality;
  GFXSaveParams defaults;

  static bool alpha;
  static void (*PrStart)();
  static bool (*PrStep)(int);
  static void (*PrEnd)();

private:
  static GFXFile* first;
};

// Calls GFXFile::PrStart now and GFXFile::PrEnd when it goes out of scope, exceptions
// included.
class GFXProgressScope {
public:
  GFXProgressScope() {
    if (GFXFile::PrStart != nullptr) GFXFile::PrStart();
  }
  ~GFXProgressScope() {
    if (GFXFile::PrEnd != nullptr) GFXFile::PrEnd();
  }
  GFXProgressScope(const GFXProgressScope&) = delete;
  GFXProgressScope& operator=(const GFXProgressScope&) = delete;
};

// Restores a stream's position when a probe ends, however it ends.
class StreamPositionGuard {
public:
  explicit StreamPositionGuard(TStream* s) : stream_(s), position_(s->Position()) {}
  ~StreamPositionGuard() { stream_->SetPosition(position_); }
  StreamPositionGuard(const StreamPositionGuard&) = delete;
  StreamPositionGuard& operator=(const StreamPositionGuard&) = delete;

private:
  TStream* stream_;
  std::int64_t position_;
};
