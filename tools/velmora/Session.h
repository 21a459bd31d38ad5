#pragma once
// One machine of the runner with its error reporting: every script error is written as
//   FILE:LINE:COL: error: MESSAGE
// (1-based line and column, as editors and terminals jump to them), followed by the machine's
// own report (class, message and "Source: FILE [line: L, pos: C]" with its 0-based line).
#include <iosfwd>
#include <memory>
#include <string>

#include "platform/core/Exception.h"
#include "platform/core/UString.h"
#include "tools/velmora/CommandLine.h"
#include "vm/machine/VirtMachine.h"

namespace xan::cli {

IXANLanguage* NewLanguage(ScriptLanguage ALanguage);

class TSession {
public:
    TSession(ScriptLanguage ALanguage, std::ostream& AOut, std::ostream& AErr);
    ~TSession();
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    TXANVirtMachine& Machine() noexcept { return *FMachine; }
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
    // A new machine of the session's language with the session's error reporting.
    std::unique_ptr<TXANVirtMachine> NewMachine();
    // Makes AMachine the session's machine; the one before is closed.
    void Adopt(std::unique_ptr<TXANVirtMachine> AMachine);
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
    IXANLanguage* FLanguage = nullptr;  // owned through the machine's reference (each has its own)
    std::unique_ptr<TXANVirtMachine> FMachine;
    std::string FSourceName;
    int FLineOffset = 0;
    TPlace FPlace;
};

}  // namespace xan::cli
