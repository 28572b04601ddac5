#include "ReferenceTools.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace reference {

std::string Find(const char* program) {
  for (const char* dir : {"/usr/bin/", "/bin/"}) {
    const std::string path = std::string(dir) + program;
    if (access(path.c_str(), X_OK) == 0) return path;
  }
  return "";
}

bool Run(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

std::string Quote(const std::string& path) { return "'" + path + "'"; }

namespace {

int ReadNumber(std::istream& in) {
  int c = in.get();
  while (c == '#' || std::isspace(c)) {
    if (c == '#') {
      while (c != '\n' && c != EOF) c = in.get();
    }
    c = in.get();
  }
  int value = 0;
  while (std::isdigit(c)) {
    value = value * 10 + (c - '0');
    c = in.get();
  }
  return value;  // the single whitespace after the number is consumed
}

}  // namespace

Image ReadPnm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  char p = 0, kind = 0;
  in.get(p).get(kind);
  if (p != 'P' || (kind != '4' && kind != '5' && kind != '6')) throw std::runtime_error("not binary PNM: " + path);
  Image image;
  image.width = ReadNumber(in);
  image.height = ReadNumber(in);
  const int maxval = kind == '4' ? 1 : ReadNumber(in);
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  const int rowBytes = kind == '4' ? (image.width + 7) / 8 : kind == '5' ? image.width : 3 * image.width;
  std::vector<unsigned char> row(rowBytes);
  auto scale = [maxval](int v) { return static_cast<uint>(v * 255 / maxval); };
  for (int y = 0; y < image.height; ++y) {
    in.read(reinterpret_cast<char*>(row.data()), rowBytes);
    for (int x = 0; x < image.width; ++x) {
      uint& px = image.pixels[static_cast<size_t>(y) * image.width + x];
      if (kind == '4') {
        px = (row[x / 8] >> (7 - x % 8)) & 1 ? 0x000000 : 0xFFFFFF;
      } else if (kind == '5') {
        const uint g = scale(row[x]);
        px = g << 16 | g << 8 | g;
      } else {
        px = scale(row[3 * x]) << 16 | scale(row[3 * x + 1]) << 8 | scale(row[3 * x + 2]);
      }
    }
  }
  if (!in) throw std::runtime_error("short PNM: " + path);
  return image;
}

void WritePpm(const std::string& path, const Image& image) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << image.width << " " << image.height << "\n255\n";
  for (uint px : image.pixels) {
    const char rgb[3] = {static_cast<char>(px >> 16), static_cast<char>(px >> 8), static_cast<char>(px)};
    out.write(rgb, 3);
  }
}

Image MagickRead(const std::string& path, int frame, bool coalesce) {
  const std::string convert = Find("convert");
  std::string command, out;
  if (coalesce) {
    command = convert + " " + Quote(path) + " -coalesce -depth 8 +adjoin " + Quote("ppm:" + path + ".ref-%d.ppm");
    out = path + ".ref-" + std::to_string(frame) + ".ppm";
  } else {
    out = path + ".ref.ppm";
    command = convert + " " + Quote(path + "[" + std::to_string(frame) + "]") + " -depth 8 " + Quote("ppm:" + out);
  }
  if (!Run(command)) throw std::runtime_error("ImageMagick failed: " + command);
  return ReadPnm(out);
}

Image NetpbmRead(const char* converter, const std::string& path) {
  const std::string out = path + ".netpbm.pnm";
  const std::string command = Find(converter) + " " + Quote(path) + " > " + Quote(out);
  if (!Run(command)) throw std::runtime_error("netpbm failed: " + command);
  return ReadPnm(out);
}

Image Picture(int width, int height, int colours, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<uint> palette(colours);
  for (int i = 0; i < colours; ++i) {
    // Distinct colours: the index spread over the channels, with a random low part.
    palette[i] = (static_cast<uint>(i) * 0x9E3779B1u) & 0x00F8FCF8;
    palette[i] ^= static_cast<uint>(i);
  }
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int index;
      if (y % 7 < 3) index = (x / 5 + y / 3) % colours;          // runs
      else if (y % 7 < 5) index = static_cast<int>(random() % colours);  // noise
      else index = (x * x + y) % colours;                         // mixed
      image.pixels[static_cast<size_t>(y) * width + x] = palette[index];
    }
  }
  return image;
}

Image FromBuffer(const Buffer& buffer) {
  Image image;
  image.width = buffer.Width();
  image.height = buffer.Height();
  for (int y = buffer.rect.top; y <= buffer.rect.bottom; ++y)
    for (int x = buffer.rect.left; x <= buffer.rect.right; ++x) image.pixels.push_back(*buffer.At(x, y));
  return image;
}

void ToBuffer(const Image& image, Buffer& buffer) {
  buffer.Alloc(Pair<int>(image.width, image.height));
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) *buffer.At(x, y) = image.At(x, y);
}

namespace {

bool Near(uint a, uint b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d > tolerance || d < -tolerance) return false;
  }
  return true;
}

}  // namespace

std::string Compare(const Image& expected, const Image& actual, int tolerance) {
  if (expected.width != actual.width || expected.height != actual.height) {
    return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) + ", expected " +
           std::to_string(expected.width) + "x" + std::to_string(expected.height);
  }
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      const uint e = expected.At(x, y) & 0xFFFFFF, a = actual.At(x, y) & 0xFFFFFF;
      if (!Near(e, a, tolerance)) {
        char text[96];
        std::snprintf(text, sizeof text, "pixel (%d, %d): %06X, expected %06X", x, y, a, e);
        return text;
      }
    }
  }
  return "";
}

std::string Compare(const Image& expected, const Buffer& actual, int tolerance) {
  return Compare(expected, FromBuffer(actual), tolerance);
}

}  // namespace reference

#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "vorlen/formats/GFXFile.h"

namespace reference {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool RunPython(const std::string& dir, const std::string& program) {
  const std::string script = dir + "/reference.py";
  WriteFile(script, program);
  return Run(Find("python3") + " " + Quote(script));
}

namespace {

// true when the load finished; false when it raised one of the expected errors.
bool TryLoad(const std::string& path, const std::string& what) {
  Buffer b;
  try {
    GFXFile::Load(b, path, nullptr, 0, nullptr);
    return true;
  } catch (const EInvalidImage&) {
  } catch (const EReadError&) {
  } catch (const std::exception& e) {
    ADD_FAILURE() << what << ": unexpected " << e.what();
  }
  return false;
}

}  // namespace

int LoadDamaged(const std::string& bytes, const std::string& path, int step) {
  int loaded = 0;
  for (size_t n = 0; n < bytes.size(); n += step) {
    WriteFile(path, bytes.substr(0, n));
    loaded += TryLoad(path, "cut at " + std::to_string(n));
  }
  for (size_t i = 0; i < bytes.size(); i += step) {
    std::string damaged = bytes;
    damaged[i] = static_cast<char>(damaged[i] ^ (0x5A + i));
    WriteFile(path, damaged);
    TryLoad(path, "byte " + std::to_string(i) + " changed");
  }
  return loaded;
}

}  // namespace reference
