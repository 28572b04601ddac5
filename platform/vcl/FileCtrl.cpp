#include "platform/vcl/FileCtrl.h"

#include <sys/stat.h>

#include "platform/dialogs/BrowseFolder.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Screen.h"

QUILLO_DEFINE_ENUM_TYPE(TSelectDirOpt, "sdAllowCreate", "sdPerformCreate", "sdPrompt")

namespace {

bool IsFolder(const AnsiString& path) {
  struct stat info{};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

HWND Owner() {
  if (TCustomForm* form = Screen()->ActiveForm(); form && form->HandleAllocated()) return form->GetHandle();
  return Application()->GetHandle();
}

// Runs the browser; answers the chosen path, or empty when cancelled. The item list the
// browser hands back is freed here.
AnsiString Browse(BROWSEINFO& info) {
  LPITEMIDLIST chosen = SHBrowseForFolder(&info);
  AnsiString path = ILPath(chosen);
  ILFree(chosen);
  return path;
}

}  // namespace

bool SelectDirectory(const AnsiString& caption, const AnsiString& root, AnsiString& directory) {
  LPITEMIDLIST rootList = IsFolder(root) ? ILCreateFromPath(root.c_str()) : nullptr;
  char name[MAX_PATH] = {};
  BROWSEINFO info;
  info.hwndOwner = Owner();
  info.pidlRoot = rootList;
  info.pszDisplayName = name;
  info.lpszTitle = caption.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  const AnsiString start = directory;
  info.lpfn = [&start](HWND dialog, UINT message, LPARAM, LPARAM) {
    if (message == BFFM_INITIALIZED && IsFolder(start))
      SendMessage(dialog, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(start.c_str()));
    return 0;
  };
  const AnsiString chosen = Browse(info);
  ILFree(rootList);
  if (chosen.empty()) return false;
  directory = chosen;
  return true;
}

bool SelectDirectory(AnsiString& directory, TSelectDirOpts options, int) {
  char name[MAX_PATH] = {};
  BROWSEINFO info;
  info.hwndOwner = Owner();
  info.pszDisplayName = name;
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE;
  const AnsiString start = directory;
  AnsiString selected;  // the folder a typed name is taken from
  AnsiString made;      // a new folder the user accepted
  info.lpfn = [&](HWND dialog, UINT message, LPARAM lParam, LPARAM) -> int {
    switch (message) {
      case BFFM_INITIALIZED:
        SetWindowText(dialog, FileCtrlText::SelectDirCaption);
        if (IsFolder(start)) SendMessage(dialog, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(start.c_str()));
        return 0;
      case BFFM_SELCHANGED: selected = ILPath(reinterpret_cast<LPCITEMIDLIST>(lParam)); return 0;
      case BFFM_VALIDATEFAILED: {
        const AnsiString typed = reinterpret_cast<LPCSTR>(lParam);
        if (!options.Contains(sdAllowCreate)) return 1;  // stays open: only existing folders
        const AnsiString wanted =
            ExcludeTrailingPathDelimiter(ExpandFileName(typed[0] == '/' ? typed : IncludeTrailingPathDelimiter(selected) + typed));
        if (options.Contains(sdPrompt) &&
            MessageDlg(FileCtrlText::ConfirmCreateDir, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) != mrYes)
          return 1;
        if (options.Contains(sdPerformCreate) && !ForceDirectories(wanted)) {
          MessageDlg(AnsiString(FileCtrlText::CannotCreateDir) + " " + wanted, mtError, TMsgDlgButtons{mbOK});
          return 1;
        }
        made = wanted;
        return 0;  // ends the dialog; the new folder is the answer
      }
      default: return 0;
    }
  };
  AnsiString chosen = Browse(info);
  if (chosen.empty()) chosen = made;
  if (chosen.empty()) return false;
  directory = chosen;
  return true;
}
