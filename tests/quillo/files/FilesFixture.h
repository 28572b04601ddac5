#pragma once
// What the image-file tests share: a fresh settings folder with a folder of pictures in it, a
// desktop for the message boxes, the English language file, the preferences as a first run
// has them (restored afterwards), and sample files written by libpng, the independent
// reference.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/Application.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/png/LibpngReference.h"

// The pixel (x, y) of the samples: 0x00RRGGBB, scattered so that the files hardly compress.
inline std::uint32_t SampleColour(int x, int y) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(y) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 13;
  return h & 0x00FFFFFF;
}

class FilesFixture : public ::testing::Test {
protected:
  FilesFixture() : savedSettings(Settings) {
    Settings = TSettings();
    GFXFile::SetAlpha(true);  // as the program runs the library
    Lang = std::make_unique<Language>(QUILLO_BIN_DIR);
    Lang->Load("English");
    std::filesystem::create_directories(folder);
  }
  ~FilesFixture() override {
    Lang.reset();
    ResetApplication();
    Settings = savedSettings;
    GFXFile::SetAlpha(false);
  }

  std::string PathOf(const std::string& name) const { return folder + "/" + name; }

  // The names in the pictures folder, sorted: a stray temporary file shows.
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  static void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // An RGB PNG of the sample colours, written by libpng; optionally with a key colour (tRNS)
  // and a background colour (bKGD).
  static std::string SamplePng(int width, int height, const std::uint32_t* key = nullptr,
                               const std::uint32_t* background = nullptr) {
    libpng::Image im;
    im.width = width;
    im.height = height;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const std::uint32_t c = SampleColour(x, y);
        im.samples.insert(im.samples.end(), {c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF});
      }
    const auto asColour16 = [](std::uint32_t c) {
      png_color_16 v{};
      v.red = static_cast<png_uint_16>(c >> 16 & 0xFF);
      v.green = static_cast<png_uint_16>(c >> 8 & 0xFF);
      v.blue = static_cast<png_uint_16>(c & 0xFF);
      return v;
    };
    if (key != nullptr) {
      im.hasKey = true;
      im.key = asColour16(*key);
    }
    if (background != nullptr) {
      im.hasBackground = true;
      im.background = asColour16(*background);
    }
    const libpng::Bytes bytes = libpng::Write(im);
    return std::string(bytes.begin(), bytes.end());
  }

  // Whether the picture holds the sample colours (opaque) at its size.
  static bool HoldsSample(const UDBuffer& p, int width, int height) {
    if (p.pixels == nullptr || p.Width() != width || p.Height() != height) return false;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (*p.At(x, y) != SampleColour(x, y)) return false;
    return true;
  }

  TSettings savedSettings;
  TempHome home;
  UiDriver ui;
  const std::string folder = home.Path() + "/pictures";
};
