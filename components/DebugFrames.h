#pragma once
// What a host sees of a paused call stack: TXANStackFrame (one per script frame across all
// scripts of a debugger, innermost first), and variables and evaluation results as a tree of
// TXANVariable held by a TXANVariables container. Both are thin wrappers: a frame keeps the
// runner's own frame object, a variable keeps the runner's handle for its children, and the
// runner debug object does the real work. Children are fetched when first asked for.
#include <memory>
#include <vector>

#include "components/Runner.h"
#include "platform/ole/ComPtr.h"
#include "platform/core/Object.h"
#include "platform/rtl/Strings.h"

namespace xan {

class TXANScriptDebugger;
class TXANDebugModule;
class TXANVariables;

class TXANStackFrame {
public:
    // Made by the debugger while it fills its frame cache.
    TXANStackFrame(TXANScriptDebugger* ADebugger, TRunnerFrame ARunnerFrame, bool AOwnRunnerFrame,
                   TXANScriptControl* AScriptControl, plat::Integer ALine);
    TXANStackFrame(const TXANStackFrame&) = delete;
    TXANStackFrame& operator=(const TXANStackFrame&) = delete;
    ~TXANStackFrame();

    plat::Integer Index() const;  // 0: the innermost frame
    TXANScriptControl* ScriptControl() const noexcept { return FScriptControl; }
    TXANDebugModule* Module() const;
    plat::Integer Line() const noexcept { return FLine; }  // from 0
    // These need a break ("Script debugger is not in break." otherwise).
    plat::UString LongDescription() const;
    plat::UString ShortDescription() const;
    // AExpression evaluated in this frame as the one root of AResult (an evaluation error
    // becomes the root's value with type "Error" for native scripts).
    void Eval(const plat::UString& AExpression, TXANVariables& AResult);
    plat::UString Eval(const plat::UString& AExpression);
    // One root ("Locals", or "Globals" in the global code) whose children are the variables.
    void GetVariables(TXANVariables& AResult);

private:
    TRunnerDebugBase& Runner() const;
    template <class F>
    void FillFrom(TXANVariables& AResult, F&& AReport);

    TXANScriptDebugger* FDebugger;
    TRunnerFrame FRunnerFrame;
    bool FOwnRunnerFrame;
    TXANScriptControl* FScriptControl;
    plat::Integer FLine;
};

class TXANVariable {
public:
    TXANVariable(const TXANVariable&) = delete;
    TXANVariable& operator=(const TXANVariable&) = delete;
    ~TXANVariable();

    // Unique in the process, never reused: a host may remember a variable across rebuilds.
    plat::Integer Id() const noexcept { return FId; }
    const plat::UString& Name() const noexcept { return FName; }
    const plat::UString& Type_() const noexcept { return FType_; }
    const plat::UString& Value() const noexcept { return FValue; }
    TXANVariableFlags Flags() const noexcept { return FFlags; }
    bool Expandable() const noexcept { return FExpandable; }
    TXANVariable* Parent() const noexcept { return FParent; }
    // These fetch the children first when they have not been fetched.
    plat::Integer Count();
    TXANVariable* Items(plat::Integer AIndex);
    plat::Integer IndexOfId(plat::Integer AId);

private:
    friend class TXANVariables;
    TXANVariable(TXANVariables* AOwner, TXANVariable* AParent, plat::IUnknown* ARunnerVar, const plat::UString& AName,
                 const plat::UString& AType, const plat::UString& AValue, TXANVariableFlags AFlags, bool AExpandable);
    void FetchChildren();

    plat::Integer FId;
    TXANVariables* FOwner;
    TXANVariable* FParent;
    bool FItemsFilled = false;
    std::vector<std::unique_ptr<TXANVariable>> FItems;
    plat::ComPtr<plat::IUnknown> FRunnerVar;
    plat::UString FValue;
    plat::UString FType_;
    plat::UString FName;
    TXANVariableFlags FFlags;
    bool FExpandable;
};

class TXANVariables : public plat::TObject {
    XAN_CLASS(TXANVariables, plat::TObject)
    TXANVariables() = default;
    TXANVariables(const TXANVariables&) = delete;
    TXANVariables& operator=(const TXANVariables&) = delete;
    ~TXANVariables() override;

    TXANVariable* Root() const noexcept { return FRoot.get(); }
    plat::TNotifyEvent OnChange;

    // Frees the tree and notifies; an empty container stays quiet.
    void Clear();
    void BeginUpdate() noexcept { ++FUpdateCount; }
    void EndUpdate();
    void Changed();

    // ---- For stack frames ------------------------------------------------------------------------
    // The debugger whose runner debug object fetches children.
    void SetDebugger(TXANScriptDebugger* ADebugger) noexcept { FDebugger = ADebugger; }
    TXANScriptDebugger* Debugger() const noexcept { return FDebugger; }
    // The variable callback a runner reports the root through ("Variables already has root."
    // for a second one).
    TVarProc RootProc();

protected:
    virtual void DoChange();

private:
    void AddRoot(plat::IUnknown* ARunnerVar, const plat::UString& AName, const plat::UString& AType,
                 const plat::UString& AValue, TXANVariableFlags AFlags, bool AExpandable);

    bool FChanged = false;
    plat::Integer FUpdateCount = 0;
    std::unique_ptr<TXANVariable> FRoot;
    TXANScriptDebugger* FDebugger = nullptr;
};

}  // namespace xan
