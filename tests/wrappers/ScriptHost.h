#pragma once
// An end-to-end host for wrapper tests: a machine of either dialect with the wrapper hooks, the
// basic unit published as "System", a test unit "Test" with host classes, a record and an
// enumeration, and a few wrapped host objects published by name.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lang/pascal/PasLanguage.h"
#include "lang/vb/VbLanguage.h"
#include "platform/core/Exception.h"
#include "vm/machine/VirtMachine.h"
#include "wrappers/MachineHooks.h"
#include "wrappers/SystemWrappers.h"

namespace xan::test {

using plat::UString;
using plat::Variant;

// ---- Host classes ------------------------------------------------------------------------------

class TCounter : public plat::TObject {
    XAN_CLASS(TCounter, plat::TObject)
    TCounter() = default;
    explicit TCounter(plat::Integer AStart) : FCount(AStart) {}
    void Add(plat::Integer AStep) { FCount += AStep; }
    plat::Integer Count() const { return FCount; }
    void SetCount(plat::Integer AValue) { FCount = AValue; }
    plat::Integer Secret() const { return 42; }
    static plat::Integer Zero() { return 0; }
    UString Name = u"counter";

private:
    plat::Integer FCount = 0;
};

// Makes its protected Secret visible.
class TSpecialCounter : public TCounter {
    XAN_CLASS(TSpecialCounter, TCounter)
};

// A collection whose default member is its indexed Item property.
class TItems : public plat::TObject {
    XAN_CLASS(TItems, plat::TObject)
    std::vector<UString> Values{u"zero", u"one", u"two"};
    UString Item(plat::Integer AIndex) const { return Values.at(static_cast<std::size_t>(AIndex)); }
    void SetItem(plat::Integer AIndex, const UString& AValue) { Values.at(static_cast<std::size_t>(AIndex)) = AValue; }
    plat::Integer Count() const { return static_cast<plat::Integer>(Values.size()); }
};

// Reaches a collection through a parameterless property.
class TBox : public plat::TObject {
    XAN_CLASS(TBox, plat::TObject)
    TItems* Items() { return &FItems; }

private:
    TItems FItems;
};

// A class without a constructor for scripts.
class TSealed : public plat::TObject {
    XAN_CLASS(TSealed, plat::TObject)
};

class EHost : public plat::Exception {
    XAN_CLASS(EHost, plat::Exception)
    using Exception::Exception;
};

struct TPoint {
    plat::Integer X = 0, Y = 0;
    plat::Integer Sum() const { return X + Y; }
};

enum class TColor { clRed, clGreen, clBlue };

// ---- Their wrappers ------------------------------------------------------------------------------

struct TCounter_sw : TXANClassWrapperT<TCounter_sw, TCounter, TObject_sw> {
    static void AddMembers(TXANClassMembers<TCounter>& m) {
        m.Constructor<plat::Integer>();
        m.Method(u"Add", &TCounter::Add);
        m.Property(u"Count", &TCounter::Count, &TCounter::SetCount);
        m.Property(u"Secret", &TCounter::Secret, nullptr, pfProtected);
        m.Field(u"Name", &TCounter::Name);
        m.ClassMethod(u"Zero", &TCounter::Zero);
        m.Constant(u"Limit", plat::Integer(100));
        // Swaps two texts the script passes by reference.
        m.Method(u"Swap", [](UString& a, UString& b) { std::swap(a, b); });
    }
};
struct TSpecialCounter_sw : TXANClassWrapperT<TSpecialCounter_sw, TSpecialCounter, TCounter_sw> {
    static void AddMembers(TXANClassMembers<TSpecialCounter>& m) {
        m.Constructor<>();
        m.Redeclare(u"Secret");
    }
};
struct TItems_sw : TXANClassWrapperT<TItems_sw, TItems, TObject_sw> {
    static void AddMembers(TXANClassMembers<TItems>& m) {
        m.Property(u"Item", &TItems::Item, &TItems::SetItem, pfDefault);
        m.Property(u"Count", &TItems::Count);
    }
};
struct TBox_sw : TXANClassWrapperT<TBox_sw, TBox, TObject_sw> {
    static void AddMembers(TXANClassMembers<TBox>& m) {
        m.Constructor<>();
        m.Property(u"Items", &TBox::Items);
    }
};
// No parent wrapper: it inherits no constructor.
struct TSealed_sw : TXANClassWrapperT<TSealed_sw, TSealed, void> {};
struct Exception_sw : TXANClassWrapperT<Exception_sw, plat::Exception, TObject_sw> {
    static void AddMembers(TXANClassMembers<plat::Exception>& m) {
        m.Constructor<UString>();
        m.Property(u"Message", &plat::Exception::Message, &plat::Exception::SetMessage);
    }
};
struct EHost_sw : TXANClassWrapperT<EHost_sw, EHost, Exception_sw> {
    static void AddMembers(TXANClassMembers<EHost>& m) { m.Constructor<UString>(); }
};
struct TPoint_sw : TXANRecordWrapperT<TPoint_sw, TPoint> {
    static constexpr const char16_t* TypeName = u"TPoint";
    static void AddMembers(TXANRecordMembers<TPoint>& m) {
        m.Field(u"X", &TPoint::X).Field(u"Y", &TPoint::Y).Method(u"Sum", &TPoint::Sum);
        m.CopyMethod().Constructor<plat::Integer, plat::Integer>();
    }
};
struct TColor_sw : TXANEnumWrapperT<TColor_sw, TColor> {
    static constexpr const char16_t* TypeName = u"TColor";
    static std::vector<TXANEnumerator> Enumerators() { return {{u"clRed", 0}, {u"clGreen", 1}, {u"clBlue", 2}}; }
};
}  // namespace xan::test

namespace xan {
XAN_WRAPPER_FOR(test::TPoint, test::TPoint_sw)
XAN_WRAPPER_FOR(test::TColor, test::TColor_sw)
}  // namespace xan

namespace xan::test {

struct Test_sw : TXANUnitWrapperT<Test_sw> {
    static constexpr const char16_t* UnitName = u"Test";
    static void AddMembers(TXANUnitMembers& m) {
        m.Type(TCounter_sw::Class()).Type(TSpecialCounter_sw::Class()).Type(TItems_sw::Class());
        m.Type(TBox_sw::Class()).Type(TSealed_sw::Class()).Type(Exception_sw::Class()).Type(EHost_sw::Class());
        m.Type(TPoint_sw::Class()).Type(TColor_sw::Class());
        m.Routine(u"PointSum", [](TPoint p) { return p.Sum(); });
        m.Routine(u"Grow", [](TPoint& p) { p.X += 1; });
        m.Routine(u"NextColor", [](TColor c) { return static_cast<TColor>((static_cast<int>(c) + 1) % 3); });
    }
};

inline void RegisterTestWrappers() {
    for (const TXANClassWrapperClass* cls :
         {TCounter_sw::Class(), TSpecialCounter_sw::Class(), TItems_sw::Class(), TBox_sw::Class(), TSealed_sw::Class(),
          Exception_sw::Class(), EHost_sw::Class()})
        RegisterClassWrapper(cls);
}

// ---- The host ----------------------------------------------------------------------------------

enum class TDialect { Pascal, Vb };

inline std::string DialectName(const ::testing::TestParamInfo<TDialect>& AInfo) {
    return AInfo.param == TDialect::Pascal ? "Pascal" : "Vb";
}

// The message of what AAction raises, or "<nothing raised>".
template <class F>
UString RaisedBy(F&& AAction) {
    try {
        AAction();
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        return e->Message();
    }
    return u"<nothing raised>";
}

class ScriptHost : public ::testing::TestWithParam<TDialect> {
protected:
    ScriptHost() {
        RegisterTestWrappers();
        IXANLanguage* language = IsPascal() ? static_cast<IXANLanguage*>(new pas::TXANPasLanguage())
                                            : static_cast<IXANLanguage*>(new vb::TXANVbLanguage());
        vm = std::make_unique<TXANVirtMachine>(language);
        XANInstallWrapperHooks(*vm);
    }

    bool IsPascal() const { return GetParam() == TDialect::Pascal; }
    // The text for this dialect.
    const char16_t* Pick(const char16_t* APascal, const char16_t* AVb) const { return IsPascal() ? APascal : AVb; }

    // Compiles and opens ASource with the units and the host objects published.
    void Start(const UString& ASource = u"") {
        vm->Initialize(ASource);
        Publish(u"System", System_sw::Create(nullptr));
        Publish(u"Test", Test_sw::Create(nullptr));
        Publish(u"Counter", TCounter_sw::ToVar(&counter));
        Publish(u"Items", TItems_sw::ToVar(box.Items()));
        Publish(u"Box", TBox_sw::ToVar(&box));
        Publish(u"Special", TSpecialCounter_sw::ToVar(&special));
        vm->Open();
    }
    void Publish(const UString& AName, const Variant& AObj) {
        ASSERT_TRUE(vm->AddExternObject(AObj.VDispatch, AName, false));
    }
    Variant Eval(const UString& AExpr) { return vm->Eval(AExpr); }
    Variant Eval(const char16_t* APascal, const char16_t* AVb) { return Eval(UString(Pick(APascal, AVb))); }
    Variant Call(const UString& AProc) { return vm->RunProc(AProc); }

    TCounter counter{5};
    TBox box;
    TSpecialCounter special;
    std::unique_ptr<TXANVirtMachine> vm;
};

}  // namespace xan::test
