#pragma once
// libpng as the independent reference: writing sample files of every colour type, bit depth
// and interlacing, and reading files back as 8-bit RGBA with warnings counted.

#include <png.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace libpng {

using Bytes = std::vector<unsigned char>;

// Samples of one image as the file holds them: width x height x channels values of
// `depth` bits, row after row.
struct Image {
  int width = 0;
  int height = 0;
  int depth = 8;
  int colourType = PNG_COLOR_TYPE_RGB;
  bool interlaced = false;
  std::vector<unsigned> samples;
  std::vector<png_color> palette;
  std::vector<unsigned char> paletteAlpha;  // tRNS of palette images
  bool hasKey = false;                      // tRNS of grey and RGB images
  png_color_16 key{};
  bool hasBackground = false;
  png_color_16 background{};

  int Channels() const {
    switch (colourType) {
      case PNG_COLOR_TYPE_RGB: return 3;
      case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
      case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
      default: return 1;
    }
  }
};

struct Result {
  int width = 0;
  int height = 0;
  int warnings = 0;
  std::vector<uint32_t> rgba;  // 0xAARRGGBB
  png_color_16 trnsColour{};
  std::vector<unsigned char> trnsAlpha;
  bool hasTrns = false;
  bool hasBackground = false;
  png_color_16 background{};
};

inline void OnError(png_structp png, png_const_charp message) {
  throw std::runtime_error(std::string("libpng: ") + message);
  (void)png;
}

inline void CountWarning(png_structp png, png_const_charp) {
  ++*static_cast<int*>(png_get_error_ptr(png));
}

inline void Append(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

inline void Flush(png_structp) {}

struct Reader {
  const Bytes* bytes;
  size_t at = 0;
};

inline void Take(png_structp png, png_bytep data, png_size_t n) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (r->at + n > r->bytes->size()) png_error(png, "read past the end");
  std::memcpy(data, r->bytes->data() + r->at, n);
  r->at += n;
}

// Packs one row of samples as the file stores them.
inline Bytes PackRow(const Image& im, int y) {
  const int perRow = im.width * im.Channels();
  Bytes row(static_cast<size_t>((perRow * im.depth + 7) / 8), 0);
  for (int i = 0; i < perRow; ++i) {
    const unsigned v = im.samples[static_cast<size_t>(y) * perRow + i];
    if (im.depth == 16) {
      row[2 * i] = static_cast<unsigned char>(v >> 8);
      row[2 * i + 1] = static_cast<unsigned char>(v);
    } else if (im.depth == 8) {
      row[i] = static_cast<unsigned char>(v);
    } else {
      const int bit = i * im.depth;
      row[bit / 8] |= static_cast<unsigned char>(v << (8 - im.depth - bit % 8));
    }
  }
  return row;
}

inline Bytes Write(const Image& im) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, nullptr);
  png_infop info = png_create_info_struct(png);
  try {
    png_set_write_fn(png, &out, Append, Flush);
    png_set_IHDR(png, info, im.width, im.height, im.depth, im.colourType,
                 im.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!im.palette.empty())
      png_set_PLTE(png, info, im.palette.data(), static_cast<int>(im.palette.size()));
    if (!im.paletteAlpha.empty())
      png_set_tRNS(png, info, im.paletteAlpha.data(), static_cast<int>(im.paletteAlpha.size()), nullptr);
    if (im.hasKey) png_set_tRNS(png, info, nullptr, 0, const_cast<png_color_16*>(&im.key));
    if (im.hasBackground) png_set_bKGD(png, info, &im.background);
    png_set_filter(png, 0, PNG_ALL_FILTERS);
    png_write_info(png, info);
    std::vector<Bytes> rows;
    std::vector<png_bytep> pointers;
    for (int y = 0; y < im.height; ++y) rows.push_back(PackRow(im, y));
    for (auto& r : rows) pointers.push_back(r.data());
    png_write_image(png, pointers.data());
    png_write_end(png, info);
  } catch (...) {
    png_destroy_write_struct(&png, &info);
    throw;
  }
  png_destroy_write_struct(&png, &info);
  return out;
}

// Reads any PNG as 8-bit RGBA (16-bit samples cut to their high byte), counting warnings.
inline Result Read(const Bytes& file) {
  Result result;
  Reader reader{&file};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &result.warnings, OnError, CountWarning);
  png_infop info = png_create_info_struct(png);
  try {
    png_set_read_fn(png, &reader, Take);
    png_read_info(png, info);
    png_bytep alpha = nullptr;
    int count = 0;
    png_color_16p colour = nullptr;
    if (png_get_tRNS(png, info, &alpha, &count, &colour)) {
      result.hasTrns = true;
      if (alpha) result.trnsAlpha.assign(alpha, alpha + count);
      if (colour) result.trnsColour = *colour;
    }
    png_color_16p bkgd = nullptr;
    if (png_get_bKGD(png, info, &bkgd)) {
      result.hasBackground = true;
      result.background = *bkgd;
    }
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    result.width = static_cast<int>(png_get_image_width(png, info));
    result.height = static_cast<int>(png_get_image_height(png, info));
    std::vector<Bytes> rows(result.height, Bytes(png_get_rowbytes(png, info)));
    std::vector<png_bytep> pointers;
    for (auto& r : rows) pointers.push_back(r.data());
    png_read_image(png, pointers.data());
    png_read_end(png, nullptr);
    for (auto& r : rows)
      for (int x = 0; x < result.width; ++x)
        result.rgba.push_back(uint32_t(r[4 * x + 3]) << 24 | uint32_t(r[4 * x]) << 16 |
                              uint32_t(r[4 * x + 1]) << 8 | r[4 * x + 2]);
  } catch (...) {
    png_destroy_read_struct(&png, &info, nullptr);
    throw;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return result;
}

}  // namespace libpng
