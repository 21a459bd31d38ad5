#pragma once
// TActiveXRunnerDebug: the runner debug object of the engine scripts attached to one debugger
// component. It makes a debug application of the script debugging services and connects its
// own application debugger (TAXAppDebugger) to it; each runner registers its script as a debug
// document of that application (TActiveXRunner::Prepare), so that breakpoints, stops, frames,
// variables and evaluations all go through the engines' debugging interfaces.
//
// Stops arrive on a thread of the debug services (onHandleBreakPoint), never on the script's
// thread, which stays suspended inside its engine until ResumeFromBreak. A breakpoint with a
// condition or an expression action is processed on a TAXBreakThread, so that the services'
// call returns before any evaluation starts.
#include <atomic>
#include <mutex>

#include "activescript/debug/DebugIntf.h"
#include "components/Runner.h"
#include "platform/ole/InterfacedObject.h"
#include "platform/core/Sync.h"
#include "platform/rtl/Thread.h"

namespace xan {

class TXANScriptDebugger;
class TXANBreakpoint;
class TAXAppDebugger;

// The process's debug manager, made on first use under a process-wide lock.
plat::ComPtr<as::IProcessDebugManager> XANProcessDebugManager();

// The document of an engine's code context and the line (from 0) in it.
plat::Integer XANLineOfCodeContext(as::IDebugCodeContext* AContext, plat::ComPtr<as::IDebugDocument>& ADocument);

// A runner frame: a copy of the engine's frame descriptor. The receiver owns it.
struct TAXRunnerFrame {
    as::DebugStackFrameDescriptor Data;
};

class TActiveXRunnerDebug : public TRunnerDebugBase {
public:
    explicit TActiveXRunnerDebug(TXANScriptDebuggerBase* ADebugger);
    ~TActiveXRunnerDebug() override;

    TXANScriptLangKind GetLangKind() const override { return slkActiveX; }
    void CauseBreak() override;
    void GetStackFrames(const TGetFrameProc& AProc) override;
    void Eval(TRunnerFrame ARunnerFrame, const plat::UString& AExpr, const TVarProc& AProc) override;
    plat::UString Eval(TRunnerFrame ARunnerFrame, const plat::UString& AExpr) override;
    void GetVars(TRunnerFrame ARunnerFrame, const TVarProc& AProc) override;
    void GetVarChildren(plat::IUnknown* ARunnerVar, const TVarProc& AProc) override;
    plat::UString GetLongDescription(TRunnerFrame ARunnerFrame) override;
    plat::UString GetShortDescription(TRunnerFrame ARunnerFrame) override;
    void ResumeFromBreak(TXANBreakResumeKind AKind) override;
    void FreeRunnerFrame(TRunnerFrame ARunnerFrame) override;

    // For the runners and the application debugger.
    TXANScriptDebugger* Debugger() const noexcept { return FDebugger; }
    TAXAppDebugger* AppDebugger() const noexcept { return FAppDebugger.Get(); }
    as::IDebugApplication* Application() const noexcept { return FApplication.Get(); }
    void SetBreakThread(as::IRemoteDebugApplicationThread* AThread);
    // The attached script whose debug document is ADocument (the first in attach order); none
    // when no script has it.
    TXANScriptControl* ControlOfDocument(as::IDebugDocument* ADocument) const;
    // The script and line of an engine's code context.
    void PlaceOfCodeContext(as::IDebugCodeContext* AContext, TXANScriptControl*& AScript, plat::Integer& ALine) const;

private:
    TXANScriptDebugger* FDebugger;
    plat::ComPtr<TAXAppDebugger> FAppDebugger;
    plat::ComPtr<as::IDebugApplication> FApplication;
    mutable std::mutex FBreakThreadLock;
    plat::ComPtr<as::IRemoteDebugApplicationThread> FBreakThread;
};

class TAXAppDebugger : public plat::TInterfacedObject, public as::IApplicationDebugger, public as::IDebugSessionProvider {
    XAN_CLASS(TAXAppDebugger, plat::TInterfacedObject)
    explicit TAXAppDebugger(TActiveXRunnerDebug* ARunnerDebug) noexcept : FRunnerDebug(ARunnerDebug) {}

    plat::HRESULT QueryAlive() noexcept override { return plat::S_OK; }
    plat::HRESULT CreateInstanceAtDebugger(const plat::TGUID& clsid, plat::IUnknown* outer, std::uint32_t context,
                                           const plat::TGUID& iid, plat::IUnknown** object) noexcept override;
    plat::HRESULT onDebugOutput(const char16_t* text) noexcept override;
    plat::HRESULT onHandleBreakPoint(as::IRemoteDebugApplicationThread* thread, as::BREAKREASON reason,
                                     as::IActiveScriptError* error) noexcept override;
    plat::HRESULT onClose() noexcept override { return plat::S_OK; }
    plat::HRESULT onDebuggerEvent(const plat::TGUID&, plat::IUnknown*) noexcept override { return plat::E_NOTIMPL; }
    plat::HRESULT StartDebugSession(as::IRemoteDebugApplication* application) noexcept override;

    // The break processing: the debugger component's breakpoint-hit procedure with the engine
    // primitives (evaluations in the thread's top frame).
    void ProcessBreak(as::IRemoteDebugApplicationThread* AThread, TXANBreakKind AKind, TXANScriptControl* AScript,
                      plat::Integer ALine, TXANBreakpoint* ABreakpoint);

    // Break threads still processing a break. The runner debug object waits for them before
    // it goes: once a break is resumed the script (and the program) may end while the thread
    // is still leaving the debugger component's break procedure.
    void BreakThreadStarted() noexcept { FBreakThreads.fetch_add(1, std::memory_order_acq_rel); }
    void BreakThreadDone() noexcept { FBreakThreads.fetch_sub(1, std::memory_order_acq_rel); }
    void WaitForBreakThreads() const noexcept;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;

private:
    TActiveXRunnerDebug* FRunnerDebug;  // not counted
    std::atomic<int> FBreakThreads{0};
};

// Runs one break processing and frees itself.
class TAXBreakThread : public plat::TThread {
    XAN_CLASS(TAXBreakThread, plat::TThread)
    TAXBreakThread(TAXAppDebugger* AOwner, as::IRemoteDebugApplicationThread* AThread, TXANBreakKind ABreakKind,
                   TXANScriptControl* AScript, plat::Integer ALine, TXANBreakpoint* ABreakpoint);

protected:
    void Execute() override;

private:
    plat::ComPtr<TAXAppDebugger> FOwner;
    plat::ComPtr<as::IRemoteDebugApplicationThread> FThread;
    TXANBreakKind FBreakKind;
    TXANScriptControl* FScript;
    plat::Integer FLine;
    TXANBreakpoint* FBreakpoint;
};

// The callback an evaluation completes through; lives on the caller's stack (not counted).
class TAXExprCallBack final : public as::IDebugExpressionCallBack {
public:
    plat::HRESULT QueryInterface(const plat::TGUID& iid, void** out) noexcept override;
    std::uint32_t AddRef() noexcept override { return static_cast<std::uint32_t>(-1); }
    std::uint32_t Release() noexcept override { return static_cast<std::uint32_t>(-1); }
    plat::HRESULT onComplete() noexcept override;

    plat::AutoResetEvent FEvent;
};

// The callable behind the engine name of the condition converter: the engine evaluates a
// breakpoint condition in its own language and passes the truth here, which answers a marker
// text that survives the string form of the result.
class TAXConditionConverter : public plat::TInterfacedObject, public plat::IDispatch {
    XAN_CLASS(TAXConditionConverter, plat::TInterfacedObject)
    plat::HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override;
    plat::HRESULT GetTypeInfo(std::uint32_t, plat::LCID, plat::ITypeInfo** out) noexcept override;
    plat::HRESULT GetIDsOfNames(const plat::TGUID&, const char16_t* const* names, std::uint32_t count, plat::LCID,
                                plat::DISPID* ids) noexcept override;
    plat::HRESULT Invoke(plat::DISPID id, const plat::TGUID&, plat::LCID, std::uint16_t flags, plat::DISPPARAMS* params,
                         plat::Variant* result, plat::EXCEPINFO* excep, std::uint32_t* argErr) noexcept override;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;
};

inline constexpr char16_t XANDebugApplicationName[] = u"XAN Debug Application";
inline constexpr char16_t XANScriptDocName[] = u"XAN Script Doc";
inline constexpr char16_t XANConditionTrue[] = u"XANCONDCVTR_TRUE";

}  // namespace xan
