#pragma once
// TMainForm: the program's main window, a bar at the top of the desktop holding the whole
// main menu, the standard toolbar Funcbar in its dock FuncDock, the floating tool palette
// Toolbar with the palette buttons (ToolPanel), the two colour swatches and the zoom control,
// and the four timers of one timer list. It takes the keyboard first, keeps the
// application-wide activation colours and runs the private messages by which other parts
// defer work to the message loop.

#include <cstdint>
#include <vector>

#include "platform/vcl/Color.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Messages.h"
#include "platform/vcl/Types.h"
#include "quillo/base/ProgramMessages.h"
#include "quillo/base/ScreenLayout.h"

class TBandCaption;
class TColorBox;
class TExTimerEvent;
class TExTimerList;
class TLabel;
class TMainMenu;
class TMenuItem;
class TMRUFileList;
class TPanel;
class TPopupMenu;
class TTreeScanner;
class TUpDown;
namespace tbx {
class TDockX;
class TToolbarButtonX;
class TToolbarX;
}  // namespace tbx

class TPrinterSetupDialog;
class TMainForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TMainForm(TComponent* owner);
  ~TMainForm() override;

  // Published components other parts use (owned by the form, named as they are here).
  TMainMenu* MainMenu1 = nullptr;
  TBandCaption* Cap = nullptr;
  tbx::TDockX* FuncDock = nullptr;
  tbx::TToolbarX* Funcbar = nullptr;
  tbx::TToolbarX* Toolbar = nullptr;
  TPanel* ToolPanel = nullptr;
  TPanel* DrawCol = nullptr;  // left mouse button's colour (Color)
  TPanel* BackCol = nullptr;  // right mouse button's colour (Color)
  TUpDown* Zoom = nullptr;    // Min -8, Max 32, Position 1
  TLabel* ZoomLabel = nullptr;
  tbx::TToolbarButtonX* UndoBtn = nullptr;
  tbx::TToolbarButtonX* RedoBtn = nullptr;
  TPopupMenu* DummyPopup = nullptr;  // the Undo and Redo buttons' drop-down: opens no menu
  TColorBox* ColorBox = nullptr;  // the colour dialog of the swatches and the colour keys
  TExTimerList* ExTimerList = nullptr;
  TExTimerEvent* IconTimer = nullptr;         // 500 ms, off at load
  TExTimerEvent* DragTimer = nullptr;         // armed by the document window
  TExTimerEvent* ActivityTimer = nullptr;     // 50 ms, always on
  TExTimerEvent* ImageChangeTimer = nullptr;  // 100 ms, one shot, off at load
  TTreeScanner* TreeScanner = nullptr;
  TMRUFileList* MRUFileList1 = nullptr;
  TMenuItem* WindowMenu = nullptr;
  TMenuItem* Image1 = nullptr;  // receives the filter plug-in submenu
  // View menu check marks.
  TMenuItem* ToolbarVisib = nullptr;
  TMenuItem* StdFuncVisib = nullptr;
  TMenuItem* RulersVisib = nullptr;
  TMenuItem* PaletteVisib = nullptr;
  TMenuItem* BrushVisib = nullptr;
  TMenuItem* HistVisib = nullptr;

  // The size File > New proposes.
  TPoint LastImageSize{BlankDocumentWidth, BlankDocumentHeight};

  // Set by the close query once the program is going: a late UM_LASTDOCCLOSED then makes no
  // blank document.
  bool Closing() const { return closing_; }
  // An activity tick has run since the window was made.
  bool ActivitySeen() const { return activitySeen_; }

  // The menu item of this name anywhere in the main menu; null when there is none.
  TMenuItem* MenuItemNamed(const AnsiString& name) const;

  // Client height to the dock's, width to the wider of the start-up width (Tag) and the
  // standard toolbar's buttons.
  void AdjustToolPanelSize();
  // Closes the undo-history drop-down and the icon panel when they are open.
  void ClosePopupForms();
  // Makes the blank 384 x 288 start document, shown and fitted; false when none was made.
  // The window's own failures (too many documents, no memory) propagate.
  bool OpenBlankDocument();

  // Handlers.
  void ShutDownRequest(TObject* sender, bool& canClose);
  void Exit1Click(TObject* sender);
  void ActivateIconFunc(TObject* sender);
  void DragIsSure(TObject* sender);
  void ImageChangeTimerTick(TObject* sender);
  void HotKeys(TObject* sender, WORD& key, TShiftState shift);
  void FormKeyUp(TObject* sender, WORD& key, TShiftState shift);
  void FitToImage1Click(TObject* sender);
  void ToolPanelMove(TObject* sender);
  // A press on the tool palette's own surface closes the drop-downs.
  void ToolbarMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ToolbarVisibClick(TObject* sender);
  void StdFuncVisibClick(TObject* sender);
  // Edit/Undo and Edit/Redo (also Ctrl+Z and the Undo and Redo buttons) on the active
  // picture, and their captions and enabling from its history (MainFormUndo.cpp).
  void Undo1Click(TObject* sender);
  void Redo1Click(TObject* sender);
  void UpdateUndoItems();
  // The Undo and Redo buttons' hints name the step they would take; their drop-down part
  // lists the history (MainFormUndo.cpp, the list itself in UndoForm).
  void UndoBtnMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void RedoBtnMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void DummyPopupPopup(TObject* sender);

  // File/New: the size asked for, then a blank document of it (MainFormNew.cpp).
  void New1Click(TObject* sender);

  // The Options menu (MainFormOptions.cpp).
  void ToolbarClose(TObject* sender);
  void RulersVisibClick(TObject* sender);
  void PaletteVisibClick(TObject* sender);
  void BrushVisibClick(TObject* sender);
  void HistVisibClick(TObject* sender);
  void Paint1Click(TObject* sender);
  void Color1Click(TObject* sender);
  void Replace1Click(TObject* sender);

  // The colour swatches (MainFormColours.cpp). A press on a swatch opens the colour dialog for
  // it, previewing every change; ColorBoxChange takes a colour into the target swatch when
  // apply is set, then rebuilds the brush and refreshes the tool.
  void ActivateColorSel(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ColorBoxChange(TObject* sender, bool apply, TColor colour);

  // The Brush menu (MainFormBrush.cpp): the undo captions as it opens, the hot spot's check
  // mark, the brush as a new image and the drop-shadow dialog; the other items call the brush
  // commands themselves.
  void Brush1Click(TObject* sender);
  void Handle1Click(TObject* sender);
  void Conv2Image1Click(TObject* sender);
  void DropShadow1Click(TObject* sender);

  // Options > Preferences and the preferences button (MainFormPrefs.cpp).
  void PrefsMenuClick(TObject* sender);

  // The handlers of the tools' option bars (MainFormTools.cpp): a changed line, curve or dot
  // option shows the tool's feedback anew.
  void LineParamChange(TObject* sender);
  // The fill bars: the shade box sets the current fill's shade, the tile-origin list the
  // pattern's origin, and the origin button chooses the fill-origin tool.
  void FillBarFlagChange(TObject* sender);
  void FillPosModeChange(TObject* sender);
  void SetFillOrigin(TObject* sender);
  void ResizeSprayClick(TObject* sender);

  // The Help menu and the full-screen preview (MainFormHelp.cpp).
  void About1Click(TObject* sender);
  void HomepageClick(TObject* sender);
  void Tod1Click(TObject* sender);
  void Preview1Click(TObject* sender);

  // File > Batch Convert and Image > Information (MainFormBatch.cpp).
  void BatchConvert1Click(TObject* sender);
  void Info1Click(TObject* sender);

  // Image > Custom Filter (MainFormFilters.cpp).
  void CustomFilter1Click(TObject* sender);
  void FilterFactory1Click(TObject* sender);
  // File > Print, Printer Setup, Select Source and Acquire, with their toolbar buttons
  // (MainFormPrint.cpp). The scanner commands work when a scanner service is there.
  void Print1Click(TObject* sender);
  void PrinterSetup1Click(TObject* sender);
  void SelectSource1Click(TObject* sender);
  void Acquire1Click(TObject* sender);
  void ConnectPrintCommands();
  void ConnectPrintButtons();  // once the standard toolbar exists
  void EnableScannerCommands(bool available);
  TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;

  // The Edit menu and its standard-toolbar buttons, undo and redo aside (MainFormEdit.cpp).
  // A null sender is an internal call: Copy and Delete then leave the tool suspension to
  // their caller, and Paste puts the picture at 0, 0 without selecting it.
  void Edit1Click(TObject* sender);
  void ClearSel1Click(TObject* sender);
  void InvertSel1Click(TObject* sender);
  void Copy1Click(TObject* sender);
  void Cut1Click(TObject* sender);
  void Delete1Click(TObject* sender);
  void Paste1Click(TObject* sender);
  void PasteAsNew1Click(TObject* sender);
  void ConnectEditCommands();

  // The tool palette's group buttons and the icon panel (MainFormPalette.cpp). A press starts
  // IconTimer on a group of several tools; its tick opens the group's icon panel beside the
  // button. A click selects the group's shown tool.
  void IconMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void IconMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void IconMouseClick(TObject* sender);
  void ShowIconPanel(TObject* sender);
  void CloseIconPanel();

  void Dispatch(TMessage& message) override;

protected:
  void Loaded() override;

private:
  void BuildMenus();
  void BuildToolbars();
  void BuildTimers();
  void HookApplication();
  void RegisterCursors();
  void AppMinimize(TObject* sender);
  void AppDeactivate(TObject* sender);
  void AppActivate(TObject* sender);
  void WMGetMinMaxInfo(TMessage& message);
  void WMMoving(TMessage& message);
  void WMMouseWheel(TMessage& message);
  void UMLastDocClosed(TMessage& message);
  void UMDocOpened(TMessage& message);
  void WatchToolPaletteMoves();
  static HINSTANCE HInstance();
  // What the main window does with the open documents (MainFormDocuments.cpp).
  void ConnectDocumentCommands();
  void ConnectDocumentButtons();  // once the standard toolbar exists
  // The Open items and buttons and the recent-files list (MainFormOpen.cpp).
  void ConnectOpenCommands();
  void ConnectUndoCommands();     // MainFormUndo.cpp
  void ConnectUndoButtons();      // MainFormUndo.cpp: clicks, hints and the drop-down part
  void ConnectNewCommand();       // MainFormNew.cpp
  void ConnectNewButton();        // MainFormNew.cpp, once the standard toolbar exists
  void ConnectOptionsCommands();  // MainFormOptions.cpp
  void ConnectPrefsCommand();     // MainFormPrefs.cpp
  void ConnectPrefsButton();      // MainFormPrefs.cpp, once the standard toolbar exists
  void ConnectHelpCommands();     // MainFormHelp.cpp
  void ConnectBrushCommands();    // MainFormBrush.cpp
  void ConnectBatchCommands();    // MainFormBatch.cpp
  void ConnectFilterCommands();   // MainFormFilters.cpp
  void ConnectColourSwatches();   // MainFormColours.cpp
  void ActivityOnDocuments();
  void ShowPolygonClosingCursor();
  void HideDocumentWindows();
  void PaintActiveDocumentCaption(bool active);
  std::vector<TRect> DocumentWindowRects() const;
  // Skins (MainFormSkin.cpp): the glyph indexes of the standard toolbar's buttons and of the
  // menu items that show an icon.
  void AssignSkinTags();

  bool closing_ = false;
  bool activitySeen_ = false;
  bool outlineTick_ = false;
  bool snappingToolbar_ = false;
  TForm* watchedFloatingParent_ = nullptr;
  friend void StartUp(TMainForm* form);
  friend void CloseDown(TMainForm* form, bool& canClose);
};

extern TMainForm* MainForm;

// Every document window's instant-brush button pressed exactly when Settings.InstBrush is on;
// turning it on with clearSelection also deselects the active picture (MainFormOptions.cpp).
void ApplyInstBrushSetting(bool clearSelection);
// After a change of language: the main window as wide as its translated menu bar, the
// document windows' captions and instant-brush hints, the palette's hints, the help file, and
// the current tool again (MainFormPrefs.cpp).
void RetranslateMainWindow(TMainForm* form);
// The main window's width as a bar: its menu bar's items, or the standard toolbar's buttons
// when they reach further, with room to spare.
int MainWindowBarWidth(TMainForm* form);
