// Pascal scripts compiled by the parser and code generator and run by the virtual machine.
// The language here knows only the statements Exit, Break and Continue and two helpers, so the
// tests see the generated code's behaviour, not the built-in routines.
#include <gtest/gtest.h>

#include <functional>

#include "PasParserTestSupport.h"
#include "platform/ole/Variant.h"
#include "vm/compiler/LanguageInterface.h"
#include "vm/compiler/NestingGuard.h"
#include "vm/machine/VirtMachine.h"

namespace xan::pas {
namespace {

using plat::UString;
using plat::Variant;

Integer Id(const char16_t* name) { return GlobalNameTable().GetNameIndex(name, true); }

// Raise(x) raises an exception with the text of x; Log(x) appends x to a list the test reads.
std::vector<std::string>& Logged() {
    static std::vector<std::string> log;
    return log;
}

struct LogIntrinsic : TIntrinsic {
    LogIntrinsic() : TIntrinsic(Id(u"Log"), u"Log") {}
    void Execute(TXANVMBase*, TXANCall* call, PXANVarArray args, Variant&) override {
        Logged().push_back(call->FArgCount ? plat::VarToUString(args[0].Deref()).ToUtf8() : "");
    }
};

struct FailIntrinsic : TIntrinsic {
    FailIntrinsic() : TIntrinsic(Id(u"Fail"), u"Fail") {}
    void Execute(TXANVMBase*, TXANCall* call, PXANVarArray args, Variant&) override {
        plat::Throw<plat::Exception>(call->FArgCount ? plat::VarToUString(args[0].Deref()) : UString(u"failed"));
    }
};

class MiniPascal : public IXANLanguage {
public:
    plat::HRESULT QueryInterface(const plat::TGUID&, void** out) noexcept override {
        *out = nullptr;
        return plat::E_NOINTERFACE;
    }
    std::uint32_t AddRef() noexcept override { return ++FRefs; }
    std::uint32_t Release() noexcept override { return --FRefs; }  // lives in the fixture
    std::unique_ptr<IXANParserBase> CreateParser(IXANParserCallbacks* cb) override {
        return std::make_unique<TXANPasParser>(cb);
    }
    std::span<const TXANBuiltin> Builtins() override {
        static constexpr TXANBuiltin builtins[] = {
            {u"Exit", []() -> TXANGlobalObject* { return new TXANExitObject(Id(u"Exit"), u"Exit"); }},
            {u"Break", []() -> TXANGlobalObject* { return new TXANBreakObject(Id(u"Break"), u"Break"); }},
            {u"Continue", []() -> TXANGlobalObject* { return new TXANContinueObject(Id(u"Continue"), u"Continue"); }},
            {u"Log", XANMakeIntrinsic<LogIntrinsic>},
            {u"Fail", XANMakeIntrinsic<FailIntrinsic>},
        };
        return builtins;
    }
    void GetUnassignedText(UString& S) override { S = u"Unassigned"; }
    void GetNilText(UString& S) override { S = u"nil"; }
    void GetNullText(UString& S) override { S = u"Null"; }
    void QuoteString(const UString& AText, UString& S) override { S = QuoteDoubling(AText, u'\''); }

private:
    std::uint32_t FRefs = 1;
};

class PasRun : public ::testing::Test {
protected:
    PasRun() : vm(std::make_unique<TXANVirtMachine>(&language)) { Logged().clear(); }
    ~PasRun() override { vm.reset(); }

    void Start(const UString& source) {
        vm->Initialize(source);
        vm->Open();
    }
    int Int(const Variant& v) { return plat::VarToInt32(v); }
    int Call(const char16_t* proc) { return Int(vm->RunProc(proc)); }
    UString RaisedBy(const char16_t* proc) {
        try {
            vm->RunProc(proc);
        } catch (const plat::RaisedException& r) {
            std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
            return e->Message();
        }
        return u"<nothing raised>";
    }

    MiniPascal language;
    std::unique_ptr<TXANVirtMachine> vm;
};

TEST_F(PasRun, GlobalsInitialisersAndMainBlock) {
    Start(u"var a = 2, b; const C = 40; begin b := a + C; end;");
    EXPECT_EQ(Int(vm->ReadVar(u"b")), 42);
    EXPECT_EQ(Int(vm->ReadVar(u"C")), 40);
}

TEST_F(PasRun, RecursiveFunction) {
    Start(u"function F(ALevel); begin if ALevel < 5 then Result := F(ALevel + 1) * 2 else Result := 1; end;");
    std::vector<Variant> args{Variant(0)};
    EXPECT_EQ(Int(vm->RunProc(u"F", args)), 32);
}

TEST_F(PasRun, LocalsParametersAndByReference) {
    Start(u"var g = 1;"
          u"procedure Inc2(var x); begin x := x + 2; end;"
          u"procedure Keep(x); begin x := 100; end;"
          u"function F; var i = 10; begin Inc2(i); Inc2(g); Keep(i); Keep(g); Result := i * 100 + g; end;");
    EXPECT_EQ(Call(u"F"), 1203);
}

TEST_F(PasRun, LocalConstants) {
    Start(u"function F(a); const K = 5; const L = a * 2; begin Result := K + L; end;");
    std::vector<Variant> args{Variant(4)};
    EXPECT_EQ(Int(vm->RunProc(u"F", args)), 13);
}

// A computed local constant belongs to its activation: the recursive call below would otherwise
// leave the outer activations reading the innermost one's value (0).
TEST_F(PasRun, ComputedLocalConstantsAreKeptPerActivation) {
    Start(u"function Sum(n); const Part = n * 10; begin"
          u"  if n > 0 then Result := Sum(n - 1) + Part else Result := Part; end;"
          u"function Chain(n); const A = n + 1; const B = A * 2; begin"
          u"  if n > 0 then Chain(n - 1); Result := B; end;"
          u"function Pair(n); var a; begin a := array[1]; a[0] := n; a[1] := n * 2; Result := a; end;"
          u"function Indexed(n); const P = Pair(n); begin"
          u"  if n > 0 then Indexed(n - 1); Result := P[1]; end;");
    std::vector<Variant> three{Variant(3)};
    EXPECT_EQ(Int(vm->RunProc(u"Sum", three)), 60);
    EXPECT_EQ(Int(vm->RunProc(u"Chain", three)), 8);
    EXPECT_EQ(Int(vm->RunProc(u"Indexed", three)), 6);  // through the run-time lookup
}

TEST_F(PasRun, ComputedLocalConstantsCannotBeAssignedOrChangedThroughVarParams) {
    Start(u"procedure Bump(var x); begin x := x + 100; end;"
          u"var g = 4; function Assigns; const K = g + 1; begin K := 5; Result := K; end;"
          u"function Pair(n); var a; begin a := array[1]; a[0] := n; Result := a; end;"
          u"function AssignsElement; const P = Pair(g); begin P[0] := 5; end;"
          u"procedure Counts; const K = g * 2; begin for K := 1 to 2 do ; end;"
          u"function Passes(n); const K = n + 1; begin Bump(K); Result := K; end;"
          u"function Literal; const K = 7; begin Bump(K); Result := K; end;");
    std::vector<Variant> one{Variant(1)};
    EXPECT_EQ(RaisedBy(u"Assigns"), u"Invalid assignment");
    EXPECT_EQ(RaisedBy(u"AssignsElement"), u"Invalid assignment");
    EXPECT_EQ(RaisedBy(u"Counts"), u"For loop control variable must be simple local variable");
    EXPECT_EQ(Int(vm->RunProc(u"Passes", one)), 2);
    EXPECT_EQ(Call(u"Literal"), 7);
}

TEST_F(PasRun, ShortCircuitAndOr) {
    Start(u"function A; begin Result := 5 and 3; end;"
          u"function O; begin Result := 5 or 3; end;"
          u"function S; begin Result := 0; if (Result = 1) and Fail('evaluated') then Result := 9; end;"
          u"function T; begin Result := 0; if not ((Result = 0) or Fail('evaluated')) then Result := 9 else Result := 7; end;");
    EXPECT_EQ(Call(u"A"), 3);
    EXPECT_EQ(Call(u"O"), 5);
    EXPECT_EQ(Call(u"S"), 0);
    EXPECT_EQ(Call(u"T"), 7);
}

TEST_F(PasRun, Loops) {
    Start(u"function ForUp; var i, s = 0; begin for i := 1 to 4 do s := s + i; Result := s * 100 + i; end;"
          u"function ForNever; var i = 7; begin for i := 10 to 1 do Fail('ran'); Result := i; end;"
          u"function ForDown; var i, s = ''; begin for i := 3 downto 1 do s := s + 'x'; Result := s; end;"
          u"function Whiles; var n = 0; begin while n < 10 do begin n := n + 1; if n = 3 then Break; end; Result := n; end;"
          u"function Repeats; var n = 0, s = 0; begin repeat n := n + 1; if n mod 2 = 0 then Continue; s := s + n; until n >= 6; Result := s; end;"
          u"var gi; function ForGlobal; begin Result := 0; for gi := 1 to 3 do Result := Result + gi; end;");
    EXPECT_EQ(Call(u"ForUp"), 1005);
    EXPECT_EQ(Call(u"ForNever"), 10);
    EXPECT_EQ(plat::VarToUString(vm->RunProc(u"ForDown")), u"xxx");
    EXPECT_EQ(Call(u"Whiles"), 3);
    EXPECT_EQ(Call(u"Repeats"), 9);
    EXPECT_EQ(Call(u"ForGlobal"), 6);
}

TEST_F(PasRun, CaseStatement) {
    Start(u"function C(i); begin case i of 1: Result := 10; 2, 3: Result := 20; 4..6: Result := 30; else Result := 0 end; end;");
    int expected[] = {0, 10, 20, 20, 30, 30, 30, 0};
    for (int i = 0; i < 8; ++i) {
        std::vector<Variant> args{Variant(i)};
        EXPECT_EQ(Int(vm->RunProc(u"C", args)), expected[i]) << i;
    }
}

TEST_F(PasRun, ExitLeavesTheProcedure) {
    Start(u"function F; begin Result := 1; Exit; Result := 2; end;");
    EXPECT_EQ(Call(u"F"), 1);
}

TEST_F(PasRun, TryExceptCatchesAndNamesTheException) {
    Start(u"function F; begin Result := 1; try Fail('x'); Result := 2; except Result := 3; end; end;"
          u"procedure G; begin try Fail('inner'); except raise; end; end;");
    EXPECT_EQ(Call(u"F"), 3);
    EXPECT_EQ(RaisedBy(u"G"), u"inner");
}

// Compiling frees the syntax trees, so what a handler needs at run time (the scope that names the
// exception, the literals) must belong to the bytecode; AddressSanitizer catches a pointer into
// a freed tree here. Log is resolved at run time through the handler's scope.
TEST_F(PasRun, NamedHandlersRunAfterTheirTreesAreFreed) {
    vm->OnExceptionIsTest = [](TXANVirtMachine*, plat::Exception* E, const Variant& AType, bool& AResult) {
        AResult = E->Message() == plat::VarToUString(AType.Deref());
    };
    vm->OnExceptionToVar = [](TXANVirtMachine*, plat::Exception* E, Variant& AResult) { AResult = Variant(E->Message()); };
    Start(u"const Kind = 'boom';"
          u"procedure P; var i; begin for i := 1 to 2 do try Fail('boom'); except on E: Kind do Log(E); end; end;");
    vm->RunProc(u"P");
    EXPECT_EQ(Logged(), (std::vector<std::string>{"boom", "boom"}));
}

// The deepest nesting of each construct that the parser accepts compiles, runs and is freed
// without exhausting the native stack (the sanitizer build's larger frames included).
TEST_F(PasRun, TheDeepestAcceptedNestingRuns) {
    const auto repeat = [](const char16_t* s, int n) {
        std::u16string r;
        for (int i = 0; i < n; ++i) r += s;
        return r;
    };
    using TMake = std::function<std::u16string(int)>;
    const std::vector<std::pair<TMake, int>> cases = {
        {[&](int n) { return u"x := " + repeat(u"(", n) + u"1" + repeat(u")", n) + u";"; }, 1},
        {[&](int n) { return u"x := " + repeat(u"F(", n) + u"2" + repeat(u")", n) + u";"; }, 2},
        {[&](int n) { return u"x := " + repeat(u"-", 2 * n) + u"3;"; }, 3},
        {[&](int n) { return repeat(u"if 1 = 1 then ", n) + u"x := 4;"; }, 4},
        {[&](int n) { return repeat(u"begin ", n) + u"x := 5" + repeat(u" end", n) + u";"; }, 5},
    };
    const auto script = [](const std::u16string& body) {
        return UString(u"var x;\nfunction F(a); begin Result := a; end;\nbegin\n" + body + u"\nend;");
    };
    for (const auto& [make, expected] : cases) {
        int accepted = 0;
        for (int lo = 1, hi = XANMaxNestingDepth; lo <= hi;) {
            const int mid = (lo + hi) / 2;
            TXANVirtMachine probe(&language);
            if (plat::CatchAll([&] { probe.Initialize(script(make(mid))); })) {
                hi = mid - 1;
            } else {
                accepted = mid;
                lo = mid + 1;
            }
        }
        ASSERT_GT(accepted, XANMaxNestingDepth / 4) << expected;
        vm = std::make_unique<TXANVirtMachine>(&language);
        Start(script(make(accepted)));
        EXPECT_EQ(Int(vm->ReadVar(u"x")), expected);
    }
}

TEST_F(PasRun, TryFinallyRunsOnEveryWayOut) {
    Start(u"procedure Normal; begin try Log('body'); finally Log('finally'); end; Log('after'); end;"
          u"procedure Raising; begin try Fail('boom'); finally Log('finally'); end; end;"
          u"procedure Exiting; begin try Exit; finally Log('finally'); end; Log('not here'); end;"
          u"procedure Breaking; var i; begin for i := 1 to 3 do try if i = 2 then Break; Log(i); finally Log('f'); end; end;"
          u"procedure ExitInFinally; begin try Log('a'); finally Exit; end; end;");
    vm->RunProc(u"Normal");
    EXPECT_EQ(Logged(), (std::vector<std::string>{"body", "finally", "after"}));
    Logged().clear();
    EXPECT_EQ(RaisedBy(u"Raising"), u"boom");
    EXPECT_EQ(Logged(), (std::vector<std::string>{"finally"}));
    Logged().clear();
    vm->RunProc(u"Exiting");
    EXPECT_EQ(Logged(), (std::vector<std::string>{"finally"}));
    Logged().clear();
    vm->RunProc(u"Breaking");
    EXPECT_EQ(Logged(), (std::vector<std::string>{"1", "f", "f"}));
    Logged().clear();
    EXPECT_NE(RaisedBy(u"ExitInFinally"), u"<nothing raised>");
}

TEST_F(PasRun, BreakInsideAnExceptHandlerLeavesTheLoop) {
    Start(u"function F; var i; begin Result := 0; for i := 1 to 5 do try Fail('x'); except Result := i; Break; end; end;");
    EXPECT_EQ(Call(u"F"), 1);
}

TEST_F(PasRun, SetsAndArrays) {
    Start(u"function InSet(x); begin Result := x in [1, 3..5]; end;"
          u"function Arr; var a; begin a := array[2]; a[0] := 7; a[2] := 8; Result := a[0] + a[2]; end;");
    std::vector<Variant> four{Variant(4)}, two{Variant(2)};
    EXPECT_TRUE(plat::VarToBool(vm->RunProc(u"InSet", four)));
    EXPECT_FALSE(plat::VarToBool(vm->RunProc(u"InSet", two)));
    EXPECT_EQ(Call(u"Arr"), 15);
}

TEST_F(PasRun, EvalAndExecStmtUseTheParser) {
    Start(u"var x = 20;");
    EXPECT_EQ(Int(vm->Eval(u"x * 2 + 2")), 42);
    vm->ExecStmt(u"x := x + 1");
    EXPECT_EQ(Int(vm->ReadVar(u"x")), 21);
}

TEST_F(PasRun, CompileErrorsKeepTheirPositions) {
    try {
        vm->Initialize(u"var x;\r\nbegin x := ; end;");
        FAIL() << "no error";
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        ASSERT_TRUE(e->Is<EXANPasCompiler>());
        EXPECT_EQ(e->Message(), u"Invalid token: ';'.");
        EXPECT_EQ(static_cast<EXANPasCompiler*>(e.get())->SourcePos(), 20);
    }
}

}  // namespace
}  // namespace xan::pas
