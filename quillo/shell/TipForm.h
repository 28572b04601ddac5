#pragma once
// TTipForm: the tip of the day. A tool window with a painted caption that shows one tip a
// time from the tip file in the program folder (its name is the language's "TODFile"), the
// next one on each Next Tip, with a Help button for the tip's help topic. It is made, shown
// modally and freed for each showing; where it stood is kept for the rest of the run, and
// whether tips show at start goes back into the settings when it closes.

#include "platform/vcl/Form.h"

class TBandCaption;
class TButton;
class TCheckBox;
class TImage;
class TLabel;
class TPanel;

class TTipForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TTipForm(TComponent* owner);

  TBandCaption* Cap = nullptr;
  TLabel* WelcomeLab = nullptr;
  TPanel* TipPanel = nullptr;  // the white framed panel holding the icon and the tip
  TImage* Image1 = nullptr;
  TLabel* TipText = nullptr;
  TCheckBox* ShowTipsCB = nullptr;
  TButton* NextTipBtn = nullptr;
  TButton* CloseBtn = nullptr;
  TButton* HelpBtn = nullptr;

  // Shows the tip Settings.TODIndex names and moves the index on; "NoTOD" when the tip file
  // cannot be opened, and then nothing changes.
  void NextTipBtnClick(TObject* sender);
  // The help topic of the tip shown (the form's help context).
  void HelpBtnClick(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormDeactivate(TObject* sender);
  void FormDestroy(TObject* sender);
};

// The tip file of the loaded language, in the program folder.
AnsiString TipFilePath();
// Forgets where the window stood: the next one is centred in the work area as at the start
// of a run.
void ForgetTipFormPlace();
