#pragma once
// Independent readers and writers for the codec tests: Debian's ImageMagick, netpbm and
// Pillow, run as programs. Images travel between them and the tests as binary PNM files.

#include <string>
#include <vector>

#include "vorlen/core/Buffer.h"
#include "vorlen/core/Types.h"

namespace reference {

// Pixels 0x00RRGGBB, rows top first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint> pixels;

  uint At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The program's full path when it is installed, else "".
std::string Find(const char* program);
// Runs a shell command; answers whether it exited with 0.
bool Run(const std::string& command);
// Quotes a path for the shell.
std::string Quote(const std::string& path);

// Binary PNM (P4, P5, P6 with maxval 255 or less) reading; PPM writing.
Image ReadPnm(const std::string& path);
void WritePpm(const std::string& path, const Image& image);

// The file decoded by ImageMagick into 8-bit RGB (frame `frame` of a multi-image file,
// coalesced when coalesce is set).
Image MagickRead(const std::string& path, int frame = 0, bool coalesce = false);

// A test picture: `colours` distinct colours (at most 256 when indexed output is wanted) in
// blocks, stripes and noise, so that runs and literals of all lengths arise.
Image Picture(int width, int height, int colours, unsigned seed);
Image FromBuffer(const Buffer& buffer);
// Answers the first differing pixel as text, or "" when the RGB values agree.
std::string Compare(const Image& expected, const Buffer& actual);
std::string Compare(const Image& expected, const Image& actual);
void ToBuffer(const Image& image, Buffer& buffer);

}  // namespace reference
