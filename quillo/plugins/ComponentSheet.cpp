#include "quillo/plugins/ComponentSheet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/Strings.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramFolder.h"
#include "quillo/base/ProgramMessages.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Progress.h"
#include "quillo/plugins/ComponentCallbacks.h"
#include "quillo/plugins/ComponentCalls.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/plugins/ComponentHost.h"
#include "quillo/plugins/ComponentRegistry.h"
#include "quillo/plugins/ComponentRun.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

// Every option control from a value block (the page is built, ComponentAutoSend is off).
void FillOptionControls(const std::uint8_t* values);

namespace {

constexpr int PreviewBoxWidth = 120;
constexpr int PreviewBoxHeight = 90;

// The instant preview's pictures: the image scaled down, and the component's result on it.
UDBuffer ScaledSource;
UDBuffer ScaledResult;
// The document options' thumbnails, one per option.
std::array<UDBuffer, QLC_MAX_OPTIONS> DocumentThumbs;
CompSheetControls Fixed;
bool PageBuilt = false;

TTabSheet* Sheet() { return ToolForm ? ToolForm->CompSheet : nullptr; }

template <class T>
T* Named(const char* name, TTabSheet* sheet) {
  if (auto* found = dynamic_cast<T*>(ToolForm->FindComponent(name))) return found;
  T* made = NewNamedComponent<T>(ToolForm, name);
  made->SetParent(sheet);
  return made;
}

// The fixed controls as the tool window has them now; all null when it has none (yet).
void LookUpFixedControls() {
  Fixed = CompSheetControls{};
  TTabSheet* sheet = Sheet();
  if (!sheet) return;
  Fixed.CompApplyBtn = dynamic_cast<TButton*>(ToolForm->FindComponent("CompApplyBtn"));
  Fixed.CancelBtn = dynamic_cast<TButton*>(ToolForm->FindComponent("CancelBtn"));
  Fixed.CompHelpBtn = dynamic_cast<TButton*>(ToolForm->FindComponent("CompHelpBtn"));
  Fixed.PresetBtn = dynamic_cast<TButton*>(ToolForm->FindComponent("PresetBtn"));
  Fixed.PreviewBtn = dynamic_cast<TButton*>(ToolForm->FindComponent("PreviewBtn"));
  Fixed.BrowseBtn = dynamic_cast<TButton*>(ToolForm->FindComponent("BrowseBtn"));
  Fixed.ModeCombo = dynamic_cast<TComboBox*>(ToolForm->FindComponent("ModeCombo"));
  Fixed.CopyrightMessage = dynamic_cast<TLabel*>(ToolForm->FindComponent("CopyrightMessage"));
  Fixed.InstPreviewBuf = dynamic_cast<TBuffer*>(ToolForm->FindComponent("InstPreviewBuf"));
}

// The fixed controls, made on first use (the tool window keeps them).
void FindFixedControls() {
  TTabSheet* sheet = Sheet();
  if (!sheet) {
    Fixed = CompSheetControls{};
    return;
  }
  const bool first = !ToolForm->FindComponent("CompApplyBtn");
  Fixed.CompApplyBtn = Named<TButton>("CompApplyBtn", sheet);
  Fixed.CancelBtn = Named<TButton>("CancelBtn", sheet);
  Fixed.CompHelpBtn = Named<TButton>("CompHelpBtn", sheet);
  Fixed.PresetBtn = Named<TButton>("PresetBtn", sheet);
  Fixed.PreviewBtn = Named<TButton>("PreviewBtn", sheet);
  Fixed.BrowseBtn = Named<TButton>("BrowseBtn", sheet);
  Fixed.ModeCombo = Named<TComboBox>("ModeCombo", sheet);
  Fixed.CopyrightMessage = Named<TLabel>("CopyrightMessage", sheet);
  Fixed.InstPreviewBuf = Named<TBuffer>("InstPreviewBuf", sheet);
  if (!first) return;
  Fixed.CompApplyBtn->SetDefault(true);
  for (TButton* button : {Fixed.CompApplyBtn, Fixed.CancelBtn, Fixed.CompHelpBtn, Fixed.PresetBtn,
                          Fixed.PreviewBtn, Fixed.BrowseBtn})
    button->SetBounds(0, 0, 64, 21);
  Fixed.CompApplyBtn->OnClick = [](TObject*) { ComponentApplyClick(); };
  Fixed.CancelBtn->OnClick = [](TObject*) { ComponentCancelClick(); };
  Fixed.PreviewBtn->OnClick = [](TObject*) { ComponentPreviewClick(); };
  Fixed.CompHelpBtn->OnClick = [](TObject*) {
    if (ToolForm) ToolForm->HelpBtnClick(nullptr);
  };
  Fixed.PresetBtn->OnClick = [](TObject*) {
    if (!CompSheetActive()) return;
    CallComponent(CMD_PRESET, nullptr);
    if (QLCDSTR* record = CurrentRecord()) {
      std::memcpy(ComponentOptionValues.data(), record->DefaultValues.data(), QLC_VALUE_BYTES);
      const bool autoSend = ComponentAutoSend;
      ComponentAutoSend = false;
      FillOptionControls(record->DefaultValues.data());
      ComponentAutoSend = autoSend;
    }
    ReadComponentOptions();
    SendComponentOptions(ComponentOptionValues.data());
    RefreshInstPreview();
  };
  Fixed.BrowseBtn->OnClick = [](TObject*) {
    if (!CompSheetActive()) return;
    TMenuItem* group = ComponentGroupMenu(CurrentComponent);
    TMenuItem* browse = group && group->Count() > 0 ? group->Items(0) : nullptr;
    PostMessage(TheComponentHost().MainWindowHandle(), UM_BROWSEEFFECTS, 0, reinterpret_cast<LPARAM>(browse));
  };
  Fixed.ModeCombo->SetStyle(csDropDownList);
  Fixed.ModeCombo->SetBounds(0, 0, 112, 21);
  Fixed.ModeCombo->OnChange = [](TObject*) { RefreshInstPreview(); };
  Fixed.InstPreviewBuf->SetAlpha(true);
  Fixed.InstPreviewBuf->SetBounds(0, 0, PreviewBoxWidth, PreviewBoxHeight);
  Fixed.InstPreviewBuf->OnMouseDown = [](TObject*, TMouseButton button, TShiftState, int x, int y) {
    if (ScaledResult.Empty()) return;
    SendComponentPoint(std::clamp(x, 0, ScaledResult.Width() - 1), std::clamp(y, 0, ScaledResult.Height() - 1),
                       ScaledResult.Width(), ScaledResult.Height(), button == mbRight, 1);
  };
  TranslateComponent(ToolForm, "[ToolForm]");
  if (Fixed.ModeCombo->GetItems()->Count() == 0) Fixed.ModeCombo->GetItems()->Add("(Replace)");
  Fixed.ModeCombo->SetItemIndex(0);
}

bool OptionShown(const AnsiString& text) { return OptionLevel(text) <= Settings.Level + 1; }

int RowHeight(int type) {
  switch (type) {
    case QLC_OPT_BUTTON: return 26;
    case QLC_OPT_CHECK: return 23;
    case QLC_OPT_FLOAT:
    case QLC_OPT_INTEGER: return 25;
    case QLC_OPT_DOCUMENT: return 94;
    case QLC_OPT_LIST: return 26;
    case QLC_OPT_COLOR: return 27;
    case QLC_OPT_POINT: return 26;
    case QLC_OPT_SCROLL: return 22;
    case QLC_OPT_TEXT: return 20;
    default: return 0;
  }
}

int Digits(double value) {
  int digits = 1;
  for (double v = std::fabs(value); v >= 10; v /= 10) ++digits;
  return digits + (value < 0 ? 1 : 0);
}

double NumberField(const std::vector<AnsiString>& fields, std::size_t index) {
  return index < fields.size() ? std::strtod(fields[index].c_str(), nullptr) : 0.0;
}

void OptionChanged() {
  if (!ComponentAutoSend) return;
  ReadComponentOptions();
  SendComponentOptions(ComponentOptionValues.data());
  RefreshInstPreview();
}

// A colour option's swatch: the colour selector, titled with the option's label, sets it; the
// program's own help serves the selector meanwhile.
void ColourOptionMouseDown(TObject* sender) {
  auto* swatch = dynamic_cast<TShape*>(sender);
  QLCDSTR* record = CurrentRecord();
  if (!swatch || !record) return;
  const auto option = static_cast<std::size_t>(swatch->GetTag());
  auto* label = dynamic_cast<TLabel*>(record->OptionLabels[option]);
  const AnsiString componentHelp = ApplicationHelpFile;
  ResetHelpFile();
  const TColor chosen =
      TheComponentHost().ChooseColour(label ? label->GetCaption() : AnsiString(), swatch->GetBrush()->GetColor());
  ApplicationHelpFile = componentHelp;
  swatch->GetBrush()->SetColor(chosen);
  swatch->Invalidate();
  OptionChanged();
}

// The thumbnail of document n (1-based) in the option's view; the active document shows as it
// was before the effect.
void DrawDocumentThumb(TBuffer* view, int option, int n) {
  UDBuffer& thumb = DocumentThumbs[static_cast<std::size_t>(option)];
  view->SetBuffer(nullptr);
  thumb.Free();
  if (n >= 1 && n <= ImgFormCount && ImgForms[static_cast<std::size_t>(n - 1)]) {
    TImageForm* form = ImgForms[static_cast<std::size_t>(n - 1)];
    UDBuffer* picture = &form->Picture;
    if (form == ImageForm && !QlComponentTool.QlComponentPicture.Empty()) picture = &QlComponentTool.QlComponentPicture;
    if (!picture->Empty()) thumb.ScaleToFit(*picture, PreviewBoxWidth, PreviewBoxHeight, true, false);
  }
  view->SetTag(n);
  view->SetBuffer(thumb.Empty() ? nullptr : &thumb);
  view->Invalidate();
}

// The document option's number changed: its thumbnail follows.
void DocumentSpinChange(TObject* sender) {
  auto* edit = dynamic_cast<TExSpinEdit*>(sender);
  QLCDSTR* record = CurrentRecord();
  if (!edit || !record) return;
  const int option = static_cast<int>(edit->GetTag() / 256);
  const int n = static_cast<int>(std::lround(static_cast<double>(edit->GetValue())));
  auto* view = dynamic_cast<TBuffer*>(record->OptionControls[static_cast<std::size_t>(option)][0]);
  if (n >= 1 && view) DrawDocumentThumb(view, option, n);
  OptionChanged();
}

template <class T>
T* Control(TTabSheet* sheet, int left, int top, int width, int height, bool shown) {
  T* c = NewComponent<T>(ToolForm);
  c->SetParent(sheet);
  c->SetBounds(left, top, width, height);
  c->SetVisible(shown);
  return c;
}

TExSpinEdit* SpinEdit(TTabSheet* sheet, int left, int top, int width, bool shown, TValueType type) {
  auto* edit = Control<TExSpinEdit>(sheet, left, top, width, 21, shown);
  edit->SetValueType(type);
  edit->OnChange = [](TObject*) { OptionChanged(); };
  return edit;
}

std::uint32_t SwapRedBlue(std::uint32_t c) { return (c & 0xFF00) | (c >> 16 & 0xFF) | (c & 0xFF) << 16; }

// One option's controls at y; y moves on by the row's height when the option shows.
void BuildComponentOption(QLCDSTR& record, int i, int& y, int width) {
  TTabSheet* sheet = Sheet();
  const auto index = static_cast<std::size_t>(i);
  const AnsiString& text = record.OptionTexts[index];
  const int type = record.OptionTypes[index];
  const bool shown = OptionShown(text);
  const std::vector<AnsiString> fields = OptionFields(text);
  const AnsiString caption = TranslateMarked(fields.size() > 1 ? fields[1] : AnsiString());
  auto& controls = record.OptionControls[index];
  controls.fill(nullptr);
  record.OptionLabels[index] = nullptr;
  if (type != QLC_OPT_BUTTON && type != QLC_OPT_CHECK && type != QLC_OPT_NONE) {
    auto* label = Control<TLabel>(sheet, 4, y + (type == QLC_OPT_DOCUMENT ? 3 : 2), width / 2, 16, shown);
    label->SetCaption(caption);
    record.OptionLabels[index] = label;
  }
  switch (type) {
    case QLC_OPT_INTEGER: {
      const double lo = NumberField(fields, 2), hi = NumberField(fields, 3);
      const int w = std::max(Digits(lo), Digits(hi)) * 7 + 29;
      auto* edit = SpinEdit(sheet, width - w - 4, y, w, shown, vtInt);
      edit->SetMinValue(lo);
      edit->SetMaxValue(hi);
      controls[0] = edit;
      break;
    }
    case QLC_OPT_FLOAT: {
      const int decimals = static_cast<int>(NumberField(fields, 2));
      const double lo = NumberField(fields, 4), hi = NumberField(fields, 5);
      const int w = (std::max(Digits(lo), Digits(hi)) + decimals) * 7 + 27;
      auto* edit = SpinEdit(sheet, width - w - 4, y, w, shown, vtFloat);
      edit->SetDecimal(static_cast<std::uint8_t>(std::clamp(decimals, 0, 15)));
      edit->SetIncrement(NumberField(fields, 3));
      edit->SetMinValue(lo);
      edit->SetMaxValue(hi);
      controls[0] = edit;
      break;
    }
    case QLC_OPT_BUTTON: {
      auto* button = Control<TButton>(sheet, 4, y, width - 8, 22, shown);
      button->SetCaption(caption);
      button->SetTag(i + 1);
      button->OnClick = [](TObject* sender) {
        std::int32_t number = static_cast<std::int32_t>(dynamic_cast<TButton*>(sender)->GetTag());
        CallComponent(CMD_BUTTON, &number);
      };
      controls[0] = button;
      break;
    }
    case QLC_OPT_CHECK: {
      auto* check = Control<TCheckBox>(sheet, 4, y, width - 8, 17, shown);
      check->SetCaption(caption);
      check->OnClick = [](TObject*) { OptionChanged(); };
      controls[0] = check;
      break;
    }
    case QLC_OPT_SCROLL: {
      auto* value = Control<TLabel>(sheet, width - 34, y + 2, 30, 16, shown);
      auto* bar = Control<TScrollBar>(sheet, width / 2, y, width / 2 - 40, 17, shown);
      const int lo = static_cast<int>(NumberField(fields, 2)), hi = static_cast<int>(NumberField(fields, 3));
      bar->SetMax(999999);
      bar->SetMin(lo);
      bar->SetMax(hi);
      bar->SetLargeChange(std::max(1, (hi - lo + 1) / 16));
      bar->OnChange = [](TObject*) { OptionChanged(); };
      controls[0] = bar;
      controls[1] = value;
      break;
    }
    case QLC_OPT_LIST: {
      const int n = static_cast<int>(NumberField(fields, 2));
      int longest = 0;
      auto* list = Control<TComboBox>(sheet, 0, y, 40, 21, shown);
      list->SetStyle(csDropDownList);
      for (int k = 0; k < n && static_cast<std::size_t>(3 + k) < fields.size(); ++k) {
        const AnsiString item = TranslateMarked(fields[static_cast<std::size_t>(3 + k)]);
        longest = std::max(longest, static_cast<int>(item.size()));
        list->GetItems()->Add(item);
      }
      const int w = longest * 7 + 20;
      list->SetBounds(width - w - 4, y, w, 21);
      list->OnChange = [](TObject*) { OptionChanged(); };
      controls[0] = list;
      break;
    }
    case QLC_OPT_COLOR: {
      auto* swatch = Control<TShape>(sheet, width - 44, y, 40, 21, shown);
      swatch->SetTag(i);
      swatch->OnMouseDown = [](TObject* sender, TMouseButton, TShiftState, int, int) { ColourOptionMouseDown(sender); };
      controls[0] = swatch;
      break;
    }
    case QLC_OPT_POINT: {
      const int iw = CurrentPicture ? CurrentPicture->Width() : 1, ih = CurrentPicture ? CurrentPicture->Height() : 1;
      const int w = std::max(Digits(iw - 1), Digits(ih - 1)) * 7 + 29;
      auto* ye = SpinEdit(sheet, width - w - 4, y, w, shown, vtInt);
      auto* xe = SpinEdit(sheet, width - 2 * w - 8, y, w, shown, vtInt);
      xe->SetMinValue(0);
      xe->SetMaxValue(std::max(0, iw - 1));
      ye->SetMinValue(0);
      ye->SetMaxValue(std::max(0, ih - 1));
      controls[0] = xe;
      controls[1] = ye;
      break;
    }
    case QLC_OPT_DOCUMENT: {
      auto* view = Control<TBuffer>(sheet, width - 123, y, PreviewBoxWidth, PreviewBoxHeight, shown);
      controls[0] = view;
      auto* edit = SpinEdit(sheet, 4, y + 26, 39, shown, vtInt);
      edit->OnChange = [](TObject* sender) { DocumentSpinChange(sender); };
      edit->SetMinValue(1);
      edit->SetMaxValue(std::max(1, ImgFormCount));
      edit->SetIncrement(ImgFormCount > 1 ? 1 : 0);
      edit->SetTag(i * 256 + 5);
      controls[2] = edit;
      break;
    }
    default: break;
  }
  if (shown) y += RowHeight(type);
}

int Fraction(int value, int side) { return side > 1 ? value * 65535 / (side - 1) : 0; }

}  // namespace

void FillOptionControls(const std::uint8_t* values) {
  QLCDSTR* record = CurrentRecord();
  if (!record) return;
  const int iw = CurrentPicture ? CurrentPicture->Width() : 1, ih = CurrentPicture ? CurrentPicture->Height() : 1;
  for (int i = 0; i < QLC_MAX_OPTIONS; ++i) {
    const auto index = static_cast<std::size_t>(i);
    const auto& controls = record->OptionControls[index];
    const int offset = OptionSlotOffset(*record, i);
    const std::int32_t v = OptionSlotSize(record->OptionTypes[index]) == 4 ? ReadSlot32(values, offset) : 0;
    switch (record->OptionTypes[index]) {
      case QLC_OPT_INTEGER:
        if (auto* e = dynamic_cast<TExSpinEdit*>(controls[0])) e->SetValue(v);
        break;
      case QLC_OPT_FLOAT:
        if (auto* e = dynamic_cast<TExSpinEdit*>(controls[0])) e->SetValue(ReadSlotDouble(values, offset));
        break;
      case QLC_OPT_CHECK:
        if (auto* c = dynamic_cast<TCheckBox*>(controls[0])) c->SetChecked(v != 0);
        break;
      case QLC_OPT_SCROLL:
        if (auto* b = dynamic_cast<TScrollBar*>(controls[0])) b->SetPosition(v);
        if (auto* l = dynamic_cast<TLabel*>(controls[1])) l->SetCaption(IntToStr(v));
        break;
      case QLC_OPT_LIST:
        if (auto* l = dynamic_cast<TComboBox*>(controls[0])) l->SetItemIndex(v - 1);
        break;
      case QLC_OPT_COLOR:
        if (auto* s = dynamic_cast<TShape*>(controls[0])) s->GetBrush()->SetColor(static_cast<TColor>(SwapRedBlue(static_cast<std::uint32_t>(v) & 0xFFFFFF)));
        break;
      case QLC_OPT_POINT: {
        const auto packed = static_cast<std::uint32_t>(v);
        if (auto* x = dynamic_cast<TExSpinEdit*>(controls[0])) x->SetValue(static_cast<int>((packed & 0xFFFF) * static_cast<std::uint32_t>(iw - 1) / 65535.0 + 0.5));
        if (auto* y = dynamic_cast<TExSpinEdit*>(controls[1])) y->SetValue(static_cast<int>((packed >> 16) * static_cast<std::uint32_t>(ih - 1) / 65535.0 + 0.5));
        break;
      }
      case QLC_OPT_DOCUMENT: {
        const int n = std::clamp(v, 1, std::max(1, ImgFormCount));
        if (auto* e = dynamic_cast<TExSpinEdit*>(controls[2])) e->SetValue(n);
        if (auto* view = dynamic_cast<TBuffer*>(controls[0])) DrawDocumentThumb(view, i, n);
        break;
      }
      default: break;
    }
  }
}

void ReadComponentOptions() {
  QLCDSTR* record = CurrentRecord();
  if (!record) return;
  std::uint8_t* values = ComponentOptionValues.data();
  const int iw = CurrentPicture ? CurrentPicture->Width() : 1, ih = CurrentPicture ? CurrentPicture->Height() : 1;
  for (int i = 0; i < QLC_MAX_OPTIONS; ++i) {
    const auto index = static_cast<std::size_t>(i);
    const auto& controls = record->OptionControls[index];
    const int offset = OptionSlotOffset(*record, i);
    switch (record->OptionTypes[index]) {
      case QLC_OPT_INTEGER:
        if (auto* e = dynamic_cast<TExSpinEdit*>(controls[0])) WriteSlot32(values, offset, static_cast<std::int32_t>(e->GetAsInteger()));
        break;
      case QLC_OPT_FLOAT:
        if (auto* e = dynamic_cast<TExSpinEdit*>(controls[0])) WriteSlotDouble(values, offset, static_cast<double>(e->GetValue()));
        break;
      case QLC_OPT_CHECK:
        if (auto* c = dynamic_cast<TCheckBox*>(controls[0])) WriteSlot32(values, offset, c->GetChecked() ? 1 : 0);
        break;
      case QLC_OPT_SCROLL:
        if (auto* b = dynamic_cast<TScrollBar*>(controls[0])) {
          WriteSlot32(values, offset, b->GetPosition());
          if (auto* l = dynamic_cast<TLabel*>(controls[1])) l->SetCaption(IntToStr(b->GetPosition()));
        }
        break;
      case QLC_OPT_LIST:
        if (auto* l = dynamic_cast<TComboBox*>(controls[0])) WriteSlot32(values, offset, l->GetItemIndex() + 1);
        break;
      case QLC_OPT_COLOR:
        if (auto* s = dynamic_cast<TShape*>(controls[0]))
          WriteSlot32(values, offset, static_cast<std::int32_t>(SwapRedBlue(static_cast<std::uint32_t>(s->GetBrush()->GetColor()) & 0xFFFFFF)));
        break;
      case QLC_OPT_POINT: {
        auto* x = dynamic_cast<TExSpinEdit*>(controls[0]);
        auto* y = dynamic_cast<TExSpinEdit*>(controls[1]);
        if (x && y) {
          const auto fx = static_cast<std::uint32_t>(Fraction(static_cast<int>(x->GetAsInteger()), iw)) & 0xFFFF;
          const auto fy = static_cast<std::uint32_t>(Fraction(static_cast<int>(y->GetAsInteger()), ih)) & 0xFFFF;
          WriteSlot32(values, offset, static_cast<std::int32_t>(fx | fy << 16));
        }
        break;
      }
      case QLC_OPT_DOCUMENT:
        if (auto* view = dynamic_cast<TBuffer*>(controls[0])) WriteSlot32(values, offset, static_cast<std::int32_t>(view->GetTag()));
        else if (auto* e = dynamic_cast<TExSpinEdit*>(controls[2])) WriteSlot32(values, offset, static_cast<std::int32_t>(e->GetAsInteger()));
        break;
      default: break;
    }
  }
}

namespace {

// The option callbacks' side while the page exists.
class SheetOptionPage : public ComponentOptionPage {
public:
  void SetOptionValue(int option, double value, bool notify) override {
    QLCDSTR* record = CurrentRecord();
    if (!record) return;
    ComponentValueBlock values = ComponentOptionValues;
    WriteOptionValue(values.data(), option, value);
    const bool autoSend = ComponentAutoSend;
    ComponentAutoSend = notify;
    FillOptionControls(values.data());
    ComponentAutoSend = autoSend;
    ReadComponentOptions();
  }
  void SetOptionLabel(int option, const AnsiString& text) override {
    TControl* target = Target(option, true);
    if (auto* label = dynamic_cast<TLabel*>(target)) label->SetCaption(TranslateMarked(text));
    else if (auto* button = dynamic_cast<TButton*>(target)) button->SetCaption(TranslateMarked(text));
    else if (auto* check = dynamic_cast<TCheckBox*>(target)) check->SetCaption(TranslateMarked(text));
  }
  void SetOptionStep(int option, double step) override {
    if (auto* e = dynamic_cast<TExSpinEdit*>(Target(option, false))) e->SetIncrement(step);
    if (auto* b = dynamic_cast<TScrollBar*>(Target(option, false))) b->SetLargeChange(std::max(1, static_cast<int>(step)));
  }
  void SetOptionDecimals(int option, int decimals) override {
    if (auto* e = dynamic_cast<TExSpinEdit*>(Target(option, false))) e->SetDecimal(static_cast<std::uint8_t>(decimals));
  }
  void SetOptionMin(int option, double minimum) override {
    if (auto* e = dynamic_cast<TExSpinEdit*>(Target(option, false))) e->SetMinValue(minimum);
    if (auto* b = dynamic_cast<TScrollBar*>(Target(option, false))) b->SetMin(static_cast<int>(minimum));
  }
  void SetOptionMax(int option, double maximum) override {
    if (auto* e = dynamic_cast<TExSpinEdit*>(Target(option, false))) e->SetMaxValue(maximum);
    if (auto* b = dynamic_cast<TScrollBar*>(Target(option, false))) b->SetMax(static_cast<int>(maximum));
  }
  void EnableOption(int option, bool enabled) override { ForEach(option, [&](TControl* c) { c->SetEnabled(enabled); }); }
  void ShowOption(int option, bool visible) override { ForEach(option, [&](TControl* c) { c->SetVisible(visible); }); }

private:
  static TControl* Target(int option, bool label) {
    QLCDSTR* record = CurrentRecord();
    if (!record) return nullptr;
    const auto index = static_cast<std::size_t>(option);
    if (label && record->OptionLabels[index]) return record->OptionLabels[index];
    return record->OptionControls[index][0];
  }
  template <class F>
  static void ForEach(int option, F f) {
    QLCDSTR* record = CurrentRecord();
    if (!record) return;
    const auto index = static_cast<std::size_t>(option);
    if (record->OptionLabels[index]) f(record->OptionLabels[index]);
    for (TControl* c : record->OptionControls[index])
      if (c) f(c);
  }
};
SheetOptionPage ThePage;

}  // namespace

const CompSheetControls& CompSheetFixedControls() {
  LookUpFixedControls();
  return Fixed;
}

void ShowCompOptions(bool withButtons) {
  QLCDSTR* record = CurrentRecord();
  TTabSheet* sheet = Sheet();
  if (!record || !sheet) return;
  FindFixedControls();
  // The sheet is hidden while it is built: its width is the page control's display.
  const int width = ToolForm->PageControl->GetDisplayRect().Width();
  sheet->SetCaption(TranslateMarked(record->Name));
  Fixed.CopyrightMessage->SetCaption(record->Copyright);
  Fixed.CopyrightMessage->SetHint(record->Contact);
  Fixed.CopyrightMessage->SetShowHint(true);
  int height = 4;
  for (int i = 0; i < QLC_MAX_OPTIONS; ++i) {
    const AnsiString& text = record->OptionTexts[static_cast<std::size_t>(i)];
    if (text.size() < 3) break;
    if (OptionShown(text)) height += RowHeight(record->OptionTypes[static_cast<std::size_t>(i)]);
  }
  for (TControl* c : std::initializer_list<TControl*>{Fixed.PreviewBtn, Fixed.ModeCombo, Fixed.InstPreviewBuf, Fixed.CompApplyBtn,
                                                      Fixed.CancelBtn, Fixed.CompHelpBtn, Fixed.BrowseBtn, Fixed.PresetBtn,
                                                      Fixed.CopyrightMessage})
    c->SetVisible(false);
  if (withButtons) {
    height += 102;
    const int y0 = height - 92;
    Fixed.CopyrightMessage->SetBounds(4, y0 - 14, width - 8, 13);
    Fixed.BrowseBtn->SetBounds(4, y0, 64, 21);
    Fixed.PresetBtn->SetBounds(70, y0, 64, 21);
    Fixed.PreviewBtn->SetBounds(4, y0 + 23, 64, 21);
    Fixed.CompHelpBtn->SetBounds(70, y0 + 23, 64, 21);
    Fixed.ModeCombo->SetBounds(4, y0 + 46, 130, 21);
    Fixed.CompApplyBtn->SetBounds(4, y0 + 69, 64, 21);
    Fixed.CancelBtn->SetBounds(70, y0 + 69, 64, 21);
    for (TControl* c : std::initializer_list<TControl*>{Fixed.CompApplyBtn, Fixed.CancelBtn, Fixed.CompHelpBtn,
                                                        Fixed.BrowseBtn, Fixed.PresetBtn, Fixed.CopyrightMessage})
      c->SetVisible(true);
    if (record->HasFlag('W') && CurrentPicture && !CurrentPicture->Empty()) {
      ScaledSource.ScaleToFit(*CurrentPicture, PreviewBoxWidth, PreviewBoxHeight, true, false);
      ScaledResult.Alloc(ScaledSource.Width(), ScaledSource.Height());
      ScaledResult.CopyFrom(ScaledSource);
      Fixed.InstPreviewBuf->SetBounds((width - 138 - ScaledSource.Width()) / 2 + 138, y0, ScaledSource.Width(),
                                      ScaledSource.Height());
      Fixed.InstPreviewBuf->SetBuffer(&ScaledResult);
      Fixed.InstPreviewBuf->SetVisible(true);
    }
    Fixed.PreviewBtn->SetVisible(record->HasFlag('P'));
    Fixed.ModeCombo->SetVisible(record->Version >= 2.5f && !record->HasFlag('M'));
  }
  sheet->SetTag(height);
  int y = 4;
  for (int i = 0; i < QLC_MAX_OPTIONS; ++i) {
    if (record->OptionTexts[static_cast<std::size_t>(i)].size() < 3) break;
    BuildComponentOption(*record, i, y, width);
  }
  const bool autoSend = ComponentAutoSend;
  ComponentAutoSend = false;
  FillOptionControls(record->SavedValues.data());
  ComponentAutoSend = autoSend;
  ToolForm->SetHelpContext(record->HelpContext);
  // Help on the page is the component's own.
  ApplicationHelpFile = ProgramFolder() + record->HelpFile;
  ActiveOptionPage = &ThePage;
  PageBuilt = true;
}

void ShowCompSheet() {
  if (ToolForm && PageBuilt) ToolForm->ShowSheet(ToolForm->CompSheet, true, true);
}

void HideCompOptions() {
  LookUpFixedControls();
  ActiveOptionPage = nullptr;
  if (QLCDSTR* record = CurrentRecord()) {
    for (auto& controls : record->OptionControls)
      if (auto* view = dynamic_cast<TBuffer*>(controls[0])) view->SetBuffer(nullptr);
    record->OptionLabels.fill(nullptr);
    for (auto& controls : record->OptionControls) controls.fill(nullptr);
  }
  if (Fixed.InstPreviewBuf && Sheet()) Fixed.InstPreviewBuf->SetBuffer(nullptr);
  ScaledSource.Free();
  ScaledResult.Free();
  for (UDBuffer& thumb : DocumentThumbs) thumb.Free();
  if (PageBuilt && ToolForm) ToolForm->ShowSheet(ToolForm->CompSheet, false, false);
  PageBuilt = false;
}

bool CompSheetActive() {
  return PageBuilt && ToolForm && ToolForm->PageControl->GetActivePage() == ToolForm->CompSheet;
}

void RefreshInstPreview() {
  LookUpFixedControls();
  BlendModeInForce = SheetBlendMode();
  LastRunValues[QLC_VALUE_BYTES] = 255;
  ComponentOptionValues[QLC_VALUE_BYTES] = static_cast<std::uint8_t>(BlendModeInForce);
  if (!PageBuilt || !Fixed.InstPreviewBuf || !Fixed.InstPreviewBuf->GetVisible() || ScaledSource.Empty()) return;
  ScaledResult.CopyFrom(ScaledSource);
  const ComponentParams saved = HostParams;
  SetComponentPictures(&ScaledResult, &ScaledSource);
  HostParams.ClipLeft = 0;
  HostParams.ClipTop = 0;
  HostParams.ClipRight = ScaledResult.Width() - 1;
  HostParams.ClipBottom = ScaledResult.Height() - 1;
  HostParams.InstantPreview = 1;
  HostParams.FullRun = 0;
  CallComponent(CMD_PROCESS, &HostParams);
  // The image's pictures again for the clicks and runs that follow.
  HostParams.Destination = saved.Destination;
  HostParams.Source = saved.Source;
  HostParams.Width = saved.Width;
  HostParams.Height = saved.Height;
  HostParams.ClipLeft = saved.ClipLeft;
  HostParams.ClipTop = saved.ClipTop;
  HostParams.ClipRight = saved.ClipRight;
  HostParams.ClipBottom = saved.ClipBottom;
  HostParams.InstantPreview = 0;
  Fixed.InstPreviewBuf->Invalidate();
}

void SetCompBusy(bool busy) {
  LookUpFixedControls();
  TTabSheet* sheet = Sheet();
  if (!sheet || !Fixed.PreviewBtn) return;
  for (int i = 0; i < sheet->ControlCount(); ++i) {
    TControl* c = sheet->Controls(i);
    if (c != Fixed.PreviewBtn) c->SetEnabled(!busy);
  }
  Fixed.PreviewBtn->SetCaption(LangMessage(busy ? "QLCStop" : "QLCPreview"));
}

int SheetBlendMode() {
  LookUpFixedControls();
  if (!PageBuilt || !Fixed.ModeCombo || !Fixed.ModeCombo->GetVisible()) return 0;
  return std::max(0, Fixed.ModeCombo->GetItemIndex());
}
