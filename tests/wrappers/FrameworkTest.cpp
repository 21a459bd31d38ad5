// The dispatch side of wrappers called from C++: the invocation cases and result codes, the
// argument limit, registries, type information and concurrent first use.
#include <thread>

#include "ScriptHost.h"
#include "platform/ole/DispatchCall.h"
#include "platform/ole/HResult.h"
#include "platform/ole/TypeInfo.h"

namespace xan::test {
namespace {

class Framework : public ::testing::Test {
protected:
    Framework() { RegisterTestWrappers(); }

    // Invokes member AName of AObj with AFlags and AArgs (source order); the result code.
    plat::HRESULT InvokeRaw(const Variant& AObj, plat::DISPID AId, std::uint16_t AFlags, std::vector<Variant> AArgs,
                            bool AWantResult = true) {
        std::vector<plat::VarData> reversed(AArgs.rbegin(), AArgs.rend());
        plat::DISPPARAMS params{reversed.data(), nullptr, static_cast<std::uint32_t>(reversed.size()), 0};
        result.Clear();
        excep.Clear();
        return AObj.VDispatch->Invoke(AId, plat::IID_NULL, 0, AFlags, &params, AWantResult ? &result : nullptr, &excep,
                                      nullptr);
    }
    plat::DISPID IdOf(const Variant& AObj, const char16_t* AName) {
        plat::DISPID id = 0;
        const char16_t* names[] = {AName};
        EXPECT_EQ(AObj.VDispatch->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &id), plat::S_OK);
        return id;
    }

    TCounter counter{3};
    Variant result;
    plat::EXCEPINFO excep;
};

struct TInvokeCase {
    const char16_t* Member;
    std::uint16_t Flags;
    int ArgCount;
    bool WantResult;
    plat::HRESULT Expected;
};

const TInvokeCase kInvokeCases[] = {
    {u"Add", plat::DISPATCH_METHOD, 1, false, plat::S_OK},
    {u"Add", plat::DISPATCH_METHOD, 2, false, plat::DISP_E_BADPARAMCOUNT},
    {u"Add", plat::DISPATCH_METHOD, 1, true, plat::DISP_E_TYPEMISMATCH},            // a procedure has no result
    {u"Add", plat::DISPATCH_PROPERTYGET, 1, false, plat::DISP_E_TYPEMISMATCH},      // not a property
    {u"Count", plat::DISPATCH_PROPERTYGET, 0, true, plat::S_OK},
    {u"Count", plat::DISPATCH_METHOD | plat::DISPATCH_PROPERTYGET, 0, true, plat::S_OK},
    {u"Count", plat::DISPATCH_PROPERTYPUT, 0, false, plat::DISP_E_BADPARAMCOUNT},   // put needs the value
    {u"Count", plat::DISPATCH_PROPERTYPUT, 2, false, plat::DISP_E_TYPEMISMATCH},    // forwarded: an Integer has no default
    {u"Count", plat::DISPATCH_PROPERTYGET, 1, true, plat::DISP_E_TYPEMISMATCH},     // forwarded likewise
    {u"Count", plat::DISPATCH_METHOD, 0, true, plat::DISP_E_TYPEMISMATCH},
    {u"Limit", plat::DISPATCH_PROPERTYPUTREF | plat::DISPATCH_PROPERTYPUT, 1, false, plat::DISP_E_TYPEMISMATCH},
};

TEST_F(Framework, InvokeAnswersEveryCaseWithItsCode) {
    const Variant obj = TCounter_sw::ToVar(&counter);
    for (const TInvokeCase& c : kInvokeCases) {
        std::vector<Variant> args(static_cast<std::size_t>(c.ArgCount), Variant(1));
        EXPECT_EQ(InvokeRaw(obj, IdOf(obj, c.Member), c.Flags, args, c.WantResult), c.Expected)
            << UString(c.Member).ToUtf8() << " flags " << c.Flags << " args " << c.ArgCount;
    }
}

TEST_F(Framework, PutWithTheNewValueLastWritesTheProperty) {
    const Variant obj = TCounter_sw::ToVar(&counter);
    EXPECT_EQ(InvokeRaw(obj, IdOf(obj, u"Count"), plat::DISPATCH_PROPERTYPUT, {Variant(9)}, false), plat::S_OK);
    EXPECT_EQ(counter.Count(), 9);
}

TEST_F(Framework, IdentifiersOutsideTheTableAndAMissingDefaultAreNotFound) {
    const Variant obj = TCounter_sw::ToVar(&counter);
    EXPECT_EQ(InvokeRaw(obj, 1000, plat::DISPATCH_METHOD, {}), plat::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(InvokeRaw(obj, -1, plat::DISPATCH_METHOD, {}), plat::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(InvokeRaw(obj, plat::DISPID_VALUE, plat::DISPATCH_PROPERTYGET, {}), plat::DISP_E_MEMBERNOTFOUND);
}

TEST_F(Framework, DefaultMemberIsReachedByIdZeroAndByNoName) {
    TItems items;
    const Variant obj = TItems_sw::ToVar(&items);
    EXPECT_EQ(InvokeRaw(obj, plat::DISPID_VALUE, plat::DISPATCH_PROPERTYGET, {Variant(2)}), plat::S_OK);
    EXPECT_EQ(plat::VarToUString(result), u"two");
    plat::DISPID ids[2] = {7, 7};
    const char16_t* names[] = {u"", u"x"};
    EXPECT_EQ(obj.VDispatch->GetIDsOfNames(plat::IID_NULL, names, 2, 0, ids), plat::DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], plat::DISPID_UNKNOWN);
    EXPECT_EQ(ids[1], plat::DISPID_UNKNOWN);
}

TEST_F(Framework, MoreArgumentsThanTheBufferHoldsAreRefused) {
    const Variant unit = System_sw::Create(nullptr);
    const plat::DISPID concat = IdOf(unit, u"Concat");
    EXPECT_EQ(InvokeRaw(unit, concat, plat::DISPATCH_METHOD, std::vector<Variant>(64, Variant(u"a"))), plat::S_OK);
    EXPECT_EQ(plat::VarToUString(result).length(), 64);
    EXPECT_EQ(InvokeRaw(unit, concat, plat::DISPATCH_METHOD, std::vector<Variant>(65, Variant(u"a"))),
              plat::DISP_E_BADPARAMCOUNT);
}

TEST_F(Framework, HostExceptionsFillTheExceptionInformation) {
    const Variant unit = System_sw::Create(nullptr);
    EXPECT_EQ(InvokeRaw(unit, IdOf(unit, u"Random"), plat::DISPATCH_METHOD, {Variant(1), Variant(2)}),
              plat::DISP_E_EXCEPTION);
    EXPECT_EQ(excep.source, u"XAN-Velmora wrappers.");
    EXPECT_EQ(excep.description, u"Wrong argument count. Method or property called: Random");
    EXPECT_EQ(excep.scode, plat::E_FAIL);
}

TEST_F(Framework, OneWrapperPerLiveObject) {
    const Variant a = ObjectToVar(&counter);
    const Variant b = ObjectToVar(&counter);
    EXPECT_EQ(a.VDispatch, b.VDispatch);
    EXPECT_EQ(ObjectFromVar(a, TCounter::StaticClass()), &counter);
    EXPECT_EQ(RaisedBy([&] { ObjectFromVar(a, TItems::StaticClass()); }), u"Invalid variant type conversion");
    EXPECT_EQ(ObjectToVar(nullptr).VType, plat::varDispatch);
}

TEST_F(Framework, ClassReferencesComeBackAsTheNearestRegisteredClass) {
    const Variant type = ClassToVar(EHost::StaticClass());
    EXPECT_EQ(ClassFromVar(type, nullptr), EHost::StaticClass());
    EXPECT_EQ(ClassFromVar(ClassToVar(plat::EAbort::StaticClass()), nullptr), plat::Exception::StaticClass());
    EXPECT_EQ(RaisedBy([&] { ClassFromVar(type, TCounter::StaticClass()); }), u"Invalid variant type conversion");
    EXPECT_EQ(TClass_sw::FromVar(TypeToVar(TClass_sw::Class())), plat::TObject::StaticClass());
}

TEST_F(Framework, TypeTestsAndConstruction) {
    const Variant obj = ObjectToVar(&counter);
    EXPECT_FALSE(WrapperIs(obj, Variant()));
    EXPECT_TRUE(WrapperIs(obj, TypeToVar(TCounter_sw::Class())));
    plat::Exception e(u"x");
    EXPECT_TRUE(WrapperExceptionIs(&e, TypeToVar(Exception_sw::Class())));
    EXPECT_FALSE(WrapperExceptionIs(&e, TypeToVar(EHost_sw::Class())));
    const Variant args[] = {Variant(4)};
    const Variant made = WrapperNew(TypeToVar(TCounter_sw::Class()), args, 1);
    std::unique_ptr<TCounter> owned(TCounter_sw::FromVar(made));
    EXPECT_EQ(owned->Count(), 4);
    EXPECT_TRUE(WrapperNew(TypeToVar(TColor_sw::Class()), nullptr, 0).IsEmpty());
}

TEST_F(Framework, UnitEnumeratorsAreReadOnlyMembersAfterTheOthers) {
    const Variant unit = Test_sw::Create(nullptr);
    const plat::DISPID blue = IdOf(unit, u"clBlue");
    EXPECT_EQ(blue, IdOf(unit, u"clRed") + 2);
    EXPECT_EQ(InvokeRaw(unit, blue, plat::DISPATCH_PROPERTYGET, {}), plat::S_OK);
    EXPECT_EQ(result.VType, plat::varInteger);
    EXPECT_EQ(result.VInteger, 2);
    EXPECT_EQ(InvokeRaw(unit, blue, plat::DISPATCH_PROPERTYPUT, {Variant(1)}, false), plat::DISP_E_TYPEMISMATCH);
}

TEST_F(Framework, EventTypesAreRegisteredByTheirTypeInformation) {
    static const plat::TTypeInfo clickType = plat::MakeMethodTypeInfo(u"TClickEvent");
    static const plat::TTypeInfo otherType = plat::MakeMethodTypeInfo(u"TOtherEvent");
    static const TXANEventWrapperClass clickWrapper(u"TClickEvent_sw", &clickType);
    RegisterEventWrapper(&clickWrapper);
    EXPECT_EQ(FindEventWrapper(&clickType), &clickWrapper);
    EXPECT_EQ(RaisedBy([&] { FindEventWrapper(&otherType); }), u"Event type TOtherEvent is not registered.");
}

TEST_F(Framework, TypeInformationListsReadableProperties) {
    const Variant obj = ObjectToVar(&counter);
    std::vector<UString> names;
    for (const plat::DispProperty& p : plat::ListDispatchProperties(obj.VDispatch)) names.push_back(p.name);
    // Functions and procedures are not properties; the debugger sees protected ones too.
    EXPECT_EQ(names, (std::vector<UString>{u"Count", u"Secret", u"Name", u"Limit"}));
}

TEST_F(Framework, FirstUseFromSeveralThreadsFillsOnce) {
    struct TRace_sw : TXANClassWrapperT<TRace_sw, TSpecialCounter, TCounter_sw> {
        static void AddMembers(TXANClassMembers<TSpecialCounter>& m) {
            for (int i = 0; i < 200; ++i) m.Constant(UString::FromUtf8("C" + std::to_string(i)), i);
        }
    };
    std::vector<std::thread> threads;
    std::vector<plat::Integer> counts(4);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] { counts[static_cast<std::size_t>(t)] = TRace_sw::Class()->GetDispInfo().GetCount(); });
    for (std::thread& th : threads) th.join();
    for (plat::Integer c : counts) EXPECT_EQ(c, counts[0]);
    EXPECT_EQ(TRace_sw::Class()->GetDispInfo().GetIDOfName(u"C199", false), counts[0] - 1);
}

}  // namespace
}  // namespace xan::test
