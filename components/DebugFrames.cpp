#include "components/DebugFrames.h"

#include <algorithm>
#include <atomic>

#include "components/ScriptControl.h"
#include "components/ScriptDebugger.h"
#include "platform/rtl/UpdateBracket.h"

namespace xan {

using plat::Integer;
using plat::UString;

namespace {

// Ids are never reused, so a host can find a variable again after the tree was rebuilt.
std::atomic<Integer> g_NextVariableId{1};

}  // namespace

// ---- Stack frames -------------------------------------------------------------------------------

TXANStackFrame::TXANStackFrame(TXANScriptDebugger* ADebugger, TRunnerFrame ARunnerFrame, bool AOwnRunnerFrame,
                               TXANScriptControl* AScriptControl, Integer ALine)
    : FDebugger(ADebugger), FRunnerFrame(ARunnerFrame), FOwnRunnerFrame(AOwnRunnerFrame),
      FScriptControl(AScriptControl), FLine(ALine) {}

TXANStackFrame::~TXANStackFrame() {
    if (FOwnRunnerFrame && FDebugger->RunnerDebug()) FDebugger->RunnerDebug()->FreeRunnerFrame(FRunnerFrame);
}

Integer TXANStackFrame::Index() const {
    const auto& frames = FDebugger->FStackFrames;
    const auto at = std::find_if(frames.begin(), frames.end(), [&](const auto& F) { return F.get() == this; });
    return at == frames.end() ? -1 : static_cast<Integer>(at - frames.begin());
}

TXANDebugModule* TXANStackFrame::Module() const { return FScriptControl ? FScriptControl->DebugModule() : nullptr; }

TRunnerDebugBase& TXANStackFrame::Runner() const {
    FDebugger->CheckInBreak();
    return *FDebugger->RunnerDebug();
}

UString TXANStackFrame::LongDescription() const { return Runner().GetLongDescription(FRunnerFrame); }

UString TXANStackFrame::ShortDescription() const { return Runner().GetShortDescription(FRunnerFrame); }

template <class F>
void TXANStackFrame::FillFrom(TXANVariables& AResult, F&& AReport) {
    TRunnerDebugBase& runner = Runner();
    plat::WithinUpdate(AResult, [&] {
        AResult.Clear();
        AResult.SetDebugger(FDebugger);
        AReport(runner, AResult.RootProc());
    });
}

void TXANStackFrame::Eval(const UString& AExpression, TXANVariables& AResult) {
    FillFrom(AResult, [&](TRunnerDebugBase& R, const TVarProc& P) { R.Eval(FRunnerFrame, AExpression, P); });
}

UString TXANStackFrame::Eval(const UString& AExpression) { return Runner().Eval(FRunnerFrame, AExpression); }

void TXANStackFrame::GetVariables(TXANVariables& AResult) {
    FillFrom(AResult, [&](TRunnerDebugBase& R, const TVarProc& P) { R.GetVars(FRunnerFrame, P); });
}

// ---- Variables ----------------------------------------------------------------------------------

TXANVariable::TXANVariable(TXANVariables* AOwner, TXANVariable* AParent, plat::IUnknown* ARunnerVar,
                           const UString& AName, const UString& AType, const UString& AValue, TXANVariableFlags AFlags,
                           bool AExpandable)
    : FId(g_NextVariableId.fetch_add(1)), FOwner(AOwner), FParent(AParent), FRunnerVar(ARunnerVar), FValue(AValue),
      FType_(AType), FName(AName), FFlags(AFlags), FExpandable(AExpandable) {}

TXANVariable::~TXANVariable() = default;

Integer TXANVariable::Count() {
    FetchChildren();
    return static_cast<Integer>(FItems.size());
}

TXANVariable* TXANVariable::Items(Integer AIndex) {
    FetchChildren();
    return FItems.at(static_cast<std::size_t>(AIndex)).get();
}

Integer TXANVariable::IndexOfId(Integer AId) {
    FetchChildren();
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->FId == AId) return static_cast<Integer>(i);
    return -1;
}

void TXANVariable::FetchChildren() {
    if (FItemsFilled) return;
    TXANScriptDebugger* debugger = FOwner->Debugger();
    TRunnerDebugBase* runner = debugger ? debugger->RunnerDebug() : nullptr;
    if (FRunnerVar && runner) {
        try {
            runner->GetVarChildren(FRunnerVar.Get(), [&](plat::IUnknown* V, const UString& N, const UString& T,
                                                         const UString& Val, TXANVariableFlags F, bool E) {
                FItems.push_back(std::unique_ptr<TXANVariable>(new TXANVariable(FOwner, this, V, N, T, Val, F, E)));
            });
        } catch (...) {
            FItems.clear();
            throw;
        }
    }
    FItemsFilled = true;
}

TXANVariables::~TXANVariables() {
    // Going quietly: nobody listens to a container that is being destroyed.
    FRoot.reset();
}

void TXANVariables::Clear() {
    if (!FRoot) return;
    FRoot.reset();
    FDebugger = nullptr;
    Changed();
}

void TXANVariables::EndUpdate() {
    --FUpdateCount;
    if (FUpdateCount <= 0 && FChanged) Changed();
}

void TXANVariables::Changed() {
    if (FUpdateCount > 0) {
        FChanged = true;
        return;
    }
    FChanged = false;
    DoChange();
}

void TXANVariables::DoChange() { OnChange.Fire(this); }

TVarProc TXANVariables::RootProc() {
    return [this](plat::IUnknown* V, const UString& N, const UString& T, const UString& Val, TXANVariableFlags F,
                  bool E) { AddRoot(V, N, T, Val, F, E); };
}

void TXANVariables::AddRoot(plat::IUnknown* ARunnerVar, const UString& AName, const UString& AType,
                            const UString& AValue, TXANVariableFlags AFlags, bool AExpandable) {
    if (FRoot) plat::Throw<EXANScriptControl>(UString(SVariablesHasRoot));
    FRoot.reset(new TXANVariable(this, nullptr, ARunnerVar, AName, AType, AValue, AFlags, AExpandable));
    Changed();
}

}  // namespace xan
