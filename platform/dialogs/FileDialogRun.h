#pragma once
// One run of an open or save dialog: what the dialog procedure and its helpers share while
// the dialog is open. Internal to the file dialog's files.

#include <string>
#include <vector>

#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/FileDialogFolder.h"

struct FileDialogRun {
  OPENFILENAME* ofn = nullptr;
  bool save = false;
  HWND dialog = nullptr;
  HWND child = nullptr;  // the hook's dialog, made from the caller's template
  std::vector<filedialog::FileFilter> filters;
  int filterIndex = -1;  // 0-based; -1 without filters
  std::string folder;
  std::string typedPattern;  // a pattern typed into the name edit, shown instead of the filter's
  std::vector<filedialog::FolderEntry> entries;
  std::vector<std::string> lookInFolders;  // the folder combo's paths
  std::vector<std::string> places;         // the places bar's paths
  std::string defExt;
  bool hasDefExt = false;
  std::string startName;
  bool accepted = false;
  bool selChangePending = false;
  bool filling = false;  // the list is being refilled: its changes are not the user's
  std::string newFolderName;  // a folder just made, whose name the user may edit
  SIZE clientSize{};          // the client size the layout was made for
  struct Anchor {
    HWND window;
    RECT rect;
    int moveX, moveY, growX, growY;  // 1: follows the size change in that direction
  };
  std::vector<Anchor> anchors;

  bool Hooked() const { return ofn->lpfnHook && (ofn->Flags & OFN_ENABLEHOOK); }
  bool MultiSelect() const { return (ofn->Flags & OFN_ALLOWMULTISELECT) != 0; }
  const filedialog::FileFilter* Filter() const {
    return filterIndex >= 0 && filterIndex < static_cast<int>(filters.size()) ? &filters[filterIndex] : nullptr;
  }
  std::vector<std::string> Patterns() const;
};

namespace filedialogview {
// The list, the folder combo, the places bar and the tool buttons.
void SetUpControls(FileDialogRun& run);
void FillList(FileDialogRun& run);
void FillLookIn(FileDialogRun& run);
void SetView(FileDialogRun& run, bool details);
// The selected items of the list (indexes into run.entries).
std::vector<int> SelectedEntries(const FileDialogRun& run);
// The edit's text for the files selected in the list (none: unchanged).
void ShowSelectionInEdit(FileDialogRun& run);
void DrawLookInItem(const FileDialogRun& run, const DRAWITEMSTRUCT& item);
// Draws an owner-drawn tool button (up, new folder, list, details); false for another control.
bool DrawToolButton(const DRAWITEMSTRUCT& item);
// Makes a new folder in the current one and starts editing its name.
void MakeNewFolder(FileDialogRun& run);
}  // namespace filedialogview
