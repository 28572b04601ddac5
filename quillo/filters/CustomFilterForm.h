#pragma once
// TCFilterForm: the custom filter's kernel dialog. 25 cell edits (empty reads 0), Div and
// Bias, Preview (Stop while it runs), OK, Cancel, Help, and kernel files. It stays on top
// while the user looks at the previewed picture; closing it finishes CustomFilterTool.

#include <array>

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Form.h"
#include "quillo/filters/ConvolutionKernel.h"

class TBandCaption;
class TButton;
class TEdit;
class TExSpinEdit;
class TLabel;
class TOpenDialog;
class TPanel;
class TSaveDialog;

class TCFilterForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCFilterForm(TComponent* owner);
  ~TCFilterForm() override;

  TBandCaption* Cap = nullptr;
  TPanel* CellPanel = nullptr;
  std::array<TEdit*, KernelCells> Cells{};
  TLabel* DivLab = nullptr;
  TExSpinEdit* DivFactor = nullptr;  // 1 to 9999
  TLabel* BiasLab = nullptr;
  TExSpinEdit* Bias = nullptr;  // -9999 to 9999
  TButton* OkBtn = nullptr;
  TButton* PreviewBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* HelpBtn = nullptr;
  TButton* LoadBtn = nullptr;
  TButton* SaveBtn = nullptr;
  TOpenDialog* FilterLoadDlg = nullptr;
  TSaveDialog* FilterSaveDlg = nullptr;

  // The kernel as the dialog shows it now (cells clamped, Div and Bias truncated).
  ConvolutionKernel Kernel();
  void ShowKernel(const ConvolutionKernel& kernel);
  bool Running() const { return running_; }
  bool Closing() const { return closing_; }

  void PreviewBtnClick(TObject* sender);
  void OkBtnClick(TObject* sender);
  void CancelBtnClick(TObject* sender);
  void HelpBtnClick(TObject* sender);
  void LoadBtnClick(TObject* sender);
  void SaveBtnClick(TObject* sender);
  void CellChange(TObject* sender);
  void CellExit(TObject* sender);
  void ParamChanged(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormClose(TObject* sender, TCloseAction& action);
  void FormDestroy(TObject* sender);

private:
  void BuildComponents();
  void BuildCells();
  void Place();
  void EnableControls(bool enable);
  // Filters the area row by row from the tool's saved copy; false when stopped.
  bool FilterPicture();
  int CellIndexOf(const TWinControl* control) const;

  AnsiString previewCaption_;
  bool running_ = false;
  bool closing_ = false;
  bool closeAfterRun_ = false;
  bool adjusting_ = false;
};

// The dialog's place for the run (left -1 until it was closed once) and the folder of the
// last kernel file dialog.
extern int CFilterFormLeft;
extern int CFilterFormTop;
extern AnsiString KernelFileFolder;

// The value a cell's text stands for: empty, "-" and "+" are 0; others clamped to the cell range.
int KernelCellValue(const AnsiString& text);
// What typing leaves of a cell's text: digits, and a sign as the first character.
AnsiString TypedCellText(const AnsiString& text);
// The text a cell shows for a value: empty for 0.
AnsiString KernelCellText(int value);
