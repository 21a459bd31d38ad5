#pragma once
// The runner's script control with its error reporting: every script error is written as
//   FILE:LINE:COL: error: MESSAGE
// (1-based line and column, as editors and terminals jump to them), followed by the engine's
// own report (class, message and "Source: FILE [line: L, pos: C]" with its 0-based line).
// Scripts run like those of any host: through a script control, with the System unit (members
// reached as System.Name) and the exception classes (as global names).
// Scripts of the engines' languages get the object UI (UiObject.h) instead.
#include <iosfwd>
#include <memory>
#include <string>

#include "platform/core/Exception.h"
#include "platform/core/UString.h"
#include "components/ScriptControl.h"
#include "platform/ole/ComPtr.h"
#include "tools/velmora/CommandLine.h"
#include "vm/machine/VirtMachine.h"

namespace xan::cli {

TXANScriptLanguage ControlLanguage(ScriptLanguage ALanguage);

class TSession {
public:
    TSession(ScriptLanguage ALanguage, std::ostream& AOut, std::ostream& AErr);
    ~TSession();
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    TXANScriptControl& Control() noexcept { return *FControl; }
    // The control's machine (prepared or active).
    TXANVirtMachine& Machine();
    IXANLanguage& Language() noexcept { return *FLanguage; }
    // The name errors are reported under (a file, "<eval>", "<stdin>").
    void SetSourceName(const std::string& AName) { FSourceName = AName; }
    // Added to the line of the first error line (the prompt's declarations so far precede the
    // text the user typed).
    void SetLineOffset(int AOffset) noexcept { FLineOffset = AOffset; }
    // Runs AStep and answers the script error it raised, if any, unreported.
    template <class F>
    std::unique_ptr<plat::Exception> Attempt(F&& AStep) {
        FPlace = {};
        return plat::CatchAll(AStep);
    }
    // Runs AStep; a script error is reported on the error stream and answers false.
    template <class F>
    bool Guard(F&& AStep) {
        std::unique_ptr<plat::Exception> e = Attempt(AStep);
        if (e) Report(*e);
        return !e;
    }
    void Report(const plat::Exception& E);
    // A new control of the session's language with its units and the session's error reporting.
    std::unique_ptr<TXANScriptControl> NewControl();
    // Makes AControl the session's control; the one before is closed.
    void Adopt(std::unique_ptr<TXANScriptControl> AControl);
    // Prints a value in the script's own notation for special values.
    bool Print(const plat::Variant& AValue);

private:
    // Where the error that is leaving the machine happened: its innermost activation.
    struct TPlace {
        bool Known = false;
        plat::Integer Line = 0, Column = 0;
        plat::UString Message;
    };

    ScriptLanguage FKind;
    std::ostream& FOut;
    std::ostream& FErr;
    class TControl;
    void NoteSourceInfo(plat::Integer ALine, plat::Integer APos, plat::Exception& E);

    plat::ComPtr<IXANLanguage> FLanguage;  // for value texts
    std::unique_ptr<TXANScriptControl> FControl;
    std::string FSourceName;
    int FLineOffset = 0;
    TPlace FPlace;
};

}  // namespace xan::cli
