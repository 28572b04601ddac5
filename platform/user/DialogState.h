#pragma once
// What the dialog manager keeps for each dialog it made (its files share it): the dialog
// procedure, the default button, the control that had the focus when the dialog lost it,
// the font, and the end of a modal dialog.

#include "platform/user/Dialog.h"

struct DialogState {
  DLGPROC proc;
  int defId = 0;  // DM_SETDEFID's identifier; 0 before any
  HWND savedFocus = nullptr;
  HFONT font = nullptr;
  bool ownsFont = false;
  bool modal = false;  // run by DialogBoxIndirectParam
  bool ended = false;
  INT_PTR result = 0;
};

// The state of a dialog the manager made; null for any other window.
DialogState* DialogStateOf(HWND dialog);
// Sets the focus on a control of the dialog as the keyboard moves it: an edit's text is
// selected whole, and the default button follows (WM_NEXTDLGCTL does this).
void SetDialogFocus(HWND dialog, HWND control);
// The button numbers the dialog manager sends by value (the BUTTON class declares them).
namespace dlgbutton {
constexpr UINT BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_SETSTYLE = 0x00F4, BM_CLICK = 0x00F5;
constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_AUTORADIOBUTTON = 0x9, BS_TYPEMASK = 0xF;
constexpr UINT BST_CHECKED = 1;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr WORD BN_CLICKED = 0;
}  // namespace dlgbutton
