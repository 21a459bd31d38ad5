#pragma once
// TNativeRunnerDebug: the runner debug object of the native scripts attached to one debugger
// component. It owns the VM debugger every such script is opened under, and hands each break
// of a machine to the debugger component:
//
// - synchronously: the break processing (and the host's break event) runs on the script's
//   thread, inside the machine's break, and the break ends when the host's handler returns;
// - asynchronously: a break thread runs the break processing while the script thread waits
//   for tasks posted by the debugger side (list variables, evaluate, resume). Frames are
//   evaluated only on the script thread, the one the machine allows.
//
// One break is handed over at a time: a second thread that breaks meanwhile waits until the
// first break has ended.
#include <memory>
#include <mutex>

#include "components/Runner.h"
#include "vm/debug/VMDebugger.h"

namespace xan {

class TNativeBreakpointThread;
class TXANBreakpoint;

enum TNativeBreakTask : std::uint8_t { btResume, btGetVars, btEval, btCondition };

// One break in progress. Shared between the script thread, the break thread and the threads
// that post tasks, so none of them outlives the others' view of it.
struct TNativeBreakData {
    TXANPasStackFramesRef CallStack;
    std::unique_ptr<plat::AutoResetEvent> TaskEvent;  // none in synchronous mode
    TNativeBreakTask Task = btResume;
    plat::AutoResetEvent* Complition = nullptr;
    TXANVMResumeKind ResumeKind = rkContinue;
    bool Resumed = false;
    TXANPasStackFrame* EvalFrame = nullptr;
    plat::UString EvalExpr;
    TXANPasDebugVar EvalRes;
    plat::Variant EvalValue;  // btCondition
    bool EvalOk = false;      // btCondition
};
using TNativeBreakDataRef = std::shared_ptr<TNativeBreakData>;

class TNativeRunnerDebug : public TRunnerDebugBase {
public:
    explicit TNativeRunnerDebug(TXANScriptDebuggerBase* ADebugger);
    ~TNativeRunnerDebug() override;

    TXANScriptLangKind GetLangKind() const override { return slkNative; }
    void CauseBreak() override;
    void GetStackFrames(const TGetFrameProc& AProc) override;
    void Eval(TRunnerFrame ARunnerFrame, const plat::UString& AExpr, const TVarProc& AProc) override;
    plat::UString Eval(TRunnerFrame ARunnerFrame, const plat::UString& AExpr) override;
    void GetVars(TRunnerFrame ARunnerFrame, const TVarProc& AProc) override;
    void GetVarChildren(plat::IUnknown* ARunnerVar, const TVarProc& AProc) override;
    plat::UString GetLongDescription(TRunnerFrame ARunnerFrame) override;
    plat::UString GetShortDescription(TRunnerFrame ARunnerFrame) override;
    void ResumeFromBreak(TXANBreakResumeKind AKind) override;

    TXANVMDebugger* PasDebugger() const noexcept { return FPasDebugger.get(); }
    bool InBreak() const;

private:
    friend class TNativeBreakpointThread;
    class TPrimitives;

    void OnVMBreak(TXANVMDebugger* Sender, TXANVMBreakKind ABreakKind, TXANVirtMachine* AVM, plat::Integer ALine,
                   const TXANPasStackFramesRef& ACallStack, TXANVMResumeKind& AResumeKind);
    TXANScriptControl* ControlOf(const TXANVirtMachine* AVM) const;
    // The break processing: the debugger's breakpoint-hit procedure with this object's primitives.
    void ProcessBreak(const TNativeBreakDataRef& AData, TXANBreakKind AKind, TXANBreakpoint* ABreakpoint,
                      plat::Integer ALine, TXANScriptControl* AScript);
    // Runs ATask on the script thread (directly in synchronous mode) and waits for it.
    void PostTask(const TNativeBreakDataRef& AData, TNativeBreakTask ATask, TXANPasStackFrame* AFrame,
                  const plat::UString& AExpr);
    static void RunTask(TNativeBreakData& AData);
    static void Resume(TNativeBreakData& AData, TXANVMResumeKind AKind);
    TNativeBreakDataRef CurrentBreak() const;
    void ReportVar(const TXANPasDebugVar& AVar, const TVarProc& AProc) const;

    TXANScriptDebuggerBase* FDebugger;
    std::unique_ptr<TXANVMDebugger> FPasDebugger;
    mutable std::mutex FDataLock;  // guards FBreakData
    TNativeBreakDataRef FBreakData;
    std::recursive_mutex FBreakSerial;  // one break handed over at a time
};

}  // namespace xan
