#pragma once
// TCustomUpDown and TUpDown: the framework's up-down button over the up-down control. Each
// click asks OnChanging / OnChangingEx first (either may refuse the step), then the control
// steps and OnClick tells which button moved it. Associate names a windowed control that
// shows the position as its text and takes the arrow keys.

#include "platform/vcl/WinControl.h"

enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
enum TUpDownDirection { updNone, updUp, updDown };
QUILLO_DECLARE_ENUM_TYPE(TUDAlignButton)
QUILLO_DECLARE_ENUM_TYPE(TUDOrientation)
QUILLO_DECLARE_ENUM_TYPE(TUDBtnType)
QUILLO_DECLARE_ENUM_TYPE(TUpDownDirection)

using TUDClickEvent = std::function<void(TObject* sender, TUDBtnType button)>;
using TUDChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;
using TUDChangingEventEx =
    std::function<void(TObject* sender, bool& allowChange, short newValue, TUpDownDirection direction)>;

class TCustomUpDown : public TWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TCustomUpDown(TComponent* owner);

  int GetMin() const { return min_; }
  void SetMin(int value);
  int GetMax() const { return max_; }
  void SetMax(int value);
  int GetIncrement() const { return increment_; }
  void SetIncrement(int value);
  // Read from the window while it exists (so it follows text typed into the associate).
  int GetPosition() const;
  void SetPosition(int value);
  TUDOrientation GetOrientation() const { return orientation_; }
  void SetOrientation(TUDOrientation value);
  TUDAlignButton GetAlignButton() const { return alignButton_; }
  void SetAlignButton(TUDAlignButton value);
  bool GetWrap() const { return wrap_; }
  void SetWrap(bool value);
  bool GetArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool value);
  bool GetThousands() const { return thousands_; }
  void SetThousands(bool value);
  TWinControl* GetAssociate() const { return associate_; }
  void SetAssociate(TWinControl* value);

  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;
  TUDChangingEventEx OnChangingEx;

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  // Whether the step the control proposes may happen: OnChanging, then OnChangingEx.
  virtual bool CanChange();
  bool DoCanChange(short newValue, short delta);
  // The arrow's click beside the control's own, which stays callable.
  using TControl::Click;
  virtual void Click(TUDBtnType button);
  // The step the control reports (SB_THUMBPOSITION, reflected back as CN_HSCROLL or
  // CN_VSCROLL): the position has moved; tells OnClick which way.
  virtual void CNScroll(TMessage& message);
  void CNNotify(TMessage& message);

  int storedPosition_ = 0;

private:
  void SendRange();
  void SendIncrement();
  void SendBuddy();

  int min_ = 0;
  int max_ = 100;
  int increment_ = 1;
  TUDOrientation orientation_ = udVertical;
  TUDAlignButton alignButton_ = udRight;
  bool wrap_ = false;
  bool arrowKeys_ = true;
  bool thousands_ = true;
  TWinControl* associate_ = nullptr;
  short newValue_ = 0;
  short newDelta_ = 0;
  int lastDelta_ = 0;  // the step last allowed: its sign tells a wrap's direction
};

class TUpDown : public TCustomUpDown {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TUpDown(TComponent* owner) : TCustomUpDown(owner) {}
};
