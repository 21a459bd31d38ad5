#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

#include "platform/core/CharCase.h"
#include "platform/ole/HResult.h"
#include "tests/vm/testlang/TestLanguage.h"
#include "vm/interp/VMErrors.h"
#include "vm/machine/PreparedDynCode.h"
#include "vm/machine/VirtMachine.h"

namespace xan {
namespace {

using plat::UString;
using plat::Variant;

template <class E = plat::Exception, class F>
UString Raised(F&& f) {
    try {
        f();
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        EXPECT_TRUE(e->Is<E>()) << e->ClassName().ToUtf8() << ": " << e->Message().ToUtf8();
        return e->Message();
    }
    return u"<nothing raised>";
}

// A host object with named values: a property get or a method call answers the value.
class FakeHost final : public plat::IDispatch {
public:
    std::map<std::u16string, Variant> Members;
    std::atomic<std::uint32_t> Refs{1};

    plat::HRESULT QueryInterface(const plat::TGUID& iid, void** out) noexcept override {
        if (iid == plat::IID_IDispatch || iid == plat::IID_IUnknown) {
            *out = static_cast<plat::IDispatch*>(this);
            AddRef();
            return plat::S_OK;
        }
        *out = nullptr;
        return plat::E_NOINTERFACE;
    }
    std::uint32_t AddRef() noexcept override { return ++Refs; }
    std::uint32_t Release() noexcept override { return --Refs; }  // lives on the test's stack
    plat::HRESULT GetTypeInfoCount(std::uint32_t* n) noexcept override {
        *n = 0;
        return plat::S_OK;
    }
    plat::HRESULT GetTypeInfo(std::uint32_t, plat::LCID, plat::ITypeInfo** out) noexcept override {
        *out = nullptr;
        return plat::E_NOTIMPL;
    }
    plat::HRESULT GetIDsOfNames(const plat::TGUID&, const char16_t* const* names, std::uint32_t, plat::LCID,
                                plat::DISPID* ids) noexcept override {
        plat::DISPID id = 1;
        for (auto& [name, value] : Members) {
            if (plat::IdentEquals(name, names[0])) {
                *ids = id;
                return plat::S_OK;
            }
            ++id;
        }
        *ids = plat::DISPID_UNKNOWN;
        return plat::DISP_E_UNKNOWNNAME;
    }
    plat::HRESULT Invoke(plat::DISPID id, const plat::TGUID&, plat::LCID, std::uint16_t, plat::DISPPARAMS*,
                         Variant* result, plat::EXCEPINFO*, std::uint32_t*) noexcept override {
        auto it = Members.begin();
        std::advance(it, id - 1);
        if (result) *result = it->second;
        return plat::S_OK;
    }
};

class VirtMachineTest : public ::testing::Test {
protected:
    VirtMachineTest() : lang(testlang::Language::Create()), vm(std::make_unique<TXANVirtMachine>(lang)) {
        vm->OnFormatException = [this](TXANVirtMachine*, plat::Integer line, plat::Integer col, plat::Exception* e) {
            reports.push_back({line, col, e->Message()});
        };
    }
    ~VirtMachineTest() override {
        vm.reset();
        lang->Release();
    }

    void Start(const char16_t* source) {
        vm->Initialize(source);
        vm->Open();
    }

    struct Report {
        plat::Integer line, col;
        UString message;
    };
    FakeHost host;  // declared first: it outlives the machine that holds it
    testlang::Language* lang;
    std::unique_ptr<TXANVirtMachine> vm;
    std::vector<Report> reports;
};

const char16_t* const Script =
    u"var counter = 2;\n"
    u"const limit = 10;\n"
    u"func add(a, b)\n"
    u"  return a + b;\n"
    u"end;\n"
    u"proc bump()\n"
    u"  counter = counter + 1;\n"
    u"end;\n"
    u"counter = counter * 3;\n";

// ---- Lifecycle ---------------------------------------------------------------------------------

TEST_F(VirtMachineTest, OperationsRefuseTheWrongState) {
    EXPECT_EQ(vm->State(), msUninitialized);
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->RunProc(u"add"); }), u"Virtual machine should be active.");
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->Open(); }), u"Virtual machine should be initialized.");
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->PrepareExpr(u"1"); }), u"Virtual machine should be initialized.");
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->GetCodeObject(); }), u"Virtual machine should be initialized.");
    vm->Close();  // closing an uninitialized machine does nothing
    vm->Initialize(Script);
    EXPECT_EQ(vm->State(), msInitialized);
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->Initialize(Script); }), u"Virtual machine should be not initialized.");
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->RunProc(u"bump"); }), u"Virtual machine should be active.");
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->Lock(); }), u"Virtual machine should be active.");
    vm->Open();
    EXPECT_EQ(vm->State(), msActive);
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->Open(); }), u"Virtual machine should be initialized.");
    vm->Close();
    EXPECT_EQ(vm->State(), msUninitialized);
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->ReadVar(u"counter"); }), u"Virtual machine should be active.");
    Start(Script);
    EXPECT_EQ(plat::VarToInt32(vm->ReadVar(u"counter")), 6);
}

TEST_F(VirtMachineTest, OpenRunsTheGlobalCodeAndStaysActiveWhenItFails) {
    Start(Script);
    EXPECT_EQ(plat::VarToInt32(vm->ReadVar(u"counter")), 6);
    EXPECT_EQ(plat::VarToInt32(vm->ReadVar(u"LIMIT")), 10);
    vm->Close();
    vm->Initialize(u"var x = 1;\nnope();\nx = 2;");
    EXPECT_EQ(Raised<EXANVMRuntime>([&] { vm->Open(); }), u"Undeclared identifier: 'nope'");
    EXPECT_EQ(vm->State(), msActive);
    EXPECT_EQ(plat::VarToInt32(vm->ReadVar(u"x")), 1);
}

TEST_F(VirtMachineTest, CompilingKeepsTheBytecodeAndFreesTheSyntaxTrees) {
    const int literals = testlang::Literal::LiveCount();
    Start(Script);
    EXPECT_EQ(testlang::Literal::LiveCount(), literals) << "a global statement or procedure body was kept";
    std::unique_ptr<TPreparedDynCode> prepared = vm->PrepareExpr(u"add(limit, 5)");
    EXPECT_EQ(testlang::Literal::LiveCount(), literals) << "a prepared expression kept its tree";
    // The code runs on without them: its literals belong to the bytecode.
    EXPECT_EQ(plat::VarToInt32(vm->Eval(*prepared)), 15);
    vm->RunProc(u"bump");
    EXPECT_EQ(plat::VarToInt32(vm->ReadVar(u"counter")), 7);
}

TEST_F(VirtMachineTest, CompileErrorIsReportedWithLineAndColumnThenCleanedUp) {
    const int literals = testlang::Literal::LiveCount();
    EXPECT_EQ(Raised<testlang::ETestCompiler>([&] { vm->Initialize(u"var a = 1;\r\nvar b = 2;\r\n  var a = 3;"); }),
              u"Identifier redeclared");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].line, 2);
    EXPECT_EQ(reports[0].col, 7);
    EXPECT_EQ(vm->State(), msUninitialized);
    EXPECT_EQ(testlang::Literal::LiveCount(), literals) << "the global statements were not freed";
    // The same names compile again: nothing of the failed attempt is left.
    Start(u"var a = 5;\nvar b = a + 1;");
    EXPECT_EQ(plat::VarToInt32(vm->ReadVar(u"b")), 6);
}

TEST_F(VirtMachineTest, CompileErrorInCodeGenerationIsCleanedUpToo) {
    EXPECT_EQ(Raised<testlang::ETestCompiler>([&] { vm->Initialize(u"func f()\n  return emitfail;\nend;"); }),
              u"Cannot emit");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].line, 1);
    EXPECT_EQ(reports[0].col, 10);
    Start(u"func f()\n  return 1;\nend;");
    EXPECT_EQ(plat::VarToInt32(vm->RunProc(u"f")), 1);
}

TEST_F(VirtMachineTest, DestroyingTheMachineReleasesTheLanguage) {
    lang->AddRef();
    const std::uint32_t before = lang->RefCount();
    vm.reset();
    EXPECT_EQ(lang->RefCount(), before - 1);
    lang->Release();
}

// ---- Running -----------------------------------------------------------------------------------

TEST_F(VirtMachineTest, RunProcPassesArgumentsAndAnswersTheResult) {
    Start(Script);
    std::vector<Variant> args{Variant(2), Variant(40)};
    EXPECT_EQ(plat::VarToInt32(vm->RunProc(u"ADD", args)), 42);
    EXPECT_TRUE(vm->RunProc(u"bump").IsEmpty());
    EXPECT_EQ(plat::VarToInt32(vm->ReadVar(u"counter")), 7);
}

TEST_F(VirtMachineTest, RunProcReadVarWriteVarReportWrongNames) {
    Start(Script);
    EXPECT_EQ(Raised<EXANVMRuntime>([&] { vm->RunProc(u"counter"); }), u"Procedural type required.");
    EXPECT_EQ(Raised<EXANVMRuntime>([&] { vm->RunProc(u"missing"); }), u"Undeclared identifier: 'missing'");
    EXPECT_EQ(Raised<EXANVMRuntime>([&] { vm->ReadVar(u"add"); }), u"Variable or constant required.");
    EXPECT_EQ(Raised<EXANVMRuntime>([&] { vm->ReadVar(u"nothing"); }), u"Undeclared identifier: 'nothing'");
    EXPECT_EQ(Raised<EXANVMRuntime>([&] { vm->WriteVar(u"bump", Variant(1)); }), u"Variable or constant required.");
    EXPECT_EQ(Raised<EXANVMRuntime>([&] { vm->RunProc(u"add"); }), u"Invalid argument count");
    std::vector<Variant> one{Variant(1)};
    EXPECT_EQ(Raised<EXANVMRuntime>([&] { vm->RunProc(u"add", one); }), u"Invalid argument count");
    EXPECT_EQ(Raised<EXANVMRuntime>([&] { vm->WriteVar(u"limit", Variant(1)); }), u"Invalid assignment");
    EXPECT_EQ(plat::VarToInt32(vm->ReadVar(u"limit")), 10);
    // A built-in is neither a procedure nor a variable of the script.
    EXPECT_EQ(Raised<EXANVMRuntime>([&] { vm->RunProc(u"Twice"); }), u"Undeclared identifier: 'Twice'");
}

TEST_F(VirtMachineTest, WriteVarStoresTheTargetOfAReference) {
    Start(Script);
    Variant hostVar(UString(u"text"));
    vm->WriteVar(u"counter", Variant::RefTo(&hostVar));
    hostVar = Variant(1);
    EXPECT_EQ(plat::VarToUString(vm->ReadVar(u"counter")), u"text");
}

TEST_F(VirtMachineTest, ReadVarAfterRunProcAlwaysAnswersTheVariable) {
    Start(Script);
    for (int i = 0; i < 200; ++i) {
        vm->RunProc(u"bump");
        ASSERT_EQ(plat::VarToInt32(vm->ReadVar(u"counter")), 7 + i);
    }
}

TEST_F(VirtMachineTest, EvalAndExecStmtRunAgainstTheGlobals) {
    Start(Script);
    EXPECT_EQ(plat::VarToInt32(vm->Eval(u"Twice(counter) + limit")), 22);
    EXPECT_EQ(plat::VarToInt32(vm->Eval(u"TWICE(counter) + twice(1)")), 14);
    vm->ExecStmt(u"counter = add(counter, 100);");
    EXPECT_EQ(plat::VarToInt32(vm->ReadVar(u"counter")), 106);
    auto prepared = vm->PrepareExpr(u"counter + 1");
    for (int i = 0; i < 3; ++i) vm->ExecStmt(u"bump();");
    EXPECT_EQ(plat::VarToInt32(vm->Eval(*prepared)), 110);
    auto stmt = vm->PrepareStmt(u"counter = 0;");
    vm->ExecStmt(*stmt);
    EXPECT_EQ(plat::VarToInt32(vm->Eval(*prepared)), 1);
}

TEST_F(VirtMachineTest, PrepareRefusesDeclarationsAndLeavesNothingBehind) {
    Start(Script);
    const int literals = testlang::Literal::LiveCount();
    EXPECT_EQ(Raised<testlang::ETestCompiler>([&] { vm->Eval(u"1+)"); }), u"Expression expected");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].line, 0);
    EXPECT_EQ(reports[0].col, 3);
    EXPECT_EQ(Raised<testlang::ETestCompiler>([&] { vm->PrepareExpr(u"\n1 + emitfail"); }), u"Cannot emit");
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].line, 1);
    EXPECT_EQ(reports[1].col, 5);
    EXPECT_EQ(testlang::Literal::LiveCount(), literals);
    EXPECT_EQ(vm->State(), msActive);
    EXPECT_EQ(plat::VarToInt32(vm->Eval(u"limit")), 10);
}

TEST_F(VirtMachineTest, PreparedCodeCanBeMadeBeforeOpenAndRunAfter) {
    vm->Initialize(Script);
    auto prepared = vm->PrepareExpr(u"counter");
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->Eval(*prepared); }), u"Virtual machine should be active.");
    vm->Open();
    EXPECT_EQ(plat::VarToInt32(vm->Eval(*prepared)), 6);
}

// ---- Names -------------------------------------------------------------------------------------

TEST_F(VirtMachineTest, ScriptGlobalsHideHostObjectsWhichHideBuiltIns) {
    host.Members[u"Value"] = Variant(7);
    Start(u"var x = 1;");
    EXPECT_EQ(plat::VarToUString(vm->Eval(u"Shadow")), u"builtin");
    EXPECT_TRUE(vm->AddExternObject(&host, u"Shadow", false));
    Variant v = vm->Eval(u"Shadow");
    ASSERT_EQ(v.VType, plat::varDispatch);
    EXPECT_EQ(v.VDispatch, &host);
    EXPECT_FALSE(vm->AddExternObject(&host, u"SHADOW", false)) << "the name is taken";
    EXPECT_TRUE(vm->AddExternObject(&host, u"x", false)) << "a script global keeps its name";
    EXPECT_EQ(plat::VarToInt32(vm->Eval(u"x")), 1);
    vm->Close();
    Start(u"var Shadow = 'script';");
    vm->AddExternObject(&host, u"Shadow", false);
    EXPECT_EQ(plat::VarToUString(vm->Eval(u"Shadow")), u"script");
}

TEST_F(VirtMachineTest, PublishedHostMembersHideBuiltInsButNotScriptGlobals) {
    host.Members[u"Shadow"] = Variant(UString(u"member"));
    host.Members[u"Limit"] = Variant(99);
    host.Members[u"Extra"] = Variant(5);
    Start(Script);
    EXPECT_EQ(plat::VarToUString(vm->Eval(u"Shadow")), u"builtin");
    EXPECT_TRUE(vm->AddExternObject(&host, u"Host", true));
    EXPECT_EQ(plat::VarToUString(vm->Eval(u"Shadow")), u"member");
    EXPECT_EQ(plat::VarToInt32(vm->Eval(u"limit")), 10);
    EXPECT_EQ(plat::VarToInt32(vm->Eval(u"extra + 1")), 6);
    EXPECT_EQ(Raised<EXANVMRuntime>([&] { vm->Eval(u"absent"); }), u"Undeclared identifier: 'absent'");
}

TEST_F(VirtMachineTest, CloseReleasesHostObjects) {
    Start(Script);
    vm->AddExternObject(&host, u"Host", false);
    EXPECT_EQ(host.Refs, 2u);
    vm->Close();
    EXPECT_EQ(host.Refs, 1u);
}

// ---- Hooks, locks, threads ---------------------------------------------------------------------

TEST_F(VirtMachineTest, MakeEventHandlerAsksTheHost) {
    Variant result(5);
    vm->MakeEventHandler(u"OnClick", result);
    EXPECT_TRUE(result.IsEmpty());
    vm->OnEventMake = [](TXANVirtMachine*, const UString& name, Variant& r) { r = Variant(UString(u"handler:") + name); };
    vm->MakeEventHandler(u"OnClick", result);
    EXPECT_EQ(plat::VarToUString(result), u"handler:OnClick");
}

TEST_F(VirtMachineTest, LocksNestAndCloseWaitsForTheLastUnlock) {
    Start(Script);
    vm->Lock();
    vm->Lock();
    vm->Unlock();
    std::atomic<bool> closed{false};
    std::thread closer([&] {
        vm->Close();
        closed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(closed.load()) << "Close returned while a thread was inside the machine";
    vm->Unlock();
    closer.join();
    EXPECT_TRUE(closed.load());
    EXPECT_EQ(vm->State(), msUninitialized);
}

TEST_F(VirtMachineTest, ScriptCodeCannotCloseItsOwnMachine) {
    vm->Initialize(u"proc p()\n  CloseMe();\nend;\nCloseMe();");
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->Open(); }), u"Virtual machine cannot be closed by its own running code.");
    EXPECT_EQ(Raised<EXANVirtMachine>([&] { vm->RunProc(u"p"); }),
              u"Virtual machine cannot be closed by its own running code.");
    EXPECT_EQ(vm->State(), msActive);
    vm->Close();
    EXPECT_EQ(vm->State(), msUninitialized);
}

// Both threads also meet the built-in for the first time together: it is made on first use.
TEST_F(VirtMachineTest, TwoThreadsRunOneMachine) {
    Start(u"func sum(n)\n  return Twice(n);\nend;");
    std::atomic<int> failures{0};
    auto work = [&] {
        for (int i = 0; i < 500; ++i) {
            std::vector<Variant> args{Variant(i)};
            if (plat::VarToInt32(vm->RunProc(u"sum", args)) != 2 * i) ++failures;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST_F(VirtMachineTest, DestroyedMachineIndexIsReusedWithANewId) {
    const TXANVMId old = vm->Id();
    vm.reset();
    vm = std::make_unique<TXANVirtMachine>(lang);
    EXPECT_EQ(vm->Id().Index, old.Index);
    EXPECT_NE(vm->Id().Id, old.Id);
}

}  // namespace
}  // namespace xan
