#pragma once
// Independent readers and writers for the codec tests: Debian's ImageMagick, netpbm and
// Pillow, run as programs. Images travel between them and the tests as binary PNM files.

#include <string>
#include <vector>

#include "vorlen/core/Buffer.h"
#include "vorlen/core/Types.h"

// Skips a test whose reference program is missing (the test packages install them).
#define REQUIRE_TOOL(name) \
  if (reference::Find(name).empty()) GTEST_SKIP() << name " is not installed"

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

// The file decoded by a netpbm converter (such as "pcxtoppm") into PNM.
Image NetpbmRead(const char* converter, const std::string& path);

// A test picture: `colours` distinct colours (at most 256 when indexed output is wanted) in
// blocks, stripes and noise, so that runs and literals of all lengths arise.
Image Picture(int width, int height, int colours, unsigned seed);
Image FromBuffer(const Buffer& buffer);
// Answers the first differing pixel as text, or "" when the RGB values agree (each channel
// within `tolerance`, for channels widened from fewer bits by another rounding).
std::string Compare(const Image& expected, const Buffer& actual, int tolerance = 0);
std::string Compare(const Image& expected, const Image& actual, int tolerance = 0);
void ToBuffer(const Image& image, Buffer& buffer);

}  // namespace reference

namespace reference {

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// Runs a Python program (with Pillow) written to a file under `dir`; answers success.
bool RunPython(const std::string& dir, const std::string& program);

// Loads `bytes` cut short at many lengths and with single bytes changed, through a file at
// `path`: every load must finish or raise EInvalidImage or EReadError, nothing else.
// Answers how many of the cut files still loaded.
int LoadDamaged(const std::string& bytes, const std::string& path, int step = 7);

}  // namespace reference
