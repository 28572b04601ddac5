// Video files from untrusted bytes: the input is written to a file and opened through the
// video-file service; the first frames are decoded in order, then the last one and the first
// one again (which starts run-length decoding over). Every frame handed out must be a 24-bit
// DIB of the stream's size; a frame the file cannot give must come back as null.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/support/FuzzCheck.h"
#include "platform/avi/VideoFile.h"
#include "platform/gdi/DibFile.h"

namespace {

constexpr LONG kMostFramesInOrder = 16;

void CheckFrame(const void* frame, DWORD width, DWORD height) {
  if (frame == nullptr) return;
  const auto* h = static_cast<const std::uint8_t*>(frame);
  if (Le32(h) != 40 || Le32(h + 4) != width || Le32(h + 8) != height || Le16(h + 14) != 24) std::abort();
  // The last byte of the rows must be there.
  volatile std::uint8_t last = h[40 + ((size_t(width) * 3 + 3) & ~size_t(3)) * height - 1];
  (void)last;
}

void ReadFrames(PAVISTREAM stream) {
  LONG size = 0;
  if (AVIStreamReadFormat(stream, 0, nullptr, &size) != AVIERR_OK || size < 0) std::abort();
  std::vector<std::uint8_t> format(static_cast<size_t>(size));
  if (size > 0 && AVIStreamReadFormat(stream, 0, format.data(), &size) != AVIERR_OK) std::abort();
  PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
  if (frames == nullptr) return;
  const DWORD width = Le32(format.data() + 4);
  const DWORD height = static_cast<DWORD>(std::abs(static_cast<LONG>(Le32(format.data() + 8))));
  const LONG start = AVIStreamStart(stream), length = AVIStreamLength(stream);
  for (LONG i = 0; i < length && i < kMostFramesInOrder; ++i)
    CheckFrame(AVIStreamGetFrame(frames, start + i), width, height);
  if (length > 0) CheckFrame(AVIStreamGetFrame(frames, start + length - 1), width, height);
  CheckFrame(AVIStreamGetFrame(frames, start), width, height);
  if (AVIStreamGetFrame(frames, start - 1) != nullptr || AVIStreamGetFrame(frames, start + length) != nullptr)
    std::abort();
  AVIStreamGetFrameClose(frames);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string& folder = fuzz::ScratchFolder("avi");
  const std::string input = folder + "/input.avi";
  fuzz::WriteFile(input, data, size);
  PAVIFILE file = nullptr;
  if (AVIFileOpenA(&file, input.c_str(), OF_READ, nullptr) != AVIERR_OK) return 0;
  PAVISTREAM stream = nullptr;
  if (AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == AVIERR_OK) {
    ReadFrames(stream);
    AVIStreamRelease(stream);
  }
  AVIFileRelease(file);
  return 0;
}
