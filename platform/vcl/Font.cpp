#include "platform/vcl/Font.h"

#include <cstring>

#include "platform/gdi/Gdi.h"

namespace {

// Points to pixels and back, rounded as the framework does.
int MulDivRound(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  return static_cast<int>((product + (product < 0 ? -denominator : denominator) / 2) / denominator);
}

}  // namespace

TFont::TFont() = default;

TFont::~TFont() { FreeHandle(); }

void TFont::Assign(const TFont& source) {
  name_ = source.name_;
  height_ = source.height_;
  style_ = source.style_;
  FreeHandle();
}

void TFont::SetName(const AnsiString& name) {
  if (name == name_) return;
  name_ = name;
  FreeHandle();
}

int TFont::GetSize() const { return -MulDivRound(height_, 72, kPixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-MulDivRound(points, kPixelsPerInch, 72)); }

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  FreeHandle();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  FreeHandle();
}

HFONT TFont::GetHandle() {
  if (handle_ != nullptr) return handle_;
  LOGFONT log;
  log.lfHeight = height_;
  log.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
  log.lfItalic = (style_ & fsItalic) != 0;
  log.lfUnderline = (style_ & fsUnderline) != 0;
  log.lfStrikeOut = (style_ & fsStrikeOut) != 0;
  std::strncpy(log.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
  handle_ = CreateFontIndirect(&log);
  return handle_;
}

void TFont::FreeHandle() {
  if (handle_ != nullptr) DeleteObject(handle_);
  handle_ = nullptr;
}
