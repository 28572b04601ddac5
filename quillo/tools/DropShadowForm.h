#pragma once
// TDropShForm: the Brush menu's drop-shadow dialog. It gives the brush a shadow of the drawing
// colour, a depth of pixels away in one of four directions, enlarging the brush to hold it, as
// one step of the brush's history. OK (or Enter) casts the shadow; Cancel (or Esc) leaves the
// brush alone; a shadow that cannot be made ends the dialog as cancelled.

#include "platform/vcl/Form.h"

class TBandCaption;
class TButton;
class TComboBox;
class TExSpinEdit;
class TLabel;

class TDropShForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TDropShForm(TComponent* owner);
  ~TDropShForm() override;

  TBandCaption* Cap = nullptr;
  TLabel* ShDirLab = nullptr;
  TComboBox* ShDir = nullptr;  // East, South-East, South, South-West
  TLabel* ShDepthLab = nullptr;
  TExSpinEdit* ShDepth = nullptr;  // 1 to 999
  TButton* OkBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* HelpBtn = nullptr;

  void OkBtnClick(TObject* sender);
  void CancelBtnClick(TObject* sender);
  void HelpBtnClick(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormDestroy(TObject* sender);

private:
  void BuildComponents();
  void Place();
};

// The dialog's place for the run; DropShFormLeft is -1 until it was closed once.
extern int DropShFormLeft;
extern int DropShFormTop;
