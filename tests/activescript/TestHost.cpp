#include "TestHost.h"

#include "activescript/HostObjects.h"
#include "platform/core/CharCase.h"
#include "platform/ole/DispatchCall.h"
#include "platform/ole/OleError.h"
#include "platform/ole/OleRegistry.h"

namespace xan::as::test {

std::string Utf8(const UString& s) { return s.ToUtf8(); }

Variant MakeArrayForTest() {
    const Variant items[] = {Variant(1), Variant(u"a"), Variant(true)};
    return MakeVariantArray(items);
}

std::string ArrayTextForTest(const Variant& AArray) {
    std::string text;
    for (const Variant& v : ArrayElements(AArray)) text += (text.empty() ? "" : "|") + plat::VarToUString(v).ToUtf8();
    return text;
}

// ---- site ------------------------------------------------------------------------------------

std::span<const plat::TInterfacedObject::InterfaceEntry> TTestSite::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TTestSite, IActiveScriptSite>()};
    return table;
}

HRESULT TTestSite::GetLCID(LCID* locale) noexcept {
    *locale = 0;
    return plat::S_OK;
}

HRESULT TTestSite::GetItemInfo(const char16_t* name, std::uint32_t mask, IUnknown** item, ITypeInfo** typeInfo) noexcept {
    if (item) *item = nullptr;
    if (typeInfo) *typeInfo = nullptr;
    if (!(mask & SCRIPTINFO_IUNKNOWN)) return plat::E_NOTIMPL;
    auto it = Items.find(name);
    if (it == Items.end()) return plat::TYPE_E_ELEMENTNOTFOUND;
    it->second->AddRef();
    *item = it->second.Get();
    return plat::S_OK;
}

HRESULT TTestSite::OnScriptError(IActiveScriptError* error) noexcept {
    LastError = error;
    ++Errors;
    return plat::S_OK;
}

// ---- host object -------------------------------------------------------------------------------

namespace {
enum : DISPID { idItem = 0, idName = 1, idTwice = 2, idBump = 3, idFail = 4, idGreeting = 5 };
const std::pair<std::u16string_view, DISPID> KMembers[] = {{u"Item", idItem},   {u"Name", idName},
                                                            {u"Twice", idTwice}, {u"Bump", idBump},
                                                            {u"Fail", idFail},   {u"Greeting", idGreeting}};
bool Has(std::uint16_t flags, std::uint16_t f) { return (flags & f) != 0; }
}  // namespace

std::span<const plat::TInterfacedObject::InterfaceEntry> THostObject::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<THostObject, IDispatch>()};
    return table;
}

HRESULT THostObject::GetTypeInfoCount(std::uint32_t* count) noexcept {
    *count = 0;
    return plat::S_OK;
}

HRESULT THostObject::GetTypeInfo(std::uint32_t, LCID, ITypeInfo** out) noexcept {
    *out = nullptr;
    return plat::E_NOTIMPL;
}

HRESULT THostObject::GetIDsOfNames(const TGUID&, const char16_t* const* names, std::uint32_t, LCID,
                                   DISPID* ids) noexcept {
    for (const auto& [n, id] : KMembers)
        if (plat::IdentEquals(n, names[0])) {
            ids[0] = id;
            return plat::S_OK;
        }
    ids[0] = plat::DISPID_UNKNOWN;
    return plat::DISP_E_UNKNOWNNAME;
}

HRESULT THostObject::Invoke(DISPID id, const TGUID&, LCID, std::uint16_t flags, plat::DISPPARAMS* params,
                            Variant* result, EXCEPINFO* excep, std::uint32_t*) noexcept {
    const std::uint32_t n = params ? params->cArgs : 0;
    const bool put = Has(flags, plat::DISPATCH_PROPERTYPUT);
    const bool get = Has(flags, plat::DISPATCH_PROPERTYGET);
    const bool method = Has(flags, plat::DISPATCH_METHOD);
    return plat::SafeCallInvoke(
        [&]() -> HRESULT {
            switch (id) {
                case idName:
                    if (put && n == 1) {
                        Name = plat::VarToUString(params->rgvarg[0]);
                        return plat::S_OK;
                    }
                    if (get && n == 0) {
                        if (result) *result = Variant(Name);
                        return plat::S_OK;
                    }
                    return plat::DISP_E_MEMBERNOTFOUND;
                case idGreeting:
                    if (!get || n != 0) return plat::DISP_E_MEMBERNOTFOUND;
                    if (result) *result = Variant(u"hello");
                    return plat::S_OK;
                case idItem:
                    if (!(get || method) || n != 1) return plat::DISP_E_BADPARAMCOUNT;
                    if (result) *result = Variant(UString(u"item") + plat::VarToUString(params->rgvarg[0]));
                    return plat::S_OK;
                case idTwice:
                case idBump:
                case idFail:
                    if (!method) return plat::DISP_E_MEMBERNOTFOUND;
                    if (id == idFail) plat::Throw<plat::Exception>(UString(u"Host failure"));
                    if (n != 1) return plat::DISP_E_BADPARAMCOUNT;
                    if (id == idTwice) {
                        Variant r;
                        plat::VarBinaryOp(r, params->rgvarg[0], params->rgvarg[0], plat::VarOp::Add);
                        if (result) *result = std::move(r);
                    } else {
                        Variant r;
                        plat::VarBinaryOp(r, params->rgvarg[0], Variant(1), plat::VarOp::Add);
                        if (params->rgvarg[0].VType == plat::varRefVariant)
                            static_cast<Variant*>(params->rgvarg[0].VPointer)->DerefMut() = r;
                        if (result) *result = std::move(r);
                    }
                    return plat::S_OK;
                default: return plat::DISP_E_MEMBERNOTFOUND;
            }
        },
        excep, u"Test host");
}

// ---- driver ------------------------------------------------------------------------------------

HRESULT TEngineDriver::Create(std::u16string_view AProgId) {
    plat::TGUID clsid;
    HRESULT hr = plat::CLSIDFromProgID(AProgId, clsid);
    if (plat::Failed(hr)) return hr;
    ComPtr<IUnknown> obj;
    hr = plat::CoCreateInstance(clsid, plat::IID_IUnknown, obj.PutVoid());
    if (plat::Failed(hr)) return hr;
    Script = obj.As<IActiveScript>();
    Parse = obj.As<IActiveScriptParse>();
    if (!Script || !Parse) return plat::E_NOINTERFACE;
    Site = ComPtr<TTestSite>(new TTestSite());
    hr = Parse->InitNew();
    if (plat::Failed(hr)) return hr;
    return Script->SetScriptSite(Site.Get());
}

HRESULT TEngineDriver::Load(const UString& AText) {
    return Parse->ParseScriptText(AText.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr);
}

HRESULT TEngineDriver::Start() {
    HRESULT hr = Script->SetScriptState(SCRIPTSTATE_STARTED);
    if (plat::Succeeded(hr)) hr = Script->GetScriptDispatch(nullptr, Globals.Put());
    return hr;
}

Variant TEngineDriver::Call(const UString& AName, std::vector<Variant> AArgs) {
    return plat::DispCall(Globals.Get(), AName, std::span<const Variant>(AArgs));
}

Variant TEngineDriver::CallByRef(const UString& AName, std::vector<Variant>& AArgs) {
    std::vector<Variant> refs;
    for (Variant& a : AArgs) refs.push_back(Variant::RefTo(&a));
    return plat::DispCall(Globals.Get(), AName, std::span<const Variant>(refs));
}

Variant TEngineDriver::Read(const UString& AName) { return plat::DispGet(Globals.Get(), AName); }

void TEngineDriver::Write(const UString& AName, const Variant& AValue) { plat::DispPut(Globals.Get(), AName, AValue); }

HRESULT TEngineDriver::Eval(const UString& AExpr, Variant& AResult) {
    return Parse->ParseScriptText(AExpr.c_str(), nullptr, nullptr, nullptr, 0, 0, SCRIPTTEXT_ISEXPRESSION, &AResult,
                                  nullptr);
}

HRESULT TEngineDriver::Exec(const UString& AStmt) {
    Variant ignored;
    return Parse->ParseScriptText(AStmt.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, &ignored, nullptr);
}

std::string TEngineDriver::LastError() const {
    if (!Site->LastError) return "(no error)";
    EXCEPINFO info;
    Site->LastError->GetExceptionInfo(&info);
    std::uint64_t ctx = 0;
    std::uint32_t line = 0;
    std::int32_t pos = 0;
    Site->LastError->GetSourcePosition(&ctx, &line, &pos);
    return info.description.ToUtf8() + " @" + std::to_string(line) + ":" + std::to_string(pos);
}

void TEngineDriver::Close() {
    Globals = nullptr;
    if (Script) Script->Close();
}

}  // namespace xan::as::test
