#pragma once
// Hand-built metafiles for tests: records given as their parameter values.

#include <initializer_list>
#include <utility>
#include <vector>

#include "vorlen/core/Types.h"

namespace metafile_test {

using Bytes = std::vector<uchar>;

inline void Le16(Bytes& b, int v) { b.push_back(uchar(v)), b.push_back(uchar(v >> 8)); }
inline void Le32(Bytes& b, uint v) { Le16(b, int(v & 0xFFFF)), Le16(b, int(v >> 16)); }

// A placeable Windows metafile: bounding box 0,0-w,h logical units at `inch` units an inch.
struct WmfBuilder {
  Bytes records;
  void Record(int function, std::initializer_list<int> words) {
    Le32(records, uint(3 + words.size()));
    Le16(records, function);
    for (int w : words) Le16(records, w);
  }
  Bytes Finish(int w, int h, int inch) {
    Record(0, {});
    Bytes b;
    Le32(b, 0x9AC6CDD7), Le16(b, 0), Le16(b, 0), Le16(b, 0), Le16(b, w), Le16(b, h), Le16(b, inch), Le32(b, 0);
    int sum = 0;
    for (size_t i = 0; i < 20; i += 2) sum ^= b[i] | b[i + 1] << 8;
    Le16(b, sum);
    Le16(b, 1), Le16(b, 9), Le16(b, 0x300), Le32(b, uint(9 + records.size() / 2)), Le16(b, 4), Le32(b, 20), Le16(b, 0);
    b.insert(b.end(), records.begin(), records.end());
    return b;
  }
};

// An enhanced metafile whose frame is w x h pixels on a 96-dpi reference device.
struct EmfBuilder {
  Bytes records;
  int count = 1;
  void Record(uint type, std::initializer_list<int> values) {
    Le32(records, type), Le32(records, uint(8 + 4 * values.size()));
    for (int v : values) Le32(records, uint(v));
    ++count;
  }
  void Points16(uint type, std::initializer_list<std::pair<int, int>> points) {
    Le32(records, type), Le32(records, uint(28 + 4 * points.size()));
    for (int i = 0; i < 4; ++i) Le32(records, 0);
    Le32(records, uint(points.size()));
    for (auto [x, y] : points) Le16(records, x), Le16(records, y);
    ++count;
  }
  // A record of any layout: its parameters as bytes.
  void Raw(uint type, const Bytes& parameters) {
    Le32(records, type), Le32(records, uint(8 + parameters.size()));
    records.insert(records.end(), parameters.begin(), parameters.end());
    ++count;
  }
  Bytes Finish(int w, int h) {
    Record(14, {0, 16, 20});
    Bytes b;
    Le32(b, 1), Le32(b, 108);
    for (int v : {0, 0, w - 1, h - 1, 0, 0, w * 2540 / 96, h * 2540 / 96}) Le32(b, uint(v));
    Le32(b, 0x464D4520), Le32(b, 0x10000), Le32(b, uint(108 + records.size())), Le32(b, uint(count));
    Le16(b, 4), Le16(b, 0), Le32(b, 0), Le32(b, 0), Le32(b, 0);
    for (int v : {960, 960, 254, 254, 0, 0, 0, 254000, 254000}) Le32(b, uint(v));
    b.insert(b.end(), records.begin(), records.end());
    return b;
  }
};

}  // namespace metafile_test
