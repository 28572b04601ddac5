#include "support/FileDialogUser.h"

#include <gtest/gtest.h>

#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListView.h"

namespace {

POINT Centre(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::string Ask(UINT message) {
  char text[1024] = {};
  SendMessage(FileDialogUser::Dialog(), message, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

}  // namespace

HWND FileDialogUser::Dialog() {
  HWND active = GetActiveWindow();
  return active && GetDlgItem(active, lst1) && GetDlgItem(active, edt1) ? active : nullptr;
}

std::vector<std::string> FileDialogUser::ListNames() const {
  std::vector<std::string> names;
  HWND list = GetDlgItem(Dialog(), lst1);
  int count = static_cast<int>(SendMessage(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[512] = {};
    LVITEM item;
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessage(list, LVM_GETITEMTEXT, i, reinterpret_cast<LPARAM>(&item));
    names.emplace_back(text);
  }
  return names;
}

int FileDialogUser::ItemIndex(const std::string& name) const {
  std::vector<std::string> names = ListNames();
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  ADD_FAILURE() << "no item " << name;
  return -1;
}

std::string FileDialogUser::ListText(const std::string& name, int column) const {
  int index = ItemIndex(name);
  if (index < 0) return {};
  char text[512] = {};
  LVITEM item;
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessage(GetDlgItem(Dialog(), lst1), LVM_GETITEMTEXT, index, reinterpret_cast<LPARAM>(&item));
  return text;
}

void FileDialogUser::ClickItem(const std::string& name, bool withCtrl) {
  HWND list = GetDlgItem(Dialog(), lst1);
  int index = ItemIndex(name);
  if (index < 0) return;
  SendMessage(list, LVM_ENSUREVISIBLE, index, FALSE);
  RECT r{};
  r.left = LVIR_LABEL;
  SendMessage(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  POINT p = UiDriver::At(list, r.left + 4, (r.top + r.bottom) / 2);
  if (withCtrl) ui_.KeyDown(VK_CONTROL);
  ui_.Click(p.x, p.y);
  if (withCtrl) ui_.KeyUp(VK_CONTROL);
}

void FileDialogUser::DoubleClickItem(const std::string& name) {
  HWND list = GetDlgItem(Dialog(), lst1);
  int index = ItemIndex(name);
  if (index < 0) return;
  RECT r{};
  r.left = LVIR_LABEL;
  SendMessage(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  POINT p = UiDriver::At(list, r.left + 4, (r.top + r.bottom) / 2);
  ui_.Advance(1000);  // long after any earlier click on the spot: the two clicks pair with each other
  ui_.DoubleClick(p.x, p.y);
}

void FileDialogUser::ClickControl(int id) {
  POINT p = Centre(GetDlgItem(Dialog(), id));
  ui_.Click(p.x, p.y);
}

void FileDialogUser::TypeName(const std::string& text, bool enter) {
  HWND edit = GetDlgItem(Dialog(), edt1);
  POINT p = Centre(edit);
  ui_.Click(p.x, p.y);
  SendMessage(edit, EM_SETSEL, 0, -1);  // typing replaces what was there
  ui_.Type(text);
  if (enter) ui_.Press(VK_RETURN);
}

void FileDialogUser::TypeAtOnce(const std::string& text) {
  ui_.Type(text);
  ui_.Press(VK_RETURN);
}

void FileDialogUser::ChooseType(int index) {
  HWND combo = GetDlgItem(Dialog(), cmb1);
  POINT p = Centre(combo);
  ui_.Click(p.x, p.y);
  int current = static_cast<int>(SendMessage(combo, CB_GETCURSEL, 0, 0));
  for (; current < index; ++current) ui_.Press(VK_DOWN);
  for (; current > index; --current) ui_.Press(VK_UP);
  ui_.Press(VK_RETURN);
}

std::string FileDialogUser::Folder() const { return Ask(CDM_GETFOLDERPATH); }

std::string FileDialogUser::Spec() const { return Ask(CDM_GETSPEC); }
