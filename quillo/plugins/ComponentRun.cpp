#include "quillo/plugins/ComponentRun.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/SysUtils.h"
#include "platform/user/Dialog.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/Progress.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/document/Zoom.h"
#include "quillo/plugins/ComponentBlocks.h"
#include "quillo/plugins/ComponentCallbacks.h"
#include "quillo/plugins/ComponentCalls.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/plugins/ComponentHost.h"
#include "quillo/plugins/ComponentSheet.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"


namespace {

constexpr int ModeByte = QLC_VALUE_BYTES;

// The largest side a component may resize a picture to.
constexpr int MaxResizeSide = 32767;

void RepaintActiveView() {
  if (ImageForm && ImageForm->ShowBuf) ImageForm->ShowBuf->Invalidate();
}

// The image again as it was at activation, at the copy's size.
void RestoreFromCopy(P_ql_component& tool) {
  UDBuffer* image = CurrentPicture;
  UDBuffer& copy = tool.QlComponentPicture;
  if (!image || copy.Empty()) return;
  if (image->Width() != copy.Width() || image->Height() != copy.Height()) {
    image->Alloc(copy.Width(), copy.Height());
    ApplyZoom();
  }
  image->CopyFrom(copy);
  SetDrawViewClip();
}

// An undo step holding the image as it was before the effect (the copy), whatever a preview
// shows now. False when there was no room for it.
bool PushUndoOfCopy(P_ql_component& tool) {
  UDBuffer* image = CurrentPicture;
  UDBuffer shown;
  shown.Alloc(image->Width(), image->Height());
  if (!shown.pixels) return false;
  shown.CopyFrom(*image);
  RestoreFromCopy(tool);
  const bool pushed = image->PushUndo(tool.Key);
  if (image->Width() != shown.Width() || image->Height() != shown.Height()) {
    image->Alloc(shown.Width(), shown.Height());
    ApplyZoom();
  }
  image->CopyFrom(shown);
  return pushed;
}

void SetClipToRect(const Rect& r) {
  HostParams.ClipLeft = r.left;
  HostParams.ClipTop = r.top;
  HostParams.ClipRight = r.right;
  HostParams.ClipBottom = r.bottom;
}

void SetClipToPicture(const UDBuffer& picture) { SetClipToRect(Rect(0, 0, picture.Width() - 1, picture.Height() - 1)); }

void SetClipForImage(const UDBuffer& image) {
  if (image.HasSelectionBounds()) {
    HostParams.ClipLeft = image.SelLeft;
    HostParams.ClipTop = image.SelTop;
    HostParams.ClipRight = image.SelRight;
    HostParams.ClipBottom = image.SelBottom;
  } else {
    SetClipToPicture(image);
  }
}

bool ValuesMatchLastRun() { return ComponentOptionValues == LastRunValues; }

void RebuildSelectionIfAsked(const QLCDSTR& record) {
  if (record.HasFlag('S') && CurrentPicture) CurrentPicture->RebuildSelectionOutline();
}

void ShowLoadFailure(const QLCDSTR& record) {
  const AnsiString text = LangMessage("ErrQLCLoad") + " " + record.Path;
  MessageBox(nullptr, text.c_str(), LangMessage("Err").c_str(), MB_OK | MB_ICONWARNING);
}

// Loads the library of record; false (and the previous tool again) when it does not load.
bool LoadForRun(QLCDSTR& record) {
  if (ComponentFaulted(record)) {
    ShowComponentUnusable(record);
    return false;
  }
  HMODULE module = LoadLibrary(record.Path.c_str());
  if (!module) {
    ShowLoadFailure(record);
    return false;
  }
  auto entry = reinterpret_cast<QLCPROCESS_FN>(GetProcAddress(module, QLC_EXPORT_PROCESS));
  if (!entry) {
    FreeLibrary(module);
    ShowLoadFailure(record);
    return false;
  }
  record.Module = module;
  record.Entry = entry;
  return true;
}

// The copy of the active image the runs start from; false after "NoMem".
bool TakeCopy(P_ql_component& tool) {
  UDBuffer* image = CurrentPicture;
  UDBuffer& copy = tool.QlComponentPicture;
  copy.Alloc(image->Width(), image->Height());
  if (!copy.pixels) {
    LangMessageBox("NoMem", "Err", MB_OK | MB_ICONWARNING);
    return false;
  }
  copy.CopyFrom(*image);
  copy.CopyAttributes(*image);
  return true;
}

void StartParams(P_ql_component& tool, bool wholeImage) {
  UDBuffer* image = CurrentPicture;
  InitComponentParams(tool.ComponentPageActive ? SheetBlendMode() : 0);
  SetComponentPictures(image, &tool.QlComponentPicture);
  HostParams.Resolution = image->Resolution;
  if (wholeImage) SetClipToPicture(*image);
  else SetClipForImage(*image);
  HostParams.HasMask = !wholeImage && image->HasSelectionBounds() ? 1 : 0;
  HostParams.FullRun = 0;
  HostParams.InstantPreview = 0;
}

// The component brush's record: the one whose palette entry is the one chosen.
int BrushComponentIndex() {
  const int entry = TheComponentHost().ChosenBrushEntry();
  for (int i = 0; i < ComponentCount; ++i)
    if (entry >= 0 && ComponentTable[static_cast<std::size_t>(i)].PaletteEntry == entry) return i;
  return -1;
}

void ActivateEffect(P_ql_component& tool) {
  tool.ComponentApply = 0;
  tool.ComponentPageActive = 0;
  tool.ComponentIndex = CurrentComponent;
  QLCDSTR* record = CurrentRecord();
  if (!record || !CurrentPicture || CurrentPicture->Empty()) {
    ReselectTool(true);
    return;
  }
  record->Entry = nullptr;
  if (!TakeCopy(tool)) {
    ReselectTool(true);
    return;
  }
  ComponentAutoSend = true;
  tool.Key = TranslateMarked(record->Name);
  if (!LoadForRun(*record)) {
    tool.QlComponentPicture.Free();
    ReselectTool(true);
    return;
  }
  StartParams(tool, false);
  if (record->HasOptionPage()) {
    tool.ComponentPageActive = 1;
    ShowCompOptions(true);
    ComponentOptionValues[ModeByte] = static_cast<std::uint8_t>(SheetBlendMode());
    LastRunValues[ModeByte] = static_cast<std::uint8_t>(SheetBlendMode() - 1);
    InitComponentParams(SheetBlendMode());
    CallComponent(CMD_INIT, &HostParams);
    ReadComponentOptions();
    SendComponentOptions(ComponentOptionValues.data());
    RefreshInstPreview();
    ShowCompSheet();
    tool.StatusText = record->Name;
    return;
  }
  LastRunValues[ModeByte] = 1;
  ComponentOptionValues[ModeByte] = 0;
  BlendModeInForce = 0;
  CallComponent(CMD_INIT, &HostParams);
  std::memcpy(ComponentOptionValues.data(), record->SavedValues.data(), QLC_VALUE_BYTES);
  SendComponentOptions(ComponentOptionValues.data());
  tool.ComponentApply = 1;
  if (ApplyComponent(tool)) MarkPictureChanged();
  ReselectTool(true);
}

void ActivateBrush(P_ql_component& tool) {
  tool.ComponentApply = 1;
  tool.ComponentPageActive = 0;
  const int index = BrushComponentIndex();
  if (index < 0 || !CurrentPicture || CurrentPicture->Empty()) {
    ReselectTool(true);
    return;
  }
  CurrentComponent = index;
  QLCDSTR* record = CurrentRecord();
  record->Entry = nullptr;
  if (!TakeCopy(tool)) {
    ReselectTool(true);
    return;
  }
  tool.ComponentIndex = index;
  tool.Key = TranslateMarked(record->Name);
  if (!LoadForRun(*record)) {
    tool.QlComponentPicture.Free();
    ReselectTool(true);
    return;
  }
  StartParams(tool, true);
  tool.ComponentPageActive = 1;
  ShowCompOptions(false);
  CallComponent(CMD_INIT, &HostParams);
  ReadComponentOptions();
  SendComponentOptions(ComponentOptionValues.data());
  ShowCompSheet();
  tool.StatusText = record->Name;
  CurrentPicture->ClearSelection(true);
  ResetDirtyRect();
}

// The rectangle the brush covers with its hot spot at (x, y), clipped to the image.
Rect BrushRectAt(int x, int y) {
  const Pair<int> hot = BrushHotSpot();
  const int left = x - hot.x;
  const int top = y - hot.y;
  Rect r{left, top, left + BrushShape.Width(), top + BrushShape.Height()};
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, CurrentPicture->Width());
  r.bottom = std::min(r.bottom, CurrentPicture->Height());
  return r;
}

// One dab: the component runs inside the brush shape at (x, y).
void Dab(P_ql_component& tool, int x, int y) {
  UDBuffer* image = CurrentPicture;
  UDBuffer& copy = tool.QlComponentPicture;
  if (!image || copy.Empty() || BrushShape.Empty()) return;
  const Rect r = BrushRectAt(x, y);
  if (r.left >= r.right || r.top >= r.bottom) return;
  const Pair<int> hot = BrushHotSpot();
  const int originX = x - hot.x;
  const int originY = y - hot.y;
  for (int py = r.top; py < r.bottom; ++py)
    for (int px = r.left; px < r.right; ++px) {
      const std::uint32_t brush = *BrushShape.At(BrushShape.rect.left + px - originX, BrushShape.rect.top + py - originY);
      if (brush != 0xFF000000u) copy.SetMaskPixel(px, py, true);
    }
  SetComponentPictures(image, &copy);
  HostParams.ClipLeft = r.left;
  HostParams.ClipTop = r.top;
  HostParams.ClipRight = r.right - 1;
  HostParams.ClipBottom = r.bottom - 1;
  HostParams.HasMask = 1;
  HostParams.FullRun = 0;
  HostParams.InstantPreview = 0;
  CallComponent(CMD_PROCESS, &HostParams);
  const Rect inclusive{r.left, r.top, r.right - 1, r.bottom - 1};
  copy.SetMaskRect(false, inclusive);
  image->SetMaskRect(false, inclusive);
  RepaintActiveView();
}

class ComponentDriver : public ComponentToolDriver {
public:
  void Activate(P_ql_component& tool, bool brush) override {
    if (brush) ActivateBrush(tool);
    else ActivateEffect(tool);
  }

  void Deactivate(P_ql_component& tool, P_icon*) override {
    QLCDSTR* record = tool.ComponentIndex >= 0 && tool.ComponentIndex < ComponentCount
                          ? &ComponentTable[static_cast<std::size_t>(tool.ComponentIndex)]
                          : nullptr;
    if (record && record->Entry) {
      std::int32_t abandoned = tool.ComponentApply ? 0 : 1;
      CallComponentDirect(*record, CMD_END, &abandoned);
    }
    HideCompOptions();
    tool.ComponentPageActive = 0;
    if (record && record->Entry) {
      // A library that faulted stays loaded: unloading would run more of its code.
      if (!ComponentFaulted(*record)) FreeLibrary(record->Module);
      record->Module = nullptr;
      record->Entry = nullptr;
    }
    ReleaseComponentBlocks();
    if (!tool.QlComponentPicture.Empty() && !tool.ComponentApply) {
      RestoreFromCopy(tool);
      if (record) RebuildSelectionIfAsked(*record);
      RepaintActiveView();
    } else if (record) {
      std::memcpy(record->SavedValues.data(), ComponentOptionValues.data(), QLC_VALUE_BYTES);
    }
    tool.QlComponentPicture.Free();
    ResetHelpFile();
  }

  void AddPoint(P_ql_component& tool, bool brush) override {
    if (brush) {
      if (ToolPhase != 0) ToolPhase = 0;
      return;
    }
    const UDBuffer* image = CurrentPicture;
    if (image && !image->Empty())
      SendComponentPoint(MousePoint.x, MousePoint.y, image->Width(), image->Height(), MouseShift.Contains(ssRight), 0);
    (void)tool;
    ToolPhase = 0;
  }

  void ShowFeedback(P_ql_component& tool, bool brush) override {
    if (!brush || !CurrentPicture) return;
    if (ToolPhase == 0) {
      StampBrush(ToolPoint.x, ToolPoint.y);
    } else if (ToolPhase == ToolPhaseDrag) {
      Dab(tool, ToolPoint.x, ToolPoint.y);
      ExtendDirtyRect(ToolPoint.x, ToolPoint.y, ToolPoint.x, ToolPoint.y);
    } else if (ToolPhase == 1) {
      EndStroke(tool);
    }
  }

  void HideFeedback(P_ql_component&, bool brush) override {
    if (brush && ToolPhase == 0 && CurrentPicture) HideBrushAt(ToolPoint.x, ToolPoint.y);
  }

private:
  // The stroke's undo step narrows to what it painted; the next stroke starts from the result.
  static void EndStroke(P_ql_component& tool) {
    UDBuffer* image = CurrentPicture;
    MarkPictureChanged();
    if (DirtyRect.right >= 0) {
      const Pair<int> hot = BrushHotSpot();
      image->ExtendUndo(DirtyRect.left - hot.x, DirtyRect.top - hot.y, DirtyRect.right - hot.x + BrushShape.Width(),
                        DirtyRect.bottom - hot.y + BrushShape.Height());
    }
    ResetDirtyRect();
    ToolPhase = 0;
    tool.QlComponentPicture.CopyFrom(*image);
    StampBrush(ToolPoint.x, ToolPoint.y);
  }
};

}  // namespace

bool ComponentToolCurrent() { return CurrentTool == &QlComponentTool || CurrentTool == &QlComponentBrushTool; }

void InstallComponentToolDriver() {
  static ComponentDriver driver;
  HostSlot<ComponentToolDriver>::Install(&driver);
}

bool ApplyComponent(P_ql_component& tool) {
  // A run stays alone: a request that reaches the host while one goes on starts no other.
  if (StoppableComponentRun::Active()) return false;
  UDBuffer* image = CurrentPicture;
  QLCDSTR* record = CurrentRecord();
  if (!image || !record || tool.QlComponentPicture.Empty()) return false;
  const bool applying = tool.ComponentApply != 0;
  if (applying) {
    // Without its undo step the effect is not applied.
    if (!PushUndoOfCopy(tool)) {
      tool.ComponentApply = 0;
      return false;
    }
    if (image->HasSelectionBounds() && !record->HasFlag('U'))
      image->ExtendUndo(image->SelLeft, image->SelTop, image->SelRight, image->SelBottom);
  }
  if (ValuesMatchLastRun()) return true;
  RestoreFromCopy(tool);
  SetComponentPictures(image, &tool.QlComponentPicture);
  // Without a selection a full run works on the drawing view: the visible part with Clipping.
  if (image->HasSelectionBounds()) SetClipForImage(*image);
  else SetClipToRect(DrawViewArea(*image));
  HostParams.HasMask = image->HasSelectionBounds() ? 1 : 0;
  HostParams.FullRun = 1;
  HostParams.InstantPreview = 0;

  SetProgressText("Procin");
  // The bar's Cancel button makes room for itself when progress starts.
  const CancelButtonShown cancelButton(ImageForm);
  ProgressStart(HostParams.ClipBottom - HostParams.ClipTop + 1);
  // The tool options window stays usable for the Stop button; the sheet's other controls wait.
  if (ToolForm && ToolForm->HandleAllocated()) ToolForm->SetEnabled(true);
  HWND stopButton = nullptr;
  if (tool.ComponentPageActive) {
    SetCompBusy(true);
    TButton* preview = CompSheetFixedControls().PreviewBtn;
    if (preview && preview->GetVisible()) stopButton = preview->GetHandle();
  }
  const TCursor cursor = Screen()->GetCursor();
  Screen()->SetCursor(crHourGlass);
  CallResult result = CallResult::Done;
  {
    const StoppableComponentRun run(stopButton);
    result = CallComponent(CMD_PROCESS, &HostParams);
  }
  RebuildSelectionIfAsked(*record);
  const bool cancelled = CancelRequested != 0;
  Screen()->SetCursor(cursor);
  if (tool.ComponentPageActive) SetCompBusy(false);
  ProgressEnd();
  if (result == CallResult::Failed || (cancelled && applying)) {
    // The picture stays as it was; the step opened for the effect goes again. A stopped
    // Apply keeps nothing of its part-done result, and the tool stays.
    RestoreFromCopy(tool);
    if (applying) image->Undo();
    tool.ComponentApply = 0;
    RepaintActiveView();
    return false;
  }
  if (!cancelled) {
    if (tool.ComponentPageActive) ComponentOptionValues[ModeByte] = static_cast<std::uint8_t>(SheetBlendMode());
    LastRunValues = ComponentOptionValues;
  } else {
    // A stopped Preview shows how far it came; its result is not the last run's, so the next
    // Preview or Apply runs again.
    tool.ComponentApply = 0;
  }
  RepaintActiveView();
  return !cancelled;
}

void ComponentPreviewClick() {
  if (!ComponentToolCurrent() || !CompSheetActive()) return;
  // While a run goes on the button reads Stop.
  if (StoppableComponentRun::Active() || ProgressRunning()) {
    CancelRequested = 1;
    QlComponentTool.ComponentApply = 0;
    return;
  }
  ApplyComponent(QlComponentTool);
}

void ComponentApplyClick() {
  if (CurrentTool != &QlComponentTool || !CompSheetActive() || StoppableComponentRun::Active()) return;
  QlComponentTool.ComponentApply = 1;
  const bool done = ApplyComponent(QlComponentTool);
  if (done && QlComponentTool.ComponentApply) {
    MarkPictureChanged();
    ReselectTool(true);
  }
}

void ComponentCancelClick() {
  // The tool cannot go while its component runs: the library is still on the stack.
  if (ComponentToolCurrent() && CompSheetActive() && !StoppableComponentRun::Active()) ReselectTool(true);
}

void SendComponentPoint(int x, int y, int width, int height, bool right, int source) {
  // A side of one pixel has only the fraction 0.
  ComponentPoint point{width > 1 ? x * 65535 / (width - 1) : 0, height > 1 ? y * 65535 / (height - 1) : 0, width,
                       height, right ? 1 : 0, source};
  CallComponent(CMD_POINT, &point);
}

LRESULT ComponentRequest(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!ComponentToolCurrent()) return 0;
  switch (message) {
    case UM_COMPPREVIEW: ComponentPreviewClick(); return 0;
    case UM_COMPOK: ComponentApplyClick(); return 0;
    case UM_COMPCANCEL: ComponentCancelClick(); return 0;
    case UM_COMPRESIZE: {
      auto* destination = static_cast<UDBuffer*>(HostParams.Destination);
      if (!destination) return 0;
      const int width = static_cast<int>(wParam & 0xFFFF);
      const long long height = static_cast<long long>(lParam);
      // Sizes outside 1..32767 are refused: the picture stays as it is.
      if (width >= 1 && width <= MaxResizeSide && height >= 1 && height <= MaxResizeSide) {
        destination->Alloc(width, static_cast<int>(height));
        if (!destination->pixels) ShowTimedStatus(LangMessage("NoMem"), 5);
        else destination->Box(destination->rect, BackgroundColour());
        if (destination == CurrentPicture) {
          ApplyZoom();
          SetDrawViewClip();
        }
      }
      return reinterpret_cast<LRESULT>(destination->pixels);
    }
    default: return 0;
  }
}
