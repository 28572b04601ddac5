#pragma once
// The frame header (SOFn) with the checks both the probe and the decoder apply, and the
// probe's marker walk.

#include "vorlen/formats/jpeg/JpegIO.h"

namespace jpeg {

struct FrameComponent {
  int id = 0;
  int h = 1;   // horizontal sampling factor
  int v = 1;   // vertical sampling factor
  int tq = 0;  // quantisation table number
};

struct Frame {
  int precision = 0;
  int width = 0;
  int height = 0;
  int count = 0;
  FrameComponent comp[3];
};

// Reads the header fields that follow the segment length. Answers whether this decoder
// can read the frame (8-bit samples, grey or YCbCr with luminance sampling 1x1, 2x1 or 2x2
// and chrominance 1x1, identifiers in sequence, table numbers up to 3).
bool ReadFrameHeader(Input& in, int length, Frame& frame);

// Whether a marker code starts a frame (C0-CF without DHT, JPG and DAC).
inline bool IsFrameMarker(int m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

enum class Probe { kNotJpeg = 0, kSupported = 1, kUnsupported = -1 };

// Whether the data starts with SOI (false also when it ends before).
bool ReadSOI(Input& in);

// The probe's walk from behind SOI to the frame header: kSupported for a readable frame
// behind SOF0, SOF1 or SOF2, else kUnsupported (also when the data ends first).
// `frameSeen` tells whether a frame header was read into `frame`.
Probe WalkToFrame(Input& in, Frame& frame, bool& frameSeen);

}  // namespace jpeg
