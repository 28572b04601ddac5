#pragma once
// The framework's font object: a face name, a size in points (or a height in pixels), a style,
// a colour, and the GDI font made from them on demand. The screen has 96 pixels per inch.
// Every change tells OnChange (a canvas deselects the old GDI font before it is freed).

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/gdi/WinDefs.h"
#include "platform/vcl/GraphicsObject.h"

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;  // a set of TFontStyle bits
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = std::uint8_t;
QUILLO_DECLARE_ENUM_TYPE(TFontPitch)
// The published form of TFontStyles: a set of fsBold, fsItalic, fsUnderline and fsStrikeOut,
// whose bits are the TFontStyle values.
PTypeInfo FontStylesTypeInfo();

// Publishes Charset, Color, Height, Name, Pitch, Size and Style, so that a control's Font is
// stored and translated property by property ("Font.Size").
class TFont : public TGraphicsObject {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  static constexpr int kPixelsPerInch = 96;

  TFont();
  ~TFont() override;
  void Assign(const TPersistent* source) override;
  void Assign(const TFont& source) { Assign(static_cast<const TPersistent*>(&source)); }

  AnsiString GetName() const { return name_; }
  void SetName(const AnsiString& name);
  int GetSize() const;  // points
  void SetSize(int points);
  int GetHeight() const { return height_; }  // negative: the character height in pixels
  void SetHeight(int height);
  TFontStyles GetStyle() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor GetColor() const { return color_; }
  void SetColor(TColor colour);
  TFontCharset GetCharset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  TFontPitch GetPitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  // The GDI font, made on first use and remade after a change; owned by the font.
  HFONT GetHandle();
  // Takes over a font made elsewhere: its description becomes the font's.
  void SetHandle(HFONT font);

private:
  void FreeHandle();
  void Change();

  AnsiString name_ = "MS Sans Serif";
  int height_ = -11;  // 8 points
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  HFONT handle_ = nullptr;
};
