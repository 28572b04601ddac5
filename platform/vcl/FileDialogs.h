#pragma once
// TOpenDialog and TSaveDialog: the framework's components over the layer's open and save
// dialogs. Filter is written "Description|patterns|Description|patterns" (patterns separated
// by ';'), FilterIndex counts from 1 and follows the user's choice. Execute runs the dialog
// through TaskModalDialog, which a derived dialog may override to prepare the record further
// (its own hook and child template); the framework's hook then hears the notifications passed
// on to it and raises the events. After an accepted Execute, FileName is the chosen path and
// Files holds every chosen path (several with ofAllowMultiSelect).

#include <memory>

#include "platform/dialogs/FileDialog.h"
#include "platform/vcl/CommonDialog.h"
#include "platform/vcl/Strings.h"

enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
  ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
  ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
  ofEnableIncludeNotify, ofEnableSizing
};
using TOpenOptions = SetOf<TOpenOption>;
QUILLO_DECLARE_ENUM_TYPE(TOpenOption)
QUILLO_DECLARE_SET_TYPE(TOpenOption)

enum TFileEditStyle { fsEdit, fsComboBox };
QUILLO_DECLARE_ENUM_TYPE(TFileEditStyle)

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TOpenDialog : public TCommonDialog {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;

  bool Execute() override;

  AnsiString GetFileName() const { return fileName_; }
  void SetFileName(const AnsiString& name) { fileName_ = name; }
  TStrings* GetFiles() const { return files_.get(); }
  AnsiString GetFilter() const { return filter_; }
  void SetFilter(const AnsiString& filter) { filter_ = filter; }
  int GetFilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int index) { filterIndex_ = index; }
  AnsiString GetDefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const AnsiString& ext) { defaultExt_ = ext; }
  AnsiString GetInitialDir() const { return initialDir_; }
  void SetInitialDir(const AnsiString& dir) { initialDir_ = dir; }
  AnsiString GetTitle() const { return title_; }
  void SetTitle(const AnsiString& title) { title_ = title; }
  TOpenOptions GetOptions() const { return options_; }
  void SetOptions(TOpenOptions options) { options_ = options; }
  TFileEditStyle GetFileEditStyle() const { return fileEditStyle_; }
  void SetFileEditStyle(TFileEditStyle style) { fileEditStyle_ = style; }
  TStrings* GetHistoryList() const { return historyList_.get(); }
  void SetHistoryList(const TStrings* list) { historyList_->Assign(list); }

  void SetOnCanClose(TCloseQueryEvent handler) { onCanClose_ = std::move(handler); }
  void SetOnFolderChange(TNotifyEvent handler) { onFolderChange_ = std::move(handler); }
  void SetOnSelectionChange(TNotifyEvent handler) { onSelectionChange_ = std::move(handler); }
  void SetOnTypeChange(TNotifyEvent handler) { onTypeChange_ = std::move(handler); }

  // The filter as the layer's dialogs take it: description NUL patterns NUL ... NUL NUL.
  static std::string FilterString(const AnsiString& filter);

protected:
  using DialogFunction = BOOL (*)(OPENFILENAME*);
  // Runs the layer's dialog with the prepared record; answers what it answered.
  virtual BOOL TaskModalDialog(DialogFunction function, OPENFILENAME& record);
  bool DoExecute(DialogFunction function);
  // The events, raised by the framework's hook; a derived dialog may add to them.
  virtual void DoShow();
  virtual void DoClose();
  virtual bool DoCanClose();
  virtual void DoFolderChange();
  virtual void DoSelectionChange();
  virtual void DoTypeChange();
  // The child template of the dialog (none by default): a derived dialog lends its controls.
  virtual const DialogTemplate* ChildTemplate() const { return nullptr; }
  // Messages to the child dialog the framework's hook does not answer itself.
  virtual UINT_PTR ChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
  // The path the dialog's name box names now (while it is open), else FileName.
  AnsiString CurrentPath() const;

private:
  UINT_PTR Hook(HWND child, UINT message, WPARAM wParam, LPARAM lParam);

  AnsiString fileName_;
  std::unique_ptr<TStringList> files_;
  AnsiString filter_;
  int filterIndex_ = 1;
  AnsiString defaultExt_;
  AnsiString initialDir_;
  AnsiString title_;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
  TFileEditStyle fileEditStyle_ = fsEdit;
  std::unique_ptr<TStringList> historyList_;
  TCloseQueryEvent onCanClose_;
  TNotifyEvent onFolderChange_;
  TNotifyEvent onSelectionChange_;
  TNotifyEvent onTypeChange_;
  OPENFILENAME* running_ = nullptr;
  bool shown_ = false;
};

class TSaveDialog : public TOpenDialog {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TSaveDialog(TComponent* owner);
  ~TSaveDialog() override;
  bool Execute() override;
};
