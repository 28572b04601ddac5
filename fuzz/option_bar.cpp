// Option-bar layouts from untrusted bytes, as a translator's language file may hold them: the
// input is the layout of a tool's bar (a key the language lacks is its own layout). Selecting
// the tool must always work: the tool is current and activated once, the decimal separator
// is the program's again and the Icon sheet shows. Every value control answers by index (and
// an index past the bar reads 0), a value set reads back as the control holds it, a group
// closed and opened again puts itself and what lies below it back, re-selecting the tool keeps
// its bar, and a tool without a bar takes the sheet and the window away again.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/support/FuzzCheck.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/base/Language.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"

namespace {

// A tool that reads and writes its options as the program's tools do.
class LayoutTool : public P_icon {
public:
  explicit LayoutTool(const std::string& layout) { BarKey = layout; }
  int activations = 0;
  int deactivations = 0;

  void Activate() override {
    ++activations;
    for (int n = 0; n < 8; ++n) {
      SetOptionValue(n, GetOptionValue(n));
      SetOptionEvent(n, [](TObject*) {});
    }
  }
  void Deactivate(P_icon*) override {
    ++deactivations;
    for (int n = 0; n < 8; ++n) GetOptionValue(n);
  }
};

bool OnSheet(TControl* control, TWinControl* sheet) {
  for (TWinControl* parent = control->GetParent(); parent; parent = parent->GetParent())
    if (parent == sheet) return true;
  return false;
}

void CheckValues() {
  const int count = static_cast<int>(OptionControls.size());
  CHECK(GetOptionValue(count) == 0 && GetOptionValue(-1) == 0);
  for (int n = 0; n < count; ++n) {
    TControl* control = OptionControls[static_cast<std::size_t>(n)];
    CHECK(control != nullptr && OnSheet(control, ToolForm->IconSheet));
    // What a control shows it keeps when given back.
    const double shown = GetOptionValue(n);
    SetOptionValue(n, shown);
    const double again = GetOptionValue(n);
    SetOptionValue(n, again);
    CHECK(GetOptionValue(n) == again);
    if (auto* combo = dynamic_cast<TComboBox*>(control)) {
      const int last = combo->GetItems()->Count() - 1;
      SetOptionValue(n, last);
      CHECK(GetOptionValue(n) == last);
    } else if (dynamic_cast<TShape*>(control)) {
      SetOptionValue(n, 0x123456);
      CHECK(GetOptionValue(n) == 0x123456);
    } else if (auto* button = dynamic_cast<TSpeedButton*>(control)) {
      SetOptionValue(n, 1);
      CHECK(GetOptionValue(n) == (button->GetGroupIndex() != 0 ? 1 : 0));
      SetOptionValue(n, 0);
      CHECK(GetOptionValue(n) == 0);
    }
  }
}

struct Place {
  TControl* control;
  int top, height;
};

std::vector<Place> Places(TWinControl* sheet) {
  std::vector<Place> places;
  for (int i = 0; i < sheet->ControlCount(); ++i) {
    TControl* c = sheet->Controls(i);
    places.push_back({c, c->GetTop(), c->GetHeight()});
  }
  return places;
}

// Each group closes and opens again: it and everything below it are where they were.
void CheckGroups() {
  TWinControl* sheet = ToolForm->IconSheet;
  for (int i = 0; i < sheet->ControlCount(); ++i) {
    auto* group = dynamic_cast<TPanel*>(sheet->Controls(i));
    if (!group || group->ControlCount() == 0) continue;
    auto* header = dynamic_cast<TPanel*>(group->Controls(0));
    CHECK(header != nullptr);
    const std::vector<Place> before = Places(sheet);
    const int bottom = group->GetTop() + group->GetHeight();
    ToolForm->OptionGroupMouseDown(header, mbLeft, TShiftState(), 0, 0);
    CHECK(group->GetHeight() == header->GetHeight() + 4);
    ToolForm->OptionGroupMouseDown(header, mbLeft, TShiftState(), 0, 0);
    for (const Place& p : before)
      if (p.control == group || p.top >= bottom) CHECK(p.control->GetTop() == p.top && p.control->GetHeight() == p.height);
  }
}

// The desktop and the language, and text measured once: the font library keeps what it sets
// up at its first use for the whole run.
bool Prepare() {
  static const bool ready = [] {
    DesktopConfig config;
    config.width = 640;
    config.height = 480;
    RestartDesktop(config, "headless");
    // A language without the layout's key: the key is its own text.
    Lang = std::make_unique<Language>(fuzz::ScratchFolder("option-bar"));
    TOwnedPtr<TToolForm> form = MakeObject<TToolForm>(nullptr);
    OptionTextWidth("Warm");
    return true;
  }();
  return ready;
}

}  // namespace

// The system's font configuration library loses a little memory of its own set-up (in its
// XML reader); that is not this program's to find.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libexpat.so\n"; }

extern "C" int LLVMFuzzerInitialize(int*, char***) { return Prepare() ? 0 : 1; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CHECK(Prepare());
  // A window of each run's own: the framework's per-thread state is gone before a window
  // kept to the program's end could be freed.
  TOwnedPtr<TToolForm> form = MakeObject<TToolForm>(nullptr);
  CHECK(ToolForm == form.get());

  const std::string layout(reinterpret_cast<const char*>(data), size);
  LayoutTool tool(layout);
  static P_icon plain;
  SelectTool(&plain, false, -1);

  DecimalSeparator = ',';
  SelectTool(&tool, false, -1);
  CHECK(DecimalSeparator == ',');
  DecimalSeparator = '.';
  CHECK(CurrentTool == &tool && tool.activations == 1);
  const bool hasBar = !layout.empty();
  CHECK(ToolForm->IconSheet->GetTabVisible() == hasBar);
  CHECK(ToolForm->GetVisible() == hasBar);
  CheckValues();
  CheckGroups();

  const std::vector<TControl*> built = OptionControls;
  SelectTool(&tool, false, -1);
  CHECK(OptionControls == built && tool.activations == 2 && tool.deactivations == 1);

  SelectTool(&plain, false, -1);
  CHECK(!ToolForm->IconSheet->GetTabVisible() && !ToolForm->GetVisible());
  CHECK(CurrentTool == &plain);
  return 0;
}
