#pragma once
// Small helpers shared by the codec tests.

#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "vorlen/formats/GFXFile.h"

// Switches the registry's alpha mode for one test and back off on every exit.
struct AlphaMode {
  explicit AlphaMode(bool on) { GFXFile::SetAlpha(on); }
  ~AlphaMode() { GFXFile::SetAlpha(false); }
  AlphaMode(const AlphaMode&) = delete;
  AlphaMode& operator=(const AlphaMode&) = delete;
};

// Loads `bytes` from memory with one format and expects the invalid-image error "100" with
// nothing allocated for the target: a file whose data cannot describe the size it claims
// must be refused before its size is reserved.
inline void ExpectRefusedUnallocated(GFXFile* format, const std::string& bytes) {
  ASSERT_NE(format, nullptr);
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  stream.SetPosition(0);
  Buffer dst;
  try {
    format->Load(dst, &stream, 0, nullptr, nullptr);
    ADD_FAILURE() << "loaded";
  } catch (const EInvalidImage& e) {
    EXPECT_EQ(e.Message, "100");
  } catch (const Exception& e) {
    ADD_FAILURE() << "another error: " << e.what();
  }
  EXPECT_EQ(dst.pixels, nullptr);
}
