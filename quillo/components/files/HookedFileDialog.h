#pragma once
// Open and save dialogs that carry a panel of the program's own. The form that owns the
// dialog component (the host form, created once and never shown by itself) lends its
// top-level windowed controls to the dialog while it runs: they are moved into the child
// window made from a small shared template, sized to the host form's client area, and given
// back (at their old places) when that window is destroyed. The hook tells the host about the
// selection, the file type and OK, and lets it steer the dialog (file name, type, folder).

#include <array>
#include <functional>

#include "platform/dialogs/FileDialog.h"
#include "platform/vcl/FileDialogs.h"
#include "platform/vcl/Form.h"

// Asked before the dialog accepts a file; accept starts false and only true lets it close.
using TFileOkEvent = std::function<void(TObject* sender, bool& accept)>;
// The file type changed; filterIndex is 1-based.
using TTypeChangeEvent = std::function<void(TObject* sender, int filterIndex)>;

// The hook of one dialog component: prepares its record, answers the child window's
// messages and reaches into the running dialog.
class TCustomDialog {
public:
  // Only the first ones of the host form's components are lent and given back.
  static constexpr int kMaxLentControls = 64;
  // Paths and names this long or longer are taken as empty.
  static constexpr int kPathBufferSize = 256;

  explicit TCustomDialog(TOpenDialog* dialog);
  TCustomDialog(const TCustomDialog&) = delete;
  TCustomDialog& operator=(const TCustomDialog&) = delete;

  // When set, its window owns the dialog.
  TWinControl* OwnerControl = nullptr;
  // The component that owns this hook; the sender of every event.
  TOpenDialog* Dialog = nullptr;
  // The framework's hook, which hears every message this one does not consume.
  LPOFNHOOKPROC OldHook;
  // Where the host form's component i stood before it was lent.
  std::array<POINT, kMaxLentControls> SavedPos{};
  // The host form's client height when the dialog opened (RefreshControls follows it).
  int PanelHeight = 0;
  // The full path of the current selection: set on every selection change and on OK.
  AnsiString SelPath;
  TFileOkEvent OnFileOk;
  TNotifyEvent OnSelChange;
  TTypeChangeEvent OnTypeChange;
  // Empties the file-name box whenever the dialog changes folder.
  bool ClearFileNameOnFolderChange = false;
  // True only while SetSelFolder runs: the OK it sends must not accept a file.
  bool InSetFolder = false;
  HWND ChildWnd = nullptr;   // the child window made from the template
  HWND DialogWnd = nullptr;  // the dialog itself, the child's parent

  // Prepares the record before the dialog runs: explorer style, this hook, the shared child
  // template and the owner window.
  void TaskModalDialog(OPENFILENAME& record);
  UINT_PTR OFNHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The child window's procedure: gives the lent controls back as the child goes.
  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // The text of the file-name box (empty when the dialog is not open).
  AnsiString GetSelFileName() const;
  void SetSelFileName(const AnsiString& name);
  // The selected entry of the file-type box, 1-based.
  int GetSelFilterIndex() const;
  // Selects the entry (1-based) and lets the dialog apply it as if the user had chosen it.
  void SetSelFilterIndex(int index);
  // Closes the dialog as its Cancel button does.
  void Cancel();
  // Makes the dialog show another folder, keeping a typed name unless the dialog clears it.
  void SetSelFolder(const AnsiString& folder);
  // Applies the host form's current control visibility and client height to the dialog.
  void RefreshControls();

  // The template every hook's child window is made from (shared, made once).
  static const DialogTemplate& ChildTemplate();

private:
  // The host form: the owner of the dialog component (null when it is no form).
  TCustomForm* HostForm() const;
  // The host form's component i, when it is a windowed top-level control that is lent.
  TWinControl* LentControl(int index) const;
  void LendControls(HWND child);
  void ReturnControls();
  void UpdateSelPath();
  UINT_PTR OnNotify(HWND window, const OFNOTIFY& notify, WPARAM wParam, LPARAM lParam);

  WNDPROC childProc_;  // the child window's own procedure, which WindowProc passes on to
};

// The framework's open dialog with the hook above.
class TCustomOpenDialog : public TOpenDialog {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TCustomOpenDialog(TComponent* owner);
  ~TCustomOpenDialog() override;

  TCustomDialog& Hook() { return *hook_; }
  const TCustomDialog& Hook() const { return *hook_; }

  void SetOnFileOk(TFileOkEvent handler) { hook_->OnFileOk = std::move(handler); }
  void SetOnSelChange(TNotifyEvent handler) { hook_->OnSelChange = std::move(handler); }
  void SetOnTypeChange(TTypeChangeEvent handler) { hook_->OnTypeChange = std::move(handler); }
  bool GetClearFileNameOnFolderChange() const { return hook_->ClearFileNameOnFolderChange; }
  void SetClearFileNameOnFolderChange(bool value) { hook_->ClearFileNameOnFolderChange = value; }

protected:
  BOOL TaskModalDialog(DialogFunction function, OPENFILENAME& record) override;

private:
  std::unique_ptr<TCustomDialog> hook_;
};

// The framework's save dialog with the hook above.
class TSaveDialogEx : public TSaveDialog {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TSaveDialogEx(TComponent* owner);
  ~TSaveDialogEx() override;

  TCustomDialog& Hook() { return *hook_; }
  const TCustomDialog& Hook() const { return *hook_; }

  void SetOnFileOk(TFileOkEvent handler) { hook_->OnFileOk = std::move(handler); }
  void SetOnSelChange(TNotifyEvent handler) { hook_->OnSelChange = std::move(handler); }
  void SetOnTypeChange(TTypeChangeEvent handler) { hook_->OnTypeChange = std::move(handler); }
  bool GetClearFileNameOnFolderChange() const { return hook_->ClearFileNameOnFolderChange; }
  void SetClearFileNameOnFolderChange(bool value) { hook_->ClearFileNameOnFolderChange = value; }

protected:
  BOOL TaskModalDialog(DialogFunction function, OPENFILENAME& record) override;

private:
  std::unique_ptr<TCustomDialog> hook_;
};
