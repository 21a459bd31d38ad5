// Dispatch calls: argument order, named property puts, by-reference arguments, errors
// reported through EXCEPINFO, interface identity and reference counting, type information.
#include <gtest/gtest.h>

#include "OleTestSupport.h"
#include "platform/core/CharCase.h"

namespace xan::plat {
namespace {

using test::TTestDispatch;

// What a caller does: look the name up, then invoke with the arguments last first.
HRESULT Call(IDispatch* obj, const char16_t* name, std::uint16_t flags, std::vector<Variant> args, Variant* result,
             EXCEPINFO* excep = nullptr, bool namedPut = false) {
    DISPID id;
    const char16_t* names[] = {name};
    const HRESULT found = obj->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    if (Failed(found)) return found;
    std::vector<VarData> block(args.rbegin(), args.rend());  // borrowed, reversed
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{block.data(), namedPut ? &putId : nullptr, static_cast<std::uint32_t>(block.size()),
                      namedPut ? 1u : 0u};
    return obj->Invoke(id, IID_NULL, 0, flags, &params, result, excep, nullptr);
}

TEST(Dispatch, ArgumentsArriveLastFirstAndReadBackInSourceOrder) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    Variant result;
    ASSERT_EQ(Call(obj.Get(), u"join", DISPATCH_METHOD, {Variant(1), Variant(u"two"), Variant(3.5)}, &result), S_OK);
    EXPECT_EQ(result.StrView(), u"1|two|3.5");
}

TEST(Dispatch, PropertyPutNamesItsValueAndGetReadsItBack) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    EXPECT_EQ(Call(obj.Get(), u"Value", DISPATCH_PROPERTYPUT, {Variant(u"stored")}, nullptr, nullptr, true), S_OK);
    Variant got;
    EXPECT_EQ(Call(obj.Get(), u"VALUE", DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, &got), S_OK);
    EXPECT_EQ(got.StrView(), u"stored");
    // A put without the named argument is refused by this object.
    EXPECT_EQ(Call(obj.Get(), u"Value", DISPATCH_PROPERTYPUT, {Variant(1)}, nullptr), DISP_E_PARAMNOTFOUND);
}

TEST(Dispatch, IndexedPutPassesTheValueFirstThenTheIndex) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    // Source order: Item(2) = "x"; the block is value, then the index (last first).
    Variant index(2), value(u"x");
    VarData block[] = {value, index};
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{block, &putId, 2, 1};
    EXPECT_EQ(obj->Invoke(3, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(obj->items[2].StrView(), u"x");
    Variant got;
    EXPECT_EQ(Call(obj.Get(), u"Item", DISPATCH_PROPERTYGET, {Variant(2)}, &got), S_OK);
    EXPECT_EQ(got.StrView(), u"x");
    EXPECT_EQ(Call(obj.Get(), u"Item", DISPATCH_PROPERTYGET, {Variant(9)}, &got), DISP_E_BADINDEX);
}

TEST(Dispatch, ByReferenceArgumentsAreReadThrough) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    Variant slot(u"in a slot");
    Variant result;
    ASSERT_EQ(Call(obj.Get(), u"Join", DISPATCH_METHOD, {Variant::RefTo(&slot), Variant(1)}, &result), S_OK);
    EXPECT_EQ(result.StrView(), u"in a slot|1");
}

TEST(Dispatch, UnknownNamesAnswerMinusOne) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    const char16_t* names[] = {u"Nope", u"Arg"};
    DISPID ids[2] = {7, 7};
    EXPECT_EQ(obj->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST(Dispatch, ExceptionsBecomeExcepInfo) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    EXCEPINFO ei;
    Variant result;
    EXPECT_EQ(Call(obj.Get(), u"Fail", DISPATCH_METHOD, {}, &result, &ei), DISP_E_EXCEPTION);
    EXPECT_EQ(ei.source, u"Test object.");
    EXPECT_EQ(ei.description, u"boom");
    EXPECT_EQ(ei.scode, E_FAIL);
    EXPECT_EQ(Call(obj.Get(), u"Fail", DISPATCH_METHOD, {}, &result, nullptr), DISP_E_EXCEPTION);
    // The type-cast error has a code of its own.
    EXCEPINFO untouched;
    EXPECT_EQ(Call(obj.Get(), u"Cast", DISPATCH_METHOD, {}, &result, &untouched), DISP_E_TYPEMISMATCH);
    EXPECT_TRUE(untouched.description.empty());
    EXPECT_EQ(obj->Invoke(99, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
}

TEST(Dispatch, CallerSideTurnsFailuresIntoExceptions) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    EXCEPINFO ei;
    Variant result;
    const HRESULT hr = Call(obj.Get(), u"Fail", DISPATCH_METHOD, {}, &result, &ei);
    std::unique_ptr<Exception> e = test::RaisedBy([&] { OleCheckInvoke(hr, ei); });
    ASSERT_TRUE(e);
    ASSERT_TRUE(e->Is<EOleException>());
    auto& oe = static_cast<EOleException&>(*e);
    EXPECT_EQ(oe.Message(), u"boom");
    EXPECT_EQ(oe.ErrorCode, E_FAIL);
    EXPECT_EQ(oe.Source, u"Test object.");
}

TEST(DispatchIdentity, QueryInterfaceAnswersOneIdentity) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    ComPtr<IDispatch> disp = obj.As<IDispatch>();
    ComPtr<IUnknown> unk = obj.As<IUnknown>();
    ASSERT_TRUE(disp);
    ASSERT_TRUE(unk);
    EXPECT_EQ(static_cast<IDispatch*>(obj.Get()), disp.Get());
    EXPECT_TRUE(SameObject(disp.Get(), unk.Get()));
    EXPECT_EQ(obj->RefCount(), 3);
    ComPtr<ITypeInfo> none = obj.As<ITypeInfo>();
    EXPECT_FALSE(none);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(obj->QueryInterface(IID_ITypeInfo, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(obj->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    ComPtr<TTestDispatch> other(new TTestDispatch);
    EXPECT_FALSE(SameObject(obj.Get(), other.Get()));
}

TEST(DispatchIdentity, ComPtrBalancesReferences) {
    const int live = test::gLiveTestObjects;
    {
        ComPtr<TTestDispatch> a(new TTestDispatch);
        ComPtr<TTestDispatch> b = a;
        ComPtr<TTestDispatch> c = std::move(b);
        EXPECT_FALSE(b);
        EXPECT_EQ(a->RefCount(), 2);
        ComPtr<IDispatch> d = a;  // converting copy
        EXPECT_EQ(a->RefCount(), 3);
        IDispatch* raw = d.Detach();
        EXPECT_EQ(a->RefCount(), 3);
        ComPtr<IDispatch> back = ComPtr<IDispatch>::Attach(raw);
        back = nullptr;
        EXPECT_EQ(a->RefCount(), 2);
        c = a;  // self-share
        EXPECT_EQ(a->RefCount(), 2);
    }
    EXPECT_EQ(test::gLiveTestObjects, live);
}

TEST(DispatchTypeInfo, MembersAreListedForTheDebugger) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    const std::vector<DispProperty> props = ListDispatchProperties(obj.Get());
    ASSERT_EQ(props.size(), 2u);
    EXPECT_EQ(props[0].name, u"Value");
    EXPECT_EQ(props[0].id, 1);
    EXPECT_EQ(props[0].type, varVariant);
    EXPECT_EQ(props[0].paramCount, 0);
    EXPECT_EQ(props[1].name, u"Item");
    EXPECT_EQ(props[1].id, 3);
    EXPECT_EQ(props[1].paramCount, 1);
    EXPECT_EQ(obj->RefCount(), 1);  // the type information went away again
}

TEST(DispatchTypeInfo, MemberTableAnswers) {
    ComPtr<ITypeInfo> ti(new TMemberTypeInfo({{u"Name", 5, INVOKE_PROPERTYGET, 0, varOleStr, u"doc text"},
                                              {u"Run", 6, INVOKE_FUNC, 2, varEmpty, {}}}));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(ti->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->cFuncs, 2);
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    EXPECT_EQ(attr->wTypeFlags, 4224);
    EXPECT_EQ(attr->memidConstructor, MEMBERID_NIL);
    ti->ReleaseTypeAttr(attr);
    FUNCDESC* fd = nullptr;
    ASSERT_EQ(ti->GetFuncDesc(1, &fd), S_OK);
    EXPECT_EQ(fd->memid, 6);
    EXPECT_EQ(fd->invkind, INVOKE_FUNC);
    EXPECT_EQ(fd->cParams, 2);
    EXPECT_EQ(fd->funckind, FUNC_DISPATCH);
    ti->ReleaseFuncDesc(fd);
    EXPECT_EQ(ti->GetFuncDesc(2, &fd), E_INVALIDARG);
    EXPECT_EQ(fd, nullptr);
    const char16_t* names[] = {u"run", u"extra"};
    MEMBERID ids[2];
    EXPECT_EQ(ti->GetIDsOfNames(names, 2, ids), S_OK);
    EXPECT_EQ(ids[0], 6);
    EXPECT_EQ(ids[1], MEMBERID_NIL);
    const char16_t* unknown[] = {u"zzz"};
    EXPECT_EQ(ti->GetIDsOfNames(unknown, 1, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ti->GetIDsOfNames(unknown, 0, ids), E_INVALIDARG);
    UString name, doc;
    std::uint32_t count = 0;
    EXPECT_EQ(ti->GetNames(5, &name, 1, &count), S_OK);
    EXPECT_EQ(name, u"Name");
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(ti->GetNames(77, &name, 1, &count), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(ti->GetDocumentation(5, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(doc, u"doc text");
    VARDESC* vd = nullptr;
    EXPECT_EQ(ti->GetVarDesc(0, &vd), E_NOTIMPL);
    EXPECT_EQ(vd, nullptr);
}

TEST(DispatchTypeInfo, MembersWhoseNamesDoNotMapBackAreLeftOut) {
    EXPECT_TRUE(ListDispatchProperties(nullptr).empty());
    // "Lost" maps to another id; "Ptr" returns a pointer to a user-defined type.
    struct TOddNames : TMemberTypeInfo {
        using TMemberTypeInfo::TMemberTypeInfo;
        HRESULT GetIDsOfNames(const char16_t* const* names, std::uint32_t count, MEMBERID* ids) noexcept override {
            const HRESULT hr = TMemberTypeInfo::GetIDsOfNames(names, count, ids);
            if (IdentEquals(names[0], u"Lost")) ids[0] = 999;
            return hr;
        }
        HRESULT GetFuncDesc(std::uint32_t index, FUNCDESC** out) noexcept override {
            const HRESULT hr = TMemberTypeInfo::GetFuncDesc(index, out);
            if (Succeeded(hr) && (*out)->memid == 3) {
                static const TYPEDESC user{VT_USERDEFINED, nullptr};
                (*out)->elemdescFunc = TYPEDESC{VT_PTR, &user};
            }
            return hr;
        }
    };
    struct TObj : TTestDispatch {
        HRESULT GetTypeInfo(std::uint32_t, LCID, ITypeInfo** out) noexcept override {
            ComPtr<ITypeInfo> ti(new TOddNames({{u"Lost", 1, INVOKE_PROPERTYGET, 0, varInteger, {}},
                                                {u"Kept", 2, INVOKE_PROPERTYGET, 0, VT_HRESULT, {}},
                                                {u"Ptr", 3, INVOKE_PROPERTYGET, 0, varEmpty, {}}}));
            *out = ti.Detach();
            return S_OK;
        }
    };
    ComPtr<TObj> obj(new TObj);
    const std::vector<DispProperty> props = ListDispatchProperties(obj.Get());
    ASSERT_EQ(props.size(), 2u);
    EXPECT_EQ(props[0].name, u"Kept");
    EXPECT_EQ(props[0].type, VT_HRESULT);
    EXPECT_EQ(props[1].name, u"Ptr");
    EXPECT_EQ(props[1].type, varDispatch);
    // No type information at all: nothing to list.
    struct TNoInfo : TTestDispatch {
        HRESULT GetTypeInfo(std::uint32_t, LCID, ITypeInfo** out) noexcept override {
            *out = nullptr;
            return E_NOTIMPL;
        }
    };
    ComPtr<TNoInfo> bare(new TNoInfo);
    EXPECT_TRUE(ListDispatchProperties(bare.Get()).empty());
}

TEST(DispatchParams, ArgIndexesFromTheEnd) {
    Variant a(1), b(2), c(3);
    VarData block[] = {c, b, a};
    DISPPARAMS p{block, nullptr, 3, 0};
    EXPECT_EQ(p.Arg(0).VInteger, 1);
    EXPECT_EQ(p.Arg(2).VInteger, 3);
}

}  // namespace
}  // namespace xan::plat

#include "platform/ole/DispatchCall.h"

namespace xan::plat {
namespace {

TEST(DispatchCall, ByNameHelpers) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    IDispatch* d = obj.Get();
    EXPECT_EQ(DispCall(d, u"Join", {Variant(1), Variant(u"b")}).StrView(), u"1|b");
    DispPut(d, u"value", Variant(7));
    EXPECT_EQ(DispGet(d, u"Value").VInteger, 7);
    const Variant idx(1);
    DispPut(d, u"Item", Variant(u"at one"), std::span<const Variant>(&idx, 1));
    EXPECT_EQ(DispGet(d, u"Item", std::span<const Variant>(&idx, 1)).StrView(), u"at one");
    EXPECT_EQ(obj->flagsSeen.back(), DISPATCH_PROPERTYGET | DISPATCH_METHOD);
}

TEST(DispatchCall, FailuresRaise) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    std::unique_ptr<Exception> e = test::RaisedBy([&] { DispCall(obj.Get(), u"Missing"); });
    ASSERT_TRUE(e && e->Is<EOleSysError>());
    EXPECT_EQ(static_cast<EOleSysError&>(*e).ErrorCode, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(e->Message(), u"Unknown name.");
    e = test::RaisedBy([&] { DispCall(obj.Get(), u"Fail"); });
    ASSERT_TRUE(e && e->Is<EOleException>());
    EXPECT_EQ(e->Message(), u"boom");
    const Variant bad(9);
    e = test::RaisedBy([&] { DispGet(obj.Get(), u"Item", std::span<const Variant>(&bad, 1)); });
    ASSERT_TRUE(e && e->Is<EOleSysError>());
    EXPECT_EQ(e->Message(), u"Invalid index.");
    e = test::RaisedBy([&] { DispGet(nullptr, u"Value"); });
    ASSERT_TRUE(e && e->Is<EOleSysError>());
    EXPECT_EQ(static_cast<EOleSysError&>(*e).ErrorCode, E_POINTER);
}

}  // namespace
}  // namespace xan::plat
