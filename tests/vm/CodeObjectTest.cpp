#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/vm/testlang/TestLanguage.h"
#include "vm/machine/CodeObject.h"
#include "vm/machine/VirtMachine.h"

namespace xan {
namespace {

using plat::DISPID;
using plat::UString;
using plat::Variant;

const char16_t* const Script =
    u"var total = 1;\n"
    u"const fixed = 3;\n"
    u"func add(a, b)\n  return a + b;\nend;\n"
    u"proc fail()\n  undefined();\nend;\n";

class TXANCodeObjectTest : public ::testing::Test {
protected:
    TXANCodeObjectTest() : lang(testlang::Language::Create()), vm(std::make_unique<TXANVirtMachine>(lang)) {
        vm->Initialize(Script);
        vm->Open();
        code = vm->GetCodeObject();
    }
    ~TXANCodeObjectTest() override {
        code->Release();
        vm.reset();
        lang->Release();
    }

    DISPID IdOf(const char16_t* name) {
        DISPID id = 0;
        const char16_t* names[1] = {name};
        EXPECT_EQ(code->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &id), plat::S_OK) << UString(name).ToUtf8();
        return id;
    }
    plat::HRESULT Call(DISPID id, std::uint16_t flags, std::vector<Variant> argsLastFirst, Variant* result,
                       plat::EXCEPINFO* excep = nullptr) {
        plat::DISPPARAMS params;
        params.rgvarg = argsLastFirst.empty() ? nullptr : argsLastFirst.data();
        params.cArgs = static_cast<std::uint32_t>(argsLastFirst.size());
        return code->Invoke(id, plat::IID_NULL, 0, flags, &params, result, excep, nullptr);
    }

    testlang::Language* lang;
    std::unique_ptr<TXANVirtMachine> vm;
    plat::IDispatch* code = nullptr;
};

TEST_F(TXANCodeObjectTest, NamesAreCaseInsensitiveAndUnknownNamesAnswerMinusOne) {
    EXPECT_EQ(IdOf(u"ADD"), IdOf(u"add"));
    EXPECT_NE(IdOf(u"total"), IdOf(u"add"));
    DISPID id = 7;
    const char16_t* names[1] = {u"nothing"};
    EXPECT_EQ(code->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &id), plat::DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, -1);
    std::uint32_t count = 5;
    EXPECT_EQ(code->GetTypeInfoCount(&count), plat::E_NOTIMPL);
    EXPECT_EQ(count, 0u);
}

TEST_F(TXANCodeObjectTest, InvokeCallsProceduresAndReadsAndWritesVariables) {
    Variant result;
    EXPECT_EQ(Call(IdOf(u"add"), plat::DISPATCH_METHOD, {Variant(30), Variant(12)}, &result), plat::S_OK);
    EXPECT_EQ(plat::VarToInt32(result), 42);
    EXPECT_EQ(Call(IdOf(u"total"), plat::DISPATCH_PROPERTYGET, {}, &result), plat::S_OK);
    EXPECT_EQ(plat::VarToInt32(result), 1);
    EXPECT_EQ(Call(IdOf(u"total"), plat::DISPATCH_PROPERTYPUT, {Variant(9)}, nullptr), plat::S_OK);
    EXPECT_EQ(plat::VarToInt32(vm->ReadVar(u"total")), 9);
}

TEST_F(TXANCodeObjectTest, InvokeRefusesWrongCountsKindsAndIds) {
    Variant result;
    EXPECT_EQ(Call(IdOf(u"add"), plat::DISPATCH_METHOD, {Variant(1)}, &result), plat::DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(IdOf(u"total"), plat::DISPATCH_PROPERTYGET, {Variant(1)}, &result), plat::DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(IdOf(u"fixed"), plat::DISPATCH_PROPERTYPUT, {Variant(1)}, nullptr), plat::DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Call(IdOf(u"fail"), plat::DISPATCH_METHOD, {}, &result), plat::DISP_E_TYPEMISMATCH)
        << "a procedure yields no result";
    EXPECT_EQ(Call(99, plat::DISPATCH_METHOD, {}, nullptr), plat::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(0, plat::DISPATCH_METHOD, {}, nullptr), plat::DISP_E_MEMBERNOTFOUND);
}

TEST_F(TXANCodeObjectTest, ScriptErrorsComeBackAsExceptionRecords) {
    plat::EXCEPINFO excep;
    EXPECT_EQ(Call(IdOf(u"fail"), plat::DISPATCH_METHOD, {}, nullptr, &excep), plat::DISP_E_EXCEPTION);
    EXPECT_EQ(excep.source, u"XAN-Velmora Pascal script VM.");
    EXPECT_EQ(excep.description, u"Undeclared identifier: 'undefined'");
    EXPECT_EQ(excep.scode, plat::E_FAIL);
}

TEST_F(TXANCodeObjectTest, CallsFailOnceTheMachineIsClosedOrGone) {
    const DISPID add = IdOf(u"add");
    vm->Close();
    plat::EXCEPINFO excep;
    Variant result;
    EXPECT_EQ(Call(add, plat::DISPATCH_METHOD, {Variant(1), Variant(2)}, &result, &excep), plat::DISP_E_EXCEPTION);
    EXPECT_EQ(excep.description, u"Virtual machine should be active.");
    // A new machine on the same index does not answer for the old script.
    vm.reset();
    vm = std::make_unique<TXANVirtMachine>(lang);
    vm->Initialize(Script);
    vm->Open();
    EXPECT_EQ(Call(add, plat::DISPATCH_METHOD, {Variant(1), Variant(2)}, &result, &excep), plat::DISP_E_EXCEPTION);
    EXPECT_EQ(excep.description, u"Virtual machine should be active.");
}

TEST_F(TXANCodeObjectTest, AnotherScriptCallsThisOneInProcess) {
    ASSERT_EQ(TXANCodeObject::FromDispatch(code) != nullptr, true);
    TXANVirtMachine other(lang);
    other.Initialize(u"func viaMember()\n  return add(total, fixed);\nend;\nfunc viaName()\n  return Lib;\nend;");
    EXPECT_TRUE(other.AddExternObject(code, u"Lib", true));
    other.Open();
    EXPECT_EQ(plat::VarToInt32(other.RunProc(u"viaMember")), 4);
    Variant lib = other.RunProc(u"viaName");
    ASSERT_EQ(lib.VType, plat::varDispatch);
    EXPECT_EQ(TXANCodeObject::FromDispatch(lib.VDispatch), TXANCodeObject::FromDispatch(code));
    vm->Close();
    try {
        other.RunProc(u"viaMember");
        ADD_FAILURE() << "the closed script answered";
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        EXPECT_EQ(e->Message(), u"Virtual machine should be active.");
    }
}

}  // namespace
}  // namespace xan
