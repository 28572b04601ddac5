#include "vorlen/formats/avi/AviFile.h"

#include <cstdlib>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/avi/VideoFile.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"

void RegisterAVIFile() { static AVIFile instance; }

AVIFile::AVIFile() : GFXFile("AVI", "*.AVI", 0, 0, false, 0) {}

namespace {

constexpr int kDibHeaderSize = 40;

AnsiString NameBehind(TStream* stream) {
  const auto* file = dynamic_cast<GFXFile::TInputStream*>(stream);
  return file != nullptr ? file->name : AnsiString();
}

// The file, its first video stream and its frame decoder, released in every case.
class OpenVideo {
public:
  ~OpenVideo() {
    if (frames != nullptr) AVIStreamGetFrameClose(frames);
    if (stream != nullptr) AVIStreamRelease(stream);
    if (file != nullptr) AVIFileRelease(file);
  }

  // Whether the service reads the file as a video file at all.
  bool OpenFile(const AnsiString& name) {
    return AVIFileOpenA(&file, name.c_str(), OF_READ | OF_SHARE_DENY_WRITE, nullptr) == AVIERR_OK;
  }
  // Whether the open file holds a video stream.
  bool OpenStream() { return AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == AVIERR_OK; }
  bool Open(const AnsiString& name) { return OpenFile(name) && OpenStream(); }

  // The stream's DIB header: width, |height| and bit count.
  bool ReadFormat(int& width, int& height, int& bits) {
    LONG size = 0;
    if (AVIStreamReadFormat(stream, 0, nullptr, &size) != AVIERR_OK || size < kDibHeaderSize) return false;
    std::vector<uchar> format(static_cast<size_t>(size));
    if (AVIStreamReadFormat(stream, 0, format.data(), &size) != AVIERR_OK) return false;
    width = static_cast<int>(GetLE32(format.data() + 4));
    height = std::abs(static_cast<int>(GetLE32(format.data() + 8)));
    bits = GetLE16(format.data() + 14);
    return true;
  }

  PAVIFILE file = nullptr;
  PAVISTREAM stream = nullptr;
  PGETFRAME frames = nullptr;
};

// The service hands out packed 24-bit DIBs of the stream's size; anything else is refused.
void CheckFrame(const uchar* frame, int width, int height) {
  if (GetLE32(frame + 4) != static_cast<uint>(width) || GetLE32(frame + 8) != static_cast<uint>(height) ||
      GetLE16(frame + 14) != 24)
    ThrowInvalidImage();
}

// A packed 24-bit bottom-up DIB of width x height into the target's top-left area.
void PutFrame(const uchar* frame, int width, int height, Buffer& dst, TargetArea area) {
  const uchar* rows = frame + GetLE32(frame);
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
  for (int y = 0; y < area.rows; ++y)
    RGB24RGB32s(rows + stride * static_cast<size_t>(height - 1 - y), TargetRow(dst, y), area.columns);
}

}  // namespace

int AVIFile::Test(TStream* stream, GFXFileDesc* desc) {
  OpenVideo video;
  if (!video.OpenFile(NameBehind(stream))) return 0;
  if (desc != nullptr) desc->ClearProbeFields();
  // A video file without a video stream is this format, but there is no frame to show.
  if (!video.OpenStream() || desc == nullptr) return -1;
  int width = 0, height = 0, bits = 0;
  if (!video.ReadFormat(width, height, bits)) return -1;
  desc->width = width;
  desc->height = height;
  desc->colour = true;
  desc->bits = static_cast<uchar>(bits);
  desc->palette = bits <= 8;
  desc->sample_bits = 8;
  desc->supported = std::max<LONG>(AVIStreamLength(video.stream), 0);
  return 1;
}

bool AVIFile::Load(Buffer& dst, TStream* stream, int image, GFXtra32*, GFXFileDesc*) {
  OpenVideo video;
  int width = 0, height = 0, bits = 0;
  if (!video.Open(NameBehind(stream)) || !video.ReadFormat(width, height, bits)) ThrowInvalidImage();
  // A frame the video does not have is an error, not a black picture.
  const LONG length = AVIStreamLength(video.stream);
  if (length <= 0 || image < 0 || image >= length) ThrowInvalidImage();
  const LONG position = std::max<LONG>(AVIStreamStart(video.stream), 0) + image;
  if (!Step(50)) return false;
  video.frames = AVIStreamGetFrameOpen(video.stream, nullptr);
  if (video.frames == nullptr) ThrowInvalidImage();
  // The target is allocated once the service has decoded the frame: it checks the format's
  // size and the frame's data, which the header alone does not show.
  const auto* frame = static_cast<const uchar*>(AVIStreamGetFrame(video.frames, position));
  if (frame == nullptr) ThrowInvalidImage();
  CheckFrame(frame, width, height);
  PutFrame(frame, width, height, dst, PrepareTarget(dst, width, height));
  return true;
}
