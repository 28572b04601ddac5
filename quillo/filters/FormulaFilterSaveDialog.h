#pragma once
// TFFSavePlus: the panel the filter factory's Save shows inside its save dialog. For a
// library under the cursor a scroll bar chooses the place of the filter: one of its entries,
// whose title shows beside it, or the place after the last, which appends and shows
// "[New Filter] " with the title being saved. The form is made once at start, stays hidden,
// and lends its panel to SaveDlg whenever the dialog runs.

#include "platform/vcl/Form.h"
#include "quillo/components/files/HookedFileDialog.h"

class TLabel;
class TPanel;
class TScrollBar;

class TFFSavePlus : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TFFSavePlus(TComponent* owner);
  ~TFFSavePlus() override;

  TPanel* Panel1 = nullptr;
  TLabel* FilterNameLab = nullptr;
  TScrollBar* FilterIndex = nullptr;
  TSaveDialogEx* SaveDlg = nullptr;

  // The file the chooser was set for.
  AnsiString SelectedFile;
  // The title of the filter being saved, shown for a place that would append.
  AnsiString NewTitle;

  // Runs the dialog in the folder for a filter of that title, the chooser set for the file
  // name the dialog starts with; true when a file was chosen. SaveDlg's file name and
  // FilterIndex's position then give the file and the place.
  bool Run(const AnsiString& folder, const AnsiString& title);

  void SaveDlgSelChange(TObject* sender);
  void FilterIndexChange(TObject* sender);

private:
  void BuildControls();
  // The chooser set for the file from its first place.
  void ShowFile(const AnsiString& fileName);
  void ShowName(const AnsiString& name);

  // Set while the chooser is set up, so that its change does not read the file again.
  bool settingIndex_ = false;
};

// The one instance, made at start-up; null before and after.
extern TFFSavePlus* FFSavePlus;

// Makes the form (owned by the application) once the main window exists.
TFFSavePlus* CreateFFSavePlus();
