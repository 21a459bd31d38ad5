#pragma once
// What both debugger front ends (--debug and --dap) work on: the session's script control
// attached to a debugger component under a debug name, compiled, with its source lines at
// hand, and breakpoints known to people by stable numbers (kept in the breakpoint's Data).
// The engine counts lines from 0; these front ends show and take them 1-based.
#include <iosfwd>
#include <string>
#include <vector>

#include "components/DebugFrames.h"
#include "components/ScriptDebugger.h"
#include "tools/velmora/Session.h"

namespace xan::cli {

class TDebugTarget {
public:
    TDebugTarget(ScriptLanguage ALanguage, std::ostream& AOut, std::ostream& AErr, bool ASynchBreaks);
    TDebugTarget(const TDebugTarget&) = delete;
    TDebugTarget& operator=(const TDebugTarget&) = delete;

    // Loads ASource under the debug name AName (errors are reported as AName) and compiles
    // it; false after a compile error was reported.
    bool Load(const std::string& AName, const plat::UString& ASource);

    TSession& Session() noexcept { return FSession; }
    TXANScriptDebugger& Debugger() noexcept { return FDebugger; }
    TXANScriptControl& Control() noexcept { return FSession.Control(); }
    TXANDebugModule* Module() const noexcept { return FModule; }
    const std::string& Name() const noexcept { return FName; }
    plat::Integer LineCount() const noexcept { return static_cast<plat::Integer>(FLines.size()); }
    // The text of a line counted from 0; empty outside the source.
    std::string SourceLine(plat::Integer ALine) const;

    // The breakpoint at a 1-based line of the script, numbered when it is new.
    TXANBreakpoint* SetBreakpoint(int ALine);
    int NumberOf(const TXANBreakpoint* ABreakpoint) const;
    TXANBreakpoint* ByNumber(int ANumber) const;

private:
    TXANScriptDebugger FDebugger;  // declared first: the session's control goes first
    TSession FSession;
    TXANDebugModule* FModule = nullptr;
    std::string FName;
    std::vector<std::string> FLines;
    int FNextNumber = 1;
};

// A variable as the debugger window shows it: "NAME: TYPE = VALUE".
std::string VariableText(const TXANVariable& AVariable);
// Whether an evaluation result is the message of a failed evaluation.
bool IsEvalError(const TXANVariable& AVariable);
// The first line of a message (the engine's messages may add a source line).
std::string FirstLine(const plat::UString& AMessage);

}  // namespace xan::cli
