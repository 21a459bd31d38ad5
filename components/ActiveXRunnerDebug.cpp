#include "components/ActiveXRunnerDebug.h"

#include "activescript/debug/DebugServices.h"
#include "components/ActiveXRunner.h"
#include "components/ScriptControl.h"
#include "components/ScriptDebugger.h"
#include "platform/core/Assert.h"
#include "platform/ole/OleError.h"
#include "platform/ole/OleRegistry.h"

namespace xan {

using plat::ComPtr;
using plat::HRESULT;
using plat::Integer;
using plat::UString;

namespace {

constexpr const char* kUnit = "XANActiveXRunner";
constexpr std::uint32_t kRadix = 10;

// Failing calls on the debugging interfaces raise with their codes.
void Check(HRESULT AResult) {
    if (plat::Failed(AResult)) plat::RaiseOleError(AResult);
}

// A failed evaluation raises with its code and no text of its own.
// A failed evaluation raises an OLE system error. The runner adds no text of its own, but the
// engine's own message (what a user typing the expression needs to see) is kept when it has
// one; otherwise the error says what its code means.
void CheckEval(as::IDebugExpression* AExpr, HRESULT AResult) {
    if (!plat::Failed(AResult)) return;
    HRESULT ignored = AResult;
    UString message;
    if (plat::Failed(AExpr->GetResultAsString(&ignored, &message))) message = UString();
    plat::Raise(new plat::EOleSysError(message, AResult));
}

TXANBreakKind KindOfReason(as::BREAKREASON AReason) {
    switch (AReason) {
        case as::BREAKREASON_STEP: return TXANBreakKind::bkStep;
        case as::BREAKREASON_BREAKPOINT: return TXANBreakKind::bkBreakpoint;
        case as::BREAKREASON_DEBUGGER_HALT: return TXANBreakKind::bkCausedBreak;
        default: return TXANBreakKind::bkNone;
    }
}

as::BREAKRESUMEACTION ActionOfResume(TXANBreakResumeKind AKind) {
    switch (AKind) {
        case TXANBreakResumeKind::rkStepOver: return as::BREAKRESUMEACTION_STEP_OVER;
        case TXANBreakResumeKind::rkStepInto: return as::BREAKRESUMEACTION_STEP_INTO;
        case TXANBreakResumeKind::rkContinue: return as::BREAKRESUMEACTION_CONTINUE;
        case TXANBreakResumeKind::rkAbort: break;
    }
    return as::BREAKRESUMEACTION_ABORT;
}

TXANVariableFlags FlagsOfAttributes(as::DBGPROP_ATTRIB_FLAGS AAttrib) {
    static constexpr std::pair<as::DBGPROP_ATTRIB_FLAGS, TXANVariableFlags> table[] = {
        {as::OBJECT_ATTRIB_VALUE_READONLY, vfReadonly},
        {as::OBJECT_ATTRIB_ACCESS_PUBLIC, vfPublic},
        {as::OBJECT_ATTRIB_ACCESS_PRIVATE, vfPrivate},
        {as::OBJECT_ATTRIB_ACCESS_PROTECTED, vfProtected},
        {as::OBJECT_ATTRIB_ACCESS_FINAL, vfFinal},
        {as::OBJECT_ATTRIB_STORAGE_GLOBAL, vfGlobal},
        {as::OBJECT_ATTRIB_STORAGE_STATIC, vfStatic},
        {as::OBJECT_ATTRIB_STORAGE_FIELD, vfField},
        {as::OBJECT_ATTRIB_STORAGE_VIRTUAL, vfVirtual},
        {as::OBJECT_ATTRIB_TYPE_IS_CONSTANT, vfConstant},
        {as::OBJECT_ATTRIB_TYPE_IS_SYNCHRONIZED, vfSynchronized},
        {as::OBJECT_ATTRIB_TYPE_IS_VOLATILE, vfVolatile},
    };
    TXANVariableFlags flags = 0;
    for (const auto& [attrib, flag] : table)
        if (AAttrib & attrib) flags |= flag;
    return flags;
}

// Reports a property: itself as the runner variable when expandable, else none.
void ReportProperty(as::IDebugProperty* AProperty, const TVarProc& AProc) {
    as::DebugPropertyInfo info;
    Check(AProperty->GetPropertyInfo(as::DBGPROP_INFO_STANDARD, kRadix, &info));
    const bool expandable = (info.m_dwAttrib & as::OBJECT_ATTRIB_VALUE_IS_EXPANDABLE) != 0;
    plat::IUnknown* runnerVar = nullptr;
    if (expandable) runnerVar = AProperty;
    AProc(runnerVar, info.m_bstrName, info.m_bstrType, info.m_bstrValue,
          FlagsOfAttributes(info.m_dwAttrib), expandable);
}

// The first frame descriptor of a stopped thread.
as::DebugStackFrameDescriptor TopFrame(as::IRemoteDebugApplicationThread* AThread) {
    ComPtr<as::IEnumDebugStackFrames> frames;
    Check(AThread->EnumStackFrames(frames.Put()));
    as::DebugStackFrameDescriptor top;
    std::uint32_t fetched = 0;
    Check(frames->Next(1, &top, &fetched));
    XAN_ASSERT(kUnit, fetched == 1 && top.pdsf);
    return top;
}

// Evaluates AText in a frame and waits until the engine has completed it.
ComPtr<as::IDebugExpression> EvalInFrame(const as::DebugStackFrameDescriptor& AFrame, const UString& AText) {
    ComPtr<as::IDebugExpressionContext> context;
    Check(AFrame.pdsf->QueryInterface(as::IID_IDebugExpressionContext, context.PutVoid()));
    ComPtr<as::IDebugExpression> expr;
    Check(context->ParseLanguageText(AText.c_str(), kRadix, nullptr,
                                     as::DEBUG_TEXT_ISEXPRESSION | as::DEBUG_TEXT_RETURNVALUE, expr.Put()));
    TAXExprCallBack callback;
    Check(expr->Start(&callback));
    callback.FEvent.WaitFor();
    return expr;
}

const as::DebugStackFrameDescriptor& FrameOf(TRunnerFrame ARunnerFrame) {
    XAN_ASSERT(kUnit, ARunnerFrame != nullptr);
    return static_cast<TAXRunnerFrame*>(ARunnerFrame)->Data;
}

void ResumeThread(as::IRemoteDebugApplicationThread* AThread, as::BREAKRESUMEACTION AAction) {
    ComPtr<as::IRemoteDebugApplication> application;
    Check(AThread->GetApplication(application.Put()));
    Check(application->ResumeFromBreakPoint(AThread, AAction, as::ERRORRESUMEACTION_SkipErrorStatement));
}

// The engine primitives of the debugger's breakpoint-hit procedure.
class TAXPrimitives final : public IXANBreakHitPrimitives {
public:
    TAXPrimitives(as::IRemoteDebugApplicationThread* AThread, bool AHasBreakpoint) : FThread(AThread) {
        if (AHasBreakpoint) FTop = TopFrame(AThread);
    }
    // A condition that cannot be evaluated passes the hit over.
    bool ConditionHolds(const UString& ACondition) override {
        const UString text = UString(XANConditionConverterName) + UString(u"(") + ACondition + UString(u")");
        const ComPtr<as::IDebugExpression> expr = EvalInFrame(FTop, text);
        HRESULT result = plat::E_FAIL;
        UString value;
        Check(expr->GetResultAsString(&result, &value));
        return plat::Succeeded(result) && value.view().find(XANConditionTrue) != std::u16string_view::npos;
    }
    UString ExpressionText(const UString& AExpr) override {
        const ComPtr<as::IDebugExpression> expr = EvalInFrame(FTop, AExpr);
        HRESULT result = plat::S_OK;
        UString value;
        expr->GetResultAsString(&result, &value);
        return value;
    }
    void PassOver() override {
        FPassedOver = true;
        ResumeThread(FThread, as::BREAKRESUMEACTION_IGNORE);
    }
    bool PassedOver() const noexcept { return FPassedOver; }

private:
    as::IRemoteDebugApplicationThread* FThread;
    as::DebugStackFrameDescriptor FTop;
    bool FPassedOver = false;
};

const bool kRegistered = [] {
    XANRegisterRunnerDebug(slkActiveX, [](TXANScriptDebuggerBase* ADebugger) -> std::unique_ptr<TRunnerDebugBase> {
        return std::make_unique<TActiveXRunnerDebug>(ADebugger);
    });
    return true;
}();

}  // namespace

ComPtr<as::IProcessDebugManager> XANProcessDebugManager() {
    static std::mutex lock;
    static ComPtr<as::IProcessDebugManager> manager;
    std::lock_guard<std::mutex> guard(lock);
    if (!manager) manager = as::NewProcessDebugManager();
    return manager;
}

Integer XANLineOfCodeContext(as::IDebugCodeContext* AContext, ComPtr<as::IDebugDocument>& ADocument) {
    ComPtr<as::IDebugDocumentContext> docContext;
    Check(AContext->GetDocumentContext(docContext.Put()));
    Check(docContext->GetDocument(ADocument.Put()));
    ComPtr<as::IDebugDocumentText> text;
    Check(ADocument->QueryInterface(as::IID_IDebugDocumentText, text.PutVoid()));
    std::uint32_t position = 0, length = 0, line = 0;
    Check(text->GetPositionOfContext(docContext.Get(), &position, &length));
    Check(text->GetLineOfPosition(position, &line, nullptr));
    return static_cast<Integer>(line);
}

// ---- Runner debug object ------------------------------------------------------------------------

TActiveXRunnerDebug::TActiveXRunnerDebug(TXANScriptDebuggerBase* ADebugger)
    : FDebugger(dynamic_cast<TXANScriptDebugger*>(ADebugger)), FAppDebugger(new TAXAppDebugger(this)) {
    (void)kRegistered;
    XAN_ASSERT(kUnit, FDebugger != nullptr);
    Check(XANProcessDebugManager()->CreateApplication(FApplication.Put()));
    Check(FApplication->SetName(XANDebugApplicationName));
    Check(FApplication->ConnectDebugger(FAppDebugger.Get()));
}

TActiveXRunnerDebug::~TActiveXRunnerDebug() {
    FAppDebugger->WaitForBreakThreads();
    if (FApplication) {
        FApplication->DisconnectDebugger();
        FApplication = nullptr;
    }
    FAppDebugger = nullptr;
}

void TActiveXRunnerDebug::CauseBreak() { Check(FApplication->CauseBreak()); }

void TActiveXRunnerDebug::SetBreakThread(as::IRemoteDebugApplicationThread* AThread) {
    std::lock_guard<std::mutex> guard(FBreakThreadLock);
    FBreakThread = AThread;
}

TXANScriptControl* TActiveXRunnerDebug::ControlOfDocument(as::IDebugDocument* ADocument) const {
    for (Integer i = 0; i < FDebugger->ScriptCount(); ++i) {
        TXANScriptControl* script = FDebugger->Scripts(i);
        auto* runner = dynamic_cast<TActiveXRunner*>(script->Runner());
        if (runner && runner->Document().Get() == ADocument) return script;
    }
    return nullptr;
}

void TActiveXRunnerDebug::PlaceOfCodeContext(as::IDebugCodeContext* AContext, TXANScriptControl*& AScript,
                                             Integer& ALine) const {
    ComPtr<as::IDebugDocument> document;
    ALine = XANLineOfCodeContext(AContext, document);
    AScript = ControlOfDocument(document.Get());
    XAN_ASSERT(kUnit, AScript != nullptr);
}

void TActiveXRunnerDebug::GetStackFrames(const TGetFrameProc& AProc) {
    ComPtr<as::IRemoteDebugApplicationThread> thread;
    {
        std::lock_guard<std::mutex> guard(FBreakThreadLock);
        thread = FBreakThread;
    }
    XAN_ASSERT(kUnit, thread != nullptr);
    ComPtr<as::IEnumDebugStackFrames> frames;
    Check(thread->EnumStackFrames(frames.Put()));
    for (;;) {
        auto frame = std::make_unique<TAXRunnerFrame>();
        std::uint32_t fetched = 0;
        if (frames->Next(1, &frame->Data, &fetched) != plat::S_OK || fetched != 1) break;
        ComPtr<as::IDebugCodeContext> code;
        Check(frame->Data.pdsf->GetCodeContext(code.Put()));
        TXANScriptControl* script = nullptr;
        Integer line = 0;
        PlaceOfCodeContext(code.Get(), script, line);
        AProc(frame.release(), true, script, line);
    }
}

void TActiveXRunnerDebug::FreeRunnerFrame(TRunnerFrame ARunnerFrame) { delete static_cast<TAXRunnerFrame*>(ARunnerFrame); }

void TActiveXRunnerDebug::Eval(TRunnerFrame ARunnerFrame, const UString& AExpr, const TVarProc& AProc) {
    const ComPtr<as::IDebugExpression> expr = EvalInFrame(FrameOf(ARunnerFrame), AExpr);
    HRESULT result = plat::E_FAIL;
    ComPtr<as::IDebugProperty> property;
    Check(expr->GetResultAsDebugProperty(&result, property.Put()));
    CheckEval(expr.Get(), result);
    ReportProperty(property.Get(), AProc);
}

UString TActiveXRunnerDebug::Eval(TRunnerFrame ARunnerFrame, const UString& AExpr) {
    const ComPtr<as::IDebugExpression> expr = EvalInFrame(FrameOf(ARunnerFrame), AExpr);
    HRESULT result = plat::E_FAIL;
    UString text;
    Check(expr->GetResultAsString(&result, &text));
    CheckEval(expr.Get(), result);
    return text;
}

void TActiveXRunnerDebug::GetVars(TRunnerFrame ARunnerFrame, const TVarProc& AProc) {
    ComPtr<as::IDebugProperty> property;
    Check(FrameOf(ARunnerFrame).pdsf->GetDebugProperty(property.Put()));
    ReportProperty(property.Get(), AProc);
}

void TActiveXRunnerDebug::GetVarChildren(plat::IUnknown* ARunnerVar, const TVarProc& AProc) {
    if (!ARunnerVar) return;
    ComPtr<as::IDebugProperty> property;
    Check(ARunnerVar->QueryInterface(as::IID_IDebugProperty, property.PutVoid()));
    ComPtr<as::IEnumDebugPropertyInfo> members;
    Check(property->EnumMembers(as::DBGPROP_INFO_DEBUGPROP, kRadix, as::IID_IEnumDebugPropertyInfo, members.Put()));
    std::uint32_t count = 0;
    Check(members->GetCount(&count));
    for (std::uint32_t i = 0; i < count; ++i) {
        as::DebugPropertyInfo info;
        std::uint32_t fetched = 0;
        Check(members->Next(1, &info, &fetched));
        if (fetched == 1 && info.m_pDebugProp) ReportProperty(info.m_pDebugProp.Get(), AProc);
    }
}

UString TActiveXRunnerDebug::GetLongDescription(TRunnerFrame ARunnerFrame) {
    UString text;
    Check(FrameOf(ARunnerFrame).pdsf->GetDescriptionString(true, &text));
    return text;
}

UString TActiveXRunnerDebug::GetShortDescription(TRunnerFrame ARunnerFrame) {
    UString text;
    Check(FrameOf(ARunnerFrame).pdsf->GetDescriptionString(false, &text));
    return text;
}

void TActiveXRunnerDebug::ResumeFromBreak(TXANBreakResumeKind AKind) {
    ComPtr<as::IRemoteDebugApplicationThread> thread;
    {
        std::lock_guard<std::mutex> guard(FBreakThreadLock);
        thread = std::move(FBreakThread);
        FBreakThread = nullptr;
    }
    XAN_ASSERT(kUnit, thread != nullptr);
    ResumeThread(thread.Get(), ActionOfResume(AKind));
}

// ---- Application debugger -----------------------------------------------------------------------

std::span<const plat::TInterfacedObject::InterfaceEntry> TAXAppDebugger::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TAXAppDebugger, as::IApplicationDebugger>(),
                                           Entry<TAXAppDebugger, as::IDebugSessionProvider>()};
    return table;
}

HRESULT TAXAppDebugger::CreateInstanceAtDebugger(const plat::TGUID& clsid, plat::IUnknown*, std::uint32_t,
                                                 const plat::TGUID& iid, plat::IUnknown** object) noexcept {
    if (!object) return plat::E_POINTER;
    *object = nullptr;
    return plat::CoCreateInstance(clsid, iid, reinterpret_cast<void**>(object));
}

HRESULT TAXAppDebugger::onDebugOutput(const char16_t* text) noexcept {
    return plat::SafeCall([&] { FRunnerDebug->Debugger()->DebuggerOutput(UString(text ? text : u"")); });
}

HRESULT TAXAppDebugger::StartDebugSession(as::IRemoteDebugApplication* application) noexcept {
    if (!application) return plat::E_POINTER;
    return application->ConnectDebugger(this);
}

HRESULT TAXAppDebugger::onHandleBreakPoint(as::IRemoteDebugApplicationThread* thread, as::BREAKREASON reason,
                                           as::IActiveScriptError*) noexcept {
    if (!thread) return plat::E_POINTER;
    const TXANBreakKind kind = KindOfReason(reason);
    if (kind == TXANBreakKind::bkNone) {
        return plat::SafeCall([&] { ResumeThread(thread, as::BREAKRESUMEACTION_IGNORE); });
    }
    return plat::SafeCall([&]() -> HRESULT {
        const as::DebugStackFrameDescriptor top = TopFrame(thread);
        ComPtr<as::IDebugCodeContext> code;
        Check(top.pdsf->GetCodeContext(code.Put()));
        TXANScriptControl* script = nullptr;
        Integer line = 0;
        FRunnerDebug->PlaceOfCodeContext(code.Get(), script, line);
        TXANScriptDebugger* debugger = FRunnerDebug->Debugger();
        TXANBreakpoint* bp = debugger->FindBreakpoint(script->DebugModule(), line);
        FRunnerDebug->SetBreakThread(thread);
        if (kind == TXANBreakKind::bkBreakpoint && bp &&
            (!bp->Condition().empty() || !bp->Action().EvalExpression().empty())) {
            auto* breakThread = new TAXBreakThread(this, thread, kind, script, line, bp);
            BreakThreadStarted();
            try {
                breakThread->Start();
            } catch (...) {
                BreakThreadDone();
                throw;
            }
            return plat::S_OK;
        }
        ProcessBreak(thread, kind, script, line, bp);
        return plat::S_OK;
    });
}

void TAXAppDebugger::ProcessBreak(as::IRemoteDebugApplicationThread* AThread, TXANBreakKind AKind,
                                  TXANScriptControl* AScript, Integer ALine, TXANBreakpoint* ABreakpoint) {
    TXANScriptDebugger* debugger = FRunnerDebug->Debugger();
    TAXPrimitives primitives(AThread, AKind == TXANBreakKind::bkBreakpoint && ABreakpoint);
    try {
        debugger->BreakpointHit(AKind, ABreakpoint, ALine, AScript, primitives);
    } catch (...) {
        // An error before the break passes the hit over, so the engine does not wait for ever.
        if (!primitives.PassedOver() && debugger->BreakKind() == TXANBreakKind::bkNone)
            (void)plat::CatchAll([&] { ResumeThread(AThread, as::BREAKRESUMEACTION_IGNORE); });
        throw;
    }
}

// ---- Break thread -------------------------------------------------------------------------------

TAXBreakThread::TAXBreakThread(TAXAppDebugger* AOwner, as::IRemoteDebugApplicationThread* AThread,
                               TXANBreakKind ABreakKind, TXANScriptControl* AScript, Integer ALine,
                               TXANBreakpoint* ABreakpoint)
    : FOwner(AOwner), FThread(AThread), FBreakKind(ABreakKind), FScript(AScript), FLine(ALine),
      FBreakpoint(ABreakpoint) {
    SetFreeOnTerminate(true);
}

void TAXBreakThread::Execute() {
    struct TDone {
        TAXAppDebugger& Owner;
        ~TDone() { Owner.BreakThreadDone(); }
    } done{*FOwner};
    FOwner->ProcessBreak(FThread.Get(), FBreakKind, FScript, FLine, FBreakpoint);
}

// A thread still inside a break the host never resumed cannot be waited for (its break event
// handler holds it); every other one finishes in moments.
void TAXAppDebugger::WaitForBreakThreads() const noexcept {
    const TXANScriptDebugger* debugger = FRunnerDebug->Debugger();
    while (FBreakThreads.load(std::memory_order_acquire) > 0 && debugger->BreakKind() == TXANBreakKind::bkNone)
        plat::YieldThread();
}

// ---- Expression callback ------------------------------------------------------------------------

HRESULT TAXExprCallBack::QueryInterface(const plat::TGUID& iid, void** out) noexcept {
    if (!out) return plat::E_POINTER;
    if (iid == plat::IID_IUnknown || iid == as::IID_IDebugExpressionCallBack) {
        *out = static_cast<as::IDebugExpressionCallBack*>(this);
        return plat::S_OK;
    }
    *out = nullptr;
    return plat::E_NOINTERFACE;
}

HRESULT TAXExprCallBack::onComplete() noexcept {
    FEvent.Set();
    return plat::S_OK;
}

// ---- Condition converter ------------------------------------------------------------------------

std::span<const plat::TInterfacedObject::InterfaceEntry> TAXConditionConverter::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TAXConditionConverter, plat::IDispatch>()};
    return table;
}

HRESULT TAXConditionConverter::GetTypeInfoCount(std::uint32_t* count) noexcept {
    if (count) *count = 0;
    return plat::S_OK;
}

HRESULT TAXConditionConverter::GetTypeInfo(std::uint32_t, plat::LCID, plat::ITypeInfo** out) noexcept {
    if (out) *out = nullptr;
    return plat::E_NOTIMPL;
}

HRESULT TAXConditionConverter::GetIDsOfNames(const plat::TGUID&, const char16_t* const*, std::uint32_t count,
                                             plat::LCID, plat::DISPID* ids) noexcept {
    for (std::uint32_t i = 0; ids && i < count; ++i) ids[i] = plat::DISPID_UNKNOWN;
    return plat::DISP_E_UNKNOWNNAME;
}

HRESULT TAXConditionConverter::Invoke(plat::DISPID id, const plat::TGUID&, plat::LCID, std::uint16_t,
                                      plat::DISPPARAMS* params, plat::Variant* result, plat::EXCEPINFO*,
                                      std::uint32_t* argErr) noexcept {
    if (argErr) *argErr = 0;
    return plat::SafeCall([&] {
        XAN_ASSERT(kUnit, id == plat::DISPID_VALUE && params && params->cArgs == 1 && params->cNamedArgs == 0);
        if (!result) return;
        const plat::VarData arg = plat::VarDerefAll(params->rgvarg[0]);
        const bool isTrue = arg.VType == plat::varBoolean && arg.VBoolean != 0;
        *result = isTrue ? plat::Variant(UString(XANConditionTrue)) : plat::Variant(UString());
    });
}

}  // namespace xan
