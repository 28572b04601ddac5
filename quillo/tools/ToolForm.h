#pragma once
// TToolForm: the floating "Tools" window that stays above the main window and the document
// windows. One page control whose sheets come and go as needed: the colour palette, the
// histogram, the text tool's settings, the grid, the current tool's option bar (the Icon
// sheet), a running plug-in component's options and the brush. The window shows exactly while
// at least one sheet's tab is visible. It hands the keys its controls do not keep to the active
// document, snaps to the work area and the program's windows while dragged and keeps its place
// between runs.

#include <cstdint>

#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Messages.h"

class TBandCaption;

// Component Tag bits that route keys and the user level.
constexpr int TagTakesDigits = 0x2000;    // digits, ".", keypad digits, "+" and "-"
constexpr int TagTakesAllKeys = 0x4000;   // every key not combined with both Ctrl and Alt
constexpr int TagTakesEditKeys = 0x8000;  // arrows, Home, End, PgUp, PgDn, Backspace, Clear, Delete
constexpr int TagExpertOnly = 0x800;      // shown (or expanded) only at the expert level

// Hot-key code bits: the virtual key in the low byte.
constexpr int HotKeyShift = 0x100;
constexpr int HotKeyCtrl = 0x200;
constexpr int HotKeyAlt = 0x400;

// False when a control whose Tag is tag keeps the key (a hot-key code) for itself.
bool KeyGoesToImage(int tag, int key);

class TToolForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TToolForm(TComponent* owner);
  ~TToolForm() override;

  TBandCaption* Cap = nullptr;
  TPageControl* PageControl = nullptr;
  TTabSheet* PaletteSheet = nullptr;
  TTabSheet* HistogramSheet = nullptr;
  TTabSheet* TextSheet = nullptr;
  TTabSheet* GridSheet = nullptr;
  TTabSheet* IconSheet = nullptr;  // the current tool's option bar
  TTabSheet* CompSheet = nullptr;
  TTabSheet* BrushSheet = nullptr;

  // The page control's height less a sheet's: the page control is always made a sheet's
  // content height (its Tag) plus this.
  int FrameHeight = 0;

  // Sets the sheet's tab visibility and its View menu check mark; hides the window when no tab
  // is left. With exactly one tab, or with force, a visible sheet becomes the active page and
  // the window shows.
  void ShowSheet(TTabSheet* sheet, bool visible, bool force);
  // Sizes the window to the active sheet and sets the help context.
  void PageControlChange(TObject* sender);
  // 0 novice: expert-only controls hidden and expert-only groups collapsed; 1 expert.
  void ApplyUserLevel(int level);

  void FormActivate(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void HelpBtnClick(TObject* sender);
  // An option bar group's header was pressed: the group opens or closes and the controls
  // below it follow (defined with the option bars).
  void OptionGroupMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

  void Dispatch(TMessage& message) override;

private:
  void ReadPlace();
  void WritePlace();
};

extern TToolForm* ToolForm;
