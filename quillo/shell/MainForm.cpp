#include "quillo/shell/MainForm.h"

#include <algorithm>
#include <cstdlib>

#include "platform/user/Resources.h"
#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/UpDown.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/components/files/TreeScanner.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/components/toolbars/Dock.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/Zoom.h"
#include "quillo/files/OpenCommands.h"
#include "quillo/shell/MainFormDesktop.h"
#include "quillo/shell/MainMenuTree.h"
#include "quillo/shell/ProgramHost.h"
#include "quillo/plugins/ComponentRun.h"
#include "quillo/shell/ComponentHosting.h"
#include "quillo/shell/StartUp.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/shell/UndoForm.h"
#include "quillo/shell/WindowMenu.h"
#include "quillo/tools/DrawingHelpers.h"

using tbx::TDockX;
using tbx::TToolbarButtonX;
using tbx::TToolbarSepX;
using tbx::TToolbarX;

TMainForm* MainForm = nullptr;

QUILLO_DEFINE_CLASS(TMainForm, TForm)

namespace {

// How close an edge must come to snap: the main window to the work area and the document
// windows, the tool palette to those and to the main window.
constexpr int MainWindowSnap = 4;
constexpr int ToolPaletteSnap = 7;

// The sixteen cursors of the tools, in the screen's cursor table from -59 up.
constexpr const char* ToolCursorNames[] = {"CROSS", "CROSSPLU", "CROSSMIN", "CROSSOK", "FILL",     "HAND",
                                           "MHAND", "ROTATE",   "SPRAY",    "AIRBRUSH", "WAND",     "WANDPLU",
                                           "WANDMIN", "PIPETTE", "OPENHAND", "CLOSHAND"};
constexpr TCursor FirstToolCursor = -59;

// The standard toolbar's buttons in their order; an empty name is a separator. Each command
// the main window carries out itself is given its handler when it is built.
constexpr const char* FuncbarButtons[] = {"NewBtn",    "OpenBtn",  "OpenPrevBtn", "OpenNextBtn", "SaveBtn",
                                          "CloseAllBtn", "",        "PrintBtn",    "AcquireBtn",  "",
                                          "CutBtn",    "CopyBtn",  "PasteBtn",    "PasteAsNewBtn", "DeleteBtn",
                                          "",          "UndoBtn",  "RedoBtn",     "",            "PrefsBtn",
                                          "HelpBtn"};

}  // namespace

TMainForm::TMainForm(TComponent* owner) : TForm(owner) {
  // The lower folders reach the main window through its host, which answers from MainForm.
  InstallProgramHost(true);
  SetName("MainForm");
  SetBorderStyle(bsSingle);
  SetBorderIcons({biSystemMenu, biMinimize, biMaximize});
  SetColor(clBtnFace);
  SetKeyPreview(true);
  SetBounds(0, 0, 640, 80);
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");
  BuildMenus();
  BuildToolbars();
  ConnectEditCommands();
  ConnectNewButton();
  ConnectPrefsButton();
  ConnectDocumentButtons();
  ConnectPrintButtons();
  ConnectColourSwatches();
  BuildTimers();
  AssignSkinTags();
  TreeScanner = NewNamedComponent<TTreeScanner>(this, "TreeScanner");
  // File > Open, the folder's previous and next image and the recent files.
  ConnectOpenCommands();
  OnCloseQuery = [this](TObject* sender, bool& canClose) { ShutDownRequest(sender, canClose); };
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { HotKeys(sender, key, shift); };
  OnKeyUp = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyUp(sender, key, shift); };

  HookApplication();
  RegisterCursors();
  closing_ = false;
  activitySeen_ = false;
}

TMainForm::~TMainForm() {
  TApplication* app = Application();
  app->OnMinimize = nullptr;
  app->OnActivate = nullptr;
  app->OnDeactivate = nullptr;
  // The palette's buttons went with the window's components; the tools must not keep them.
  ClearPalette(false);
  if (MainForm == this) MainForm = nullptr;
  if (MainForm == nullptr) InstallProgramHost(false);
}

void TMainForm::BuildMenus() {
  MainMenu1 = NewNamedComponent<TMainMenu>(this, "MainMenu1");
  std::vector<TMenuItem*> parents{MainMenu1->GetItems()};
  for (const MainMenuEntry& entry : MainMenuTree()) {
    auto* item = NewNamedComponent<TMenuItem>(this, entry.name);
    parents.resize(static_cast<std::size_t>(entry.depth) + 1);
    parents.back()->Add(item);
    parents.push_back(item);
    if (entry.separator) item->SetCaption(cLineCaption);
    item->SetShortCut(entry.shortCut);
    if (entry.radioGroup) {
      item->SetRadioItem(true);
      item->SetGroupIndex(static_cast<std::uint8_t>(entry.radioGroup));
    }
  }
  WindowMenu = MenuItemNamed("WindowMenu");
  Image1 = MenuItemNamed("Image1");
  ToolbarVisib = MenuItemNamed("ToolbarVisib");
  StdFuncVisib = MenuItemNamed("StdFuncVisib");
  RulersVisib = MenuItemNamed("RulersVisib");
  PaletteVisib = MenuItemNamed("PaletteVisib");
  BrushVisib = MenuItemNamed("BrushVisib");
  HistVisib = MenuItemNamed("HistVisib");
  RulersVisib->SetChecked(true);
  MenuItemNamed("Center1")->SetChecked(true);

  MenuItemNamed("Exit1")->OnClick = [this](TObject* sender) { Exit1Click(sender); };
  MenuItemNamed("FitToImage1")->OnClick = [this](TObject* sender) { FitToImage1Click(sender); };
  ToolbarVisib->OnClick = [this](TObject* sender) { ToolbarVisibClick(sender); };
  StdFuncVisib->OnClick = [this](TObject* sender) { StdFuncVisibClick(sender); };
  ConnectDocumentCommands();
  ConnectUndoCommands();
  ConnectNewCommand();
  ConnectOptionsCommands();
  ConnectPrefsCommand();
  ConnectHelpCommands();
  ConnectBrushCommands();
  ConnectBatchCommands();
  ConnectDesktopCommands(this);
  ConnectFilterCommands();
  ConnectPrintCommands();

  // An item works when its command is built: a submenu, or an item with a handler.
  for (const MainMenuEntry& entry : MainMenuTree()) {
    TMenuItem* item = MenuItemNamed(entry.name);
    if (!entry.separator) item->SetEnabled(entry.works && (item->Count() > 0 || item->OnClick != nullptr));
  }
  SetMenu(MainMenu1);

  MRUFileList1 = NewNamedComponent<TMRUFileList>(this, "MRUFileList1");
  MRUFileList1->AutoSaveName = "\\Software\\Dornick\\QL";
  MRUFileList1->AutoSaveKey = "MRU Items";
  MRUFileList1->SetFileMenu(MenuItemNamed("File1"));
}

TMenuItem* TMainForm::MenuItemNamed(const AnsiString& name) const {
  return dynamic_cast<TMenuItem*>(FindComponent(name));
}

void TMainForm::BuildToolbars() {
  FuncDock = NewNamedComponent<TDockX>(this, "FuncDock");
  FuncDock->SetPosition(tbx::dpTop);
  FuncDock->SetParent(this);

  Funcbar = NewNamedComponent<TToolbarX>(this, "Funcbar");
  Funcbar->SetCloseButton(false);
  for (const char* name : FuncbarButtons) {
    if (!*name) {
      NewComponent<TToolbarSepX>(this)->SetParent(Funcbar);
      continue;
    }
    auto* button = NewNamedComponent<TToolbarButtonX>(this, name);
    button->SetWidth(24);
    button->SetHeight(24);
    button->SetShowHint(true);
    button->SetEnabled(false);
    button->SetParent(Funcbar);
  }
  UndoBtn = dynamic_cast<TToolbarButtonX*>(FindComponent("UndoBtn"));
  RedoBtn = dynamic_cast<TToolbarButtonX*>(FindComponent("RedoBtn"));
  ConnectUndoButtons();
  Funcbar->SetDockedTo(FuncDock);

  // The tool palette: the palette buttons, the two colour swatches and the zoom control.
  Toolbar = NewNamedComponent<TToolbarX>(this, "Toolbar");
  Toolbar->SetCloseButton(true);
  Toolbar->OnClose = [this](TObject* sender) { ToolbarClose(sender); };
  ToolPanel = NewNamedComponent<TPanel>(this, "ToolPanel");
  ToolPanel->SetBevelOuter(bvNone);
  ToolPanel->SetBounds(0, 0, 56, 2);
  ToolPanel->SetParent(Toolbar);
  auto pressed = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    ToolbarMouseDown(sender, button, shift, x, y);
  };
  Toolbar->OnMouseDown = pressed;
  ToolPanel->OnMouseDown = pressed;

  auto* colours = NewNamedComponent<TPanel>(this, "ColorPanel");
  colours->SetBevelOuter(bvNone);
  colours->SetBounds(0, 0, 56, 44);
  colours->SetParent(Toolbar);
  BackCol = NewNamedComponent<TPanel>(this, "BackCol");
  BackCol->SetBevelOuter(bvLowered);
  BackCol->SetBounds(22, 16, 28, 26);
  BackCol->SetColor(clWhite);
  BackCol->SetShowHint(true);
  BackCol->SetParent(colours);
  DrawCol = NewNamedComponent<TPanel>(this, "DrawCol");
  DrawCol->SetBevelOuter(bvLowered);
  DrawCol->SetBounds(4, 4, 28, 26);
  DrawCol->SetColor(clBlack);
  DrawCol->SetShowHint(true);
  DrawCol->SetParent(colours);

  auto* zoomPanel = NewNamedComponent<TPanel>(this, "ZoomPanel");
  zoomPanel->SetBevelOuter(bvNone);
  zoomPanel->SetBounds(0, 0, 56, 26);
  zoomPanel->SetParent(Toolbar);
  ZoomLabel = NewNamedComponent<TLabel>(this, "ZoomLabel");
  ZoomLabel->SetAlignment(taCenter);
  ZoomLabel->SetBounds(2, 6, 34, 16);
  ZoomLabel->SetParent(zoomPanel);
  Zoom = NewNamedComponent<TUpDown>(this, "Zoom");
  Zoom->SetMin(-8);
  Zoom->SetMax(32);
  Zoom->SetPosition(1);
  Zoom->OnClick = ZoomClick;
  Zoom->SetBounds(38, 1, 16, 24);
  Zoom->SetParent(zoomPanel);

  Toolbar->SetFloatingWidth(56);
  Toolbar->SetFloatingPosition(TPoint(4, 120));
  Toolbar->SetDockedTo(nullptr);
  // The floating palette's window is made anew each time it floats again.
  Toolbar->OnVisibleChanged = [this](TObject*) { WatchToolPaletteMoves(); };
  Toolbar->OnDockChanged = [this](TObject*) { WatchToolPaletteMoves(); };
  WatchToolPaletteMoves();
}

void TMainForm::Loaded() {
  TForm::Loaded();
  // A loaded toolbar orders its controls by where they stand, which tells nothing here: the
  // palette buttons first, then the swatches and the zoom control.
  int index = 0;
  for (const char* name : {"ToolPanel", "ColorPanel", "ZoomPanel"})
    Toolbar->SetOrderIndex(dynamic_cast<TControl*>(FindComponent(name)), index++);
}

void TMainForm::BuildTimers() {
  ExTimerList = NewNamedComponent<TExTimerList>(this, "ExTimerList");
  auto timer = [this](const char* name, int interval, bool enabled, bool cycled, TNotifyEvent onTimer) {
    auto* t = NewNamedComponent<TExTimerEvent>(this, name);
    t->SetInterval(interval);
    t->SetCycled(cycled);
    t->SetEnabled(enabled);
    t->OnTimer = std::move(onTimer);
    t->SetParentList(ExTimerList);
    return t;
  };
  // The icon panel opens on a long press on a palette group.
  IconTimer = timer("IconTimer", 500, false, true, [this](TObject* sender) { ShowIconPanel(sender); });
  DragTimer = timer("DragTimer", 100, false, true, [this](TObject* sender) { DragIsSure(sender); });
  ActivityTimer = timer("ActivityTimer", 50, true, true, [this](TObject* sender) { ActivateIconFunc(sender); });
  ImageChangeTimer =
      timer("ImageChangeTimer", 100, false, false, [this](TObject* sender) { ImageChangeTimerTick(sender); });
  ExTimerList->SetActive(true);
}

void TMainForm::HookApplication() {
  TApplication* app = Application();
  app->OnMinimize = [this](TObject* sender) { AppMinimize(sender); };
  app->OnDeactivate = [this](TObject* sender) { AppDeactivate(sender); };
  app->OnActivate = [this](TObject* sender) { AppActivate(sender); };
}

void TMainForm::RegisterCursors() {
  TCursor index = FirstToolCursor;
  for (const char* name : ToolCursorNames) Screen()->SetCursors(index++, LoadCursor(HInstance(), name));
}

// The program's own module: its cursors are among its resources.
HINSTANCE TMainForm::HInstance() { return ProgramModule(); }

void TMainForm::AdjustToolPanelSize() {
  SetClientHeight(FuncDock->GetVisible() ? FuncDock->GetHeight() : 0);
  if (GetWindowState() == wsMaximized) return;
  int width = static_cast<int>(GetTag());
  for (int i = 0; i < Funcbar->ControlCount(); ++i) {
    TControl* control = Funcbar->Controls(i);
    // The button's right edge in the window's client area, past the toolbar's drag handle.
    if (dynamic_cast<TToolbarButtonX*>(control))
      width = std::max(width, ScreenToClient(control->ClientToScreen(TPoint(control->GetWidth(), 0))).x + 4);
  }
  // The toolbar's frame may not be laid out yet (its buttons then lie a handle's width too far
  // left): its outer right edge counts too.
  if (Funcbar->GetParent() == FuncDock)
    width = std::max(width, ScreenToClient(FuncDock->ClientToScreen(TPoint(Funcbar->GetLeft() + Funcbar->GetWidth(), 0))).x + 2);
  SetClientWidth(width);
}

void TMainForm::ClosePopupForms() {
  CloseUndoForm();
  CloseIconPanel();
}

void TMainForm::ToolbarMouseDown(TObject*, TMouseButton, TShiftState, int, int) { ClosePopupForms(); }

void TMainForm::ShutDownRequest(TObject* sender, bool& canClose) {
  (void)sender;
  CloseDown(this, canClose);
}

void TMainForm::Exit1Click(TObject*) { Close(); }

void TMainForm::ToolbarVisibClick(TObject*) {
  const bool show = !Toolbar->GetVisible();
  // It floats from the main window again even after it was docked in a document window.
  if (Toolbar->GetDockedTo() && Toolbar->GetDockedTo()->Owner() != this) Toolbar->SetDockedTo(nullptr);
  Toolbar->SetVisible(show);
  ToolbarVisib->SetChecked(show);
}

void TMainForm::StdFuncVisibClick(TObject*) {
  const bool show = !Funcbar->GetVisible();
  FuncDock->SetVisible(show);
  Funcbar->SetVisible(show);
  StdFuncVisib->SetChecked(show);
  AdjustToolPanelSize();
}

void TMainForm::DragIsSure(TObject*) { DragTimer->SetEnabled(false); }

void TMainForm::ImageChangeTimerTick(TObject*) { ImageChangeTimer->SetEnabled(false); }

void TMainForm::ActivateIconFunc(TObject*) {
  activitySeen_ = true;
  outlineTick_ = !outlineTick_;
  ActivityOnDocuments();
  UpdateUndoItems();
}

void TMainForm::AppMinimize(TObject*) { HideDocumentWindows(); }

void TMainForm::AppDeactivate(TObject*) {
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
  Cap->SetInactiveBeginColor(clInactiveCaption);
  PaintActiveDocumentCaption(false);
  AppInactive = 1;
}

void TMainForm::AppActivate(TObject*) {
  AppInactive = 0;
  // The main caption looks active while any window of the program is.
  Cap->SetActiveBeginColor(clActiveCaption);
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveBeginColor(clActiveCaption);
  Cap->SetInactiveEndColor(ActiveCaptionEndColor);
  PaintActiveDocumentCaption(true);
}

void TMainForm::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(message); break;
    case WM_MOVING: WMMoving(message); break;
    case WM_MOUSEWHEEL: WMMouseWheel(message); return;
    case WM_DISPLAYCHANGE: case WM_SETTINGCHANGE:
      // The screen changed: maximised windows and new places follow the new work area.
      SystemParametersInfo(SPI_GETWORKAREA, 0, &WorkArea, 0);
      break;
    case WM_INITMENU:
      // A command chosen from the menu, by the mouse or a key, reads the picture without the
      // brush outline that follows the pointer.
      WithdrawToolFeedback();
      break;
    case UM_SHOWTIP:
      Show();
      Tod1Click(this);
      return;
    case UM_BROWSEEFFECTS: BrowseEffects(reinterpret_cast<TMenuItem*>(message.LParam)); return;
    case UM_LASTDOCCLOSED: UMLastDocClosed(message); return;
    case UM_DOCOPENED: UMDocOpened(message); return;
    case CM_SHOWINGCHANGED:
      // The floating palette looks at its form's visibility only when the application is
      // activated; start-up's document window has done that before this window shows.
      TForm::Dispatch(message);
      Toolbar->UpdateVisibility();
      return;
    default:
      if (message.Msg >= UM_COMPONENTFIRST && message.Msg <= UM_COMPONENTLAST) {
        message.Result = ComponentRequest(message.Msg, message.WParam, message.LParam);
        return;
      }
      break;
  }
  TForm::Dispatch(message);
}

void TMainForm::WMGetMinMaxInfo(TMessage& message) {
  // Maximising stretches the bar across the work area and keeps its height.
  auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
  info->ptMaxPosition = POINT{WorkArea.left - 4, WorkArea.top - 3};
  info->ptMaxSize = POINT{WorkArea.Width() + 10, GetHeight()};
}

void TMainForm::WMMoving(TMessage& message) {
  auto* r = reinterpret_cast<RECT*>(message.LParam);
  const int w = r->right - r->left, h = r->bottom - r->top;
  if (r->left - WorkArea.left < MainWindowSnap) {
    r->left = WorkArea.left;
    r->right = r->left + w;
  } else if (r->right > WorkArea.right - MainWindowSnap) {
    r->right = WorkArea.right;
    r->left = r->right - w;
  }
  if (r->top - WorkArea.top < MainWindowSnap) {
    r->top = WorkArea.top;
    r->bottom = r->top + h;
  } else if (r->bottom > WorkArea.bottom - MainWindowSnap) {
    r->bottom = WorkArea.bottom;
    r->top = r->bottom - h;
  }
  for (const TRect& document : DocumentWindowRects()) {
    if (std::abs(r->bottom - document.top) < MainWindowSnap) {
      r->bottom = document.top;
      r->top = r->bottom - h;
      break;
    }
  }
}

void TMainForm::WatchToolPaletteMoves() {
  TForm* floating = Toolbar->FloatingParent();
  if (!floating) watchedFloatingParent_ = nullptr;  // docked: its floating window is gone
  if (!floating || floating == watchedFloatingParent_) return;
  watchedFloatingParent_ = floating;
  TWndMethod previous = floating->WindowProc;
  floating->WindowProc = [this, previous](TMessage& m) {
    previous(m);
    if (m.Msg == WM_MOVE) ToolPanelMove(Toolbar);
  };
}

void TMainForm::ToolPanelMove(TObject*) {
  if (snappingToolbar_ || !Toolbar->Floating()) return;
  snappingToolbar_ = true;
  const TRect at = Toolbar->ScreenRect();
  const int x = at.left, y = at.top, w = at.Width(), h = at.Height();
  int left = x, top = y;
  if (x - WorkArea.left < ToolPaletteSnap) left = WorkArea.left;
  else if (x + w - 1 > WorkArea.right - ToolPaletteSnap) left = WorkArea.right - w;
  if (y - WorkArea.top < ToolPaletteSnap) top = WorkArea.top;
  else if (y + h - 1 > WorkArea.bottom - ToolPaletteSnap) top = WorkArea.bottom - h;
  const int mainBottom = GetTop() + GetHeight() - 1;
  if (std::abs(y - mainBottom) < ToolPaletteSnap) top = mainBottom;
  for (const TRect& d : DocumentWindowRects()) {
    const int right = d.right - 1, bottom = d.bottom;
    if (std::abs(x - right) < ToolPaletteSnap) left = right + 1;
    else if (std::abs(x + w - 1 - d.left) < ToolPaletteSnap) left = d.left - w;
    if (std::abs(y - (bottom - 1)) < ToolPaletteSnap) top = bottom;
    else if (std::abs(y + h - 1 - d.top) < ToolPaletteSnap) top = d.top - h;
  }
  if (left != x || top != y) Toolbar->MoveFloatingTo(TPoint(left, top));
  snappingToolbar_ = false;
}
