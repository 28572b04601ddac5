#pragma once
// The face of the components' speed button: TExButtonGlyph keeps a glyph strip, builds one
// image per drawing state on first use (kept in glyph lists shared by every glyph of the same
// size, in this family's own cache), lays glyph and caption out inside the button, and draws
// an optional drop-down mark. DrawButtonFrame draws the classic frames; TButtonImage draws a
// whole button picture anywhere.

#include <functional>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Alignment.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/ImageList.h"
#include "quillo/components/utilities/GlyphList.h"

enum TExButtonState { rbsUp, rbsDisabled, rbsDown, rbsExclusive, rbsInactive };
QUILLO_DECLARE_ENUM_TYPE(TExButtonState)

// The cache of the speed buttons' glyph lists: null while no glyph object lives and no list
// is held.
TGlyphCache* ExButtonGlyphCache();

// 0 or DT_WORDBREAK.
inline UINT WordWrapTextFlags(bool wordWrap) { return wordWrap ? DT_WORDBREAK : 0; }

class TExButtonGlyph : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  TExButtonGlyph();
  ~TExButtonGlyph() override;

  TBitmap* GetGlyph() const { return original_.get(); }
  // Copies the bitmap (null empties the glyph).
  void SetGlyph(TBitmap* value);
  int GetNumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value);
  bool GetWordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value) { wordWrap_ = value; }
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment value) { alignment_ = value; }
  TColor TransparentColor() const { return transparentColor_; }
  TNotifyEvent OnChange;

  // Drops every built image (the slots go back to the shared list).
  void Invalidate();
  // The grey of the inactive look: the transparent colour and the button face stay.
  TColor MapColor(TColor color) const;
  // The list slot of a state's image, built on first use; -1 when there is nothing to show.
  int CreateButtonGlyph(TExButtonState state);
  int CreateImageGlyph(TExButtonState state, TCustomImageList* images, int index);
  TGlyphList* GlyphList() const { return glyphList_; }
  int BuiltIndex(TExButtonState state) const { return indexes_[state]; }

  TPoint DrawButtonGlyph(TCanvas* canvas, int x, int y, TExButtonState state);
  TPoint DrawButtonImage(TCanvas* canvas, int x, int y, TCustomImageList* images, int index, TExButtonState state);
  static void DrawPopupMark(TCanvas* canvas, int x, int y, TExButtonState state);
  AnsiString MinimizeCaption(TCanvas* canvas, const AnsiString& caption, int width) const;
  void DrawButtonText(TCanvas* canvas, const AnsiString& caption, const TRect& textBounds, TExButtonState state,
                      UINT flags);
  // Where glyph and caption go; answers the caption as it fits.
  AnsiString CalcButtonLayout(TCanvas* canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout,
                              int margin, int spacing, bool popupMark, TPoint& glyphPos, TRect& textBounds,
                              UINT flags, TCustomImageList* images = nullptr, int imageIndex = -1);
  // Lays out and draws glyph (or image-list image), caption and mark; answers the caption's
  // rectangle.
  TRect DrawEx(TCanvas* canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout, int margin,
               int spacing, bool popupMark, TCustomImageList* images, int imageIndex, TExButtonState state, UINT flags);
  TRect Draw(TCanvas* canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout, int margin,
             int spacing, bool popupMark, TExButtonState state, UINT flags) {
    return DrawEx(canvas, client, caption, layout, margin, spacing, popupMark, nullptr, -1, state, flags);
  }

private:
  void GlyphChanged(TObject* sender);
  TGlyphList* EnsureList(int width, int height);

  TOwnedPtr<TBitmap> original_;
  TGlyphList* glyphList_ = nullptr;
  int indexes_[5];
  TColor transparentColor_ = static_cast<TColor>(0xFF00FF);
  int numGlyphs_ = 1;
  bool wordWrap_ = false;
  TAlignment alignment_ = taCenter;
};

// The classic button frames, pressed or not, flat or not, in the new or the old style; answers
// the area inside them.
TRect DrawButtonFrame(TCanvas* canvas, const TRect& client, bool isDown, bool isFlat, TButtonStyle style);

// A whole button picture (face, frame, glyph, caption) drawn at a point of any canvas.
class TButtonImage : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  TButtonImage();
  ~TButtonImage() override;
  TBitmap* GetGlyph() const { return glyph_->GetGlyph(); }
  void SetGlyph(TBitmap* value) { glyph_->SetGlyph(value); }
  int GetNumGlyphs() const { return glyph_->GetNumGlyphs(); }
  void SetNumGlyphs(int value) { glyph_->SetNumGlyphs(value); }
  bool GetWordWrap() const { return glyph_->GetWordWrap(); }
  void SetWordWrap(bool value) { glyph_->SetWordWrap(value); }
  TAlignment GetAlignment() const { return glyph_->GetAlignment(); }
  void SetAlignment(TAlignment value) { glyph_->SetAlignment(value); }
  TPoint ButtonSize{24, 23};
  AnsiString Caption;

  void Invalidate() { glyph_->Invalidate(); }
  void Draw(TCanvas* canvas, int x, int y, int margin, int spacing, TButtonLayout layout, TFont* font, UINT flags) {
    DrawEx(canvas, x, y, margin, spacing, layout, font, nullptr, -1, flags);
  }
  void DrawEx(TCanvas* canvas, int x, int y, int margin, int spacing, TButtonLayout layout, TFont* font,
              TCustomImageList* images, int imageIndex, UINT flags);

private:
  TOwnedPtr<TExButtonGlyph> glyph_;
};
