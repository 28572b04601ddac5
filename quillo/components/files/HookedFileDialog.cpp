#include "quillo/components/files/HookedFileDialog.h"

#include <cstring>

#include "platform/vcl/Application.h"
#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"

QUILLO_DEFINE_PUBLISHED_CLASS(TCustomOpenDialog, TOpenDialog)
QUILLO_DEFINE_PUBLISHED_CLASS(TSaveDialogEx, TSaveDialog)

namespace {

// Sizes the child without moving it or letting anything else change.
constexpr UINT kSizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS |
                           SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
// Grows a window with the host form's panel.
constexpr UINT kGrow = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

// Whatever the dialog answers into a buffer of the usual size; empty when it reports no
// text or more than the buffer holds.
AnsiString AskDialog(HWND dialog, UINT message) {
  if (!dialog) return {};
  char text[TCustomDialog::kPathBufferSize] = {};
  const LRESULT size = SendMessage(dialog, message, sizeof text, reinterpret_cast<LPARAM>(text));
  if (size < 1 || size >= TCustomDialog::kPathBufferSize) return {};
  return AnsiString(text);
}

}  // namespace

// ---- TCustomDialog ---------------------------------------------------------------------

TCustomDialog::TCustomDialog(TOpenDialog* dialog) : Dialog(dialog) {}

const DialogTemplate& TCustomDialog::ChildTemplate() {
  static const DialogTemplate shared = [] {
    DialogTemplate t;
    t.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL;
    t.cx = 10;
    t.cy = 10;
    return t;
  }();
  return shared;
}

TCustomForm* TCustomDialog::HostForm() const {
  return Dialog ? dynamic_cast<TCustomForm*>(Dialog->Owner()) : nullptr;
}

TWinControl* TCustomDialog::LentControl(int index) const {
  TCustomForm* host = HostForm();
  if (!host || index >= kMaxLentControls || index >= host->ComponentCount()) return nullptr;
  TComponent* component = host->Components(index);
  if (component == Dialog) return nullptr;
  // Only controls with a window of their own can move into the dialog's window.
  auto* control = dynamic_cast<TWinControl*>(component);
  return control && control->GetParent() == host ? control : nullptr;
}

void TCustomDialog::TaskModalDialog(OPENFILENAME& record) {
  record.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
  record.hInstance = const_cast<DialogTemplate*>(&ChildTemplate());
  OldHook = record.lpfnHook;
  record.lCustData = reinterpret_cast<LPARAM>(this);
  record.lpfnHook = [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return OFNHookProc(window, message, wParam, lParam);
  };
  if (OwnerControl) record.hwndOwner = OwnerControl->GetHandle();
}

void TCustomDialog::LendControls(HWND child) {
  TCustomForm* host = HostForm();
  if (!host) return;
  PanelHeight = host->GetClientHeight();
  SetWindowPos(child, nullptr, 0, 0, host->GetClientWidth(), host->GetClientHeight(), kSizeOnly);
  for (int i = 0; i < kMaxLentControls && i < host->ComponentCount(); ++i) {
    TWinControl* control = LentControl(i);
    if (!control) continue;
    SavedPos[i] = {control->GetLeft(), control->GetTop()};
    SetParent(control->GetHandle(), child);
    SetWindowPos(control->GetHandle(), nullptr, SavedPos[i].x, SavedPos[i].y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(control->GetHandle(), control->GetVisible() ? SW_SHOW : SW_HIDE);
  }
}

void TCustomDialog::ReturnControls() {
  TCustomForm* host = HostForm();
  if (!host) return;
  for (int i = 0; i < kMaxLentControls && i < host->ComponentCount(); ++i) {
    TWinControl* control = LentControl(i);
    if (!control || !control->HandleAllocated()) continue;
    SetParent(control->GetHandle(), host->GetHandle());
    SetWindowPos(control->GetHandle(), nullptr, SavedPos[i].x, SavedPos[i].y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    control->SetBounds(SavedPos[i].x, SavedPos[i].y, control->GetWidth(), control->GetHeight());
    ShowWindow(control->GetHandle(), control->GetVisible() ? SW_SHOWNA : SW_HIDE);
  }
}

void TCustomDialog::UpdateSelPath() { SelPath = AskDialog(DialogWnd, CDM_GETFILEPATH); }

UINT_PTR TCustomDialog::OFNHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtr(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
    childProc_ = SetWindowProc(window, [this](HWND w, UINT m, WPARAM wp, LPARAM lp) {
      return WindowProc(w, m, wp, lp);
    });
    LendControls(window);
    ChildWnd = window;
    DialogWnd = GetParent(window);
    SelPath.clear();
    return TRUE;
  }
  auto* self = reinterpret_cast<TCustomDialog*>(GetWindowLongPtr(window, GWL_USERDATA));
  if (!self) self = this;
  switch (message) {
    case WM_COMMAND:
      if (TCustomForm* host = self->HostForm()) host->Perform(message, wParam, lParam);
      return TRUE;
    case WM_NOTIFY:
      return self->OnNotify(window, *reinterpret_cast<const OFNOTIFY*>(lParam), wParam, lParam);
    default: return self->OldHook ? self->OldHook(window, message, wParam, lParam) : FALSE;
  }
}

UINT_PTR TCustomDialog::OnNotify(HWND window, const OFNOTIFY& notify, WPARAM wParam, LPARAM lParam) {
  auto passOn = [&] { return OldHook ? OldHook(window, WM_NOTIFY, wParam, lParam) : UINT_PTR{FALSE}; };
  switch (notify.hdr.code) {
    case CDN_TYPECHANGE:
      if (OnTypeChange) OnTypeChange(Dialog, notify.lpOFN ? static_cast<int>(notify.lpOFN->nFilterIndex) : 0);
      return TRUE;
    case CDN_SELCHANGE:
      UpdateSelPath();
      if (OnSelChange) OnSelChange(Dialog);
      return TRUE;
    case CDN_FILEOK: {
      UpdateSelPath();
      bool accept = true;
      if (InSetFolder) {
        accept = false;
      } else if (OnFileOk) {
        accept = false;
        OnFileOk(Dialog, accept);
      }
      if (accept) {
        SetWindowLongPtr(window, DWLP_MSGRESULT, 0);
        return FALSE;
      }
      SetWindowLongPtr(window, DWLP_MSGRESULT, -1);
      return static_cast<UINT_PTR>(-1);
    }
    case CDN_HELP:
      // The Help button: the help of the dialog's context.
      if (Dialog && Dialog->GetHelpContext() != 0) Application()->HelpContext(Dialog->GetHelpContext());
      return TRUE;
    case CDN_FOLDERCHANGE:
      if (ClearFileNameOnFolderChange) SetSelFileName(AnsiString());
      return passOn();
    default: return passOn();
  }
}

LRESULT TCustomDialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ReturnControls();
    // The dialog goes with its child: nothing may be sent to either afterwards.
    ChildWnd = nullptr;
    DialogWnd = nullptr;
  }
  return childProc_ ? CallWindowProc(childProc_, window, message, wParam, lParam)
                    : DefDlgProc(window, message, wParam, lParam);
}

AnsiString TCustomDialog::GetSelFileName() const { return AskDialog(DialogWnd, CDM_GETSPEC); }

void TCustomDialog::SetSelFileName(const AnsiString& name) {
  if (!DialogWnd) return;
  SendMessage(DialogWnd, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(name.c_str()));
}

int TCustomDialog::GetSelFilterIndex() const {
  if (!DialogWnd) return 0;
  return static_cast<int>(SendDlgItemMessage(DialogWnd, cmb1, CB_GETCURSEL, 0, 0)) + 1;
}

void TCustomDialog::SetSelFilterIndex(int index) {
  if (!DialogWnd) return;
  HWND types = GetDlgItem(DialogWnd, cmb1);
  SendMessage(types, CB_SETCURSEL, static_cast<WPARAM>(index - 1), 0);
  SendMessage(DialogWnd, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
  SendMessage(DialogWnd, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
}

void TCustomDialog::Cancel() {
  if (DialogWnd) PostMessage(DialogWnd, WM_COMMAND, IDCANCEL, 0);
}

void TCustomDialog::SetSelFolder(const AnsiString& folder) {
  if (!DialogWnd) return;
  struct FolderScope {
    bool& flag;
    explicit FolderScope(bool& f) : flag(f) { flag = true; }
    ~FolderScope() { flag = false; }
  } scope(InSetFolder);
  HWND name = GetDlgItem(DialogWnd, edt1);
  char typed[512] = {};
  if (!ClearFileNameOnFolderChange) SendMessage(name, WM_GETTEXT, sizeof typed, reinterpret_cast<LPARAM>(typed));
  SendMessage(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  SendMessage(DialogWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(DialogWnd, IDOK)));
  if (!ClearFileNameOnFolderChange) SendMessage(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed));
}

void TCustomDialog::RefreshControls() {
  TCustomForm* host = HostForm();
  if (!host || !ChildWnd) return;
  for (int i = 0; i < kMaxLentControls && i < host->ComponentCount(); ++i)
    if (TWinControl* control = LentControl(i); control && !control->GetVisible())
      ShowWindow(control->GetHandle(), SW_HIDE);
  const int grow = host->GetClientHeight() - PanelHeight;
  if (grow != 0) {
    for (HWND w : {ChildWnd, DialogWnd}) {
      RECT r{};
      GetWindowRect(w, &r);
      SetWindowPos(w, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + grow, kGrow);
    }
    PanelHeight += grow;
  }
  for (int i = 0; i < kMaxLentControls && i < host->ComponentCount(); ++i)
    if (TWinControl* control = LentControl(i); control && control->GetVisible())
      ShowWindow(control->GetHandle(), SW_SHOW);
}

// ---- The components ----------------------------------------------------------------------

const TPropTable* TCustomOpenDialog::PublishedProperties() {
  static const TPropTable table = TPublisher<TCustomOpenDialog>()
                                      .Property("ClearFileNameOnFolderChange",
                                                &TCustomOpenDialog::GetClearFileNameOnFolderChange,
                                                &TCustomOpenDialog::SetClearFileNameOnFolderChange)
                                      .Table();
  return &table;
}

TCustomOpenDialog::TCustomOpenDialog(TComponent* owner)
    : TOpenDialog(owner), hook_(std::make_unique<TCustomDialog>(this)) {}

TCustomOpenDialog::~TCustomOpenDialog() = default;

BOOL TCustomOpenDialog::TaskModalDialog(DialogFunction function, OPENFILENAME& record) {
  hook_->TaskModalDialog(record);
  return TOpenDialog::TaskModalDialog(function, record);
}

const TPropTable* TSaveDialogEx::PublishedProperties() {
  static const TPropTable table = TPublisher<TSaveDialogEx>()
                                      .Property("ClearFileNameOnFolderChange",
                                                &TSaveDialogEx::GetClearFileNameOnFolderChange,
                                                &TSaveDialogEx::SetClearFileNameOnFolderChange)
                                      .Table();
  return &table;
}

TSaveDialogEx::TSaveDialogEx(TComponent* owner)
    : TSaveDialog(owner), hook_(std::make_unique<TCustomDialog>(this)) {}

TSaveDialogEx::~TSaveDialogEx() = default;

BOOL TSaveDialogEx::TaskModalDialog(DialogFunction function, OPENFILENAME& record) {
  hook_->TaskModalDialog(record);
  return TSaveDialog::TaskModalDialog(function, record);
}
