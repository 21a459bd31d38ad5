#include "activescript/debug/EngineDebug.h"

#include <algorithm>

#include "activescript/debug/DebugObjects.h"
#include "platform/ole/OleError.h"

namespace xan::as {

using plat::ComPtr;
using plat::E_INVALIDARG;
using plat::E_POINTER;
using plat::E_UNEXPECTED;
using plat::S_OK;

namespace {

// Entries into script code on this thread, innermost last: the engine and the native stack
// address of the entry.
thread_local std::vector<std::pair<const TEngineDebug*, std::uintptr_t>> tEntries;

template <class T, class TIntf>
HRESULT HandOut(ComPtr<T> AObject, TIntf** AOut) noexcept {
    *AOut = static_cast<TIntf*>(AObject.Detach());
    return S_OK;
}

class TCodeContext final : public plat::TInterfacedObject, public IDebugCodeContext {
public:
    TCodeContext(ComPtr<TEngineDebug> AOwner, plat::Integer ALine) : FOwner(std::move(AOwner)), FLine(ALine) {}
    HRESULT GetDocumentContext(IDebugDocumentContext** context) noexcept override {
        if (!context) return E_POINTER;
        *context = nullptr;
        return FOwner->DocumentContextOfLine(FLine, context);
    }
    HRESULT SetBreakPoint(BREAKPOINT_STATE state) noexcept override {
        return plat::SafeCall([&] { FOwner->Language().SetLineBreakpoint(FLine, state == BREAKPOINT_ENABLED); });
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TCodeContext, IDebugCodeContext>()};
        return table;
    }

private:
    ComPtr<TEngineDebug> FOwner;
    plat::Integer FLine;
};

class TDebugPropertyObject final : public plat::TInterfacedObject, public IDebugProperty {
public:
    TDebugPropertyObject(ComPtr<IDebugApplicationThread> AThread, TLanguageDebugVarRef AVar)
        : FThread(std::move(AThread)), FVar(std::move(AVar)) {}

    static DebugPropertyInfo InfoOf(const ComPtr<IDebugApplicationThread>& AThread, const TLanguageDebugVarRef& AVar,
                                    DBGPROP_INFO_FLAGS AFields) {
        DebugPropertyInfo info;
        info.m_dwValidFields = AFields;
        if (AFields & DBGPROP_INFO_NAME) info.m_bstrName = AVar->Name;
        if (AFields & DBGPROP_INFO_TYPE) info.m_bstrType = AVar->Type;
        if (AFields & DBGPROP_INFO_VALUE) info.m_bstrValue = AVar->Value;
        if (AFields & DBGPROP_INFO_ATTRIBUTES)
            info.m_dwAttrib = AVar->Attributes | (AVar->Expandable() ? OBJECT_ATTRIB_VALUE_IS_EXPANDABLE : 0u);
        if (AFields & DBGPROP_INFO_DEBUGPROP)
            info.m_pDebugProp = ComPtr<IDebugProperty>(new TDebugPropertyObject(AThread, AVar));
        return info;
    }

    HRESULT GetPropertyInfo(DBGPROP_INFO_FLAGS fields, std::uint32_t, DebugPropertyInfo* info) noexcept override {
        if (!info) return E_POINTER;
        return plat::SafeCall([&] { *info = InfoOf(FThread, FVar, fields); });
    }
    HRESULT EnumMembers(DBGPROP_INFO_FLAGS fields, std::uint32_t, const TGUID& iid,
                        IEnumDebugPropertyInfo** members) noexcept override {
        if (!members) return E_POINTER;
        *members = nullptr;
        if (iid != IID_IEnumDebugPropertyInfo) return plat::E_NOINTERFACE;
        std::vector<TLanguageDebugVarRef> children;
        const HRESULT hr = RunInThread(FThread.Get(), [&] { children = FVar->Children(); });
        if (plat::Failed(hr)) return hr;
        return plat::SafeCall([&] {
            std::vector<DebugPropertyInfo> infos;
            for (const TLanguageDebugVarRef& child : children) infos.push_back(InfoOf(FThread, child, fields));
            HandOut(ComPtr<TPropertyInfoEnum>(new TPropertyInfoEnum(std::move(infos))), members);
        });
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TDebugPropertyObject, IDebugProperty>()};
        return table;
    }

private:
    ComPtr<IDebugApplicationThread> FThread;
    TLanguageDebugVarRef FVar;
};

class TStackFrameObject;

class TExpressionObject final : public plat::TInterfacedObject, public IDebugExpression {
public:
    TExpressionObject(ComPtr<TStackFrameObject> AFrame, plat::UString AText)
        : FFrame(std::move(AFrame)), FText(std::move(AText)) {}
    HRESULT Start(IDebugExpressionCallBack* callback) noexcept override;
    HRESULT Abort() noexcept override { return plat::E_NOTIMPL; }
    HRESULT QueryIsComplete() noexcept override { return FComplete ? S_OK : plat::S_FALSE; }
    HRESULT GetResultAsString(HRESULT* result, plat::UString* text) noexcept override {
        if (!FComplete) return E_UNEXPECTED;
        if (result) *result = FCode;
        if (text) *text = FResult.Value ? FResult.Value->Value : plat::UString();
        return S_OK;
    }
    HRESULT GetResultAsDebugProperty(HRESULT* result, IDebugProperty** property) noexcept override;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TExpressionObject, IDebugExpression>()};
        return table;
    }

private:
    ComPtr<TStackFrameObject> FFrame;
    plat::UString FText;
    TLanguageEvalResult FResult;
    HRESULT FCode = plat::E_FAIL;
    bool FComplete = false;
};

// A frame as the debugger sees it. Texts and line are read when the frame is made (on the
// stopped thread); variables and evaluations go back to that thread.
class TStackFrameObject final : public plat::TInterfacedObject, public IDebugStackFrame, public IDebugExpressionContext {
public:
    TStackFrameObject(ComPtr<TEngineDebug> AOwner, ComPtr<IDebugApplicationThread> AThread,
                      std::unique_ptr<TLanguageFrame> AFrame)
        : FOwner(std::move(AOwner)), FThread(std::move(AThread)), FFrame(std::move(AFrame)),
          FShort(FFrame->Description(false)), FLong(FFrame->Description(true)), FLine(FFrame->Line()) {}

    HRESULT GetCodeContext(IDebugCodeContext** context) noexcept override {
        if (!context) return E_POINTER;
        return plat::SafeCall([&] { HandOut(ComPtr<TCodeContext>(new TCodeContext(FOwner, FLine)), context); });
    }
    HRESULT GetDescriptionString(bool longForm, plat::UString* text) noexcept override {
        if (!text) return E_POINTER;
        *text = longForm ? FLong : FShort;
        return S_OK;
    }
    HRESULT GetLanguageString(bool, plat::UString* text) noexcept override {
        if (!text) return E_POINTER;
        *text = FOwner->LanguageName();
        return S_OK;
    }
    HRESULT GetThread(IDebugApplicationThread** thread) noexcept override {
        if (!thread) return E_POINTER;
        *thread = ComPtr<IDebugApplicationThread>(FThread).Detach();
        return S_OK;
    }
    HRESULT GetDebugProperty(IDebugProperty** property) noexcept override {
        if (!property) return E_POINTER;
        *property = nullptr;
        TLanguageDebugVarRef root;
        const HRESULT hr = RunInThread(FThread.Get(), [&] { root = FFrame->Variables(); });
        if (plat::Failed(hr)) return hr;
        return plat::SafeCall(
            [&] { HandOut(ComPtr<TDebugPropertyObject>(new TDebugPropertyObject(FThread, root)), property); });
    }
    HRESULT ParseLanguageText(const char16_t* text, std::uint32_t, const char16_t*, std::uint32_t,
                              IDebugExpression** expression) noexcept override {
        if (!expression || !text) return E_POINTER;
        return plat::SafeCall([&] {
            HandOut(ComPtr<TExpressionObject>(new TExpressionObject(ComPtr<TStackFrameObject>(this), text)), expression);
        });
    }

    // On any thread: evaluates on the stopped one.
    HRESULT Evaluate(const plat::UString& AText, TLanguageEvalResult& AResult) noexcept {
        return RunInThread(FThread.Get(), [&] { AResult = FFrame->Evaluate(AText); });
    }
    const ComPtr<IDebugApplicationThread>& Thread() const noexcept { return FThread; }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TStackFrameObject, IDebugStackFrame>(),
                                               Entry<TStackFrameObject, IDebugExpressionContext>()};
        return table;
    }

private:
    ComPtr<TEngineDebug> FOwner;
    ComPtr<IDebugApplicationThread> FThread;
    std::unique_ptr<TLanguageFrame> FFrame;
    plat::UString FShort, FLong;
    plat::Integer FLine;
};

HRESULT TExpressionObject::Start(IDebugExpressionCallBack* callback) noexcept {
    const HRESULT hr = FFrame->Evaluate(FText, FResult);
    FCode = plat::Failed(hr) ? hr : FResult.Ok ? S_OK : plat::E_FAIL;
    if (!FResult.Value) FResult.Value = std::make_shared<TLeafDebugVar>(FText, plat::UString(u"Error"), plat::UString());
    FComplete = true;
    if (callback) callback->onComplete();
    return S_OK;
}

HRESULT TExpressionObject::GetResultAsDebugProperty(HRESULT* result, IDebugProperty** property) noexcept {
    if (!FComplete) return E_UNEXPECTED;
    if (result) *result = FCode;
    if (!property) return S_OK;
    return plat::SafeCall(
        [&] { HandOut(ComPtr<TDebugPropertyObject>(new TDebugPropertyObject(FFrame->Thread(), FResult.Value)), property); });
}

BREAKREASON ReasonOf(TDebugStopReason AReason) {
    switch (AReason) {
        case TDebugStopReason::Breakpoint: return BREAKREASON_BREAKPOINT;
        case TDebugStopReason::Step: return BREAKREASON_STEP;
        case TDebugStopReason::Halt: break;
    }
    return BREAKREASON_DEBUGGER_HALT;
}

TDebugResume ResumeOf(BREAKRESUMEACTION AAction) {
    switch (AAction) {
        case BREAKRESUMEACTION_ABORT: return TDebugResume::Abort;
        case BREAKRESUMEACTION_STEP_INTO: return TDebugResume::StepInto;
        case BREAKRESUMEACTION_STEP_OVER: return TDebugResume::StepOver;
        case BREAKRESUMEACTION_IGNORE: return TDebugResume::Ignore;
        default: return TDebugResume::Continue;
    }
}

}  // namespace

// ---- Shared objects ----------------------------------------------------------------------------

HRESULT TThreadCall::ThreadCallHandler() noexcept { return plat::SafeCall(FBody); }

HRESULT RunInThread(IDebugApplicationThread* AThread, std::function<void()> ABody) noexcept {
    if (!AThread) return E_UNEXPECTED;
    ComPtr<IDebugThreadCall> call;
    const HRESULT made = plat::SafeCall([&] { call = ComPtr<IDebugThreadCall>(new TThreadCall(std::move(ABody))); });
    if (plat::Failed(made)) return made;
    return AThread->SynchronousCallIntoThread(call.Get());
}

// ---- Text lines ------------------------------------------------------------------------------------

std::vector<std::uint32_t> LineStartsOf(std::u16string_view AText) {
    std::vector<std::uint32_t> starts{0};
    for (std::size_t i = 0; i < AText.size(); ++i) {
        if (AText[i] == u'\r' && i + 1 < AText.size() && AText[i + 1] == u'\n') ++i;
        if (AText[i] == u'\r' || AText[i] == u'\n') starts.push_back(static_cast<std::uint32_t>(i + 1));
    }
    return starts;
}

std::uint32_t LineOfPosition(const std::vector<std::uint32_t>& AStarts, std::uint32_t APos) {
    const auto it = std::upper_bound(AStarts.begin(), AStarts.end(), APos);
    return static_cast<std::uint32_t>(it - AStarts.begin()) - 1;
}

// ---- The engine's debugging side -------------------------------------------------------------------

TEngineDebug::TEntry::TEntry(TEngineDebug* AOwner) noexcept : FOwner(AOwner) {
    if (FOwner) tEntries.emplace_back(FOwner, reinterpret_cast<std::uintptr_t>(this));
}

TEngineDebug::TEntry::~TEntry() {
    if (FOwner) tEntries.pop_back();
}

TEngineDebug::TEngineDebug(ComPtr<IActiveScriptSiteDebug> ASite, ComPtr<IDebugApplication> AApplication,
                           TLanguageDebug* ALanguage, plat::UString ALanguageName)
    : FSite(std::move(ASite)), FApplication(std::move(AApplication)), FLanguage(ALanguage),
      FLanguageName(std::move(ALanguageName)) {}

TEngineDebug::~TEngineDebug() = default;

std::span<const plat::TInterfacedObject::InterfaceEntry> TEngineDebug::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TEngineDebug, IDebugApplicationEngine>()};
    return table;
}

ComPtr<TEngineDebug> TEngineDebug::Connect(IActiveScriptSite* ASite, TLanguageDebug* AAdapter, plat::UString ALanguage) {
    if (!ASite || !AAdapter) return nullptr;
    ComPtr<IActiveScriptSiteDebug> site;
    if (plat::Failed(ASite->QueryInterface(IID_IActiveScriptSiteDebug, site.PutVoid()))) return nullptr;
    ComPtr<IDebugApplication> application;
    if (plat::Failed(site->GetApplication(application.Put())) || !application) return nullptr;
    ComPtr<TEngineDebug> self(new TEngineDebug(site, application, AAdapter, std::move(ALanguage)));
    application->AddEngine(self.Get());
    AAdapter->SetHost(self.Get());
    return self;
}

void TEngineDebug::Disconnect() noexcept {
    if (FLanguage) FLanguage->SetHost(nullptr);
    if (FApplication) FApplication->RemoveEngine(this);
    FLanguage = nullptr;
    FApplication = nullptr;
    FSite = nullptr;
}

void TEngineDebug::AddBlock(std::uint64_t ASourceContext, const plat::UString& AText) {
    TBlock block{ASourceContext, FNextLine, LineStartsOf(AText.view()), static_cast<std::uint32_t>(AText.length())};
    FNextLine += static_cast<plat::Integer>(block.LineStarts.size());
    FBlocks.push_back(std::move(block));
}

const TEngineDebug::TBlock* TEngineDebug::BlockOfContext(std::uint64_t AContext) const noexcept {
    for (const TBlock& b : FBlocks)
        if (b.Context == AContext) return &b;
    return nullptr;
}

const TEngineDebug::TBlock* TEngineDebug::BlockOfLine(plat::Integer ALine) const noexcept {
    for (const TBlock& b : FBlocks)
        if (ALine >= b.FirstLine && ALine < b.FirstLine + static_cast<plat::Integer>(b.LineStarts.size())) return &b;
    return nullptr;
}

HRESULT TEngineDebug::EnumCodeContextsOfPosition(std::uint64_t ASourceContext, std::uint32_t ACharOffset,
                                                 std::uint32_t, IEnumDebugCodeContexts** AOut) noexcept {
    if (!AOut) return E_POINTER;
    *AOut = nullptr;
    const TBlock* block = BlockOfContext(ASourceContext);
    if (!block || !FLanguage) return E_INVALIDARG;
    return plat::SafeCall([&] {
        const plat::Integer line =
            block->FirstLine + static_cast<plat::Integer>(LineOfPosition(block->LineStarts, ACharOffset));
        const plat::Integer code = FLanguage->CodeLineAt(line);
        std::vector<ComPtr<IDebugCodeContext>> contexts;
        if (code >= 0) contexts.emplace_back(new TCodeContext(ComPtr<TEngineDebug>(this), code));
        HandOut(ComPtr<TCodeContextEnum>(new TCodeContextEnum(std::move(contexts))), AOut);
    });
}

HRESULT TEngineDebug::DocumentContextOfLine(plat::Integer ALine, IDebugDocumentContext** AOut) noexcept {
    const TBlock* block = BlockOfLine(ALine);
    if (!block || !FSite) return E_UNEXPECTED;
    const std::size_t index = static_cast<std::size_t>(ALine - block->FirstLine);
    const std::uint32_t start = block->LineStarts[index];
    const std::uint32_t end = index + 1 < block->LineStarts.size() ? block->LineStarts[index + 1] : block->Length;
    return FSite->GetDocumentContextFromPosition(block->Context, start, end - start, AOut);
}

std::uintptr_t TEngineDebug::InnermostEntry() const noexcept {
    for (auto it = tEntries.rbegin(); it != tEntries.rend(); ++it)
        if (it->first == this) return it->second;
    return 0;
}

HRESULT TEngineDebug::EnumStackFrames(IEnumDebugStackFrames** frames) noexcept {
    if (!frames) return E_POINTER;
    *frames = nullptr;
    return plat::SafeCall([&] {
        std::vector<DebugStackFrameDescriptor> list;
        const std::uintptr_t entry = InnermostEntry();
        ComPtr<IDebugApplicationThread> thread;
        if (entry != 0 && FLanguage && FApplication && plat::Succeeded(FApplication->GetCurrentThread(thread.Put()))) {
            for (std::unique_ptr<TLanguageFrame>& frame : FLanguage->Frames()) {
                DebugStackFrameDescriptor d;
                d.dwMin = frame->StackAddress() ? frame->StackAddress() : entry;
                d.dwLim = d.dwMin;
                d.pdsf = ComPtr<IDebugStackFrame>(new TStackFrameObject(ComPtr<TEngineDebug>(this), thread, std::move(frame)));
                list.push_back(std::move(d));
            }
        }
        HandOut(ComPtr<TStackFrameEnum>(new TStackFrameEnum(std::move(list))), frames);
    });
}

HRESULT TEngineDebug::CauseBreak() noexcept {
    if (!FLanguage) return E_UNEXPECTED;
    return plat::SafeCall([&] { FLanguage->RequestBreak(); });
}

TDebugResume TEngineDebug::Stopped(TDebugStopReason AReason) {
    ComPtr<IDebugApplication> application = FApplication;
    if (!application) return TDebugResume::Continue;
    ComPtr<TEngineDebug> self(this);
    BREAKRESUMEACTION action = BREAKRESUMEACTION_CONTINUE;
    if (plat::Failed(application->HandleBreakPoint(ReasonOf(AReason), &action))) return TDebugResume::Continue;
    return ResumeOf(action);
}

}  // namespace xan::as
