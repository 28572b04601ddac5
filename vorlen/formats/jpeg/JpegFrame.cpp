#include "vorlen/formats/jpeg/JpegFrame.h"

#include "platform/rtl/Exceptions.h"
#include "vorlen/formats/jpeg/JpegTables.h"

namespace jpeg {

namespace {

void ReadComponent(Input& in, FrameComponent& c) {
  c.id = in.Byte();
  const int sampling = in.Byte();
  c.h = sampling >> 4;
  c.v = sampling & 15;
  c.tq = in.Byte();
}

bool SamplingIs(const FrameComponent& c, int h, int v) { return c.h == h && c.v == v; }

}  // namespace

bool ReadFrameHeader(Input& in, int length, Frame& frame) {
  frame.precision = in.Byte();
  frame.height = in.Word();
  frame.width = in.Word();
  frame.count = in.Byte();
  ReadComponent(in, frame.comp[0]);
  const FrameComponent& first = frame.comp[0];
  bool usable = frame.height != 0 && frame.width != 0 && (frame.count == 1 || frame.count == 3) &&
                length == 8 + 3 * frame.count && frame.precision == 8 && (first.id & 2) == 0 &&
                first.tq <= 3;
  const bool lumaOk = SamplingIs(first, 1, 1) ||
                      (frame.count == 3 && (SamplingIs(first, 2, 1) || SamplingIs(first, 2, 2)));
  usable = usable && lumaOk;
  if (frame.count == 3) {
    ReadComponent(in, frame.comp[1]);
    ReadComponent(in, frame.comp[2]);
    for (int i = 1; i < 3; ++i) {
      const FrameComponent& c = frame.comp[i];
      const int previous = frame.comp[i - 1].id;
      usable = usable && (c.id == i + 1 || c.id == previous + 1) && c.tq <= 3 && SamplingIs(c, 1, 1);
    }
  }
  return usable;
}

bool ReadSOI(Input& in) {
  try {
    return in.Byte() == 0xFF && in.Byte() == kSOI;
  } catch (const EReadError&) {
    return false;
  }
}

Probe WalkToFrame(Input& in, Frame& frame, bool& frameSeen) {
  frameSeen = false;
  try {
    for (;;) {
      if (in.Byte() != 0xFF) return Probe::kUnsupported;
      const int m = in.Byte();
      if (m == 0) continue;
      if ((m >= kRST0 && m <= kRST7) || m == kEOI || m == kSOS) return Probe::kUnsupported;
      const int length = in.Word();
      if (IsFrameMarker(m)) {
        const bool usable = ReadFrameHeader(in, length, frame);
        frameSeen = true;
        return usable && m <= kSOF2 ? Probe::kSupported : Probe::kUnsupported;
      }
      in.Skip(length - 2);
    }
  } catch (const EReadError&) {
    return Probe::kUnsupported;  // as far as the data went: a JPEG without a usable frame
  }
}

}  // namespace jpeg
