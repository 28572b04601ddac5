#pragma once
// Small helpers the JPEG tests and the benchmark share.

#include <vector>

#include "vorlen/formats/jpeg/JpegIO.h"

namespace jpeg_test {

// Collects what an encoder writes.
class VectorOutput : public jpeg::Output {
public:
  void Write(const uchar* data, size_t count) override { bytes.insert(bytes.end(), data, data + count); }
  std::vector<unsigned char> bytes;
};

}  // namespace jpeg_test
