#include "components/ScriptDebugger.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "components/DebugFrames.h"
#include "components/NativeRunnerDebug.h"
#include "components/ScriptControl.h"
#include "platform/core/Assert.h"
#include "platform/rtl/CaseCompare.h"
#include "platform/rtl/RtlErrors.h"
#include "platform/rtl/UpdateBracket.h"
#include "platform/text/Format.h"

namespace xan {

using plat::Integer;
using plat::UString;

namespace {

constexpr const char* kUnit = "XANSctScripter";

struct TRunnerDebugRegistry {
    std::mutex Lock;
    std::map<TXANScriptLangKind, TXANRunnerDebugFactory> Factories;
};

TRunnerDebugRegistry& RunnerDebugRegistry() {
    static TRunnerDebugRegistry registry;
    static std::once_flag native;
    std::call_once(native, [] {
        registry.Factories[slkNative] = [](TXANScriptDebuggerBase* ADebugger) -> std::unique_ptr<TRunnerDebugBase> {
            return std::make_unique<TNativeRunnerDebug>(ADebugger);
        };
    });
    return registry;
}

std::unique_ptr<TRunnerDebugBase> NewRunnerDebug(TXANScriptLangKind AKind, TXANScriptDebuggerBase* ADebugger) {
    TXANRunnerDebugFactory factory;
    {
        TRunnerDebugRegistry& registry = RunnerDebugRegistry();
        std::lock_guard<std::mutex> guard(registry.Lock);
        auto it = registry.Factories.find(AKind);
        if (it == registry.Factories.end()) return nullptr;
        factory = it->second;
    }
    return factory(ADebugger);
}

[[noreturn]] void RaiseNotInBreak() { plat::Throw<EXANScriptControl>(UString(SDebuggerNotInBreak)); }

}  // namespace

void XANRegisterRunnerDebug(TXANScriptLangKind AKind, TXANRunnerDebugFactory AFactory) {
    TRunnerDebugRegistry& registry = RunnerDebugRegistry();
    std::lock_guard<std::mutex> guard(registry.Lock);
    registry.Factories[AKind] = std::move(AFactory);
}

// ---- Modules ------------------------------------------------------------------------------------

TXANDebugModule::~TXANDebugModule() {
    if (TXANScriptDebugger* debugger = Debugger()) debugger->ModuleRemoved(this);
}

void TXANDebugModule::SetName(const UString& AValue) {
    FName = AValue;
    Changed(false);
}

TXANScriptDebugger* TXANDebugModule::Debugger() const noexcept {
    return Collection() ? dynamic_cast<TXANScriptDebugger*>(Collection()->Owner()) : nullptr;
}

void TXANDebugModule::Assign(const plat::TPersistent* ASource) {
    if (auto* other = dynamic_cast<const TXANDebugModule*>(ASource)) {
        SetName(other->FName);
        return;
    }
    TCollectionItem::Assign(ASource);
}

TXANDebugModules::TXANDebugModules(TXANScriptDebugger* AOwner) : TCollection(TXANDebugModule::StaticClass(), AOwner) {}

TXANDebugModule* TXANDebugModules::FindByName(const UString& AName) const noexcept {
    for (Integer i = 0; i < Count(); ++i)
        if (Items(i)->Name() == AName) return Items(i);
    return nullptr;
}

TXANDebugModule* TXANDebugModules::FindOrAdd(const UString& AName) {
    if (TXANDebugModule* found = FindByName(AName)) return found;
    TXANDebugModule* module = nullptr;
    plat::WithinUpdate(*this, [&] {
        module = Add();
        module->SetName(AName);
    });
    return module;
}

void TXANDebugModules::Update(plat::TCollectionItem*) {
    if (auto* debugger = dynamic_cast<TXANScriptDebugger*>(Owner())) debugger->BreakpointsChanged();
}

// ---- Breakpoints --------------------------------------------------------------------------------

template <class T>
void TXANBreakpointAction::Store(T& AField, const T& AValue) {
    if (AField == AValue) return;
    AField = AValue;
    FBP->Changed();
}

void TXANBreakpointAction::SetBreak(bool AValue) { Store(FBreak, AValue); }
void TXANBreakpointAction::SetLogMessage(const UString& AValue) { Store(FLogMessage, AValue); }
void TXANBreakpointAction::SetLogStackFrames(Integer AValue) { Store(FLogStackFrames, AValue); }
void TXANBreakpointAction::SetEvalExpression(const UString& AValue) { Store(FEvalExpression, AValue); }
void TXANBreakpointAction::SetEnableGroup(const UString& AValue) { Store(FEnableGroup, AValue); }
void TXANBreakpointAction::SetDisableGroup(const UString& AValue) { Store(FDisableGroup, AValue); }

TXANBreakpoint::TXANBreakpoint(TXANScriptDebugger* ADebugger, TXANDebugModule* AModule, Integer ALine)
    : FDebugger(ADebugger), FModule(AModule), FLine(ALine), FAction(std::make_unique<TXANBreakpointAction>(this)) {
    FDebugger->FBreakpoints.push_back(this);
    FDebugger->Propagate(*this, TXANScriptDebugger::TPropagation::Set);
    FDebugger->DoBreakpointsChanged();
}

TXANBreakpoint::~TXANBreakpoint() {
    if (FDebugger) FDebugger->RemoveBreakpoint(this);
}

Integer TXANBreakpoint::Index() const {
    if (!FDebugger) return -1;
    const auto& list = FDebugger->FBreakpoints;
    return static_cast<Integer>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TXANBreakpoint::Changed() {
    if (FDebugger) FDebugger->DoBreakpointsChanged();
}

void TXANBreakpoint::SetEnabled(bool AValue) {
    if (FEnabled == AValue) return;
    FEnabled = AValue;
    if (FDebugger) FDebugger->Propagate(*this, TXANScriptDebugger::TPropagation::Set);
    Changed();
}

void TXANBreakpoint::SetCondition(const UString& AValue) {
    if (FCondition == AValue) return;
    FCondition = AValue;
    Changed();
}

void TXANBreakpoint::SetPassCount(Integer AValue) {
    if (FPassCount == AValue) return;
    FPassCount = AValue;
    Changed();
}

void TXANBreakpoint::SetGroup(const UString& AValue) {
    if (FGroup == AValue) return;
    FGroup = AValue;
    Changed();
}

void TXANBreakpoint::SetCurrentPassCount(Integer AValue) {
    if (FCurrentPassCount == AValue) return;
    FCurrentPassCount = AValue;
    Changed();
}

TXANBreakpointState TXANBreakpoint::State() const {
    if (!FDebugger) return bsNonactive;
    const auto& scripts = FDebugger->FScripts;
    const bool running =
        std::any_of(scripts.begin(), scripts.end(), [](const TXANScriptControl* s) { return s->State() != ssInactive; });
    if (!running) return bsNonactive;
    return FValid ? bsValid : bsInvalid;
}

// ---- The component ------------------------------------------------------------------------------

TXANScriptDebugger::TXANScriptDebugger(plat::TComponent* AOwner)
    : TXANScriptDebuggerBase(AOwner), FModules(std::make_unique<TXANDebugModules>(this)) {}

TXANScriptDebugger::~TXANScriptDebugger() {
    Destroying();
    ClearBreakpoints();
    ClearFrameCache();
    while (!FScripts.empty()) {
        TXANScriptControl* script = FScripts.front();
        if (script->State() != ssInactive) plat::CatchAll([&] { script->Close(); });
        script->SetDebugger(nullptr);
    }
    FModules.reset();
    FRunnerDebug.reset();
    FNotifiers.clear();
}

void TXANScriptDebugger::SetIsSynchBreaks(bool AValue) {
    XAN_ASSERT(kUnit, BreakKind() == TXANBreakKind::bkNone);
    FIsSynchBreaks = AValue;
}

TXANBreakpoint* TXANScriptDebugger::Breakpoints(Integer AIndex) const {
    if (AIndex < 0 || AIndex >= BreakpointCount()) plat::RaiseListIndexError(AIndex);
    return FBreakpoints[static_cast<std::size_t>(AIndex)];
}

TXANScriptControl* TXANScriptDebugger::Scripts(Integer AIndex) const {
    if (AIndex < 0 || AIndex >= ScriptCount()) plat::RaiseListIndexError(AIndex);
    return FScripts[static_cast<std::size_t>(AIndex)];
}

TXANBreakpoint* TXANScriptDebugger::SetBreakpoint(TXANDebugModule* AModule, Integer ALine) {
    XAN_ASSERT(kUnit, AModule != nullptr);
    if (TXANBreakpoint* found = FindBreakpoint(AModule, ALine)) return found;
    return new TXANBreakpoint(this, AModule, ALine);
}

TXANBreakpoint* TXANScriptDebugger::FindBreakpoint(TXANDebugModule* AModule, Integer ALine) {
    for (TXANBreakpoint* bp : FBreakpoints)
        if (bp->FModule == AModule && bp->FLine == ALine) return bp;
    return nullptr;
}

bool TXANScriptDebugger::HasDuplicateLine(std::span<TXANBreakpoint* const> ABreakpoints) const {
    for (const TXANBreakpoint* moved : ABreakpoints)
        for (const TXANBreakpoint* other : FBreakpoints)
            if (other != moved && other->FModule == moved->FModule && other->FLine == moved->FLine) return true;
    return false;
}

void TXANScriptDebugger::MoveBreakpoints(std::span<TXANBreakpoint* const> ABreakpoints,
                                         std::span<const Integer> ANewLines) {
    if (ABreakpoints.empty()) return;
    XAN_ASSERT(kUnit, ABreakpoints.size() == ANewLines.size());
    for (const TXANBreakpoint* bp : ABreakpoints) XAN_ASSERT(kUnit, bp->FDebugger == this);
    std::vector<Integer> oldLines;
    for (std::size_t i = 0; i < ABreakpoints.size(); ++i) {
        oldLines.push_back(ABreakpoints[i]->FLine);
        ABreakpoints[i]->FLine = ANewLines[i];
    }
    if (HasDuplicateLine(ABreakpoints)) {
        for (std::size_t i = 0; i < ABreakpoints.size(); ++i) ABreakpoints[i]->FLine = oldLines[i];
        plat::Throw<EXANScriptControl>(UString(SDuplicateBreakpointLines));
    }
    for (std::size_t i = 0; i < ABreakpoints.size(); ++i)
        if (ABreakpoints[i]->FLine != oldLines[i]) Propagate(*ABreakpoints[i], TPropagation::Move, oldLines[i]);
    DoBreakpointsChanged();
}

void TXANScriptDebugger::SetGroupEnabled(const UString& AGroup, bool AEnabled) {
    if (AGroup.empty()) return;
    const std::vector<TXANBreakpoint*> list = FBreakpoints;
    for (TXANBreakpoint* bp : list)
        if (plat::AnsiSameText(bp->FGroup.view(), AGroup.view())) bp->SetEnabled(AEnabled);
}

void TXANScriptDebugger::ClearBreakpoints() {
    while (!FBreakpoints.empty()) delete FBreakpoints.front();
}

void TXANScriptDebugger::ClearBreakpoints(TXANDebugModule* AModule) {
    for (std::size_t i = FBreakpoints.size(); i-- > 0;)
        if (i < FBreakpoints.size() && FBreakpoints[i]->FModule == AModule) delete FBreakpoints[i];
}

void TXANScriptDebugger::ResetBreakpointsState() {
    const std::vector<TXANBreakpoint*> list = FBreakpoints;
    for (TXANBreakpoint* bp : list) bp->SetCurrentPassCount(0);
}

void TXANScriptDebugger::RemoveBreakpoint(TXANBreakpoint* ABreakpoint) {
    Propagate(*ABreakpoint, TPropagation::Delete);
    std::erase(FBreakpoints, ABreakpoint);
    ABreakpoint->FDebugger = nullptr;
    DoBreakpointsChanged();
}

void TXANScriptDebugger::Propagate(TXANBreakpoint& ABreakpoint, TPropagation AMode, Integer AOldLine) {
    std::vector<TXANScriptControl*> scripts;
    for (TXANScriptControl* script : FScripts)
        if (script->DebugModule() == ABreakpoint.FModule) scripts.push_back(script);
    ABreakpoint.FValid = true;
    for (TXANScriptControl* script : scripts) {
        TRunnerBase* runner = script->Runner();
        if (!runner) continue;
        bool valid = true;
        if (AMode == TPropagation::Move) runner->AdjustBreakpoint(AOldLine, true, true, valid);
        runner->AdjustBreakpoint(ABreakpoint.FLine, ABreakpoint.FEnabled, AMode == TPropagation::Delete, valid);
        if (valid) continue;
        ABreakpoint.FValid = false;
        if (AMode != TPropagation::Delete) DoInvalidBreakpoint(&ABreakpoint);
    }
}

// ---- Attached scripts ---------------------------------------------------------------------------

void TXANScriptDebugger::AttachScript(TXANScriptControl* AScript) {
    FScripts.push_back(AScript);
    SelectRunnerDebug();
}

void TXANScriptDebugger::DetachScript(TXANScriptControl* AScript) {
    std::erase(FScripts, AScript);
    AScript->SetDebugModule(nullptr);
    SelectRunnerDebug();
}

void TXANScriptDebugger::ScriptLanguageChanged(TXANScriptControl*) { SelectRunnerDebug(); }

void TXANScriptDebugger::DebugNameChanged(TXANScriptControl* AScript) {
    Notify([&](IXANScriptDebuggerNotifier* N) { N->DebugNameChanged(this, AScript); });
}

void TXANScriptDebugger::SelectRunnerDebug() {
    if (FRunnerDebug &&
        (FScripts.empty() || FRunnerDebug->GetLangKind() != XANLanguageKind(FScripts.front()->Language())))
        FRunnerDebug.reset();
    if (!FRunnerDebug && !FScripts.empty())
        FRunnerDebug = NewRunnerDebug(XANLanguageKind(FScripts.front()->Language()), this);
}

void TXANScriptDebugger::ModuleRemoved(TXANDebugModule* AModule) {
    const std::vector<TXANScriptControl*> scripts = FScripts;
    for (TXANScriptControl* script : scripts)
        if (script->DebugModule() == AModule) script->SetDebugModule(nullptr);
    ClearBreakpoints(AModule);
}

// ---- Breaks -------------------------------------------------------------------------------------

void TXANScriptDebugger::BreakpointHit(TXANBreakKind AKind, TXANBreakpoint* ABreakpoint, Integer ALine,
                                       TXANScriptControl* AScript, IXANBreakHitPrimitives& APrimitives) {
    if (AKind == TXANBreakKind::bkBreakpoint && ABreakpoint &&
        !(HitCounts(*ABreakpoint, APrimitives) && RunActions(*ABreakpoint, APrimitives))) {
        ClearFrameCache();
        APrimitives.PassOver();
        return;
    }
    FBreakKind.store(AKind, std::memory_order_release);
    DoBreak(AScript, ALine);
}

bool TXANScriptDebugger::HitCounts(TXANBreakpoint& ABreakpoint, IXANBreakHitPrimitives& APrimitives) {
    if (!ABreakpoint.FCondition.empty() && !APrimitives.ConditionHolds(ABreakpoint.FCondition)) return false;
    if (ABreakpoint.FPassCount > 0) {
        Integer n = ABreakpoint.FCurrentPassCount;
        if (n >= ABreakpoint.FPassCount) n = 0;
        ABreakpoint.SetCurrentPassCount(n + 1);
    }
    LogDebugMsg(dmBreakpointReached, &ABreakpoint);
    return ABreakpoint.FCurrentPassCount >= ABreakpoint.FPassCount;
}

bool TXANScriptDebugger::RunActions(TXANBreakpoint& ABreakpoint, IXANBreakHitPrimitives& APrimitives) {
    const TXANBreakpointAction& action = ABreakpoint.Action();
    if (!action.LogMessage().empty()) LogDebugMsg(dmLogMessage, &ABreakpoint);
    if (!action.EvalExpression().empty()) {
        const UString expr = action.EvalExpression();
        LogDebugMsg(dmEvalExpr, &ABreakpoint, APrimitives.ExpressionText(expr));
    }
    if (action.LogStackFrames() > 0) LogStack(ABreakpoint);
    if (!action.EnableGroup().empty()) EnableGroup(UString(action.EnableGroup()));
    if (!action.DisableGroup().empty()) DisableGroup(UString(action.DisableGroup()));
    return action.Break();
}

void TXANScriptDebugger::LogStack(TXANBreakpoint& ABreakpoint) {
    FLoggingStack = true;
    try {
        LogDebugMsg(dmLogStackHeader, &ABreakpoint);
        const Integer count = std::min(ABreakpoint.Action().LogStackFrames(), StackFrameCount());
        for (Integer i = 0; i < count; ++i) LogDebugMsg(dmLogStackFrame, &ABreakpoint, {}, StackFrames(i));
    } catch (...) {
        FLoggingStack = false;
        throw;
    }
    FLoggingStack = false;
}

void TXANScriptDebugger::CauseBreak() {
    if (FRunnerDebug) FRunnerDebug->CauseBreak();
}

void TXANScriptDebugger::CheckInBreak() const {
    if (!InBreak()) RaiseNotInBreak();
}

void TXANScriptDebugger::ResumeFromBreak(TXANBreakResumeKind AKind) {
    // Resuming while a breakpoint action logs the stack would release an engine that is not
    // waiting for it, so only a real break can be ended.
    if (BreakKind() == TXANBreakKind::bkNone) RaiseNotInBreak();
    FBreakKind.store(TXANBreakKind::bkNone, std::memory_order_release);
    ClearFrameCache();
    FRunnerDebug->ResumeFromBreak(AKind);
    DoResume();
}

Integer TXANScriptDebugger::StackFrameCount() {
    if (!InBreak()) return 0;
    if (FStackFrames.empty()) FillFrameCache();
    return static_cast<Integer>(FStackFrames.size());
}

TXANStackFrame* TXANScriptDebugger::StackFrames(Integer AIndex) {
    CheckInBreak();
    if (FStackFrames.empty()) FillFrameCache();
    if (AIndex < 0 || AIndex >= static_cast<Integer>(FStackFrames.size())) plat::RaiseListIndexError(AIndex);
    return FStackFrames[static_cast<std::size_t>(AIndex)].get();
}

void TXANScriptDebugger::ClearFrameCache() { FStackFrames.clear(); }

void TXANScriptDebugger::FillFrameCache() {
    ClearFrameCache();
    if (!FRunnerDebug) return;
    FRunnerDebug->GetStackFrames([&](TRunnerFrame AFrame, bool AOwn, TXANScriptControl* AScript, Integer ALine) {
        FStackFrames.push_back(std::make_unique<TXANStackFrame>(this, AFrame, AOwn, AScript, ALine));
    });
}

// ---- Messages and notifications -----------------------------------------------------------------

namespace {

UString DebugMessageText(TXANDebugMsgKind AKind, const TXANBreakpoint* BP, const UString& S, const TXANStackFrame* AFrame) {
    switch (AKind) {
        case dmDebuggerOutput: return S;
        case dmBreakpointReached:
            if (BP->PassCount() == 0) return plat::Format(u"Breakpoint at %s, line: %d", BP->Module()->Name(), BP->Line());
            return plat::Format(u"Breakpoint at %s, line: %d. Pass %d of %d", BP->Module()->Name(), BP->Line(),
                                BP->CurrentPassCount(), BP->PassCount());
        case dmLogMessage: return plat::Format(u"Breakpoint message: %s", BP->Action().LogMessage());
        case dmEvalExpr: return plat::Format(u"Breakpoint expression %s: %s", BP->Action().EvalExpression(), S);
        case dmLogStackHeader:
            if (BP->Action().LogStackFrames() == XANLogAllStackFrames)
                return UString(u"Breakpoint Call Stack: log all stack frames");
            return plat::Format(u"Breakpoint Call Stack: log %d stack frame(s)", BP->Action().LogStackFrames());
        case dmLogStackFrame: {
            const UString name = AFrame->ScriptControl() ? AFrame->ScriptControl()->DebugName() : UString();
            return UString(u"    ") + name + UString(u": ") + AFrame->LongDescription();
        }
    }
    return S;
}

}  // namespace

void TXANScriptDebugger::LogDebugMsg(TXANDebugMsgKind AKind, TXANBreakpoint* BP, const UString& S, TXANStackFrame* AFrame) {
    UString message = DebugMessageText(AKind, BP, S, AFrame);
    DoFormatDebugMsg(AKind, BP, message, AFrame, S);
    DoLogMessage(AKind, message);
}

template <class F>
void TXANScriptDebugger::Notify(F&& ACall) {
    if (Silent()) return;
    const std::vector<IXANScriptDebuggerNotifier*> notifiers = FNotifiers;
    for (IXANScriptDebuggerNotifier* n : notifiers) ACall(n);
}

void TXANScriptDebugger::AddNotifier(IXANScriptDebuggerNotifier* ANotifier) {
    if (std::find(FNotifiers.begin(), FNotifiers.end(), ANotifier) == FNotifiers.end()) FNotifiers.push_back(ANotifier);
}

void TXANScriptDebugger::RemoveNotifier(IXANScriptDebuggerNotifier* ANotifier) { std::erase(FNotifiers, ANotifier); }

void TXANScriptDebugger::DoBreak(TXANScriptControl* AScriptControl, Integer ALine) {
    if (Silent()) return;
    Notify([&](IXANScriptDebuggerNotifier* N) { N->Breaked(this); });
    OnBreak.Fire(this, AScriptControl, ALine);
}

void TXANScriptDebugger::DoResume() {
    if (Silent()) return;
    Notify([&](IXANScriptDebuggerNotifier* N) { N->Resumed(this); });
    OnResume.Fire(this);
}

void TXANScriptDebugger::DoInvalidBreakpoint(TXANBreakpoint* ABreakpoint) { OnInvalidBreakpoint.Fire(this, ABreakpoint); }

void TXANScriptDebugger::DoFormatDebugMsg(TXANDebugMsgKind AKind, TXANBreakpoint* BP, UString& AMsg,
                                          TXANStackFrame* AFrame, const UString& S) {
    OnFormatDebugMsg.Fire(this, AKind, BP, S, AFrame, AMsg);
}

void TXANScriptDebugger::DoLogMessage(TXANDebugMsgKind AKind, const UString& AMsg) {
    if (Silent()) return;
    Notify([&](IXANScriptDebuggerNotifier* N) { N->LogMessage(this, AMsg, AKind); });
    OnLogMessage.Fire(this, AKind, AMsg);
}

void TXANScriptDebugger::DoBreakpointsChanged() {
    if (Silent()) return;
    Notify([&](IXANScriptDebuggerNotifier* N) { N->BreakpointsChanged(this); });
    OnBreakpointsChanged.Fire(this);
}

}  // namespace xan
