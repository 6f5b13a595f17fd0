// Message dialogs: MessageDlg and ShowMessage show a real modal form with an icon, the
// message and a row of buttons, and return the modal result of the button chosen. A host
// may answer instead (THost::AnswerModal with kind "MessageDlg" and the message: the
// headless host's script), and then no form is shown.
#pragma once

#include "platform/vcl/Forms.h"

namespace mv {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
// In the order the buttons stand from left to right.
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose
};
using TMsgDlgButtons = Set<TMsgDlgBtn>;

inline constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// The form of a message dialog, not shown yet (the caller shows it modally and frees it).
// The caption names the type ("Warning", "Error", "Information", "Confirm"; mtCustom takes
// Application->Title()). Enter clicks defaultButton; without one given (or when it is not
// among buttons) OK, else Yes, else the first button is the default. Escape clicks Cancel,
// else No, else OK when present. Its controls are named "Image", "Message" and after each
// button's modal meaning ("Yes", "No", "OK", "Cancel", ...). EInvalidOperation when buttons
// is empty.
TForm* CreateMessageDialog(const String& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons);
TForm* CreateMessageDialog(const String& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons,
                           TMsgDlgBtn defaultButton);

// Shows msg modally, centred on the screen, and returns the modal result of the button
// chosen (mrYes, mrNo, mrOk, mrCancel, ...; mrCancel when the window is closed).
// helpCtx is kept as the form's HelpContext.
Integer MessageDlg(const String& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, Integer helpCtx);
Integer MessageDlg(const String& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, Integer helpCtx,
                   TMsgDlgBtn defaultButton);
// MessageDlg(msg, mtCustom, {mbOK}, 0).
void ShowMessage(const String& msg);

// Message texts of the dialogs unit.
namespace DialogsConsts {
extern String SMsgDlgWarning;     // "Warning"
extern String SMsgDlgError;       // "Error"
extern String SMsgDlgInformation; // "Information"
extern String SMsgDlgConfirm;     // "Confirm"
extern String SMsgDlgNoButtons;   // "A message dialog needs at least one button: '%s'"
} // namespace DialogsConsts

} // namespace mv
