// MessageBox as a real modal dialog: the icon, the text wrapped to a readable width, the
// buttons of the set the flags ask for, the default button, and the keyboard of a dialog.
// A test's script (MessageBoxScript.h) answers by pressing the button it names.

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/user/DialogState.h"
#include "platform/user/MessageBoxScript.h"

namespace {

constexpr int kIconSize = 32;
constexpr int kMargin = 11;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kTextId = 0xFFFF;
constexpr UINT kAnswerNow = WM_USER + 0x100;  // ends the box with wParam (a script's answer)
constexpr DWORD kStaticLeftNoPrefix = 0x0 | 0x80;  // SS_LEFT | SS_NOPREFIX
constexpr DWORD kButtonPush = 0x0;                 // BS_PUSHBUTTON

struct BoxButton {
  int id;
  const char* caption;
};

std::vector<BoxButton> ButtonsFor(UINT type) {
  using namespace MessageBoxText;
  switch (type & 0xF) {
    case MB_OKCANCEL: return {{IDOK, Ok}, {IDCANCEL, Cancel}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, Abort}, {IDRETRY, Retry}, {IDIGNORE, Ignore}};
    case MB_YESNOCANCEL: return {{IDYES, Yes}, {IDNO, No}, {IDCANCEL, Cancel}};
    case MB_YESNO: return {{IDYES, Yes}, {IDNO, No}};
    case MB_RETRYCANCEL: return {{IDRETRY, Retry}, {IDCANCEL, Cancel}};
  }
  return {{IDOK, Ok}};
}

struct Box {
  std::string text;
  UINT type = 0;
  std::vector<BoxButton> buttons;
  int scriptAnswer = 0;
};

bool HasButton(const Box& box, int id) {
  return std::any_of(box.buttons.begin(), box.buttons.end(), [id](const BoxButton& b) { return b.id == id; });
}

SIZE MeasureText(const std::string& text, int maxWidth) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  RECT r{0, 0, maxWidth, 0};
  DrawText(dc, text.empty() ? " " : text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// Makes the text, the buttons and the box's size; the default button takes the focus.
void LayOut(HWND dialog, const Box& box) {
  RECT work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  int maxText = std::max(200, static_cast<int>((work.right - work.left) * 3 / 8));
  SIZE text = MeasureText(box.text, maxText);
  bool icon = (box.type & 0xF0) != 0;
  int textLeft = kMargin + (icon ? kIconSize + kMargin + 4 : 0);
  int n = static_cast<int>(box.buttons.size());
  int buttonsWidth = n * kButtonWidth + (n - 1) * kButtonGap;
  int contentHeight = std::max<int>(text.cy, icon ? kIconSize : 0);
  int clientWidth = std::max<int>(textLeft + text.cx + kMargin, buttonsWidth + 2 * kMargin);
  int textTop = kMargin + (icon && text.cy < kIconSize ? (kIconSize - text.cy) / 2 : 0);
  int buttonsTop = kMargin + contentHeight + kMargin + 4;
  int clientHeight = buttonsTop + kButtonHeight + kMargin;

  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HWND label = CreateWindowEx(0, "STATIC", box.text.c_str(), WS_CHILD | WS_VISIBLE | WS_GROUP | kStaticLeftNoPrefix,
                              textLeft, textTop, text.cx + 1, text.cy, dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), nullptr, nullptr);
  if (label) SendMessage(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  int x = (clientWidth - buttonsWidth) / 2;
  int defIndex = std::min(n - 1, static_cast<int>((box.type & 0xF00) >> 8));
  HWND defButton = nullptr;
  for (int i = 0; i < n; ++i) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | kButtonPush | (i == 0 ? WS_GROUP : 0);
    HWND button = CreateWindowEx(0, "BUTTON", box.buttons[i].caption, style, x, buttonsTop, kButtonWidth,
                                 kButtonHeight, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(box.buttons[i].id)),
                                 nullptr, nullptr);
    if (!button) continue;
    SetWindowPos(button, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessage(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (i == defIndex) defButton = button;
    x += kButtonWidth + kButtonGap;
  }
  SendMessage(dialog, DM_SETDEFID, static_cast<WPARAM>(box.buttons[defIndex].id), 0);
  if (DialogState* state = DialogStateOf(dialog)) state->savedFocus = defButton;

  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtr(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtr(dialog, GWL_EXSTYLE)));
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  HWND owner = GetWindow(dialog, GW_OWNER);
  // Over the owner when it can hold the box; a smaller owner (a bar of menus along the top of
  // the screen) would put the box in a corner, so the work area's middle serves then.
  RECT area = work;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
    RECT r{};
    GetWindowRect(owner, &r);
    if (r.right - r.left >= width && r.bottom - r.top >= height) area = r;
  }
  int left = std::clamp<int>(area.left + (area.right - area.left - width) / 2, work.left, std::max(work.left, work.right - width));
  int top = std::clamp<int>(area.top + (area.bottom - area.top - height) / 2, work.top, std::max(work.top, work.bottom - height));
  SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PaintIcon(HWND dialog, const Box& box) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(dialog, &ps);
  if (dc) DrawMessageBoxIcon(dc, kMargin, kMargin, box.type & 0xF0);
  EndPaint(dialog, &ps);
}

// The answer to a command: a button of the box ends it; Esc or the close box end it as
// Cancel when there is one (as OK in a box of one OK button).
void OnCommand(HWND dialog, const Box& box, int id) {
  if (id == IDCANCEL && !HasButton(box, IDCANCEL)) {
    if (box.buttons.size() == 1 && box.buttons[0].id == IDOK) EndDialog(dialog, IDOK);
    return;
  }
  if (HasButton(box, id)) EndDialog(dialog, id);
}

INT_PTR BoxProc(Box& box, HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      LayOut(dialog, box);
      if (box.scriptAnswer) {
        HWND button = HasButton(box, box.scriptAnswer) ? GetDlgItem(dialog, box.scriptAnswer) : nullptr;
        if (button) PostMessage(button, dlgbutton::BM_CLICK, 0, 0);
        else PostMessage(dialog, kAnswerNow, static_cast<WPARAM>(box.scriptAnswer), 0);
      }
      return FALSE;
    case WM_PAINT:
      PaintIcon(dialog, box);
      return TRUE;
    case WM_COMMAND: OnCommand(dialog, box, LOWORD(wParam)); return TRUE;
    case kAnswerNow: EndDialog(dialog, static_cast<INT_PTR>(wParam)); return TRUE;
  }
  return FALSE;
}

// Task-modal boxes without an owner disable every top-level window of the program.
std::vector<HWND> DisableTopLevelWindows() {
  std::vector<HWND> disabled;
  for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    if (IsWindowVisible(w) && IsWindowEnabled(w)) disabled.push_back(w);
  for (HWND w : disabled) EnableWindow(w, FALSE);
  return disabled;
}

}  // namespace

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  Box box;
  box.text = text ? text : "";
  box.type = type;
  box.buttons = ButtonsFor(type);
  box.scriptAnswer = RunMessageBoxScript(owner, box.text.c_str(), caption ? caption : MessageBoxText::Error, type);
  if (owner && !IsWindow(owner)) owner = nullptr;
  std::vector<HWND> disabled;
  if (!owner && (type & MB_TASKMODAL)) disabled = DisableTopLevelWindows();
  struct Reenable {
    std::vector<HWND>& windows;
    ~Reenable() {
      for (HWND w : windows)
        if (IsWindow(w)) EnableWindow(w, TRUE);
    }
  } reenable{disabled};
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  t.exStyle = (type & MB_SYSTEMMODAL) ? WS_EX_TOPMOST : 0;
  t.caption = caption ? caption : MessageBoxText::Error;
  INT_PTR result = DialogBoxIndirectParam(
      nullptr, &t, owner, [&box](HWND d, UINT m, WPARAM w, LPARAM l) { return BoxProc(box, d, m, w, l); }, 0);
  if (result <= 0) return box.scriptAnswer ? box.scriptAnswer : 0;
  return static_cast<int>(result);
}
