#pragma once
// The framework's font object: a face name, a size in points (or a height in pixels), a style,
// and the GDI font made from them on demand. The screen has 96 pixels per inch.

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/gdi/WinDefs.h"

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;  // a set of TFontStyle bits

class TFont {
public:
  static constexpr int kPixelsPerInch = 96;

  TFont();
  ~TFont();
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;
  void Assign(const TFont& source);

  AnsiString GetName() const { return name_; }
  void SetName(const AnsiString& name);
  int GetSize() const;  // points
  void SetSize(int points);
  int GetHeight() const { return height_; }  // negative: the character height in pixels
  void SetHeight(int height);
  TFontStyles GetStyle() const { return style_; }
  void SetStyle(TFontStyles style);
  // The GDI font, made on first use and remade after a change; owned by the font.
  HFONT GetHandle();

private:
  void FreeHandle();

  AnsiString name_ = "MS Sans Serif";
  int height_ = -11;  // 8 points
  TFontStyles style_ = 0;
  HFONT handle_ = nullptr;
};
