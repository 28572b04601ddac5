#pragma once
// TScriptForm: the batch conversion window. The user chooses the input (one image, a folder,
// or a list of folders, with or without subfolders), the output format with its depth and
// options and the naming of the output files, keeps such settings in script files, and
// starts the run (Go!), which the progress window follows. The window keeps its settings
// between runs of the program in the registry (section "ScriptForm").

#include "platform/vcl/Form.h"
#include "quillo/files/BatchSettings.h"

class TBandCaption;
class TButton;
class TCheckBox;
class TComboBox;
class TDirectoryEdit;
class TEdit;
class TExSpinEdit;
class TFilenameEdit;
class TFormStorage;
class TLabel;
class TListBox;
class TOpenDialog;
class TPanel;
class TRadioButton;
class TSaveDialog;
class TScrollBar;
class TScrollBox;
class TXPanel;

class TScriptForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TScriptForm(TComponent* owner);

  TBandCaption* Cap = nullptr;
  TScrollBox* ScrollBox = nullptr;
  TXPanel* InputFiles = nullptr;
  TRadioButton* SingleImg = nullptr;
  TFilenameEdit* FilenameEdit = nullptr;
  TRadioButton* SingleFolder = nullptr;
  TDirectoryEdit* FolderEdit = nullptr;
  TCheckBox* IncSubFolders = nullptr;
  TRadioButton* MultiFolders = nullptr;
  TListBox* FolderList = nullptr;
  TDirectoryEdit* AddFolderEdit = nullptr;
  TCheckBox* IncSubFoldersMulti = nullptr;
  TXPanel* OutputFiles = nullptr;
  TLabel* FormatLab = nullptr;
  TComboBox* Type = nullptr;
  TComboBox* CDepth = nullptr;
  TCheckBox* LimitCB = nullptr;
  TExSpinEdit* LimitED = nullptr;
  TCheckBox* DitherCB = nullptr;
  TCheckBox* TranspCB = nullptr;
  TCheckBox* InterlCB = nullptr;
  TLabel* QLabel = nullptr;
  TScrollBar* QScbar = nullptr;
  TLabel* QValue = nullptr;
  TLabel* NameLab = nullptr;
  TRadioButton* KeepOrigName = nullptr;
  TPanel* KeepOrigNamePanel = nullptr;
  TRadioButton* Overwr = nullptr;
  TRadioButton* AddIdx = nullptr;
  TRadioButton* NewName = nullptr;
  TEdit* Base = nullptr;
  TExSpinEdit* BaseIdx = nullptr;
  TLabel* NumOfDigLab = nullptr;
  TExSpinEdit* NumOfDigits = nullptr;
  TButton* SaveBtn = nullptr;
  TButton* LoadBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* GoBtn = nullptr;
  TButton* HelpBtn = nullptr;
  TFormStorage* FormStorage1 = nullptr;
  TOpenDialog* OpenDialog = nullptr;
  TSaveDialog* SaveDialog = nullptr;

  // What the window shows, as one record, and the window made to show a record.
  BatchSettings Current();
  void Apply(const BatchSettings& settings);

  void InputFileTypeClick(TObject* sender);
  void OutputFilenameTypeClick(TObject* sender);
  void AddFolderEditKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FolderListKeyDown(TObject* sender, WORD& key, TShiftState shift);
  // A null sender leaves the options as they are (a restore or a script sets them next).
  void TypeChange(TObject* sender);
  void CDepthChange(TObject* sender);
  void SetDitherAndLimitCols(TObject* sender);
  void QualityChange(TObject* sender);
  void SaveBtnClick(TObject* sender);
  void LoadBtnClick(TObject* sender);
  void GoBtnClick(TObject* sender);
  void HelpBtnClick(TObject* sender);
  void FormStorage1RestorePlacement(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormDeactivate(TObject* sender);

private:
  void BuildInputPanel();
  void BuildOutputPanel();
  void BuildNamingControls();
  void BuildButtons();
  void BuildStorage();
  void FitToButtons();
  void FillTypeList();
  void EnableOptions();
  void SelectText(TComboBox* list, const AnsiString& text);
  void StoreValue(const char* name, int value);

  // Off while a dialog of its own is open, which must stay above it.
  bool keepInFront_ = true;
  // Set once the stored settings are restored.
  bool settled_ = false;
};

// The folder of the last script saved or loaded, where both script dialogs start.
extern AnsiString ScriptDir;
