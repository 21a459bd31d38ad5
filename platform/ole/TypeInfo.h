#pragma once
// A reduced ITypeInfo: what the engine asks of type information (listing an object's members
// for the debugger) and what wrappers produce. Descriptions are allocated by the type
// information and handed back through the matching Release… call.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/ole/ComIntf.h"
#include "platform/ole/InterfacedObject.h"

namespace xan::plat {

using MEMBERID = DISPID;
inline constexpr MEMBERID MEMBERID_NIL = -1;

enum TYPEKIND : std::uint32_t {
    TKIND_ENUM = 0,
    TKIND_RECORD = 1,
    TKIND_MODULE = 2,
    TKIND_INTERFACE = 3,
    TKIND_DISPATCH = 4,
    TKIND_COCLASS = 5,
    TKIND_ALIAS = 6,
    TKIND_UNION = 7,
};
enum FUNCKIND : std::uint32_t { FUNC_VIRTUAL = 0, FUNC_PUREVIRTUAL = 1, FUNC_NONVIRTUAL = 2, FUNC_STATIC = 3, FUNC_DISPATCH = 4 };
enum INVOKEKIND : std::uint32_t {
    INVOKE_FUNC = 1,
    INVOKE_PROPERTYGET = 2,
    INVOKE_PROPERTYPUT = 4,
    INVOKE_PROPERTYPUTREF = 8,
};
enum VARKIND : std::uint32_t { VAR_PERINSTANCE = 0, VAR_STATIC = 1, VAR_CONST = 2, VAR_DISPATCH = 3 };

inline constexpr std::uint16_t TYPEFLAG_FNONEXTENSIBLE = 0x80;
inline constexpr std::uint16_t TYPEFLAG_FDISPATCHABLE = 0x1000;

// Type codes that only type descriptions use.
inline constexpr VarType VT_HRESULT = 25;
inline constexpr VarType VT_PTR = 26;
inline constexpr VarType VT_USERDEFINED = 29;

struct TYPEDESC {
    VarType vt = varEmpty;
    const TYPEDESC* pointee = nullptr;  // what a VT_PTR points to
};

struct TYPEATTR {
    TGUID guid{};
    LCID lcid = 0;
    MEMBERID memidConstructor = MEMBERID_NIL;
    MEMBERID memidDestructor = MEMBERID_NIL;
    TYPEKIND typekind = TKIND_DISPATCH;
    std::uint16_t cFuncs = 0;
    std::uint16_t cVars = 0;
    std::uint16_t cImplTypes = 0;
    std::uint16_t wTypeFlags = 0;
};

struct FUNCDESC {
    MEMBERID memid = MEMBERID_NIL;
    FUNCKIND funckind = FUNC_DISPATCH;
    INVOKEKIND invkind = INVOKE_FUNC;
    std::int16_t cParams = 0;
    std::int16_t cParamsOpt = 0;
    TYPEDESC elemdescFunc;  // the result type
    std::uint16_t wFuncFlags = 0;
};

struct VARDESC {
    MEMBERID memid = MEMBERID_NIL;
    VARKIND varkind = VAR_DISPATCH;
    TYPEDESC elemdescVar;
    std::uint16_t wVarFlags = 0;
};


struct ITypeInfo : virtual IUnknown {
    static constexpr const TGUID& IID = IID_ITypeInfo;
    virtual HRESULT GetTypeAttr(TYPEATTR** out) noexcept = 0;
    virtual HRESULT GetFuncDesc(std::uint32_t index, FUNCDESC** out) noexcept = 0;
    virtual HRESULT GetVarDesc(std::uint32_t index, VARDESC** out) noexcept = 0;
    // Up to `maxNames` names of the member (its own name first); *count tells how many.
    virtual HRESULT GetNames(MEMBERID memid, UString* names, std::uint32_t maxNames, std::uint32_t* count) noexcept = 0;
    virtual HRESULT GetIDsOfNames(const char16_t* const* names, std::uint32_t count, MEMBERID* ids) noexcept = 0;
    // Any output may be null.
    virtual HRESULT GetDocumentation(MEMBERID memid, UString* name, UString* doc, std::uint32_t* helpContext,
                                     UString* helpFile) noexcept = 0;
    virtual void ReleaseTypeAttr(TYPEATTR* attr) noexcept = 0;
    virtual void ReleaseFuncDesc(FUNCDESC* desc) noexcept = 0;
    virtual void ReleaseVarDesc(VARDESC* desc) noexcept = 0;
};

// A base for type information implementations: every operation answers E_NOTIMPL with
// cleared outputs, and the Release… calls free descriptions made with `new`.
class TTypeInfoBase : public TInterfacedObject, public ITypeInfo {
    XAN_CLASS(TTypeInfoBase, TInterfacedObject)
    HRESULT GetTypeAttr(TYPEATTR** out) noexcept override;
    HRESULT GetFuncDesc(std::uint32_t index, FUNCDESC** out) noexcept override;
    HRESULT GetVarDesc(std::uint32_t index, VARDESC** out) noexcept override;
    HRESULT GetNames(MEMBERID memid, UString* names, std::uint32_t maxNames, std::uint32_t* count) noexcept override;
    HRESULT GetIDsOfNames(const char16_t* const* names, std::uint32_t count, MEMBERID* ids) noexcept override;
    HRESULT GetDocumentation(MEMBERID memid, UString* name, UString* doc, std::uint32_t* helpContext,
                             UString* helpFile) noexcept override;
    void ReleaseTypeAttr(TYPEATTR* attr) noexcept override { delete attr; }
    void ReleaseFuncDesc(FUNCDESC* desc) noexcept override { delete desc; }
    void ReleaseVarDesc(VARDESC* desc) noexcept override { delete desc; }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;
};

// One member of a dispatch interface, as TMemberTypeInfo describes it.
struct TypeMember {
    UString name;
    MEMBERID memid = MEMBERID_NIL;
    INVOKEKIND invokeKind = INVOKE_FUNC;
    std::int16_t paramCount = 0;
    VarType resultType = varEmpty;  // 0: no result
    UString doc;
};

// Type information of a dispatch interface given as a member table: one function
// description per member, names looked up without regard to case.
class TMemberTypeInfo : public TTypeInfoBase {
    XAN_CLASS(TMemberTypeInfo, TTypeInfoBase)
    TMemberTypeInfo() = default;
    explicit TMemberTypeInfo(std::vector<TypeMember> members) : members_(std::move(members)) {}

    HRESULT GetTypeAttr(TYPEATTR** out) noexcept override;
    HRESULT GetFuncDesc(std::uint32_t index, FUNCDESC** out) noexcept override;
    HRESULT GetNames(MEMBERID memid, UString* names, std::uint32_t maxNames, std::uint32_t* count) noexcept override;
    HRESULT GetIDsOfNames(const char16_t* const* names, std::uint32_t count, MEMBERID* ids) noexcept override;
    HRESULT GetDocumentation(MEMBERID memid, UString* name, UString* doc, std::uint32_t* helpContext,
                             UString* helpFile) noexcept override;

private:
    const TypeMember* Find(MEMBERID memid) const noexcept;
    std::vector<TypeMember> members_;
};

// A readable property of a dispatch object, as the debugger lists them.
struct DispProperty {
    UString name;
    DISPID id;
    VarType type;              // pointers followed, user-defined types as varDispatch
    std::int16_t paramCount;   // above 0: an indexed property
};
// The property-get members of `obj` according to its type information, in their order.
// A member whose description or single name cannot be read, or whose name does not map back
// to its id, is left out; no type information (or no attributes) gives an empty list.
std::vector<DispProperty> ListDispatchProperties(IDispatch* obj);

}  // namespace xan::plat
