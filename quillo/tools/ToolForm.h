#pragma once
// TToolForm: the floating "Tools" window that stays above the main window and the document
// windows. One page control whose sheets come and go as needed: the colour palette, the
// histogram, the text tool's settings, the grid, the current tool's option bar (the Icon
// sheet), a running plug-in component's options and the brush. The window shows exactly while
// at least one sheet's tab is visible. It hands the keys its controls do not keep to the active
// document, snaps to the work area and the program's windows while dragged and keeps its place
// between runs.

#include <cstdint>
#include <vector>

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

// The hot-key code of a key event: the virtual key with the modifier bits above it.
inline int HotKeyCode(WORD key, TShiftState shift) {
  return key | (shift.Contains(ssShift) ? HotKeyShift : 0) | (shift.Contains(ssCtrl) ? HotKeyCtrl : 0) |
         (shift.Contains(ssAlt) ? HotKeyAlt : 0);
}

// False when a control whose Tag is tag keeps the key (a hot-key code) for itself.
bool KeyGoesToImage(int tag, int key);

// The registry key (under the current user) that keeps the window's place.
inline constexpr const char* ToolFormRegistryKey = "Software\\Dornick\\QL\\ToolForm";

// Help topics of the sheets.
constexpr int PaletteSheetHelp = 1030;
constexpr int HistogramSheetHelp = 1080;
constexpr int BrushSheetHelp = 2000;
constexpr int TextSheetHelp = 3100;

// Where the dragged window goes: the proposed rectangle, its size kept, with its edges snapped
// to the work area, then to the main window's last row, then to each document window in turn;
// a later rule overrides an earlier one.
TRect SnapToolFormRect(const TRect& proposed, const TRect& workArea, const TRect* mainWindow,
                       const std::vector<TRect>& documents);

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
  // The item index of the histogram's channel list, kept in the registry with the place.
  int Channel = 0;

  // Sets the sheet's tab visibility and its View menu check mark; hides the window when no tab
  // is left. With exactly one tab, or with force, a visible sheet becomes the active page and
  // the window shows.
  void ShowSheet(TTabSheet* sheet, bool visible, bool force);
  // Sizes the window to the active sheet and sets the help context.
  void PageControlChange(TObject* sender);
  // 0 novice: expert-only controls hidden and expert-only groups collapsed; 1 expert.
  void ApplyUserLevel(int level);
  // The sheet's content height: the lowest bottom edge of its own controls plus 2.
  static int ContentHeight(TTabSheet* sheet);

  void FormActivate(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void HelpBtnClick(TObject* sender);
  // An option bar group's header was pressed: the group opens or closes and the controls
  // below it follow (defined with the option bars).
  void OptionGroupMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

  void Dispatch(TMessage& message) override;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  void BuildSheets();
  void ReadPlace();
  void KeepReachable(int& left, int& top) const;
  void WritePlace();
  void SnapWhileMoving(RECT& proposed);
  void CompSheetKey(WORD& key);
  void RemoveRunTimeCompControls();

  // The focused control while its key is with the document; null once the control is freed.
  TComponent* keyControl_ = nullptr;
};

extern TToolForm* ToolForm;
