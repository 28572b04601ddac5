#pragma once
// A user at an open or save dialog: finds it, reads its list, clicks and double-clicks its
// items and buttons, and types into its name box, all through the UI driver.

#include <string>
#include <vector>

#include "platform/dialogs/FileDialog.h"
#include "support/UiDriver.h"

class FileDialogUser {
public:
  explicit FileDialogUser(UiDriver& ui) : ui_(ui) {}

  // The open file dialog (the active window); null when there is none.
  static HWND Dialog();
  // The names the file list shows, in order.
  std::vector<std::string> ListNames() const;
  // One column (0 name, 1 size, 2 type, 3 date) of the item named name.
  std::string ListText(const std::string& name, int column) const;
  void ClickItem(const std::string& name, bool withCtrl = false);
  void DoubleClickItem(const std::string& name);
  void ClickControl(int id);
  // Clicks into the name box, replaces its text by typing, and presses Enter.
  void TypeName(const std::string& text, bool enter = true);
  // Types into whatever has the focus, as a user who starts typing at once, and presses Enter.
  void TypeAtOnce(const std::string& text);
  void ChooseType(int index);  // 0-based, with the mouse on the type combo's list
  std::string Folder() const;  // CDM_GETFOLDERPATH
  std::string Spec() const;    // CDM_GETSPEC

private:
  int ItemIndex(const std::string& name) const;
  UiDriver& ui_;
};
