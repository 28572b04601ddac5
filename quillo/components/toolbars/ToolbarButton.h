#pragma once
// TToolbarButtonX: the flat, mouse-tracking push button toolbars are made of. It shows a
// glyph, a caption or both; stays down as a member of a group; repeats while held; and drops
// down a menu. Exactly one button in the process shows the hover state at a time, kept right
// by one shared timer and the shared thread hooks.

#include <functional>
#include <memory>

#include "platform/vcl/Form.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Timer.h"
#include "quillo/components/toolbars/ButtonGlyph.h"
#include "quillo/components/toolbars/ToolbarCommon.h"

namespace tbx {

enum TButtonDisplayMode { dmBoth, dmGlyphOnly, dmTextOnly };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

using TButtonDropdownEvent = std::function<void(TObject* sender, bool& showMenu, bool& removeClicks)>;

class TToolbarButtonX : public TGraphicControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TToolbarButtonX(TComponent* owner);
  ~TToolbarButtonX() override;
  void BeforeDestruction() override;

  bool GetAllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  int GetGroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool GetDown() const { return down_; }
  void SetDown(bool value);
  bool GetFlat() const { return flat_; }
  void SetFlat(bool value);
  bool GetOpaque() const { return opaque_; }
  void SetOpaque(bool value);
  bool GetNoBorder() const { return noBorder_; }
  void SetNoBorder(bool value);
  bool GetHighlightWhenDown() const { return highlightWhenDown_; }
  void SetHighlightWhenDown(bool value);
  TButtonDisplayMode GetDisplayMode() const { return displayMode_; }
  void SetDisplayMode(TButtonDisplayMode value);
  TButtonLayout GetLayout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int GetMargin() const { return margin_; }
  void SetMargin(int value);
  int GetSpacing() const { return spacing_; }
  void SetSpacing(int value);
  bool GetRepeating() const { return repeating_; }
  void SetRepeating(bool value) { repeating_ = value; }
  int GetRepeatDelay() const { return repeatDelay_; }
  void SetRepeatDelay(int value) { repeatDelay_ = value; }
  int GetRepeatInterval() const { return repeatInterval_; }
  void SetRepeatInterval(int value) { repeatInterval_ = value; }
  bool GetShowBorderWhenInactive() const { return showBorderWhenInactive_; }
  void SetShowBorderWhenInactive(bool value) { showBorderWhenInactive_ = value; }
  bool GetWordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool GetDefault() const { return default_; }
  void SetDefault(bool value) { default_ = value; }
  bool GetCancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  TModalResult GetModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }

  TPopupMenu* GetDropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* value);
  bool GetDropdownAlways() const { return dropdownAlways_; }
  void SetDropdownAlways(bool value);
  bool GetDropdownArrow() const { return dropdownArrow_; }
  void SetDropdownArrow(bool value);
  int GetDropdownArrowWidth() const { return dropdownArrowWidth_; }
  void SetDropdownArrowWidth(int value);
  bool GetDropdownCombo() const { return dropdownCombo_; }
  void SetDropdownCombo(bool value);

  TBitmap* GetGlyph() const { return glyph_->GetGlyph(); }
  void SetGlyph(TBitmap* value) { glyph_->SetGlyph(value); }
  TBitmap* GetGlyphMask() const { return glyph_->GetGlyphMask(); }
  void SetGlyphMask(TBitmap* value) { glyph_->SetGlyphMask(value); }
  int GetNumGlyphs() const { return glyph_->GetNumGlyphs(); }
  void SetNumGlyphs(int value) { glyph_->SetNumGlyphs(value); }
  TCustomImageList* GetImages() const { return glyph_->GetImages(); }
  void SetImages(TCustomImageList* value);
  int GetImageIndex() const { return glyph_->GetImageIndex(); }
  void SetImageIndex(int value) { glyph_->SetImageIndex(value); }
  bool GetOldDisabledStyle() const { return glyph_->GetOldDisabledStyle(); }
  void SetOldDisabledStyle(bool value) { glyph_->SetOldDisabledStyle(value); }
  TButtonGlyph* Glyph() const { return glyph_.get(); }

  TButtonStateX State() const { return state_; }
  bool MouseInControl() const { return mouseInControl_; }
  AnsiString GetVersion() const;

  TButtonDropdownEvent OnDropdown;
  TNotifyEvent OnMouseExit;

  void Click() override;
  void Dispatch(TMessage& message) override;
  void Loaded() override;
  void UpdateTracking();
  void MouseEntered();
  void MouseLeft();

protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;

private:
  friend void ButtonHookProc(THookProcCode code, HWND window, WPARAM wParam, LPARAM lParam);
  friend void ButtonMouseTimerHandler();
  bool UsesDropdown() const { return dropdownMenu_ || dropdownAlways_; }
  bool PointInButton(int x, int y) const;
  void Redraw(bool erase);
  void UpdateExclusive();
  void RepeatTimerHandler();
  void RemoveButtonMouseTimer();
  void RemoveClicksOnButton();
  void DropDownMenu();
  void DrawContent(HDC dc, TRect content, bool pushed);
  void CMEnabledChanged(TMessage& m);
  void CMDialogChar(TMessage& m);
  void CMDialogKey(TMessage& m);
  void WMCancelMode(TMessage& m);

  bool allowAllUp_ = false;
  int groupIndex_ = 0;
  bool down_ = false;
  bool flat_ = true;
  bool opaque_ = true;
  bool noBorder_ = false;
  bool highlightWhenDown_ = true;
  TButtonDisplayMode displayMode_ = dmBoth;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  bool repeating_ = false;
  int repeatDelay_ = 400;
  int repeatInterval_ = 100;
  bool showBorderWhenInactive_ = false;
  bool wordWrap_ = false;
  TAlignment alignment_ = taCenter;
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
  TPopupMenu* dropdownMenu_ = nullptr;
  bool dropdownAlways_ = false;
  bool dropdownArrow_ = true;
  int dropdownArrowWidth_ = 9;
  bool dropdownCombo_ = false;

  bool inClick_ = false;
  bool mouseInControl_ = false;
  bool mouseIsDown_ = false;
  bool menuIsDown_ = false;
  TOwnedPtr<TTimer> repeatTimer_;
  TButtonStateX state_ = bsUp;
  TOwnedPtr<TButtonGlyph> glyph_;
  // False once the button is freed: a click or menu item's handler may free the button (or
  // its toolbar) while the button's own handlers are still on the stack.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The one button that shows the hover state now; null when none.
TToolbarButtonX* ButtonMouseInControl();
// Whether the shared hover timer exists (it lives while any button does).
bool ButtonMouseTimerExists();
// The "X controls": classes made to stand on toolbars (the flat edit registers its class);
// a flat edit stays flat while the focus is on another of them.
void RegisterXControlClass(TClass cls);
void UnregisterXControlClass(TClass cls);
bool ControlIsXControl(const TControl* control);
// Where a button's drop-down menu opens: asked of the toolbar that holds it.
void SetToolbarDockPosProc(int (*proc)(const TControl* control));

}  // namespace tbx

QUILLO_DECLARE_ENUM_TYPE(tbx::TButtonDisplayMode)
QUILLO_DECLARE_ENUM_TYPE(tbx::TButtonLayout)
