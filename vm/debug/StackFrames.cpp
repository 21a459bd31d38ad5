#include "vm/debug/StackFrames.h"

#include <memory>

#include "platform/core/Exception.h"
#include "platform/core/Sync.h"
#include "vm/interp/Thread.h"
#include "vm/interp/VMErrors.h"
#include "vm/machine/PreparedDynCode.h"
#include "vm/machine/VMIndexes.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

using plat::UString;
using plat::Variant;

void TXANPasStackFrames::Add(TXANCallStackFrame* AFrame) {
    FItems.push_back(std::make_unique<TXANPasStackFrame>(this, AFrame));
}

TXANPasStackFrame::TXANPasStackFrame(TXANPasStackFrames* AOwner, TXANCallStackFrame* AFrame)
    : FOwner(AOwner),
      FFrame(AFrame),
      FCtx(AFrame->Ctx),
      FVM(static_cast<TXANVirtMachine*>(AFrame->VM)),
      FLine(FVM->FrameLine(*AFrame)),
      FDescription(FCtx->Code->Description()) {}

void TXANPasStackFrame::CheckAccess() const {
    if (plat::CurrentThreadId() != FOwner->BreakedThreadId()) plat::Throw<EXANVirtMachine>(SDebugEvalWrongThread);
    if (FOwner->BreakEnded()) plat::Throw<EXANVirtMachine>(SDebugBreakEnded);
}

bool TXANPasStackFrame::IsGlobalCode() const noexcept { return FCtx->Code == FVM->GlobalByteCode(); }

// Runs on the paused thread, which is inside the machine already and marked as in a break: no
// entry protocol, no breakpoint stops this code, and its runtime errors are not reported to the
// host (compile errors are, as for every prepared expression).
Variant TXANPasStackFrame::Evaluate(const UString& AExpr) {
    TXANThread* thread = TVMIndexes::CurrentThread();
    std::unique_ptr<TDebugVarsNamespace> scope;
    if (!IsGlobalCode()) scope = std::make_unique<TDebugVarsNamespace>(FFrame);
    const std::unique_ptr<TPreparedDynCode> prepared = FVM->PrepareExpr(AExpr, scope.get());
    Variant result;
    FVM->RunCode(*thread, prepared->ByteCode(), nullptr, &result, &prepared->Source());
    return result;
}

void TXANPasStackFrame::Eval(const UString& AExpr, TXANPasDebugVar& AVars) {
    CheckAccess();
    try {
        const Variant result = Evaluate(AExpr);
        TDebugVarUtils::FillVar(AExpr, TDebugVarUtils::TypeName(result), FVM->Language(), result, AVars);
    } catch (const plat::RaisedException& raised) {
        const std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(raised));
        AVars = {AExpr, UString(u"Error"), e ? e->Message() : UString(), nullptr};
    }
}

bool TXANPasStackFrame::Eval(const UString& AExpr, Variant& AValue) {
    AValue.Clear();
    CheckAccess();
    try {
        Variant result = Evaluate(AExpr);
        AValue.MoveFrom(result);
        return true;
    } catch (...) {
        AValue.Clear();
        return false;
    }
}

void TXANPasStackFrame::GetVariables(TXANPasDebugVar& AVars) {
    CheckAccess();
    const bool global = IsGlobalCode();
    AVars.Name = UString(global ? u"Globals" : u"Locals");
    AVars.Type_ = UString(u"object");
    AVars.Value = UString(u"{...}");
    AVars.Children = TStoredVarChildren::Init(FFrame, !global);
}

}  // namespace xan
