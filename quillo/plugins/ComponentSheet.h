#pragma once
// The component's option page: the hidden "Comp" sheet of the tool options window, built anew
// for each activation from the option descriptors, with the name, copyright line, instant
// preview, blend-mode list and the buttons Apply, Cancel, Help, Preset, Preview and Browse.

class TButton;
class TComboBox;
class TBuffer;
class TLabel;

// Builds the sheet for CurrentComponent; withButtons for the effect tool (the brush has none).
void ShowCompOptions(bool withButtons);
// The sheet's tab shows and it becomes the active page.
void ShowCompSheet();
// The sheet goes; its option controls and the preview pictures are freed.
void HideCompOptions();
// True while the component sheet is the active page of a shown tool window.
bool CompSheetActive();
// Copies every option control into ComponentOptionValues.
void ReadComponentOptions();
// Runs the component on the thumbnail when the instant preview shows.
void RefreshInstPreview();
// Every control but Preview disabled (busy) or enabled; Preview reads "QLCStop" or
// "QLCPreview".
void SetCompBusy(bool busy);
// The blend mode chosen in the mode list; 0 when the page is not active.
int SheetBlendMode();
// The sheet's fixed controls, for the main window and the tests; null until first built.
struct CompSheetControls {
  TButton* CompApplyBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* CompHelpBtn = nullptr;
  TButton* PresetBtn = nullptr;
  TButton* PreviewBtn = nullptr;
  TButton* BrowseBtn = nullptr;
  TComboBox* ModeCombo = nullptr;
  TLabel* CopyrightMessage = nullptr;
  TBuffer* InstPreviewBuf = nullptr;
};
const CompSheetControls& CompSheetFixedControls();
