#include "quillo/document/DocumentList.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramMessages.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/base/Settings.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/panels/FriendlyStatusBar.h"
#include "quillo/components/toolbars/Dock.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Zoom.h"

std::array<TImageForm*, MaxDocuments> ImgForms{};
int ImgFormCount = 0;
TImageForm* ImageForm = nullptr;
UDBuffer* CurrentPicture = nullptr;
std::uint32_t UntitledCounter = 1;
bool WindowsRearranged = false;
DWORD StatusHoldUntil = 0;
double SavedZoom = 0;

namespace {

// Window sizes a fitted window keeps at the least.
constexpr int kMinFittedWidth = 192;
constexpr int kMinFittedHeight = 96;
// The room the main tool palette takes when it docks into a window.
constexpr int kDockedPaletteWidth = 60;

bool IsUntouchedBlank(const TImageForm* window) {
  return window->Picture.BlankStart && window->Picture.ChangeCount == 0;
}

// The framework's colour (0x00BBGGRR) as a pixel word (0x00RRGGBB).
uint PixelOf(TColor colour) {
  const COLORREF rgb = ColorToRGB(colour);
  return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

TPoint PlacementForNewWindow() {
  if (ImgFormCount > 0 && ImageForm && !IsUntouchedBlank(ImageForm))
    return {ImageForm->GetLeft() + WindowOffset, ImageForm->GetTop() + WindowOffset};
  TCustomForm* main = TheDocumentHost().MainWindow();
  if (main == nullptr) return {WorkArea.left, WorkArea.top};
  return {std::max(main->GetLeft(), 0), main->GetTop() + main->GetHeight() - 1};
}

// Makes a window the active document for as long as the scope lives (the save commands work
// on the active one), then restores the one that was active, also when an exception passes.
class ActiveDocumentScope {
public:
  explicit ActiveDocumentScope(TImageForm* window) : window_(ImageForm), picture_(CurrentPicture) {
    ImageForm = window;
    CurrentPicture = &window->Picture;
  }
  ~ActiveDocumentScope() {
    ImageForm = window_;
    CurrentPicture = picture_;
  }
  ActiveDocumentScope(const ActiveDocumentScope&) = delete;
  ActiveDocumentScope& operator=(const ActiveDocumentScope&) = delete;

private:
  TImageForm* window_;
  UDBuffer* picture_;
};

}  // namespace

TImageForm* CreateDocumentWindow(int width, int height, const AnsiString& fileName) {
  const TPoint place = PlacementForNewWindow();
  if (ImgFormCount >= MaxDocuments) {
    LangMessageBox("TooManyImages", "Err", MB_ICONEXCLAMATION);
    Abort();
  }
  if (ImgFormCount > 0 && ImageForm) ImageForm->SetPanelText(spMessage, "");
  // The tool's feedback leaves the picture that stops being the active one, and the pointer
  // is over no image until it moves over the new one.
  TheDocumentHost().WithdrawToolFeedback();
  MousePoint = {NoMousePoint, NoMousePoint};
  MouseViewPoint = {-1, -1};

  TImageForm* window = NewComponent<TImageForm>(Application());
  UDBuffer* previousPicture = CurrentPicture;
  try {
    window->SetBounds(place.x, place.y, window->GetWidth(), window->GetHeight());
    UDBuffer& picture = window->Picture;
    picture.Alloc(width, height);
    if (!picture.pixels || picture.Empty()) throw EOutOfMemory(RtlText::OutOfMemory);
    TPanel* background = TheDocumentHost().BackgroundSwatch();
    picture.Box(picture.rect, PixelOf(background ? background->GetColor() : clWhite));
  } catch (...) {
    CurrentPicture = previousPicture;
    FreeObject(window);
    throw;
  }
  UDBuffer& picture = window->Picture;
  CurrentPicture = &picture;
  picture.SaveAsRequired = 1;
  picture.FileName = fileName;
  if (fileName.empty()) picture.UntitledNumber = static_cast<int>(UntitledCounter++);
  window->ShowBuf->SetBuffer(&picture);

  const bool activeMaximised = ImgFormCount > 0 && ImageForm && ImageForm->GetWindowState() == wsMaximized;
  window->ListIndex = ImgFormCount;
  // The view shows the current tool's cursor.
  window->ShowBuf->SetCursor(TheDocumentHost().ToolCursor());
  ImgForms[static_cast<std::size_t>(ImgFormCount)] = window;
  ImageForm = window;
  if (activeMaximised) window->SetWindowState(wsMaximized);
  if (Settings.MaxQL) {
    window->SetWindowState(wsMaximized);
    if (tbx::TToolbarX* palette = TheDocumentHost().ToolPalette()) palette->SetDockedTo(window->LeftDock);
  }

  const bool rulers = TheDocumentHost().RulersShown();
  window->TopRuler->SetVisible(rulers);
  window->LeftRuler->SetVisible(rulers);
  SetZoomPosition(window->ZoomIndex);
  FitWindowToImage(window, Settings.FixZoom ? FitZoom::FixedSetting : FitZoom::Fitting);

  TheDocumentHost().ShowBrushMode(*window);
  window->ArrangeStatusBarForLevel(Settings.Level);
  TheDocumentHost().WindowListed(*window);
  ++ImgFormCount;

  MarkPictureChanged();
  picture.ChangeCount = 0;
  if (Settings.AlwaysDock) GatherToolbars(window, GatherWhich::AlsoMainToolbar);
  UpdateDocumentCaption(window);
  window->Show();
  if (TCustomForm* main = TheDocumentHost().MainWindow(); main && main->HandleAllocated())
    PostMessage(main->GetHandle(), UM_DOCOPENED, 0, 0);
  UpdateCaptionColours();
  return window;
}

void RemoveFromDocumentList(TImageForm* window) {
  const int index = window->ListIndex;
  if (index < 0 || index >= ImgFormCount || ImgForms[static_cast<std::size_t>(index)] != window) return;
  for (int i = index; i + 1 < ImgFormCount; ++i) {
    TImageForm* later = ImgForms[static_cast<std::size_t>(i + 1)];
    ImgForms[static_cast<std::size_t>(i)] = later;
    later->ListIndex = i;
  }
  --ImgFormCount;
  ImgForms[static_cast<std::size_t>(ImgFormCount)] = nullptr;
  // No window keeps it as a neighbour; the links are made again at the next activity tick.
  for (int i = 0; i < ImgFormCount; ++i) {
    std::vector<Neighbour>& links = ImgForms[static_cast<std::size_t>(i)]->Neighbours;
    std::erase_if(links, [window](const Neighbour& n) { return n.window == window; });
  }
  WindowsRearranged = true;
}

AnsiString DocumentTitle(const UDBuffer& picture) {
  if (!picture.FileName.empty()) return picture.FileName;
  return LangMessage("Untitled") + " " + IntToStr(picture.UntitledNumber);
}

void UpdateDocumentCaption(TImageForm* window, CaptionMode mode) {
  if (!window) return;
  if (mode == CaptionMode::ByState)
    mode = window->GetWindowState() == wsMinimized ? CaptionMode::Short : CaptionMode::Long;
  const UDBuffer& picture = window->Picture;
  AnsiString caption;
  if (mode == CaptionMode::Short) {
    caption = picture.FileName.empty() ? DocumentTitle(picture) : ExtractFileName(picture.FileName);
  } else {
    const long percent = std::lrint(window->Zoom * 100);  // halves to even, as Round does
    caption = DocumentTitle(picture) + " [" + IntToStr(percent) + "%]";
  }
  window->SetCaption(caption);
}

void MarkPictureChanged() {
  if (!CurrentPicture) return;
  ++CurrentPicture->ChangeCount;
  TheDocumentHost().PictureChanged();
}

std::uint8_t SaveCancelled = 0;

bool QuerySaveChanges(TImageForm* window) {
  SaveCancelled = 0;
  UDBuffer& picture = window->Picture;
  if (picture.ChangeCount == 0) return false;
  const AnsiString text =
      DocumentTitle(picture) + " [" + IntToStr(window->ListIndex + 1) + "] " + LangMessage("Changed");
  // A dialog tool's preview is not the picture: the tool stands aside (its preview taken back)
  // while the question is asked and the picture saved, so the committed picture is what is saved
  // or let go.
  TheDocumentHost().SuspendTool();
  switch (Application()->MessageBox(text, LangMessage("Warn"), MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: {
      bool saved = false;
      {
        ActiveDocumentScope saving(window);
        saved = TheDocumentHost().SaveDocument(*window);
      }
      // A save that failed (its error was shown) or whose dialog was cancelled leaves the
      // changes unsaved: the window stays open.
      if (!saved) SaveCancelled = 1;
      break;
    }
    case IDNO: picture.ChangeCount = 0; break;
    default: SaveCancelled = 1; break;
  }
  TheDocumentHost().ResumeTool();
  return SaveCancelled != 0;
}

namespace {

// A window fitted to a short image would cut off the toolbars docked at its sides (the tool
// palette with its swatches and zoom control): it grows, within the work area, until they show
// whole; the view stays centred in the extra room.
void GrowToDockedToolbars(TImageForm* window) {
  int needed = 0;
  for (tbx::TDockX* dock : {window->LeftDock, window->RightDock})
    for (int i = 0; i < dock->ToolbarCount(); ++i) {
      const TControl* toolbar = dock->Toolbars(i);
      needed = std::max(needed, toolbar->GetTop() + toolbar->GetHeight());
    }
  const int shortBy = needed - window->LeftDock->GetHeight();
  if (shortBy <= 0) return;
  const int height = std::min(window->GetHeight() + shortBy, static_cast<int>(WorkArea.bottom) - window->GetTop());
  if (height > window->GetHeight()) window->SetHeight(height);
}

}  // namespace

void FitWindowToImage(TImageForm* window, FitZoom zoom) {
  UDBuffer& picture = window->Picture;
  if (picture.Empty()) return;
  const int imageWidth = picture.Width();
  const int imageHeight = picture.Height();
  double z = GetZoomFactor();

  // The frame around the scroll box's client area, measured without scroll bars.
  TControlScrollBar* horz = window->MaxSize->GetHorzScrollBar();
  TControlScrollBar* vert = window->MaxSize->GetVertScrollBar();
  horz->SetVisible(false);
  vert->SetVisible(false);
  const int frameHeight = window->GetHeight() - window->MaxSize->GetClientHeight();
  const int frameWidth = window->GetWidth() - window->MaxSize->GetClientWidth();
  horz->SetVisible(true);
  vert->SetVisible(true);

  const bool maximised = window->GetWindowState() == wsMaximized;
  int w, h;
  if (maximised) {
    w = window->MaxSize->GetClientWidth();
    h = window->MaxSize->GetClientHeight();
  } else {
    h = std::max(static_cast<int>(imageHeight * z + 0.5 + frameHeight), kMinFittedHeight);
    h = std::min(h, WorkArea.bottom - window->GetTop());
    w = std::max(static_cast<int>(imageWidth * z + 0.5 + frameWidth), kMinFittedWidth);
    w = std::min(w, WorkArea.right - window->GetLeft());
    w -= frameWidth;
    h -= frameHeight;
  }

  if (zoom == FitZoom::Fitting) {
    z = std::min(static_cast<double>(w) / imageWidth, static_cast<double>(h) / imageHeight);
  } else {
    z = ZoomFactorAt(Settings.FixZoomVal >= 1 ? Settings.FixZoomVal : -std::min(-Settings.FixZoomVal, -MinZoomPosition));
  }
  SetZoomFactor(z);
  z = GetZoomFactor();

  int clientHeight = std::min(h, static_cast<int>(imageHeight * z + 0.5));
  int width = std::min(w, static_cast<int>(imageWidth * z + 0.5)) + frameWidth;
  tbx::TToolbarX* palette = TheDocumentHost().ToolPalette();
  if (window->LeftDock->ToolbarCount() == 0 && palette && palette->GetVisible() && Settings.AlwaysDock)
    width += kDockedPaletteWidth;
  // The mouse's remembered place in the view no longer holds: the zoom anchors on the centre.
  MouseViewPoint.x = -1;
  if (!maximised) {
    window->SetBounds(window->GetLeft(), window->GetTop(), width, clientHeight + frameHeight);
    GrowToDockedToolbars(window);
  }
  ApplyZoom();
}

void ShowTimedStatus(const AnsiString& text, float seconds) {
  const DWORD now = GetTickCount();
  if (ImageForm && !(now <= StatusHoldUntil && seconds == 0)) ImageForm->SetPanelText(spPrompt, text);
  if (seconds != 0) StatusHoldUntil = now + static_cast<DWORD>(std::lround(seconds * 1000));
}

void GatherToolbars(TImageForm* window, GatherWhich which) {
  window->LeftDock->BeginUpdate();
  window->RightDock->BeginUpdate();
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* other = ImgForms[static_cast<std::size_t>(i)];
    if (other == window) continue;
    const std::pair<tbx::TDockX*, tbx::TDockX*> docks[] = {{other->LeftDock, window->LeftDock},
                                                           {other->RightDock, window->RightDock}};
    for (auto [from, to] : docks) {
      std::vector<tbx::TCustomToolWindowX*> bars = from->DockList();
      for (tbx::TCustomToolWindowX* bar : bars) bar->SetDockedTo(to);
    }
  }
  tbx::TToolbarX* palette = TheDocumentHost().ToolPalette();
  if (which == GatherWhich::AlsoMainToolbar && palette && palette->GetVisible() && !palette->GetDockedTo()) {
    palette->SetDockedTo(window->LeftDock);
    palette->SetDockPos(0);
  }
  window->RightDock->EndUpdate();
  window->LeftDock->EndUpdate();
}

void LinkAdjacentWindows() {
  std::vector<WindowPlace> places;
  for (int i = 0; i < ImgFormCount; ++i) places.push_back(ImgForms[static_cast<std::size_t>(i)]->Place());
  const NeighbourLinks links = FindNeighbours(places);
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    window->Neighbours.clear();
    for (const NeighbourLink& link : links[static_cast<std::size_t>(i)])
      window->Neighbours.push_back({link.side, ImgForms[static_cast<std::size_t>(link.window)]});
  }
}

void UpdateCaptionColours() {
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    const bool active = window == ImageForm;
    const TColor start = active ? clActiveCaption : clInactiveCaption;
    const TColor stop = active ? ActiveCaptionEndColor : InactiveCaptionEndColor;
    const TColor text = active ? clCaptionText : clInactiveCaptionText;
    window->SetGradientStartColor(start);
    window->SetGradientStopColor(stop);
    window->SetGradientInactiveStartColor(start);
    window->SetGradientInactiveStopColor(stop);
    window->SetCaptionTextColor(text);
    window->SetInactiveCaptionTextColor(text);
  }
}

bool CloseAllDocuments() {
  for (int i = ImgFormCount - 1; i >= 0; --i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    if (window->Closing()) continue;
    window->Close();
    if (!window->Closing()) return false;
  }
  return true;
}

void CloseUntouchedBlankDocuments() {
  if (ImgFormCount <= 1) return;
  std::vector<TImageForm*> blanks;
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    if (IsUntouchedBlank(window) && !window->Closing()) blanks.push_back(window);
  }
  // Close asks the window's close query, which releases it; nothing releases it again.
  for (TImageForm* window : blanks) window->Close();
}
