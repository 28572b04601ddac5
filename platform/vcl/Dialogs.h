#pragma once
// The framework's message dialogs: CreateMessageDialog builds a form with an icon, the text
// wrapped to a readable width and a row of buttons; MessageDlg shows one modally and
// answers the modal result of the button pressed; ShowMessage shows text with OK. A test's
// message-box script (MessageBoxScript.h) answers them as it answers MessageBox: the button
// it names is pressed. InputQuery and InputBox ask for one line of text in a small modal form
// (a prompt, an edit, OK and Cancel); no script answers them: a test drives them as a user.

#include "platform/vcl/Form.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = SetOf<TMsgDlgBtn>;
QUILLO_DECLARE_ENUM_TYPE(TMsgDlgType)
QUILLO_DECLARE_ENUM_TYPE(TMsgDlgBtn)

inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

constexpr TModalResult mrNoToAll = mrAll + 1, mrYesToAll = mrAll + 2;

// The dialog, not shown; the caller owns it. Its buttons are named after their kind
// ("OK", "Cancel", "Yes"...), the text label "Message" and the icon "Image".
TOwnedPtr<TForm> CreateMessageDialog(const AnsiString& message, TMsgDlgType type, TMsgDlgButtons buttons);
int MessageDlg(const AnsiString& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
// At a place on the screen (-1: centred).
int MessageDlgPos(const AnsiString& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext, int x, int y);
void ShowMessage(const AnsiString& message);

// The form InputQuery shows, not shown; the caller owns it. Its prompt label is "Prompt" (its
// & marks the mnemonic of the edit), the edit "Value" (holding value, all selected), and the
// buttons "OK" (default) and "Cancel" (Esc). It is as wide as the prompt and the caption need.
TOwnedPtr<TForm> CreateInputDialog(const AnsiString& caption, const AnsiString& prompt, const AnsiString& value);
// Asks for a line of text: true and value set to what was typed when OK (or Enter) closes
// the form; false and value unchanged after Cancel, Esc or the close box.
bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value);
// The text typed, or defaultValue when the user cancels.
AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt, const AnsiString& defaultValue);

namespace VclText {
inline constexpr const char* MsgDlgWarning = "Warning";
inline constexpr const char* MsgDlgError = "Error";
inline constexpr const char* MsgDlgInformation = "Information";
inline constexpr const char* MsgDlgConfirm = "Confirm";
inline constexpr const char* MsgDlgYes = "&Yes";
inline constexpr const char* MsgDlgNo = "&No";
inline constexpr const char* MsgDlgOK = "OK";
inline constexpr const char* MsgDlgCancel = "Cancel";
inline constexpr const char* MsgDlgAbort = "&Abort";
inline constexpr const char* MsgDlgRetry = "&Retry";
inline constexpr const char* MsgDlgIgnore = "&Ignore";
inline constexpr const char* MsgDlgAll = "&All";
inline constexpr const char* MsgDlgNoToAll = "N&o to All";
inline constexpr const char* MsgDlgYesToAll = "Yes to &All";
inline constexpr const char* MsgDlgHelp = "&Help";
}  // namespace VclText
