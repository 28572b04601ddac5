// The file dialog's views of the folder: the file list (list or details, small icons), the
// "Look in" combo of the folder's ancestors, the places bar and the tool buttons.

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ListView.h"
#include "platform/dialogs/FileDialogRun.h"
#include "platform/dialogs/FileInfo.h"
#include "platform/gdi/Display.h"
#include "platform/user/UserDraw.h"

using namespace filedialog;

namespace filedialogview {

namespace {

HWND List(const FileDialogRun& run) { return GetDlgItem(run.dialog, lst1); }

void InsertColumn(HWND list, int index, const char* text, int width, int format) {
  LVCOLUMN column;
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  column.pszText = const_cast<LPSTR>(text);
  column.cx = width;
  column.fmt = format;
  column.iSubItem = index;
  SendMessage(list, LVM_INSERTCOLUMN, index, reinterpret_cast<LPARAM>(&column));
}

std::string SizeText(const FolderEntry& e) {
  if (e.folder) return {};
  std::uint64_t kb = (e.size + 1023) / 1024;
  std::string digits = std::to_string(kb), grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped + " KB";
}

std::string DateText(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%m/%d/%Y %H:%M", &local);
  return text;
}

void SetSubItem(HWND list, int item, int sub, const std::string& text) {
  LVITEM li;
  li.iSubItem = sub;
  li.pszText = const_cast<LPSTR>(text.c_str());
  SendMessage(list, LVM_SETITEMTEXT, item, reinterpret_cast<LPARAM>(&li));
}

int IconOf(const FolderEntry& e) {
  if (e.folder) return static_cast<int>(FileIcon::Folder);
  return static_cast<int>(IsPictureName(e.name) ? FileIcon::Picture : FileIcon::Document);
}

void AddPlace(FileDialogRun& run, HWND bar, const char* caption, const std::string& path, FileIcon icon) {
  if (!IsFolder(path)) return;
  LVITEM item;
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = static_cast<int>(run.places.size());
  item.pszText = const_cast<LPSTR>(caption);
  item.iImage = static_cast<int>(icon);
  item.lParam = static_cast<LPARAM>(run.places.size());
  run.places.push_back(path);
  SendMessage(bar, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
}


// In list view the column is as wide as the longest name with its icon, so names show whole
// (up to the list's own width).
void FitListColumn(const FileDialogRun& run) {
  HWND list = List(run);
  if ((GetWindowLongPtr(list, GWL_STYLE) & LVS_TYPEMASK) != LVS_LIST) return;
  int widest = 0;
  for (const FolderEntry& e : run.entries)
    widest = std::max(widest, static_cast<int>(SendMessage(list, LVM_GETSTRINGWIDTH, 0,
                                                           reinterpret_cast<LPARAM>(e.name.c_str()))));
  RECT client{};
  GetClientRect(list, &client);
  const int width = std::clamp(widest + 16 + 12, 80, std::max(80, static_cast<int>(client.right) - 4));
  SendMessage(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width, 0));
}

}  // namespace

void SetUpControls(FileDialogRun& run) {
  HWND list = List(run);
  SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FileIconList(true)));
  SendMessage(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(FileIconList(false)));
  InsertColumn(list, 0, "Name", 180, LVCFMT_LEFT);
  InsertColumn(list, 1, "Size", 70, LVCFMT_RIGHT);
  InsertColumn(list, 2, "Type", 110, LVCFMT_LEFT);
  InsertColumn(list, 3, "Modified", 120, LVCFMT_LEFT);

  HWND bar = GetDlgItem(run.dialog, ctl1);
  SendMessage(bar, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(FileIconList(false)));
  SendMessage(bar, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_3DSHADOW)));
  SendMessage(bar, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(RGB(255, 255, 255)));
  const std::string home = HomeFolder();
  AddPlace(run, bar, "Home", home, FileIcon::Home);
  AddPlace(run, bar, "Desktop", home + "/Desktop", FileIcon::Desktop);
  AddPlace(run, bar, "File System", "/", FileIcon::Drive);
}

void FillList(FileDialogRun& run) {
  HWND list = List(run);
  run.filling = true;
  run.entries = ListFolder(run.folder, run.Patterns(),
                           (run.ofn->Flags & OFN_FORCESHOWHIDDEN) ? HiddenFiles::Show : HiddenFiles::Hide);
  SendMessage(list, WM_SETREDRAW, FALSE, 0);
  SendMessage(list, LVM_DELETEALLITEMS, 0, 0);
  for (size_t i = 0; i < run.entries.size(); ++i) {
    const FolderEntry& e = run.entries[i];
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<LPSTR>(e.name.c_str());
    item.iImage = IconOf(e);
    item.lParam = static_cast<LPARAM>(i);
    int index = static_cast<int>(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)));
    SetSubItem(list, index, 1, SizeText(e));
    SetSubItem(list, index, 2, FileTypeName(e.name, e.folder));
    SetSubItem(list, index, 3, DateText(e.modified));
  }
  FitListColumn(run);
  SendMessage(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  run.filling = false;
}

void FillLookIn(FileDialogRun& run) {
  HWND combo = GetDlgItem(run.dialog, cmb2);
  run.lookInFolders = FolderAncestors(run.folder);
  SendMessage(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& path : run.lookInFolders) {
    std::string name = path == "/" ? "/" : NamePart(path);
    SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessage(combo, CB_SETCURSEL, run.lookInFolders.size() - 1, 0);
  EnableWindow(GetDlgItem(run.dialog, kFileDialogUpButton), run.folder != "/");
}

void DrawLookInItem(const FileDialogRun& run, const DRAWITEMSTRUCT& item) {
  if (item.itemID >= run.lookInFolders.size()) return;
  const std::string& path = run.lookInFolders[item.itemID];
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const int indent = (item.itemState & ODS_COMBOBOXEDIT) ? 0 : static_cast<int>(item.itemID) * 10;
  RECT r = item.rcItem;
  HBRUSH background = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  FillRect(item.hDC, &r, background);
  DeleteObject(background);
  const int iconY = r.top + (r.bottom - r.top - 16) / 2;
  ImageList_Draw(FileIconList(true), static_cast<int>(path == "/" ? FileIcon::Drive : FileIcon::OpenFolder),
                 item.hDC, r.left + 2 + indent, iconY, ILD_TRANSPARENT);
  std::string name = path == "/" ? "/" : NamePart(path);
  SIZE extent{};
  GetTextExtentPoint32(item.hDC, name.c_str(), static_cast<int>(name.size()), &extent);
  RECT text{r.left + 21 + indent, r.top, r.left + 25 + indent + extent.cx, r.bottom};
  if (selected) {
    HBRUSH highlight = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
    FillRect(item.hDC, &text, highlight);
    DeleteObject(highlight);
  }
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  TextOut(item.hDC, text.left + 2, r.top + (r.bottom - r.top - extent.cy) / 2, name.c_str(),
          static_cast<int>(name.size()));
  if ((item.itemState & ODS_FOCUS) && selected) DrawFocusRect(item.hDC, &text);
}

bool DrawToolButton(const DRAWITEMSTRUCT& item) {
  FileIcon icon;
  switch (item.CtlID) {
    case kFileDialogUpButton: icon = FileIcon::UpFolder; break;
    case kFileDialogNewFolderButton: icon = FileIcon::NewFolder; break;
    case kFileDialogListButton: icon = FileIcon::ListView; break;
    case kFileDialogDetailsButton: icon = FileIcon::DetailsView; break;
    default: return false;
  }
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  DrawEdge(item.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  const int shift = pressed ? 1 : 0;
  const int x = r.left + (r.right - r.left - 16) / 2 + shift, y = r.top + (r.bottom - r.top - 16) / 2 + shift;
  if (item.itemState & ODS_DISABLED)
    ImageList_DrawEx(FileIconList(true), static_cast<int>(icon), item.hDC, x, y, 0, 0, CLR_NONE,
                     GetSysColor(COLOR_BTNFACE), ILD_BLEND50);
  else
    ImageList_Draw(FileIconList(true), static_cast<int>(icon), item.hDC, x, y, ILD_TRANSPARENT);
  return true;
}

void SetView(FileDialogRun& run, bool details) {
  HWND list = List(run);
  LONG_PTR style = GetWindowLongPtr(list, GWL_STYLE);
  style = (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | (details ? LVS_REPORT : LVS_LIST);
  SetWindowLongPtr(list, GWL_STYLE, style);
  FitListColumn(run);
  InvalidateRect(list, nullptr, TRUE);
}

std::vector<int> SelectedEntries(const FileDialogRun& run) {
  std::vector<int> out;
  HWND list = List(run);
  for (int i = static_cast<int>(SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); i >= 0;
       i = static_cast<int>(SendMessage(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) {
    LVITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = i;
    SendMessage(list, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
    if (item.lParam >= 0 && item.lParam < static_cast<LPARAM>(run.entries.size()))
      out.push_back(static_cast<int>(item.lParam));
  }
  return out;
}

void ShowSelectionInEdit(FileDialogRun& run) {
  std::vector<std::string> names;
  for (int index : SelectedEntries(run))
    if (!run.entries[index].folder) names.push_back(run.entries[index].name);
  if (names.empty()) return;
  if (!run.MultiSelect()) names.resize(1);
  SetDlgItemText(run.dialog, edt1, JoinNames(names).c_str());
}

void MakeNewFolder(FileDialogRun& run) {
  std::string name = "New Folder";
  for (int n = 2; Exists(ResolvePath(run.folder, name)) && n < 1000; ++n) name = "New Folder (" + std::to_string(n) + ")";
  if (mkdir(ResolvePath(run.folder, name).c_str(), 0777) != 0) {
    MessageBox(run.dialog, ("Unable to create folder '" + name + "'.").c_str(), "Error Creating Folder",
               MB_OK | MB_ICONHAND);
    return;
  }
  FillList(run);
  HWND list = List(run);
  LVFINDINFO find;
  find.flags = LVFI_STRING;
  find.psz = name.c_str();
  int index = static_cast<int>(SendMessage(list, LVM_FINDITEM, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
  if (index < 0) return;
  LVITEM state;
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessage(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
  SetFocus(list);
  run.newFolderName = name;
  SendMessage(list, LVM_EDITLABEL, index, 0);
}

}  // namespace filedialogview
