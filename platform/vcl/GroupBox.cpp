#include "platform/vcl/GroupBox.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/StdButtons.h"

namespace {

// The height of a line in the font, measured on the screen (a control without a window yet
// must not make one to measure).
int LineHeight(TFont* font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->GetHandle());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

}  // namespace

// --- TCustomGroupBox and TGroupBox ----------------------------------------------------------

QUILLO_DEFINE_CLASS(TCustomGroupBox, TCustomControl)

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                                csReplicatable};
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) {
  TCustomControl::AdjustClientRect(rect);
  rect.top += LineHeight(GetFont());
  InflateRect(&rect, -1, -1);
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  int height = canvas->TextHeight("0");
  TRect r(0, height / 2, GetWidth(), GetHeight());
  canvas->GetBrush()->SetColor(GetColor());
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillRect(GetClientRect());
  DrawEdge(canvas->GetHandle(), &r, EDGE_ETCHED, BF_RECT);
  AnsiString text = GetText();
  if (text.empty()) return;
  HDC dc = canvas->GetHandle();
  RECT calc{0, 0, 0, 0};
  DrawText(dc, text.c_str(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
  TRect label(8, 0, 8 + calc.right + 4, height);
  canvas->FillRect(label);
  SetBkMode(dc, TRANSPARENT);
  RECT textRect{label.left + 2, 0, label.right, height};
  if (!GetEnabled()) {
    RECT below = textRect;
    OffsetRect(&below, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawText(dc, text.c_str(), -1, &below, DT_SINGLELINE);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
  } else {
    SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
  }
  DrawText(dc, text.c_str(), -1, &textRect, DT_SINGLELINE);
}

void TCustomGroupBox::CMDialogChar(TMessage& m) {
  if (IsAccel(m.WParam, GetCaption()) && CanFocus()) {
    SelectFirst();
    m.Result = 1;
    return;
  }
  TCustomControl::Dispatch(m);
}

void TCustomGroupBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGCHAR: CMDialogChar(m); return;
    case CM_TEXTCHANGED: case CM_FONTCHANGED:
      TCustomControl::Dispatch(m);
      Invalidate();
      Realign();
      return;
  }
  TCustomControl::Dispatch(m);
}

QUILLO_DEFINE_PUBLISHED_CLASS(TGroupBox, TCustomGroupBox)

const TPropTable* TGroupBox::PublishedProperties() {
  static const TPropTable table = TPublisher<TGroupBox>().Table();
  return &table;
}

TGroupBox::TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}

// --- TCustomRadioGroup and TRadioGroup ------------------------------------------------------

QUILLO_DEFINE_CLASS(TCustomRadioGroup, TCustomGroupBox)

TCustomRadioGroup::TCustomRadioGroup(TComponent* owner)
    : TCustomGroupBox(owner), items_(MakeObject<TStringList>()) {
  controlStyle_ >> csAcceptsControls;
  items_->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomRadioGroup::~TCustomRadioGroup() {
  if (items_) items_->OnChange = nullptr;
}

void TCustomRadioGroup::SetItems(TStrings* items) { items_->Assign(items); }

TRadioButton* TCustomRadioGroup::Buttons(int index) const {
  return index >= 0 && index < ButtonCount() ? buttons_[index] : nullptr;
}

void TCustomRadioGroup::SetItemIndex(int index) {
  if (ComponentState().Contains(csLoading)) {
    itemIndex_ = index;
    return;
  }
  if (index < -1 || index >= ButtonCount()) throw EListError(Format(RtlText::ListIndexError, index));
  if (index == itemIndex_) return;
  updating_ = true;
  if (itemIndex_ >= 0 && itemIndex_ < ButtonCount()) buttons_[itemIndex_]->SetChecked(false);
  itemIndex_ = index;
  if (itemIndex_ >= 0) buttons_[itemIndex_]->SetChecked(true);
  updating_ = false;
  Click();
}

void TCustomRadioGroup::SetColumns(int columns) {
  columns = std::clamp(columns, 1, 16);
  if (columns == columns_) return;
  columns_ = columns;
  ArrangeButtons();
  Invalidate();
}

void TCustomRadioGroup::ButtonClicked(TObject* sender) {
  if (updating_) return;
  auto it = std::find(buttons_.begin(), buttons_.end(), sender);
  if (it == buttons_.end()) return;
  int index = static_cast<int>(it - buttons_.begin());
  if (!(*it)->GetChecked() || index == itemIndex_) return;
  if (!CanModify()) {
    updating_ = true;
    (*it)->SetChecked(false);
    if (itemIndex_ >= 0) buttons_[itemIndex_]->SetChecked(true);
    updating_ = false;
    return;
  }
  itemIndex_ = index;
  Click();
}

void TCustomRadioGroup::ItemsChanged() {
  if (ComponentState().Contains(csLoading)) return;
  if (itemIndex_ >= items_->Count()) itemIndex_ = items_->Count() - 1;
  UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
  updating_ = true;
  while (ButtonCount() > items_->Count()) {
    TRadioButton* last = buttons_.back();
    buttons_.pop_back();
    FreeObject(last);
  }
  while (ButtonCount() < items_->Count()) {
    auto* button = NewComponent<TRadioButton>(this);
    button->OnClick = [this](TObject* s) { ButtonClicked(s); };
    button->SetParent(this);
    buttons_.push_back(button);
  }
  for (int i = 0; i < ButtonCount(); ++i) {
    buttons_[i]->SetCaption(items_->Get(i));
    buttons_[i]->SetChecked(i == itemIndex_);
    buttons_[i]->SetEnabled(GetEnabled());
  }
  updating_ = false;
  ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  TRect area = GetClientRect();
  AdjustClientRect(area);
  int rows = (ButtonCount() + columns_ - 1) / columns_;
  int columnWidth = std::max(1, (area.Width() - 8) / columns_);
  int rowHeight = std::max(1, area.Height() / std::max(1, rows));
  int buttonHeight = std::min(rowHeight, LineHeight(GetFont()) + 4);
  for (int i = 0; i < ButtonCount(); ++i) {
    int column = i / rows, row = i % rows;
    buttons_[i]->SetBounds(area.left + 8 + column * columnWidth, area.top + row * rowHeight + (rowHeight - buttonHeight) / 2,
                           columnWidth, buttonHeight);
  }
}

void TCustomRadioGroup::SetBounds(int left, int top, int width, int height) {
  TCustomGroupBox::SetBounds(left, top, width, height);
  ArrangeButtons();
}

void TCustomRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  UpdateButtons();
}

void TCustomRadioGroup::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_ENABLEDCHANGED:
      TCustomGroupBox::Dispatch(m);
      for (TRadioButton* b : buttons_) b->SetEnabled(GetEnabled());
      return;
    case CM_FONTCHANGED:
      TCustomGroupBox::Dispatch(m);
      ArrangeButtons();
      return;
  }
  TCustomGroupBox::Dispatch(m);
}

QUILLO_DEFINE_PUBLISHED_CLASS(TRadioGroup, TCustomRadioGroup)

const TPropTable* TRadioGroup::PublishedProperties() {
  static const TPropTable table = TPublisher<TRadioGroup>()
                                      .Property("Columns", &TRadioGroup::GetColumns, &TRadioGroup::SetColumns)
                                      .Property("ItemIndex", &TRadioGroup::GetItemIndex, &TRadioGroup::SetItemIndex)
                                      .Property("Items", &TRadioGroup::GetItems, &TRadioGroup::SetItems)
                                      .Table();
  return &table;
}

TRadioGroup::TRadioGroup(TComponent* owner) : TCustomRadioGroup(owner) {}
