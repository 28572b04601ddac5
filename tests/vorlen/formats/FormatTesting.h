#pragma once
// Small helpers shared by the codec tests.

#include "vorlen/formats/GFXFile.h"

// Switches the registry's alpha mode for one test and back off on every exit.
struct AlphaMode {
  explicit AlphaMode(bool on) { GFXFile::SetAlpha(on); }
  ~AlphaMode() { GFXFile::SetAlpha(false); }
  AlphaMode(const AlphaMode&) = delete;
  AlphaMode& operator=(const AlphaMode&) = delete;
};
