#include "components/ActiveXRunner.h"

#include <mutex>
#include <vector>

#include "activescript/engines/ScriptEngines.h"
#include "components/ActiveXRunnerDebug.h"
#include "components/NamedItems.h"
#include "components/ScriptDebugger.h"
#include "components/ScriptControl.h"
#include "platform/core/Assert.h"
#include "platform/ole/OleError.h"
#include "platform/text/Format.h"

namespace xan {

using plat::HRESULT;
using plat::UString;
using plat::Variant;

namespace {

// Neutral locale for every call the runner makes.
constexpr plat::LCID KNeutralLocale = 0;
constexpr const char* kUnit = "XANActiveXRunner";

void CheckDebug(HRESULT AResult) {
    if (plat::Failed(AResult)) plat::RaiseOleError(AResult);
}

}  // namespace

void XANEnsureScriptEngines() {
    static std::once_flag once;
    std::call_once(once, [] { as::RegisterScriptEngines(); });
}

// ---- Error holder ------------------------------------------------------------------------------

void TAXScriptErrorHolder::FormatScriptError(UString& AMsg) const {
    if (!FLastError) return;
    plat::EXCEPINFO info;
    FLastError->GetExceptionInfo(&info);
    std::uint64_t context = 0;
    std::uint32_t line = 0;
    std::int32_t pos = 0;
    FLastError->GetSourcePosition(&context, &line, &pos);
    AMsg = info.description;
    if (!FAddSrcInfo || !FSource) return;
    // The control's own rule, the one the native runner's errors follow.
    plat::EOleSysError formatted(AMsg, info.scode);
    FSource->FormatSourceInfo(static_cast<plat::Integer>(line), pos, formatted);
    AMsg = formatted.Message();
}

HRESULT TAXScriptErrorHolder::ErrorCode() const {
    plat::EXCEPINFO info;
    FLastError->GetExceptionInfo(&info);
    return info.scode;
}

void TAXScriptErrorHolder::CheckScriptError() {
    if (!FLastError) return;
    UString message;
    FormatScriptError(message);
    const HRESULT code = ErrorCode();
    FLastError = nullptr;
    plat::Raise(new plat::EOleSysError(message, code));
}

// ---- Code object ---------------------------------------------------------------------------------

TAXCodeObject::TAXCodeObject(TAXScriptErrorHolder* AErrorHolder, plat::IDispatch* AOrigin) noexcept
    : FErrorHolder(AErrorHolder->AddRef()), FOrigin(AOrigin) {}

TAXCodeObject::~TAXCodeObject() { FErrorHolder->Release(); }

std::span<const plat::TInterfacedObject::InterfaceEntry> TAXCodeObject::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TAXCodeObject, plat::IDispatch>()};
    return table;
}

HRESULT TAXCodeObject::GetTypeInfoCount(std::uint32_t* count) noexcept { return FOrigin->GetTypeInfoCount(count); }

HRESULT TAXCodeObject::GetTypeInfo(std::uint32_t index, plat::LCID locale, plat::ITypeInfo** out) noexcept {
    return FOrigin->GetTypeInfo(index, locale, out);
}

HRESULT TAXCodeObject::GetIDsOfNames(const plat::TGUID& iid, const char16_t* const* names, std::uint32_t count,
                                     plat::LCID locale, plat::DISPID* ids) noexcept {
    return FOrigin->GetIDsOfNames(iid, names, count, locale, ids);
}

HRESULT TAXCodeObject::Invoke(plat::DISPID id, const plat::TGUID& iid, plat::LCID locale, std::uint16_t flags,
                              plat::DISPPARAMS* params, Variant* result, plat::EXCEPINFO* excep,
                              std::uint32_t* argErr) noexcept {
    FErrorHolder->ClearScriptError();
    const HRESULT hr = FOrigin->Invoke(id, iid, locale, flags, params, result, excep, argErr);
    if (!FErrorHolder->HasError()) return hr;
    return plat::SafeCall([&]() -> HRESULT {
        UString message;
        FErrorHolder->FormatScriptError(message);
        if (excep) excep->description = message;
        return plat::DISP_E_EXCEPTION;
    });
}

// ---- Site ----------------------------------------------------------------------------------------

TAXSite::TAXSite(TActiveXRunner* ARunner) : FRunner(ARunner), FCondCvtr(new TAXConditionConverter()) {}

TAXSite::~TAXSite() = default;

std::span<const plat::TInterfacedObject::InterfaceEntry> TAXSite::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TAXSite, as::IActiveScriptSite>(),
                                           Entry<TAXSite, as::IActiveScriptSiteWindow>(),
                                           Entry<TAXSite, as::IActiveScriptSiteDebug>()};
    return table;
}

HRESULT TAXSite::GetLCID(plat::LCID* locale) noexcept {
    if (!locale) return plat::E_POINTER;
    *locale = KNeutralLocale;
    return plat::S_OK;
}

HRESULT TAXSite::GetItemInfo(const char16_t* name, std::uint32_t mask, plat::IUnknown** item,
                             plat::ITypeInfo** typeInfo) noexcept {
    if (item) *item = nullptr;
    if (typeInfo) *typeInfo = nullptr;
    if (!(mask & as::SCRIPTINFO_IUNKNOWN)) return plat::E_NOTIMPL;
    if (!item || !name || !FRunner) return plat::E_INVALIDARG;
    return plat::SafeCall([&]() -> HRESULT {
        const UString key = XANNamedItemKey(UString(name));
        TXANScriptControl& control = FRunner->Control();
        plat::IUnknown* found = nullptr;
        const auto* named = static_cast<const TNamedItem*>(control.NamedItems().Find(&key));
        plat::ComPtr<plat::IDispatch> object = named && named->Kind == nikObject ? XANDispatchOf(named->Value) : nullptr;
        if (object) found = object.Get();
        else if (key == XANNamedItemKey(UString(XANNamedValuesHolderName))) found = control.NamedValuesHolderDispatch();
        else if (key == XANNamedItemKey(UString(XANConditionConverterName)))
            found = static_cast<plat::IDispatch*>(FCondCvtr.Get());
        if (!found) return plat::TYPE_E_ELEMENTNOTFOUND;
        found->AddRef();
        *item = found;
        return plat::S_OK;
    });
}

HRESULT TAXSite::GetDocVersionString(UString*) noexcept { return plat::E_NOTIMPL; }

HRESULT TAXSite::OnScriptError(as::IActiveScriptError* error) noexcept {
    if (FRunner) FRunner->ErrorHolder().SetError(error);
    return plat::S_OK;
}

HRESULT TAXSite::GetWindow(void** window) noexcept {
    if (!window) return plat::E_POINTER;
    *window = nullptr;  // a console host has no application window
    return plat::S_OK;
}

HRESULT TAXSite::GetDocumentContextFromPosition(std::uint64_t sourceContext, std::uint32_t charOffset,
                                                std::uint32_t charCount, as::IDebugDocumentContext** context) noexcept {
    if (!context) return plat::E_POINTER;
    *context = nullptr;
    as::IDebugDocumentHelper* helper = FRunner ? FRunner->Helper() : nullptr;
    if (!helper) return plat::E_NOTIMPL;
    std::uint32_t start = 0;
    const HRESULT hr = helper->GetScriptBlockInfo(static_cast<std::uint32_t>(sourceContext), nullptr, &start, nullptr);
    if (plat::Failed(hr)) return hr;
    return helper->CreateDebugDocumentContext(start + charOffset, charCount, context);
}

HRESULT TAXSite::GetApplication(as::IDebugApplication** application) noexcept {
    if (!application) return plat::E_POINTER;
    *application = nullptr;
    TActiveXRunnerDebug* debug = FRunner ? FRunner->RunnerDebug() : nullptr;
    if (!debug || !debug->Application()) return plat::E_NOTIMPL;
    *application = debug->Application();
    (*application)->AddRef();
    return plat::S_OK;
}

HRESULT TAXSite::GetRootApplicationNode(as::IDebugApplicationNode** node) noexcept {
    if (!node) return plat::E_POINTER;
    *node = nullptr;
    as::IDebugDocumentHelper* helper = FRunner ? FRunner->Helper() : nullptr;
    if (!helper) return plat::E_NOTIMPL;
    return helper->GetDebugApplicationNode(node);
}

HRESULT TAXSite::OnScriptErrorDebug(as::IActiveScriptError*, bool* enterDebugger,
                                    bool* callOnScriptErrorWhenContinuing) noexcept {
    if (enterDebugger) *enterDebugger = false;
    if (callOnScriptErrorWhenContinuing) *callOnScriptErrorWhenContinuing = true;
    return plat::S_OK;
}

// ---- Runner --------------------------------------------------------------------------------------

TActiveXRunner::TActiveXRunner(TXANScriptControl* ASControl, bool AAddSrcInfo)
    : FSControl(ASControl), FAddSrcInfo(AAddSrcInfo), FSite(new TAXSite(this)),
      FErrorHolder(new TAXScriptErrorHolder(AAddSrcInfo, ASControl)) {}

TActiveXRunner::~TActiveXRunner() {
    FSite->Detach();
    FSite = nullptr;
    FErrorHolder->Release();
}

void TActiveXRunner::Check(HRESULT AResult) {
    if (plat::Failed(AResult)) RaiseFailure(AResult, plat::EXCEPINFO());
}

void TActiveXRunner::RaiseFailure(HRESULT AResult, const plat::EXCEPINFO& AExcep) {
    FErrorHolder->CheckScriptError();
    if (!plat::Failed(AResult)) return;
    if (AResult == plat::DISP_E_EXCEPTION)
        plat::Raise(new plat::EOleSysError(AExcep.description, AExcep.scode ? AExcep.scode : AResult));
    plat::Raise(new plat::EOleSysError(UString(), AResult));
}

void TActiveXRunner::CreateEngine() {
    XANEnsureScriptEngines();
    as::TScriptEngineRefs engine = as::CreateScriptEngine(XANLanguageInfo(FSControl->Language()).EngineName);
    FScript = std::move(engine.Script);
    FScriptParse = std::move(engine.Parse);
    Check(FScriptParse->InitNew());
    Check(FScript->SetScriptSite(FSite.Get()));
}

void TActiveXRunner::Prepare(TRunnerDebugBase* ARunnerDebug) {
    try {
        const UString text = FSControl->Source().Text();
        FAppDebugger = nullptr;
        FHelper = nullptr;
        FRunnerDebug = dynamic_cast<TActiveXRunnerDebug*>(ARunnerDebug);
        if (FRunnerDebug) FAppDebugger = FRunnerDebug->AppDebugger();
        CreateEngine();
        FSourceContext = 0;
        if (FAppDebugger) {
            plat::ComPtr<as::IActiveScriptDebug> debug;
            const HRESULT hr = FScript->QueryInterface(as::IActiveScriptDebug::IID, debug.PutVoid());
            if (plat::Failed(hr)) plat::Raise(new plat::EOleSysError(UString(SEngineCannotDebug), hr));
            CreateDebugDocument(text);
        }
        ParseText(text, FSourceContext, 0, nullptr);
        AddNamedObjectsToEngine(*FSControl);
        AddItem(XANNamedValuesHolderName, as::SCRIPTITEM_ISVISIBLE | as::SCRIPTITEM_GLOBALMEMBERS);
        plat::ComPtr<plat::IDispatch> origin;
        Check(FScript->GetScriptDispatch(nullptr, origin.Put()));
        FCodeObject = plat::ComPtr<TAXCodeObject>(new TAXCodeObject(FErrorHolder, origin.Get()));
        if (FAppDebugger) {
            AddItem(XANConditionConverterName, as::SCRIPTITEM_ISVISIBLE);
            SetBreakpoints(*FSControl, *FRunnerDebug->Debugger());
        }
    } catch (...) {
        Close();
        throw;
    }
}

void TActiveXRunner::Open() {
    FErrorHolder->ClearScriptError();
    const HRESULT hr = FScript->SetScriptState(as::SCRIPTSTATE_STARTED);
    FErrorHolder->CheckScriptError();
    Check(hr);
}

void TActiveXRunner::Close() {
    if (FScript) FScript->Close();
    plat::ComPtr<as::IDebugDocumentHelper> helper = std::move(FHelper);
    FHelper = nullptr;
    FCodeObject = nullptr;
    FScriptParse = nullptr;
    FScript = nullptr;
    FAppDebugger = nullptr;
    FRunnerDebug = nullptr;
    if (helper) CheckDebug(helper->Detach());
}

// The script's text as a debug document of the debugger's application, defined as one block
// whose cookie the engine receives with the text.
void TActiveXRunner::CreateDebugDocument(const UString& AText) {
    CheckDebug(XANProcessDebugManager()->CreateDebugDocumentHelper(nullptr, FHelper.Put()));
    CheckDebug(FHelper->Init(FRunnerDebug->Application(), XANScriptDocName, XANScriptDocName, as::TEXT_DOC_ATTR_READONLY));
    CheckDebug(FHelper->Attach(nullptr));
    CheckDebug(FHelper->AddUnicodeText(AText.c_str()));
    CheckDebug(FHelper->DefineScriptBlock(0, static_cast<std::uint32_t>(AText.length()), FScript.Get(), false,
                                          &FSourceContext));
}

plat::ComPtr<as::IDebugDocument> TActiveXRunner::Document() const {
    plat::ComPtr<as::IDebugDocument> document;
    if (!FHelper) return document;
    plat::ComPtr<as::IDebugApplicationNode> node, child;
    plat::ComPtr<as::IEnumDebugApplicationNodes> children;
    if (plat::Failed(FHelper->GetDebugApplicationNode(node.Put())) || plat::Failed(node->EnumChildren(children.Put())))
        return document;
    std::uint32_t fetched = 0;
    if (children->Next(1, child.Put(), &fetched) != plat::S_OK || fetched != 1) return document;
    child->GetDocument(document.Put());
    return document;
}

void TActiveXRunner::LineRange(plat::Integer ALine, std::uint32_t& AStart, std::uint32_t& ALength) const {
    XAN_ASSERT(kUnit, FHelper != nullptr);
    plat::ComPtr<as::IDebugApplicationNode> node;
    CheckDebug(FHelper->GetDebugApplicationNode(node.Put()));
    plat::ComPtr<as::IDebugDocument> document;
    CheckDebug(node->GetDocument(document.Put()));
    plat::ComPtr<as::IDebugDocumentText> text;
    CheckDebug(document->QueryInterface(as::IID_IDebugDocumentText, text.PutVoid()));
    const auto line = static_cast<std::uint32_t>(ALine);
    std::uint32_t start = 0, end = 0, lines = 0, chars = 0;
    CheckDebug(text->GetPositionOfLine(line, &start));
    CheckDebug(text->GetSize(&lines, &chars));
    if (line + 1 < lines) CheckDebug(text->GetPositionOfLine(line + 1, &end));
    else end = chars + 1;
    AStart = start;
    ALength = end - start;
}

void TActiveXRunner::AddItem(const UString& AName, std::uint32_t AFlags) {
    Check(FScript->AddNamedItem(AName.c_str(), AFlags));
}

void TActiveXRunner::AddNamedObjectToEngine(const TNamedItem& AItem) {
    AddItem(AItem.Name, AItem.PubMembers ? as::SCRIPTITEM_ISVISIBLE | as::SCRIPTITEM_GLOBALMEMBERS
                                         : as::SCRIPTITEM_ISVISIBLE);
}

void TActiveXRunner::ParseText(const UString& AText, std::uint64_t AContext, std::uint32_t AFlags, Variant* AResult) {
    if (AResult) AResult->Clear();
    FErrorHolder->ClearScriptError();
    plat::EXCEPINFO excep;
    const HRESULT hr = FScriptParse->ParseScriptText(AText.c_str(), nullptr, nullptr, nullptr,
                                                     AContext, 0, AFlags, AResult, &excep);
    if (plat::Failed(hr)) RaiseFailure(hr, excep);
}

Variant TActiveXRunner::Invoke(const UString& AName, std::uint16_t AFlags, std::span<Variant> AArgs,
                               bool AWantResult) {
    plat::ComPtr<plat::IDispatch> disp = plat::ComPtr<plat::IDispatch>::Attach(GetCodeObject());
    plat::DISPID id = plat::DISPID_UNKNOWN;
    const char16_t* names[] = {AName.c_str()};
    const HRESULT found = disp->GetIDsOfNames(plat::IID_NULL, names, 1, KNeutralLocale, &id);
    if (plat::Failed(found)) plat::RaiseOleError(found);
    if (AArgs.size() > XANMaxRunProcArgs)
        plat::Raise(new plat::EOleSysError(UString(STooManyParameters), plat::E_INVALIDARG));
    // Last argument first; each a reference to the caller's variant, so by-reference
    // parameters write back and nothing is copied.
    std::vector<plat::VarData> block;
    block.reserve(AArgs.size());
    for (std::size_t i = AArgs.size(); i-- > 0;) block.push_back(Variant::RefTo(&AArgs[i]));
    plat::DISPID putId = plat::DISPID_PROPERTYPUT;
    const bool put = AFlags == plat::DISPATCH_PROPERTYPUT;
    plat::DISPPARAMS params{block.data(), put ? &putId : nullptr, static_cast<std::uint32_t>(block.size()),
                            put ? 1u : 0u};
    FErrorHolder->ClearScriptError();
    Variant result;
    plat::EXCEPINFO excep;
    const HRESULT hr = disp->Invoke(id, plat::IID_NULL, KNeutralLocale, AFlags, &params,
                                    AWantResult ? &result : nullptr, &excep, nullptr);
    if (hr != plat::S_OK) RaiseFailure(hr, excep);
    return result;
}

Variant TActiveXRunner::RunProc(const UString& AName) { return Invoke(AName, plat::DISPATCH_METHOD, {}, true); }

Variant TActiveXRunner::RunProc(const UString& AName, std::span<Variant> AArgs) {
    return Invoke(AName, plat::DISPATCH_METHOD, AArgs, true);
}

Variant TActiveXRunner::ReadVar(const UString& AName) { return Invoke(AName, plat::DISPATCH_PROPERTYGET, {}, true); }

void TActiveXRunner::WriteVar(const UString& AName, const Variant& AValue) {
    Variant value = AValue;
    Invoke(AName, plat::DISPATCH_PROPERTYPUT, std::span<Variant>(&value, 1), false);
}

TXANPreparedCodeRef TActiveXRunner::PrepareExpr(const UString& AExpr) { return std::make_unique<TAXDynCode>(AExpr); }

TXANPreparedCodeRef TActiveXRunner::PrepareStmt(const UString& AStmt) { return std::make_unique<TAXDynCode>(AStmt); }

Variant TActiveXRunner::Eval(TXANPreparedCode& APreparedExpr) {
    return Eval(static_cast<TAXDynCode&>(APreparedExpr).Text());
}

Variant TActiveXRunner::Eval(const UString& AExpr) {
    Variant result;
    ParseText(AExpr, 0, as::SCRIPTTEXT_ISEXPRESSION, &result);
    return result;
}

void TActiveXRunner::ExecStmt(TXANPreparedCode& APreparedStmt) { ExecStmt(static_cast<TAXDynCode&>(APreparedStmt).Text()); }

void TActiveXRunner::ExecStmt(const UString& AStmt) {
    Variant discarded;
    ParseText(AStmt, 0, 0, &discarded);
}

plat::IDispatch* TActiveXRunner::GetCodeObject() {
    if (!FCodeObject) plat::Raise(new plat::EOleSysError(UString(), plat::E_UNEXPECTED));
    FCodeObject->AddRef();
    return FCodeObject.Get();
}

void TActiveXRunner::AdjustBreakpoint(plat::Integer ALine, bool AEnabled, bool ADelete, bool& AIsValid) {
    XAN_ASSERT(kUnit, FHelper != nullptr);
    AIsValid = false;
    plat::ComPtr<as::IActiveScriptDebug> debug = FScript.As<as::IActiveScriptDebug>();
    if (!debug) return;
    // A line beyond the document holds no code.
    std::uint32_t lines = 0;
    plat::ComPtr<as::IDebugApplicationNode> node;
    plat::ComPtr<as::IDebugDocument> document;
    plat::ComPtr<as::IDebugDocumentText> text;
    CheckDebug(FHelper->GetDebugApplicationNode(node.Put()));
    CheckDebug(node->GetDocument(document.Put()));
    CheckDebug(document->QueryInterface(as::IID_IDebugDocumentText, text.PutVoid()));
    CheckDebug(text->GetSize(&lines, nullptr));
    if (ALine < 0 || static_cast<std::uint32_t>(ALine) >= lines) return;
    std::uint32_t start = 0, length = 0;
    LineRange(ALine, start, length);
    plat::ComPtr<as::IEnumDebugCodeContexts> contexts;
    CheckDebug(debug->EnumCodeContextsOfPosition(FSourceContext, start, length, contexts.Put()));
    plat::ComPtr<as::IDebugCodeContext> context;
    std::uint32_t fetched = 0;
    if (contexts->Next(1, context.Put(), &fetched) != plat::S_OK || fetched != 1) return;
    plat::ComPtr<as::IDebugDocument> contextDocument;
    if (XANLineOfCodeContext(context.Get(), contextDocument) != ALine) return;
    CheckDebug(context->SetBreakPoint(ADelete || !AEnabled ? as::BREAKPOINT_DELETED : as::BREAKPOINT_ENABLED));
    AIsValid = !ADelete;
}

}  // namespace xan
