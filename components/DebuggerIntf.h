#pragma once
// What script controls and runners need from a script debugger component. The component
// itself (TXANScriptDebugger: its modules, breakpoints with conditions and actions, frames and
// variables) implements this contract; runners and controls know no more of it than this.
#include "components/ScriptTypes.h"
#include "platform/core/Types.h"
#include "platform/rtl/Component.h"

namespace xan {

class TXANScriptControl;
class TXANScriptDebuggerBase;
class TRunnerDebugBase;
class TXANDebugModule;  // a script's module; breakpoints are kept per module and line
class TXANBreakpoint;

// The primitives a runner debug object lends the debugger's breakpoint-hit procedure; they run
// on the thread that holds the paused frames.
class IXANBreakHitPrimitives {
public:
    // Whether a hit with this condition breaks: the condition's value is True, or it cannot be
    // evaluated (a broken condition must not hide a stop).
    virtual bool ConditionHolds(const plat::UString& ACondition) = 0;
    // The text an action logs for an expression: its value, or the error message.
    virtual plat::UString ExpressionText(const plat::UString& AExpr) = 0;
    // The hit is passed over: the script continues as if no breakpoint were there.
    virtual void PassOver() = 0;

protected:
    ~IXANBreakHitPrimitives() = default;
};

class TXANScriptDebuggerBase : public plat::TComponent {
    XAN_CLASS(TXANScriptDebuggerBase, plat::TComponent)
    using TComponent::TComponent;

    // ---- Attached scripts (attach order) -------------------------------------------------------
    virtual plat::Integer ScriptCount() const = 0;
    virtual TXANScriptControl* Scripts(plat::Integer AIndex) const = 0;
    virtual void AttachScript(TXANScriptControl* AScript) = 0;
    // Also clears the script's DebugModule.
    virtual void DetachScript(TXANScriptControl* AScript) = 0;
    // The script's language changed: the debugger re-selects its runner debug object.
    virtual void ScriptLanguageChanged(TXANScriptControl* AScript) = 0;
    virtual void DebugNameChanged(TXANScriptControl* AScript) = 0;
    virtual TXANDebugModule* FindOrAddModule(const plat::UString& AName) = 0;
    // The runner debug object of the attached scripts' kind; none when there is none.
    virtual TRunnerDebugBase* RunnerDebug() = 0;

    // ---- Breaks ------------------------------------------------------------------------------------
    // True: breaks are handed over on the script's own thread; False: through a break thread.
    virtual bool IsSynchBreaks() const = 0;
    virtual TXANBreakpoint* FindBreakpoint(TXANDebugModule* AModule, plat::Integer ALine) = 0;
    virtual plat::Integer BreakpointCount() const = 0;
    virtual TXANBreakpoint* Breakpoints(plat::Integer AIndex) const = 0;
    // Installs ABreakpoint in the runners of its module's scripts ("set" mode) and updates its
    // validity from their answers.
    virtual void PropagateBreakpoint(TXANBreakpoint* ABreakpoint) = 0;
    virtual void BreakpointsChanged() = 0;
    // The breakpoint-hit procedure: condition, pass count and actions decide whether the hit is
    // passed over (APrimitives.PassOver) or becomes a break of the debugger.
    virtual void BreakpointHit(TXANBreakKind AKind, TXANBreakpoint* ABreakpoint, plat::Integer ALine,
                               TXANScriptControl* AScript, IXANBreakHitPrimitives& APrimitives) = 0;
    virtual TXANBreakKind BreakKind() const noexcept = 0;
    // Output of a debugged engine: logged as a debugger-output message.
    virtual void DebuggerOutput(const plat::UString& AText) = 0;
};

}  // namespace xan
