#include "platform/ole/TypeInfo.h"

#include "platform/core/CharCase.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/OleError.h"

namespace xan::plat {

// ---- TTypeInfoBase: the "not implemented" defaults ----

std::span<const TInterfacedObject::InterfaceEntry> TTypeInfoBase::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TTypeInfoBase, ITypeInfo>()};
    return table;
}

HRESULT TTypeInfoBase::GetTypeAttr(TYPEATTR** out) noexcept {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT TTypeInfoBase::GetFuncDesc(std::uint32_t, FUNCDESC** out) noexcept {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT TTypeInfoBase::GetVarDesc(std::uint32_t, VARDESC** out) noexcept {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT TTypeInfoBase::GetNames(MEMBERID, UString*, std::uint32_t, std::uint32_t* count) noexcept {
    if (count) *count = 0;
    return E_NOTIMPL;
}

HRESULT TTypeInfoBase::GetIDsOfNames(const char16_t* const*, std::uint32_t count, MEMBERID* ids) noexcept {
    if (ids)
        for (std::uint32_t i = 0; i < count; ++i) ids[i] = MEMBERID_NIL;
    return E_NOTIMPL;
}

HRESULT TTypeInfoBase::GetDocumentation(MEMBERID, UString* name, UString* doc, std::uint32_t* helpContext,
                                        UString* helpFile) noexcept {
    if (name) *name = UString();
    if (doc) *doc = UString();
    if (helpContext) *helpContext = 0;
    if (helpFile) *helpFile = UString();
    return E_NOTIMPL;
}

// ---- TMemberTypeInfo ----

const TypeMember* TMemberTypeInfo::Find(MEMBERID memid) const noexcept {
    for (const TypeMember& m : members_)
        if (m.memid == memid) return &m;
    return nullptr;
}

HRESULT TMemberTypeInfo::GetTypeAttr(TYPEATTR** out) noexcept {
    if (!out) return E_INVALIDARG;
    return SafeCall([&] {
        auto* attr = new TYPEATTR;
        attr->typekind = TKIND_DISPATCH;
        attr->cFuncs = static_cast<std::uint16_t>(members_.size());
        attr->wTypeFlags = TYPEFLAG_FDISPATCHABLE | TYPEFLAG_FNONEXTENSIBLE;
        *out = attr;
    });
}

HRESULT TMemberTypeInfo::GetFuncDesc(std::uint32_t index, FUNCDESC** out) noexcept {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (index >= members_.size()) return E_INVALIDARG;
    const TypeMember& m = members_[index];
    return SafeCall([&] {
        auto* desc = new FUNCDESC;
        desc->memid = m.memid;
        desc->invkind = m.invokeKind;
        desc->cParams = m.paramCount;
        desc->elemdescFunc.vt = m.resultType;
        *out = desc;
    });
}

HRESULT TMemberTypeInfo::GetNames(MEMBERID memid, UString* names, std::uint32_t maxNames,
                                  std::uint32_t* count) noexcept {
    if (!count || (maxNames && !names)) return E_INVALIDARG;
    *count = 0;
    const TypeMember* m = Find(memid);
    if (!m) return TYPE_E_ELEMENTNOTFOUND;
    if (maxNames) {
        names[0] = m->name;
        *count = 1;
    }
    return S_OK;
}

HRESULT TMemberTypeInfo::GetIDsOfNames(const char16_t* const* names, std::uint32_t count, MEMBERID* ids) noexcept {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (std::uint32_t i = 1; i < count; ++i) ids[i] = MEMBERID_NIL;  // named parameters: none known
    for (const TypeMember& m : members_)
        if (IdentEquals(m.name.view(), names[0])) {
            ids[0] = m.memid;
            return S_OK;
        }
    ids[0] = MEMBERID_NIL;
    return DISP_E_UNKNOWNNAME;
}

HRESULT TMemberTypeInfo::GetDocumentation(MEMBERID memid, UString* name, UString* doc, std::uint32_t* helpContext,
                                          UString* helpFile) noexcept {
    const TypeMember* m = Find(memid);
    if (!m) {
        TTypeInfoBase::GetDocumentation(memid, name, doc, helpContext, helpFile);
        return TYPE_E_ELEMENTNOTFOUND;
    }
    if (name) *name = m->name;
    if (doc) *doc = m->doc;
    if (helpContext) *helpContext = 0;
    if (helpFile) *helpFile = UString();
    return S_OK;
}

// ---- listing properties ----

namespace {

VarType ResolvedType(const TYPEDESC& td) noexcept {
    const TYPEDESC* t = &td;
    while (t->vt == VT_PTR && t->pointee) t = t->pointee;
    return t->vt == VT_USERDEFINED ? static_cast<VarType>(varDispatch) : t->vt;
}

// The property described by function `index`, when it is a readable property-get with one
// name that maps back to its id.
void ReadProperty(ITypeInfo& ti, std::uint32_t index, std::vector<DispProperty>& out) {
    FUNCDESC* fd = nullptr;
    if (Failed(ti.GetFuncDesc(index, &fd)) || !fd) return;
    struct Releaser {
        ITypeInfo& ti;
        FUNCDESC* fd;
        ~Releaser() { ti.ReleaseFuncDesc(fd); }
    } releaser{ti, fd};
    if (!(fd->invkind & INVOKE_PROPERTYGET)) return;
    UString name;
    std::uint32_t count = 0;
    if (Failed(ti.GetNames(fd->memid, &name, 1, &count)) || count != 1) return;
    const char16_t* names[] = {name.c_str()};
    MEMBERID back = MEMBERID_NIL;
    if (Failed(ti.GetIDsOfNames(names, 1, &back)) || back != fd->memid) return;
    out.push_back({name, fd->memid, ResolvedType(fd->elemdescFunc), fd->cParams});
}

}  // namespace

std::vector<DispProperty> ListDispatchProperties(IDispatch* obj) {
    std::vector<DispProperty> out;
    if (!obj) return out;
    ComPtr<ITypeInfo> ti;
    if (Failed(obj->GetTypeInfo(0, 0, ti.Put())) || !ti) return out;
    TYPEATTR* attr = nullptr;
    if (Failed(ti->GetTypeAttr(&attr)) || !attr) return out;
    const std::uint32_t funcs = attr->cFuncs;
    ti->ReleaseTypeAttr(attr);
    for (std::uint32_t i = 0; i < funcs; ++i) ReadProperty(*ti, i, out);
    return out;
}

}  // namespace xan::plat
