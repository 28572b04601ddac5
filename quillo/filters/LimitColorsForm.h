#pragma once
// TLimitColorsForm: reduces the active picture to at most N colours, optionally dithered and
// keeping the background colour, with a palette built for it (put into the palette grid too)
// or with the grid's own colours; or only builds that palette for the grid. Shown modally
// from the palette sheet's "Limit Colors".

#include <array>
#include <cstdint>

#include "platform/vcl/Form.h"

class TBandCaption;
class TButton;
class TCheckBox;
class TExSpinEdit;
class TLabel;
class TRadioGroup;

// What Operation's items do.
enum LimitOperation { loPutToPalette = 0, loUsePalette = 1, loCreatePaletteOnly = 2 };

class TLimitColorsForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TLimitColorsForm(TComponent* owner);
  ~TLimitColorsForm() override;

  TBandCaption* Cap = nullptr;
  TLabel* ColorLimitLab = nullptr;
  TExSpinEdit* ColorLimit = nullptr;  // 2 to 256
  TCheckBox* SaveBgndCB = nullptr;
  TCheckBox* DitherCB = nullptr;
  TRadioGroup* Operation = nullptr;
  TButton* OkBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* HelpBtn = nullptr;

  void OkBtnClick(TObject* sender);
  void HelpBtnClick(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormDestroy(TObject* sender);

private:
  void BuildComponents();
  // Runs the chosen operation; false when the picture could not be kept for Undo.
  bool LimitColours();

  std::array<std::uint8_t, 768> palette_{};
};

// Remembered for the run.
extern bool LimitDither;
extern bool LimitKeepBackground;
extern int LimitColourCount;
extern int LimitOperationIndex;
extern int LimitColorsFormLeft;  // -1 until the dialog was closed once
extern int LimitColorsFormTop;

// The palette sheet's "Limit Colors": the dialog, modally.
void ShowLimitColorsDialog();
