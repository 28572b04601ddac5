// The keyboard of a dialog (IsDialogMessage) and the walks through its controls: the tab
// order, the groups, mnemonics, and the helpers that reach items by identifier.

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/user/DialogState.h"

namespace {

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtr(window, GWL_STYLE)); }

bool Usable(HWND window) { return IsWindowVisible(window) && IsWindowEnabled(window); }

// The dialog's controls in tab order: its children in z-order, where a child that is a
// control parent stands for its own controls.
void CollectControls(HWND parent, std::vector<HWND>& out) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetWindowLongPtr(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) {
      if (Usable(child)) CollectControls(child, out);
      continue;
    }
    out.push_back(child);
  }
}

std::vector<HWND> ControlsOf(HWND dialog) {
  std::vector<HWND> controls;
  CollectControls(dialog, controls);
  return controls;
}

// The window of the dialog's list that is control or holds it.
int IndexOf(const std::vector<HWND>& controls, HWND control) {
  for (HWND w = control; w; w = GetParent(w)) {
    for (size_t i = 0; i < controls.size(); ++i)
      if (controls[i] == w) return static_cast<int>(i);
    if (!(StyleOf(w) & WS_CHILD)) break;
  }
  return -1;
}

std::string TextOf(HWND window) {
  std::string text(GetWindowTextLength(window) + 1, '\0');
  GetWindowText(window, text.data(), static_cast<int>(text.size()));
  text.resize(text.find('\0'));
  return text;
}

// The character after the first single '&' of a text, upper-cased; 0 when there is none.
char MnemonicOf(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

bool IsStaticWithoutPrefix(HWND window) {
  char name[16] = {};
  GetClassName(window, name, sizeof(name));
  constexpr DWORD kNoPrefix = 0x80;  // SS_NOPREFIX
  return std::string(name) == "STATIC" && (StyleOf(window) & kNoPrefix);
}

// Acts on the control whose mnemonic is ch: a button is clicked, a label or group box
// passes the focus to the next control that takes it, any other control takes the focus.
bool DoMnemonic(HWND dialog, HWND from, char ch) {
  ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (!ch) return false;
  std::vector<HWND> controls = ControlsOf(dialog);
  int n = static_cast<int>(controls.size());
  int start = IndexOf(controls, from);
  for (int step = 1; step <= n; ++step) {
    HWND control = controls[((start < 0 ? -1 : start) + step + n) % n];
    if (!IsWindowVisible(control) || IsStaticWithoutPrefix(control)) continue;
    if (MnemonicOf(TextOf(control)) != ch) continue;
    LRESULT code = SendMessage(control, WM_GETDLGCODE, 0, 0);
    if (code & DLGC_STATIC) {
      int at = IndexOf(controls, control);
      for (int k = 1; k < n; ++k) {
        HWND next = controls[(at + k) % n];
        if (Usable(next) && (StyleOf(next) & WS_TABSTOP)) {
          SetDialogFocus(dialog, next);
          return true;
        }
      }
      return true;
    }
    if (!IsWindowEnabled(control)) continue;
    if (code & DLGC_BUTTON) {
      if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) SetDialogFocus(dialog, control);
      SendMessage(control, dlgbutton::BM_CLICK, 0, 0);
      return true;
    }
    SetDialogFocus(dialog, control);
    return true;
  }
  return false;
}

void OnEnter(HWND dialog) {
  HWND focus = GetFocus();
  if (focus && IsChild(dialog, focus) && (SendMessage(focus, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), dlgbutton::BN_CLICKED), reinterpret_cast<LPARAM>(focus));
    return;
  }
  LRESULT def = SendMessage(dialog, DM_GETDEFID, 0, 0);
  if (HIWORD(def) == DC_HASDEFID) {
    int id = LOWORD(def);
    HWND button = GetDlgItem(dialog, id);
    if (!button || IsWindowEnabled(button))
      SendMessage(dialog, WM_COMMAND, MAKEWPARAM(id, dlgbutton::BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return;
  }
  HWND ok = GetDlgItem(dialog, IDOK);
  if (!ok || IsWindowEnabled(ok))
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(IDOK, dlgbutton::BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

void OnEscape(HWND dialog) {
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  if (cancel && !IsWindowEnabled(cancel)) return;
  SendMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, dlgbutton::BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
}

// An arrow moves to the next control of the group; an automatic radio button it lands on
// is checked.
void OnArrow(HWND dialog, HWND from, WPARAM key) {
  bool previous = key == VK_LEFT || key == VK_UP;
  HWND next = GetNextDlgGroupItem(dialog, from, previous);
  if (!next || next == from) return;
  LRESULT code = SendMessage(next, WM_GETDLGCODE, 0, 0);
  SetDialogFocus(dialog, next);
  if ((code & DLGC_RADIOBUTTON) && (StyleOf(next) & dlgbutton::BS_TYPEMASK) == dlgbutton::BS_AUTORADIOBUTTON &&
      SendMessage(next, dlgbutton::BM_GETCHECK, 0, 0) != dlgbutton::BST_CHECKED)
    SendMessage(next, dlgbutton::BM_CLICK, 0, 0);
}

bool OnKeyDown(HWND dialog, MSG* msg) {
  LRESULT code = SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
  if (code & DLGC_WANTMESSAGE) return false;
  switch (msg->wParam) {
    case VK_TAB:
      if (code & DLGC_WANTTAB) return false;
      SendMessage(dialog, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) < 0) ? 1 : 0, 0);
      return true;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
      if (code & DLGC_WANTARROWS) return false;
      OnArrow(dialog, msg->hwnd == dialog ? GetNextDlgTabItem(dialog, nullptr, FALSE) : msg->hwnd, msg->wParam);
      return true;
    case VK_RETURN:
      OnEnter(dialog);
      return true;
    case VK_ESCAPE:
      OnEscape(dialog);
      return true;
    case VK_F1: {
      if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0) return false;
      // Help for the control with the focus, which passes it up to the dialog.
      HELPINFO info;
      info.iCtrlId = GetDlgCtrlID(msg->hwnd);
      info.hItemHandle = msg->hwnd;
      GetCursorPos(&info.MousePos);
      SendMessage(msg->hwnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
      return true;
    }
  }
  return false;
}

}  // namespace

BOOL IsDialogMessage(HWND dialog, MSG* msg) {
  if (!msg || !dialog || !IsWindow(dialog)) return FALSE;
  if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
  if (CallMsgFilter(msg, MSGF_DIALOGBOX)) return TRUE;
  switch (msg->message) {
    case WM_KEYDOWN:
      if (OnKeyDown(dialog, msg)) return TRUE;
      break;
    case WM_CHAR: {
      LRESULT code = SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
      if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) break;
      if (msg->wParam == '\t' || msg->wParam == '\r' || msg->wParam == 27) return TRUE;
      if (DoMnemonic(dialog, msg->hwnd, static_cast<char>(msg->wParam))) return TRUE;
      break;
    }
    case WM_SYSCHAR:
      if (DoMnemonic(dialog, msg->hwnd, static_cast<char>(msg->wParam))) return TRUE;
      break;
  }
  TranslateMessage(msg);
  DispatchMessage(msg);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> controls = ControlsOf(dialog);
  int n = static_cast<int>(controls.size());
  if (n == 0) return nullptr;
  int start = control ? IndexOf(controls, control) : -1;
  int dir = previous ? -1 : 1;
  if (start < 0) start = previous ? 0 : n - 1;  // so that the first step lands on an end
  for (int step = 1; step <= n; ++step) {
    HWND candidate = controls[((start + dir * step) % n + n) % n];
    if (Usable(candidate) && (StyleOf(candidate) & WS_TABSTOP)) return candidate;
  }
  return control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (!control) return GetNextDlgTabItem(dialog, nullptr, previous);
  HWND parent = GetParent(control);
  if (!parent) return nullptr;
  std::vector<HWND> siblings;
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) siblings.push_back(w);
  int at = -1;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i] == control) at = static_cast<int>(i);
  if (at < 0) return nullptr;
  int first = at;
  while (first > 0 && !(StyleOf(siblings[first]) & WS_GROUP)) --first;
  int last = at + 1;
  while (last < static_cast<int>(siblings.size()) && !(StyleOf(siblings[last]) & WS_GROUP)) ++last;
  int size = last - first;
  int dir = previous ? -1 : 1;
  for (int step = 1; step < size; ++step) {
    HWND candidate = siblings[first + (((at - first) + dir * step) % size + size) % size];
    if (Usable(candidate)) return candidate;
  }
  return control;
}

BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowText(item, text) : FALSE;
}

UINT GetDlgItemText(HWND dialog, int id, LPSTR out, int size) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (out && size > 0) out[0] = '\0';
    return 0;
  }
  return static_cast<UINT>(GetWindowText(item, out, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  std::string text = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
  return SetDlgItemText(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = FALSE;
  HWND item = GetDlgItem(dialog, id);
  if (!item) return 0;
  std::string text = TextOf(item);
  size_t begin = text.find_first_not_of(" \t");
  size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) return 0;
  text = text.substr(begin, end - begin + 1);
  char* stop = nullptr;
  errno = 0;
  if (isSigned) {
    long long v = std::strtoll(text.c_str(), &stop, 10);
    if (*stop || stop == text.c_str() || errno || v < INT32_MIN || v > INT32_MAX) return 0;
    if (translated) *translated = TRUE;
    return static_cast<UINT>(static_cast<int>(v));
  }
  if (text[0] == '-') return 0;
  unsigned long long v = std::strtoull(text.c_str(), &stop, 10);
  if (*stop || stop == text.c_str() || errno || v > UINT32_MAX) return 0;
  if (translated) *translated = TRUE;
  return static_cast<UINT>(v);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return FALSE;
  SendMessage(item, dlgbutton::BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item ? static_cast<UINT>(SendMessage(item, dlgbutton::BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  bool found = false;
  for (int id = first; id <= last; ++id) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) continue;
    found = found || id == check;
    SendMessage(item, dlgbutton::BM_SETCHECK, id == check ? dlgbutton::BST_CHECKED : 0, 0);
  }
  return found ? TRUE : FALSE;
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessage(item, message, wParam, lParam) : 0;
}
