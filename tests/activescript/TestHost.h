#pragma once
// What the engine tests host scripts with: a site that hands out named objects and keeps the
// last error, a host object with a property, methods, a by-reference method and a default
// member, and a driver for one engine.
#include <map>
#include <string>
#include <vector>

#include "activescript/ActiveScript.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/InterfacedObject.h"

namespace xan::as::test {

using plat::ComPtr;
using plat::HRESULT;
using plat::UString;
using plat::Variant;

class TTestSite : public plat::TInterfacedObject, public IActiveScriptSite {
    XAN_CLASS(TTestSite, plat::TInterfacedObject)
    std::map<std::u16string, ComPtr<IDispatch>> Items;
    ComPtr<IActiveScriptError> LastError;
    int Errors = 0;

    HRESULT GetLCID(LCID* locale) noexcept override;
    HRESULT GetItemInfo(const char16_t* name, std::uint32_t mask, IUnknown** item, ITypeInfo** typeInfo) noexcept override;
    HRESULT GetDocVersionString(UString*) noexcept override { return plat::E_NOTIMPL; }
    HRESULT OnScriptTerminate(const Variant*, const EXCEPINFO*) noexcept override { return plat::S_OK; }
    HRESULT OnStateChange(SCRIPTSTATE) noexcept override { return plat::S_OK; }
    HRESULT OnScriptError(IActiveScriptError* error) noexcept override;
    HRESULT OnEnterScript() noexcept override { return plat::S_OK; }
    HRESULT OnLeaveScript() noexcept override { return plat::S_OK; }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;
};

// Members: Name (property), Twice(x) (method), Bump(ref x) (adds 1 to its argument and answers
// the new value), Item(i) (default member: "item" & i), Fail() (raises "Host failure"),
// Greeting (read-only property "hello").
class THostObject : public plat::TInterfacedObject, public IDispatch {
    XAN_CLASS(THostObject, plat::TInterfacedObject)
    UString Name = UString(u"initial");

    HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override;
    HRESULT GetTypeInfo(std::uint32_t, LCID, ITypeInfo** out) noexcept override;
    HRESULT GetIDsOfNames(const TGUID&, const char16_t* const* names, std::uint32_t count, LCID,
                          DISPID* ids) noexcept override;
    HRESULT Invoke(DISPID id, const TGUID&, LCID, std::uint16_t flags, plat::DISPPARAMS* params, Variant* result,
                   EXCEPINFO* excep, std::uint32_t* argErr) noexcept override;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;
};

// One engine driven through the service's interfaces.
struct TEngineDriver {
    ComPtr<IActiveScript> Script;
    ComPtr<IActiveScriptParse> Parse;
    ComPtr<TTestSite> Site;
    ComPtr<IDispatch> Globals;

    // Creates the engine by program identifier (the registry answers the failure code).
    HRESULT Create(std::u16string_view AProgId);
    HRESULT Load(const UString& AText);
    HRESULT Start();
    // Through the script dispatch object; a failure code is raised as EOleSysError.
    Variant Call(const UString& AName, std::vector<Variant> AArgs);
    // Call with by-reference arguments: AArgs are passed as references to themselves.
    Variant CallByRef(const UString& AName, std::vector<Variant>& AArgs);
    Variant Read(const UString& AName);
    void Write(const UString& AName, const Variant& AValue);
    HRESULT Eval(const UString& AExpr, Variant& AResult);
    HRESULT Exec(const UString& AStmt);
    // The last error's description, line and position, as "description @line:pos".
    std::string LastError() const;
    void Close();
};

std::string Utf8(const UString& s);
// The array [1, "a", True] and an array's elements as "1|a|True".
Variant MakeArrayForTest();
std::string ArrayTextForTest(const Variant& AArray);

}  // namespace xan::as::test
