#pragma once
// The runner interface: a script control forwards every execution request to one runner of its
// language's kind, and a debugger component asks one runner debug object for frames, variables
// and evaluations and to resume from a break.
#include <functional>
#include <memory>
#include <span>

#include "components/ScriptTypes.h"
#include "platform/core/Types.h"
#include "platform/ole/ComIntf.h"
#include "platform/ole/Variant.h"

namespace xan {

class TXANScriptControl;
class TXANScriptDebuggerBase;
class TRunnerDebugBase;
struct TNamedItem;

// An expression or statement compiled once by a runner; the caller owns it and hands it back
// to the runner that made it.
class TXANPreparedCode {
public:
    virtual ~TXANPreparedCode() = default;
};
using TXANPreparedCodeRef = std::unique_ptr<TXANPreparedCode>;

class TRunnerBase {
public:
    TRunnerBase() = default;
    TRunnerBase(const TRunnerBase&) = delete;
    TRunnerBase& operator=(const TRunnerBase&) = delete;
    virtual ~TRunnerBase() = default;

    virtual TXANScriptLangKind GetLangKind() const = 0;
    // Creates the engine, loads the control's source, adds its named objects and values and,
    // with ADebugger, the breakpoints of the control's module. On failure the runner is closed
    // and the error propagates.
    virtual void Prepare(TRunnerDebugBase* ADebugger) = 0;
    virtual void Open() = 0;
    // Safe to call repeatedly and on a runner that never prepared.
    virtual void Close() = 0;
    virtual void AddNamedObjectToEngine(const TNamedItem& AItem) = 0;
    virtual plat::Variant RunProc(const plat::UString& AName) = 0;
    // Arguments in parameter order; a by-reference parameter writes back into its argument.
    virtual plat::Variant RunProc(const plat::UString& AName, std::span<plat::Variant> AArgs) = 0;
    virtual plat::Variant ReadVar(const plat::UString& AName) = 0;
    virtual void WriteVar(const plat::UString& AName, const plat::Variant& AValue) = 0;
    virtual TXANPreparedCodeRef PrepareExpr(const plat::UString& AExpr) = 0;
    virtual TXANPreparedCodeRef PrepareStmt(const plat::UString& AStmt) = 0;
    virtual plat::Variant Eval(TXANPreparedCode& APreparedExpr) = 0;
    virtual plat::Variant Eval(const plat::UString& AExpr) = 0;
    virtual void ExecStmt(TXANPreparedCode& APreparedStmt) = 0;
    virtual void ExecStmt(const plat::UString& AStmt) = 0;
    // The script's own dispatch object; the caller receives one reference.
    virtual plat::IDispatch* GetCodeObject() = 0;
    // ALine counts from 0 as the debugger counts lines.
    virtual void AdjustBreakpoint(plat::Integer ALine, bool AEnabled, bool ADelete, bool& AIsValid) = 0;

    // Every named object of the control (values reach the engine through the holder).
    void AddNamedObjectsToEngine(TXANScriptControl& ACtrl);
    // The debugger's breakpoints of the control's module, installed through the debugger's
    // propagation; the debugger hears of a change after every breakpoint examined.
    void SetBreakpoints(TXANScriptControl& ACtrl, TXANScriptDebuggerBase& ADebugger);
};

// A runner's own frame object, passed back to it unchanged.
using TRunnerFrame = void*;
using TGetFrameProc =
    std::function<void(TRunnerFrame ARunnerFrame, bool AOwnRunnerFrame, TXANScriptControl* AScriptControl, plat::Integer ALine)>;
using TVarProc = std::function<void(plat::IUnknown* ARunnerVar, const plat::UString& AName, const plat::UString& AType,
                                    const plat::UString& AValue, TXANVariableFlags AFlags, bool AExpandable)>;

class TRunnerDebugBase {
public:
    TRunnerDebugBase() = default;
    TRunnerDebugBase(const TRunnerDebugBase&) = delete;
    TRunnerDebugBase& operator=(const TRunnerDebugBase&) = delete;
    virtual ~TRunnerDebugBase() = default;

    virtual TXANScriptLangKind GetLangKind() const = 0;
    // Callable from any thread.
    virtual void CauseBreak() = 0;
    // The operations below require a break in progress (GetVarChildren excepted).
    virtual void GetStackFrames(const TGetFrameProc& AProc) = 0;
    virtual void Eval(TRunnerFrame ARunnerFrame, const plat::UString& AExpr, const TVarProc& AProc) = 0;
    virtual plat::UString Eval(TRunnerFrame ARunnerFrame, const plat::UString& AExpr) = 0;
    virtual void GetVars(TRunnerFrame ARunnerFrame, const TVarProc& AProc) = 0;
    virtual void GetVarChildren(plat::IUnknown* ARunnerVar, const TVarProc& AProc) = 0;
    virtual plat::UString GetLongDescription(TRunnerFrame ARunnerFrame) = 0;
    virtual plat::UString GetShortDescription(TRunnerFrame ARunnerFrame) = 0;
    virtual void ResumeFromBreak(TXANBreakResumeKind AKind) = 0;
    // Frees a frame object reported to GetStackFrames' callback with AOwnRunnerFrame set.
    virtual void FreeRunnerFrame(TRunnerFrame ARunnerFrame) { (void)ARunnerFrame; }
};

}  // namespace xan
