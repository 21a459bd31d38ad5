#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/vm/testlang/TestLanguage.h"
#include "vm/interp/VMErrors.h"
#include "vm/machine/VirtMachine.h"

namespace xan {
namespace {

using plat::UString;
using plat::Variant;

// The host side of script exceptions: a raised text becomes an exception with that message,
// the text "same" raises the exception last handed to the script again, and a handled
// exception reaches the script as its message.
class ScriptExceptionsTest : public ::testing::Test {
protected:
    ScriptExceptionsTest() : lang(testlang::Language::Create()), vm(std::make_unique<TXANVirtMachine>(lang)) {
        vm->OnFormatException = [this](TXANVirtMachine*, plat::Integer line, plat::Integer col, plat::Exception*) {
            positions.push_back({line, col});
        };
        vm->OnVarToException = [this](TXANVirtMachine*, const Variant& v, plat::Exception*& e) {
            const UString text = plat::VarToUString(v);
            e = text == u"same" ? lastHandled : new plat::Exception(text);
        };
        vm->OnExceptionToVar = [this](TXANVirtMachine*, plat::Exception* e, Variant& r) {
            lastHandled = e;
            r = Variant(e->Message());
        };
    }
    ~ScriptExceptionsTest() override {
        vm.reset();
        lang->Release();
    }

    UString RunError(const char16_t* proc) {
        try {
            vm->RunProc(proc);
        } catch (const plat::RaisedException& r) {
            std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
            return e->Message();
        }
        return u"<nothing raised>";
    }

    struct Pos {
        plat::Integer line, col;
        friend bool operator==(const Pos&, const Pos&) = default;
    };
    testlang::Language* lang;
    std::unique_ptr<TXANVirtMachine> vm;
    std::vector<Pos> positions;
    plat::Exception* lastHandled = nullptr;
};

TEST_F(ScriptExceptionsTest, EveryActivationReportsItsPositionInnermostFirst) {
    vm->Initialize(
        u"proc inner()\n"
        u"  raise 'boom';\n"
        u"end;\n"
        u"proc middle()\n"
        u"    inner();\n"
        u"end;\n"
        u"proc outer()\n"
        u"      middle();\n"
        u"end;\n");
    vm->Open();
    EXPECT_EQ(RunError(u"outer"), u"boom");
    EXPECT_EQ(positions, (std::vector<Pos>{{1, 3}, {4, 5}, {7, 7}}));
}

TEST_F(ScriptExceptionsTest, RuntimeErrorsLeaveTheMachineUsable) {
    vm->Initialize(u"proc p()\n  undefined();\nend;\nfunc ok()\n  return 1;\nend;");
    vm->Open();
    EXPECT_EQ(RunError(u"p"), u"Undeclared identifier: 'undefined'");
    EXPECT_EQ(positions, (std::vector<Pos>{{1, 3}}));
    EXPECT_EQ(plat::VarToInt32(vm->RunProc(u"ok")), 1);
}

TEST_F(ScriptExceptionsTest, RaisingWithoutAConversionIsRaisingNil) {
    vm->OnVarToException = nullptr;
    vm->Initialize(u"proc p()\n  raise 'x';\nend;");
    vm->Open();
    EXPECT_EQ(RunError(u"p"), u"Cannot raise nil exception");
}

TEST_F(ScriptExceptionsTest, HandlerCatchesAndSeesTheException) {
    vm->Initialize(
        u"var seen = '';\n"
        u"proc p()\n"
        u"  try\n"
        u"    raise 'first';\n"
        u"    seen = 'not reached';\n"
        u"  except\n"
        u"    seen = exc;\n"
        u"  end;\n"
        u"end;\n"
        u"proc q()\n"
        u"  try\n"
        u"    Twice(1, 2);\n"
        u"  except\n"
        u"    seen = seen + '/' + exc;\n"
        u"  end;\n"
        u"end;\n");
    vm->Open();
    vm->RunProc(u"p");
    EXPECT_EQ(plat::VarToUString(vm->ReadVar(u"seen")), u"first");
    vm->RunProc(u"q");
    EXPECT_EQ(plat::VarToUString(vm->ReadVar(u"seen")), u"first/Twice takes one argument");
}

TEST_F(ScriptExceptionsTest, ReraiseRaisesTheSameObjectAndLockedObjectsCannotBeRaised) {
    vm->Initialize(
        u"var seen = '';\n"
        u"proc again()\n"
        u"  try\n"
        u"    raise 'inner';\n"
        u"  except\n"
        u"    seen = exc;\n"
        u"    reraise;\n"
        u"  end;\n"
        u"end;\n"
        u"proc locked()\n"
        u"  try\n"
        u"    raise 'held';\n"
        u"  except\n"
        u"    seen = exc;\n"
        u"    raise 'same';\n"
        u"  end;\n"
        u"end;\n");
    vm->Open();
    EXPECT_EQ(RunError(u"again"), u"inner");
    EXPECT_EQ(RunError(u"locked"), u"Cannot raise locked exception");
}

TEST_F(ScriptExceptionsTest, NestedHandlerKeepsTheOuterExceptionActive) {
    vm->Initialize(
        u"var log = '';\n"
        u"proc p()\n"
        u"  try\n"
        u"    raise 'outer';\n"
        u"  except\n"
        u"    try\n"
        u"      raise 'nested';\n"
        u"    except\n"
        u"      log = exc;\n"
        u"    end;\n"
        u"    log = log + '+' + exc;\n"
        u"    reraise;\n"
        u"  end;\n"
        u"end;\n");
    vm->Open();
    EXPECT_EQ(RunError(u"p"), u"outer");
    EXPECT_EQ(plat::VarToUString(vm->ReadVar(u"log")), u"nested+outer");
}

TEST_F(ScriptExceptionsTest, AbortPassesThroughHandlers) {
    vm->Initialize(u"var caught = 0;\nproc p()\n  try\n    Twice(1);\n  except\n    caught = 1;\n  end;\nend;");
    vm->Open();
    vm->FTerminateFlag.store(0);
    EXPECT_EQ(RunError(u"p"), u"Script execution has been aborted.");
    vm->FTerminateFlag.store(TXANInterpreter::TerminateRunning);
    EXPECT_EQ(plat::VarToInt32(vm->ReadVar(u"caught")), 0);
}

TEST_F(ScriptExceptionsTest, DeepRecursionIsACatchableRuntimeError) {
    vm->Initialize(
        u"var caught = '';\n"
        u"proc down()\n  down();\nend;\n"
        u"proc p()\n  try\n    down();\n  except\n    caught = exc;\n  end;\nend;");
    vm->Open();
    vm->OnFormatException = nullptr;
    vm->RunProc(u"p");
    EXPECT_EQ(plat::VarToUString(vm->ReadVar(u"caught")).Substr(0, 14), u"Stack overflow");
}

}  // namespace
}  // namespace xan
