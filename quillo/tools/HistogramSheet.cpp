// The tool options window's Histogram and Grid sheets: the active picture's counts per
// channel with their statistics, and the grid's step and origin.

#include <cstdio>

#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/Grid.h"
#include "quillo/tools/SheetControls.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

constexpr int ScaleWidth = 256;
constexpr int ScaleHeight = 16;
constexpr int GraphHeight = 128;
constexpr std::uint32_t MarkerGrey = 0xC0C0C0;
constexpr int MostGridValue = 16384;

AnsiString TwoDecimals(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

}  // namespace

void TToolForm::BuildHistogramSheet() {
  ChannelCombo = SheetChild<TComboBox>(this, HistogramSheet, "ChannelCombo", 4, 4, 90, 21);
  ChannelCombo->SetStyle(csDropDownList);
  for (const char* item : {"Red", "Green", "Blue", "Intensity", "All"}) ChannelCombo->GetItems()->Add(item);
  ChannelCombo->OnChange = [this](TObject* s) { ChannelChange(s); };
  struct Readout {
    TLabel** value;
    const char* name;
    const char* captionName;
    const char* caption;
    int left, top;
  };
  const Readout readouts[] = {
      {&Value, "Value", "ValueCaption", "Value", 100, 2},   {&Count, "Count", "CountCaption", "Count", 100, 16},
      {&Mean, "Mean", "MeanCaption", "Mean", 184, 2},       {&StdDev, "StdDev", "StdDevCaption", "Std Dev", 184, 16},
  };
  for (const Readout& r : readouts) {
    auto* caption = SheetChild<TLabel>(this, HistogramSheet, r.captionName, r.left, r.top, 40, 13);
    caption->SetCaption(r.caption);
    *r.value = SheetChild<TLabel>(this, HistogramSheet, r.name, r.left + 42, r.top, 40, 13);
    (*r.value)->SetCaption("");
  }
  HistHolder = SheetChild<TBuffer>(this, HistogramSheet, "HistHolder", 4, 32, ScaleWidth, GraphHeight);
  ScaleHolder = SheetChild<TBuffer>(this, HistogramSheet, "ScaleHolder", 4, 32 + GraphHeight + 2, ScaleWidth, ScaleHeight);
  HistImage.Alloc(Pair<int>(ScaleWidth, GraphHeight));
  HistImage.Box(HistImage.rect, 0xFFFFFF);
  ScaleImage.Alloc(Pair<int>(ScaleWidth, ScaleHeight));
  ScaleImage.Box(ScaleImage.rect, 0);
  HistHolder->SetBuffer(&HistImage);
  ScaleHolder->SetBuffer(&ScaleImage);
  for (TBuffer* view : {HistHolder, ScaleHolder})
    view->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { ScaleHolderMouseMove(s, sh, x, y); };
  HistogramSheet->OnShow = [this](TObject*) { RefreshHistogram(); };
}

void TToolForm::RefreshHistogram() {
  if (!GetVisible() || PageControl->GetActivePage() != HistogramSheet || ImgFormCount == 0 || !CurrentPicture ||
      CurrentPicture->Empty())
    return;
  CountHistogram(*CurrentPicture, Histogram);
  ChannelChange(this);
}

void TToolForm::ChannelChange(TObject*) {
  const int channel = ChannelCombo->GetItemIndex();
  if (channel < 0) return;
  Channel = channel;
  DrawHistogramScale(ScaleImage, channel);
  ScaleHolder->Invalidate();
  DrawHistogramGraph(HistImage, Histogram, channel);
  if (channel == HistAll || !CurrentPicture) {
    Mean->SetCaption("");
    StdDev->SetCaption("");
  } else {
    const std::uint64_t n = static_cast<std::uint64_t>(CurrentPicture->Width()) * CurrentPicture->Height();
    const ChannelStatistics s = HistogramStatistics(Histogram[static_cast<std::size_t>(channel)], n);
    Mean->SetCaption(TwoDecimals(s.mean));
    StdDev->SetCaption(TwoDecimals(s.deviation));
  }
  HistHolder->Invalidate();
}

void TToolForm::ScaleHolderMouseMove(TObject*, TShiftState, int x, int) {
  const int channel = ChannelCombo->GetItemIndex();
  if (x < 0 || x >= ScaleWidth || channel < 0) return;
  const auto i = static_cast<std::size_t>(x);
  const std::uint32_t count = channel == HistAll ? Histogram[HistRed][i] + Histogram[HistGreen][i] + Histogram[HistBlue][i]
                                                 : Histogram[static_cast<std::size_t>(channel)][i];
  Value->SetCaption(std::to_string(x));
  Count->SetCaption(std::to_string(count));
  // The marker goes on a fresh scale and graph, so the last one leaves no trail.
  ChannelChange(this);
  ScaleImage.Line({x, ScaleHeight - 1}, {x, 0}, MarkerGrey);
  HistImage.Line({x, GraphHeight - 1}, {x, 0}, MarkerGrey);
  ScaleHolder->Invalidate();
  HistHolder->Invalidate();
}

// ---------------------------------------------------------------------------------------
// Grid

void TToolForm::BuildGridSheet() {
  struct Field {
    TExSpinEdit** edit;
    const char* name;
    const char* label;
    int least;
    int left, top;
  };
  const Field fields[] = {
      {&GridDxEdit, "GridDx", "DX", 1, 4, 4},
      {&GridDyEdit, "GridDy", "DY", 1, 4, 30},
      {&GridPxEdit, "GridPx", "X", 0, 110, 4},
      {&GridPyEdit, "GridPy", "Y", 0, 110, 30},
  };
  for (const Field& f : fields) {
    auto* label = SheetChild<TLabel>(this, GridSheet, (std::string(f.name) + "Label").c_str(), f.left, f.top + 3, 20, 13);
    label->SetCaption(f.label);
    *f.edit = SheetChild<TExSpinEdit>(this, GridSheet, f.name, f.left + 22, f.top, 70, 21);
    (*f.edit)->SetMinValue(f.least);
    (*f.edit)->SetMaxValue(MostGridValue);
    (*f.edit)->SetTag(0xA005);
    (*f.edit)->OnChange = [this](TObject*) { ReadGridValues(); };
  }
  GridDxEdit->SetHint("Delta X");
  GridDyEdit->SetHint("Delta Y");
  GridPxEdit->SetHint("X Position");
  GridPyEdit->SetHint("Y Position");
  BrushSizeBtn = SheetChild<TButton>(this, GridSheet, "BrushSizeBtn", 4, 58, 90, 23);
  BrushSizeBtn->SetCaption("Br&ush Size");
  BrushSizeBtn->SetTag(0x1000);
  BrushSizeBtn->OnClick = [this](TObject* s) { SetGridDeltaFromBrush(s); };
  GridOrigBtn = SheetChild<TButton>(this, GridSheet, "GridOrigBtn", 110, 58, 90, 23);
  GridOrigBtn->SetCaption("&Set Origin");
  GridOrigBtn->SetTag(0x1000);
  GridOrigBtn->OnClick = [this](TObject* s) { SetGridOrigin(s); };
  ShowGridValues();
}

void TToolForm::ShowGridValues() {
  showingGridValues_ = true;
  GridDxEdit->SetAsInteger(::GridDx);
  GridDyEdit->SetAsInteger(::GridDy);
  GridPxEdit->SetAsInteger(::GridPx);
  GridPyEdit->SetAsInteger(::GridPy);
  showingGridValues_ = false;
}

void TToolForm::ReadGridValues() {
  if (showingGridValues_) return;
  ::GridDx = static_cast<int>(GridDxEdit->GetAsInteger());
  ::GridDy = static_cast<int>(GridDyEdit->GetAsInteger());
  ::GridPx = static_cast<int>(GridPxEdit->GetAsInteger());
  ::GridPy = static_cast<int>(GridPyEdit->GetAsInteger());
}

void TToolForm::SetGridDeltaFromBrush(TObject*) {
  if (PageControl->GetActivePage() != GridSheet) return;
  GridDxEdit->SetAsInteger(Brush.Width());
  GridDyEdit->SetAsInteger(Brush.Height());
}

void TToolForm::SetGridOrigin(TObject*) {
  if (PageControl->GetActivePage() != GridSheet) return;
  SelectTool(&GridposTool, true, -1);
}
