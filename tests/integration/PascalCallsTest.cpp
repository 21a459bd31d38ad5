// Pascal scripts calling out of their machine: host objects through late-bound dispatch (with
// arguments the host writes through) and another script through its code object.
#include <gtest/gtest.h>

#include <string>

#include "PascalHost.h"
#include "vm/interp/VMErrors.h"

namespace xan::test {
namespace {

class PascalCalls : public PascalMachine {
protected:
    PascalCalls() {
        // Swap(a, b) exchanges two variables of the caller; Count(...) answers its argument count.
        host->Add(u"Swap", [](const plat::DISPPARAMS& p, Variant*) {
            std::swap(ByRefTarget(p.Arg(0)), ByRefTarget(p.Arg(1)));
        });
        host->Add(u"SetTo", [](const plat::DISPPARAMS& p, Variant*) {
            ByRefTarget(p.Arg(0)).Assign(plat::VarDerefAll(p.Arg(1)));
        });
        host->Add(u"Count", [](const plat::DISPPARAMS& p, Variant* r) {
            if (r) *r = Variant(static_cast<std::int32_t>(p.cArgs));
        });
        host->Add(u"Fail", [](const plat::DISPPARAMS& p, Variant*) {
            plat::Throw<plat::Exception>(plat::VarToUString(p.Arg(0)));
        });
    }
};

TEST_F(PascalCalls, HostWritesThroughByReferenceArguments) {
    Start(u"var g = 'global';"
          u"function Locals; var a = 1, b = 2; begin Host.Swap(a, b); Result := a * 10 + b; end;"
          u"function GlobalAndLocal; var a = 'local'; begin Host.Swap(g, a); Result := g + '/' + a; end;"
          u"function ThroughVarParam(var x); begin Host.SetTo(x, 7); Result := x; end;"
          u"function Caller; var v = 1; begin Result := ThroughVarParam(v) * 10 + v; end;"
          u"function ByValueCopy(x); begin Host.SetTo(x, 7); Result := x; end;"
          u"function CallerOfCopy; var v = 1; begin Result := ByValueCopy(v) * 10 + v; end;"
          u"function Elements; var a; begin a := array[2] of Integer; a[0] := 1; a[1] := 2;"
          u"  Host.Swap(a[0], a[1]); Host.SetTo(a[1], a[1] + 5); Result := a[0] * 10 + a[1]; end;");
    EXPECT_EQ(Int(u"Locals"), 21);
    EXPECT_EQ(Text(u"GlobalAndLocal"), u"local/global");
    EXPECT_EQ(Int(u"Caller"), 77);
    EXPECT_EQ(Int(u"CallerOfCopy"), 71);
    EXPECT_EQ(Int(u"Elements"), 26);  // array elements reach the host by reference too
}

// Call sites keep what their names denoted; a machine closed and started on a new script of
// the same shape (whose sites may take the freed sites' addresses) must resolve them anew.
TEST_F(PascalCalls, AMachineStartedAgainResolvesRepeatedCallsAnew) {
    const UString loop =
        u"function Loop; var k; begin Result := 0; for k := 1 to 5 do Result := Result + G(k) + Limit; end;";
    Start(UString(u"var Limit = 1; function G(x); begin Result := x + 1; end;") + loop);
    EXPECT_EQ(Int(u"Loop"), 25);  // 2 + 3 + 4 + 5 + 6, plus 1 each round
    EXPECT_EQ(Int(u"Loop"), 25);  // the same calls again, now from what the sites kept
    vm->Close();
    Start(UString(u"var Limit = 1000; function G(x); begin Result := x * 100; end;") + loop);
    EXPECT_EQ(Int(u"Loop"), 6500);
    EXPECT_EQ(Int(u"Loop"), 6500);
}

TEST_F(PascalCalls, PublishedMembersAreBareNames) {
    plat::ComPtr<THostObject> tools(new THostObject());
    tools->Add(u"Twice", [](const plat::DISPPARAMS& p, Variant* r) {
        if (r) *r = Variant(2 * plat::VarToInt32(p.Arg(0)));
    });
    vm->Initialize(u"function F(x); begin Result := Twice(x) + 1; end;");
    ASSERT_TRUE(vm->AddExternObject(tools.Get(), u"Tools", true));
    vm->Open();
    EXPECT_EQ(Int(u"F", {Variant(20)}), 41);
}

TEST_F(PascalCalls, HostFailureBecomesACatchableScriptError) {
    Start(u"function F; begin try Host.Fail('host says no'); except on E: 'Exception' do Result := E.Message; end; end;"
          u"procedure G; begin Host.Fail('uncaught'); end;");
    EXPECT_EQ(Text(u"F"), u"host says no");
    EXPECT_EQ(RaisedBy([&] { Call(u"G"); }), u"uncaught");
}

// Host.Count(1, 2, ..., n)
UString CountCall(int n) {
    std::string text = "function F; begin Result := Host.Count(";
    for (int i = 1; i <= n; ++i) text += (i > 1 ? ", " : "") + std::to_string(i);
    text += "); end;";
    return UString::FromUtf8(text);
}

TEST_F(PascalCalls, SixtyThreeArgumentsReachTheHostSixtyFourDoNot) {
    Start(CountCall(63));
    EXPECT_EQ(Int(u"F"), 63);
    vm = std::make_unique<TXANVirtMachine>(new pas::TXANPasLanguage());
    Start(CountCall(64));
    EXPECT_EQ(RaisedBy([&] { Call(u"F"); }), u"Invalid argument count");
}

class CodeObjectCalls : public PascalMachine {
protected:
    CodeObjectCalls() : lib(new pas::TXANPasLanguage()) {
        lib.Initialize(u"var Counter = 0; const Greeting = 'hello';"
                       u"function Add(a; b); begin Counter := Counter + 1; Result := a + b; end;"
                       u"procedure IncRef(var x); begin x := x + 1; end;"
                       u"procedure Fail(m); begin raise 'First:' + m; end;");
        lib.Open();
        code = plat::ComPtr<plat::IDispatch>::Attach(lib.GetCodeObject());
    }
    ~CodeObjectCalls() override { vm.reset(); }

    void StartWithLib(const UString& ASource, bool APublishMembers = false) {
        vm->Initialize(ASource);
        ASSERT_TRUE(vm->AddExternObject(code.Get(), u"Lib", APublishMembers));
        vm->Open();
    }

    TXANVirtMachine lib;
    plat::ComPtr<plat::IDispatch> code;
};

TEST_F(CodeObjectCalls, ProceduresVariablesAndConstantsOfAnotherScript) {
    InstallExceptionHooks(lib, reported);
    StartWithLib(u"function Sum; begin Result := Lib.Add(1, 2) + Lib.Add(10, 20); end;"
                 u"function ReadBack; begin Lib.Counter := 40; Result := Lib.Counter + 2; end;"
                 u"function ByRef; var v = 1; begin Lib.IncRef(v); Lib.IncRef(v); Result := v; end;"
                 u"function GreetingOf; begin Result := Lib.Greeting; end;"
                 u"procedure WriteConst; begin Lib.Greeting := 'changed'; end;");
    EXPECT_EQ(Int(u"Sum"), 33);
    EXPECT_EQ(plat::VarToInt32(lib.ReadVar(u"Counter")), 2);
    EXPECT_EQ(Int(u"ReadBack"), 42);
    EXPECT_EQ(plat::VarToInt32(lib.ReadVar(u"Counter")), 40);
    EXPECT_EQ(Int(u"ByRef"), 3);
    EXPECT_EQ(Text(u"GreetingOf"), u"hello");
    EXPECT_EQ(RaisedBy([&] { Call(u"WriteConst"); }), u"Invalid assignment");
}

TEST_F(CodeObjectCalls, PublishedMembersOfAnotherScript) {
    StartWithLib(u"function F; begin Result := Add(2, 3) + Counter; end;", true);
    EXPECT_EQ(Int(u"F"), 6);  // Add counts itself before F reads Counter
}

TEST_F(CodeObjectCalls, WrongCallsAreRuntimeErrors) {
    StartWithLib(u"procedure FewArgs; begin Lib.Add(1); end;"
                 u"procedure Unknown; begin Lib.Nothing; end;"
                 u"procedure ResultOfProcedure; var x; begin x := Lib.IncRef(x); end;");
    EXPECT_EQ(RaisedBy([&] { Call(u"FewArgs"); }), u"Invalid argument count");
    EXPECT_EQ(RaisedBy([&] { Call(u"Unknown"); }), u"Undeclared identifier: 'Nothing'");
    EXPECT_EQ(RaisedBy([&] { Call(u"ResultOfProcedure"); }), u"Invalid type cast or type mismatch");
}

TEST_F(CodeObjectCalls, ExceptionOfTheOtherScriptReachesTheCallersHandler) {
    InstallExceptionHooks(lib, reported);
    StartWithLib(u"function F; begin try Lib.Fail('from lib'); except on E: 'ETestFirst' do Result := E.Message; end; end;");
    EXPECT_EQ(Text(u"F"), u"from lib");
}

TEST_F(CodeObjectCalls, ClosedScriptRefusesCalls) {
    StartWithLib(u"function F; begin Result := Lib.Add(1, 1); end;");
    lib.Close();
    EXPECT_EQ(RaisedBy([&] { Call(u"F"); }), u"Virtual machine should be active.");
}

}  // namespace
}  // namespace xan::test
