#include "quillo/document/Zoom.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/UpDown.h"
#include "quillo/base/Settings.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/PreviewState.h"

namespace {

// The zoom the active picture may take: under the view's size cap, and never below 1 for a
// picture with a side under 4 pixels.
int AllowedZoomPosition(int position, const UDBuffer& picture) {
  position = CappedZoomPosition(position, std::max(picture.Width(), picture.Height()));
  if ((picture.Width() < 4 || picture.Height() < 4) && position < 1) position = 1;
  return position;
}

void SetActivityTimer(bool enabled) {
  if (TExTimerEvent* timer = TheDocumentHost().ActivityTimer()) timer->SetEnabled(enabled);
}

}  // namespace

double ActiveZoom() { return ImageForm && ImageForm->Zoom > 0 ? ImageForm->Zoom : 1.0; }

int ZoomPosition() {
  TUpDown* zoom = TheDocumentHost().ZoomControl();
  return zoom ? std::clamp(zoom->GetPosition(), MinZoomPosition, MaxZoomPosition) : 1;
}

void SetZoomPosition(int position) {
  if (TUpDown* zoom = TheDocumentHost().ZoomControl()) zoom->SetPosition(position);
}

double GetZoomFactor() { return ZoomFactorAt(ZoomPosition()); }

double SetZoomFactor(double z) {
  const int position = ZoomPositionFor(z);
  SetZoomPosition(position);
  // The selection outline follows when ApplyZoom shows the new zoom.
  return ZoomFactorAt(position);
}

std::uint32_t GetPackedZoom() { return PackedZoomAt(ZoomPosition()); }

void ApplyZoom() {
  TImageForm* window = ImageForm;
  if (!window || !CurrentPicture || CurrentPicture->Empty()) return;
  UDBuffer& picture = *CurrentPicture;
  PreviewValid = false;

  // A zoom the picture may not take becomes the nearest one below that it may, and that one
  // is applied in full, so the control, its label and the view agree.
  const int position = AllowedZoomPosition(ZoomPosition(), picture);
  SetZoomPosition(position);
  const double z = ZoomFactorAt(position);

  // The point kept still: the pointer's place over the view, or without one (it left the
  // view) the centre of the scroll box.
  TEventScrollBox* box = window->MaxSize;
  const TPoint anchor = MouseViewPoint.x != -1
                            ? TPoint(MouseViewPoint.x + window->ShowBuf->GetLeft(), MouseViewPoint.y + window->ShowBuf->GetTop())
                            : TPoint(box->GetClientWidth() / 2, box->GetClientHeight() / 2);
  const TPoint anchorInView(anchor.x - window->ShowBuf->GetLeft(), anchor.y - window->ShowBuf->GetTop());

  // The window's zoom is the new one before the layout below draws the rulers.
  const double previous = window->Zoom > 0 ? window->Zoom : 1.0;
  window->Zoom = z;
  window->ShowBuf->SetZoom(static_cast<int>(PackedZoomAt(position)));
  window->ShowBuf->SetBounds(window->ShowBuf->GetLeft(), window->ShowBuf->GetTop(),
                             ZoomedSize(picture.Width(), position), ZoomedSize(picture.Height(), position));
  window->MaxSizeResize(window);

  auto scrollTo = [&](TControlScrollBar* bar, int inView, int at) {
    const int target = static_cast<int>(inView * z / previous - at);
    bar->SetPosition(target < 1 ? 0 : target);
  };
  scrollTo(box->GetHorzScrollBar(), anchorInView.x, anchor.x);
  scrollTo(box->GetVertScrollBar(), anchorInView.y, anchor.y);
  window->MaxSizeResize(window);

  // The drawing view: the visible part with "Clipping" on, else the whole picture.
  SetDrawViewClip();

  // The marching outline at the zoom just applied: every change of zoom (the control, the
  // keys, fitting, a document becoming active, a cap on the view's size) comes through here.
  if (picture.Outline != nullptr) picture.ScaleSelectionOutline();

  TheDocumentHost().ShowZoomLabel(ZoomLabelAt(position));
  window->ShowBuf->Invalidate();
  window->ZoomIndex = position;
  UpdateDocumentCaption(window);
}

void MakeDocumentActive(int index) {
  if (index < 0 || index >= ImgFormCount) return;
  TImageForm* window = ImgForms[static_cast<std::size_t>(index)];
  if (window == ImageForm) return;
  SetActivityTimer(false);
  // The tool's feedback leaves the old picture before another one becomes the active one.
  TheDocumentHost().SuspendTool();

  // The pointer belongs to no image until it moves over the new one (its place over the old
  // view would anchor the new one's zoom).
  MousePoint = {NoMousePoint, NoMousePoint};
  MouseViewPoint = {-1, -1};

  TImageForm* previous = ImageForm;
  const bool previousMaximised = previous && previous->GetWindowState() == wsMaximized;
  if (Settings.AlwaysDock) GatherToolbars(window, GatherWhich::AlsoMainToolbar);

  if (previous) previous->SetPanelText(spMessage, "");
  ImageForm = window;
  TheDocumentHost().ShowBrushMode(*window);
  SetZoomPosition(window->ZoomIndex);
  CurrentPicture = &window->Picture;
  ApplyZoom();
  TheDocumentHost().PictureChanged();

  if (previousMaximised) {
    window->SetWindowState(wsMaximized);
    if (Settings.AlwaysDock) GatherToolbars(window, GatherWhich::AlsoMainToolbar);
  } else if (window->GetWindowState() == wsMinimized) {
    ShowWindow(window->GetHandle(), SW_RESTORE);
  }
  if (window->HandleAllocated()) SetForegroundWindow(window->GetHandle());

  TheDocumentHost().ResumeTool();
  SetActivityTimer(true);
  UpdateCaptionColours();
}

void SetDrawViewClip() {
  if (!CurrentPicture || !CurrentPicture->pixels) {
    DrawView.Free();
    return;
  }
  Rect clip(-INT_MAX, -INT_MAX, INT_MAX, INT_MAX);
  if (Settings.Clipping && ImageForm && &ImageForm->Picture == CurrentPicture) {
    const double z = ActiveZoom();
    TEventScrollBox* box = ImageForm->MaxSize;
    const int hx = box->GetHorzScrollBar()->GetPosition();
    const int vy = box->GetVertScrollBar()->GetPosition();
    const int w = box->GetClientWidth();
    const int h = box->GetClientHeight();
    clip = Rect(static_cast<int>(hx / z), static_cast<int>(vy / z), static_cast<int>((w + hx - 1) / z),
                static_cast<int>((h + vy - 1) / z));
  }
  DrawView.AllocFrom(*CurrentPicture, clip, true);
}

Rect DrawViewArea(UDBuffer& picture) {
  const Rect whole(0, 0, picture.Width() - 1, picture.Height() - 1);
  if (&picture != CurrentPicture) return whole;
  SetDrawViewClip();
  if (DrawView.pixels == nullptr || DrawView.rect.Empty()) return whole;
  return DrawView.rect;
}
