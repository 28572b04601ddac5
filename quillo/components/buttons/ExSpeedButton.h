#pragma once
// TExSpeedButton: a windowless push button with a glyph and caption, an optional flat look,
// groups (one button of a group down at a time), an attached drop-down menu and repeated
// clicks while it is held. Its face is drawn by TExButtonGlyph and DrawButtonFrame.

#include "platform/vcl/Form.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Timer.h"
#include "quillo/components/buttons/ExButtonGlyph.h"

enum TExDropDownMenuPos { dmpBottom, dmpRight };
QUILLO_DECLARE_ENUM_TYPE(TExDropDownMenuPos)

class TExSpeedButton : public TGraphicControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExSpeedButton(TComponent* owner);
  ~TExSpeedButton() override;

  TAlignment GetAlignment() const { return glyph_->GetAlignment(); }
  void SetAlignment(TAlignment value);
  bool GetAllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  bool GetAllowTimer() const { return allowTimer_; }
  void SetAllowTimer(bool value);
  int GetGroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool GetDown() const { return down_; }
  // Only a grouped button goes down; a down one goes up only with AllowAllUp.
  void SetDown(bool value);
  TPopupMenu* GetDropDownMenu() const { return dropDownMenu_; }
  void SetDropDownMenu(TPopupMenu* value);
  TExDropDownMenuPos GetMenuPosition() const { return menuPosition_; }
  void SetMenuPosition(TExDropDownMenuPos value) { menuPosition_ = value; }
  bool GetFlat() const { return flat_; }
  void SetFlat(bool value);
  TBitmap* GetGlyph() const { return glyph_->GetGlyph(); }
  void SetGlyph(TBitmap* value);
  bool GetGrayedInactive() const { return grayedInactive_; }
  void SetGrayedInactive(bool value);
  int GetInitPause() const { return initPause_; }
  void SetInitPause(int value) { initPause_ = static_cast<unsigned short>(value); }
  TButtonLayout GetLayout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int GetMargin() const { return margin_; }
  void SetMargin(int value);
  bool GetMarkDropDown() const { return markDropDown_; }
  void SetMarkDropDown(bool value);
  int GetModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }
  int GetNumGlyphs() const { return glyph_->GetNumGlyphs(); }
  void SetNumGlyphs(int value);
  int GetRepeatInterval() const { return repeatInterval_; }
  void SetRepeatInterval(int value) { repeatInterval_ = static_cast<unsigned short>(value); }
  int GetSpacing() const { return spacing_; }
  void SetSpacing(int value);
  TButtonStyle GetStyle() const { return style_; }
  void SetStyle(TButtonStyle value);
  bool GetTransparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool GetWordWrap() const { return glyph_->GetWordWrap(); }
  void SetWordWrap(bool value);

  TExButtonState State() const { return state_; }
  bool MouseInControl() const { return mouseInControl_; }
  TExButtonGlyph* ButtonGlyph() const { return glyph_.get(); }
  // Where the drop-down menu opens, in button coordinates.
  TPoint DropDownPosition() const;
  // The unit's count of live speed buttons.
  static int LiveCount();

  // A click as if by the mouse: the button shows pressed for a moment, then clicks.
  void ButtonClick();
  void Click() override;
  void Dispatch(TMessage& message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Another speed button of the parent went down in a group.
  virtual void ButtonPressed(int groupIndex, TExSpeedButton* sender);
  void UpdateExclusive();

  TExButtonState state_ = rbsUp;
  bool dragging_ = false;

private:
  bool Inside(int x, int y) const { return x >= 0 && x < GetClientWidth() && y >= 0 && y < GetClientHeight(); }
  void FinishRelease(int x, int y, bool fromMenu);
  bool ShowDropDownMenu();
  void RemovePendingPress();
  void RepeatTick();
  void StopRepeat();
  void UpdateTracking();

  int groupIndex_ = 0;
  TButtonStyle style_ = bsAutoDetect;
  TOwnedPtr<TExButtonGlyph> glyph_;
  TOwnedPtr<TBitmap> drawImage_;
  bool down_ = false;
  bool flat_ = false;
  bool mouseInControl_ = false;
  bool allowAllUp_ = false;
  TButtonLayout layout_ = blGlyphTop;
  int spacing_ = 1;
  int margin_ = -1;
  int modalResult_ = mrNone;
  bool transparent_ = false;
  bool markDropDown_ = true;
  TPopupMenu* dropDownMenu_ = nullptr;
  TExDropDownMenuPos menuPosition_ = dmpBottom;
  bool grayedInactive_ = true;
  bool menuTracking_ = false;
  TTimer* repeatTimer_ = nullptr;  // owned as a component
  bool allowTimer_ = false;
  unsigned short initPause_ = 500;
  unsigned short repeatInterval_ = 100;
};
