#include "platform/vcl/Font.h"

#include <cstring>

#include "platform/gdi/Gdi.h"

QUILLO_DEFINE_PUBLISHED_CLASS(TFont, TGraphicsObject)
QUILLO_DEFINE_ENUM_TYPE(TFontPitch, "fpDefault", "fpVariable", "fpFixed")

PTypeInfo FontStylesTypeInfo() {
  // Member i is the style whose bit is 1 << i.
  static const TTypeInfo members = MakeEnumTypeInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
  static const TTypeInfo styles = MakeSetTypeInfo("TFontStyles", &members);
  return &styles;
}

const TPropTable* TFont::PublishedProperties() {
  static const TPropTable table = TPublisher<TFont>()
                                      .Property("Charset", &TFont::GetCharset, &TFont::SetCharset)
                                      .Property("Color", &TFont::GetColor, &TFont::SetColor)
                                      .Property("Height", &TFont::GetHeight, &TFont::SetHeight)
                                      .Property("Name", &TFont::GetName, &TFont::SetName)
                                      .Property("Pitch", &TFont::GetPitch, &TFont::SetPitch)
                                      .Property("Size", &TFont::GetSize, &TFont::SetSize)
                                      .Property("Style", &TFont::GetStyle, &TFont::SetStyle, FontStylesTypeInfo())
                                      .Table();
  return &table;
}

TFont::TFont() = default;

TFont::~TFont() { FreeHandle(); }

void TFont::Assign(const TPersistent* source) {
  const auto* font = dynamic_cast<const TFont*>(source);
  if (font == nullptr) return TGraphicsObject::Assign(source);
  if (font == this) return;
  name_ = font->name_;
  height_ = font->height_;
  style_ = font->style_;
  color_ = font->color_;
  charset_ = font->charset_;
  pitch_ = font->pitch_;
  Change();
}

void TFont::SetName(const AnsiString& name) {
  if (name == name_ || name.empty()) return;
  name_ = name;
  Change();
}

// Points to pixels and back, rounded as the framework does.
int TFont::GetSize() const { return -MulDiv(height_, 72, kPixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, kPixelsPerInch, 72)); }

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Change();
}

void TFont::SetStyle(TFontStyles style) {
  style &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
  if (style == style_) return;
  style_ = style;
  Change();
}

void TFont::SetColor(TColor colour) {
  if (colour == color_) return;
  color_ = colour;
  // The colour is the canvas's text colour, not part of the GDI font.
  Changed();
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Change();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Change();
}

HFONT TFont::GetHandle() {
  if (handle_ != nullptr) return handle_;
  LOGFONT log;
  log.lfHeight = height_;
  log.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
  log.lfItalic = (style_ & fsItalic) != 0;
  log.lfUnderline = (style_ & fsUnderline) != 0;
  log.lfStrikeOut = (style_ & fsStrikeOut) != 0;
  log.lfCharSet = charset_;
  log.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
  std::strncpy(log.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
  handle_ = CreateFontIndirect(&log);
  return handle_;
}

void TFont::SetHandle(HFONT font) {
  LOGFONT log;
  if (font == handle_ || GetObject(font, sizeof log, &log) == 0) return;
  FreeHandle();
  handle_ = font;
  name_ = AnsiString(log.lfFaceName, strnlen(log.lfFaceName, LF_FACESIZE));
  height_ = log.lfHeight;
  style_ = static_cast<TFontStyles>((log.lfWeight >= FW_BOLD ? fsBold : 0) | (log.lfItalic ? fsItalic : 0) |
                                    (log.lfUnderline ? fsUnderline : 0) | (log.lfStrikeOut ? fsStrikeOut : 0));
  charset_ = log.lfCharSet;
  const int pitch = log.lfPitchAndFamily & 3;
  pitch_ = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
  Changed();
}

void TFont::FreeHandle() {
  if (handle_ != nullptr) DeleteObject(handle_);
  handle_ = nullptr;
}

void TFont::Change() {
  FreeHandle();
  Changed();
}
