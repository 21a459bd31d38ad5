#pragma once
// The user-interface service that built-ins and components call for dialogs: message boxes
// with a button set and a dialog type, text input, confirmation, the beep, processing one
// pending window message and the default error report. Hosts install an implementation with
// SetUI (a GUI host installs a windowed one); the default is the console implementation, so
// that engines without a display (tests, CI, command-line runs) never block on a dialog.
// Dialogs are modal and run on the calling thread; implementations must accept calls from any
// thread.
#include <cstdint>

#include "platform/core/Exception.h"
#include "platform/core/Types.h"

namespace xan::plat {

enum class DlgType { Information, Error, Confirmation, Warning };
enum class DlgButtons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
// The values are the message box result codes scripts see; None is any other outcome.
enum class DlgResult : Integer { None = 0, Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

class IUserInterface {
public:
    virtual ~IUserInterface() = default;

    // A text with one OK button; returns when it is closed.
    virtual void ShowMessage(const UString& text) = 0;
    // `caption` null: the dialog type's standard caption.
    virtual DlgResult MessageDlg(const UString& text, DlgType type, DlgButtons buttons, const UString* caption) = 0;
    // An input box with `value` as the initial text; true when confirmed, and then `value`
    // holds the entered text; unchanged otherwise.
    virtual bool InputQuery(const UString& caption, const UString& prompt, UString& value) = 0;
    // A question with Yes and Cancel buttons.
    virtual DlgResult ConfirmYesCancel(const UString& text) = 0;
    virtual void Beep() = 0;
    // Processes one pending window message; with `waitWhenEmpty`, waits for one first when
    // an event source exists that could deliver one.
    virtual void ProcessOneMessage(bool waitWhenEmpty) = 0;
    // An opaque handle of the application's main window; 0 when there is none.
    virtual std::uintptr_t ApplicationHandle() = 0;
    // The default error report for an exception nobody handled.
    virtual void ShowException(const Exception& e) = 0;
};

// The installed service; the console implementation on standard streams until SetUI.
IUserInterface& UI();
// Installs a service the caller keeps alive; null restores the console implementation.
void SetUI(IUserInterface* ui) noexcept;

// The button set and the dialog type encoded in a message box style code: the low three bits
// choose the buttons (6 and 7 count as OK only), bits 4 to 6 the type (4 to 7 count as
// information).
struct MsgBoxStyle {
    DlgButtons buttons;
    DlgType type;
};
MsgBoxStyle DecodeMsgBoxStyle(Integer code) noexcept;
// "Information", "Error", "Confirm", "Warning".
UString StandardCaption(DlgType type);
// What a dialog without a person in front of it answers: the set's first button (OK, Abort,
// Yes), except that it never asks to retry (Retry, Cancel answers Cancel), since nothing
// would change before the retry and a script that retries until told otherwise would hang.
DlgResult UnattendedAnswer(DlgButtons buttons) noexcept;

}  // namespace xan::plat
