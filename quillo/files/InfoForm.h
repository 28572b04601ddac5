#pragma once
// TInfoForm: the image information window: the active image's name, size, resolution, file
// size and date, the brush's size, and on request the number of colours of each. Made for
// each showing; the first one is centred in the work area, each later one opens where the
// last was closed.

#include "platform/vcl/Form.h"

class TBandCaption;
class TButton;
class TFileLabel;
class TLabel;
class UDBuffer;

class TInfoForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TInfoForm(TComponent* owner);

  TBandCaption* Cap = nullptr;
  TLabel* ImgHeader = nullptr;
  TLabel* BrshHeader = nullptr;
  TLabel* NameLab = nullptr;  // the component "Name"
  TFileLabel* ImageName = nullptr;
  TLabel* ImageDim = nullptr;
  TLabel* ImageDPI = nullptr;
  TLabel* ImageSize = nullptr;
  TLabel* ImageDate = nullptr;
  TLabel* ImageCol = nullptr;
  TLabel* BrushDim = nullptr;
  TLabel* BrushCol = nullptr;
  TButton* ImgColCnt = nullptr;
  TButton* BrshColCnt = nullptr;
  TButton* OkBtn = nullptr;
  TButton* HelpBtn = nullptr;

  void ImgColCntClick(TObject* sender);
  void BrshColCntClick(TObject* sender);
  void HelpBtnClick(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormDeactivate(TObject* sender);
  void FormDestroy(TObject* sender);

private:
  void BuildLabels();
  void FillTexts();
  void PlaceWindow();
};

// Forgets where the window was closed: the next one is centred again.
void ForgetInfoFormPlace();
