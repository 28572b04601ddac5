#pragma once
// TToolForm: the floating "Tools" window that stays above the main window and the document
// windows. One page control whose sheets come and go as needed: the colour palette, the
// histogram, the text tool's settings, the grid, the current tool's option bar (the Icon
// sheet), a running plug-in component's options and the brush. The window shows exactly while
// at least one sheet's tab is visible. It hands the keys its controls do not keep to the active
// document, snaps to the work area and the program's windows while dragged and keeps its place
// between runs.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Messages.h"
#include "quillo/tools/Histogram.h"
#include "vorlen/core/Buffer.h"

class TBandCaption;
class TComboBox;
class TExSpinEdit;
class TFont;
class TImage;
class TBuffer;
class TButton;
class TCheckBox;
class TLabel;
class TMemo;
class TPanel;
class TPopupMenu;
class TXPanel;
class TScrollBar;
class TSpeedButton;

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

// True when a focused control keeps the key (a hot-key code): the keys its Tag claims, and in
// an edit field the keys every edit field works with (caret movement, deleting, select all,
// copy, cut, paste, undo), whatever its Tag.
bool FocusedControlKeepsKey(const TWinControl& control, int key);

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

  // The Palette sheet (PaletteSheet.cpp): the grid of PaletteColors, 16 columns of 16 cells of
  // 10 x 10 pixels filled column by column, and its file buttons.
  TBuffer* PalHolder = nullptr;
  TButton* LoadPaletteBtn = nullptr;
  TButton* SavePaletteBtn = nullptr;
  TButton* LimitColorsBtn = nullptr;
  TButton* PaletteHelpBtn = nullptr;
  // Cell i := c, drawn with its marks: a frame where c is the background colour, an X where
  // it is the drawing colour, white on dark cells and black on light ones.
  void DrawPaletteCell(int i, std::uint32_t c);
  // Every cell anew (the marks follow the swatches).
  void DrawPalette();
  // With defaults the built-in palette first; then the grid is made and drawn.
  void SetPalette(bool defaults);
  // Loads a palette file into the grid; "ErrOpenPal" and false when it cannot be read (the
  // palette then stays as it was).
  bool LoadPalette(const AnsiString& fileName);
  // Writes the palette in the text form, replacing the file in one step; "ErrSavePal" and
  // false when it cannot be written (the old file then stays).
  bool SavePalette(const AnsiString& fileName);
  void LoadPaletteClick(TObject* sender);
  void SavePaletteClick(TObject* sender);
  void LimitColorsClick(TObject* sender);
  void PaletteHolderMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void PaletteHolderMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void PaletteHolderMouseLeave(TObject* sender);

  // The Brush sheet (BrushSheet.cpp): the factory brush's size, hardness and shape, the
  // transparency every brush is stamped with, the factory or custom shape, brush files and
  // the preview.
  TScrollBar* BrSize = nullptr;
  TScrollBar* BrHardness = nullptr;
  TScrollBar* BrTransp = nullptr;
  TLabel* BrSizeVal = nullptr;
  TLabel* BrHardnessVal = nullptr;
  TLabel* BrTranspVal = nullptr;
  TSpeedButton* BrCircShape = nullptr;
  TSpeedButton* BrRectShape = nullptr;
  TCheckBox* FactoryShapeRB = nullptr;
  TCheckBox* CustomShapeRB = nullptr;
  TButton* BrOpenBtn = nullptr;
  TButton* BrSaveBtn = nullptr;
  TBuffer* BrPrevHolder = nullptr;
  // The one place that rebuilds the stamped brush: the factory brush anew while "Factory
  // Shape" is checked, else (with a sender) BrushShape re-derived from Brush; then the preview.
  void CreateBrushShape(TObject* sender);
  void ShapeChangeClick(TObject* sender);
  void BrSizeChange(TObject* sender);
  void BrHardnessChange(TObject* sender);
  void BrTranspChange(TObject* sender);
  void BrOpenBtnClick(TObject* sender);
  void BrSaveBtnClick(TObject* sender);
  void RefreshBrushSheet(TObject* sender);
  // The bars and the shape boxes show the brush settings and CustomBrush without rebuilding.
  void ShowBrushSettings();
  void DrawBrushPreview();

  // The Histogram sheet (HistogramSheet.cpp): the counts of the active picture per channel
  // over a colour scale, with the mean and deviation and the count under the pointer.
  TComboBox* ChannelCombo = nullptr;
  TLabel* Value = nullptr;
  TLabel* Count = nullptr;
  TLabel* Mean = nullptr;
  TLabel* StdDev = nullptr;
  TBuffer* HistHolder = nullptr;
  TBuffer* ScaleHolder = nullptr;
  Buffer ScaleImage;
  Buffer HistImage;
  HistogramTables Histogram{};
  // Counts the active picture anew while the sheet is in front of the shown window.
  void RefreshHistogram();
  void ChannelChange(TObject* sender);
  void ScaleHolderMouseMove(TObject* sender, TShiftState shift, int x, int y);

  // The Grid sheet (HistogramSheet.cpp): the grid's step and origin, which the grid and the
  // snapping read.
  TExSpinEdit* GridDxEdit = nullptr;
  TExSpinEdit* GridDyEdit = nullptr;
  TExSpinEdit* GridPxEdit = nullptr;
  TExSpinEdit* GridPyEdit = nullptr;
  TButton* BrushSizeBtn = nullptr;
  TButton* GridOrigBtn = nullptr;
  // The four fields show the grid's values.
  void ShowGridValues();
  void SetGridDeltaFromBrush(TObject* sender);
  void SetGridOrigin(TObject* sender);

  // The Text sheet (TextSheet.cpp): what the text tool renders: the text, the font it renders
  // with and its style, the size, the anchor, the line pitch, alignment, anti-aliasing,
  // outline and shadow, and the picture of the nine handle cells.
  TFont* TextFont = nullptr;
  TImage* HandleImg = nullptr;
  TComboBox* FontType = nullptr;
  TMemo* TextBox = nullptr;
  TExSpinEdit* FontSize = nullptr;
  TSpeedButton* BoldBtn = nullptr;
  TSpeedButton* ItalicBtn = nullptr;
  TSpeedButton* UnderlineBtn = nullptr;
  TSpeedButton* OutlineBtn = nullptr;
  TSpeedButton* ShadowBtn = nullptr;
  TExSpinEdit* ShDepth = nullptr;
  TPanel* ShColor = nullptr;
  TXPanel* TxtExpPanel = nullptr;
  TExSpinEdit* SizeX = nullptr;
  TExSpinEdit* SizeY = nullptr;
  TExSpinEdit* TextXPos = nullptr;
  TExSpinEdit* TextYPos = nullptr;
  TExSpinEdit* Spacing = nullptr;
  TSpeedButton* LeftAlBtn = nullptr;
  TSpeedButton* CenterAlBtn = nullptr;
  TSpeedButton* RightAlBtn = nullptr;
  TSpeedButton* JustifiedBtn = nullptr;
  TCheckBox* AntiAliasCB = nullptr;
  TCheckBox* SelOnlyCB = nullptr;
  TButton* ApplyBtn = nullptr;
  TButton* TextHelpBtn = nullptr;
  TPopupMenu* ShColPopup = nullptr;
  // The character sets the chosen font offers.
  std::array<bool, 256> OfferedCharsets{};
  // How often the line pitch has been computed from the font.
  int SpacingRecomputations = 0;
  // The first showing chooses the default font and centres the anchor; every showing marks
  // the handle cell and the alignment.
  void ShowTextSheet();
  bool TextSheetShowing() const;
  void TextFontChanged(TObject* sender);
  void SetTextCharset();
  void AlBtnsClick(TObject* sender);
  void AntiAliasCBClick(TObject* sender);
  void HandleImgMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ShadowColMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ColSelDlg1Click(TObject* sender);
  void GetDrawCol1Click(TObject* sender);
  void GetBgndCol1Click(TObject* sender);
  void PickaColor1Click(TObject* sender);
  void ApplyBtnClick(TObject* sender);
  std::uint32_t ShadowColour() const;
  void SetShadowColour(std::uint32_t rgb);
  // The window lost the activation: help is the program's own again.
  void Help2Main(TObject* sender);

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
  void BuildPaletteSheet();
  void BuildBrushSheet();
  void BuildHistogramSheet();
  void BuildGridSheet();
  void BuildTextSheet();
  void DrawHandleFrame();
  void DrawHandleMarker(int cell, TColor colour);
  void ReadGridValues();
  bool showingGridValues_ = false;
  void BrushLabel(TLabel* label, int value);
  bool showingBrushSettings_ = false;
  bool changingShape_ = false;
  void ReadPlace();
  void KeepReachable(int& left, int& top) const;
  void WritePlace();
  void SnapWhileMoving(RECT& proposed);
  void CompSheetKey(WORD& key);
  void RemoveRunTimeCompControls();

  // The focused control while its key is with the document; null once the control is freed.
  TComponent* keyControl_ = nullptr;
  TOwnedPtr<TFont> textFont_;
};

extern TToolForm* ToolForm;
// The Text sheet's next font change computes the line pitch anew, as at the start of a run.
void ResetTextSpacingBasis();
// The palette grid the Palette sheet shows: 160 x 160 once the palette is installed.
extern Buffer PaletteImage;
// The brush preview the Brush sheet shows: 96 x 96.
extern Buffer ToolFormPicture;
