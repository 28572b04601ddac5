#pragma once
// The components' folder browser: TBrowseFolderDlg wraps the shell's folder browser
// (SHBrowseForFolder) as a component, and BrowseDirectory is what the directory edit calls.
//
// The tree starts at the desktop (DesktopRoot) or at the file system root. The starting
// selection is FolderName when it is a folder; OK is enabled only while the selection is an
// existing folder. Success sets FolderName to the chosen folder without a trailing '/'.
// A non-zero HelpContext adds a "&Help" button beside OK that calls OnHelp with it.
// There is no network neighbourhood on this system: bfComputers answers false at once.

#include <functional>

#include "platform/rtl/AnsiString.h"
#include "platform/user/User.h"
#include "platform/vcl/Component.h"

enum TBrowseKind { bfFolders, bfComputers };
enum TDialogPosition { dpDefault, dpScreenCenter };
QUILLO_DECLARE_ENUM_TYPE(TBrowseKind)
QUILLO_DECLARE_ENUM_TYPE(TDialogPosition)

class TBrowseFolderDlg : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TBrowseFolderDlg(TComponent* owner);

  TBrowseKind BrowseKind = bfFolders;
  bool DesktopRoot = true;
  AnsiString DialogText;
  AnsiString FolderName;
  int HelpContext = 0;
  TDialogPosition Position = dpScreenCenter;
  TNotifyEvent OnInitialized;
  TNotifyEvent OnSelChanged;
  // The Help button's press, with HelpContext.
  std::function<void(int helpContext)> OnHelp;

  HWND Handle() const { return handle_; }          // the dialog while it is open
  const AnsiString& DisplayName() const { return displayName_; }
  const AnsiString& Selection() const { return selection_; }  // while it is open
  int ImageIndex() const { return imageIndex_; }

  bool Execute();

private:
  void Initialized(HWND dialog);
  void SelectionChanged(HWND dialog, const AnsiString& path);
  void AddHelpButton(HWND dialog);

  HWND handle_ = nullptr;
  AnsiString displayName_;
  AnsiString selection_;
  int imageIndex_ = 0;
};

// Asks for a folder with the shell's browser: true and folder set to the choice when the
// user accepts; false and folder unchanged otherwise.
bool BrowseDirectory(AnsiString& folder, const AnsiString& title, int helpContext);
// Computers of a network cannot be browsed here: always false, name unchanged.
bool BrowseComputer(AnsiString& name, const AnsiString& title, int helpContext);

namespace BrowseFolderDlgText {
inline constexpr const char* Help = "&Help";
}  // namespace BrowseFolderDlgText
