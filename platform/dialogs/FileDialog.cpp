// The open and save dialogs: the template of the standard controls, the child dialog of a
// hook or template and where its controls go, the notifications to the hook, the CDM_
// messages, and what OK makes of the typed name.

#include "platform/dialogs/FileDialog.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Static.h"
#include "platform/dialogs/HelpButton.h"
#include "platform/dialogs/FileDialogRun.h"

using namespace filedialog;

namespace {

constexpr UINT kSelectionChanged = WM_APP + 0x101;  // posted: one CDN_SELCHANGE per user action

std::string& LastFolder() {
  static std::string folder;
  return folder;
}

std::string Text(HWND window) {
  std::string text(static_cast<size_t>(GetWindowTextLength(window)) + 1, '\0');
  GetWindowText(window, text.data(), static_cast<int>(text.size()));
  text.resize(std::strlen(text.c_str()));
  return text;
}

bool SameText(std::string a, std::string b) {
  auto lower = [](std::string& s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  };
  lower(a);
  lower(b);
  return a == b;
}

// The standard controls in dialog units, as the classic explorer-style dialog has them: the
// places bar at the left, "Look in" with its tool buttons on top, the list, then the name and
// type rows with the buttons at the right, and the read-only and Help row below.
DialogTemplate StandardTemplate(const FileDialogRun& run) {
  const OPENFILENAME& ofn = *run.ofn;
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK | WS_CLIPCHILDREN;
  if (ofn.Flags & OFN_ENABLESIZING) t.style |= WS_THICKFRAME;
  t.caption = ofn.lpstrTitle ? ofn.lpstrTitle : (run.save ? "Save As" : "Open");
  const bool readOnlyRow = !(ofn.Flags & OFN_HIDEREADONLY) || (ofn.Flags & OFN_SHOWHELP);
  t.cx = 326;
  t.cy = readOnlyRow ? 186 : 172;
  const DWORD tab = WS_VISIBLE | WS_TABSTOP;
  const DWORD tool = tab | BS_OWNERDRAW;
  t.items = {
      {"STATIC", "Look &in:", stc4, WS_VISIBLE | SS_LEFT, 66, 9, 38, 8},
      {"COMBOBOX", "", cmb2, tab | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 106, 6, 140, 150},
      {"BUTTON", "", kFileDialogUpButton, tool, 250, 5, 16, 14},
      {"BUTTON", "", kFileDialogNewFolderButton, tool, 268, 5, 16, 14},
      {"BUTTON", "", kFileDialogListButton, tool, 288, 5, 16, 14},
      {"BUTTON", "", kFileDialogDetailsButton, tool, 304, 5, 16, 14},
      {WC_LISTVIEW, "", ctl1, WS_VISIBLE | WS_BORDER | LVS_ICON | LVS_SINGLESEL | LVS_NOSCROLL, 4, 6, 56,
       readOnlyRow ? 176 : 162},
      {WC_LISTVIEW, "", lst1,
       tab | WS_BORDER | LVS_LIST | LVS_SHOWSELALWAYS | LVS_EDITLABELS | (run.MultiSelect() ? 0 : LVS_SINGLESEL), 66,
       24, 254, 108, WS_EX_CLIENTEDGE},
      {"STATIC", "File &name:", stc3, WS_VISIBLE | SS_LEFT, 66, 141, 54, 8},
      {"EDIT", "", edt1, tab | WS_BORDER | ES_AUTOHSCROLL, 122, 139, 144, 13, WS_EX_CLIENTEDGE},
      {"BUTTON", run.save ? "&Save" : "&Open", IDOK, tab | BS_DEFPUSHBUTTON, 270, 138, 50, 14},
      {"STATIC", run.save ? "Save as &type:" : "Files of &type:", stc2, WS_VISIBLE | SS_LEFT, 66, 157, 54, 8},
      {"COMBOBOX", "", cmb1, tab | WS_VSCROLL | CBS_DROPDOWNLIST, 122, 155, 144, 100},
      {"BUTTON", "Cancel", IDCANCEL, tab | BS_PUSHBUTTON, 270, 154, 50, 14},
      {"BUTTON", "Open as &read-only", chx1, tab | BS_AUTOCHECKBOX, 122, 171, 100, 10},
      {"BUTTON", "&Help", pshHelp, tab | BS_PUSHBUTTON, 270, 170, 50, 14},
  };
  return t;
}

LRESULT Notify(FileDialogRun& run, UINT code, LPSTR file = nullptr) {
  if (!run.child || !run.Hooked()) return 0;
  OFNOTIFY n;
  n.hdr.hwndFrom = run.dialog;
  n.hdr.idFrom = 0;
  n.hdr.code = code;
  n.lpOFN = run.ofn;
  n.pszFile = file;
  SetWindowLongPtr(run.child, DWLP_MSGRESULT, 0);
  return SendMessage(run.child, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
}

bool Navigate(FileDialogRun& run, const std::string& folder, bool notify) {
  std::string normal = NormalPath(folder);
  if (!IsFolder(normal)) return false;
  run.folder = normal;
  filedialogview::FillLookIn(run);
  filedialogview::FillList(run);
  if (notify) Notify(run, CDN_FOLDERCHANGE);
  return true;
}

int Answer(HWND dialog, LRESULT result) {
  SetWindowLongPtr(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}

// Copies text into a caller's buffer and answers the size it needs with its NUL.
LRESULT CopyOut(const std::string& text, WPARAM size, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (out && size > 0) {
    size_t n = std::min(static_cast<size_t>(size) - 1, text.size());
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
  }
  return static_cast<LRESULT>(text.size() + 1);
}

std::string CurrentFilePath(const FileDialogRun& run) {
  std::vector<std::string> names = SplitNames(Text(GetDlgItem(run.dialog, edt1)));
  if (names.empty()) return run.folder;
  if (names.size() == 1) return ResolvePath(run.folder, names[0]);
  return (run.folder == "/" ? "" : run.folder) + "/" + JoinNames(names);
}

bool HandleCdm(FileDialogRun& run, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case CDM_GETSPEC: return Answer(run.dialog, CopyOut(Text(GetDlgItem(run.dialog, edt1)), wParam, lParam));
    case CDM_GETFILEPATH: return Answer(run.dialog, CopyOut(CurrentFilePath(run), wParam, lParam));
    case CDM_GETFOLDERPATH: return Answer(run.dialog, CopyOut(run.folder, wParam, lParam));
    case CDM_SETCONTROLTEXT:
      SetDlgItemText(run.dialog, static_cast<int>(wParam), lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
      return Answer(run.dialog, 0);
    case CDM_HIDECONTROL:
      if (HWND control = GetDlgItem(run.dialog, static_cast<int>(wParam))) ShowWindow(control, SW_HIDE);
      return Answer(run.dialog, 0);
    case CDM_SETDEFEXT:
      run.defExt = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
      run.hasDefExt = lParam != 0;
      return Answer(run.dialog, 0);
    default: return false;
  }
}

// ---- Layout --------------------------------------------------------------------------------

RECT RectIn(HWND window, HWND parent) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Offset(HWND window, HWND parent, int dx, int dy) {
  RECT r = RectIn(window, parent);
  SetWindowPos(window, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsStandardControl(HWND w, const FileDialogRun& run) { return w != run.child && GetParent(w) == run.dialog; }

// The child dialog's controls go where Windows puts them: with an stc32 control the standard
// controls take its place (and the child's controls right of or below it move out of their
// way); without one the child sits below the standard controls. The dialog grows to hold both.
void PlaceChild(FileDialogRun& run, SIZE standard) {
  RECT childRect{};
  GetWindowRect(run.child, &childRect);
  SIZE child{childRect.right - childRect.left, childRect.bottom - childRect.top};
  SIZE client = standard;
  if (HWND marker = GetDlgItem(run.child, stc32)) {
    RECT m = RectIn(marker, run.child);
    const int dx = std::max<int>(0, standard.cx - (m.right - m.left));
    const int dy = std::max<int>(0, standard.cy - (m.bottom - m.top));
    for (HWND w = GetWindow(run.child, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
      if (w == marker) continue;
      RECT r = RectIn(w, run.child);
      Offset(w, run.child, r.left >= m.right ? dx : 0, r.top >= m.bottom ? dy : 0);
    }
    for (HWND w = GetWindow(run.dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
      if (IsStandardControl(w, run)) Offset(w, run.dialog, m.left, m.top);
    SetWindowPos(marker, nullptr, m.left, m.top, standard.cx, standard.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(marker, SW_HIDE);
    client.cx = std::max(child.cx + dx, m.left + standard.cx);
    client.cy = std::max(child.cy + dy, m.top + standard.cy);
    SetWindowPos(run.child, HWND_BOTTOM, 0, 0, client.cx, client.cy, SWP_NOACTIVATE);
  } else {
    client.cx = std::max(standard.cx, child.cx);
    client.cy = standard.cy + child.cy;
    SetWindowPos(run.child, HWND_BOTTOM, 0, standard.cy, child.cx, child.cy, SWP_NOACTIVATE);
  }
  RECT frame{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtr(run.dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtr(run.dialog, GWL_EXSTYLE)));
  SetWindowPos(run.dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// What each standard control does when a sizable dialog changes size.
void RememberAnchors(FileDialogRun& run) {
  RECT client{};
  GetClientRect(run.dialog, &client);
  run.clientSize = {client.right, client.bottom};
  struct Rule {
    int id, moveX, moveY, growX, growY;
  };
  const Rule rules[] = {
      {cmb2, 0, 0, 1, 0},          {kFileDialogUpButton, 1, 0, 0, 0}, {kFileDialogNewFolderButton, 1, 0, 0, 0},
      {kFileDialogListButton, 1, 0, 0, 0}, {kFileDialogDetailsButton, 1, 0, 0, 0}, {ctl1, 0, 0, 0, 1},
      {lst1, 0, 0, 1, 1},          {stc3, 0, 1, 0, 0},                {edt1, 0, 1, 1, 0},
      {IDOK, 1, 1, 0, 0},          {stc2, 0, 1, 0, 0},                {cmb1, 0, 1, 1, 0},
      {IDCANCEL, 1, 1, 0, 0},      {chx1, 0, 1, 0, 0},                {pshHelp, 1, 1, 0, 0},
  };
  run.anchors.clear();
  for (const Rule& rule : rules)
    if (HWND w = GetDlgItem(run.dialog, rule.id))
      run.anchors.push_back({w, RectIn(w, run.dialog), rule.moveX, rule.moveY, rule.growX, rule.growY});
  if (run.child) run.anchors.push_back({run.child, RectIn(run.child, run.dialog), 0, 1, 0, 0});
}

void Resize(FileDialogRun& run, int width, int height) {
  if (run.anchors.empty()) return;
  const int dx = width - run.clientSize.cx, dy = height - run.clientSize.cy;
  for (const FileDialogRun::Anchor& a : run.anchors) {
    const RECT& r = a.rect;
    SetWindowPos(a.window, nullptr, r.left + a.moveX * dx, r.top + a.moveY * dy, r.right - r.left + a.growX * dx,
                 r.bottom - r.top + a.growY * dy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(run.dialog, nullptr, TRUE);
}

// ---- Start -----------------------------------------------------------------------------------

void ChooseStart(FileDialogRun& run) {
  const OPENFILENAME& ofn = *run.ofn;
  std::string given = ofn.lpstrFile ? std::string(ofn.lpstrFile, strnlen(ofn.lpstrFile, ofn.nMaxFile)) : "";
  std::string cwd;
  if (char* here = getcwd(nullptr, 0)) {
    cwd = here;
    free(here);
  }
  std::string folder;
  if (!given.empty() && given.find('/') != std::string::npos) {
    std::string path = ResolvePath(cwd.empty() ? "/" : cwd, given);
    if (IsFolder(path)) {
      folder = path;
    } else {
      folder = ParentFolder(path);
      run.startName = NamePart(path);
    }
  } else {
    run.startName = given;
  }
  if (folder.empty() || !IsFolder(folder)) {
    if (ofn.lpstrInitialDir && *ofn.lpstrInitialDir && IsFolder(ResolvePath(cwd, ofn.lpstrInitialDir)))
      folder = ResolvePath(cwd, ofn.lpstrInitialDir);
    else if (!LastFolder().empty() && IsFolder(LastFolder()))
      folder = LastFolder();
    else
      folder = cwd.empty() ? HomeFolder() : cwd;
  }
  run.folder = NormalPath(folder);
}

void Centre(HWND dialog, HWND owner) {
  RECT area{};
  if (owner && IsWindow(owner)) GetWindowRect(owner, &area);
  else GetWindowRect(GetDesktopWindow(), &area);
  RECT r{};
  GetWindowRect(dialog, &r);
  int x = area.left + ((area.right - area.left) - (r.right - r.left)) / 2;
  int y = area.top + ((area.bottom - area.top) - (r.bottom - r.top)) / 2;
  SetWindowPos(dialog, nullptr, std::max(0, x), std::max(0, y), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InitDialog(FileDialogRun& run, HWND dialog) {
  run.dialog = dialog;
  OPENFILENAME& ofn = *run.ofn;
  run.filters = ParseFilter(ofn.lpstrFilter);
  if (!run.filters.empty()) {
    run.filterIndex = ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= run.filters.size()
                          ? static_cast<int>(ofn.nFilterIndex) - 1
                          : 0;
    ofn.nFilterIndex = static_cast<DWORD>(run.filterIndex + 1);
  }
  run.hasDefExt = ofn.lpstrDefExt != nullptr;
  run.defExt = ofn.lpstrDefExt ? ofn.lpstrDefExt : "";
  HWND types = GetDlgItem(dialog, cmb1);
  for (const FileFilter& f : run.filters)
    SendMessage(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.description.c_str()));
  SendMessage(types, CB_SETCURSEL, static_cast<WPARAM>(run.filterIndex), 0);
  SendMessage(GetDlgItem(dialog, cmb2), CB_SETITEMHEIGHT, 0, 18);
  SendMessage(GetDlgItem(dialog, cmb2), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 18);
  if (ofn.Flags & OFN_HIDEREADONLY) ShowWindow(GetDlgItem(dialog, chx1), SW_HIDE);
  else CheckDlgButton(dialog, chx1, (ofn.Flags & OFN_READONLY) ? BST_CHECKED : BST_UNCHECKED);
  if (!(ofn.Flags & OFN_SHOWHELP)) ShowWindow(GetDlgItem(dialog, pshHelp), SW_HIDE);
  filedialogview::SetUpControls(run);

  RECT client{};
  GetClientRect(dialog, &client);
  SIZE standard{client.right, client.bottom};
  const bool templated = (ofn.Flags & (OFN_ENABLETEMPLATE | OFN_ENABLETEMPLATEHANDLE)) != 0;
  if (run.Hooked() || templated) {
    DialogTemplate childTemplate;
    if ((ofn.Flags & OFN_ENABLETEMPLATEHANDLE) && ofn.hInstance)
      childTemplate = *static_cast<const DialogTemplate*>(ofn.hInstance);
    childTemplate.style = (childTemplate.style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                                   DS_MODALFRAME | WS_VISIBLE)) |
                          WS_CHILD | DS_CONTROL | WS_CLIPSIBLINGS;
    childTemplate.x = childTemplate.y = 0;
    FileDialogRun* self = &run;
    DLGPROC hook = [self](HWND child, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
      if (message == WM_INITDIALOG) self->child = child;
      return self->Hooked() ? static_cast<INT_PTR>(self->ofn->lpfnHook(child, message, wParam, lParam)) : FALSE;
    };
    run.child = CreateDialogIndirectParam(nullptr, &childTemplate, dialog, hook, reinterpret_cast<LPARAM>(&ofn));
    if (run.child) {
      SetWindowLongPtr(run.child, GWL_EXSTYLE, GetWindowLongPtr(run.child, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
      PlaceChild(run, standard);
      ShowWindow(run.child, SW_SHOWNA);
    }
  }
  RememberAnchors(run);
  Centre(dialog, ofn.hwndOwner);

  Navigate(run, run.folder, false);
  SetDlgItemText(dialog, edt1, run.startName.c_str());
  // As Windows does once the dialog is laid out: the hook hears of the folder and of the
  // (empty or given) selection before the user does anything.
  Notify(run, CDN_INITDONE);
  Notify(run, CDN_FOLDERCHANGE);
  Notify(run, CDN_SELCHANGE);
  SetFocus(GetDlgItem(dialog, edt1));
  SendDlgItemMessage(dialog, edt1, EM_SETSEL, 0, -1);
}

// ---- OK --------------------------------------------------------------------------------------

// A question or complaint over the dialog; the name box has the focus again afterwards, its
// text selected, for the user to correct.
int Ask(const FileDialogRun& run, const std::string& text, UINT type) {
  int answer = MessageBox(run.dialog, text.c_str(), Text(run.dialog).c_str(), type);
  if (IsWindow(run.dialog)) {
    SetFocus(GetDlgItem(run.dialog, edt1));
    SendDlgItemMessage(run.dialog, edt1, EM_SETSEL, 0, -1);
  }
  return answer;
}

void Complain(const FileDialogRun& run, const std::string& text) { Ask(run, text, MB_OK | MB_ICONEXCLAMATION); }

// The name with the extension the dialog adds when it has none, or without a trailing dot.
std::string WithExtension(const FileDialogRun& run, const std::string& path) {
  if (!path.empty() && path.back() == '.') return path.substr(0, path.size() - 1);
  if (!run.hasDefExt) return path;
  std::string ext = ExtensionToAdd(run.Filter(), run.defExt);
  if (ext.empty()) return path;
  std::string extended = path + "." + ext;
  // A name that looks extended but names no file may still be one with the extension left off.
  if (ExtensionOffset(path)) return !run.save && !Exists(path) && Exists(extended) ? extended : path;
  // An existing file typed without its extension is taken as it is when opening.
  if (!run.save && !Exists(extended) && Exists(path)) return path;
  return extended;
}

// Checks one chosen path as the flags ask; false when the dialog stays open.
bool Acceptable(const FileDialogRun& run, const std::string& path) {
  const DWORD flags = run.ofn->Flags;
  if (flags & OFN_NOVALIDATE) return true;
  const std::string shown = NamePart(path);
  if (!IsFolder(ParentFolder(path))) {
    Complain(run, path + "\nPath does not exist.\nCheck the path and try again.");
    return false;
  }
  if (IsFolder(path)) return false;
  const bool exists = Exists(path);
  if (!run.save && (flags & OFN_FILEMUSTEXIST) && !exists) {
    Complain(run, shown + "\nFile not found.\nPlease verify the correct file name was given.");
    return false;
  }
  if (run.save && exists && (flags & OFN_OVERWRITEPROMPT)) {
    std::string text = shown + " already exists.\nDo you want to replace it?";
    if (Ask(run, text, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return false;
  }
  if (!exists && (flags & OFN_CREATEPROMPT)) {
    std::string text = shown + "\nThis file does not exist.\nDo you want to create it?";
    if (Ask(run, text, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
  }
  return true;
}

// Writes the choice into the caller's record; false (and FNERR_BUFFERTOOSMALL, with the size
// needed in the buffer's first two bytes) when the buffer cannot hold it.
bool WriteResult(FileDialogRun& run, const std::vector<std::string>& paths) {
  OPENFILENAME& ofn = *run.ofn;
  std::string result;
  WORD fileOffset = 0, extensionOffset = 0;
  if (paths.size() == 1) {
    result = paths[0];
    fileOffset = static_cast<WORD>(result.rfind('/') + 1);
    extensionOffset = static_cast<WORD>(ExtensionOffset(result));
    result.push_back('\0');
  } else {
    std::string folder = ParentFolder(paths[0]);
    result = folder;
    result.push_back('\0');
    fileOffset = static_cast<WORD>(result.size());
    for (const std::string& path : paths) {
      result += NamePart(path);
      result.push_back('\0');
    }
  }
  result.push_back('\0');  // the list's end (a single name's second NUL is harmless)
  const size_t needed = paths.size() == 1 ? result.size() - 1 : result.size();
  if (!ofn.lpstrFile || ofn.nMaxFile < needed || needed > 0xFFFF) {
    if (ofn.lpstrFile && ofn.nMaxFile >= 2) {
      WORD size = static_cast<WORD>(std::min<size_t>(needed, 0xFFFF));
      std::memcpy(ofn.lpstrFile, &size, sizeof size);
    }
    SetCommDlgExtendedError(FNERR_BUFFERTOOSMALL);
    return false;
  }
  std::memcpy(ofn.lpstrFile, result.data(), std::min<size_t>(result.size(), ofn.nMaxFile));
  ofn.nFileOffset = fileOffset;
  ofn.nFileExtension = extensionOffset;
  if (ofn.lpstrFileTitle && ofn.nMaxFileTitle > 0) {
    std::string title = paths.size() == 1 ? NamePart(paths[0]) : "";
    CopyOut(title, ofn.nMaxFileTitle, reinterpret_cast<LPARAM>(ofn.lpstrFileTitle));
  }
  ofn.Flags &= ~(OFN_READONLY | OFN_EXTENSIONDIFFERENT);
  if (IsDlgButtonChecked(run.dialog, chx1) == BST_CHECKED) ofn.Flags |= OFN_READONLY;
  if (ofn.lpstrDefExt && paths.size() == 1) {
    size_t ext = ExtensionOffset(paths[0]);
    if (!SameText(ext ? paths[0].substr(ext) : "", ofn.lpstrDefExt)) ofn.Flags |= OFN_EXTENSIONDIFFERENT;
  }
  return true;
}

void Finish(FileDialogRun& run, const std::vector<std::string>& paths) {
  const std::string folder = ParentFolder(paths[0]);
  LastFolder() = folder;
  if (!(run.ofn->Flags & OFN_NOCHANGEDIR)) {
    if (chdir(folder.c_str()) != 0) { /* the choice stands even where the folder cannot be entered */ }
  }
  run.accepted = true;
  EndDialog(run.dialog, IDOK);
}

void OpenSelectedFolder(FileDialogRun& run) {
  std::vector<int> selected = filedialogview::SelectedEntries(run);
  if (selected.size() == 1 && run.entries[selected[0]].folder)
    Navigate(run, ResolvePath(run.folder, run.entries[selected[0]].name), true);
}

void OnOk(FileDialogRun& run) {
  HWND list = GetDlgItem(run.dialog, lst1);
  std::string text = Text(GetDlgItem(run.dialog, edt1));
  std::vector<std::string> names = SplitNames(text);
  if (GetFocus() == list || names.empty()) {
    std::vector<int> selected = filedialogview::SelectedEntries(run);
    if (selected.size() == 1 && run.entries[selected[0]].folder) {
      OpenSelectedFolder(run);
      return;
    }
    if (names.empty()) return;
  }
  if (names.size() > 1 && !run.MultiSelect()) names = {text};
  if (names.size() == 1) {
    const std::string& name = names[0];
    std::string path = ResolvePath(run.folder, name);
    // A pattern shows the matching files of its folder, a folder opens.
    if (HasWildcard(NamePart(name))) {
      std::string folder = ParentFolder(path);
      if (!IsFolder(folder)) {
        Complain(run, path + "\nPath does not exist.\nCheck the path and try again.");
        return;
      }
      run.typedPattern = NamePart(name);
      if (folder != run.folder) Navigate(run, folder, true);
      else filedialogview::FillList(run);
      SetDlgItemText(run.dialog, edt1, run.typedPattern.c_str());
      return;
    }
    if (IsFolder(path)) {
      Navigate(run, path, true);
      SetDlgItemText(run.dialog, edt1, "");
      return;
    }
  }
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    std::string path = WithExtension(run, ResolvePath(run.folder, name));
    if (!paths.empty() && ParentFolder(path) != ParentFolder(paths[0])) {
      Complain(run, text + "\nThe file name is not valid.");
      return;
    }
    if (!Acceptable(run, path)) return;
    paths.push_back(path);
  }
  if (!WriteResult(run, paths)) {
    EndDialog(run.dialog, IDCANCEL);
    return;
  }
  if (run.Hooked() && Notify(run, CDN_FILEOK) != 0) return;  // the hook kept the dialog open
  Finish(run, paths);
}

// ---- The dialog procedure ------------------------------------------------------------------

void OnTypeChosen(FileDialogRun& run) {
  int index = static_cast<int>(SendDlgItemMessage(run.dialog, cmb1, CB_GETCURSEL, 0, 0));
  if (index < 0 || index == run.filterIndex) return;
  run.filterIndex = index;
  run.ofn->nFilterIndex = static_cast<DWORD>(index + 1);
  run.typedPattern.clear();
  filedialogview::FillList(run);
  Notify(run, CDN_TYPECHANGE);
}

INT_PTR OnCommand(FileDialogRun& run, WPARAM wParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  switch (id) {
    case IDOK: OnOk(run); return TRUE;
    case IDCANCEL: EndDialog(run.dialog, IDCANCEL); return TRUE;
    case pshHelp:
      if (code == BN_CLICKED) Notify(run, CDN_HELP);
      return TRUE;
    case cmb1:
      if (code == CBN_SELCHANGE || code == CBN_SELENDOK) OnTypeChosen(run);
      return TRUE;
    case cmb2:
      if (code == CBN_SELCHANGE) {
        int index = static_cast<int>(SendDlgItemMessage(run.dialog, cmb2, CB_GETCURSEL, 0, 0));
        if (index >= 0 && index < static_cast<int>(run.lookInFolders.size()) &&
            run.lookInFolders[index] != run.folder)
          Navigate(run, run.lookInFolders[index], true);
      }
      return TRUE;
    case kFileDialogUpButton:
      if (run.folder != "/") Navigate(run, ParentFolder(run.folder), true);
      return TRUE;
    case kFileDialogNewFolderButton: filedialogview::MakeNewFolder(run); return TRUE;
    case kFileDialogListButton: filedialogview::SetView(run, false); return TRUE;
    case kFileDialogDetailsButton: filedialogview::SetView(run, true); return TRUE;
    default: return FALSE;
  }
}

INT_PTR OnNotify(FileDialogRun& run, const NMHDR& header, LPARAM lParam) {
  if (header.idFrom == static_cast<UINT_PTR>(lst1)) {
    switch (header.code) {
      case LVN_ITEMCHANGED: {
        const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (run.filling || !((change.uNewState ^ change.uOldState) & LVIS_SELECTED)) return TRUE;
        filedialogview::ShowSelectionInEdit(run);
        if (!run.selChangePending) {
          run.selChangePending = true;
          PostMessage(run.dialog, kSelectionChanged, 0, 0);
        }
        return TRUE;
      }
      case NM_DBLCLK:
      case NM_RETURN: {
        std::vector<int> selected = filedialogview::SelectedEntries(run);
        if (selected.size() == 1 && run.entries[selected[0]].folder) OpenSelectedFolder(run);
        else if (!selected.empty()) OnOk(run);
        return TRUE;
      }
      case LVN_KEYDOWN:
        // Backspace in the list goes up one level, as in the shell's folder windows.
        if (reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_BACK && run.folder != "/")
          Navigate(run, ParentFolder(run.folder), true);
        return TRUE;
      case LVN_BEGINLABELEDIT: {
        const auto& info = *reinterpret_cast<const NMLVDISPINFO*>(lParam);
        LVITEM item;
        item.mask = LVIF_PARAM;
        item.iItem = info.item.iItem;
        SendMessage(header.hwndFrom, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
        bool isNew = item.lParam >= 0 && item.lParam < static_cast<LPARAM>(run.entries.size()) &&
                     run.entries[item.lParam].name == run.newFolderName;
        return Answer(run.dialog, isNew ? FALSE : TRUE);  // only a new folder is named here
      }
      case LVN_ENDLABELEDIT: {
        const auto& info = *reinterpret_cast<const NMLVDISPINFO*>(lParam);
        std::string from = run.newFolderName;
        run.newFolderName.clear();
        if (!info.item.pszText || from.empty()) return Answer(run.dialog, FALSE);
        std::string to = info.item.pszText;
        if (to.empty() || to.find('/') != std::string::npos || to == "." || to == ".." ||
            Exists(ResolvePath(run.folder, to)) ||
            rename(ResolvePath(run.folder, from).c_str(), ResolvePath(run.folder, to).c_str()) != 0)
          return Answer(run.dialog, FALSE);
        PostMessage(run.dialog, kSelectionChanged, 1, 0);  // refill once the edit has gone
        return Answer(run.dialog, TRUE);
      }
      default: return FALSE;
    }
  }
  if (header.idFrom == static_cast<UINT_PTR>(ctl1) && header.code == LVN_ITEMCHANGED) {
    const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
    if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED) && change.iItem >= 0 &&
        change.lParam >= 0 && change.lParam < static_cast<LPARAM>(run.places.size())) {
      Navigate(run, run.places[change.lParam], true);
      // A place is a button rather than a choice: it can be clicked again.
      LVITEM clear;
      clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessage(header.hwndFrom, LVM_SETITEMSTATE, change.iItem, reinterpret_cast<LPARAM>(&clear));
    }
    return TRUE;
  }
  return FALSE;
}

INT_PTR FileDialogProc(FileDialogRun& run, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: InitDialog(run, dialog); return FALSE;
    case WM_COMMAND: return OnCommand(run, wParam);
    case WM_HELP: return PressHelpButton(dialog);
    case WM_NOTIFY: return OnNotify(run, *reinterpret_cast<const NMHDR*>(lParam), lParam);
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlID == static_cast<UINT>(cmb2)) {
        filedialogview::DrawLookInItem(run, item);
        return TRUE;
      }
      return filedialogview::DrawToolButton(item);
    }
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item.CtlID != static_cast<UINT>(cmb2)) return FALSE;
      item.itemHeight = 18;
      return TRUE;
    }
    case WM_SIZE: Resize(run, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    case WM_GETMINMAXINFO:
      if (run.clientSize.cx) {
        RECT frame{0, 0, run.clientSize.cx, run.clientSize.cy};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtr(dialog, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtr(dialog, GWL_EXSTYLE)));
        auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
        info.ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
      }
      return TRUE;
    case kSelectionChanged:
      if (wParam == 1) {
        filedialogview::FillList(run);
        return TRUE;
      }
      run.selChangePending = false;
      Notify(run, CDN_SELCHANGE);
      return TRUE;
    default:
      if (message >= CDM_FIRST && message <= CDM_SETDEFEXT) return HandleCdm(run, message, wParam, lParam);
      return FALSE;
  }
}

BOOL RunFileDialog(OPENFILENAME* ofn, bool save) {
  SetCommDlgExtendedError(0);
  if (!ofn || ofn->lStructSize != sizeof(OPENFILENAME)) {
    SetCommDlgExtendedError(CDERR_STRUCTSIZE);
    return FALSE;
  }
  if ((ofn->Flags & OFN_ENABLEHOOK) && !ofn->lpfnHook) {
    SetCommDlgExtendedError(CDERR_NOHOOK);
    return FALSE;
  }
  if ((ofn->Flags & OFN_ENABLETEMPLATEHANDLE) && !ofn->hInstance) {
    SetCommDlgExtendedError(CDERR_NOHINSTANCE);
    return FALSE;
  }
  if ((ofn->Flags & OFN_ENABLETEMPLATE) && !(ofn->Flags & OFN_ENABLETEMPLATEHANDLE)) {
    // Dialog templates are built in code here; there are no named template resources.
    SetCommDlgExtendedError(CDERR_FINDRESFAILURE);
    return FALSE;
  }
  FileDialogRun run;
  run.ofn = ofn;
  run.save = save;
  ChooseStart(run);
  DialogTemplate t = StandardTemplate(run);
  INT_PTR result = DialogBoxIndirectParam(
      nullptr, &t, ofn->hwndOwner,
      [&run](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        return FileDialogProc(run, dialog, message, wParam, lParam);
      },
      reinterpret_cast<LPARAM>(ofn));
  if (result == -1) {
    SetCommDlgExtendedError(CDERR_DIALOGFAILURE);
    return FALSE;
  }
  return run.accepted ? TRUE : FALSE;
}

}  // namespace

std::vector<std::string> FileDialogRun::Patterns() const {
  if (!typedPattern.empty()) return {typedPattern};
  if (const FileFilter* f = Filter()) return f->patterns;
  return {};
}

BOOL GetOpenFileName(OPENFILENAME* ofn) { return RunFileDialog(ofn, false); }

BOOL GetSaveFileName(OPENFILENAME* ofn) { return RunFileDialog(ofn, true); }

std::string FileDialogLastFolder() { return LastFolder(); }
