#include "quillo/plugins/ComponentCallbacks.h"

#include <algorithm>
#include <cmath>

#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/Progress.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/plugins/ComponentBlend.h"
#include "quillo/plugins/ComponentBlocks.h"
#include "quillo/plugins/ComponentCalls.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/plugins/ComponentLibrary.h"
#include "quillo/plugins/ForeignCallGuard.h"

ComponentOptionPage* ActiveOptionPage = nullptr;

namespace {

// The stoppable run going on, if any, and its Stop button.
bool RunActive = false;
HWND RunStopButton = nullptr;

}  // namespace

StoppableComponentRun::StoppableComponentRun(HWND stopButton)
    : outerButton_(RunStopButton), outerActive_(RunActive) {
  RunActive = true;
  RunStopButton = stopButton;
}

StoppableComponentRun::~StoppableComponentRun() {
  RunActive = outerActive_;
  RunStopButton = outerButton_;
}

bool StoppableComponentRun::Active() { return RunActive; }

HWND StoppableComponentRun::StopButton() { return RunStopButton; }

namespace {

UDBuffer* Source() { return static_cast<UDBuffer*>(HostParams.Source); }
UDBuffer* Destination() { return static_cast<UDBuffer*>(HostParams.Destination); }

bool Inside(const Buffer* picture, int row, int column) {
  return picture && picture->pixels && row >= 0 && column >= 0 && row < picture->Height() && column < picture->Width();
}

bool InsideMask(const UDBuffer* picture, int row, int column) {
  return picture && picture->Mask.words && row >= 0 && column >= 0 && row < picture->Mask.height &&
         column < picture->Mask.width;
}

std::uint32_t* PixelAt(const Buffer* picture, int row, int column) {
  return picture->At(picture->rect.left + column, picture->rect.top + row);
}

// Clamps (row, column) into the picture; false for an empty one.
bool Clamp(const Buffer* picture, int& row, int& column) {
  if (!picture || !picture->pixels || picture->Empty()) return false;
  row = std::clamp(row, 0, picture->Height() - 1);
  column = std::clamp(column, 0, picture->Width() - 1);
  return true;
}

uint32_t GetSrcPixel(int32_t row, int32_t column) {
  const UDBuffer* source = Source();
  return Inside(source, row, column) ? *PixelAt(source, row, column) : 0;
}

int32_t GetSrcMask(int32_t row, int32_t column) {
  const UDBuffer* source = Source();
  return InsideMask(source, row, column) && source->IsSelected(column, row) ? 1 : 0;
}

uint32_t GetSrcPixelClamped(int32_t row, int32_t column) {
  const UDBuffer* source = Source();
  return Clamp(source, row, column) ? *PixelAt(source, row, column) : 0;
}

int32_t GetSrcMaskClamped(int32_t row, int32_t column) {
  const UDBuffer* source = Source();
  if (!source || !source->Mask.words || source->Mask.width <= 0 || source->Mask.height <= 0) return 0;
  row = std::clamp(row, 0, source->Mask.height - 1);
  column = std::clamp(column, 0, source->Mask.width - 1);
  return source->IsSelected(column, row) ? 1 : 0;
}

// Open document n (1-based); the active one is read through its unchanged copy.
const UDBuffer* Document(int32_t n) {
  if (n < 1 || n > ImgFormCount) return nullptr;
  TImageForm* form = ImgForms[static_cast<std::size_t>(n - 1)];
  if (!form) return nullptr;
  if (form == ImageForm && Source()) return Source();
  return &form->Picture;
}

uint32_t GetDocPixel(int32_t row, int32_t column, int32_t n) {
  const UDBuffer* document = Document(n);
  return Clamp(document, row, column) ? *PixelAt(document, row, column) & 0xFFFFFF : 0;
}

int32_t GetDocMask(int32_t row, int32_t column, int32_t n) {
  const UDBuffer* document = Document(n);
  if (!document || !document->Mask.words || document->Mask.width <= 0 || document->Mask.height <= 0) return 0;
  row = std::clamp(row, 0, document->Mask.height - 1);
  column = std::clamp(column, 0, document->Mask.width - 1);
  return document->IsSelected(column, row) ? 1 : 0;
}

void PutPixel(uint32_t colour, int32_t row, int32_t column) {
  UDBuffer* destination = Destination();
  if (!Inside(destination, row, column)) return;
  std::uint32_t* pixel = PixelAt(destination, row, column);
  // After a resize the source no longer lines up: the colour replaces.
  const bool blends = BlendModeInForce != 0 && destination->Width() == HostParams.Width &&
                      destination->Height() == HostParams.Height && Inside(Source(), row, column);
  const std::uint32_t before = blends ? *PixelAt(Source(), row, column) : 0;
  *pixel = BlendPixel(blends ? BlendModeInForce : 0, before, colour, *pixel);
}

void SetMask(int32_t value, int32_t row, int32_t column) {
  UDBuffer* destination = Destination();
  if (InsideMask(destination, row, column)) destination->SetMaskPixel(column, row, value != 0);
}

void PutPixelClamped(uint32_t colour, int32_t row, int32_t column) {
  if (Clamp(Destination(), row, column)) PutPixel(colour, row, column);
}

void SetMaskClamped(int32_t value, int32_t row, int32_t column) {
  UDBuffer* destination = Destination();
  if (!destination || !destination->Mask.words || destination->Mask.width <= 0 || destination->Mask.height <= 0) return;
  row = std::clamp(row, 0, destination->Mask.height - 1);
  column = std::clamp(column, 0, destination->Mask.width - 1);
  destination->SetMaskPixel(column, row, value != 0);
}

int32_t Progress(int32_t position) {
  if (!ProgressRunning()) return 1;
  if (!StoppableComponentRun::Active()) {
    ProgressStep(position);
    return CancelRequested ? 0 : 1;
  }
  // The messages are the program's own code: a fault in them is not the component's, and no
  // exception may cross the component's frames.
  const ForeignGuardSuspended programCode;
  try {
    ProgressStepStoppable(position, StoppableComponentRun::StopButton());
  } catch (...) {
    CancelRequested = 1;
  }
  return CancelRequested ? 0 : 1;
}

void ProgressMax(int32_t maximum) {
  if (ProgressRunning() && maximum > 0) ProgressSetPos(0, maximum);
}

bool ValidOption(int32_t option) { return option >= 1 && option <= QLC_MAX_OPTIONS; }

void SetOptionValue(int32_t notify, double value, int32_t option) {
  if (!ValidOption(option) || !std::isfinite(value)) return;
  if (ActiveOptionPage) {
    ActiveOptionPage->SetOptionValue(option - 1, value, notify != 0);
    return;
  }
  WriteOptionValue(ComponentOptionValues.data(), option - 1, value);
  if (notify && ComponentAutoSend) SendComponentOptions(ComponentOptionValues.data());
}

void SetOptionLabel(const char* text, int32_t option) {
  if (!ValidOption(option) || !ActiveOptionPage) return;
  AnsiString label;
  // The component's text is read as safely as its description.
  if (!CopyTextAt(text, 4096, label)) return;
  ActiveOptionPage->SetOptionLabel(option - 1, label);
}

void SetOptionStep(double step, int32_t option) {
  if (ValidOption(option) && ActiveOptionPage && std::isfinite(step)) ActiveOptionPage->SetOptionStep(option - 1, step);
}

void SetOptionDecimals(int32_t decimals, int32_t option) {
  if (ValidOption(option) && ActiveOptionPage && decimals >= 0 && decimals <= 15)
    ActiveOptionPage->SetOptionDecimals(option - 1, decimals);
}

void SetOptionMin(double minimum, int32_t option) {
  if (ValidOption(option) && ActiveOptionPage && std::isfinite(minimum)) ActiveOptionPage->SetOptionMin(option - 1, minimum);
}

void SetOptionMax(double maximum, int32_t option) {
  if (ValidOption(option) && ActiveOptionPage && std::isfinite(maximum)) ActiveOptionPage->SetOptionMax(option - 1, maximum);
}

void EnableOption(int32_t enabled, int32_t option) {
  if (ValidOption(option) && ActiveOptionPage) ActiveOptionPage->EnableOption(option - 1, enabled != 0);
}

void ShowOption(int32_t visible, int32_t option) {
  if (ValidOption(option) && ActiveOptionPage) ActiveOptionPage->ShowOption(option - 1, visible != 0);
}

void SetResolution(int32_t dotsPerInch) {
  if (CurrentPicture && dotsPerInch >= 1 && dotsPerInch < 100000) CurrentPicture->Resolution = dotsPerInch;
}

int32_t GetDocInfo(int32_t what, int32_t n) {
  if (what == 1) return ImgFormCount;
  if (what != 2 && what != 3) return 0;
  if (n < 1 || n > ImgFormCount || !ImgForms[static_cast<std::size_t>(n - 1)]) return 0;
  const UDBuffer& picture = ImgForms[static_cast<std::size_t>(n - 1)]->Picture;
  return what == 2 ? picture.Width() : picture.Height();
}

void* Alloc(uint32_t size) { return AllocComponentBlock(size); }

void Free(void* address) { FreeComponentBlock(address); }

void SetAlpha(int32_t alpha, int32_t row, int32_t column) {
  UDBuffer* destination = Destination();
  if (!Inside(destination, row, column)) return;
  std::uint32_t* pixel = PixelAt(destination, row, column);
  *pixel = (*pixel & 0xFFFFFF) | static_cast<std::uint32_t>(std::clamp(alpha, 0, 255)) << 24;
}

}  // namespace

void WriteOptionValue(std::uint8_t* block, int option, double value) {
  const QLCDSTR* record = CurrentRecord();
  if (!record || option < 0 || option >= QLC_MAX_OPTIONS) return;
  const int type = record->OptionTypes[static_cast<std::size_t>(option)];
  const int offset = OptionSlotOffset(*record, option);
  if (OptionSlotSize(type) == 0 || offset + OptionSlotSize(type) > QLC_VALUE_BYTES) return;
  if (type == QLC_OPT_FLOAT) {
    WriteSlotDouble(block, offset, value);
    return;
  }
  const double whole = std::trunc(std::clamp(value, -2147483648.0, 4294967295.0));
  if (type == QLC_OPT_POINT) {
    const auto packed = static_cast<std::uint32_t>(static_cast<std::int64_t>(whole));
    WriteSlot32(block, offset, static_cast<std::int32_t>((packed >> 16) | (packed & 0xFFFF) << 16));
    return;
  }
  WriteSlot32(block, offset, static_cast<std::int32_t>(static_cast<std::int64_t>(whole)));
}

ComponentCallbacks HostCallbackTable() {
  return ComponentCallbacks{GetSrcPixel,  GetSrcMask,    GetSrcPixelClamped, GetSrcMaskClamped, GetDocPixel,
                            GetDocMask,   PutPixel,      SetMask,            PutPixelClamped,   SetMaskClamped,
                            Progress,     ProgressMax,   SetOptionValue,     SetOptionLabel,    SetOptionStep,
                            SetOptionDecimals, SetOptionMin, SetOptionMax,   EnableOption,      ShowOption,
                            SetResolution, GetDocInfo,   Alloc,              Free,              SetAlpha};
}
