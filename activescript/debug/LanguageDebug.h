#pragma once
// TLanguageDebug: what an interpreter offers the script debugging services when its scripts can
// be debugged. An adapter (LanguageAdapter.h) that supports debugging answers one from
// Debugging(); the generic engine builds everything the debugger sees (code contexts, stack
// frames, properties, expressions, the stop protocol) on these few operations, so an adapter
// only wraps its interpreter's own facility (our machine's breakpoints and steps, a trace
// function, debug hooks...).
//
// Lines are the adapter's: texts given to Parse are numbered consecutively, as if they had
// been joined with line breaks, from 0.
//
// Threads: the interpreter runs on the thread that drives the engine. A stop happens on that
// thread: the adapter calls TLanguageDebugHost::Stopped there and goes on as it answers.
// Frames, variables and evaluations are asked for only on the stopped thread during the stop.
// Breakpoints and break requests may come from any thread.
#include <memory>
#include <vector>

#include "platform/core/UString.h"
#include "platform/core/Types.h"

namespace xan::as {

enum class TDebugStopReason : std::uint8_t { Breakpoint, Step, Halt };
// Ignore: the stop is passed over; the interpreter runs on as if it had not stopped.
enum class TDebugResume : std::uint8_t { Continue, StepInto, StepOver, Ignore, Abort };
// What ends a script resumed with Abort, for interpreters that take UTF-16 and UTF-8 texts.
inline constexpr char16_t KScriptAbortedMessage[] = u"Script execution has been aborted.";
inline constexpr char KScriptAbortedText[] = "Script execution has been aborted.";

// A value as the debugger shows it. Children are produced only when asked for.
class TLanguageDebugVar {
public:
    virtual ~TLanguageDebugVar() = default;
    plat::UString Name, Type, Value;
    std::uint32_t Attributes = 0;  // OBJECT_ATTRIB_* (DebugIntf.h) besides expandability
    virtual bool Expandable() const = 0;
    virtual std::vector<std::shared_ptr<TLanguageDebugVar>> Children() = 0;
};
using TLanguageDebugVarRef = std::shared_ptr<TLanguageDebugVar>;

// A variable without children.
class TLeafDebugVar final : public TLanguageDebugVar {
public:
    TLeafDebugVar(plat::UString AName, plat::UString AType, plat::UString AValue) {
        Name = std::move(AName);
        Type = std::move(AType);
        Value = std::move(AValue);
    }
    bool Expandable() const override { return false; }
    std::vector<TLanguageDebugVarRef> Children() override { return {}; }
};

struct TLanguageEvalResult {
    bool Ok = false;
    // Ok: the value (named after the expression); otherwise a variable whose value is the message.
    TLanguageDebugVarRef Value;
};

// One activation of the interpreter on the stopped thread.
class TLanguageFrame {
public:
    virtual ~TLanguageFrame() = default;
    virtual plat::UString Description(bool ALong) = 0;
    virtual plat::Integer Line() = 0;
    // Where the activation lives on the native stack, to order it among other engines' frames;
    // 0 when the interpreter cannot tell (the engine's entry point is used then).
    virtual std::uintptr_t StackAddress() { return 0; }
    // One root variable whose children are the activation's variables.
    virtual TLanguageDebugVarRef Variables() = 0;
    virtual TLanguageEvalResult Evaluate(const plat::UString& AExpr) = 0;
};

class TLanguageDebugHost {
public:
    // The interpreter stopped on the calling thread: waits for the debugger and answers how to
    // go on (an adapter arms its step itself).
    virtual TDebugResume Stopped(TDebugStopReason AReason) = 0;

protected:
    ~TLanguageDebugHost() = default;
};

class TLanguageDebug {
public:
    virtual ~TLanguageDebug() = default;
    // Debugging starts (AHost) or ends (none); stops reach the host from then on.
    virtual void SetHost(TLanguageDebugHost* AHost) = 0;
    // The first line at or after ALine that holds code; -1 when there is none.
    virtual plat::Integer CodeLineAt(plat::Integer ALine) = 0;
    // Sets or clears a breakpoint on a line that holds code.
    virtual void SetLineBreakpoint(plat::Integer ALine, bool AEnabled) = 0;
    // The next statement stops with TDebugStopReason::Halt.
    virtual void RequestBreak() = 0;
    // The interpreter's activations on the stopped thread, innermost first.
    virtual std::vector<std::unique_ptr<TLanguageFrame>> Frames() = 0;
};

}  // namespace xan::as
