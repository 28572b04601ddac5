// Dialogs made from templates: the dialog class and DefDlgProc, the dialog font and its
// units, the default-button bookkeeping, and the modal loop that EndDialog ends.

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/rtl/Everlasting.h"
#include "platform/rtl/Exceptions.h"
#include "platform/user/DialogState.h"
#include "platform/user/SystemClasses.h"

namespace {

std::map<HWND, std::unique_ptr<DialogState>>& Dialogs() {
  static Everlasting<std::map<HWND, std::unique_ptr<DialogState>>> dialogs;
  return *dialogs;
}

// The procedure and font of the dialog being made, until its WM_NCCREATE takes them.
struct PendingDialog {
  DLGPROC proc;
  HFONT font = nullptr;
  bool ownsFont = false;
};
PendingDialog*& Pending() {
  static PendingDialog* pending = nullptr;
  return pending;
}

HFONT UiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// Average character width (Windows' way: the alphabet's width over 52, rounded) and height.
SIZE BaseUnitsOf(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SIZE extent{0, 0};
  const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  GetTextExtentPoint32(dc, alphabet, 52, &extent);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int width = extent.cx > 0 ? static_cast<int>((extent.cx / 26 + 1) / 2) : static_cast<int>(tm.tmAveCharWidth);
  return SIZE{std::max(1, width), std::max<LONG>(1, tm.tmHeight)};
}

// The messages whose answer is the dialog procedure's return value itself.
bool AnswersDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_INITDIALOG:
      return true;
  }
  return false;
}

bool IsPushButton(HWND window) {
  return window && (SendMessage(window, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
}

void SaveFocus(HWND dialog, DialogState& state) {
  HWND focus = GetFocus();
  if (focus && IsChild(dialog, focus)) state.savedFocus = focus;
}

void RestoreFocus(HWND dialog, DialogState& state) {
  HWND target = state.savedFocus;
  if (!target || !IsWindow(target) || !IsChild(dialog, target) || !IsWindowEnabled(target) ||
      !IsWindowVisible(target))
    target = GetNextDlgTabItem(dialog, nullptr, FALSE);
  if (target) SetDialogFocus(dialog, target);
}

// WM_NEXTDLGCTL: lParam TRUE: wParam is the control; else wParam 0 the next tab stop, other
// the previous one.
void OnNextDlgCtl(HWND dialog, WPARAM wParam, LPARAM lParam) {
  HWND target = nullptr;
  if (LOWORD(lParam)) {
    target = reinterpret_cast<HWND>(wParam);
  } else {
    HWND focus = GetFocus();
    if (focus && !IsChild(dialog, focus)) focus = nullptr;
    target = GetNextDlgTabItem(dialog, focus, wParam != 0);
  }
  if (target) SetDialogFocus(dialog, target);
}

void OnClose(HWND dialog) {
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  if (cancel && !IsWindowEnabled(cancel)) return;
  PostMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), reinterpret_cast<LPARAM>(cancel));
}

LRESULT DefaultHandling(HWND dialog, DialogState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      HBRUSH brush = reinterpret_cast<HBRUSH>(
          SendMessage(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog)));
      if (!brush) brush = GetSysColorBrush(COLOR_3DFACE);
      RECT r;
      GetClientRect(dialog, &r);
      FillRect(dc, &r, brush);
      return 1;
    }
    case WM_CLOSE: OnClose(dialog); return 0;
    case WM_ACTIVATE:
      if (!state) break;
      if (LOWORD(wParam) == WA_INACTIVE) SaveFocus(dialog, *state);
      else RestoreFocus(dialog, *state);
      return 0;
    case WM_SETFOCUS:
      if (state) RestoreFocus(dialog, *state);
      return 0;
    case WM_SHOWWINDOW:
      if (state && !wParam) SaveFocus(dialog, *state);
      break;
    case WM_NEXTDLGCTL: OnNextDlgCtl(dialog, wParam, lParam); return 0;
    case DM_GETDEFID:
      if (state && state->defId) return MAKELONG(state->defId, DC_HASDEFID);
      return 0;
    case DM_SETDEFID:
      if (!state) return FALSE;
      state->defId = static_cast<int>(wParam);
      UpdateDefaultButton(dialog, GetFocus());
      return TRUE;
    case WM_GETFONT: return state ? reinterpret_cast<LRESULT>(state->font) : 0;
    case WM_NCDESTROY: {
      auto it = Dialogs().find(dialog);
      if (it != Dialogs().end()) {
        if (it->second->ownsFont) DeleteObject(it->second->font);
        Dialogs().erase(it);
      }
      break;
    }
  }
  return DefWindowProc(dialog, message, wParam, lParam);
}

void MoveToCentre(HWND dialog, HWND owner) {
  RECT r, area;
  GetWindowRect(dialog, &r);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
  else SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = area.left + (area.right - area.left - w) / 2, y = area.top + (area.bottom - area.top - h) / 2;
  SetWindowPos(dialog, nullptr, std::max(0, x), std::max(0, y), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT FontFor(const DialogTemplate& t, bool& owns) {
  owns = false;
  if (t.fontName.empty()) return UiFont();
  LOGFONT lf;
  HDC dc = GetDC(nullptr);
  lf.lfHeight = -MulDiv(t.pointSize > 0 ? t.pointSize : 8, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(nullptr, dc);
  std::strncpy(lf.lfFaceName, t.fontName.c_str(), LF_FACESIZE - 1);
  HFONT font = CreateFontIndirect(&lf);
  if (!font) return UiFont();
  owns = true;
  return font;
}

}  // namespace

DialogState* DialogStateOf(HWND dialog) {
  auto it = Dialogs().find(dialog);
  return it != Dialogs().end() && IsWindow(dialog) ? it->second.get() : nullptr;
}

LRESULT DefDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE && Pending() && !Dialogs().count(dialog)) {
    auto state = std::make_unique<DialogState>();
    state->proc = std::move(Pending()->proc);
    state->font = Pending()->font;
    state->ownsFont = Pending()->ownsFont;
    Pending()->ownsFont = false;
    Dialogs()[dialog] = std::move(state);
  }
  DialogState* state = DialogStateOf(dialog);
  if (state && state->proc) {
    SetWindowLongPtr(dialog, DWLP_MSGRESULT, 0);
    DLGPROC proc = state->proc;  // a copy: the procedure may end or destroy the dialog
    INT_PTR handled = proc(dialog, message, wParam, lParam);
    if (message == WM_NCDESTROY) return DefaultHandling(dialog, DialogStateOf(dialog), message, wParam, lParam);
    if (handled) {
      if (AnswersDirectly(message)) return handled;
      return IsWindow(dialog) ? GetWindowLongPtr(dialog, DWLP_MSGRESULT) : 0;
    }
    if (!IsWindow(dialog)) return 0;
    state = DialogStateOf(dialog);
  }
  return DefaultHandling(dialog, state, message, wParam, lParam);
}

void SetDialogFocus(HWND dialog, HWND control) {
  if (!control) return;
  if (SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    SendMessage(control, dlgbutton::EM_SETSEL, 0, -1);
  SetFocus(control);
  UpdateDefaultButton(dialog, GetFocus());
}

void UpdateDefaultButton(HWND dialog, HWND focus) {
  DialogState* state = DialogStateOf(dialog);
  if (!state) return;
  HWND wanted = focus && IsChild(dialog, focus) && IsPushButton(focus) ? focus
                : state->defId ? GetDlgItem(dialog, state->defId) : nullptr;
  if (wanted && !IsPushButton(wanted)) wanted = nullptr;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    LRESULT code = SendMessage(child, WM_GETDLGCODE, 0, 0);
    if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) continue;
    bool isDefault = code & DLGC_DEFPUSHBUTTON;
    if (isDefault != (child == wanted))
      SendMessage(child, dlgbutton::BM_SETSTYLE, child == wanted ? dlgbutton::BS_DEFPUSHBUTTON : dlgbutton::BS_PUSHBUTTON,
                  TRUE);
  }
}

LONG GetDialogBaseUnits() {
  static LONG units = 0;
  if (!units) {
    SIZE s = BaseUnitsOf(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    units = MAKELONG(s.cx, s.cy);
  }
  return units;
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
  if (!rect) return FALSE;
  DialogState* state = DialogStateOf(dialog);
  SIZE base = BaseUnitsOf(state && state->font ? state->font : UiFont());
  rect->left = MulDiv(rect->left, base.cx, 4);
  rect->right = MulDiv(rect->right, base.cx, 4);
  rect->top = MulDiv(rect->top, base.cy, 8);
  rect->bottom = MulDiv(rect->bottom, base.cy, 8);
  return TRUE;
}

HWND CreateDialogIndirectParam(HINSTANCE instance, const DialogTemplate* t, HWND owner, DLGPROC proc, LPARAM param) {
  if (!t) return nullptr;
  PendingDialog pending;
  pending.proc = std::move(proc);
  pending.font = FontFor(*t, pending.ownsFont);
  SIZE base = BaseUnitsOf(pending.font);
  DWORD style = t->style & ~WS_VISIBLE;
  DWORD exStyle = t->exStyle | ((t->style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
  if (style & DS_CONTROL) style = (style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU)) | WS_CHILD;
  RECT r{0, 0, MulDiv(t->cx, base.cx, 4), MulDiv(t->cy, base.cy, 8)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  int x = MulDiv(t->x, base.cx, 4), y = MulDiv(t->y, base.cy, 8);
  if (owner && !(style & WS_CHILD)) {
    POINT origin{0, 0};
    ClientToScreen(owner, &origin);
    x += origin.x;
    y += origin.y;
  }
  Pending() = &pending;
  HWND dialog = CreateWindowEx(exStyle, WC_DIALOG, t->caption.c_str(), style, x, y, r.right - r.left,
                               r.bottom - r.top, owner, nullptr, instance, nullptr);
  Pending() = nullptr;
  if (!dialog) {
    if (pending.ownsFont) DeleteObject(pending.font);
    return nullptr;
  }
  DialogState* state = DialogStateOf(dialog);
  if (t->style & DS_CENTER) MoveToCentre(dialog, owner);
  HFONT font = state ? state->font : UiFont();
  SendMessage(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (const DialogItemTemplate& item : t->items) {
    HWND control = CreateWindowEx(item.exStyle, item.className.c_str(), item.text.c_str(),
                                  (item.style | WS_CHILD) & ~WS_POPUP, MulDiv(item.x, base.cx, 4),
                                  MulDiv(item.y, base.cy, 8), MulDiv(item.cx, base.cx, 4), MulDiv(item.cy, base.cy, 8),
                                  dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr);
    if (!control) continue;
    // The template's order is the z-order, and so the tab order.
    SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // A default push button of the template names the dialog's default identifier.
    if (DialogState* s = DialogStateOf(dialog); s && !s->defId &&
        (SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
      s->defId = item.id;
  }
  if (!IsWindow(dialog)) return nullptr;
  HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  if (SendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && IsWindow(dialog)) {
    first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (first && (t->style & WS_VISIBLE)) SetDialogFocus(dialog, first);
    else if (DialogState* s = DialogStateOf(dialog)) s->savedFocus = first;
  }
  if (!IsWindow(dialog)) return nullptr;
  if ((t->style & WS_VISIBLE) && !(DialogStateOf(dialog) && DialogStateOf(dialog)->ended))
    ShowWindow(dialog, SW_SHOWNORMAL);
  return dialog;
}

INT_PTR DialogBoxIndirectParam(HINSTANCE instance, const DialogTemplate* t, HWND owner, DLGPROC proc, LPARAM param) {
  if (!t) return -1;
  DialogTemplate hidden = *t;
  hidden.style &= ~WS_VISIBLE;
  if (owner && (GetWindowLongPtr(owner, GWL_STYLE) & WS_CHILD)) owner = GetAncestor(owner, GA_ROOT);
  HWND dialog = CreateDialogIndirectParam(instance, &hidden, owner, std::move(proc), param);
  if (!dialog) return -1;
  // The owner is enabled again before the dialog goes (so that the activation returns to
  // it), on every way out of the loop.
  struct ModalScope {
    HWND dialog;
    HWND owner;
    bool enableOwner;
    ~ModalScope() {
      if (enableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
      if (IsWindow(dialog)) DestroyWindow(dialog);
    }
  } scope{dialog, owner, owner && IsWindowEnabled(owner)};
  if (scope.enableOwner) EnableWindow(owner, FALSE);
  if (DialogState* state = DialogStateOf(dialog)) {
    state->modal = true;
    if (!state->ended) {
      ShowWindow(dialog, SW_SHOWNORMAL);
      if (DialogState* s = DialogStateOf(dialog)) RestoreFocus(dialog, *s);
    }
  }
  bool quit = false;
  int quitCode = 0;
  bool idleMessages = !(t->style & DS_NOIDLEMSG);
  auto running = [dialog] { return IsWindow(dialog) && DialogStateOf(dialog) && !DialogStateOf(dialog)->ended; };
  while (running()) {
    MSG msg;
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (idleMessages && owner && IsWindow(owner))
        SendMessage(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
      // What ran while waiting (another thread, a test's idle action) may have ended it.
      if (!WaitMessage() && running()) throw Exception("The message loop waits for input that cannot come");
      continue;
    }
    if (msg.message == WM_QUIT) {
      quit = true;
      quitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (!IsDialogMessage(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  INT_PTR result = IsWindow(dialog) && DialogStateOf(dialog) ? DialogStateOf(dialog)->result : -1;
  if (quit) PostQuitMessage(quitCode);
  return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  DialogState* state = DialogStateOf(dialog);
  if (!state) return FALSE;
  state->ended = true;
  state->result = result;
  // A modal dialog is hidden by its loop once the owner is enabled again.
  if (!state->modal) ShowWindow(dialog, SW_HIDE);
  PostMessage(dialog, WM_NULL, 0, 0);  // wakes the modal loop to see the end
  return TRUE;
}

namespace {

void RegisterDialogClass() {
  WNDCLASS cls;
  cls.style = CS_DBLCLKS | CS_SAVEBITS | CS_GLOBALCLASS;
  cls.lpfnWndProc = &DefDlgProc;
  cls.cbWndExtra = DLGWINDOWEXTRA;
  cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
  cls.lpszClassName = WC_DIALOG;
  RegisterClass(&cls);
}

const bool kRegistered = AddSystemClassRegistration(&RegisterDialogClass);

}  // namespace
