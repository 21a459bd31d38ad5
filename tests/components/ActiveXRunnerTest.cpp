// The script control with the languages of the script-engine service: every engine through the
// control (procedures, values of every kind, globals, expressions and statements, errors with
// their positions, host objects and named values, code objects), scripts of different languages
// calling each other, and a language whose engine plug-in is missing.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "../activescript/TestHost.h"
#include "ControlHost.h"
#include "activescript/EngineRegistry.h"
#include "activescript/engines/ScriptEngines.h"
#include "components/ActiveXRunner.h"
#include "platform/core/DateUtils.h"
#include "platform/ole/DispatchCall.h"
#include "platform/ole/VarConsts.h"

namespace xan::test {
namespace {

using as::test::THostObject;

// One row per language. Each script defines: counter (10); add(a, b); echo(x); motto() (the named
// value `motto`); hostTwice(x) and hostItem(i) (the named object `host`); appGreeting() (the
// member Greeting of `app`, published with its members); fails() (a run-time error on the line
// marked FAIL_HERE); Relay(x) and RelayFails(), which call the same procedures of the named object
// `other`; and where the language has by-reference arguments, bump(n) (host.Bump on n, then n).
struct TAxCase {
    const char* Name;
    TXANScriptLanguage Language;
    const char* Script;
    const char* SumExpr;  // evaluates to 3
    const char* SetStmt;  // sets counter to 7
    const char* SyntaxError;
    int SyntaxLine;  // from 0
    int SyntaxPos;   // from 1; -1: the engine does not tell
    bool ByRef;
    // Per value of ArgumentsAndResultsOfEveryKind: the text echo gives it back as where the
    // language has no form that keeps its type (null: it comes back as it went).
    std::array<const char*, 9> Echoes{};
};

const TAxCase KVb{"VBScript", slVBScript, R"(Dim counter
counter = 10
Function add(a, b)
  add = a + b
End Function
Function echo(x)
  If IsObject(x) Then
    Set echo = x
  Else
    echo = x
  End If
End Function
Function motto()
  motto = mottoValue
End Function
Function hostTwice(x)
  hostTwice = host.Twice(x)
End Function
Function hostItem(i)
  hostItem = host(i)
End Function
Function appGreeting()
  appGreeting = Greeting
End Function
Function fails()
  fails = 1 / 0 ' FAIL_HERE
End Function
Function Relay(x)
  Relay = other.Relay(x)
End Function
Function RelayFails()
  RelayFails = other.RelayFails()
End Function
Function bump(n)
  host.Bump n
  bump = n
End Function
)", "1 + 2", "counter = 7", "x = 1\ny = = 2\n", 1, 5, true};

const TAxCase KJs{"JScript", slJScript, R"(var counter = 10;
function add(a, b) { return a + b; }
function echo(x) { return x; }
function motto() { return mottoValue; }
function hostTwice(x) { return host.Twice(x); }
function hostItem(i) { return host[i]; }
function appGreeting() { return Greeting; }
function fails() {
  var t = null;
  return t.field; // FAIL_HERE
}
function Relay(x) { return other.Relay(x); }
function RelayFails() { return other.RelayFails(); }
)", "1 + 2", "counter = 7", "var x = 1;\nvar y = = 2;\n", 1, 9, false};

const TAxCase KLua{"Lua", slLua, R"(counter = 10
function add(a, b) return a + b end
function echo(x) return x end
function motto() return mottoValue end
function hostTwice(x) return host:Twice(x) end
function hostItem(i) return host[i] end
function appGreeting() return Greeting end
function fails()
  local t = nil
  return t.field -- FAIL_HERE
end
function Relay(x) return other:Relay(x) end
function RelayFails() return other:RelayFails() end
)", "1 + 2", "counter = 7", "x = 1\ny = = 2\n", 1, -1, false};

const TAxCase KPython{"Python", slPython, R"(counter = 10
def add(a, b): return a + b
def echo(x): return x
def motto(): return mottoValue
def hostTwice(x): return host.Twice(x)
def hostItem(i): return host[i]
def appGreeting(): return Greeting
def fails():
    return 1 / 0  # FAIL_HERE
def Relay(x): return other.Relay(x)
def RelayFails(): return other.RelayFails()
)", "1 + 2", "counter = 7", "x = 1\ny = = 2\n", 1, 5, false};

const TAxCase KPerl{"Perl", slPerl, R"($counter = 10;
sub add { my ($a, $b) = @_; return $a + $b }
sub echo { return $_[0] }
sub motto { return mottoValue() }
sub hostTwice { return $host->Twice($_[0]) }
sub hostItem { return $host->[$_[0]] }
sub appGreeting { return Greeting() }
sub fails {
  my $zero = 0;
  return 1 / $zero; # FAIL_HERE
}
sub Relay { return $other->Relay($_[0]) }
sub RelayFails { return $other->RelayFails() }
sub bump {
  $host->Bump($_[0]);
  return $_[0];
}
)", "1 + 2", "$counter = 7", "$x = 1;\n$y = = 2;\n", 1, -1, true};

const TAxCase KTcl{"Tcl", slTCL, R"(set counter 10
proc add {a b} { return [expr {$a + $b}] }
proc echo {x} { return $x }
proc motto {} { return [mottoValue] }
proc hostTwice {x} { return [host Twice $x] }
proc hostItem {i} { return [host default $i] }
proc appGreeting {} { return [Greeting] }
proc fails {} {
  set t 1
  return [expr {$t / 0}] ;# FAIL_HERE
}
proc Relay {x} { return [other Relay $x] }
proc RelayFails {} { return [other RelayFails] }
)", "1 + 2", "set counter 7", "set x 1\nset y {2\n", 1, 1, false};

// REXX values are strings: Booleans, dates, Empty and Null come back as their REXX text.
const TAxCase KRexx{"Rexx", slRexx, R"(counter = 10
exit
add: procedure
  return arg(1) + arg(2)
echo: procedure
  return arg(1)
motto: procedure
  return mottoValue()
hostTwice: procedure
  return host('Twice', arg(1))
hostItem: procedure
  return host('', arg(1))
appGreeting: procedure
  return Greeting()
fails: procedure
  t = 1
  return t / 0 /* FAIL_HERE */
Relay: procedure
  return other('Relay', arg(1))
RelayFails: procedure
  return other('RelayFails')
)", "1 + 2", "counter = 7", "x = 1\ny = = 2\n", 1, -1, false,
    {nullptr, nullptr, nullptr, "1", "2024-02-29 12:00:00", "", "", nullptr, nullptr}};

const TAxCase* const KAxCases[] = {&KVb, &KJs, &KLua, &KPython, &KTcl, &KRexx, &KPerl};

// Procedures of our own dialect that the scripts reach through a code object.
const std::string KPascal =
    "function Relay(x); begin Result := 2 * x; end;\n"
    "function RelayFails;\n"
    "begin\n"
    "  Result := 1 div 0; // fails\n"
    "end;\n";

std::string Marker(const TXANScriptControl& AControl, plat::Integer ALine) {
    char text[64];
    std::snprintf(text, sizeof text, "Source: $%X [line: %d, pos: ", AControl.Identity(), ALine);
    return text;
}

std::size_t Count(const std::string& AText, const std::string& APart) {
    std::size_t n = 0;
    for (std::size_t at = AText.find(APart); at != std::string::npos; at = AText.find(APart, at + 1)) ++n;
    return n;
}

class ActiveXRunnerTest : public ::testing::TestWithParam<const TAxCase*> {
protected:
    static void SetUpTestSuite() { XANEnsureScriptEngines(); }

    void SetUp() override {
        Host = plat::ComPtr<THostObject>(new THostObject());
        Control = NewControl(GetParam()->Language, GetParam()->Script);
        Control->AddObject(u"host", Variant(static_cast<plat::IDispatch*>(Host.Get())), false);
        Control->AddObject(u"app", Variant(static_cast<plat::IDispatch*>(new THostObject())), true);
        Control->AddOrSetValue(u"mottoValue", Variant(u"carpe diem"));
    }
    void TearDown() override { Control->Close(true, true); }

    Variant Run(const char16_t* AName, std::vector<Variant> AArgs = {}) { return Control->RunProc(AName, AArgs); }

    plat::ComPtr<THostObject> Host;
    std::unique_ptr<TXANScriptControl> Control;
};

TEST_P(ActiveXRunnerTest, RunsAScriptAndItsProcedures) {
    Control->Open();
    EXPECT_EQ(Control->Runner()->GetLangKind(), slkActiveX);
    EXPECT_EQ(plat::VarToInt32(Run(u"add", {Variant(2), Variant(3)})), 5);
    EXPECT_EQ(plat::VarToDouble(Run(u"add", {Variant(2.5), Variant(0.25)})), 2.75);
}

TEST_P(ActiveXRunnerTest, ArgumentsAndResultsOfEveryKind) {
    Control->Open();
    const Variant values[] = {Variant(42), Variant(2.5), Variant(u"h\u00e9llo"), Variant(true),
                              Variant::FromDate(plat::EncodeDate(2024, 2, 29) + 0.5), Variant(), Variant::Null(),
                              as::test::MakeArrayForTest(), Variant(static_cast<plat::IDispatch*>(Host.Get()))};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        const Variant& v = values[i];
        SCOPED_TRACE(plat::VarTypeNameOf(v).ToUtf8());
        const Variant back = Run(u"echo", {v});
        if (const char* text = GetParam()->Echoes[i]) {
            EXPECT_EQ(plat::VarToUString(back).ToUtf8(), text);
        } else if (v.IsArray()) {
            EXPECT_EQ(as::test::ArrayTextForTest(back), as::test::ArrayTextForTest(v));
        } else if (v.VType == plat::varDispatch) {
            ASSERT_EQ(back.VType, plat::varDispatch);
            EXPECT_TRUE(plat::SameObject(back.VDispatch, v.VDispatch));
        } else {
            EXPECT_EQ(back.VType, v.VType);
            EXPECT_EQ(plat::VarCompare(back, v), plat::VarOrder::Equal);
        }
    }
}

TEST_P(ActiveXRunnerTest, ReadsAndWritesAGlobal) {
    Control->Open();
    EXPECT_EQ(plat::VarToInt32(Control->ReadVar(u"counter")), 10);
    Control->WriteVar(u"counter", Variant(42));
    EXPECT_EQ(plat::VarToInt32(Control->ReadVar(u"counter")), 42);
}

TEST_P(ActiveXRunnerTest, EvaluatesAndExecutes) {
    Control->Open();
    EXPECT_EQ(plat::VarToInt32(Control->Eval(U(GetParam()->SumExpr))), 3);
    TXANPreparedCodeRef expr = Control->PrepareExpr(U(GetParam()->SumExpr));
    EXPECT_EQ(plat::VarToInt32(Control->Eval(*expr)), 3);
    Control->ExecuteStatement(U(GetParam()->SetStmt));
    EXPECT_EQ(plat::VarToInt32(Control->ReadVar(u"counter")), 7);
}

TEST_P(ActiveXRunnerTest, SyntaxErrorFailsPrepareWithItsPosition) {
    const TAxCase& c = *GetParam();
    auto control = NewControl(c.Language, c.SyntaxError);
    const TCaught caught = Catch([&] { control->Prepare(); });
    ASSERT_TRUE(caught.Raised);
    EXPECT_EQ(control->State(), ssInactive);
    const std::string marker = Marker(*control, c.SyntaxLine);
    EXPECT_NE(caught.Message.find(marker), std::string::npos) << caught.Message;
    if (c.SyntaxPos >= 0) {
        EXPECT_NE(caught.Message.find(marker + std::to_string(c.SyntaxPos) + "]"), std::string::npos) << caught.Message;
    }
    EXPECT_EQ(caught.Message.find("Source: "), caught.Message.rfind("Source: ")) << caught.Message;
}

TEST_P(ActiveXRunnerTest, RuntimeErrorNamesItsLine) {
    Control->Open();
    const TCaught caught = Catch([&] { Run(u"fails"); });
    ASSERT_TRUE(caught.Raised);
    EXPECT_EQ(caught.ClassName, "EOleSysError");
    EXPECT_NE(caught.Message.find(Marker(*Control, LineOf(GetParam()->Script, "FAIL_HERE"))), std::string::npos)
        << caught.Message;
    EXPECT_EQ(plat::VarToInt32(Run(u"add", {Variant(1), Variant(1)})), 2) << "the script goes on";
}

TEST_P(ActiveXRunnerTest, WithoutSourceInfoTheMessageIsTheEngines) {
    auto control = NewControl(GetParam()->Language, GetParam()->Script);
    control->SetExceptionSourceInfo(false);
    control->Open();
    const TCaught caught = Catch([&] { control->RunProc(u"fails"); });
    ASSERT_TRUE(caught.Raised);
    EXPECT_EQ(caught.Message.find("Source: "), std::string::npos) << caught.Message;
}

TEST_P(ActiveXRunnerTest, HostObjectsAndNamedValues) {
    Control->Open();
    EXPECT_EQ(plat::VarToInt32(Run(u"hostTwice", {Variant(21)})), 42);
    EXPECT_EQ(plat::VarToUString(Run(u"hostItem", {Variant(3)})).ToUtf8(), "item3");
    EXPECT_EQ(plat::VarToUString(Run(u"appGreeting")).ToUtf8(), "hello");
    EXPECT_EQ(plat::VarToUString(Run(u"motto")).ToUtf8(), "carpe diem");
}

TEST_P(ActiveXRunnerTest, ByReferenceArgumentWritesBack) {
    if (!GetParam()->ByRef) GTEST_SKIP() << "the language passes arguments by value only";
    Control->Open();
    std::vector<Variant> args{Variant(5)};
    EXPECT_EQ(plat::VarToInt32(Control->RunProc(u"bump", args)), 6);
    EXPECT_EQ(plat::VarToInt32(args[0]), 6);
}

TEST_P(ActiveXRunnerTest, CodeObjectCallsTheScriptAndCarriesItsErrors) {
    Control->Open();
    plat::IDispatch* code = Control->CodeObject();
    EXPECT_EQ(plat::VarToInt32(plat::DispCall(code, u"add", {Variant(20), Variant(22)})), 42);
    const char16_t* names[] = {u"fails"};
    plat::DISPID id = 0;
    ASSERT_EQ(code->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &id), plat::S_OK);
    plat::DISPPARAMS none;
    plat::EXCEPINFO excep;
    Variant result;
    EXPECT_EQ(code->Invoke(id, plat::IID_NULL, 0, plat::DISPATCH_METHOD, &none, &result, &excep, nullptr),
              plat::DISP_E_EXCEPTION);
    EXPECT_NE(excep.description.ToUtf8().find(Marker(*Control, LineOf(GetParam()->Script, "FAIL_HERE"))),
              std::string::npos)
        << excep.description.ToUtf8();
}

TEST_P(ActiveXRunnerTest, UnknownProcedureAndTooManyArguments) {
    Control->Open();
    EXPECT_EQ(Catch([&] { Run(u"noSuchProcedure"); }).Code, plat::DISP_E_UNKNOWNNAME);
    std::vector<Variant> many(XANMaxRunProcArgs + 1, Variant(1));
    const TCaught c = Catch([&] { Control->RunProc(u"add", many); });
    EXPECT_EQ(c.Message, "Too many parameters.");
    EXPECT_EQ(c.Code, plat::E_INVALIDARG);
}

TEST_P(ActiveXRunnerTest, CallsOurDialectThroughItsCodeObjectAndGetsItsErrorBack) {
    auto pascal = NewControl(slPascal, KPascal);
    pascal->Open();
    Control->AddObject(u"other", pascal->Script(), false);
    Control->Open();
    EXPECT_EQ(plat::VarToInt32(Run(u"Relay", {Variant(21)})), 42);
    const TCaught c = Catch([&] { Run(u"RelayFails"); });
    EXPECT_NE(c.Message.find(Marker(*pascal, LineOf(KPascal, "fails"))), std::string::npos) << c.Message;
    EXPECT_EQ(Count(c.Message, "Source: "), 1u) << c.Message;
}

INSTANTIATE_TEST_SUITE_P(Languages, ActiveXRunnerTest, ::testing::ValuesIn(KAxCases),
                         [](const auto& info) { return std::string(info.param->Name); });

// Python calls Lua, which calls our Pascal dialect; the Pascal error comes back to Python's
// caller with Pascal's position, once.
TEST(ActiveXRunnerChain, PythonCallsLuaCallsPascal) {
    XANEnsureScriptEngines();
    auto pascal = NewControl(slPascal, KPascal);
    auto lua = NewControl(slLua, KLua.Script);
    auto python = NewControl(slPython, KPython.Script);
    pascal->Open();
    lua->AddObject(u"other", pascal->Script(), false);
    lua->Open();
    python->AddObject(u"other", lua->Script(), false);
    python->Open();
    std::vector<Variant> args{Variant(4)};
    EXPECT_EQ(plat::VarToInt32(python->RunProc(u"Relay", args)), 8);
    const TCaught c = Catch([&] { python->RunProc(u"RelayFails"); });
    EXPECT_NE(c.Message.find("Division by zero"), std::string::npos) << c.Message;
    EXPECT_NE(c.Message.find(Marker(*pascal, LineOf(KPascal, "fails"))), std::string::npos) << c.Message;
    EXPECT_EQ(Count(c.Message, "Source: "), 1u) << c.Message;
    python->Close(true);
    lua->Close(true);
}

// A language whose plug-in is gone cannot prepare; the others go on.
TEST(ActiveXRunnerPlugIns, MissingPlugInCannotCreateItsEngine) {
    namespace fs = std::filesystem;
    XANEnsureScriptEngines();
    const fs::path dir = fs::temp_directory_path() / ("velmora-ax-engines-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (const as::TEnginePlugIn& p : as::EnginePlugIns()) {
        const fs::path from = fs::path(as::DefaultEngineDirectory()) / p.Library;
        const std::string name = std::string(p.Library) + (p.ProgId == u"LuaScript" ? ".off" : "");
        if (fs::exists(from)) fs::create_symlink(from, dir / name);
    }
    as::RegisterScriptEngines(dir.string());
    auto lua = NewControl(slLua, KLua.Script);
    const TCaught c = Catch([&] { lua->Open(); });
    EXPECT_EQ(c.Message, "Can't create script engine 'LuaScript'");
    EXPECT_EQ(lua->State(), ssInactive);
    auto python = NewControl(slPython, KPython.Script);
    python->Open();
    std::vector<Variant> args{Variant(1), Variant(2)};
    EXPECT_EQ(plat::VarToInt32(python->RunProc(u"add", args)), 3);
    python->Close();
    as::RegisterScriptEngines();
    fs::remove_all(dir);
}

}  // namespace
}  // namespace xan::test
