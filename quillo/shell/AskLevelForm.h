#pragma once
// TAskLevelForm: the first run's question of the user level. Novice keeps the windows simple,
// expert shows every option; either button closes it, and closing it any other way leaves
// the novice level.

#include "platform/vcl/Form.h"

class TBandCaption;
class TButton;
class TLabel;

class TAskLevelForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TAskLevelForm(TComponent* owner);

  TBandCaption* Cap = nullptr;
  TLabel* Info = nullptr;
  TButton* NoviceBtn = nullptr;
  TButton* ExpertBtn = nullptr;

  // The level the user chose: 0 novice (also when the window was closed otherwise), 1 expert.
  int Level = 0;

  void NoviceBtnClick(TObject* sender);
  void ExpertBtnClick(TObject* sender);
};

// Shows the question modally, translated from the loaded language, and answers the level.
int AskUserLevel();
