#pragma once
// A folder of photo-like JPEG files, written once by the library, for the benchmarks that
// convert or browse many files.

#include <filesystem>
#include <string>

#include "SyntheticPhoto.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"

namespace bench_photo {

// Writes folder/photo0.jpg .. photo<count-1>.jpg at quality 90 (the folder is made).
inline void WriteJpegFolder(const std::string& folder, int count, int width, int height) {
  std::filesystem::create_directories(folder);
  Buffer photo;
  photo.Alloc(Pair<int>(width, height));
  const std::vector<uint32_t> pixels = Make(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *photo.At(x, y) = pixels[static_cast<std::size_t>(y) * width + x];
  GFXSaveParams params;
  params.quality = 90;
  for (int i = 0; i < count; ++i)
    GFXFile::Save(photo, folder + "/photo" + std::to_string(i) + ".jpg", nullptr, &params);
  photo.Free();
}

}  // namespace bench_photo
