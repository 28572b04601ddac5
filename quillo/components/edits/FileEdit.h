#pragma once
// The file name and folder edits: combo edits whose button opens a file dialog
// (TFilenameEdit) or a folder dialog (TDirectoryEdit: the folder browser, or the classic
// "Select Directory" dialog), and which take files dropped on them
// (AcceptFiles): the first name, or with MultipleDirs / multi-select every name. A name with
// spaces is shown in double quotes and read back without them.

#include <vector>

#include "platform/vcl/FileCtrl.h"
#include "platform/vcl/FileDialogs.h"
#include "platform/vcl/Strings.h"
#include "quillo/components/edits/ComboEdit.h"

// sender, the name the dialog starts from or returned, whether to go on / whether it was accepted.
using TExecOpenDialogEvent = std::function<void(TObject* sender, AnsiString& name, bool& action)>;

class TFileDirEdit : public TCustomComboEdit {
  QUILLO_DECLARE_CLASS()

public:
  explicit TFileDirEdit(TComponent* owner);

  bool GetAcceptFiles() const { return acceptFiles_; }
  void SetAcceptFiles(bool value);
  virtual AnsiString GetLongName() = 0;
  virtual AnsiString GetShortName() = 0;

  TExecOpenDialogEvent OnBeforeDialog;
  TExecOpenDialogEvent OnAfterDialog;
  TNotifyEvent OnDropFiles;

  void WndProc(TMessage& message) override;

protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  TOwnedPtr<TBitmap> GetDefaultBitmap() override;
  virtual void ReceptFileDir(const AnsiString& name) = 0;
  virtual void ClearFileList() {}
  virtual void DoBeforeDialog(AnsiString& name, bool& action);
  virtual void DoAfterDialog(AnsiString& name, bool& action);
  bool Multiple() const { return multiple_; }
  void SetMultiple(bool value) { multiple_ = value; }

private:
  void WMDropFiles(TMessage& message);

  bool acceptFiles_ = false;
  bool multiple_ = false;
};

enum TFileDialogKind { dkOpen, dkSave, dkOpenPicture, dkSavePicture };
QUILLO_DECLARE_ENUM_TYPE(TFileDialogKind)

class TFilenameEdit : public TFileDirEdit {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TFilenameEdit(TComponent* owner);

  // The text as a file name: the whole text when such a file exists, else its first word.
  AnsiString GetFileName();
  // EComboEditError for a name that is not a valid file name.
  void SetFileName(const AnsiString& value);
  TFileDialogKind GetDialogKind() const { return dialogKind_; }
  // A dialog of the new kind takes over every setting and the chosen files of the old one.
  void SetDialogKind(TFileDialogKind value);
  TOpenDialog* Dialog() const { return dialog_; }
  AnsiString GetDefaultExt() const { return dialog_->GetDefaultExt(); }
  void SetDefaultExt(const AnsiString& value) { dialog_->SetDefaultExt(value); }
  TFileEditStyle GetFileEditStyle() const { return dialog_->GetFileEditStyle(); }
  void SetFileEditStyle(TFileEditStyle value) { dialog_->SetFileEditStyle(value); }
  AnsiString GetFilter() const { return dialog_->GetFilter(); }
  void SetFilter(const AnsiString& value) { dialog_->SetFilter(value); }
  int GetFilterIndex() const { return dialog_->GetFilterIndex(); }
  void SetFilterIndex(int value) { dialog_->SetFilterIndex(value); }
  AnsiString GetInitialDir() const { return dialog_->GetInitialDir(); }
  void SetInitialDir(const AnsiString& value) { dialog_->SetInitialDir(value); }
  TStrings* GetHistoryList() const { return dialog_->GetHistoryList(); }
  void SetHistoryList(TStrings* value) { dialog_->SetHistoryList(value); }
  TOpenOptions GetDialogOptions() const { return dialog_->GetOptions(); }
  // With ofAllowMultiSelect dropped files and the dialog give many names.
  void SetDialogOptions(TOpenOptions value);
  AnsiString GetDialogTitle() const { return dialog_->GetTitle(); }
  void SetDialogTitle(const AnsiString& value) { dialog_->SetTitle(value); }
  TStrings* GetDialogFiles() const { return dialog_->GetFiles(); }
  AnsiString GetLongName() override;
  AnsiString GetShortName() override;

protected:
  void ButtonClick() override;
  void ReceptFileDir(const AnsiString& name) override;
  void ClearFileList() override;

private:
  void CreateEditDialog();

  TFileDialogKind dialogKind_ = dkOpen;
  TOpenDialog* dialog_ = nullptr;  // owned as a component
};

enum TDirDialogKind { dkVCL, dkWin32 };
QUILLO_DECLARE_ENUM_TYPE(TDirDialogKind)

class TDirectoryEdit : public TFileDirEdit {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TDirectoryEdit(TComponent* owner);

  TDirDialogKind GetDialogKind() const { return dialogKind_; }
  void SetDialogKind(TDirDialogKind value) { dialogKind_ = value; }
  AnsiString GetDialogText() const { return dialogText_; }
  void SetDialogText(const AnsiString& value) { dialogText_ = value; }
  AnsiString GetInitialDir() const { return initialDir_; }
  void SetInitialDir(const AnsiString& value) { initialDir_ = value; }
  // The classic folder dialog's options (dkVCL).
  TSelectDirOpts GetDialogOptions() const { return dialogOptions_; }
  void SetDialogOptions(TSelectDirOpts value) { dialogOptions_ = value; }
  bool GetMultipleDirs() const { return Multiple(); }
  void SetMultipleDirs(bool value) { SetMultiple(value); }
  AnsiString GetLongName() override;
  AnsiString GetShortName() override;

protected:
  void ButtonClick() override;
  void ReceptFileDir(const AnsiString& name) override;

private:
  TDirDialogKind dialogKind_ = dkVCL;
  AnsiString dialogText_;
  AnsiString initialDir_;
  TSelectDirOpts dialogOptions_;
};

// The text's file name: the whole text when a file of that name exists, else its first word.
AnsiString FileNameOfText(const AnsiString& text);
// In double quotes when it holds a space (and is not quoted already).
AnsiString QuotedFileName(const AnsiString& name);
// The file name edit's default glyph: a small open folder, 14 x 12.
TOwnedPtr<TBitmap> MakeFileEditGlyph();
