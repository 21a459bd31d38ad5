#pragma once
// The console user-interface service: a message box writes its text and a newline to the output
// stream and answers UnattendedAnswer (OK where there is one); an input box reads one line from
// the input stream (a trailing CR dropped) and answers Cancel at the end of input; the beep
// writes BEL to the error stream, and the error report writes the message there. There is no
// message queue, so processing a message returns at once.
#include <iosfwd>
#include <mutex>

#include "platform/ui/UserInterface.h"

namespace xan::plat {

class ConsoleUserInterface : public IUserInterface {
public:
    // `showPrompts` writes an input box's prompt before reading (for people at a terminal).
    ConsoleUserInterface(std::istream& in, std::ostream& out, std::ostream& err, bool showPrompts = false);

    void ShowMessage(const UString& text) override;
    DlgResult MessageDlg(const UString& text, DlgType type, DlgButtons buttons, const UString* caption) override;
    bool InputQuery(const UString& caption, const UString& prompt, UString& value) override;
    DlgResult ConfirmYesCancel(const UString& text) override;
    void Beep() override;
    void ProcessOneMessage(bool waitWhenEmpty) override;
    std::uintptr_t ApplicationHandle() override { return 0; }
    void ShowException(const Exception& e) override;

private:
    void WriteLine(std::ostream& stream, const UString& text);

    std::mutex lock_;
    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    bool showPrompts_;
};

}  // namespace xan::plat
