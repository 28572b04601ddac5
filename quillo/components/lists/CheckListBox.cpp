#include "quillo/components/lists/CheckListBox.h"

#include <algorithm>

#include "platform/user/UserDraw.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/persistence/SettingsStore.h"
#include "quillo/components/utilities/BitmapUtils.h"

QUILLO_DEFINE_ENUM_TYPE(TCheckKind, "ckCheckBoxes", "ckRadioButtons", "ckCheckMarks")
QUILLO_DEFINE_PUBLISHED_CLASS(TExCheckListBox, TExCustomListBox)

namespace {

constexpr int CellWidth = 16, CellHeight = 13, CellColumns = 6;
constexpr TColor CellBackground = clFuchsia;

// The check images, 6 cells by 3 rows (check boxes, radio buttons, check marks; in each row
// unchecked, checked, grayed enabled, then the same disabled), drawn once and shared.
TBitmap* CheckImages() {
  static TOwnedPtr<TBitmap> images = [] {
    auto b = MakeObject<TBitmap>();
    b->SetPixelFormat(pf32bit);
    b->SetSize(CellWidth * CellColumns, CellHeight * 3);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetColor(CellBackground);
    c->FillRect(TRect(0, 0, b->GetWidth(), b->GetHeight()));
    HDC dc = c->GetHandle();
    for (int kind = 0; kind < 3; ++kind)
      for (int n = 0; n < CellColumns; ++n) {
        const int state = n % 3;
        const bool enabled = n < 3;
        RECT box{n * CellWidth + 1, kind * CellHeight, n * CellWidth + 1 + CellHeight, (kind + 1) * CellHeight};
        UINT flags = enabled ? 0 : DFCS_INACTIVE;
        if (kind == ckCheckMarks) {
          if (state == cbUnchecked) continue;
          // A bare tick, grey when grayed or disabled.
          const COLORREF colour = ColorToRGB(state == cbGrayed || !enabled ? clGrayText : clWindowText);
          const int x0 = box.left + 3, y0 = box.top + 5;
          for (int i = 0; i < 7; ++i) {
            const int y = i < 3 ? y0 + i : y0 + 4 - i;
            for (int k = 0; k < 3; ++k) ::SetPixel(dc, x0 + i, y + k, colour);
          }
          continue;
        }
        flags |= kind == ckRadioButtons ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
        if (state != cbUnchecked) flags |= DFCS_CHECKED;
        // Grayed: the check drawn greyed on a greyed box, as a three-state button shows it.
        if (state == cbGrayed) flags |= DFCS_BUTTON3STATE | DFCS_INACTIVE;
        DrawFrameControl(dc, &box, DFC_BUTTON, flags);
      }
    b->Dormant();
    return b;
  }();
  return images.get();
}

std::uint32_t PackSaved(TCheckBoxState state, bool enabled) {
  return (static_cast<std::uint32_t>(state) << 16) | (enabled ? 1u : 0u);
}

TCheckBoxState StateOf(int value) { return value == cbChecked ? cbChecked : value == cbGrayed ? cbGrayed : cbUnchecked; }

}  // namespace

const TPropTable* TExCheckListBox::PublishedProperties() {
  using L = TExCheckListBox;
  static const TPropTable table = TPublisher<L>()
                                      .Property("AllowGrayed", &L::GetAllowGrayed, &L::SetAllowGrayed)
                                      .Property("CheckKind", &L::GetCheckKind, &L::SetCheckKind)
                                      .Property("CheckedIndex", &L::GetCheckedIndex, &L::SetCheckedIndex)
                                      .Property("IniStorage", &L::GetIniStorage, &L::SetIniStorage)
                                      .Property("AutoScroll", &L::GetAutoScroll, &L::SetAutoScroll)
                                      .Property("BorderStyle", &L::GetBorderStyle, &L::SetBorderStyle)
                                      .Property("Columns", &L::GetColumns, &L::SetColumns)
                                      .Property("ExtendedSelect", &L::GetExtendedSelect, &L::SetExtendedSelect)
                                      .Property("GraySelection", &L::GetGraySelection, &L::SetGraySelection)
                                      .Property("IntegralHeight", &L::GetIntegralHeight, &L::SetIntegralHeight)
                                      .Property("ItemHeight", &L::GetItemHeight, &L::SetItemHeight)
                                      .Property("Items", &L::GetItems, &L::SetItems)
                                      .Property("MultiSelect", &L::GetMultiSelect, &L::SetMultiSelect)
                                      .Property("Sorted", &L::GetSorted, &L::SetSorted)
                                      .Property("Style", &L::GetStyle, &L::SetStyle)
                                      .Property("TabWidth", &L::GetTabWidth, &L::SetTabWidth)
                                      .Table();
  return &table;
}

int TExCheckListBox::CheckWidth() { return CellWidth + 2; }
int TExCheckListBox::CheckHeight() { return CellHeight; }

int TExCheckListBox::CheckCell(TCheckBoxState state, TCheckKind kind, bool enabled) {
  return static_cast<int>(kind) * CellColumns + (enabled ? 0 : 3) + static_cast<int>(state);
}

TExCheckListBox::TExCheckListBox(TComponent* owner) : TExCustomListBox(owner), iniLink_(MakeObject<TIniLink>()) {
  iniLink_->OnSave = [this](TObject*) {
    if (!GetName().empty() && iniLink_->IniObject())
      SaveStatesTo(iniLink_->IniObject(), iniLink_->RootSection() + GetDefaultSectionName());
  };
  iniLink_->OnLoad = [this](TObject*) {
    if (!GetName().empty() && iniLink_->IniObject())
      RestoreStatesFrom(iniLink_->IniObject(), iniLink_->RootSection() + GetDefaultSectionName());
  };
}

TExCheckListBox::~TExCheckListBox() {
  iniLink_->OnSave = nullptr;
  iniLink_->OnLoad = nullptr;
}

void TExCheckListBox::SetIniStorage(TFormPlacement* value) {
  if (TFormPlacement* old = iniLink_->Storage()) old->RemoveFreeNotification(this);
  iniLink_->SetStorage(value);
  if (value) value->FreeNotification(this);
}

void TExCheckListBox::Notification(TComponent* component, TOperation operation) {
  TExCustomListBox::Notification(component, operation);
  if (operation == opRemove && iniLink_ && component == iniLink_->Storage()) iniLink_->SetStorage(nullptr);
}

AnsiString TExCheckListBox::GetDefaultSectionName() const { return GetDefaultSection(this); }

// ---- window ----

void TExCheckListBox::CreateParams(TCreateParams& p) {
  TExCustomListBox::CreateParams(p);
  if ((p.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) == 0) p.Style |= LBS_OWNERDRAWFIXED;
}

void TExCheckListBox::CreateWnd() {
  records_.clear();
  nextSaved_ = 0;
  TExCustomListBox::CreateWnd();
  savedStates_.clear();
  nextSaved_ = 0;
  UpdateItemHeight();
  EnforceOneRadio();
}

void TExCheckListBox::DestroyWnd() {
  if (HandleAllocated() && !ComponentState().Contains(csDestroying)) {
    savedStates_.clear();
    for (const ItemRecord& r : records_) savedStates_.push_back(PackSaved(r.state, r.enabled));
  }
  records_.clear();
  TExCustomListBox::DestroyWnd();
  records_.clear();
}

void TExCheckListBox::UpdateItemHeight() {
  if (!HandleAllocated()) return;
  if (GetStyle() == lbOwnerDrawVariable || (GetStyle() == lbOwnerDrawFixed && OnDrawItem)) return;
  GetCanvas()->SetFont(GetFont());
  int height = std::max(GetCanvas()->TextHeight("Wg"), CheckHeight());
  if (GetStyle() == lbOwnerDrawFixed) height = std::max(height, GetItemHeight());
  SendMessage(GetHandle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
  Invalidate();
}

int TExCheckListBox::GetItemWidth(int index) { return TExCustomListBox::GetItemWidth(index) + CheckWidth(); }

void TExCheckListBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      // The new item's record goes in at the index the window gave it: while the window is
      // re-created, the next saved one; when the item is one just taken out and put back
      // (a changed text, a move), the record it had.
      const bool insert = m.Msg == LB_INSERTSTRING;
      const AnsiString text = m.LParam ? AnsiString(reinterpret_cast<const char*>(m.LParam)) : AnsiString();
      TExCustomListBox::WndProc(m);
      const int at = static_cast<int>(m.Result);
      if (at >= 0) {
        ItemRecord record;
        if (nextSaved_ < savedStates_.size()) record = Unpack(savedStates_[nextSaved_++]);
        else if (insert && lastDeleted_ && (lastDeleted_->index == at || lastDeleted_->text == text))
          record = lastDeleted_->record;
        records_.insert(records_.begin() + std::min<size_t>(at, records_.size()), record);
      }
      lastDeleted_.reset();
      return;
    }
    case LB_DELETESTRING: {
      const int index = static_cast<int>(m.WParam);
      std::optional<DeletedItem> deleted;
      if (Valid(index)) deleted = DeletedItem{index, GetItems()->Get(index), records_[index]};
      TExCustomListBox::WndProc(m);
      if (static_cast<int>(m.Result) >= 0 && Valid(index)) records_.erase(records_.begin() + index);
      lastDeleted_ = deleted;
      return;
    }
    case LB_RESETCONTENT:
      TExCustomListBox::WndProc(m);
      records_.clear();
      lastDeleted_.reset();
      return;
    case WM_SETFONT:
      TExCustomListBox::WndProc(m);
      UpdateItemHeight();
      return;
    default:
      TExCustomListBox::WndProc(m);
  }
}

void TExCheckListBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      const int index = static_cast<int>(item->itemID);
      TRect strip(item->rcItem);
      strip.right = strip.left + CheckWidth();
      if (index >= 0 && index < GetItems()->Count()) DrawCheck(item->hDC, strip, index);
      item->rcItem.left += CheckWidth();
      TExCustomListBox::Dispatch(m);
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {  // a quick second click on a check toggles it again
      TExCustomListBox::Dispatch(m);
      const TPoint p(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
      const int index = ItemAtPos(p, true);
      if (index >= 0) {
        const TRect r = ItemRect(index);
        if (p.x >= r.left && p.x < r.left + CheckWidth()) ToggleClickCheck(index);
      }
      return;
    }
    case WM_CHAR: {
      const char key = static_cast<char>(m.WParam);
      if (key == ' ') {
        ToggleClickCheck(GetItemIndex());
        m.Result = 0;
        return;
      }
      if ((key == '+' || key == '-') && checkKind_ != ckRadioButtons) {
        SetAll(key == '+' ? cbChecked : cbUnchecked);
        m.Result = 0;
        return;
      }
      TExCustomListBox::Dispatch(m);
      return;
    }
    case CM_FONTCHANGED:
      TExCustomListBox::Dispatch(m);
      UpdateItemHeight();
      return;
    default:
      TExCustomListBox::Dispatch(m);
  }
}

// Keeps the record list in step with the window: a string added or inserted gets its record
// at the index the window gave it (the saved one while the window is being re-created).
void TExCheckListBox::Loaded() {
  TExCustomListBox::Loaded();
  EnforceOneRadio();
}

// ---- drawing ----

void TExCheckListBox::DrawCheck(HDC dc, const TRect& strip, int index) {
  const ItemRecord r = Record(index);
  TCheckBoxState state = r.state;
  if (checkKind_ == ckRadioButtons && state != cbChecked) state = cbUnchecked;
  const int cell = CheckCell(state, checkKind_, r.enabled && GetEnabled());
  HBRUSH brush = CreateSolidBrush(ColorToRGB(GetColor()));
  RECT rr = strip;
  FillRect(dc, &rr, brush);
  DeleteObject(brush);
  const int x = strip.left + (strip.Width() - CellWidth) / 2;
  const int y = strip.top + (strip.Height() - CellHeight) / 2;
  TBitmap* images = CheckImages();
  const int sx = (cell % CellColumns) * CellWidth, sy = (cell / CellColumns) * CellHeight;
  StretchBltTransparent(dc, x, y, CellWidth, CellHeight, images->GetCanvas()->GetHandle(), sx, sy, CellWidth,
                        CellHeight, ColorToRGB(CellBackground));
  images->Dormant();
}

void TExCheckListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (!Record(index).enabled) {
    GetCanvas()->GetFont()->SetColor(state.Contains(odSelected) ? clInactiveCaptionText : clGrayText);
  }
  TExCustomListBox::DrawItem(index, rect, state);
}

void TExCheckListBox::InvalidateCheck(int index) {
  if (!HandleAllocated() || index < 0 || index >= GetItems()->Count()) return;
  RECT r = ItemRect(index);
  r.right = r.left + CheckWidth();
  InvalidateRect(GetHandle(), &r, FALSE);
}

void TExCheckListBox::InvalidateItem(int index) {
  if (!HandleAllocated() || index < 0 || index >= GetItems()->Count()) return;
  RECT r = ItemRect(index);
  InvalidateRect(GetHandle(), &r, FALSE);
}

// ---- states ----

TExCheckListBox::ItemRecord TExCheckListBox::Unpack(std::uint32_t saved) {
  return ItemRecord{StateOf(static_cast<int>(saved >> 16)), (saved & 0xFFFF) != 0};
}

// Without a window the states wait where a re-created window finds them.
TExCheckListBox::ItemRecord TExCheckListBox::Record(int index) const {
  if (HandleAllocated()) return Valid(index) ? records_[index] : ItemRecord{};
  return index >= 0 && index < static_cast<int>(savedStates_.size()) ? Unpack(savedStates_[index]) : ItemRecord{};
}

void TExCheckListBox::WriteRecord(int index, ItemRecord record) {
  const size_t count = static_cast<size_t>(GetItems()->Count());
  if (HandleAllocated()) {
    if (records_.size() < count) records_.resize(count);
    records_[index] = record;
  } else {
    if (savedStates_.size() < count) savedStates_.resize(count, PackSaved(cbUnchecked, true));
    savedStates_[index] = PackSaved(record.state, record.enabled);
  }
}

TCheckBoxState TExCheckListBox::GetState(int index) const {
  TCheckBoxState s = Record(index).state;
  if (checkKind_ == ckRadioButtons && s != cbChecked) return cbUnchecked;
  return s;
}

void TExCheckListBox::SetState(int index, TCheckBoxState value) {
  if (index < 0 || index >= GetItems()->Count()) return;
  ItemRecord record = Record(index);
  if (record.state == value) return;
  if (checkKind_ == ckRadioButtons) {
    if (value != cbChecked) return;  // the checked radio item is unchecked only by checking another
    for (int i = GetItems()->Count() - 1; i >= 0; --i) {
      ItemRecord other = Record(i);
      if (i != index && other.state == cbChecked) {
        other.state = cbUnchecked;
        WriteRecord(i, other);
        InvalidateCheck(i);
      }
    }
  }
  record.state = value;
  WriteRecord(index, record);
  InvalidateCheck(index);
  if (!ComponentState().Contains(csReading) && OnStateChange) OnStateChange(this, index);
}

bool TExCheckListBox::GetEnabledItem(int index) const { return Record(index).enabled; }

void TExCheckListBox::SetEnabledItem(int index, bool value) {
  if (index < 0 || index >= GetItems()->Count()) return;
  ItemRecord record = Record(index);
  if (record.enabled == value) return;
  record.enabled = value;
  WriteRecord(index, record);
  InvalidateItem(index);
}

void TExCheckListBox::SetAllowGrayed(bool value) {
  if (value == allowGrayed_) return;
  allowGrayed_ = value;
  Invalidate();
}

void TExCheckListBox::SetCheckKind(TCheckKind value) {
  if (value == checkKind_) return;
  checkKind_ = value;
  EnforceOneRadio();
  Invalidate();
}

int TExCheckListBox::GetCheckedIndex() const {
  if (checkKind_ != ckRadioButtons) return -1;
  for (int i = 0; i < GetItems()->Count(); ++i)
    if (Record(i).state == cbChecked) return i;
  return -1;
}

void TExCheckListBox::SetCheckedIndex(int value) {
  if (checkKind_ != ckRadioButtons || GetItems()->Count() == 0) return;
  SetState(std::clamp(value, 0, GetItems()->Count() - 1), cbChecked);
}

void TExCheckListBox::EnforceOneRadio() {
  if (checkKind_ != ckRadioButtons || GetItems()->Count() == 0) return;
  SetState(std::max(GetCheckedIndex(), 0), cbChecked);
}

void TExCheckListBox::ToggleClickCheck(int index) {
  if (index < 0 || index >= GetItems()->Count() || !GetEnabledItem(index)) return;
  switch (GetState(index)) {
    case cbUnchecked: SetState(index, AllowGrayedEffective() ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(index, cbUnchecked); break;
    case cbGrayed: SetState(index, cbChecked); break;
  }
  if (OnClickCheck) OnClickCheck(this);
}

void TExCheckListBox::SetAll(TCheckBoxState state) {
  for (int i = 0; i < GetItems()->Count(); ++i)
    if (GetEnabledItem(i)) {
      SetState(i, state);
      if (OnClickCheck) OnClickCheck(this);
    }
}

void TExCheckListBox::AssignStates(const TExCheckListBox* source) {
  const int count = std::min(GetItems()->Count(), source->GetItems()->Count());
  for (int i = 0; i < count; ++i) {
    SetState(i, source->Record(i).state);
    SetEnabledItem(i, source->GetEnabledItem(i));
  }
}

// ---- storage ----

void TExCheckListBox::SaveStatesTo(TObject* store, const AnsiString& section) {
  IniEraseSection(store, section);
  const int count = GetItems()->Count();
  IniWriteInteger(store, section, "Count", count);
  for (int i = 0; i < count; ++i) IniWriteInteger(store, section, "Item" + std::to_string(i), GetState(i));
}

void TExCheckListBox::RestoreStatesFrom(TObject* store, const AnsiString& section) {
  const int count = std::min(IniReadInteger(store, section, "Count", 0), GetItems()->Count());
  for (int i = 0; i < count; ++i) {
    const int value = IniReadInteger(store, section, "Item" + std::to_string(i), cbUnchecked);
    const TCheckBoxState state = StateOf(value);
    SetState(i, state);
    if (checkKind_ == ckRadioButtons && state == cbChecked) break;
  }
}
