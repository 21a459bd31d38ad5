// The binding example of the README, compiled and run as it stands there.
#include <gtest/gtest.h>

#include "lang/pascal/PasLanguage.h"
#include "wrappers/MachineHooks.h"
#include "wrappers/SystemWrappers.h"

namespace readme {

class TCounter : public xan::plat::TObject {
    XAN_CLASS(TCounter, xan::plat::TObject)
    explicit TCounter(int start = 0) : count_(start) {}
    void Add(int step) { count_ += step; }
    int Count() const { return count_; }
    void SetCount(int value) { count_ = value; }
private:
    int count_;
};

struct TCounter_sw : xan::TXANClassWrapperT<TCounter_sw, TCounter, xan::TObject_sw> {
    static void AddMembers(xan::TXANClassMembers<TCounter>& m) {
        m.Constructor<int>();
        m.Method(u"Add", &TCounter::Add);
        m.Property(u"Count", &TCounter::Count, &TCounter::SetCount);
    }
};

TEST(ReadmeExample, ScriptDrivesTheBoundClass) {
    auto counter = std::make_unique<TCounter>(1);
    xan::TXANVirtMachine vm(new xan::pas::TXANPasLanguage());
    xan::RegisterClassWrapper(TCounter_sw::Class());
    xan::XANInstallWrapperHooks(vm);
    vm.Initialize(u"var Held; function Run; begin Held := Counter; Counter.Add(2); Result := Counter.Count; end;"
                  u" function Later; begin Result := Held.Count; end;");
    vm.AddExternObject(TCounter_sw::ToVar(counter.get()).VDispatch, u"Counter", false);
    vm.Open();
    EXPECT_EQ(xan::plat::VarToInt32(vm.RunProc(u"Run")), 3);
    counter.reset();
    try {
        vm.RunProc(u"Later");
        ADD_FAILURE() << "nothing raised";
    } catch (const xan::plat::RaisedException& r) {
        std::unique_ptr<xan::plat::Exception> e(xan::plat::AcquireExceptionObject(r));
        EXPECT_EQ(e->Message(), u"Object has been destroyed.");
    }
}

}  // namespace readme
