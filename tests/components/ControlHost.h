#pragma once
// Helpers for driving script controls: error capture, a host object with an event, and a
// debugger component whose breaks are handled at the runner level (line breakpoints with an
// optional condition, a break callback).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/NativeRunnerDebug.h"
#include "components/ScriptControl.h"
#include "components/ScriptDebugger.h"
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

struct TBreakSeen {
    TXANBreakKind Kind;
    plat::Integer Line;
    TXANScriptControl* Script;
    bool WithBreakpoint;
};

// The debugger component with the runner-level break handling these tests drive: a hit whose
// condition fails is passed over, every other stop is recorded and handed to OnBreak, which
// resumes through the runner debug object itself (the component's own hit procedure, pass
// counts and actions have their own tests).
class TTestDebugger final : public TXANScriptDebugger {
    XAN_CLASS(TTestDebugger, TXANScriptDebugger)
    explicit TTestDebugger(bool ASynch = true) { SetIsSynchBreaks(ASynch); }

    // Called for every break that is not passed over (on the break thread in asynchronous mode).
    std::function<void(const TBreakSeen&)> OnBreak;
    std::vector<TBreakSeen> Breaks;
    std::vector<UString> Changes;  // notifications, in order
    int BreakpointsChangedCount = 0;
    UString LastExpression;

    // A breakpoint on ALine of module AModule; the change count starts from 0 afterwards.
    TXANBreakpoint& AddBreakpoint(const UString& AModule, plat::Integer ALine, UString ACondition = {}) {
        TXANBreakpoint* bp = SetBreakpoint(FindOrAddModule(AModule), ALine);
        bp->SetCondition(ACondition);
        BreakpointsChangedCount = 0;
        return *bp;
    }
    TNativeRunnerDebug& Native() { return static_cast<TNativeRunnerDebug&>(*RunnerDebug()); }

    void ScriptLanguageChanged(TXANScriptControl* AScript) override {
        TXANScriptDebugger::ScriptLanguageChanged(AScript);
        Changes.push_back(u"language");
    }
    void DebugNameChanged(TXANScriptControl* AScript) override {
        TXANScriptDebugger::DebugNameChanged(AScript);
        Changes.push_back(UString(u"name ") + AScript->DebugName());
    }
    void BreakpointHit(TXANBreakKind AKind, TXANBreakpoint* ABreakpoint, plat::Integer ALine, TXANScriptControl* AScript,
                       IXANBreakHitPrimitives& APrimitives) override {
        if (ABreakpoint && !ABreakpoint->Condition().empty() && !APrimitives.ConditionHolds(ABreakpoint->Condition())) {
            APrimitives.PassOver();
            return;
        }
        if (ABreakpoint) LastExpression = APrimitives.ExpressionText(u"1 + 1");
        TBreakSeen seen{AKind, ALine, AScript, ABreakpoint != nullptr};
        Breaks.push_back(seen);
        if (OnBreak) OnBreak(seen);
        else Native().ResumeFromBreak(TXANBreakResumeKind::rkContinue);
    }

protected:
    void DoBreakpointsChanged() override {
        ++BreakpointsChangedCount;
        TXANScriptDebugger::DoBreakpointsChanged();
    }
};

}  // namespace xan::test
