#pragma once
// The file name and folder edits: combo edits whose button opens a file dialog
// (TFilenameEdit) or a folder dialog (TDirectoryEdit), and which take files dropped on them
// (AcceptFiles): the first name, or with MultipleDirs / multi-select every name. A name with
// spaces is shown in double quotes and read back without them.

#include <vector>

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
enum TFileEditStyle { fsEdit, fsComboBox };
QUILLO_DECLARE_ENUM_TYPE(TFileDialogKind)
QUILLO_DECLARE_ENUM_TYPE(TFileEditStyle)

// What a file name edit asks of its file dialog, and what the dialog hands back (FileName,
// Files, FilterIndex). It stays with the edit, so changing the dialog's kind keeps it all.
struct TFileEditDialogSettings {
  TFileDialogKind Kind = dkOpen;
  AnsiString DefaultExt;
  TFileEditStyle EditStyle = fsEdit;
  AnsiString Filter;
  int FilterIndex = 1;
  AnsiString InitialDir;
  AnsiString FileName;
  AnsiString Title;
  bool AllowMultiSelect = false;
  std::vector<AnsiString> Files;
  int HelpContext = 0;
};
// Runs the file dialog for a file name edit: true when the user accepted. Set by the
// framework's file dialogs; while none is set the button's dialog answers "cancelled".
using TFileEditDialogRunner = std::function<bool(TFileEditDialogSettings& settings)>;
void SetFileEditDialogRunner(TFileEditDialogRunner runner);

class TFilenameEdit : public TFileDirEdit {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TFilenameEdit(TComponent* owner);

  // The text as a file name: the whole text when such a file exists, else its first word.
  AnsiString GetFileName();
  // EComboEditError for a name that is not a valid file name.
  void SetFileName(const AnsiString& value);
  TFileDialogKind GetDialogKind() const { return dialog_.Kind; }
  void SetDialogKind(TFileDialogKind value) { dialog_.Kind = value; }
  AnsiString GetDefaultExt() const { return dialog_.DefaultExt; }
  void SetDefaultExt(const AnsiString& value) { dialog_.DefaultExt = value; }
  TFileEditStyle GetFileEditStyle() const { return dialog_.EditStyle; }
  void SetFileEditStyle(TFileEditStyle value) { dialog_.EditStyle = value; }
  AnsiString GetFilter() const { return dialog_.Filter; }
  void SetFilter(const AnsiString& value) { dialog_.Filter = value; }
  int GetFilterIndex() const { return dialog_.FilterIndex; }
  void SetFilterIndex(int value) { dialog_.FilterIndex = value; }
  AnsiString GetInitialDir() const { return dialog_.InitialDir; }
  void SetInitialDir(const AnsiString& value) { dialog_.InitialDir = value; }
  AnsiString GetDialogTitle() const { return dialog_.Title; }
  void SetDialogTitle(const AnsiString& value) { dialog_.Title = value; }
  // The dialog's multi-select option: dropped files and the dialog then give many names.
  bool GetMultiSelect() const { return dialog_.AllowMultiSelect; }
  void SetMultiSelect(bool value);
  const std::vector<AnsiString>& DialogFiles() const { return dialog_.Files; }
  AnsiString GetLongName() override;
  AnsiString GetShortName() override;

protected:
  void ButtonClick() override;
  void ReceptFileDir(const AnsiString& name) override;
  void ClearFileList() override { dialog_.Files.clear(); }

private:
  TFileEditDialogSettings dialog_;
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
};

// The text's file name: the whole text when a file of that name exists, else its first word.
AnsiString FileNameOfText(const AnsiString& text);
// In double quotes when it holds a space (and is not quoted already).
AnsiString QuotedFileName(const AnsiString& name);
// The file name edit's default glyph: a small open folder, 14 x 12.
TOwnedPtr<TBitmap> MakeFileEditGlyph();
