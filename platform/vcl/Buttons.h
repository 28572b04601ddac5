#pragma once
// Buttons with glyphs: TButtonGlyph (a glyph strip of up to four states, laid out with a
// caption inside a button), DrawButtonFace, TSpeedButton (a windowless button: grouped
// buttons stay down one at a time, flat ones show their frame while the mouse is over
// them) and TBitBtn (a push button with a glyph; Kind gives the standard ones).
//
// A derived speed button may paint itself (Paint), press and release differently
// (MouseDown, MouseMove, MouseUp), answer the group notice (ButtonPressed), and follow the
// mouse (MouseEnter, MouseLeave, the framework's CM_MOUSEENTER and CM_MOUSELEAVE).

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/StdButtons.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
using TNumGlyphs = int;  // 1 to 4
QUILLO_DECLARE_ENUM_TYPE(TButtonLayout)
QUILLO_DECLARE_ENUM_TYPE(TButtonStyle)
QUILLO_DECLARE_ENUM_TYPE(TBitBtnKind)

// The glyph of a button: a strip of NumGlyphs cells (up, disabled, down, stuck down); a
// state without a cell of its own shows the up cell (embossed for disabled). The colour of
// the bottom-left pixel is transparent.
class TButtonGlyph {
public:
  TButtonGlyph();
  ~TButtonGlyph();
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  TBitmap* GetGlyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* bitmap);
  TNumGlyphs GetNumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(TNumGlyphs value);
  // The size of one cell; (0, 0) without a glyph.
  SIZE CellSize() const;

  // Lays the glyph and the caption out in client (Margin and Spacing -1: automatic) and
  // draws both, moved by offset; answers where the caption went.
  TRect Draw(TCanvas* canvas, const TRect& client, const TPoint& offset, const AnsiString& caption,
             TButtonLayout layout, int margin, int spacing, TButtonState state, bool transparent, UINT textFlags);
  // Where the glyph and the caption go in client.
  void CalcLayout(TCanvas* canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout, int margin,
                  int spacing, TPoint& glyphPos, TRect& textBounds, UINT textFlags);
  void DrawGlyph(TCanvas* canvas, const TPoint& at, TButtonState state);
  void DrawText(TCanvas* canvas, const AnsiString& caption, const TRect& bounds, TButtonState state, UINT textFlags);

  std::function<void()> OnChange;

private:
  void GlyphChanged();

  TOwnedPtr<TBitmap> glyph_;
  TNumGlyphs numGlyphs_ = 1;
};

// Draws a button's face and frame in client (pressed, focused, default); answers the area
// inside the frame.
TRect DrawButtonFace(TCanvas* canvas, const TRect& client, int bevelWidth, TButtonStyle style, bool isRounded,
                     bool isDown, bool isFocused);

class TSpeedButton : public TGraphicControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;

  int GetGroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool GetDown() const { return down_; }
  // Only a grouped button goes down; a down one goes up only when AllowAllUp.
  void SetDown(bool value);
  bool GetAllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  bool GetFlat() const { return flat_; }
  void SetFlat(bool value);
  TBitmap* GetGlyph() const { return glyph_->GetGlyph(); }
  void SetGlyph(TBitmap* bitmap);
  TNumGlyphs GetNumGlyphs() const { return glyph_->GetNumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs value);
  TButtonLayout GetLayout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int GetMargin() const { return margin_; }
  void SetMargin(int value);
  int GetSpacing() const { return spacing_; }
  void SetSpacing(int value);
  bool GetTransparent() const { return transparent_; }
  void SetTransparent(bool value);
  TButtonState State() const { return state_; }
  bool MouseInControl() const { return mouseInControl_; }

  void Click() override;
  void Dispatch(TMessage& message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // Another button of the parent went down (CM_BUTTONPRESSED with its group index).
  virtual void ButtonPressed(int groupIndex, TSpeedButton* sender);
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Tells the buttons of the parent that this one of the group is down.
  void UpdateExclusive();
  TButtonGlyph* Glyph() const { return glyph_.get(); }

  TButtonState state_ = bsUp;
  bool dragging_ = false;

private:
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  bool flat_ = false;
  bool transparent_ = false;
  bool mouseInControl_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  std::unique_ptr<TButtonGlyph> glyph_;
};

class TBitBtn : public TButton {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TBitBtn(TComponent* owner);
  ~TBitBtn() override;

  TBitBtnKind GetKind() const { return kind_; }
  // A standard kind sets the caption, the glyph, the modal result and Default or Cancel.
  void SetKind(TBitBtnKind kind);
  TBitmap* GetGlyph() const { return glyph_->GetGlyph(); }
  void SetGlyph(TBitmap* bitmap);
  TNumGlyphs GetNumGlyphs() const { return glyph_->GetNumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs value);
  TButtonLayout GetLayout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int GetMargin() const { return margin_; }
  void SetMargin(int value);
  int GetSpacing() const { return spacing_; }
  void SetSpacing(int value);
  TButtonStyle GetStyle() const { return style_; }
  void SetStyle(TButtonStyle value);

  void Click() override;
  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void SetButtonStyle(bool isDefault) override;
  virtual void DrawItem(const DRAWITEMSTRUCT& item);

private:
  void CopyKindGlyph();

  TBitBtnKind kind_ = bkCustom;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  TButtonStyle style_ = bsAutoDetect;
  bool isFocused_ = false;
  bool modifiedGlyph_ = false;
  std::unique_ptr<TButtonGlyph> glyph_;
};

// The captions of the standard bit buttons (the program's language file may replace them).
namespace VclText {
inline constexpr const char* OKButton = "OK";
inline constexpr const char* CancelButton = "Cancel";
inline constexpr const char* HelpButton = "&Help";
inline constexpr const char* YesButton = "&Yes";
inline constexpr const char* NoButton = "&No";
inline constexpr const char* CloseButton = "&Close";
inline constexpr const char* AbortButton = "Abort";
inline constexpr const char* RetryButton = "&Retry";
inline constexpr const char* IgnoreButton = "&Ignore";
inline constexpr const char* AllButton = "&All";
}  // namespace VclText
// The glyph of a standard kind, drawn (the caller owns it); null for bkCustom.
TOwnedPtr<TBitmap> StandardButtonGlyph(TBitBtnKind kind);
const char* StandardButtonCaption(TBitBtnKind kind);
