#pragma once
// TBandCaption: dropped on a form, it paints the form's caption bar itself: bands of colour
// from a begin to an end colour, the small icon, a title text in its own font, and caption
// buttons of its own (TBandCaptionSystemButton) that send the window commands. It subclasses
// the form's window and takes the system-menu style away, so the window manager draws no
// buttons or icon of its own; the form's caption text is kept here (WM_SETTEXT stores it,
// WM_GETTEXT answers it) and is not painted: the title is ApplicationName.

#include "platform/vcl/Buttons.h"
#include "platform/vcl/Form.h"
#include "quillo/components/captions/CaptionGeometry.h"
#include "quillo/components/utilities/WindowHook.h"

enum TBandCaptionSystemButtonKind { sbClose, sbMinimize, sbMaximize, sbHelp };
QUILLO_DECLARE_ENUM_TYPE(TBandCaptionSystemButtonKind)

// A caption button drawn in the non-client area at its rectangle in window coordinates
// (DLeft, DTop, DWidth, DHeight). The band caption hands it the mouse.
class TBandCaptionSystemButton : public TSpeedButton {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  TBandCaptionSystemButton(TComponent* owner, TCustomForm* form, TBandCaptionSystemButtonKind kind);

  TBandCaptionSystemButtonKind GetKind() const { return kind_; }
  void SetKind(TBandCaptionSystemButtonKind kind) { kind_ = kind; }
  int GetDLeft() const { return rect_.left; }
  int GetDTop() const { return rect_.top; }
  int GetDWidth() const { return rect_.Width(); }
  int GetDHeight() const { return rect_.Height(); }
  void SetDRect(const TRect& rect) { rect_ = rect; }
  bool Pushed() const { return pushed_; }
  bool Tracking() const { return tracking_; }
  // Shown in the caption (the control itself stays out of the client area).
  bool ShownInCaption() const { return shown_; }
  void SetShownInCaption(bool value) { shown_ = value; }
  bool ButtonEnabled() const { return buttonEnabled_; }
  void SetButtonEnabled(bool value) { buttonEnabled_ = value; }
  TRect HitRect() const;

  void Draw(HDC windowDC);
  void SystemButtonClick();

  // The band caption's mouse, the cursor taken from the screen.
  void PressLeft();
  void TrackMove();
  void ReleaseLeft();

private:
  captions::TCaptionButtonKind PlaceKind() const;
  bool CursorInside() const;
  void Redraw();

  TCustomForm* form_;
  TBandCaptionSystemButtonKind kind_;
  TRect rect_;
  bool pushed_ = false;
  bool tracking_ = false;
  bool shown_ = false;
  bool buttonEnabled_ = true;
};

class TBandCaption : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  // owner must be a TForm (Exception otherwise).
  explicit TBandCaption(TComponent* owner);
  ~TBandCaption() override;
  void BeforeDestruction() override;
  void Loaded() override;

  TColor GetActiveBeginColor() const { return activeBegin_; }
  void SetActiveBeginColor(TColor value);
  TColor GetActiveEndColor() const { return activeEnd_; }
  void SetActiveEndColor(TColor value);
  TColor GetActiveFontColor() const { return activeFont_; }
  void SetActiveFontColor(TColor value);
  TColor GetInactiveBeginColor() const { return inactiveBegin_; }
  void SetInactiveBeginColor(TColor value);
  TColor GetInactiveEndColor() const { return inactiveEnd_; }
  void SetInactiveEndColor(TColor value);
  TColor GetInactiveFontColor() const { return inactiveFont_; }
  void SetInactiveFontColor(TColor value);
  AnsiString GetApplicationName() const { return applicationName_; }
  void SetApplicationName(const AnsiString& value);
  TFont* GetApplicationNameFont() const { return applicationNameFont_.get(); }
  void SetApplicationNameFont(TFont* value);
  int GetNumColors() const { return numColors_; }
  void SetNumColors(int value);
  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);

  // The layout the last paint used (window coordinates).
  const captions::TBandCaptionLayout& Layout() const { return layout_; }
  TBandCaptionSystemButton* Button(TBandCaptionSystemButtonKind kind) const { return buttons_[kind]; }
  bool WindowIsActive() const;
  // Repaints the frame (frame-changed SetWindowPos).
  void Repaint();

protected:
  void CalculateCaption();
  void Paint(bool active);
  void PaintBackGround(HDC dc, bool active);
  void PaintMenuIcon(HDC dc);
  void PaintTitle(HDC dc, bool active);
  void Notification(TComponent* component, TOperation operation) override;

private:
  void HookWindowProc();
  void UnHookWindowProc();
  void DeleteSysmenuStyle();
  void RestoreSysmenuStyle();
  void BeforeWindowMessage(TMessage& m, bool& handled);
  void AfterWindowMessage(TMessage& m);
  void FormWindowProc(TMessage& m);
  bool HandleText(TMessage& m);
  bool HandleNonClientMouse(TMessage& m);
  void LayOutButtons();
  TBandCaptionSystemButton* TrackingButton() const;
  // The window's system menu set for its state and buttons.
  void BandGetMenu(HMENU& menu);
  void ShowSystemMenu(int x, int y, UINT flags, const RECT& exclude);

  TCustomForm* form_;
  DWORD savedStyle_ = 0;
  TOwnedPtr<TExWindowHook> hook_;
  TWndMethod oldFormProc_;
  AnsiString caption_;
  TBandCaptionSystemButton* buttons_[4] = {};
  captions::TBandCaptionLayout layout_;
  DWORD iconPressTick_ = 0;
  bool iconPressed_ = false;
  bool rightMenuPending_ = false;
  bool sysCommandWasMaximised_ = false;

  TColor activeBegin_ = static_cast<TColor>(0x800000);
  TColor activeEnd_ = static_cast<TColor>(0xFF0000);
  TColor activeFont_ = static_cast<TColor>(0xFFFFFF);
  TColor inactiveBegin_ = static_cast<TColor>(0x808080);
  TColor inactiveEnd_ = static_cast<TColor>(0xC0C0C0);
  TColor inactiveFont_ = static_cast<TColor>(0xC0C0C0);
  AnsiString applicationName_;
  TOwnedPtr<TFont> applicationNameFont_;
  int numColors_ = 64;
  bool autoSize_ = false;
};

namespace BandCaptionText {
inline constexpr const char* OwnerMustBeForm = "The BandCaption's owner must be a Form!";
}
