// The save optimiser's previews: four views (or two wide ones) of the slots' pictures at one
// zoom and one place, zoomed with the keypad's plus and minus, panned with the arrow keys or
// by dragging any of them.

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/document/ImageView.h"
#include "quillo/files/PlacedControl.h"
#include "quillo/files/PreviewZoom.h"
#include "quillo/files/SaveOptimForm.h"

namespace {

// The cursors the program loads at start: the open hand over a view, the closed one while
// the user drags.
constexpr TCursor kOpenHand = -45;
constexpr TCursor kClosedHand = -44;
constexpr int kPreviewTop = 8;
constexpr int kLowerPreviewTop = 199;
constexpr int kLeftColumn = 182;
constexpr int kRightColumn = 362;

struct PreviewPlace {
  const char* box;
  const char* view;
  int left;
  int top;
};
// By slot: the first column holds slots 0 and 1, the second 2 and 3.
constexpr PreviewPlace kPlaces[kOptimSlotCount] = {
    {"SBox1", "PreviewBuf1", kLeftColumn, kPreviewTop},
    {"SBox2", "PreviewBuf2", kLeftColumn, kLowerPreviewTop},
    {"SBox3", "PreviewBuf3", kRightColumn, kPreviewTop},
    {"SBox4", "PreviewBuf4", kRightColumn, kLowerPreviewTop},
};

// A view's tag names its slot: (slot + 1) * 100 + 50.
int SlotOfView(const TObject* sender) {
  const auto* view = dynamic_cast<const TComponent*>(sender);
  return view != nullptr ? static_cast<int>(view->GetTag() / 100 - 1) : -1;
}

}  // namespace

void TSaveOptimForm::BuildPreviews() {
  for (int k = 0; k < kOptimSlotCount; ++k) {
    const PreviewPlace& place = kPlaces[k];
    TScrollBox* box = PlacedControl<TScrollBox>(this, place.box, this, place.left, place.top, PreviewZoom::kNarrowBox,
                                                PreviewZoom::kBoxHeight);
    box->SetBorderStyle(bsNone);
    box->SetAutoScroll(false);
    box->GetHorzScrollBar()->SetVisible(false);
    box->GetVertScrollBar()->SetVisible(false);
    TBuffer* view = PlacedControl<TBuffer>(this, place.view, box, 0, 0, PreviewZoom::kNarrowBox, PreviewZoom::kBoxHeight);
    view->SetTag((k + 1) * 100 + 50);
    view->SetAlpha(true);
    view->SetUseGlobalGammaCorr(false);
    view->SetGammaCorr(true);
    view->SetCursor(kOpenHand);
    view->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      PreviewBufMouseDown(s, b, sh, x, y);
    };
    view->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { PreviewBufMouseMove(s, sh, x, y); };
    view->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      PreviewBufMouseUp(s, b, sh, x, y);
    };
    SBox[k] = box;
    PreviewBuf[k] = view;
  }
}

void TSaveOptimForm::FitPreviewZoom() {
  const int width = picture_ != nullptr ? picture_->Width() : 0;
  const int height = picture_ != nullptr ? picture_->Height() : 0;
  Zoom = PrevZoom = PreviewZoom::Fit(width, height);
  ApplyPreviewZoom();
}

void TSaveOptimForm::ApplyPreviewZoom() {
  const int width = picture_ != nullptr ? picture_->Width() : 0;
  const int height = picture_ != nullptr ? picture_->Height() : 0;
  Zoom = PreviewZoom::ForTinyImage(Zoom, width, height);
  const int cx = SBox[0]->GetClientWidth() / 2;
  const int cy = SBox[0]->GetClientHeight() / 2;
  const int w = static_cast<int>(static_cast<long long>(width) * Zoom / 100);
  const int h = static_cast<int>(static_cast<long long>(height) * Zoom / 100);
  const int left = PreviewZoom::Rezoomed(PreviewBuf[0]->GetLeft(), cx, Zoom, PrevZoom, w, PreviewWidth);
  const int top = PreviewZoom::Rezoomed(PreviewBuf[0]->GetTop(), cy, Zoom, PrevZoom, h, PreviewZoom::kBoxHeight);
  for (TBuffer* view : PreviewBuf) {
    view->SetZoom(PackZoom(Zoom, 100));
    view->SetBounds(left, top, w, h);
    view->Invalidate();
  }
  // The system's own wording of the magnification.
  ZoomLab->SetCaption("Mag: " + IntToStr(Zoom) + " %");
  ZoomLab->SetLeft(ProgPanel->GetLeft() + ProgPanel->GetWidth() - 10 - ZoomLab->GetWidth());
  PrevZoom = Zoom;
}

void TSaveOptimForm::PanPreviews(int dx, int dy) {
  const TBuffer* first = PreviewBuf[0];
  const int w = first->GetWidth();
  const int h = first->GetHeight();
  const int left = PreviewZoom::Panned(first->GetLeft(), dx, w, PreviewWidth);
  const int top = PreviewZoom::Panned(first->GetTop(), dy, h, PreviewZoom::kBoxHeight);
  if (left == first->GetLeft() && top == first->GetTop()) return;
  for (TBuffer* view : PreviewBuf) view->SetBounds(left, top, w, h);
  for (TScrollBox* box : SBox) box->Invalidate();
}

void TSaveOptimForm::PreviewBufMouseDown(TObject* sender, TMouseButton, TShiftState, int x, int y) {
  const int slot = SlotOfView(sender);
  if (slot >= 0 && slot != TabControl->GetTabIndex()) {
    TabControl->SetTabIndex(slot);
    PageChange(TabControl);
  }
  Dragging = true;
  DragStartX = x;
  DragStartY = y;
  Screen()->SetCursor(kClosedHand);
}

void TSaveOptimForm::PreviewBufMouseMove(TObject*, TShiftState, int x, int y) {
  // The start stays: the coordinates are the view's, and the view moves with the pan, so the
  // grabbed point stays under the pointer.
  if (Dragging) PanPreviews(x - DragStartX, y - DragStartY);
}

void TSaveOptimForm::PreviewBufMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  Dragging = false;
  Screen()->SetCursor(crDefault);
}

void TSaveOptimForm::ExpandBtnClick(TObject*) {
  TStrings* tabs = TabControl->GetTabs();
  if (FourPreviews) {
    SBox[2]->SetVisible(false);
    SBox[3]->SetVisible(false);
    ExpandBtn->SetCaption(">>");
    ExpandBtn->SetHint(LangMessage("More"));
    PreviewWidth = PreviewZoom::kWideBox;
    if (TabControl->GetTabIndex() > 1) {
      TabControl->SetTabIndex(1);
      PageChange(TabControl);
    }
    tabs->Delete(3);
    tabs->Delete(2);
  } else {
    SBox[2]->SetVisible(true);
    SBox[3]->SetVisible(true);
    ExpandBtn->SetCaption("<<");
    ExpandBtn->SetHint(LangMessage("Less"));
    PreviewWidth = PreviewZoom::kNarrowBox;
    tabs->Add("&3");
    tabs->Add("&4");
  }
  SBox[0]->SetWidth(PreviewWidth);
  SBox[1]->SetWidth(PreviewWidth);
  ApplyPreviewZoom();
  FourPreviews = !FourPreviews;
}
