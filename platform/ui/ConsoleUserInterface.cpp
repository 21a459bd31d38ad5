#include "platform/ui/ConsoleUserInterface.h"

#include <istream>
#include <ostream>
#include <string>

namespace xan::plat {

ConsoleUserInterface::ConsoleUserInterface(std::istream& in, std::ostream& out, std::ostream& err, bool showPrompts)
    : in_(in), out_(out), err_(err), showPrompts_(showPrompts) {}

void ConsoleUserInterface::WriteLine(std::ostream& stream, const UString& text) {
    std::lock_guard guard(lock_);
    stream << text.ToUtf8() << '\n';
    stream.flush();
}

void ConsoleUserInterface::ShowMessage(const UString& text) { WriteLine(out_, text); }

DlgResult ConsoleUserInterface::MessageDlg(const UString& text, DlgType, DlgButtons buttons, const UString*) {
    WriteLine(out_, text);
    return UnattendedAnswer(buttons);
}

bool ConsoleUserInterface::InputQuery(const UString&, const UString& prompt, UString& value) {
    std::lock_guard guard(lock_);
    if (showPrompts_) {
        out_ << prompt.ToUtf8() << ' ';
        out_.flush();
    }
    std::string line;
    if (!std::getline(in_, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    value = UString::FromUtf8(line);
    return true;
}

DlgResult ConsoleUserInterface::ConfirmYesCancel(const UString& text) {
    WriteLine(out_, text);
    return DlgResult::Yes;
}

void ConsoleUserInterface::Beep() {
    std::lock_guard guard(lock_);
    err_ << '\a';
    err_.flush();
}

void ConsoleUserInterface::ProcessOneMessage(bool) {}

void ConsoleUserInterface::ShowException(const Exception& e) { WriteLine(err_, e.Message()); }

}  // namespace xan::plat
