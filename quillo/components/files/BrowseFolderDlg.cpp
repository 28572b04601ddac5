#include "quillo/components/files/BrowseFolderDlg.h"

#include <sys/stat.h>

#include "platform/controls/Button.h"
#include "platform/dialogs/BrowseFolder.h"
#include "platform/user/SysParams.h"
#include "platform/vcl/Application.h"

QUILLO_DEFINE_ENUM_TYPE(TBrowseKind, "bfFolders", "bfComputers")
QUILLO_DEFINE_ENUM_TYPE(TDialogPosition, "dpDefault", "dpScreenCenter")
QUILLO_DEFINE_PUBLISHED_CLASS(TBrowseFolderDlg, TComponent)

const TPropTable* TBrowseFolderDlg::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TBrowseFolderDlg>()
          .Property("BrowseKind", [](const TBrowseFolderDlg* o) { return o->BrowseKind; },
                    [](TBrowseFolderDlg* o, TBrowseKind v) { o->BrowseKind = v; })
          .Property("DesktopRoot", [](const TBrowseFolderDlg* o) { return o->DesktopRoot; },
                    [](TBrowseFolderDlg* o, bool v) { o->DesktopRoot = v; })
          .Property("DialogText", [](const TBrowseFolderDlg* o) { return o->DialogText; },
                    [](TBrowseFolderDlg* o, const AnsiString& v) { o->DialogText = v; })
          .Property("FolderName", [](const TBrowseFolderDlg* o) { return o->FolderName; },
                    [](TBrowseFolderDlg* o, const AnsiString& v) { o->FolderName = v; })
          .Property("HelpContext", [](const TBrowseFolderDlg* o) { return o->HelpContext; },
                    [](TBrowseFolderDlg* o, int v) { o->HelpContext = v; })
          .Property("Position", [](const TBrowseFolderDlg* o) { return o->Position; },
                    [](TBrowseFolderDlg* o, TDialogPosition v) { o->Position = v; })
          .Table();
  return &table;
}

TBrowseFolderDlg::TBrowseFolderDlg(TComponent* owner) : TComponent(owner) {}

namespace {

constexpr int kHelpButton = 0x3745;

bool IsFolder(const AnsiString& path) {
  struct stat info{};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

AnsiString WithoutTrailingSlash(AnsiString path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

void TBrowseFolderDlg::AddHelpButton(HWND dialog) {
  HWND ok = GetDlgItem(dialog, IDOK);
  RECT box{};
  GetWindowRect(ok, &box);
  POINT corner{box.left, box.top};
  ScreenToClient(dialog, &corner);
  const int width = box.right - box.left, height = box.bottom - box.top;
  HWND help = CreateWindowEx(0, "BUTTON", BrowseFolderDlgText::Help, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                             corner.x - width - width / 12, corner.y, width, height, dialog,
                             reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kHelpButton)), nullptr, nullptr);
  SendMessage(help, WM_SETFONT, SendMessage(ok, WM_GETFONT, 0, 0), TRUE);
  // The dialog's procedure is ours from now on, to hear the button.
  WNDPROC previous = GetWindowProc(dialog);
  SetWindowProc(dialog, [this, previous](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (message == WM_COMMAND && LOWORD(wParam) == kHelpButton && HIWORD(wParam) == BN_CLICKED) {
      if (OnHelp) OnHelp(HelpContext);
      return 0;
    }
    return CallWindowProc(previous, window, message, wParam, lParam);
  });
}

void TBrowseFolderDlg::Initialized(HWND dialog) {
  handle_ = dialog;
  if (Position == dpScreenCenter) {
    RECT box{};
    GetWindowRect(dialog, &box);
    const int width = box.right - box.left, height = box.bottom - box.top;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (IsFolder(FolderName))
    SendMessage(dialog, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(FolderName.c_str()));
  if (HelpContext != 0) AddHelpButton(dialog);
  if (OnInitialized) OnInitialized(this);
}

void TBrowseFolderDlg::SelectionChanged(HWND dialog, const AnsiString& path) {
  selection_ = path;
  SendMessage(dialog, BFFM_ENABLEOK, 0, IsFolder(path) ? TRUE : FALSE);
  if (OnSelChanged) OnSelChanged(this);
}

bool TBrowseFolderDlg::Execute() {
  if (BrowseKind == bfComputers) return false;
  LPITEMIDLIST root = nullptr;
  if (!DesktopRoot) SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &root);
  char name[MAX_PATH] = {};
  BROWSEINFO info;
  info.hwndOwner = Application()->GetHandle();
  info.pidlRoot = root;
  info.pszDisplayName = name;
  info.lpszTitle = DialogText.empty() ? nullptr : DialogText.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
  info.lpfn = [this](HWND dialog, UINT message, LPARAM lParam, LPARAM) {
    if (message == BFFM_INITIALIZED) Initialized(dialog);
    if (message == BFFM_SELCHANGED) SelectionChanged(dialog, ILPath(reinterpret_cast<LPCITEMIDLIST>(lParam)));
    return 0;
  };
  // Every other window of the program waits while the dialog is open; the one that was
  // active is active again afterwards.
  HWND active = GetActiveWindow();
  const TTaskWindowList disabled = DisableTaskWindows(nullptr);
  LPITEMIDLIST chosen = SHBrowseForFolder(&info);
  EnableTaskWindows(disabled);
  if (active && IsWindow(active)) SetActiveWindow(active);
  handle_ = nullptr;
  selection_.clear();
  ILFree(root);
  const AnsiString path = ILPath(chosen);
  ILFree(chosen);
  if (path.empty()) return false;
  FolderName = WithoutTrailingSlash(path);
  displayName_ = name;
  imageIndex_ = info.iImage;
  return true;
}

bool BrowseDirectory(AnsiString& folder, const AnsiString& title, int helpContext) {
  auto dialog = MakeObject<TBrowseFolderDlg>(nullptr);
  dialog->DialogText = title;
  dialog->FolderName = folder;
  dialog->HelpContext = helpContext;
  if (!dialog->Execute()) return false;
  folder = dialog->FolderName;
  return true;
}

bool BrowseComputer(AnsiString&, const AnsiString&, int) { return false; }
