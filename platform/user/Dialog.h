#pragma once
// The dialog manager: dialogs built in code from a template of items in dialog units, the
// dialog class (WC_DIALOG) and DefDlgProc, the keyboard of a dialog (IsDialogMessage: Tab
// order, arrows within a group, Enter, Esc and mnemonics), modal dialogs ended by EndDialog,
// and the helpers that reach a dialog's items by their identifiers. Controls are made by
// class name only; the manager knows them by what WM_GETDLGCODE answers.

#include <functional>
#include <string>
#include <vector>

#include "platform/user/User.h"

inline constexpr const char* WC_DIALOG = "#32770";

// A dialog procedure answers TRUE when it handled the message; its result for the message is
// then what it stored at DWLP_MSGRESULT (for most messages) or its return value itself.
using DLGPROC = std::function<INT_PTR(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)>;

// The dialog's window extra slots.
constexpr int DWLP_MSGRESULT = 0, DWL_MSGRESULT = 0, DWLP_DLGPROC = static_cast<int>(sizeof(LONG_PTR)),
              DWLP_USER = static_cast<int>(2 * sizeof(LONG_PTR)), DWL_USER = DWLP_USER;
constexpr int DLGWINDOWEXTRA = static_cast<int>(3 * sizeof(LONG_PTR));

// Dialog styles.
constexpr DWORD DS_ABSALIGN = 0x01, DS_SYSMODAL = 0x02, DS_3DLOOK = 0x04, DS_FIXEDSYS = 0x08,
                DS_NOFAILCREATE = 0x10, DS_LOCALEDIT = 0x20, DS_SETFONT = 0x40, DS_MODALFRAME = 0x80,
                DS_NOIDLEMSG = 0x100, DS_SETFOREGROUND = 0x200, DS_CONTROL = 0x400, DS_CENTER = 0x800,
                DS_CENTERMOUSE = 0x1000, DS_CONTEXTHELP = 0x2000, DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;
// The exended style that makes the dialog manager look into a child window for more controls.
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;

// One control of a dialog: its class (by name), text, identifier, styles (WS_CHILD is
// implied) and place in dialog units.
struct DialogItemTemplate {
  std::string className;
  std::string text;
  int id = 0;
  DWORD style = WS_VISIBLE;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  DWORD exStyle = 0;
};

// A dialog: styles, place and client size in dialog units, caption, font and items. With an
// empty font name the dialog takes the system's UI font.
struct DialogTemplate {
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  DWORD exStyle = 0;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  std::string caption;
  std::string fontName;
  int pointSize = 8;
  std::vector<DialogItemTemplate> items;
};

// A modeless dialog; shown when the template has WS_VISIBLE. Null when it could not be made.
HWND CreateDialogIndirectParam(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC proc,
                               LPARAM param);
inline HWND CreateDialogIndirect(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC proc) {
  return CreateDialogIndirectParam(instance, dialog, owner, std::move(proc), 0);
}
// A modal dialog: the owner is disabled while the dialog's own loop runs; answers what
// EndDialog was given (-1 when the dialog could not be made).
INT_PTR DialogBoxIndirectParam(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC proc,
                               LPARAM param);
inline INT_PTR DialogBoxIndirect(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC proc) {
  return DialogBoxIndirectParam(instance, dialog, owner, std::move(proc), 0);
}
BOOL EndDialog(HWND dialog, INT_PTR result);

LRESULT DefDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
inline constexpr auto& DefDlgProcA = DefDlgProc;
// Handles the message when it is the dialog's keyboard (or any message for the dialog or
// its controls: those are dispatched); FALSE when the message is for another window.
BOOL IsDialogMessage(HWND dialog, MSG* msg);
inline constexpr auto& IsDialogMessageA = IsDialogMessage;

// Dialog units: the system font's average character width (low word) and height (high word).
LONG GetDialogBaseUnits();
// Dialog units of the dialog's own font to pixels.
BOOL MapDialogRect(HWND dialog, RECT* rect);

BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemText(HWND dialog, int id, LPSTR out, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
// The item's text as a number; *translated tells whether all of it was one.
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
// Checks the radio button check and unchecks the others with identifiers first to last.
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
inline constexpr auto& SetDlgItemTextA = SetDlgItemText;
inline constexpr auto& GetDlgItemTextA = GetDlgItemText;
inline constexpr auto& SendDlgItemMessageA = SendDlgItemMessage;
// The next (or previous) visible, enabled control with WS_TABSTOP after control, wrapping
// around; control null starts from the beginning.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
// The next (or previous) visible, enabled control of control's group: the group runs from a
// control with WS_GROUP up to the next one with WS_GROUP.
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);

// The default-button bookkeeping of a dialog made by the dialog manager: a push button that
// has the focus is the default one; otherwise the button DM_GETDEFID names is. The BUTTON
// class calls this as its focus changes; it does nothing for other parents.
void UpdateDefaultButton(HWND dialog, HWND focus);

// A modal box of text, an icon (MB_ICON...) and a set of buttons (MB_OK...); answers the
// identifier of the button pressed. The owner is disabled while it runs; a task-modal box
// without an owner disables every top-level window. With a test's script set
// (MessageBoxScript.h), the box presses the button the script answers.
int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
inline constexpr auto& MessageBoxA = MessageBox;
// Draws the classic 32 by 32 icon of MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION or
// MB_ICONASTERISK with its top-left corner at (x, y); FALSE for any other value.
BOOL DrawMessageBoxIcon(HDC dc, int x, int y, UINT icon);

// The captions of the message box (the program's language file may translate the boxes it
// builds itself; these are the layer's defaults).
namespace MessageBoxText {
inline constexpr const char* Ok = "OK";
inline constexpr const char* Cancel = "Cancel";
inline constexpr const char* Abort = "&Abort";
inline constexpr const char* Retry = "&Retry";
inline constexpr const char* Ignore = "&Ignore";
inline constexpr const char* Yes = "&Yes";
inline constexpr const char* No = "&No";
inline constexpr const char* Error = "Error";
}  // namespace MessageBoxText
