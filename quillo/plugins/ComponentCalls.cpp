#include "quillo/plugins/ComponentCalls.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/rtl/SysUtils.h"
#include "platform/user/Dialog.h"
#include "quillo/base/Language.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/plugins/ComponentCallbacks.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/plugins/ComponentHost.h"
#include "quillo/plugins/ForeignCallGuard.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/PaletteFile.h"

ComponentParams HostParams{};
ComponentValueBlock ComponentOptionValues{};
ComponentValueBlock LastRunValues{};
bool ComponentAutoSend = true;
int BlendModeInForce = 0;
int ComponentFailures = 0;

void InitComponentParams(int blendMode) {
  ComponentHost& host = TheComponentHost();
  HostParams.MainWindow = host.MainWindowHandle();
  const std::int32_t* sine = host.SineTable();
  HostParams.SinTable = sine;
  HostParams.CosTable = sine ? sine + 256 : nullptr;
  HostParams.TanTable = host.TangentTable();
  HostParams.Callbacks = HostCallbackTable();
  BlendModeInForce = blendMode;
}

void SetComponentPictures(UDBuffer* destination, UDBuffer* source) {
  HostParams.Destination = destination;
  HostParams.Source = source;
  HostParams.Width = destination ? destination->Width() : 0;
  HostParams.Height = destination ? destination->Height() : 0;
}

namespace {

// The refreshes of the general call path.
void RefreshVolatileFields() {
  HostParams.ForeColor = DrawingColour() & 0xFFFFFF;
  HostParams.BackColor = BackgroundColour() & 0xFFFFFF;
  HostParams.PaletteCount = 256;
  HostParams.Palette = PaletteColors.data();
  HostParams.DocumentNumber = ImageForm ? ImageForm->ListIndex + 1 : 0;
}

// The activity timer stands still while a component works.
class ActivityPause {
public:
  ActivityPause() : timer_(TheDocumentHost().ActivityTimer()) {
    if (timer_) {
      wasOn_ = timer_->GetEnabled();
      timer_->SetEnabled(false);
    }
  }
  ~ActivityPause() {
    if (timer_ && wasOn_) timer_->SetEnabled(true);
  }
  ActivityPause(const ActivityPause&) = delete;
  ActivityPause& operator=(const ActivityPause&) = delete;

private:
  TExTimerEvent* timer_;
  bool wasOn_ = false;
};

}  // namespace

void ShowComponentError(const QLCDSTR& record) {
  ++ComponentFailures;
  const AnsiString text = LangMessage("ErrQLC") + " " + record.Name + " " + LangMessage("ErrQLC2");
  MessageBox(nullptr, text.c_str(), LangMessage("Err").c_str(), MB_OK | MB_ICONWARNING);
}

namespace {

// The libraries of components that faulted in this run: left loaded and never called again.
std::set<AnsiString>& FaultedPaths() {
  static std::set<AnsiString> paths;
  return paths;
}

void ShowComponentFault(const QLCDSTR& record, ForeignFault fault) {
  ++ComponentFailures;
  const AnsiString text = Format(LangMessage("ErrQLCFault").c_str(), record.Name.c_str(), LangMessage(ForeignFaultKey(fault)).c_str());
  MessageBox(nullptr, text.c_str(), LangMessage("Err").c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace

bool ComponentFaulted(const QLCDSTR& record) { return FaultedPaths().count(record.Path) != 0; }

void ShowComponentUnusable(const QLCDSTR& record) {
  const AnsiString text = Format(LangMessage("ErrQLCUnusable").c_str(), record.Name.c_str());
  MessageBox(nullptr, text.c_str(), LangMessage("Err").c_str(), MB_OK | MB_ICONWARNING);
}

CallResult CallComponentDirect(QLCDSTR& record, std::int32_t command, void* block) {
  if (!record.Entry) return CallResult::NotLoaded;
  // A component that faulted is left where it stopped: nothing of it runs again.
  if (ComponentFaulted(record)) return CallResult::Failed;
  QLCPROCESS_FN entry = record.Entry;
  const ForeignFault fault = RunForeign([entry, block, command] { entry(block, command); });
  if (fault == ForeignFault::None) return CallResult::Done;
  if (fault == ForeignFault::Exception) {
    // Whatever the component throws stops here: the program goes on.
    ShowComponentError(record);
    return CallResult::Failed;
  }
  FaultedPaths().insert(record.Path);
  ShowComponentFault(record, fault);
  return CallResult::Failed;
}

CallResult CallComponent(std::int32_t command, void* block) {
  QLCDSTR* record = CurrentRecord();
  if (!record) return CallResult::NotLoaded;
  RefreshVolatileFields();
  ActivityPause pause;
  return CallComponentDirect(*record, command, block);
}

CallResult SendComponentOptions(const std::uint8_t* values) {
  ComponentValueBlock copy{};
  std::memcpy(copy.data(), values, QLC_VALUE_BLOCK);
  if (const QLCDSTR* record = CurrentRecord()) {
    const std::int32_t documents = std::max(ImgFormCount, 1);
    for (int i = 0; i < QLC_MAX_OPTIONS; ++i) {
      if (record->OptionTypes[static_cast<std::size_t>(i)] != QLC_OPT_DOCUMENT) continue;
      const int offset = OptionSlotOffset(*record, i);
      if (ReadSlot32(copy.data(), offset) > documents) WriteSlot32(copy.data(), offset, documents);
    }
  }
  return CallComponent(CMD_OPTIONS, copy.data());
}
