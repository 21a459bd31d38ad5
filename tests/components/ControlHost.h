#pragma once
// Helpers for driving script controls: error capture, a host object with an event, and a
// debugger component reduced to what controls and runners rely on (attached scripts, one
// module per name, line breakpoints with an optional condition, a break callback).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/DebuggerIntf.h"
#include "components/NativeRunnerDebug.h"
#include "components/ScriptControl.h"
#include "platform/core/Exception.h"
#include "platform/ole/OleError.h"
#include "wrappers/SystemWrappers.h"

namespace xan::test {

using plat::UString;
using plat::Variant;

struct TCaught {
    bool Raised = false;
    std::string ClassName;
    std::string Message;
    plat::HRESULT Code = 0;
};

template <class F>
TCaught Catch(F&& AStep) {
    TCaught c;
    std::unique_ptr<plat::Exception> e = plat::CatchAll(AStep);
    if (!e) return c;
    c.Raised = true;
    c.ClassName = e->ClassName().ToUtf8();
    c.Message = e->Message().ToUtf8();
    if (auto* ole = dynamic_cast<plat::EOleSysError*>(e.get())) c.Code = ole->ErrorCode;
    return c;
}

inline UString U(const std::string& AText) { return UString::FromUtf8(AText); }

// A control of ALanguage with ASource, not prepared.
inline std::unique_ptr<TXANScriptControl> NewControl(TXANScriptLanguage ALanguage, const std::string& ASource) {
    auto control = std::make_unique<TXANScriptControl>();
    control->SetLanguage(ALanguage);
    control->Source().SetText(U(ASource).view());
    return control;
}

// The line (from 0) of the first line of ASource containing AMarker.
inline plat::Integer LineOf(const std::string& ASource, const std::string& AMarker) {
    const std::size_t at = ASource.find(AMarker);
    plat::Integer line = 0;
    for (std::size_t i = 0; i < at && i < ASource.size(); ++i)
        if (ASource[i] == '\n') ++line;
    return line;
}

// A host object publishing one notify event and an integer property.
class TButton : public plat::TComponent {
    XAN_CLASS(TButton, plat::TComponent)
    using TComponent::TComponent;
    plat::TNotifyEvent OnClick;
    int Tag = 0;
    void Click() { OnClick.Fire(this); }
};
void RegisterButton();

class TTestModule final : public TXANDebugModule {
public:
    TTestModule(TXANScriptDebuggerBase* ADebugger, UString AName) : FDebugger(ADebugger), FName(std::move(AName)) {}
    UString ModuleName() const override { return FName; }
    TXANScriptDebuggerBase* ModuleDebugger() const override { return FDebugger; }

private:
    TXANScriptDebuggerBase* FDebugger;
    UString FName;
};

class TTestBreakpoint final : public TXANBreakpoint {
public:
    TTestBreakpoint(TXANDebugModule* AModule, plat::Integer ALine, UString ACondition)
        : Module(AModule), Line(ALine), Condition(std::move(ACondition)) {}
    TXANDebugModule* BreakpointModule() const override { return Module; }
    TXANDebugModule* Module;
    plat::Integer Line;
    UString Condition;
    bool Valid = false;
};

struct TBreakSeen {
    TXANBreakKind Kind;
    plat::Integer Line;
    TXANScriptControl* Script;
    bool WithBreakpoint;
};

class TTestDebugger final : public TXANScriptDebuggerBase {
    XAN_CLASS(TTestDebugger, TXANScriptDebuggerBase)
    explicit TTestDebugger(bool ASynch = true) : FSynch(ASynch), FRunnerDebug(this) {}
    ~TTestDebugger() override {
        Destroying();
        while (!FScripts.empty()) FScripts.back()->SetDebugger(nullptr);
    }

    // Called for every break that is not passed over (on the break thread in asynchronous mode).
    std::function<void(const TBreakSeen&)> OnBreak;
    std::vector<TBreakSeen> Breaks;
    std::vector<UString> Changes;  // notifications, in order
    int BreakpointsChangedCount = 0;

    TTestBreakpoint& AddBreakpoint(const UString& AModule, plat::Integer ALine, UString ACondition = {}) {
        FBreakpoints.push_back(std::make_unique<TTestBreakpoint>(FindOrAddModule(AModule), ALine, std::move(ACondition)));
        return *FBreakpoints.back();
    }
    TNativeRunnerDebug& Native() noexcept { return FRunnerDebug; }

    plat::Integer ScriptCount() const override { return static_cast<plat::Integer>(FScripts.size()); }
    TXANScriptControl* Scripts(plat::Integer AIndex) const override { return FScripts.at(static_cast<std::size_t>(AIndex)); }
    void AttachScript(TXANScriptControl* AScript) override { FScripts.push_back(AScript); }
    void DetachScript(TXANScriptControl* AScript) override {
        std::erase(FScripts, AScript);
        AScript->SetDebugModule(nullptr);
    }
    void ScriptLanguageChanged(TXANScriptControl*) override { Changes.push_back(u"language"); }
    void DebugNameChanged(TXANScriptControl* AScript) override { Changes.push_back(UString(u"name ") + AScript->DebugName()); }
    TXANDebugModule* FindOrAddModule(const UString& AName) override {
        for (auto& m : FModules)
            if (m->ModuleName() == AName) return m.get();
        FModules.push_back(std::make_unique<TTestModule>(this, AName));
        return FModules.back().get();
    }
    TRunnerDebugBase* RunnerDebug() override { return &FRunnerDebug; }
    bool IsSynchBreaks() const override { return FSynch; }
    TXANBreakpoint* FindBreakpoint(TXANDebugModule* AModule, plat::Integer ALine) override {
        for (auto& bp : FBreakpoints)
            if (bp->Module == AModule && bp->Line == ALine) return bp.get();
        return nullptr;
    }
    plat::Integer BreakpointCount() const override { return static_cast<plat::Integer>(FBreakpoints.size()); }
    TXANBreakpoint* Breakpoints(plat::Integer AIndex) const override { return FBreakpoints.at(static_cast<std::size_t>(AIndex)).get(); }
    void PropagateBreakpoint(TXANBreakpoint* ABreakpoint) override {
        auto* bp = static_cast<TTestBreakpoint*>(ABreakpoint);
        for (TXANScriptControl* script : FScripts)
            if (script->DebugModule() == bp->Module && script->Runner())
                script->Runner()->AdjustBreakpoint(bp->Line, true, false, bp->Valid);
    }
    void BreakpointsChanged() override { ++BreakpointsChangedCount; }
    void BreakpointHit(TXANBreakKind AKind, TXANBreakpoint* ABreakpoint, plat::Integer ALine, TXANScriptControl* AScript,
                       IXANBreakHitPrimitives& APrimitives) override {
        auto* bp = static_cast<TTestBreakpoint*>(ABreakpoint);
        if (bp && !bp->Condition.empty() && !APrimitives.ConditionHolds(bp->Condition)) {
            APrimitives.PassOver();
            return;
        }
        if (bp) LastExpression = APrimitives.ExpressionText(u"1 + 1");
        TBreakSeen seen{AKind, ALine, AScript, bp != nullptr};
        Breaks.push_back(seen);
        if (OnBreak) OnBreak(seen);
        else FRunnerDebug.ResumeFromBreak(TXANBreakResumeKind::rkContinue);
    }
    UString LastExpression;

private:
    bool FSynch;
    TNativeRunnerDebug FRunnerDebug;
    std::vector<TXANScriptControl*> FScripts;
    std::vector<std::unique_ptr<TTestModule>> FModules;
    std::vector<std::unique_ptr<TTestBreakpoint>> FBreakpoints;
};

}  // namespace xan::test
