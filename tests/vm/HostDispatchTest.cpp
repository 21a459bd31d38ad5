#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/ole/HResult.h"
#include "platform/ole/SafeArray.h"
#include "vm/interp/HostDispatch.h"
#include "vm/interp/VMErrors.h"

namespace xan {
namespace {

using plat::UString;
using plat::Variant;

template <class F>
UString Raised(F&& f) {
    try {
        f();
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        return e->Message();
    }
    return u"<nothing raised>";
}

// Records the last invocation and answers a fixed code; member 5 writes 77 through a
// by-reference first argument.
class RecordingHost final : public plat::IDispatch {
public:
    plat::HRESULT Answer = plat::S_OK;
    plat::EXCEPINFO Excep;
    std::uint16_t Flags = 0;
    std::uint32_t ArgCount = 0, NamedCount = 0;
    std::vector<std::int32_t> ArgsAsWritten;

    plat::HRESULT QueryInterface(const plat::TGUID&, void** out) noexcept override {
        *out = nullptr;
        return plat::E_NOINTERFACE;
    }
    std::uint32_t AddRef() noexcept override { return 2; }
    std::uint32_t Release() noexcept override { return 1; }
    plat::HRESULT GetTypeInfoCount(std::uint32_t*) noexcept override { return plat::E_NOTIMPL; }
    plat::HRESULT GetTypeInfo(std::uint32_t, plat::LCID, plat::ITypeInfo**) noexcept override { return plat::E_NOTIMPL; }
    plat::HRESULT GetIDsOfNames(const plat::TGUID&, const char16_t* const*, std::uint32_t, plat::LCID,
                                plat::DISPID*) noexcept override {
        return plat::DISP_E_UNKNOWNNAME;
    }
    plat::HRESULT Invoke(plat::DISPID id, const plat::TGUID&, plat::LCID, std::uint16_t flags, plat::DISPPARAMS* p,
                         Variant* result, plat::EXCEPINFO* excep, std::uint32_t*) noexcept override {
        Flags = flags;
        ArgCount = p->cArgs;
        NamedCount = p->cNamedArgs;
        ArgsAsWritten.clear();
        for (std::uint32_t i = 0; i < p->cArgs; ++i) ArgsAsWritten.push_back(plat::VarToInt32(p->Arg(i)));
        if (id == 5) static_cast<Variant*>(p->Arg(0).VPointer)->SetInteger(77);
        if (result) result->SetInteger(static_cast<std::int32_t>(p->cArgs));
        if (excep) *excep = Excep;
        return Answer;
    }
};

std::vector<Variant> Numbers(int n) {
    std::vector<Variant> v;
    for (int i = 0; i < n; ++i) v.emplace_back(i + 1);
    return v;
}

TEST(XANInvokeHostMember, PassesArgumentsLastFirstAndChoosesTheKindByBracket) {
    RecordingHost host;
    auto args = Numbers(3);
    Variant result;
    XANInvokeHostMember(&host, 1, bkNon, 0xFFFFFFFF, 3, args.data(), result);
    EXPECT_EQ(host.ArgsAsWritten, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(host.Flags, plat::DISPATCH_METHOD | plat::DISPATCH_PROPERTYGET);
    EXPECT_EQ(plat::VarToInt32(result), 3);
    XANInvokeHostMember(&host, 1, bkRound, 0, 0, nullptr, result);
    EXPECT_EQ(host.Flags, plat::DISPATCH_METHOD);
    XANInvokeHostMember(&host, 1, bkBlock, 0, 0, nullptr, result);
    EXPECT_EQ(host.Flags, plat::DISPATCH_PROPERTYGET);
}

TEST(XANInvokeHostMember, SixtyThreeArgumentsPassSixtyFourDoNot) {
    RecordingHost host;
    auto args = Numbers(64);
    Variant result;
    XANInvokeHostMember(&host, 1, bkRound, 0xFFFFFFFF, 63, args.data(), result);
    EXPECT_EQ(host.ArgCount, 63u);
    EXPECT_EQ(Raised([&] { XANInvokeHostMember(&host, 1, bkRound, 0, 64, args.data(), result); }),
              u"Invalid argument count");
    EXPECT_EQ(Raised([&] { XANHostPropPut(&host, 1, bkBlock, 63, args.data(), args[63]); }), u"Invalid argument count");
}

TEST(XANInvokeHostMember, ReferenceSlotsLetTheHostWriteThrough) {
    RecordingHost host;
    Variant target(1);
    Variant slot = Variant::RefTo(&target);
    Variant result;
    XANInvokeHostMember(&host, 5, bkRound, 0, 1, &slot, result);
    EXPECT_EQ(plat::VarToInt32(target), 77);
}

TEST(XANHostPropPut, SendsTheValueFirstAsTheNamedPutArgument) {
    RecordingHost host;
    auto args = Numbers(2);
    Variant value(9);
    XANHostPropPut(&host, 1, bkBlock, 2, args.data(), value);
    EXPECT_EQ(host.Flags, plat::DISPATCH_PROPERTYPUT | plat::DISPATCH_PROPERTYPUTREF);
    EXPECT_EQ(host.NamedCount, 1u);
    EXPECT_EQ(host.ArgsAsWritten, (std::vector<std::int32_t>{1, 2, 9}));
    EXPECT_EQ(Raised([&] { XANHostPropPut(&host, 1, bkRound, 0, nullptr, value); }), u"Invalid assignment");
}

TEST(XANInvokeHostMember, FailureCodesBecomeRuntimeErrors) {
    RecordingHost host;
    Variant result;
    auto call = [&] { XANInvokeHostMember(&host, 1, bkNon, 0, 0, nullptr, result); };
    host.Answer = plat::DISP_E_TYPEMISMATCH;
    EXPECT_EQ(Raised(call), u"Invalid type cast or type mismatch");
    host.Answer = plat::DISP_E_BADPARAMCOUNT;
    EXPECT_EQ(Raised(call), u"Invalid argument count");
    host.Answer = plat::DISP_E_EXCEPTION;
    host.Excep.description = u"host says no";
    EXPECT_EQ(Raised(call), u"host says no");
    host.Excep.description = UString();
    host.Excep.scode = static_cast<plat::HRESULT>(0x80041234u);
    EXPECT_EQ(Raised(call), u"OLE error 80041234");
    host.Excep.scode = plat::E_FAIL;
    EXPECT_EQ(Raised(call), plat::SysErrorText(plat::E_FAIL));
}

TEST(EXANVMRuntime, RaiseErrorFromACodeReleasesTheRecordWhenAsked) {
    plat::EXCEPINFO excep;
    excep.description = u"text";
    excep.source = u"src";
    EXPECT_EQ(Raised([&] { EXANVMRuntime::RaiseError(plat::DISP_E_EXCEPTION, excep, false); }), u"text");
    EXPECT_EQ(excep.source, u"src");
    EXPECT_EQ(Raised([&] { EXANVMRuntime::RaiseError(plat::DISP_E_EXCEPTION, excep, true); }), u"text");
    EXPECT_TRUE(excep.source.empty());
    EXPECT_TRUE(excep.description.empty());
}

TEST(XANIndexValue, IndexesArraysAndDispatchObjectsAndNothingElse) {
    plat::SafeArray::Bound bounds[2] = {{0, 2}, {1, 3}};
    Variant array = Variant::FromArray(plat::SafeArray::Create(plat::varVariant, bounds));
    Variant i1(1), i2(3), value(UString(u"cell"));
    Variant idx[2] = {i1, i2};
    XANIndexedAssign(array, 2, idx, value);
    Variant out;
    XANIndexValue(array, 2, idx, out);
    EXPECT_EQ(plat::VarToUString(out), u"cell");
    EXPECT_EQ(Raised([&] { XANIndexValue(array, 1, idx, out); }), u"Invalid argument count");
    Variant number(5);
    EXPECT_EQ(Raised([&] { XANIndexValue(number, 1, idx, out); }), u"Invalid type cast or type mismatch");
    RecordingHost host;
    Variant obj(static_cast<plat::IDispatch*>(&host));
    XANIndexValue(obj, 2, idx, out);
    EXPECT_EQ(host.Flags, plat::DISPATCH_PROPERTYGET);
    EXPECT_EQ(plat::VarToInt32(out), 2);
}

TEST(XANObjectOf, EmptyAndNullAreNoObjectOtherValuesCannotConvert) {
    EXPECT_EQ(XANObjectOf(Variant()), nullptr);
    EXPECT_EQ(XANObjectOf(Variant::Null()), nullptr);
    EXPECT_EQ(Raised([] { XANObjectOf(Variant(3)); }), u"Invalid variant type conversion");
}

}  // namespace
}  // namespace xan
