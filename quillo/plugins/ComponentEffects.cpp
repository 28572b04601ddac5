#include "quillo/plugins/ComponentEffects.h"

#include "platform/vcl/Menus.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/plugins/ComponentBlocks.h"
#include "quillo/plugins/ComponentCalls.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/plugins/ComponentRegistry.h"
#include "quillo/plugins/ComponentRun.h"
#include "quillo/tools/ToolObjects.h"

TMenuItem* EffectBrowseItem = nullptr;

namespace {

constexpr int ThumbBoxWidth = 120;
constexpr int ThumbBoxHeight = 90;

// The group's index of its first component; -1 when no submenu has that caption.
int GroupFirst(const AnsiString& group, int& count) {
  TMenuItem* menu = ComponentGroupNamed(group);
  count = ComponentGroupSize(menu);
  return menu ? ComponentGroupFirst(menu) : -1;
}

}  // namespace

std::vector<AnsiString> EffectGroups() {
  std::vector<AnsiString> groups;
  // As the submenus show them, so each root finds its submenu.
  for (const AnsiString& name : ComponentFileList) groups.push_back(ComponentGroupCaption(name));
  return groups;
}

AnsiString EffectInitialGroup() {
  if (!EffectBrowseItem || !EffectBrowseItem->GetParent()) return {};
  AnsiString caption = EffectBrowseItem->GetParent()->GetCaption();
  if (!caption.empty()) caption.erase(0, 1);
  return caption;
}

std::vector<AnsiString> EffectEntries(const AnsiString& group) {
  int count = 0;
  const int first = GroupFirst(group, count);
  std::vector<AnsiString> entries;
  for (int i = 0; first >= 0 && i < count && first + i < ComponentCount; ++i)
    entries.push_back(ComponentTable[static_cast<std::size_t>(first + i)].Path);
  return entries;
}

bool EffectThumbnail(const AnsiString& group, int n, UDBuffer& thumb, AnsiString& caption) {
  caption.clear();
  int count = 0;
  const int first = GroupFirst(group, count);
  if (first < 0 || n < 0 || n >= count || first + n >= ComponentCount || !CurrentPicture || CurrentPicture->Empty())
    return false;
  P_icon* const previousTool = CurrentTool;
  const int previousComponent = CurrentComponent;
  CurrentTool = &QlComponentTool;
  CurrentComponent = first + n;
  P_ql_component& tool = QlComponentTool;
  QLCDSTR& record = ComponentTable[static_cast<std::size_t>(CurrentComponent)];
  tool.ComponentIndex = CurrentComponent;
  ComponentAutoSend = true;
  tool.ComponentApply = 1;
  tool.ComponentPageActive = 0;
  bool made = false;
  record.Module = LoadLibrary(record.Path.c_str());
  record.Entry = record.Module ? reinterpret_cast<QLCPROCESS_FN>(GetProcAddress(record.Module, QLC_EXPORT_PROCESS)) : nullptr;
  if (record.Entry) {
    UDBuffer reduced;
    reduced.ScaleToFit(*CurrentPicture, ThumbBoxWidth, ThumbBoxHeight, true, false);
    InitComponentParams(0);
    thumb.Alloc(reduced.Width(), reduced.Height());
    thumb.CopyFrom(reduced);
    SetComponentPictures(&thumb, &reduced);
    HostParams.ClipLeft = 0;
    HostParams.ClipTop = 0;
    HostParams.ClipRight = reduced.Width() - 1;
    HostParams.ClipBottom = reduced.Height() - 1;
    HostParams.Resolution = reduced.Resolution;
    HostParams.HasMask = CurrentPicture->HasSelectionBounds() ? 1 : 0;
    HostParams.FullRun = 0;
    HostParams.InstantPreview = 1;
    ComponentValueBlock defaults{};
    std::copy(record.DefaultValues.begin(), record.DefaultValues.end(), defaults.begin());
    if (CallComponent(CMD_INIT, &HostParams) == CallResult::Done && SendComponentOptions(defaults.data()) == CallResult::Done &&
        CallComponent(CMD_PROCESS, &HostParams) == CallResult::Done)
      made = true;
    caption = TranslateMarked(record.Name);
    std::int32_t applied = 0;
    CallComponentDirect(record, CMD_END, &applied);
  }
  // A library that faulted stays loaded: unloading would run more of its code.
  if (record.Module && !ComponentFaulted(record)) FreeLibrary(record.Module);
  ReleaseComponentBlocks();
  record.Module = nullptr;
  record.Entry = nullptr;
  HostParams.Destination = nullptr;
  HostParams.Source = nullptr;
  CurrentTool = previousTool;
  CurrentComponent = previousComponent;
  return made;
}

void ChooseEffect(const AnsiString& group, int n) {
  int count = 0;
  const int first = GroupFirst(group, count);
  if (first < 0 || n < 0 || n >= count) return;
  CurrentComponent = first + n;
  SuspendedTool = &QlComponentTool;
}
