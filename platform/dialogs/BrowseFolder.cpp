#include "platform/dialogs/BrowseFolder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/Button.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Static.h"
#include "platform/controls/TreeView.h"
#include "platform/dialogs/FolderIcons.h"
#include "platform/user/Dialog.h"

namespace {

bool IsFolderPath(const std::string& path) {
  struct stat info{};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// Names sorted as a user reads them: letters without regard to case, then by their bytes.
bool NameBefore(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int ca = std::tolower(static_cast<unsigned char>(a[i])), cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

struct Entry {
  std::string name;
  bool folder = false;
};

// What a folder shows: its sub-folders (and files when asked), hidden names left out.
std::vector<Entry> ListFolder(const std::string& path, bool withFiles, bool firstOnly = false) {
  std::vector<Entry> entries;
  DIR* dir = ::opendir(path.c_str());
  if (!dir) return entries;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.empty() || name[0] == '.') continue;
    const bool folder = IsFolderPath(Join(path, name));
    if (!folder && !withFiles) continue;
    entries.push_back({name, folder});
    if (firstOnly) break;
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.folder != b.folder) return a.folder;
    return NameBefore(a.name, b.name);
  });
  return entries;
}

class FolderBrowser {
public:
  explicit FolderBrowser(BROWSEINFO& info) : info_(info) {}
  LPITEMIDLIST Run();

private:
  struct Node {
    std::string path;
    std::string name;
    bool folder = true;
    bool listed = false;
  };

  DialogTemplate MakeTemplate() const;
  INT_PTR Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise();
  HTREEITEM AddItem(HTREEITEM parent, const std::string& path, const std::string& name, bool folder);
  void ListChildren(HTREEITEM item);
  HTREEITEM FindChild(HTREEITEM parent, const std::string& name);
  HTREEITEM ItemForPath(const std::string& path);
  bool SelectPath(const std::string& path);
  const Node* NodeOf(HTREEITEM item) const;
  const Node* Selected() const;
  void SelectionChanged();
  void Accept();
  int Callback(UINT message, LPARAM lParam) {
    return info_.lpfn ? info_.lpfn(dialog_, message, lParam, info_.lParam) : 0;
  }
  bool Has(UINT flag) const { return (info_.ulFlags & flag) != 0; }

  BROWSEINFO& info_;
  HWND dialog_ = nullptr;
  HWND tree_ = nullptr;
  std::vector<Node> nodes_;
  std::vector<HTREEITEM> roots_;
  HIMAGELIST images_ = nullptr;
  bool initialised_ = false;
  int selectionChanges_ = 0;
  std::string result_;
  std::string resultName_;
};

DialogTemplate FolderBrowser::MakeTemplate() const {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | WS_VISIBLE;
  t.cx = 190;
  t.caption = BrowseFolderText::Caption;
  const bool status = Has(BIF_STATUSTEXT), edit = Has(BIF_EDITBOX);
  int y = 6;
  t.items.push_back({"STATIC", info_.lpszTitle ? info_.lpszTitle : "", IDC_BROWSE_TITLE,
                     WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 7, y, 176, 18});
  y += 20;
  if (status) {
    t.items.push_back({"STATIC", "", IDC_BROWSE_STATUS, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 7, y, 176, 9});
    y += 11;
  }
  const int treeHeight = 120;
  t.items.push_back({WC_TREEVIEW, "", IDC_BROWSE_TREE,
                     WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                         TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP,
                     7, y, 176, treeHeight, WS_EX_CLIENTEDGE});
  y += treeHeight + 5;
  if (edit) {
    t.items.push_back({"STATIC", BrowseFolderText::Folder, -1, WS_VISIBLE | SS_LEFT, 7, y + 2, 30, 9});
    t.items.push_back({"EDIT", "", IDC_BROWSE_EDIT, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 38, y,
                       145, 12, WS_EX_CLIENTEDGE});
    y += 17;
  }
  t.items.push_back({"BUTTON", BrowseFolderText::Ok, IDOK, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON,
                     79, y, 50, 14});
  t.items.push_back({"BUTTON", BrowseFolderText::Cancel, IDCANCEL, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 133, y,
                     50, 14});
  t.cy = y + 21;
  return t;
}

LPITEMIDLIST FolderBrowser::Run() {
  const DialogTemplate t = MakeTemplate();
  const INT_PTR ended = DialogBoxIndirectParam(
      nullptr, &t, info_.hwndOwner,
      [this](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        return Procedure(dialog, message, wParam, lParam);
      },
      0);
  if (images_) ImageList_Destroy(images_);
  if (ended != IDOK || result_.empty()) return nullptr;
  if (info_.pszDisplayName) {
    // Cut at a character's start, never inside one.
    size_t length = std::min(resultName_.size(), static_cast<size_t>(MAX_PATH - 1));
    while (length > 0 && length < resultName_.size() && (static_cast<unsigned char>(resultName_[length]) & 0xC0) == 0x80)
      --length;
    std::memcpy(info_.pszDisplayName, resultName_.data(), length);
    info_.pszDisplayName[length] = 0;
  }
  info_.iImage = FolderIconClosed;
  return ILCreateFromPath(result_.c_str());
}

const FolderBrowser::Node* FolderBrowser::NodeOf(HTREEITEM item) const {
  if (!item) return nullptr;
  TVITEM query;
  query.mask = TVIF_PARAM | TVIF_HANDLE;
  query.hItem = item;
  if (!SendMessage(tree_, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&query))) return nullptr;
  const size_t index = static_cast<size_t>(query.lParam);
  return index < nodes_.size() ? &nodes_[index] : nullptr;
}

const FolderBrowser::Node* FolderBrowser::Selected() const {
  return NodeOf(reinterpret_cast<HTREEITEM>(SendMessage(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

HTREEITEM FolderBrowser::AddItem(HTREEITEM parent, const std::string& path, const std::string& name, bool folder) {
  nodes_.push_back({path, name, folder, false});
  TVINSERTSTRUCT insert;
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<LPSTR>(name.c_str());
  insert.item.lParam = static_cast<LPARAM>(nodes_.size() - 1);
  insert.item.cChildren = folder && !ListFolder(path, Has(BIF_BROWSEINCLUDEFILES), true).empty() ? 1 : 0;
  insert.item.iImage = folder ? FolderIconClosed : FolderIconFile;
  insert.item.iSelectedImage = folder ? FolderIconOpen : FolderIconFile;
  return reinterpret_cast<HTREEITEM>(SendMessage(tree_, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&insert)));
}

void FolderBrowser::ListChildren(HTREEITEM item) {
  TVITEM query;
  query.mask = TVIF_PARAM | TVIF_HANDLE;
  query.hItem = item;
  if (!SendMessage(tree_, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&query))) return;
  const size_t index = static_cast<size_t>(query.lParam);
  if (index >= nodes_.size() || nodes_[index].listed || !nodes_[index].folder) return;
  nodes_[index].listed = true;
  const std::string path = nodes_[index].path;  // nodes_ grows below
  for (const Entry& entry : ListFolder(path, Has(BIF_BROWSEINCLUDEFILES)))
    AddItem(item, Join(path, entry.name), entry.name, entry.folder);
}

HTREEITEM FolderBrowser::FindChild(HTREEITEM parent, const std::string& name) {
  ListChildren(parent);
  for (auto child = reinterpret_cast<HTREEITEM>(SendMessage(tree_, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
       child; child = reinterpret_cast<HTREEITEM>(SendMessage(tree_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
    const Node* node = NodeOf(child);
    if (node && node->name == name) return child;
  }
  // A hidden folder named outright is shown all the same.
  const Node* node = NodeOf(parent);
  if (!node) return nullptr;
  const std::string path = Join(node->path, name);
  if (!IsFolderPath(path)) return nullptr;
  return AddItem(parent, path, name, true);
}

// The item of path: from the root item that holds the longest part of it, one level at a time.
HTREEITEM FolderBrowser::ItemForPath(const std::string& given) {
  std::string path = given;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  HTREEITEM best = nullptr;
  size_t bestLength = 0;
  for (HTREEITEM root : roots_) {
    const Node* node = NodeOf(root);
    if (!node) continue;
    const std::string& base = node->path;
    const bool holds = path == base || (base == "/" && path[0] == '/') ||
                       (path.size() > base.size() && path.compare(0, base.size(), base) == 0 && path[base.size()] == '/');
    if (holds && (!best || base.size() > bestLength)) {
      best = root;
      bestLength = base.size();
    }
  }
  if (!best) return nullptr;
  HTREEITEM item = best;
  size_t start = bestLength;
  while (start < path.size()) {
    while (start < path.size() && path[start] == '/') ++start;
    if (start >= path.size()) break;
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    item = FindChild(item, path.substr(start, end - start));
    if (!item) return nullptr;
    start = end;
  }
  return item;
}

bool FolderBrowser::SelectPath(const std::string& path) {
  HTREEITEM item = ItemForPath(path);
  if (!item) return false;
  SendMessage(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  SendMessage(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  return true;
}

void FolderBrowser::Initialise() {
  tree_ = GetDlgItem(dialog_, IDC_BROWSE_TREE);
  images_ = MakeFolderIcons();
  SendMessage(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
  const std::string root = ILPath(info_.pidlRoot);
  if (!root.empty()) {
    const std::string name = root == "/" ? BrowseFolderText::FileSystem : root.substr(root.rfind('/') + 1);
    roots_.push_back(AddItem(TVI_ROOT, root, name, true));
  } else {
    const std::string desktop = SpecialFolderPath(CSIDL_DESKTOP), home = SpecialFolderPath(CSIDL_PROFILE);
    if (!desktop.empty() && desktop != home && IsFolderPath(desktop))
      roots_.push_back(AddItem(TVI_ROOT, desktop, BrowseFolderText::Desktop, true));
    if (!home.empty() && IsFolderPath(home)) roots_.push_back(AddItem(TVI_ROOT, home, BrowseFolderText::Home, true));
    roots_.push_back(AddItem(TVI_ROOT, "/", BrowseFolderText::FileSystem, true));
  }
  if (Has(BIF_EDITBOX)) SendDlgItemMessage(dialog_, IDC_BROWSE_EDIT, EM_LIMITTEXT, MAX_PATH - 1, 0);
  if (!roots_.empty()) {
    SendMessage(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(roots_[0]));
    SendMessage(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(roots_[0]));
  }
  SetFocus(tree_);
  initialised_ = true;
  const int before = selectionChanges_;
  Callback(BFFM_INITIALIZED, 0);
  if (selectionChanges_ == before) SelectionChanged();
}

void FolderBrowser::SelectionChanged() {
  const Node* node = Selected();
  if (!node) return;
  ++selectionChanges_;
  EnableWindow(GetDlgItem(dialog_, IDOK), node->folder || Has(BIF_BROWSEINCLUDEFILES));
  if (Has(BIF_EDITBOX)) SetDlgItemText(dialog_, IDC_BROWSE_EDIT, node->name.c_str());
  if (!initialised_ || !info_.lpfn) return;
  LPITEMIDLIST pidl = ILCreateFromPath(node->path.c_str());
  Callback(BFFM_SELCHANGED, reinterpret_cast<LPARAM>(pidl));
  ILFree(pidl);
}

void FolderBrowser::Accept() {
  const Node* node = Selected();
  // Enter reaches here too: a switched-off OK accepts nothing.
  if (!node || !IsWindowEnabled(GetDlgItem(dialog_, IDOK))) return;
  std::string path = node->path, name = node->name;
  if (Has(BIF_EDITBOX)) {
    char text[MAX_PATH] = {};
    GetDlgItemText(dialog_, IDC_BROWSE_EDIT, text, MAX_PATH);
    const std::string typed = text;
    if (!typed.empty() && typed != node->name) {
      const std::string wanted = typed[0] == '/' ? typed : Join(node->path, typed);
      if (IsFolderPath(wanted)) {
        path = wanted;
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        name = path == "/" ? BrowseFolderText::FileSystem : path.substr(path.rfind('/') + 1);
      } else if (Has(BIF_VALIDATE)) {
        if (Callback(BFFM_VALIDATEFAILED, reinterpret_cast<LPARAM>(text)) != 0) return;
        EndDialog(dialog_, IDCANCEL);
        return;
      } else {
        name = typed;  // the selection stands; the caller sees what was typed
      }
    }
  }
  result_ = path;
  resultName_ = name;
  EndDialog(dialog_, IDOK);
}

INT_PTR FolderBrowser::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      dialog_ = dialog;
      Initialise();
      return FALSE;  // the focus is set
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (!header || header->idFrom != static_cast<UINT_PTR>(IDC_BROWSE_TREE)) return FALSE;
      const auto* notify = reinterpret_cast<const NMTREEVIEW*>(lParam);
      if (header->code == TVN_ITEMEXPANDING && (notify->action & TVE_EXPAND)) ListChildren(notify->itemNew.hItem);
      if (header->code == TVN_SELCHANGED) SelectionChanged();
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) Accept();
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
      return TRUE;
    case BFFM_SETSELECTION:
      if (lParam) SelectPath(wParam ? std::string(reinterpret_cast<LPCSTR>(lParam)) : ILPath(reinterpret_cast<LPCITEMIDLIST>(lParam)));
      return TRUE;
    case BFFM_SETEXPANDED:
      if (lParam) {
        HTREEITEM item = ItemForPath(wParam ? std::string(reinterpret_cast<LPCSTR>(lParam)) : ILPath(reinterpret_cast<LPCITEMIDLIST>(lParam)));
        if (item) SendMessage(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
      }
      return TRUE;
    case BFFM_SETSTATUSTEXT:
      if (Has(BIF_STATUSTEXT)) SetDlgItemText(dialog, IDC_BROWSE_STATUS, lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
      return TRUE;
    case BFFM_ENABLEOK:
      EnableWindow(GetDlgItem(dialog, IDOK), lParam != 0);
      return TRUE;
    case BFFM_SETOKTEXT:
      SetDlgItemText(dialog, IDOK, lParam ? reinterpret_cast<LPCSTR>(lParam) : BrowseFolderText::Ok);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

LPITEMIDLIST SHBrowseForFolder(LPBROWSEINFO info) {
  if (!info) return nullptr;
  // Computers and printers of a network are not browsed here.
  if (info->ulFlags & (BIF_BROWSEFORCOMPUTER | BIF_BROWSEFORPRINTER)) return nullptr;
  if (info->pidlRoot && !ILIsValid(info->pidlRoot)) return nullptr;
  return FolderBrowser(*info).Run();
}
