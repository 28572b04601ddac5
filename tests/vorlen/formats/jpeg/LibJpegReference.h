#pragma once
// libjpeg-turbo as the independent reference for the JPEG tests and benchmarks: it writes
// files in every variant the decoder must read and decodes what the encoder writes. Header
// only, so that the benchmark program can share it.

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>  // after <cstdio>: it uses FILE and size_t without including them

namespace reference {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
};

struct EncodeOptions {
  int quality = 90;
  bool grey = false;
  bool progressive = false;
  int h = 1, v = 1;  // luminance sampling
  int restartRows = 0;
  int restartBlocks = 0;
  bool separateScans = false;  // sequential, one scan per component
  bool optimize = false;       // Huffman tables made for the image (progressive files always are)
  bool stepwise = false;       // progressive colour in finer steps: split bands, three refinements
};

struct Decoded {
  bool ok = false;
  int warnings = 0;
  int components = 0;
  Image image;
};

namespace detail {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

inline void OnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

inline void OnMessage(j_common_ptr info, int level) {
  if (level < 0) ++info->err->num_warnings;
}

inline void Install(ErrorManager& err) {
  jpeg_std_error(&err.base);
  err.base.error_exit = OnError;
  err.base.emit_message = OnMessage;
}

}  // namespace detail

// A photo-like test picture: smooth shading, hard edges and fine texture.
inline Image PhotoLike(int width, int height, std::uint32_t seed = 1) {
  Image img{width, height, std::vector<std::uint32_t>(static_cast<size_t>(width) * height)};
  std::uint32_t state = seed;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      const int noise = static_cast<int>(state >> 28) - 8;
      int r = (x * 255) / (width > 1 ? width - 1 : 1);
      int g = (y * 255) / (height > 1 ? height - 1 : 1);
      int b = ((x / 37 + y / 23) & 1) ? 200 : 40;
      if ((x - width / 2) * (x - width / 2) + (y - height / 3) * (y - height / 3) < width * height / 16) {
        r = 255 - r;
        b = (x * y) & 255;
      }
      auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
      img.pixels[static_cast<size_t>(y) * width + x] =
          static_cast<std::uint32_t>(clamp(r + noise) << 16 | clamp(g + noise) << 8 | clamp(b + noise));
    }
  }
  return img;
}

namespace detail {

// Compresses img into the destination `attach` gives the compressor; false on libjpeg's error.
template <class Attach>
bool Compress(const Image& img, const EncodeOptions& o, Attach attach) {
  jpeg_compress_struct info;
  ErrorManager err;
  std::vector<unsigned char> row(static_cast<size_t>(img.width) * 3);
  info.err = &err.base;
  Install(err);
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  attach(&info);
  info.image_width = static_cast<JDIMENSION>(img.width);
  info.image_height = static_cast<JDIMENSION>(img.height);
  info.input_components = o.grey ? 1 : 3;
  info.in_color_space = o.grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, o.quality, TRUE);
  info.optimize_coding = o.optimize ? TRUE : FALSE;
  if (!o.grey) {
    info.comp_info[0].h_samp_factor = o.h;
    info.comp_info[0].v_samp_factor = o.v;
  }
  if (o.progressive) jpeg_simple_progression(&info);
  static const jpeg_scan_info kSeparate[3] = {{1, {0}, 0, 63, 0, 0}, {1, {1}, 0, 63, 0, 0}, {1, {2}, 0, 63, 0, 0}};
  if (o.separateScans) {
    info.scan_info = kSeparate;
    info.num_scans = o.grey ? 1 : 3;
  }
  static const jpeg_scan_info kStepwise[] = {
      {3, {0, 1, 2}, 0, 0, 0, 2}, {1, {0}, 1, 9, 0, 3},    {1, {0}, 10, 63, 0, 3}, {1, {1}, 1, 63, 0, 2},
      {1, {2}, 1, 63, 0, 2},      {1, {0}, 1, 63, 3, 2},   {3, {0, 1, 2}, 0, 0, 2, 1}, {1, {0}, 1, 63, 2, 1},
      {1, {1}, 1, 63, 2, 1},      {1, {2}, 1, 63, 2, 1},   {3, {0, 1, 2}, 0, 0, 1, 0}, {1, {0}, 1, 5, 1, 0},
      {1, {0}, 6, 63, 1, 0},      {1, {1}, 1, 63, 1, 0},   {1, {2}, 1, 63, 1, 0}};
  if (o.progressive && o.stepwise && !o.grey) {
    info.scan_info = kStepwise;
    info.num_scans = sizeof kStepwise / sizeof kStepwise[0];
  }
  info.restart_in_rows = o.restartRows;
  info.restart_interval = static_cast<unsigned>(o.restartBlocks);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    const std::uint32_t* src = img.pixels.data() + static_cast<size_t>(info.next_scanline) * img.width;
    for (int x = 0; x < img.width; ++x) {
      if (o.grey) {
        row[x] = static_cast<unsigned char>(src[x] >> 8);
      } else {
        row[3 * x] = static_cast<unsigned char>(src[x] >> 16);
        row[3 * x + 1] = static_cast<unsigned char>(src[x] >> 8);
        row[3 * x + 2] = static_cast<unsigned char>(src[x]);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace detail

inline std::vector<unsigned char> Encode(const Image& img, const EncodeOptions& o) {
  unsigned char* out = nullptr;
  unsigned long size = 0;
  std::vector<unsigned char> file;
  if (detail::Compress(img, o, [&](j_compress_ptr info) { jpeg_mem_dest(info, &out, &size); }))
    file.assign(out, out + size);
  std::free(out);
  return file;
}

// Writes through libjpeg's own stdio destination; false on libjpeg's error.
inline bool EncodeToFile(const Image& img, const EncodeOptions& o, std::FILE* file) {
  return detail::Compress(img, o, [&](j_compress_ptr info) { jpeg_stdio_dest(info, file); });
}

namespace detail {

// Decodes from the source `attach` gives the decompressor.
template <class Attach>
Decoded Decompress(bool fancy, Attach attach) {
  Decoded result;
  jpeg_decompress_struct info;
  ErrorManager err;
  info.err = &err.base;
  Install(err);
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    result.ok = false;
    return result;
  }
  jpeg_create_decompress(&info);
  attach(&info);
  jpeg_read_header(&info, TRUE);
  result.components = info.num_components;
  info.out_color_space = JCS_RGB;
  info.do_fancy_upsampling = fancy ? TRUE : FALSE;
  info.dct_method = JDCT_ISLOW;
  jpeg_start_decompress(&info);
  result.image.width = static_cast<int>(info.output_width);
  result.image.height = static_cast<int>(info.output_height);
  result.image.pixels.resize(static_cast<size_t>(info.output_width) * info.output_height);
  std::vector<unsigned char> row(static_cast<size_t>(info.output_width) * 3);
  while (info.output_scanline < info.output_height) {
    const size_t y = info.output_scanline;
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (unsigned x = 0; x < info.output_width; ++x)
      result.image.pixels[y * info.output_width + x] =
          static_cast<std::uint32_t>(row[3 * x] << 16 | row[3 * x + 1] << 8 | row[3 * x + 2]);
  }
  jpeg_finish_decompress(&info);
  result.warnings = static_cast<int>(err.base.num_warnings);
  jpeg_destroy_decompress(&info);
  result.ok = true;
  return result;
}

}  // namespace detail

// Decodes to 0x00RRGGBB pixels. fancy = false asks for chroma replication (no smoothing),
// the decoder's own upsampling rule.
inline Decoded Decode(const std::vector<unsigned char>& file, bool fancy = false) {
  return detail::Decompress(fancy, [&](j_decompress_ptr info) {
    jpeg_mem_src(info, file.data(), static_cast<unsigned long>(file.size()));
  });
}

// Reads through libjpeg's own stdio source.
inline Decoded DecodeFile(std::FILE* file, bool fancy = false) {
  return detail::Decompress(fancy, [&](j_decompress_ptr info) { jpeg_stdio_src(info, file); });
}

// The same coefficients rewritten as one sequential interleaved scan with the example Huffman
// tables (libjpeg-turbo's lossless transcoding); empty on libjpeg's error. A decoder must give
// such a copy exactly the pixels it gives the original.
inline std::vector<unsigned char> TranscodeToSequential(const std::vector<unsigned char>& file) {
  std::vector<unsigned char> result;
  jpeg_decompress_struct in;
  jpeg_compress_struct out;
  detail::ErrorManager err;  // one for both, so that one jump point serves
  in.err = &err.base;
  out.err = &err.base;
  detail::Install(err);
  unsigned char* bytes = nullptr;
  unsigned long size = 0;
  jpeg_create_decompress(&in);
  jpeg_create_compress(&out);
  if (setjmp(err.jump) == 0) {
    jpeg_mem_src(&in, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&in, TRUE);
    jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&in);
    jpeg_copy_critical_parameters(&in, &out);
    out.optimize_coding = FALSE;
    jpeg_mem_dest(&out, &bytes, &size);
    jpeg_write_coefficients(&out, coefficients);
    jpeg_finish_compress(&out);
    jpeg_finish_decompress(&in);
    result.assign(bytes, bytes + size);
  }
  jpeg_destroy_compress(&out);
  jpeg_destroy_decompress(&in);
  std::free(bytes);
  return result;
}

}  // namespace reference
