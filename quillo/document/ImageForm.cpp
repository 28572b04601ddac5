#include "quillo/document/ImageForm.h"

#include <algorithm>
#include <cstdio>

#include "platform/vcl/Application.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramMessages.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/base/Settings.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/panels/FriendlyStatusBar.h"
#include "quillo/components/panels/PercentProgress.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/components/toolbars/Dock.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/PreviewState.h"
#include "quillo/document/Progress.h"
#include "quillo/document/RulerTicks.h"
#include "quillo/document/Zoom.h"

QUILLO_DEFINE_CLASS(TImageForm, TGradientForm)

namespace {

using tbx::TDockX;

// The status bar: panel widths, and the place of the instant-brush toggle (at the right end
// of the message panel), the progress bar and its Cancel button.
constexpr int kPanelWidths[] = {170, 80, 100, 180, 24};
constexpr int kToggleWidth = 14;
constexpr int kProgressLeft = 174;
constexpr int kProgressWidth = 150;
constexpr int kCancelWidth = 18;
constexpr int kTopRulerHeight = 16;
constexpr int kLeftRulerWidth = 24;
constexpr TColor kRulerPen = static_cast<TColor>(0x8F8F8F);

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name) {
  T* c = NewNamedComponent<T>(owner, name);
  c->SetParent(parent);
  return c;
}

TCustomForm* MainWindow() { return TheDocumentHost().MainWindow(); }

AnsiString FormatCoordinate(int v, int resolution, int unit) {
  char text[32];
  if (unit == 2 || resolution <= 0) std::snprintf(text, sizeof text, "%d", v);
  else if (unit == 1) std::snprintf(text, sizeof text, "%.2lf", v * 2.5399 / resolution + 0.0001);
  else std::snprintf(text, sizeof text, "%.2lf", static_cast<double>(v) / resolution + 0.0001);
  return text;
}

}  // namespace

TImageForm::TImageForm(TComponent* owner) : TGradientForm(owner) {
  SetBounds(0, 0, 400, 300);
  SetColor(clBtnFace);
  BuildComponents();
  OnActivate = [this](TObject* sender) { FormActivate(sender); };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  ShowBuf->OnPaint = [this](TObject* sender) { ShowBufPaint(sender); };
  TheDocumentHost().WindowMade(*this);
  if (tbx::TToolbarX* palette = TheDocumentHost().ToolPalette(); palette && MainWindow()) palette->AddDockForm(this);
  TranslateComponent(this, "[ImageForm]");
}

TImageForm::~TImageForm() = default;

void TImageForm::BuildComponents() {
  LeftDock = Make<TDockX>(this, this, "LeftDock");
  LeftDock->SetPosition(tbx::dpLeft);
  RightDock = Make<TDockX>(this, this, "RightDock");
  RightDock->SetPosition(tbx::dpRight);

  StatusBar = Make<TFriendlyStatusBar>(this, this, "StatusBar");
  StatusBar->SetAlign(alBottom);
  for (int width : kPanelWidths) StatusBar->GetPanels()->Add()->SetWidth(width);
  StatusBar->OnResize = [this](TObject*) { FitPromptPanel(); };
  InstBrushBtn = Make<tbx::TToolbarButtonX>(this, StatusBar, "InstBrushBtn");
  InstBrushBtn->SetBounds(kPanelWidths[0] - kToggleWidth - 2, 2, kToggleWidth, 16);
  InstBrushBtn->SetGroupIndex(1);
  InstBrushBtn->SetAllowAllUp(true);
  InstBrushBtn->SetFlat(true);
  InstBrushBtn->SetDown(Settings.InstBrush);
  InstBrushBtn->OnClick = [this](TObject* sender) { InstBrushBtnClick(sender); };
  ProgressBar = Make<TPercentProgress>(this, StatusBar, "ProgressBar");
  ProgressBar->SetBounds(kProgressLeft, 2, kProgressWidth, 16);
  ProgressBar->SetVisible(false);
  ProgressBar->SetTag(ProgressBar->GetLeft());
  // The Cancel button takes the bar's base place; a running bar starts right of it.
  CancelProgressBtn = Make<TSpeedButton>(this, StatusBar, "CancelProgressBtn");
  CancelProgressBtn->SetBounds(kProgressLeft, 2, kCancelWidth, 16);
  CancelProgressBtn->SetGlyph(MakeCancelGlyph().get());
  CancelProgressBtn->SetVisible(false);
  CancelProgressBtn->OnClick = [this](TObject* sender) { CancelProgressBtnClick(sender); };

  ImagePanel = Make<TPanel>(this, this, "ImagePanel");
  ImagePanel->SetAlign(alClient);
  ImagePanel->SetBevelOuter(bvNone);
  TopRuler = Make<TImage>(this, ImagePanel, "TopRuler");
  TopRuler->SetAlign(alTop);
  TopRuler->SetHeight(kTopRulerHeight);
  LeftRuler = Make<TImage>(this, ImagePanel, "LeftRuler");
  LeftRuler->SetAlign(alLeft);
  LeftRuler->SetWidth(kLeftRulerWidth);
  // The rulers' bitmaps span the screen, so a window of any size draws into them unchanged.
  TopRuler->GetPicture()->GetBitmap()->SetSize(Screen()->GetWidth(), kTopRulerHeight);
  LeftRuler->GetPicture()->GetBitmap()->SetSize(kLeftRulerWidth, Screen()->GetHeight());
  for (TImage* ruler : {TopRuler, LeftRuler}) {
    TCanvas* canvas = ruler->GetCanvas();
    canvas->GetPen()->SetColor(kRulerPen);
    canvas->GetFont()->SetName("Arial");
    canvas->GetFont()->SetSize(-6);
  }

  MaxSize = Make<TEventScrollBox>(this, ImagePanel, "MaxSize");
  MaxSize->SetAlign(alClient);
  MaxSize->SetAutoScroll(false);
  MaxSize->OnResize = [this](TObject* sender) { MaxSizeResize(sender); };
  MaxSize->OnScrollHorz = [this](TObject* sender) { MaxSizeScroll(sender); };
  MaxSize->OnScrollVert = [this](TObject* sender) { MaxSizeScroll(sender); };
  ShowBuf = Make<TBuffer>(this, MaxSize, "ShowBuf");
  ShowBuf->SetAlpha(true);
  ShowBuf->SetBounds(0, 0, 1, 1);
}

void TImageForm::CreateParams(TCreateParams& params) {
  TGradientForm::CreateParams(params);
  if (Settings.MinToTaskbar) params.ExStyle = WS_EX_APPWINDOW;
}

void TImageForm::SetPanelText(StatusPanel panel, const AnsiString& text) {
  StatusBar->GetPanels()->Items(panel)->SetText(text);
}

AnsiString TImageForm::StatusText(StatusPanel panel) const {
  return StatusBar->GetPanels()->Items(panel)->GetText();
}

void TImageForm::ArrangeStatusBarForLevel(int level) {
  const bool expert = level != 0;
  const int shift = expert ? 0 : kToggleWidth;
  InstBrushBtn->SetVisible(expert);
  ProgressBar->SetTag(kProgressLeft - shift);
  ProgressBar->SetLeft(kProgressLeft - shift);
  CancelProgressBtn->SetLeft(kProgressLeft - shift);
  StatusBar->GetPanels()->Items(spMessage)->SetWidth(kPanelWidths[0] - shift);
  InstBrushBtn->SetHint(LangMessage("IBBtn"));
  FitPromptPanel();
}

void TImageForm::FitPromptPanel() {
  TStatusPanels* panels = StatusBar->GetPanels();
  int others = 0;
  for (int i = 0; i < panels->Count(); ++i)
    if (i != spPrompt) others += panels->Items(i)->GetWidth();
  panels->Items(spPrompt)->SetWidth(std::max(0, StatusBar->GetClientWidth() - others));
}

void TImageForm::ShowMouseCoordinates() {
  const int unit = Settings.MeasurementUnit;
  SetPanelText(spCoordinates, FormatCoordinate(MousePoint.x, Picture.Resolution, unit) + "," +
                                  FormatCoordinate(MousePoint.y, Picture.Resolution, unit));
}

void TImageForm::ShowBufPaint(TObject*) { Picture.PaintSelectionOutline(false); }

// ---------------------------------------------------------------------------------------
// Events

void TImageForm::FormActivate(TObject*) {
  if (closing_) return;
  // The click that activated the window must not paint.
  if (ImageForm != this && MainWindow())
    if (TExTimerEvent* timer = TheDocumentHost().ActivationTimer()) timer->SetEnabled(true);
  MakeDocumentActive(ListIndex);
}

void TImageForm::FormCloseQuery(TObject*, bool& canClose) {
  // A window already let go is not asked again, nor released a second time.
  if (closing_) {
    canClose = true;
    return;
  }
  // A running operation may be working on this window's picture: it goes once it has ended.
  if (ProgressRunning()) {
    canClose = false;
    return;
  }
  canClose = !QuerySaveChanges(this);
  if (!canClose) return;
  closing_ = true;
  Release();
}

// The toolbars float over the window that owns them (the main window), not over this one,
// which is going away or being minimised.
void TImageForm::UndockToolbars() {
  for (TDockX* dock : {LeftDock, RightDock}) {
    std::vector<tbx::TCustomToolWindowX*> bars = dock->DockList();
    for (tbx::TCustomToolWindowX* bar : bars) {
      auto* owner = dynamic_cast<TCustomForm*>(bar->Owner());
      if (owner && owner != this) bar->SetParent(owner);
      else bar->SetDockedTo(nullptr);
    }
  }
}

void TImageForm::FormDestroy(TObject*) {
  if (destroyed_) return;
  destroyed_ = true;
  closing_ = true;
  const bool wasActive = ImageForm == this;
  TCustomForm* const main = MainWindow();
  // Also while the main window is going: its tool palette outlives this window.
  if (tbx::TToolbarX* palette = TheDocumentHost().ToolPalette()) palette->RemoveDockForm(this);
  TheDocumentHost().WindowUnlisted(ListIndex);
  RemoveFromDocumentList(this);
  UndockToolbars();
  if (!wasActive) return;
  ImageForm = nullptr;
  CurrentPicture = nullptr;
  DrawView.Free();
  if (ImgFormCount > 0) {
    if (main) MakeDocumentActive(std::min(ListIndex, ImgFormCount - 1));
  } else if (main && main->HandleAllocated()) {
    PostMessage(main->GetHandle(), UM_LASTDOCCLOSED, 0, 0);
  }
}

// The running long operation polls the request and stops on its own.
void TImageForm::CancelProgressBtnClick(TObject*) { CancelRequested = 1; }

void TImageForm::InstBrushBtnClick(TObject*) {
  Settings.InstBrush = !Settings.InstBrush;
  TheDocumentHost().InstantBrushChanged();
}

// ---------------------------------------------------------------------------------------
// The view in its scroll box

void TImageForm::MaxSizeResize(TObject*) {
  if (laying_) return;
  laying_ = true;
  TControlScrollBar* horz = MaxSize->GetHorzScrollBar();
  TControlScrollBar* vert = MaxSize->GetVertScrollBar();
  const int viewWidth = ShowBuf->GetWidth();
  const int viewHeight = ShowBuf->GetHeight();
  // A bar on one axis narrows the other: the second round sees both.
  for (int round = 0; round < 2; ++round) {
    horz->SetRange(viewWidth);
    vert->SetRange(viewHeight);
  }
  const int clientWidth = MaxSize->GetClientWidth();
  const int clientHeight = MaxSize->GetClientHeight();
  const int left = viewWidth < clientWidth ? (clientWidth - viewWidth) / 2 : -horz->GetPosition();
  const int top = viewHeight < clientHeight ? (clientHeight - viewHeight) / 2 : -vert->GetPosition();
  ShowBuf->SetBounds(left, top, viewWidth, viewHeight);
  laying_ = false;
  DrawRulers();
}

void TImageForm::MaxSizeScroll(TObject*) {
  PreviewValid = false;
  // With "Clipping" on, the drawing view follows the visible part.
  if (ImageForm == this) SetDrawViewClip();
  DrawRulers();
}

void TImageForm::DrawRulers() {
  if (!TopRuler->GetVisible() || Picture.Empty()) return;
  TControlScrollBar* horz = MaxSize->GetHorzScrollBar();
  TControlScrollBar* vert = MaxSize->GetVertScrollBar();
  RulerView view;
  view.scrollX = horz->ScrollPos();
  view.scrollY = vert->ScrollPos();
  view.zoom = Zoom;
  view.resolution = Picture.Resolution;
  view.unit = static_cast<RulerUnit>(std::clamp(Settings.MeasurementUnit, 0, 2));
  view.imageWidth = Picture.Width();
  view.imageHeight = Picture.Height();
  view.clientWidth = MaxSize->GetClientWidth();
  view.clientHeight = MaxSize->GetClientHeight();
  // The scroll box's frame is 2 pixels; a centred view starts further in.
  view.originX = MaxSize->GetLeft() + 2 + std::max(ShowBuf->GetLeft(), 0);
  view.originY = MaxSize->GetTop() - LeftRuler->GetTop() + 2 + std::max(ShowBuf->GetTop(), 0);
  TBitmap* top = TopRuler->GetPicture()->GetBitmap();
  TBitmap* left = LeftRuler->GetPicture()->GetBitmap();
  ::DrawRulers(top->GetCanvas(), top->GetWidth(), left->GetCanvas(), left->GetHeight(), view);
  TopRuler->Invalidate();
  LeftRuler->Invalidate();
}

// ---------------------------------------------------------------------------------------
// Window messages

void TImageForm::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEWHEEL: WMMouseWheel(message); return;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(message); return;
    case WM_SYSCOMMAND:
      TGradientForm::Dispatch(message);
      WMSysCommand(message);
      return;
    case WM_SIZING:
      WMSizing(message);
      break;
    case WM_MOVING: WMMoving(message); return;
    default: break;
  }
  TGradientForm::Dispatch(message);
}

void TImageForm::WMMouseWheel(TMessage& message) {
  const int step = message.WParamHi() / 2;  // toward zero
  TControlScrollBar* bar = (LOWORD(message.WParam) & MK_CONTROL) ? MaxSize->GetHorzScrollBar() : MaxSize->GetVertScrollBar();
  bar->SetPosition(bar->GetPosition() - step);
  MaxSizeScroll(this);
  message.Result = 0;
}

void TImageForm::WMGetMinMaxInfo(TMessage& message) {
  auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
  TCustomForm* const main = MainWindow();
  const int mainBottom = main ? main->GetTop() + main->GetHeight() - 1 : WorkArea.top;
  const int mainHeight = main ? main->GetHeight() : 0;
  info->ptMaxPosition.x = WorkArea.left - 4;
  info->ptMaxPosition.y = mainBottom;
  info->ptMaxSize.x = WorkArea.Width() + 10;
  info->ptMaxSize.y = WorkArea.Height() - mainHeight + 7;
  message.Result = 0;
}

// Runs after the framework has carried the command out, so the caption follows the new state.
void TImageForm::WMSysCommand(TMessage& message) {
  switch (message.WParam & 0xFFF0) {
    case SC_MINIMIZE:
      WindowsRearranged = true;
      UpdateDocumentCaption(this);
      UndockToolbars();
      break;
    case SC_MAXIMIZE:
      UpdateDocumentCaption(this);
      GatherToolbars(this, GatherWhich::DocumentToolbars);
      break;
    case SC_RESTORE:
      WindowsRearranged = true;
      UpdateDocumentCaption(this);
      if (Settings.AlwaysDock) GatherToolbars(this, GatherWhich::DocumentToolbars);
      break;
    default: break;
  }
}

WindowPlace TImageForm::Place() const {
  return WindowPlace{GetLeft(), GetTop(), GetWidth(), GetHeight(), GetWindowState() == wsMinimized};
}

// Sizing moves the touching edges of the neighbours along (when the setting asks for it);
// the framework then sizes this window from the rectangle as limited.
void TImageForm::WMSizing(TMessage& message) {
  WindowsRearranged = true;
  if (!Settings.ResizeNeigh || Neighbours.empty()) return;
  std::vector<WindowPlace> places;
  NeighbourLinks links;
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    places.push_back(window->Place());
    std::vector<NeighbourLink> own;
    for (const Neighbour& n : window->Neighbours) own.push_back({n.side, n.window->ListIndex});
    links.push_back(std::move(own));
  }
  auto* sizing = reinterpret_cast<RECT*>(message.LParam);
  *sizing = ResizeNeighbours(places, links, ListIndex, message.WParam, *sizing);
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    const WindowPlace& p = places[static_cast<std::size_t>(i)];
    if (window != this && !(window->Place() == p)) window->SetBounds(p.left, p.top, p.width, p.height);
  }
}

// The window snaps onto the edges of the work area, the main window and the other document
// windows near it.
void TImageForm::WMMoving(TMessage& message) {
  auto* moving = reinterpret_cast<RECT*>(message.LParam);
  std::vector<RECT> others;
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    if (window != this && window->GetWindowState() != wsMinimized) others.push_back(window->GetBoundsRect());
  }
  TCustomForm* const mainWindow = MainWindow();
  const RECT main = mainWindow ? static_cast<RECT>(mainWindow->GetBoundsRect()) : RECT{0, 0, 0, 0};
  *moving = SnapMovingWindow(*moving, WorkArea, mainWindow ? &main : nullptr, others);
  WindowsRearranged = true;
  message.Result = TRUE;
}
