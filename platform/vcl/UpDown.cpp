#include "platform/vcl/UpDown.h"

#include <algorithm>

#include "platform/controls/UpDown.h"

QUILLO_DEFINE_ENUM_TYPE(TUDAlignButton, "udLeft", "udRight")
QUILLO_DEFINE_ENUM_TYPE(TUDOrientation, "udHorizontal", "udVertical")
QUILLO_DEFINE_ENUM_TYPE(TUDBtnType, "btNext", "btPrev")
QUILLO_DEFINE_ENUM_TYPE(TUpDownDirection, "updNone", "updUp", "updDown")

QUILLO_DEFINE_PUBLISHED_CLASS(TCustomUpDown, TWinControl)

const TPropTable* TCustomUpDown::PublishedProperties() {
  static const TPropTable table;
  return &table;
}

QUILLO_DEFINE_PUBLISHED_CLASS(TUpDown, TCustomUpDown)

const TPropTable* TUpDown::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TUpDown>()
          .Property("AlignButton", &TUpDown::GetAlignButton, &TUpDown::SetAlignButton)
          .Property("ArrowKeys", &TUpDown::GetArrowKeys, &TUpDown::SetArrowKeys)
          .Property("Associate", &TUpDown::GetAssociate, &TUpDown::SetAssociate)
          .Property("Increment", &TUpDown::GetIncrement, &TUpDown::SetIncrement)
          .Property("Max", &TUpDown::GetMax, &TUpDown::SetMax)
          .Property("Min", &TUpDown::GetMin, &TUpDown::SetMin)
          .Property("Orientation", &TUpDown::GetOrientation, &TUpDown::SetOrientation)
          .Property("Position", &TUpDown::GetPosition, &TUpDown::SetPosition)
          .Property("Thousands", &TUpDown::GetThousands, &TUpDown::SetThousands)
          .Property("Wrap", &TUpDown::GetWrap, &TUpDown::SetWrap)
          .Table();
  return &table;
}

TCustomUpDown::TCustomUpDown(TComponent* owner) : TWinControl(owner) {
  int width = GetSystemMetrics(SM_CXVSCROLL), height = GetSystemMetrics(SM_CYVSCROLL);
  SetBounds(0, 0, width, height + height / 2);
  controlStyle_ = controlStyle_ - TControlStyle{csDoubleClicks, csSetCaption, csCaptureMouse, csClickEvents};
}

void TCustomUpDown::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, UPDOWN_CLASS);
  params.Style |= UDS_SETBUDDYINT | (alignButton_ == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT);
  if (orientation_ == udHorizontal) params.Style |= UDS_HORZ;
  if (arrowKeys_) params.Style |= UDS_ARROWKEYS;
  if (!thousands_) params.Style |= UDS_NOTHOUSANDS;
  if (wrap_) params.Style |= UDS_WRAP;
}

void TCustomUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  SendRange();
  SendIncrement();
  SendMessage(GetHandle(), UDM_SETPOS32, 0, storedPosition_);
  SendBuddy();
}

void TCustomUpDown::SendRange() {
  if (HandleAllocated()) SendMessage(GetHandle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TCustomUpDown::SendIncrement() {
  if (!HandleAllocated()) return;
  UDACCEL accel{0, static_cast<UINT>(increment_)};
  SendMessage(GetHandle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TCustomUpDown::SendBuddy() {
  if (!HandleAllocated() || !associate_) return;
  SendMessage(GetHandle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->GetHandle()), 0);
  UpdateBounds();  // the control moved beside its associate
}

void TCustomUpDown::SetMin(int value) {
  min_ = value;
  SendRange();
}

void TCustomUpDown::SetMax(int value) {
  max_ = value;
  SendRange();
}

void TCustomUpDown::SetIncrement(int value) {
  increment_ = value;
  SendIncrement();
}

int TCustomUpDown::GetPosition() const {
  if (!HandleAllocated()) return storedPosition_;
  auto* self = const_cast<TCustomUpDown*>(this);
  self->storedPosition_ = static_cast<int>(SendMessage(self->GetHandle(), UDM_GETPOS32, 0, 0));
  return storedPosition_;
}

void TCustomUpDown::SetPosition(int value) {
  storedPosition_ = value;
  if (HandleAllocated()) {
    SendMessage(GetHandle(), UDM_SETPOS32, 0, value);
    storedPosition_ = static_cast<int>(SendMessage(GetHandle(), UDM_GETPOS32, 0, 0));
  }
}

void TCustomUpDown::SetOrientation(TUDOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  if (!ComponentState().Contains(csLoading)) SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
  RecreateWnd();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton value) {
  if (value == alignButton_) return;
  alignButton_ = value;
  RecreateWnd();
}

void TCustomUpDown::SetWrap(bool value) {
  if (value == wrap_) return;
  wrap_ = value;
  RecreateWnd();
}

void TCustomUpDown::SetArrowKeys(bool value) {
  if (value == arrowKeys_) return;
  arrowKeys_ = value;
  RecreateWnd();
}

void TCustomUpDown::SetThousands(bool value) {
  if (value == thousands_) return;
  thousands_ = value;
  RecreateWnd();
}

void TCustomUpDown::SetAssociate(TWinControl* value) {
  // Neither the up-down itself nor its parent can show its position.
  if (value == this || (value && value == GetParent())) value = nullptr;
  if (associate_ == value) return;
  if (associate_) {
    associate_->RemoveFreeNotification(this);
    if (HandleAllocated()) SendMessage(GetHandle(), UDM_SETBUDDY, 0, 0);
  }
  associate_ = value;
  if (associate_) {
    associate_->FreeNotification(this);
    SendBuddy();
  }
}

void TCustomUpDown::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == associate_) {
    associate_ = nullptr;
    if (HandleAllocated()) SendMessage(GetHandle(), UDM_SETBUDDY, 0, 0);
  }
}

bool TCustomUpDown::CanChange() {
  bool allow = true;
  TUpDownDirection direction = updNone;
  bool pastEnd = (newValue_ < min_ && newDelta_ < 0) || (newValue_ > max_ && newDelta_ > 0);
  if (!pastEnd) direction = newDelta_ < 0 ? updDown : newDelta_ > 0 ? updUp : updNone;
  if (OnChanging) OnChanging(this, allow);
  if (OnChangingEx) OnChangingEx(this, allow, newValue_, direction);
  return allow;
}

bool TCustomUpDown::DoCanChange(short newValue, short delta) {
  newValue_ = newValue;
  newDelta_ = delta;
  return CanChange();
}

void TCustomUpDown::Click(TUDBtnType button) {
  if (OnClick) OnClick(this, button);
}

void TCustomUpDown::CNNotify(TMessage& m) {
  auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
  if (!header || header->code != UDN_DELTAPOS) return;
  auto* nm = reinterpret_cast<const NMUPDOWN*>(m.LParam);
  bool allow = DoCanChange(static_cast<short>(nm->iPos + nm->iDelta), static_cast<short>(nm->iDelta));
  if (allow) lastDelta_ = nm->iDelta;
  m.Result = allow ? 0 : 1;
}

void TCustomUpDown::CNScroll(TMessage& m) {
  m.Result = 0;
  if (LOWORD(m.WParam) != SB_THUMBPOSITION) return;
  int pos = static_cast<short>(HIWORD(m.WParam));
  if (HandleAllocated()) pos = static_cast<int>(SendMessage(GetHandle(), UDM_GETPOS32, 0, 0));
  int previous = storedPosition_;
  storedPosition_ = pos;
  if (pos == previous) return;
  // A wrap moves the position the other way round: the step's own sign tells the button.
  bool next = lastDelta_ != 0 ? lastDelta_ > 0 : pos > previous;
  lastDelta_ = 0;
  Click(next ? btNext : btPrev);
}

void TCustomUpDown::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: CNNotify(m); return;
    case CN_HSCROLL: case CN_VSCROLL: CNScroll(m); return;
  }
  TWinControl::Dispatch(m);
}
