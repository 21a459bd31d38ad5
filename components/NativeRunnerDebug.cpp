#include "components/NativeRunnerDebug.h"

#include "components/DebuggerIntf.h"
#include "components/NativeRunner.h"
#include "components/ScriptControl.h"
#include "platform/core/Assert.h"
#include "platform/rtl/Thread.h"

namespace xan {

namespace {

constexpr const char* kUnit = "XANSctScripter";

TXANBreakKind ToDebuggerKind(TXANVMBreakKind AKind) {
    switch (AKind) {
        case bkBreakpoint: return TXANBreakKind::bkBreakpoint;
        case bkStep: return TXANBreakKind::bkStep;
        case bkCausedBreak: break;
    }
    return TXANBreakKind::bkCausedBreak;
}

TXANVMResumeKind ToMachineKind(TXANBreakResumeKind AKind) {
    switch (AKind) {
        case TXANBreakResumeKind::rkStepOver: return rkStepOver;
        case TXANBreakResumeKind::rkStepInto: return rkStepInto;
        case TXANBreakResumeKind::rkContinue: return rkContinue;
        case TXANBreakResumeKind::rkAbort: break;
    }
    return rkAbort;
}

TXANPasStackFrame* FrameOf(TRunnerFrame ARunnerFrame) {
    XAN_ASSERT(kUnit, ARunnerFrame != nullptr);
    return static_cast<TXANPasStackFrame*>(ARunnerFrame);
}

}  // namespace

// The primitives the debugger's hit procedure uses. They evaluate through the task protocol,
// so in asynchronous mode the condition is computed on the script thread like every other
// evaluation of a paused frame.
class TNativeRunnerDebug::TPrimitives final : public IXANBreakHitPrimitives {
public:
    TPrimitives(TNativeRunnerDebug& AOwner, TNativeBreakDataRef AData) : FOwner(AOwner), FData(std::move(AData)) {}

    bool ConditionHolds(const plat::UString& ACondition) override {
        FOwner.PostTask(FData, btCondition, TopFrame(), ACondition);
        if (!FData->EvalOk) return true;
        const plat::VarData v = plat::VarDerefAll(FData->EvalValue);
        return v.VType == plat::varBoolean && v.VBoolean != 0;
    }
    plat::UString ExpressionText(const plat::UString& AExpr) override {
        FOwner.PostTask(FData, btEval, TopFrame(), AExpr);
        return FData->EvalRes.Value;
    }
    void PassOver() override { Resume(*FData, rkIgnore); }

private:
    TXANPasStackFrame* TopFrame() const { return FData->CallStack->Items(0); }

    TNativeRunnerDebug& FOwner;
    TNativeBreakDataRef FData;
};

// Runs one break processing on its own thread and frees itself.
class TNativeBreakpointThread final : public plat::TThread {
public:
    TNativeBreakpointThread(TNativeRunnerDebug* ARunnerDebug, TNativeBreakDataRef AData, TXANBreakKind ABreakKind,
                            TXANScriptControl* AScriptControl, plat::Integer ALine, TXANBreakpoint* ABP)
        : FRunnerDebug(ARunnerDebug), FData(std::move(AData)), FBreakKind(ABreakKind),
          FScriptControl(AScriptControl), FLine(ALine), FBP(ABP) {
        SetFreeOnTerminate(true);
    }

protected:
    void Execute() override {
        try {
            FRunnerDebug->ProcessBreak(FData, FBreakKind, FBP, FLine, FScriptControl);
        } catch (...) {
            // A failed break processing must not leave the script waiting for ever.
            if (!FData->Resumed) TNativeRunnerDebug::Resume(*FData, rkContinue);
            throw;
        }
    }

private:
    TNativeRunnerDebug* FRunnerDebug;
    TNativeBreakDataRef FData;
    TXANBreakKind FBreakKind;
    TXANScriptControl* FScriptControl;
    plat::Integer FLine;
    TXANBreakpoint* FBP;
};

TNativeRunnerDebug::TNativeRunnerDebug(TXANScriptDebuggerBase* ADebugger)
    : FDebugger(ADebugger), FPasDebugger(std::make_unique<TXANVMDebugger>()) {
    FPasDebugger->OnBreak = TXANOnBreak::Bind<&TNativeRunnerDebug::OnVMBreak>(this);
}

TNativeRunnerDebug::~TNativeRunnerDebug() = default;

void TNativeRunnerDebug::CauseBreak() { FPasDebugger->CauseBreak(); }

bool TNativeRunnerDebug::InBreak() const { return CurrentBreak() != nullptr; }

TNativeBreakDataRef TNativeRunnerDebug::CurrentBreak() const {
    std::lock_guard<std::mutex> guard(FDataLock);
    return FBreakData;
}

TXANScriptControl* TNativeRunnerDebug::ControlOf(const TXANVirtMachine* AVM) const {
    for (plat::Integer i = 0; i < FDebugger->ScriptCount(); ++i) {
        TXANScriptControl* script = FDebugger->Scripts(i);
        if (script->Runner() && XANMachineOf(*script) == AVM) return script;
    }
    return nullptr;
}

void TNativeRunnerDebug::OnVMBreak(TXANVMDebugger*, TXANVMBreakKind ABreakKind, TXANVirtMachine* AVM,
                                   plat::Integer ALine, const TXANPasStackFramesRef& ACallStack,
                                   TXANVMResumeKind& AResumeKind) {
    std::lock_guard<std::recursive_mutex> serial(FBreakSerial);
    TXANScriptControl* control = ControlOf(AVM);
    XAN_ASSERT(kUnit, control != nullptr);
    TXANBreakpoint* bp = FDebugger->FindBreakpoint(control->DebugModule(), ALine);

    auto data = std::make_shared<TNativeBreakData>();
    data->CallStack = ACallStack;
    const bool synch = FDebugger->IsSynchBreaks();
    if (!synch) data->TaskEvent = std::make_unique<plat::AutoResetEvent>();
    TNativeBreakDataRef outer;
    {
        std::lock_guard<std::mutex> guard(FDataLock);
        outer = std::exchange(FBreakData, data);
    }
    struct TRestore {
        TNativeRunnerDebug& Self;
        TNativeBreakDataRef Outer;
        ~TRestore() {
            std::lock_guard<std::mutex> guard(Self.FDataLock);
            Self.FBreakData = std::move(Outer);
        }
    } restore{*this, std::move(outer)};

    if (synch) {
        ProcessBreak(data, ToDebuggerKind(ABreakKind), bp, ALine, control);
    } else {
        (new TNativeBreakpointThread(this, data, ToDebuggerKind(ABreakKind), control, ALine, bp))->Start();
        for (;;) {
            data->TaskEvent->WaitFor();
            const TNativeBreakTask task = data->Task;
            RunTask(*data);
            if (task == btResume) break;
        }
    }
    AResumeKind = data->ResumeKind;
}

void TNativeRunnerDebug::ProcessBreak(const TNativeBreakDataRef& AData, TXANBreakKind AKind,
                                      TXANBreakpoint* ABreakpoint, plat::Integer ALine, TXANScriptControl* AScript) {
    TPrimitives primitives(*this, AData);
    FDebugger->BreakpointHit(AKind, ABreakpoint, ALine, AScript, primitives);
}

void TNativeRunnerDebug::PostTask(const TNativeBreakDataRef& AData, TNativeBreakTask ATask, TXANPasStackFrame* AFrame,
                                  const plat::UString& AExpr) {
    AData->EvalFrame = AFrame;
    AData->EvalExpr = AExpr;
    if (!AData->TaskEvent) {
        AData->Complition = nullptr;
        AData->Task = ATask;
        RunTask(*AData);
        return;
    }
    plat::AutoResetEvent done;
    AData->Complition = &done;
    AData->Task = ATask;
    AData->TaskEvent->Set();
    done.WaitFor();
}

void TNativeRunnerDebug::RunTask(TNativeBreakData& AData) {
    switch (AData.Task) {
        case btResume: return;
        case btGetVars:
            AData.EvalRes = {};
            AData.EvalFrame->GetVariables(AData.EvalRes);
            break;
        case btEval:
            AData.EvalRes = {};
            AData.EvalFrame->Eval(AData.EvalExpr, AData.EvalRes);
            break;
        case btCondition:
            AData.EvalValue.Clear();
            AData.EvalOk = AData.EvalFrame->Eval(AData.EvalExpr, AData.EvalValue);
            break;
    }
    if (plat::AutoResetEvent* done = std::exchange(AData.Complition, nullptr)) done->Set();
}

void TNativeRunnerDebug::Resume(TNativeBreakData& AData, TXANVMResumeKind AKind) {
    AData.ResumeKind = AKind;
    AData.Resumed = true;
    AData.Task = btResume;
    if (AData.TaskEvent) AData.TaskEvent->Set();
}

void TNativeRunnerDebug::GetStackFrames(const TGetFrameProc& AProc) {
    const TNativeBreakDataRef data = CurrentBreak();
    XAN_ASSERT(kUnit, data != nullptr);
    for (std::int32_t i = 0; i < data->CallStack->Count(); ++i) {
        TXANPasStackFrame* frame = data->CallStack->Items(i);
        AProc(frame, false, ControlOf(frame->VM()), frame->Line());
    }
}

void TNativeRunnerDebug::ReportVar(const TXANPasDebugVar& AVar, const TVarProc& AProc) const {
    plat::IUnknown* children = AVar.Children.Get();
    AProc(children, AVar.Name, AVar.Type_, AVar.Value, vfPublic, children != nullptr);
}

void TNativeRunnerDebug::GetVars(TRunnerFrame ARunnerFrame, const TVarProc& AProc) {
    const TNativeBreakDataRef data = CurrentBreak();
    XAN_ASSERT(kUnit, data != nullptr);
    PostTask(data, btGetVars, FrameOf(ARunnerFrame), {});
    ReportVar(data->EvalRes, AProc);
}

void TNativeRunnerDebug::Eval(TRunnerFrame ARunnerFrame, const plat::UString& AExpr, const TVarProc& AProc) {
    const TNativeBreakDataRef data = CurrentBreak();
    XAN_ASSERT(kUnit, data != nullptr);
    PostTask(data, btEval, FrameOf(ARunnerFrame), AExpr);
    ReportVar(data->EvalRes, AProc);
}

plat::UString TNativeRunnerDebug::Eval(TRunnerFrame ARunnerFrame, const plat::UString& AExpr) {
    const TNativeBreakDataRef data = CurrentBreak();
    XAN_ASSERT(kUnit, data != nullptr);
    PostTask(data, btEval, FrameOf(ARunnerFrame), AExpr);
    return data->EvalRes.Value;
}

void TNativeRunnerDebug::GetVarChildren(plat::IUnknown* ARunnerVar, const TVarProc& AProc) {
    auto* children = dynamic_cast<IXANPasDebugVarChildren*>(ARunnerVar);
    if (!children) return;
    children->Enum([&](const TXANPasDebugVar& AVar, void*, bool&) { ReportVar(AVar, AProc); }, nullptr);
}

plat::UString TNativeRunnerDebug::GetLongDescription(TRunnerFrame ARunnerFrame) {
    return FrameOf(ARunnerFrame)->Description();
}

plat::UString TNativeRunnerDebug::GetShortDescription(TRunnerFrame ARunnerFrame) {
    return FrameOf(ARunnerFrame)->Description();
}

void TNativeRunnerDebug::ResumeFromBreak(TXANBreakResumeKind AKind) {
    const TNativeBreakDataRef data = CurrentBreak();
    XAN_ASSERT(kUnit, data != nullptr);
    Resume(*data, ToMachineKind(AKind));
}

}  // namespace xan
