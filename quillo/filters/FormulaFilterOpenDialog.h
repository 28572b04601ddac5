#pragma once
// TFFOpenPlus: the panel the filter factory's Load shows inside its open dialog. The filter
// under the cursor is read and previewed on a picture of the factory's untouched copy fitted
// into a 200 x 150 box, with its title, category, author, copyright and whether its formulas
// compile; for a library a scroll bar chooses the entry. The form is made once at start,
// stays hidden, and lends its panel to OpenDlg whenever the dialog runs; after a run its
// fields hold the file and entry that were chosen.

#include "platform/vcl/Form.h"
#include "quillo/components/files/HookedFileDialog.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/filters/FormulaCompiler.h"
#include "quillo/filters/FormulaFilterFile.h"

class TBuffer;
class TLabel;
class TPanel;
class TScrollBar;

class TFFOpenPlus : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  // The box the preview is fitted and centred in, inside its frame.
  static constexpr int kPreviewWidth = 200;
  static constexpr int kPreviewHeight = 150;
  static constexpr int kPreviewBorder = 2;

  explicit TFFOpenPlus(TComponent* owner);
  ~TFFOpenPlus() override;

  TPanel* Panel1 = nullptr;
  TPanel* PreviewFrame = nullptr;
  TBuffer* PrevBufHolder = nullptr;
  TLabel* FilterLab = nullptr;
  TScrollBar* FilterIndex = nullptr;
  TLabel* FilterNameLab = nullptr;
  TLabel* CategoryLab = nullptr;
  TLabel* AuthorLab = nullptr;
  TLabel* CopyrightLab = nullptr;
  TLabel* StatusLab = nullptr;
  TLabel* TopLeftCorner = nullptr;
  TCustomOpenDialog* OpenDlg = nullptr;

  // The filter as the file under the cursor holds it (what was read of it when it is not
  // valid), and how the read went.
  FormulaFilter Filter;
  FilterFileStatus Status = FilterFileStatus::CannotOpen;
  AnsiString Refusal;  // why the file shown was refused unread (naming it); empty otherwise
  // The file the fields were last read from.
  AnsiString PreviewedFile;
  // The preview: the factory's copy scaled down, and the filter's result on it.
  UDBuffer PreviewSource;
  UDBuffer PreviewResult;

  // Runs the dialog in the folder, the last chosen file previewed from the start; true when
  // a file was chosen. OpenDlg's file name and FilterIndex's position then give the file and
  // entry, and the fields hold them.
  bool Run(const AnsiString& folder);

  // The dialog's selection changed: a file other than the one shown is read.
  void PreviewFilter(TObject* sender);
  void FilterIndexChange(TObject* sender);
  // Reads the file (a library at FilterIndex's entry) into the fields and the labels and
  // previews it.
  void LoadFilterFile(const AnsiString& fileName);
  // OK in the dialog: a file that cannot be read as a filter is not taken.
  void OpenDlgFileOk(TObject* sender, bool& accept);

private:
  void BuildControls();
  // Shows the file: the entry chooser set for it (a library's entry kept when it has it),
  // then its fields.
  void ShowFile(const AnsiString& fileName, int entry);
  void PreparePreview();
  void ShowLabels();
  void ShowUnfiltered();

  CompiledFormula compiled_;
  // Set while the chooser is set up, so that its change does not read the file again.
  bool settingIndex_ = false;
};

// The one instance, made at start-up; null before and after.
extern TFFOpenPlus* FFOpenPlus;

// Makes the form (owned by the application) once the main window exists.
TFFOpenPlus* CreateFFOpenPlus();
