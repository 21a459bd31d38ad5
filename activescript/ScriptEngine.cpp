#include "activescript/ScriptEngine.h"

#include "activescript/ScriptError.h"
#include "platform/core/CharCase.h"
#include "platform/ole/OleError.h"

namespace xan::as {

using plat::ComPtr;
using plat::E_INVALIDARG;
using plat::E_NOTIMPL;
using plat::E_POINTER;
using plat::E_UNEXPECTED;
using plat::S_OK;

namespace {

// The script's global functions and variables as a dispatch object. It keeps the engine alive;
// after the engine is closed every call answers E_UNEXPECTED.
class TScriptDispatch : public plat::TInterfacedObject, public IDispatch {
    XAN_CLASS(TScriptDispatch, plat::TInterfacedObject)
    explicit TScriptDispatch(TScriptEngine* AEngine) : FEngine(AEngine) {}

    HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override {
        if (count) *count = 0;
        return E_NOTIMPL;
    }
    HRESULT GetTypeInfo(std::uint32_t, LCID, ITypeInfo** out) noexcept override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(const TGUID&, const char16_t* const* names, std::uint32_t count, LCID,
                          DISPID* ids) noexcept override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        for (std::uint32_t i = 0; i < count; ++i) ids[i] = plat::DISPID_UNKNOWN;
        if (!FEngine->Adapter()) return E_UNEXPECTED;
        return plat::SafeCall([&]() -> HRESULT {
            ids[0] = FEngine->DispIdOfGlobal(UString(names[0]));
            return ids[0] == plat::DISPID_UNKNOWN || count > 1 ? plat::DISP_E_UNKNOWNNAME : S_OK;
        });
    }
    HRESULT Invoke(DISPID id, const TGUID&, LCID, std::uint16_t flags, plat::DISPPARAMS* params, Variant* result,
                   EXCEPINFO* excep, std::uint32_t* argErr) noexcept override {
        if (argErr) *argErr = 0;
        TLanguageAdapter* adapter = FEngine->Adapter();
        if (!adapter) return E_UNEXPECTED;
        const UString name = FEngine->GlobalOfDispId(id);
        if (name.empty()) return plat::DISP_E_MEMBERNOTFOUND;
        TGlobalAccess access;
        if (flags & (plat::DISPATCH_PROPERTYPUT | plat::DISPATCH_PROPERTYPUTREF))
            access = TGlobalAccess::Put;
        else if (flags & plat::DISPATCH_METHOD)
            access = TGlobalAccess::Call;
        else if (flags & plat::DISPATCH_PROPERTYGET)
            access = TGlobalAccess::Get;
        else
            return plat::DISP_E_MEMBERNOTFOUND;
        // Source order; a put's value (rgvarg[0]) goes last.
        std::vector<VarData> args;
        const std::uint32_t n = params ? params->cArgs : 0;
        args.reserve(n);
        const std::uint32_t named = params ? params->cNamedArgs : 0;
        const std::uint32_t positional = access == TGlobalAccess::Put && named > 0 ? n - 1 : n;
        for (std::uint32_t i = 0; i < positional; ++i) args.push_back(params->rgvarg[n - 1 - i]);
        if (positional < n) args.push_back(params->rgvarg[0]);
        if (access == TGlobalAccess::Put && args.empty()) return plat::DISP_E_BADPARAMCOUNT;
        if (access == TGlobalAccess::Get && args.empty()) {
            bool procedure = false;
            if (plat::CatchAll([&] { procedure = adapter->IsProcedure(name); })) return plat::E_FAIL;
            if (procedure) return plat::DISP_E_MEMBERNOTFOUND;
        }
        Variant value;
        const HRESULT hr = FEngine->RunScriptCode(
            [&] { value = adapter->AccessGlobal(name, access, args); }, 0, 0, excep, plat::DISP_E_EXCEPTION);
        if (hr == S_OK && result && access != TGlobalAccess::Put) *result = std::move(value);
        return hr;
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TScriptDispatch, IDispatch>()};
        return table;
    }

private:
    ComPtr<TScriptEngine> FEngine;
};

}  // namespace

TScriptEngine::TScriptEngine(TAdapterFactory AFactory) : FFactory(std::move(AFactory)) {}

TScriptEngine::~TScriptEngine() { Close(); }

std::span<const plat::TInterfacedObject::InterfaceEntry> TScriptEngine::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TScriptEngine, IActiveScript>(),
                                           Entry<TScriptEngine, IActiveScriptParse>(),
                                           Entry<TScriptEngine, IActiveScriptDebug>()};
    const bool debuggable = FAdapter && FAdapter->Debugging();
    return std::span<const InterfaceEntry>(table, debuggable ? 3 : 2);
}

HRESULT TScriptEngine::EnumCodeContextsOfPosition(std::uint64_t sourceContext, std::uint32_t charOffset,
                                                  std::uint32_t charCount, IEnumDebugCodeContexts** out) noexcept {
    if (out) *out = nullptr;
    if (!FDebug) return E_UNEXPECTED;
    return FDebug->EnumCodeContextsOfPosition(sourceContext, charOffset, charCount, out);
}

HRESULT TScriptEngine::InitNew() noexcept {
    if (FState != SCRIPTSTATE_UNINITIALIZED) return E_UNEXPECTED;
    return plat::SafeCall([&] {
        FAdapter = FFactory();
        FState = SCRIPTSTATE_INITIALIZED;
    });
}

HRESULT TScriptEngine::SetScriptSite(IActiveScriptSite* site) noexcept {
    if (!site) return E_POINTER;
    if (FSite) return E_UNEXPECTED;
    FSite = site;
    return S_OK;
}

HRESULT TScriptEngine::GetScriptSite(const TGUID& iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!FSite) return plat::S_FALSE;
    return FSite->QueryInterface(iid, out);
}

HRESULT TScriptEngine::GetScriptState(SCRIPTSTATE* state) noexcept {
    if (!state) return E_POINTER;
    *state = FState;
    return S_OK;
}

HRESULT TScriptEngine::SetScriptState(SCRIPTSTATE state) noexcept {
    if (!FAdapter) return E_UNEXPECTED;
    if (state == SCRIPTSTATE_CONNECTED) state = SCRIPTSTATE_STARTED;
    if (state == FState) return S_OK;
    if (state != SCRIPTSTATE_STARTED || FState != SCRIPTSTATE_INITIALIZED) return E_NOTIMPL;
    FState = SCRIPTSTATE_STARTED;
    if (FSite) FSite->OnStateChange(FState);
    return RunPendingBlocks();
}

HRESULT TScriptEngine::RunPendingBlocks() noexcept {
    std::vector<TPendingBlock> blocks = std::move(FPending);
    FPending.clear();
    for (TPendingBlock& b : blocks) {
        const HRESULT hr = RunScriptCode([&] { b.Block->Run(); }, b.StartLine, b.Context, nullptr,
                                         plat::SCRIPT_E_REPORTED);
        if (hr != S_OK) return hr;
    }
    return S_OK;
}

HRESULT TScriptEngine::Close() noexcept {
    if (FState == SCRIPTSTATE_CLOSED) return S_OK;
    FPending.clear();
    if (ComPtr<TEngineDebug> debug = std::move(FDebug)) debug->Disconnect();
    FAdapter.reset();
    FDispNames.clear();
    FState = SCRIPTSTATE_CLOSED;
    if (ComPtr<IActiveScriptSite> site = std::move(FSite)) site->OnStateChange(FState);
    return S_OK;
}

HRESULT TScriptEngine::AddNamedItem(const char16_t* name, std::uint32_t flags) noexcept {
    if (!name) return E_INVALIDARG;
    if (!FAdapter || !FSite) return E_UNEXPECTED;
    ComPtr<IUnknown> item;
    HRESULT hr = FSite->GetItemInfo(name, SCRIPTINFO_IUNKNOWN, item.Put(), nullptr);
    if (plat::Failed(hr)) return hr;
    ComPtr<IDispatch> disp = item.As<IDispatch>();
    if (!disp) return plat::E_NOINTERFACE;
    return plat::SafeCall([&] {
        FAdapter->AddNamedItem(UString(name), disp.Get(), (flags & SCRIPTITEM_ISVISIBLE) != 0,
                               (flags & SCRIPTITEM_GLOBALMEMBERS) != 0);
    });
}

HRESULT TScriptEngine::GetScriptDispatch(const char16_t* itemName, IDispatch** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!FAdapter) return E_UNEXPECTED;
    if (itemName && *itemName) return E_INVALIDARG;  // scripts have no per-item modules here
    return plat::SafeCall([&] {
        ComPtr<IDispatch> disp(new TScriptDispatch(this));
        *out = disp.Detach();
    });
}

HRESULT TScriptEngine::ParseScriptText(const char16_t* code, const char16_t*, IUnknown*, const char16_t*,
                                       std::uint64_t sourceContext, std::uint32_t startingLine,
                                       std::uint32_t flags, Variant* result, EXCEPINFO* excep) noexcept {
    if (result) result->Clear();
    if (!FAdapter) return E_UNEXPECTED;
    if (!FDebugChecked) {
        FDebugChecked = true;
        (void)plat::CatchAll(
            [&] { FDebug = TEngineDebug::Connect(FSite.Get(), FAdapter->Debugging(), FAdapter->ErrorSource()); });
    }
    const UString text(code ? code : u"");
    const bool isExpression = (flags & SCRIPTTEXT_ISEXPRESSION) != 0;
    if (isExpression || (result && FState == SCRIPTSTATE_STARTED)) {
        Variant value;
        const HRESULT hr = RunScriptCode([&] { value = FAdapter->Evaluate(text, isExpression); }, startingLine,
                                         sourceContext, excep, plat::SCRIPT_E_REPORTED);
        if (hr == S_OK && result) *result = std::move(value);
        return hr;
    }
    std::unique_ptr<TScriptBlock> block;
    HRESULT hr = RunScriptCode([&] { block = FAdapter->Parse(text); }, startingLine, sourceContext, excep,
                               plat::SCRIPT_E_REPORTED);
    if (hr != S_OK) return hr;
    if (FState != SCRIPTSTATE_STARTED) {
        if (FDebug) FDebug->AddBlock(sourceContext, text);
        FPending.push_back({std::move(block), startingLine, sourceContext});
        return S_OK;
    }
    return RunScriptCode([&] { block->Run(); }, startingLine, sourceContext, excep, plat::SCRIPT_E_REPORTED);
}

DISPID TScriptEngine::DispIdOfGlobal(const UString& AName) {
    const bool caseless = FAdapter->CaseInsensitiveNames();
    for (std::size_t i = 0; i < FDispNames.size(); ++i)
        if (caseless ? plat::IdentEquals(FDispNames[i], AName) : FDispNames[i] == AName)
            return static_cast<DISPID>(i + 1);
    UString found = FAdapter->FindGlobal(AName);
    if (found.empty()) return plat::DISPID_UNKNOWN;
    FDispNames.push_back(std::move(found));
    return static_cast<DISPID>(FDispNames.size());
}

UString TScriptEngine::GlobalOfDispId(DISPID AId) const {
    if (AId < 1 || static_cast<std::size_t>(AId) > FDispNames.size()) return UString();
    return FDispNames[static_cast<std::size_t>(AId) - 1];
}

HRESULT TScriptEngine::RunScriptCode(const std::function<void()>& ABody, std::uint32_t AStartLine,
                                     std::uint64_t AContext, EXCEPINFO* AExcep, HRESULT AFailCode) noexcept {
    ComPtr<IActiveScriptSite> site = FSite;  // the body may close the engine
    ComPtr<TScriptEngine> self(this);
    const TEngineDebug::TEntry entry(FDebug.Get());
    if (site) site->OnEnterScript();
    std::unique_ptr<plat::Exception> error = plat::CatchAll(ABody);
    if (site) site->OnLeaveScript();
    if (!error) return S_OK;
    ReportError(*error, AStartLine, AContext, AExcep);
    return AFailCode;
}

void TScriptEngine::ReportError(const plat::Exception& AError, std::uint32_t AStartLine, std::uint64_t AContext,
                                EXCEPINFO* AExcep) noexcept {
    std::unique_ptr<plat::Exception> failure = plat::CatchAll([&] {
        EXCEPINFO info;
        info.source = FAdapter ? FAdapter->ErrorSource() : UString(u"Script engine");
        info.description = AError.Message();
        info.scode = plat::E_FAIL;
        plat::Integer line = -1, column = 0;
        if (auto* e = dynamic_cast<const EScriptError*>(&AError)) {
            info.scode = e->SCode;
            line = e->Line;
            column = e->Column;
        } else if (auto* o = dynamic_cast<const plat::EOleSysError*>(&AError)) {
            info.scode = o->ErrorCode;
        }
        if (line >= 0) line += static_cast<plat::Integer>(AStartLine);
        if (AExcep) *AExcep = info;
        ComPtr<IActiveScriptError> record(new TActiveScriptError(info, AContext, line, column, UString()));
        if (FSite) FSite->OnScriptError(record.Get());
    });
    (void)failure;  // nothing more can be reported when even the report fails
}

}  // namespace xan::as
