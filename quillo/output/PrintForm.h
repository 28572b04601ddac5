#pragma once
// TPrintForm: the print dialog (File > Print). It prints the active picture on one page of a
// printer that can stretch bitmaps: the page preview shows where; the picture is placed and
// sized there with the mouse or by numbers, titled in a chosen font and optionally framed.
// What it remembers between two openings lives in PrintLayout for the run of the program.

#include <memory>
#include <vector>

#include "platform/vcl/Form.h"
#include "quillo/output/PrintDrag.h"
#include "quillo/output/PrintLayout.h"
#include "vorlen/core/Buffer.h"

class TBandCaption;
class TBuffer;
class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TExSpinEdit;
class TFont;
class TFontDialog;
class TLabel;
class TRadioGroup;
class UDBuffer;

class TPrintForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TPrintForm(TComponent* owner);
  ~TPrintForm() override;

  TBuffer* Holder = nullptr;
  TComboBox* Printers = nullptr;
  TButton* PropertiesBtn = nullptr;
  TLabel* WhereLab = nullptr;
  TLabel* CommentLab = nullptr;
  TLabel* Where = nullptr;
  TLabel* Comment = nullptr;
  TRadioGroup* Orientation = nullptr;
  TExSpinEdit* Copies = nullptr;
  TRadioGroup* ImageSize = nullptr;
  TRadioGroup* HorizAlign = nullptr;
  TRadioGroup* VertAlign = nullptr;
  TExSpinEdit* ImgWidthEdit = nullptr;
  TExSpinEdit* ImgHeightEdit = nullptr;
  TCheckBox* DrawBorderCB = nullptr;
  TCheckBox* KeepARCB = nullptr;
  TEdit* TitleEdit = nullptr;
  TButton* FontSelectBtn = nullptr;
  TFontDialog* FontSel = nullptr;
  TButton* PrintBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* HelpBtn = nullptr;
  TBandCaption* Cap = nullptr;

  void FillPrinterList();
  void PrintersChange(TObject* sender);
  void PropertiesBtnClick(TObject* sender);
  void OrientationClick(TObject* sender);
  void CopiesChange(TObject* sender);
  // A context on the chosen printer with PageSettings; null when none can be made.
  HDC CreatePrinterDC();
  void LayoutPage();
  void DrawPreview();
  void FontSelectBtnClick(TObject* sender);
  void HolderMouseDown(int x, int y);
  void HolderMouseMove(int x, int y, bool buttonDown);
  void HolderMouseUp();
  void ImgWidthEditChange(TObject* sender);
  void ImgHeightEditChange(TObject* sender);
  // Prints the page; false (the dialog stays open) when nothing was printed.
  bool PrintImage();
  void PrintBtnClick(TObject* sender);
  void CancelBtnClick(TObject* sender);

  // The picture printed (the active document's) and what the preview shows.
  UDBuffer* Picture() const;
  const Buffer& Display() const { return display_; }
  TFont* PrintFont() const { return printFont_.get(); }
  // Whether the chosen printer gave a page to lay out.
  bool HasPage() const { return PrintLayout.page.Valid(); }

private:
  void BuildControls();
  void SetToCustom(TRadioGroup* group);
  void ImageChangeClick(TObject* sender);
  void ShowSizes();
  void DrawPage(Buffer& target);
  void UpdateCursor(int x, int y);
  double UnitScale(double value, int pixels) const;
  void ApplyDocumentProperties(DWORD mode);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void Remember();
  bool ReportPrintFailure(HDC dc, bool started);
  void ReportNoContext();

  std::unique_ptr<TFont> printFont_;
  Buffer tile_;
  Buffer background_;
  Buffer display_;
  Buffer scaled_;
  PrintDrag drag_;
  bool drawing_ = false;
};

// File > Print: the dialog over the active picture, when a printer can print it.
void ShowPrintForm();
