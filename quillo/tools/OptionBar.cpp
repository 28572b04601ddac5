// Option bars built from their layout texts.
//
// A layout comes from a language file that a translator wrote, so the builder trusts none of
// it: an item whose number does not read is left out and the rest of the bar is still built,
// a list never reads past the end of the layout, a picture button whose bitmap is missing
// shows no glyph, and a colour that is not hexadecimal is black. Selecting a tool builds its
// bar before activating it, so a bar that cannot be built must never stop a selection.

#include "quillo/tools/OptionBar.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "platform/vcl/AllocateHWnd.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"

std::vector<TControl*> OptionControls;

namespace {

// A group panel's Tag: the open bit, and the full height kept while the group is closed.
constexpr std::intptr_t GroupOpen = 0x10000;
constexpr std::intptr_t GroupHeightMask = 0xFFFF;
// The keys a focused combo box and a focused spin edit keep for themselves.
constexpr int ComboTag = TagTakesEditKeys;
constexpr int SpinTag = TagTakesEditKeys | TagTakesDigits;
// Spacing of the placement, in pixels.
constexpr int Margin = 4;
constexpr int Gap = 4;

// The layouts write their numbers with a point: the decimal separator is '.' while they are
// read, and the program's own again on every way out.
class DecimalPointScope {
public:
  DecimalPointScope() : saved_(DecimalSeparator) { DecimalSeparator = '.'; }
  ~DecimalPointScope() { DecimalSeparator = saved_; }
  DecimalPointScope(const DecimalPointScope&) = delete;
  DecimalPointScope& operator=(const DecimalPointScope&) = delete;

private:
  char saved_;
};

// Keeps the bar's controls in order. A value control that goes away (the window freed) is
// forgotten, so that an index never reaches a freed control and the others keep theirs. The
// controls of a bar that is replaced are hidden at once and freed only once the message being
// handled has returned: the bar may be replaced from inside one of its own controls (a key
// typed into a field that is a hot key for another tool, a handler that chooses a tool).
class OptionBarKeeper : public TComponent {
public:
  explicit OptionBarKeeper(TComponent* owner) : TComponent(owner) {
    SetName("OptionBarKeeper");
    window_ = AllocateHWnd([this](TMessage& message) { Dispatch(message); });
  }
  ~OptionBarKeeper() override {
    DeallocateHWnd(window_);
    OptionControls.clear();
    retired_.clear();  // their window frees them
  }

  static OptionBarKeeper* Of(TToolForm* form) {
    if (auto* found = dynamic_cast<OptionBarKeeper*>(form->FindComponent("OptionBarKeeper"))) return found;
    return NewComponent<OptionBarKeeper>(form);
  }

  void Watch(TControl* control) { control->FreeNotification(this); }

  // Takes every control off the sheet's bar: hidden now, freed from the message loop.
  void Retire(TWinControl* sheet) {
    OptionControls.clear();
    for (int i = 0; i < sheet->ControlCount(); ++i) {
      TControl* control = sheet->Controls(i);
      if (IsRetired(control)) continue;
      control->SetVisible(false);
      control->FreeNotification(this);
      retired_.push_back(control);
    }
    if (!retired_.empty() && !freePosted_) freePosted_ = PostMessage(window_, FreeRetiredMessage, 0, 0) != 0;
  }

  bool IsRetired(TControl* control) const {
    return std::find(retired_.begin(), retired_.end(), control) != retired_.end();
  }

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    for (TControl*& control : OptionControls)
      if (static_cast<TComponent*>(control) == component) control = nullptr;
    std::erase_if(retired_, [component](TControl* c) { return static_cast<TComponent*>(c) == component; });
  }

private:
  static constexpr UINT FreeRetiredMessage = WM_APP + 0x102;

  void Dispatch(TMessage& message) {
    if (message.Msg != FreeRetiredMessage) {
      message.Result = DefWindowProc(window_, message.Msg, message.WParam, message.LParam);
      return;
    }
    freePosted_ = false;
    while (!retired_.empty()) FreeObject(retired_.back());  // each leaves the list as it goes
  }

  HWND window_ = nullptr;
  std::vector<TControl*> retired_;
  bool freePosted_ = false;
};

std::optional<int> ReadInteger(const AnsiString& field) {
  try {
    return StrToInt(field);
  } catch (const EConvertError&) {
    return std::nullopt;
  }
}

std::optional<double> ReadFloat(const AnsiString& field) {
  double value = 0;
  if (!TryStrToFloat(field, value) || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Hexadecimal RRGGBB as the framework's 0x00BBGGRR; what does not read is black.
TColor ReadSwatchColour(const AnsiString& field) {
  const unsigned long rgb = std::strtoul(field.c_str(), nullptr, 16) & 0xFFFFFF;
  return static_cast<TColor>((rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16));
}

// A whole number from an option value, for a control that holds one; nothing for a value no
// int holds.
std::optional<int> TruncToInt(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double whole = std::trunc(value);
  if (whole < std::numeric_limits<int>::min() || whole > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(whole);
}

TControl* OptionControl(int n) {
  if (n < 0 || n >= static_cast<int>(OptionControls.size())) return nullptr;
  return OptionControls[static_cast<std::size_t>(n)];
}

// Lays out the items of one layout on the Icon sheet, row by row, optionally in groups.
class OptionBarBuilder {
public:
  OptionBarBuilder(TToolForm* form, AnsiString layout)
      : form_(form), sheet_(form->IconSheet), parent_(form->IconSheet), layout_(std::move(layout)),
        keeper_(OptionBarKeeper::Of(form)) {}

  void Build() {
    sheet_->SetCaption(NextField());
    while (!layout_.empty()) {
      const AnsiString code = NextField();
      if (code.empty()) continue;
      switch (code[0]) {
        case 'B': AddButton(); break;
        case 'C': AddCheckBox(); break;
        case 'F': AddSpinEdit(vtFloat); break;
        case 'G': AddGroup(); break;
        case 'I': AddSpinEdit(vtInt); break;
        case 'L': AddList(); break;
        case 'N': NewRow(); break;
        case 'O': AddSwatch(); break;
        case 'P': AddPictureButton(); break;
        case 'T': AddText(); break;
        default: break;  // no code: skipped
      }
    }
    Finish();
  }

private:
  AnsiString NextField() { return NextOptionField(layout_); }

  template <class T>
  T* Make() {
    T* control = NewComponent<T>(form_);
    control->SetParent(parent_);
    return control;
  }

  void AddValueControl(TControl* control, const AnsiString& hint) {
    control->SetHint(hint);
    control->SetShowHint(true);
    keeper_->Watch(control);
    OptionControls.push_back(control);
  }

  // The control at x on the row; the row is as high as the control's extent below its top.
  void Place(TControl* control, int down, int extent) {
    control->SetBounds(x_, rowTop_ + down, control->GetWidth(), control->GetHeight());
    x_ += control->GetWidth() + Gap;
    rowHeight_ = std::max(rowHeight_, extent);
  }
  void PlaceLabel(TLabel* label) { Place(label, 4, label->GetHeight() + 4); }
  void PlaceControl(TControl* control) { Place(control, 0, control->GetHeight()); }

  TLabel* AddLabel(const AnsiString& caption, const AnsiString& hint, int extraHeight) {
    TLabel* label = Make<TLabel>();
    label->SetCaption(caption);
    label->SetHint(hint);
    label->SetShowHint(true);
    if (extraHeight) label->SetHeight(label->GetHeight() + extraHeight);
    PlaceLabel(label);
    return label;
  }

  void AddButton() {
    const AnsiString caption = NextField();
    const AnsiString hint = NextField();
    TSpeedButton* button = Make<TSpeedButton>();
    button->SetCaption(caption);
    button->SetBounds(0, 0, OptionTextWidth(caption) + 32, 22);
    AddValueControl(button, hint);
    PlaceControl(button);
  }

  void AddCheckBox() {
    const AnsiString caption = NextField();
    const std::optional<int> checked = ReadInteger(NextField());
    const AnsiString hint = NextField();
    if (!checked) return;
    TCheckBox* box = Make<TCheckBox>();
    box->SetCaption(caption);
    box->SetChecked(*checked != 0);
    box->SetWidth(OptionTextWidth(caption) + 20);
    AddValueControl(box, hint);
    Place(box, 1, box->GetHeight() + 1);
  }

  // I: label, minimum, maximum, value, hint; F: label, decimals, then the same.
  void AddSpinEdit(TValueType type) {
    const AnsiString caption = NextField();
    std::optional<int> decimals = 0;
    if (type == vtFloat) decimals = ReadInteger(NextField());
    const AnsiString minText = NextField();
    const AnsiString maxText = NextField();
    const AnsiString valueText = NextField();
    const AnsiString hint = NextField();
    std::optional<double> minimum, maximum, value;
    if (type == vtFloat) {
      minimum = ReadFloat(minText), maximum = ReadFloat(maxText), value = ReadFloat(valueText);
    } else {
      minimum = ReadInteger(minText), maximum = ReadInteger(maxText), value = ReadInteger(valueText);
    }
    if (!decimals || !minimum || !maximum || !value) return;

    TLabel* label = AddLabel(caption, hint, type == vtFloat ? 1 : 0);
    TExSpinEdit* spin = Make<TExSpinEdit>();
    spin->SetValueType(type);
    // More decimals than a double holds would only show noise.
    if (type == vtFloat) spin->SetDecimal(static_cast<std::uint8_t>(std::clamp(*decimals, 0, 15)));
    spin->SetAlignment(taRightJustify);
    spin->SetButtonKind(bkStandard);
    spin->SetMinValue(*minimum);
    spin->SetMaxValue(*maximum);
    spin->SetValue(*value);
    spin->SetWidth(std::max(OptionTextWidth(minText), OptionTextWidth(maxText)) + 28);
    spin->SetTag(SpinTag);
    label->SetFocusControl(spin);
    AddValueControl(spin, hint);
    PlaceControl(spin);
  }

  // L: label, n, n item texts, hint. The count is the translator's word only as far as the
  // layout goes: a list never reads past its end.
  void AddList() {
    const AnsiString caption = NextField();
    const std::optional<int> count = ReadInteger(NextField());
    if (!count) return;
    std::vector<AnsiString> items;
    for (int i = 0; i < *count && !layout_.empty(); ++i) items.push_back(NextField());
    const AnsiString hint = NextField();

    TLabel* label = AddLabel(caption, hint, 0);
    TComboBox* combo = Make<TComboBox>();
    combo->SetStyle(csDropDownList);
    int widest = 0;
    for (const AnsiString& item : items) {
      combo->GetItems()->Add(item);
      widest = std::max(widest, OptionTextWidth(item));
    }
    if (!items.empty()) combo->SetItemIndex(0);
    combo->SetWidth(widest + 30);
    combo->SetTag(ComboTag);
    label->SetFocusControl(combo);
    AddValueControl(combo, hint);
    PlaceControl(combo);
  }

  void AddSwatch() {
    const AnsiString caption = NextField();
    const TColor colour = ReadSwatchColour(NextField());
    const AnsiString hint = NextField();
    AddLabel(caption, hint, 1);
    TShape* swatch = Make<TShape>();
    swatch->SetBounds(0, 0, 28, 20);
    swatch->GetBrush()->SetColor(colour);
    AddValueControl(swatch, hint);
    PlaceControl(swatch);
  }

  // A button that toggles by itself: a group of its own that may be all up.
  void AddPictureButton() {
    const AnsiString resource = NextField();
    const AnsiString hint = NextField();
    TSpeedButton* button = Make<TSpeedButton>();
    button->SetBounds(0, 0, 21, 21);
    button->SetGroupIndex(static_cast<int>(OptionControls.size()) + 1);
    button->SetAllowAllUp(true);
    TOwnedPtr<TBitmap> glyph = MakeObject<TBitmap>();
    try {
      glyph->LoadFromResourceName(nullptr, resource);
      button->SetGlyph(glyph.get());
    } catch (const Exception&) {
      // No such bitmap (or no sound one): the button stays without a glyph.
    }
    AddValueControl(button, hint);
    PlaceControl(button);
  }

  void AddText() {
    const AnsiString caption = NextField();
    const AnsiString hint = NextField();
    AddLabel(caption, hint, 0);
  }

  void NewRow() {
    if (group_) group_->SetHeight(group_->GetHeight() + rowHeight_ + Gap);
    rowTop_ += rowHeight_ + Gap;
    x_ = Margin;
    rowHeight_ = 0;
  }

  // A group opens below the previous one; the items after it go into it.
  void AddGroup() {
    const AnsiString caption = NextField();
    sheetRowTop_ = group_ ? sheetRowTop_ + group_->GetHeight() + 6 : rowTop_;
    TPanel* group = NewComponent<TPanel>(form_);
    group->SetParent(sheet_);
    group->SetCaption("");
    group->SetBevelOuter(bvLowered);
    group->SetBevelInner(bvRaised);
    group->SetBounds(0, sheetRowTop_, SheetWidth(), 20);
    group->SetTag(GroupOpen);
    TPanel* header = NewComponent<TPanel>(form_);
    header->SetParent(group);
    header->SetAlign(alTop);
    header->SetBevelOuter(bvLowered);
    header->SetColor(cl3DLight);
    header->SetCaption(caption);
    header->SetHeight(std::abs(header->GetFont()->GetHeight()) + 6);
    TToolForm* form = form_;
    header->OnMouseDown = [form](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
      form->OptionGroupMouseDown(sender, button, shift, x, y);
    };
    group_ = group;
    parent_ = group;
    rowTop_ = header->GetHeight() + 5;
  }

  // A sheet never shown yet has no size: it will get the page control's display area.
  int SheetWidth() const {
    if (sheet_->GetClientWidth() > 0 || !sheet_->GetPageControl()) return sheet_->GetClientWidth();
    TPageControl* pages = sheet_->GetPageControl();
    pages->GetHandle();  // the display area is the tab control's to tell
    return pages->GetDisplayRect().Width();
  }

  void Finish() {
    if (group_) {
      group_->SetHeight(group_->GetHeight() + rowHeight_ + 6);
      sheet_->SetTag(sheetRowTop_ + group_->GetHeight());
    } else {
      sheet_->SetTag(rowTop_ + rowHeight_ + 2);
    }
    sheet_->SetTabVisible(true);
  }

  TToolForm* form_;
  TTabSheet* sheet_;
  TWinControl* parent_;  // the sheet, or the group opened last
  TPanel* group_ = nullptr;
  AnsiString layout_;
  OptionBarKeeper* keeper_;
  int x_ = Margin;
  int rowTop_ = Margin;  // inside the parent
  int rowHeight_ = 0;
  int sheetRowTop_ = Margin;  // where the group opened last lies on the sheet
};

}  // namespace

void BuildOptionBar(const AnsiString& key) {
  if (!ToolForm) return;
  const DecimalPointScope point;
  OptionControls.clear();
  OptionBarBuilder(ToolForm, LangMessage(key)).Build();
}

void RebuildOptionBar(P_icon* tool) {
  if (!tool || tool->BarKey.empty() || !ToolForm) return;
  TTabSheet* sheet = ToolForm->IconSheet;
  if (sheet->GetTabVisible()) return;
  OptionBarKeeper* keeper = OptionBarKeeper::Of(ToolForm);
  keeper->Retire(sheet);
  BuildOptionBar(tool->BarKey);
  for (int i = 0; i < sheet->ControlCount(); ++i) {
    TControl* control = sheet->Controls(i);
    if (keeper->IsRetired(control)) continue;
    control->SetVisible(true);
    control->SetEnabled(true);
  }
  ToolForm->ShowSheet(sheet, true, true);
}

void CloseOptionBar(P_icon* old, P_icon* next) {
  if (!old || old->BarKey.empty() || !ToolForm) return;
  ToolForm->ShowSheet(ToolForm->IconSheet, old == next, true);
}

double GetOptionValue(int n) {
  TControl* control = OptionControl(n);
  if (!control) return 0;
  const AnsiString kind = control->ClassName();
  if (kind == "TComboBox") {
    if (auto* combo = dynamic_cast<TComboBox*>(control)) return combo->GetItemIndex();
  } else if (kind == "TExSpinEdit") {
    if (auto* spin = dynamic_cast<TExSpinEdit*>(control)) return static_cast<double>(spin->GetValue());
  } else if (kind == "TCheckBox") {
    if (auto* box = dynamic_cast<TCheckBox*>(control)) return box->GetChecked() ? 1 : 0;
  } else if (kind == "TShape") {
    if (auto* swatch = dynamic_cast<TShape*>(control)) {
      const auto bgr = static_cast<std::uint32_t>(ColorToRGB(swatch->GetBrush()->GetColor()));
      return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
    }
  } else if (kind == "TSpeedButton") {
    if (auto* button = dynamic_cast<TSpeedButton*>(control)) return button->GetDown() ? 1 : 0;
  }
  return 0;
}

void SetOptionValue(int n, double value) {
  TControl* control = OptionControl(n);
  if (!control) return;
  const AnsiString kind = control->ClassName();
  if (kind == "TComboBox") {
    if (auto* combo = dynamic_cast<TComboBox*>(control)) combo->SetItemIndex(TruncToInt(value).value_or(-1));
  } else if (kind == "TExSpinEdit") {
    if (auto* spin = dynamic_cast<TExSpinEdit*>(control); spin && std::isfinite(value)) spin->SetValue(value);
  } else if (kind == "TCheckBox") {
    if (auto* box = dynamic_cast<TCheckBox*>(control)) box->SetChecked(value != 0);
  } else if (kind == "TShape") {
    const std::optional<int> whole = TruncToInt(value);
    if (auto* swatch = dynamic_cast<TShape*>(control); swatch && whole) {
      const auto rgb = static_cast<std::uint32_t>(*whole) & 0xFFFFFF;
      swatch->GetBrush()->SetColor(static_cast<TColor>((rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16)));
    }
  } else if (kind == "TSpeedButton") {
    if (auto* button = dynamic_cast<TSpeedButton*>(control)) button->SetDown(value != 0);
  }
}

void SetOptionEvent(int n, const TNotifyEvent& handler) {
  TControl* control = OptionControl(n);
  if (!control) return;
  const AnsiString kind = control->ClassName();
  if (kind == "TComboBox") {
    if (auto* combo = dynamic_cast<TComboBox*>(control)) combo->OnChange = handler;
  } else if (kind == "TExSpinEdit") {
    if (auto* spin = dynamic_cast<TExSpinEdit*>(control)) spin->OnChange = spin->OnExit = handler;
  } else if (kind == "TCheckBox") {
    if (auto* box = dynamic_cast<TCheckBox*>(control)) box->OnClick = box->OnExit = handler;
  } else if (kind == "TSpeedButton") {
    control->OnClick = handler;
  }
}

AnsiString NextOptionField(AnsiString& layout) {
  const auto comma = layout.find(',');
  AnsiString field = layout.substr(0, comma);
  layout = comma == AnsiString::npos ? AnsiString() : layout.substr(comma + 1);
  return field;
}

int OptionTextWidth(const AnsiString& text) {
  TCustomForm* main = TheDocumentHost().MainWindow();
  TCustomForm* measurer = main ? main : static_cast<TCustomForm*>(ToolForm);
  if (!measurer || !measurer->GetCanvas()) return 0;
  RECT r{0, 0, 0, 0};
  DrawText(measurer->GetCanvas()->GetHandle(), text.c_str(), -1, &r, DT_CALCRECT);
  return r.right - r.left;
}

void TToolForm::OptionGroupMouseDown(TObject* sender, TMouseButton button, TShiftState, int, int) {
  if (button != mbLeft) return;
  auto* header = dynamic_cast<TPanel*>(sender);
  auto* group = header ? dynamic_cast<TPanel*>(header->GetParent()) : nullptr;
  TWinControl* sheet = group ? group->GetParent() : nullptr;
  if (!sheet) return;

  const int before = group->GetHeight();
  const std::intptr_t tag = group->GetTag();
  if (tag & GroupOpen) {
    header->SetBevelOuter(bvRaised);
    header->SetColor(clBtnFace);
    group->SetTag(std::min<std::intptr_t>(before, GroupHeightMask));
    group->SetHeight(header->GetHeight() + 4);
  } else {
    header->SetBevelOuter(bvLowered);
    header->SetColor(cl3DLight);
    group->SetTag(tag | GroupOpen);
    group->SetHeight(static_cast<int>(tag & GroupHeightMask));
  }

  // What lies below the group follows its edge.
  const int change = group->GetHeight() - before;
  const int left = group->GetLeft(), right = group->GetLeft() + group->GetWidth();
  for (int i = 0; i < sheet->ControlCount(); ++i) {
    TControl* control = sheet->Controls(i);
    if (control == group || control->GetTop() <= group->GetTop()) continue;
    if (control->GetLeft() < left || control->GetLeft() >= right) continue;
    control->SetTop(control->GetTop() + change);
  }
  // The sheet holds everything on it: groups below this one stay in the window.
  int bottom = 0;
  for (int i = 0; i < sheet->ControlCount(); ++i) {
    const TControl* control = sheet->Controls(i);
    if (control->GetVisible()) bottom = std::max(bottom, control->GetTop() + control->GetHeight());
  }
  sheet->SetTag(bottom + 2);
  if (PageControl->GetActivePage() == sheet) PageControlChange(this);
}
