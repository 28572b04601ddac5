#pragma once
// TGradientForm: a form that paints its own caption bar in one off-screen pass: a
// left-to-right colour gradient (or a solid colour), the small icon, the caption buttons, an
// optional logo at one end, and the caption text in its own font. The frame around it is
// left to the window manager. The form keeps its caption itself, so WM_GETTEXT answers from
// it and setting the text repaints only the painted caption.

#include <functional>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Form.h"

enum TGFPaintWhen { gfpAlways, gfpActive, gfpNever };
enum TGFLogoAlign { laLeft, laRight };
QUILLO_DECLARE_ENUM_TYPE(TGFPaintWhen)
QUILLO_DECLARE_ENUM_TYPE(TGFLogoAlign)

// Lets the owner draw into the caption (memory canvas, caption rectangle at the origin)
// before the text; it may narrow the rectangle the text gets.
using TGFOnCaptionPaint = std::function<void(TObject* sender, TCanvas* canvas, TRect& rect)>;

class TGradientForm : public TForm {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TGradientForm(TComponent* owner);
  ~TGradientForm() override;

  TFont* GetCaptionFont() const { return captionFont_.get(); }
  void SetCaptionFont(TFont* font);
  bool GetUseSystemCaptionFont() const { return useSystemCaptionFont_; }
  void SetUseSystemCaptionFont(bool value);
  int GetGradientColors() const { return gradientColors_; }
  void SetGradientColors(int value);
  TColor GetCaptionTextColor() const { return captionTextColor_; }
  void SetCaptionTextColor(TColor value);
  TColor GetInactiveCaptionTextColor() const { return inactiveCaptionTextColor_; }
  void SetInactiveCaptionTextColor(TColor value);
  TColor GetGradientStartColor() const { return startColor_; }
  void SetGradientStartColor(TColor value);
  TColor GetGradientStopColor() const { return stopColor_; }
  void SetGradientStopColor(TColor value);
  TColor GetGradientInactiveStartColor() const { return inactiveStartColor_; }
  void SetGradientInactiveStartColor(TColor value);
  TColor GetGradientInactiveStopColor() const { return inactiveStopColor_; }
  void SetGradientInactiveStopColor(TColor value);
  TGFPaintWhen GetPaintGradient() const { return paintGradient_; }
  void SetPaintGradient(TGFPaintWhen value);
  bool GetUseWin98Gradient() const { return useWin98Gradient_; }
  void SetUseWin98Gradient(bool value);
  bool GetUseDithering() const { return useDithering_; }
  void SetUseDithering(bool value);
  TBitmap* GetLogo() const { return logo_.get(); }
  void SetLogo(TBitmap* value);
  TBitmap* GetInactiveLogo() const { return inactiveLogo_.get(); }
  void SetInactiveLogo(TBitmap* value);
  TGFLogoAlign GetLogoAlign() const { return logoAlign_; }
  void SetLogoAlign(TGFLogoAlign value);
  bool GetLogoLayered() const { return logoLayered_; }
  void SetLogoLayered(bool value);
  bool GetPaint16Color() const { return paint16Color_; }
  void SetPaint16Color(bool value);
  AnsiString GetVersion() const;

  TGFOnCaptionPaint OnCaptionPaint;

  // Repaints the frame (and so the caption) when the form paints its own caption.
  void InvalidateCaption();
  // The system's own caption is used: UseWin98Gradient on a system that paints gradients, or
  // a 16-colour screen without Paint16Color.
  bool InhibitGradient() const;
  bool IsActiveWindow() const;
  // The colour ramps (RGB) the gradient is drawn from.
  const std::vector<COLORREF>& ActiveRamp() const { return activeRamp_; }
  const std::vector<COLORREF>& InactiveRamp() const { return inactiveRamp_; }

  void WndProc(TMessage& message) override;

protected:
  virtual void GetCaptionRect(TRect& rect);
  virtual TRect DrawCaption(HDC dc, bool active);
  virtual void PaintMenuIcon(HDC dc, TRect& rect, bool active);
  virtual void FillRectSolid(HDC dc, const TRect& rect, bool active, TColor activeColor, TColor inactiveColor);
  virtual void FillRectGradient(HDC dc, const TRect& rect, bool active, bool dither);
  virtual void PaintCaptionText(HDC dc, TRect& rect, bool active);
  virtual void PaintCaptionButtons(HDC dc, TRect& rect);
  virtual void CalculateColors();
  virtual bool Win98Check() const;
  virtual void UpdateCaptionFont();
  virtual void Draw(bool active);
  void CreateWnd() override;
  void DestroyWnd() override;
  void Activate() override;
  void Deactivate() override;
  void DoShow() override;

private:
  bool Designing() const;
  HWND Window() const;
  bool Is16ColorScreen() const;
  bool IsMaximisedMDIChild() const;
  void SetCaptionText(const AnsiString& text);
  void FillDithered(HDC dc, const TRect& rect, COLORREF start, COLORREF stop);
  void PaintLogo(HDC dc, TRect& rect, bool active);
  TRect CaptionButtonRect(int hit);
  void TrackCaptionButton(int hit);
  void SubclassMDIClient();
  void RestoreMDIClient();

  TOwnedPtr<TFont> captionFont_;
  TOwnedPtr<TBitmap> logo_;
  TOwnedPtr<TBitmap> inactiveLogo_;
  bool useSystemCaptionFont_ = true;
  int gradientColors_ = 64;
  TColor captionTextColor_ = clWhite;
  TColor inactiveCaptionTextColor_ = clWhite;
  TColor startColor_ = clBlack;
  TColor stopColor_ = clActiveCaption;
  TColor inactiveStartColor_ = clBlack;
  TColor inactiveStopColor_ = clInactiveCaption;
  TGFPaintWhen paintGradient_ = gfpAlways;
  bool useWin98Gradient_ = false;
  bool useDithering_ = true;
  TGFLogoAlign logoAlign_ = laRight;
  bool logoLayered_ = false;
  bool paint16Color_ = false;
  std::vector<COLORREF> activeRamp_;
  std::vector<COLORREF> inactiveRamp_;
  bool systemGradients_ = false;
  bool screen16_ = false;
  AnsiString caption_;
  bool inActivation_ = false;
  int pressedButton_ = -1;  // the TCaptionButtonKind held down
  HWND mdiClient_ = nullptr;
  WNDPROC mdiClientProc_ = nullptr;
};
