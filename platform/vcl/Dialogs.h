#pragma once
// The framework's message dialogs: CreateMessageDialog builds a form with an icon, the text
// wrapped to a readable width and a row of buttons; MessageDlg shows one modally and
// answers the modal result of the button pressed; ShowMessage shows text with OK. A test's
// message-box script (MessageBoxScript.h) answers them as it answers MessageBox: the button
// it names is pressed.

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
