#pragma once
// TXANScriptDebugger: the component that debugs one or more script controls together.
//
// Controls attach themselves through their Debugger property; each names a debug module
// (DebugName), and breakpoints are held per module and source line (lines count from 0, as the
// engines count them). When an attached script stops (a breakpoint, a step, a requested break)
// the debugger enters a break: it shows the paused call stack across all attached scripts
// (StackFrames, see DebugFrames.h), evaluates expressions and lists variables per frame, and
// resumes with ResumeFromBreak. A breakpoint carries a condition, a pass count, a group and an
// action that may log a message, evaluate and log an expression, log the call stack and switch
// groups on or off instead of (or before) stopping.
//
//   TXANScriptDebugger debugger;
//   script.SetDebugger(&debugger);
//   script.SetDebugName(u"Main");
//   debugger.SetBreakpoint(debugger.Modules().FindByName(u"Main"), 12);
//   debugger.OnBreak = [&](TObject*, TXANScriptControl*, Integer ALine) { ...; debugger.ResumeFromBreak(rkContinue); };
//
// The component talks to the scripts through one runner debug object of their language kind
// and takes no locks: in synchronous mode (IsSynchBreaks) the events of a break run on the
// script's thread, otherwise on a break thread, and the host then inspects and resumes from
// one thread at a time.
#include <atomic>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "components/DebuggerIntf.h"
#include "components/Runner.h"
#include "platform/core/Method.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Strings.h"

namespace xan {

class TXANScriptDebugger;
class TXANStackFrame;

enum TXANBreakpointState : std::uint8_t { bsNonactive, bsValid, bsInvalid };

enum TXANDebugMsgKind : std::uint8_t {
    dmDebuggerOutput,
    dmBreakpointReached,
    dmLogMessage,
    dmEvalExpr,
    dmLogStackHeader,
    dmLogStackFrame,
};

// A LogStackFrames value that logs every frame.
inline constexpr plat::Integer XANLogAllStackFrames = 2147483647;

// ---- Modules ------------------------------------------------------------------------------------

class TXANDebugModule : public plat::TCollectionItem {
    XAN_CLASS(TXANDebugModule, plat::TCollectionItem)
    TXANDebugModule() = default;
    // Scripts using the module lose it, and its breakpoints go (last first).
    ~TXANDebugModule() override;

    const plat::UString& Name() const noexcept { return FName; }
    void SetName(const plat::UString& AValue);
    // The collection's owner; none outside a debugger's collection.
    TXANScriptDebugger* Debugger() const noexcept;
    void Assign(const plat::TPersistent* ASource) override;
    void Delete() { delete this; }
    plat::UString DisplayName() const override { return FName; }

private:
    plat::UString FName;
};

class TXANDebugModules : public plat::TCollection {
    XAN_CLASS(TXANDebugModules, plat::TCollection)
    explicit TXANDebugModules(TXANScriptDebugger* AOwner = nullptr);

    TXANDebugModule* Add() { return static_cast<TXANDebugModule*>(TCollection::Add()); }
    TXANDebugModule* Insert(plat::Integer AIndex) { return static_cast<TXANDebugModule*>(TCollection::Insert(AIndex)); }
    TXANDebugModule* Items(plat::Integer AIndex) const { return static_cast<TXANDebugModule*>(TCollection::Items(AIndex)); }
    TXANDebugModule* FindItemID(plat::Integer AID) const noexcept {
        return static_cast<TXANDebugModule*>(TCollection::FindItemID(AID));
    }
    // The first module named exactly AName (case matters); none otherwise.
    TXANDebugModule* FindByName(const plat::UString& AName) const noexcept;
    TXANDebugModule* FindOrAdd(const plat::UString& AName);

protected:
    void Update(plat::TCollectionItem* AItem) override;
};

// ---- Breakpoints --------------------------------------------------------------------------------

class TXANBreakpointAction {
public:
    explicit TXANBreakpointAction(TXANBreakpoint* ABP) noexcept : FBP(ABP) {}
    TXANBreakpointAction(const TXANBreakpointAction&) = delete;
    TXANBreakpointAction& operator=(const TXANBreakpointAction&) = delete;

    // Each setter stores a changed value and tells the debugger; an equal value does nothing.
    bool Break() const noexcept { return FBreak; }
    void SetBreak(bool AValue);
    const plat::UString& LogMessage() const noexcept { return FLogMessage; }
    void SetLogMessage(const plat::UString& AValue);
    // 0 none; XANLogAllStackFrames every frame.
    plat::Integer LogStackFrames() const noexcept { return FLogStackFrames; }
    void SetLogStackFrames(plat::Integer AValue);
    const plat::UString& EvalExpression() const noexcept { return FEvalExpression; }
    void SetEvalExpression(const plat::UString& AValue);
    const plat::UString& EnableGroup() const noexcept { return FEnableGroup; }
    void SetEnableGroup(const plat::UString& AValue);
    const plat::UString& DisableGroup() const noexcept { return FDisableGroup; }
    void SetDisableGroup(const plat::UString& AValue);

private:
    template <class T>
    void Store(T& AField, const T& AValue);

    TXANBreakpoint* FBP;
    bool FBreak = true;
    plat::UString FLogMessage;
    plat::UString FEvalExpression;
    plat::UString FDisableGroup;
    plat::UString FEnableGroup;
    plat::Integer FLogStackFrames = 0;
};

class TXANBreakpoint {
public:
    TXANBreakpoint(const TXANBreakpoint&) = delete;
    TXANBreakpoint& operator=(const TXANBreakpoint&) = delete;
    // Deletes the breakpoint in the runners and leaves the debugger's list.
    ~TXANBreakpoint();
    void Delete() { delete this; }

    TXANScriptDebugger* Debugger() const noexcept { return FDebugger; }
    plat::Integer Index() const;  // -1 without debugger
    TXANDebugModule* Module() const noexcept { return FModule; }
    plat::Integer Line() const noexcept { return FLine; }  // from 0; changed by MoveBreakpoints only
    bool Enabled() const noexcept { return FEnabled; }
    void SetEnabled(bool AValue);  // re-installs the breakpoint in the runners first
    const plat::UString& Condition() const noexcept { return FCondition; }
    void SetCondition(const plat::UString& AValue);
    plat::Integer PassCount() const noexcept { return FPassCount; }
    void SetPassCount(plat::Integer AValue);
    const plat::UString& Group() const noexcept { return FGroup; }
    void SetGroup(const plat::UString& AValue);
    // Hits counted towards the pass count; cycles 1 .. PassCount.
    plat::Integer CurrentPassCount() const noexcept { return FCurrentPassCount; }
    TXANBreakpointAction& Action() const noexcept { return *FAction; }
    TXANBreakpointState State() const;
    void* Data() const noexcept { return FData; }
    void SetData(void* AValue) noexcept { FData = AValue; }

private:
    friend class TXANScriptDebugger;
    friend class TXANBreakpointAction;
    TXANBreakpoint(TXANScriptDebugger* ADebugger, TXANDebugModule* AModule, plat::Integer ALine);
    void Changed();
    void SetCurrentPassCount(plat::Integer AValue);

    TXANScriptDebugger* FDebugger;
    TXANDebugModule* FModule;
    plat::Integer FLine;
    bool FEnabled = true;
    plat::UString FCondition;
    plat::Integer FPassCount = 0;
    plat::Integer FCurrentPassCount = 0;
    plat::UString FGroup;
    std::unique_ptr<TXANBreakpointAction> FAction;
    bool FValid = false;
    void* FData = nullptr;
};

// ---- Notifiers and events -----------------------------------------------------------------------

// Hosts derive from it and register with AddNotifier; notifiers hear of a change before the
// component's event of the same kind fires.
class IXANScriptDebuggerNotifier {
public:
    virtual ~IXANScriptDebuggerNotifier() = default;
    virtual void Breaked(TXANScriptDebugger* ADebugger) = 0;
    virtual void Resumed(TXANScriptDebugger* ADebugger) = 0;
    virtual void DebugNameChanged(TXANScriptDebugger* ADebugger, TXANScriptControl* AScript) = 0;
    virtual void LogMessage(TXANScriptDebugger* ADebugger, const plat::UString& AMsg, TXANDebugMsgKind AKind) = 0;
    virtual void BreakpointsChanged(TXANScriptDebugger* ADebugger) = 0;
};

using TXANBreakEvent = plat::Event<void(plat::TObject* Sender, TXANScriptControl* AScriptControl, plat::Integer ALine)>;
using TXANInvalidBreakpointEvent = plat::Event<void(plat::TObject* Sender, TXANBreakpoint* ABreakpoint)>;
using TXANFormatDebugMsgEvent =
    plat::Event<void(plat::TObject* Sender, TXANDebugMsgKind AMsgKind, TXANBreakpoint* BP, const plat::UString& S,
                     TXANStackFrame* AFrame, plat::UString& AMsg)>;
using TXANLogMessageEvent = plat::Event<void(plat::TObject* Sender, TXANDebugMsgKind AKind, const plat::UString& AMsg)>;

// Creates the runner debug object of one language kind for a debugger. The native kind is
// registered by this component; an Active Scripting layer registers its own.
using TXANRunnerDebugFactory = std::function<std::unique_ptr<TRunnerDebugBase>(TXANScriptDebuggerBase* ADebugger)>;
void XANRegisterRunnerDebug(TXANScriptLangKind AKind, TXANRunnerDebugFactory AFactory);

// ---- The component ------------------------------------------------------------------------------

class TXANScriptDebugger : public TXANScriptDebuggerBase {
    XAN_CLASS(TXANScriptDebugger, TXANScriptDebuggerBase)
    explicit TXANScriptDebugger(plat::TComponent* AOwner = nullptr);
    // Frees the breakpoints, closes and detaches every attached script.
    ~TXANScriptDebugger() override;

    // ---- Published -----------------------------------------------------------------------------
    TXANDebugModules& Modules() noexcept { return *FModules; }
    const TXANDebugModules& Modules() const noexcept { return *FModules; }
    void SetModules(const TXANDebugModules& AValue) { FModules->Assign(&AValue); }
    bool IsSynchBreaks() const override { return FIsSynchBreaks; }
    void SetIsSynchBreaks(bool AValue);  // not during a break
    TXANBreakEvent OnBreak;
    plat::TNotifyEvent OnResume;
    TXANInvalidBreakpointEvent OnInvalidBreakpoint;
    TXANFormatDebugMsgEvent OnFormatDebugMsg;
    TXANLogMessageEvent OnLogMessage;
    plat::TNotifyEvent OnBreakpointsChanged;

    // ---- Breakpoints -------------------------------------------------------------------------------
    plat::Integer BreakpointCount() const override { return static_cast<plat::Integer>(FBreakpoints.size()); }
    TXANBreakpoint* Breakpoints(plat::Integer AIndex) const override;
    // The breakpoint of that module and line, created (enabled, breaking) and installed when missing.
    TXANBreakpoint* SetBreakpoint(TXANDebugModule* AModule, plat::Integer ALine);
    TXANBreakpoint* FindBreakpoint(TXANDebugModule* AModule, plat::Integer ALine) override;
    // Gives ABreakpoints[i] the line ANewLines[i]; two breakpoints on one module line raise
    // "Duplicate breakpoint lines found." and leave every line as it was.
    void MoveBreakpoints(std::span<TXANBreakpoint* const> ABreakpoints, std::span<const plat::Integer> ANewLines);
    // Enables (disables) every breakpoint of the group, case ignored; an empty name does nothing.
    void EnableGroup(const plat::UString& AGroup) { SetGroupEnabled(AGroup, true); }
    void DisableGroup(const plat::UString& AGroup) { SetGroupEnabled(AGroup, false); }
    void ClearBreakpoints();
    void ClearBreakpoints(TXANDebugModule* AModule);
    void ResetBreakpointsState();

    // ---- Breaks ------------------------------------------------------------------------------------
    TXANBreakKind BreakKind() const noexcept override { return FBreakKind.load(std::memory_order_acquire); }
    // Stops the running scripts at their next line; callable from any thread.
    void CauseBreak();
    // "Script debugger is not in break." outside a break.
    void ResumeFromBreak(TXANBreakResumeKind AKind);
    // 0 outside a break.
    plat::Integer StackFrameCount();
    TXANStackFrame* StackFrames(plat::Integer AIndex);
    // In a break, or logging the call stack from a breakpoint action.
    bool InBreak() const noexcept { return BreakKind() != TXANBreakKind::bkNone || FLoggingStack; }
    // "Script debugger is not in break." unless InBreak.
    void CheckInBreak() const;

    void AddNotifier(IXANScriptDebuggerNotifier* ANotifier);
    void RemoveNotifier(IXANScriptDebuggerNotifier* ANotifier);

    // ---- The contract with controls and runners ------------------------------------------------
    plat::Integer ScriptCount() const override { return static_cast<plat::Integer>(FScripts.size()); }
    TXANScriptControl* Scripts(plat::Integer AIndex) const override;
    void AttachScript(TXANScriptControl* AScript) override;
    void DetachScript(TXANScriptControl* AScript) override;
    void ScriptLanguageChanged(TXANScriptControl* AScript) override;
    void DebugNameChanged(TXANScriptControl* AScript) override;
    TXANDebugModule* FindOrAddModule(const plat::UString& AName) override { return FModules->FindOrAdd(AName); }
    TRunnerDebugBase* RunnerDebug() override { return FRunnerDebug.get(); }
    void PropagateBreakpoint(TXANBreakpoint* ABreakpoint) override { Propagate(*ABreakpoint, TPropagation::Set); }
    void BreakpointsChanged() override { DoBreakpointsChanged(); }
    void DebuggerOutput(const plat::UString& AText) override { LogDebugMsg(dmDebuggerOutput, nullptr, AText); }
    void BreakpointHit(TXANBreakKind AKind, TXANBreakpoint* ABreakpoint, plat::Integer ALine, TXANScriptControl* AScript,
                       IXANBreakHitPrimitives& APrimitives) override;

protected:
    virtual void DoBreak(TXANScriptControl* AScriptControl, plat::Integer ALine);
    virtual void DoResume();
    virtual void DoInvalidBreakpoint(TXANBreakpoint* ABreakpoint);
    virtual void DoFormatDebugMsg(TXANDebugMsgKind AKind, TXANBreakpoint* BP, plat::UString& AMsg, TXANStackFrame* AFrame,
                                  const plat::UString& S);
    virtual void DoLogMessage(TXANDebugMsgKind AKind, const plat::UString& AMsg);
    virtual void DoBreakpointsChanged();

private:
    friend class TXANBreakpoint;
    friend class TXANDebugModule;
    friend class TXANStackFrame;
    enum class TPropagation : std::uint8_t { Set, Delete, Move };

    void Propagate(TXANBreakpoint& ABreakpoint, TPropagation AMode, plat::Integer AOldLine = 0);
    void RemoveBreakpoint(TXANBreakpoint* ABreakpoint);
    void ModuleRemoved(TXANDebugModule* AModule);
    void SelectRunnerDebug();
    void SetGroupEnabled(const plat::UString& AGroup, bool AEnabled);
    bool HasDuplicateLine(std::span<TXANBreakpoint* const> ABreakpoints) const;
    // Writes one debug message of AKind (formatted, offered to OnFormatDebugMsg, then logged).
    void LogDebugMsg(TXANDebugMsgKind AKind, TXANBreakpoint* BP, const plat::UString& S = {},
                     TXANStackFrame* AFrame = nullptr);
    void LogStack(TXANBreakpoint& ABreakpoint);
    // Condition and pass count: whether this hit of ABreakpoint goes on to its actions.
    bool HitCounts(TXANBreakpoint& ABreakpoint, IXANBreakHitPrimitives& APrimitives);
    // The actions; true when the hit is to break.
    bool RunActions(TXANBreakpoint& ABreakpoint, IXANBreakHitPrimitives& APrimitives);
    void ClearFrameCache();
    void FillFrameCache();
    bool Silent() const noexcept { return HasState(plat::csDestroying); }
    template <class F>
    void Notify(F&& ACall);

    std::unique_ptr<TXANDebugModules> FModules;
    std::vector<TXANScriptControl*> FScripts;
    std::vector<TXANBreakpoint*> FBreakpoints;  // owned
    std::unique_ptr<TRunnerDebugBase> FRunnerDebug;
    std::atomic<TXANBreakKind> FBreakKind{TXANBreakKind::bkNone};
    bool FLoggingStack = false;
    std::vector<std::unique_ptr<TXANStackFrame>> FStackFrames;
    bool FIsSynchBreaks = false;
    std::vector<IXANScriptDebuggerNotifier*> FNotifiers;
};

}  // namespace xan
