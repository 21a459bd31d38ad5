// VBScript-dialect scripts compiled by the parser and code generator and run by the virtual
// machine: the tests read global variables and call functions to see the generated code's
// behaviour.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lang/vb/VbLanguage.h"
#include "platform/core/Exception.h"
#include "platform/ole/Variant.h"
#include "vm/compiler/NestingGuard.h"
#include "vm/machine/VirtMachine.h"

namespace xan::vb {
namespace {

using plat::UString;
using plat::Variant;

// A machine that has run the global code of one script.
class Script {
public:
    explicit Script(const char16_t* ASource, void (*ASetup)(TXANVirtMachine&) = nullptr) : FVm(new TXANVbLanguage) {
        if (ASetup) ASetup(FVm);
        FVm.Initialize(ASource);
        FVm.Open();
    }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;
    ~Script() { FVm.Close(); }

    std::string Text(const char16_t* AName) { return plat::VarToUString(FVm.ReadVar(AName).Deref()).ToUtf8(); }
    std::string Call(const char16_t* AName, std::vector<Variant> AArgs = {}) {
        return plat::VarToUString(FVm.RunProc(AName, AArgs).Deref()).ToUtf8();
    }
    TXANVirtMachine& Vm() { return FVm; }

private:
    TXANVirtMachine FVm;
};

// The message of the error that running the script's global code raises; empty without one.
std::string RunError(const char16_t* ASource) {
    std::unique_ptr<plat::Exception> e = plat::CatchAll([&] { Script s(ASource); });
    return e ? e->Message().ToUtf8() : std::string();
}

TEST(VbCodeGenRun, AssignmentsToGlobalsAndLocals) {
    Script s(u"Dim x, y, z\nx = 5\nz = 0\nFunction F(a)\nDim t\nt = a + 1\nF = t * 2\nEnd Function\ny = F(x)");
    EXPECT_EQ(s.Text(u"x"), "5");
    EXPECT_EQ(s.Text(u"z"), "0");
    EXPECT_EQ(s.Text(u"y"), "12");
    EXPECT_EQ(s.Call(u"F", {Variant(1)}), "4");
}

TEST(VbCodeGenRun, OrAndAndAsValuesKeepTheDecidingOperand) {
    Script s(u"Dim a, b, c, d, e\na = 3 Or 4\nb = 0 Or 4\nc = 0 And 4\nd = 6 And 5\ne = Not 0 = -1");
    EXPECT_EQ(s.Text(u"a"), "3");
    EXPECT_EQ(s.Text(u"b"), "4");
    EXPECT_EQ(s.Text(u"c"), "0");
    EXPECT_EQ(s.Text(u"d"), "5");
    EXPECT_EQ(s.Text(u"e"), "True");
}

TEST(VbCodeGenRun, ShortCircuitSkipsTheRightOperand) {
    Script s(
        u"Dim n, a, b, c, r\nn = 0\nFunction T(v)\nn = n + 1\nT = v\nEnd Function\n"
        u"If T(True) Or T(True) Then a = 1\n"      // right skipped
        u"If T(False) And T(True) Then a = 2\n"    // right skipped
        u"If Not T(False) Or T(True) Then b = 1\n" // right skipped
        u"If T(1) <> 1 Or T(2) = 2 Then c = 1\n"   // both evaluated
        u"r = Nothing And T(1)");
    EXPECT_EQ(s.Text(u"n"), "5");  // Nothing converts to False
    EXPECT_EQ(s.Text(u"a"), "1");
    EXPECT_EQ(s.Text(u"b"), "1");
    EXPECT_EQ(s.Text(u"c"), "1");
}

TEST(VbCodeGenRun, ByReferenceAndByValueParameters) {
    Script s(
        u"Dim x, y, w\nSub Inc(ByRef v)\nv = v + 1\nEnd Sub\nSub NoInc(ByVal v)\nv = v + 1\nEnd Sub\n"
        u"x = 1\nInc x\nCall Inc(x)\nNoInc x\ny = 1\nInc y + 0\nw = 1\nInc (w)");
    EXPECT_EQ(s.Text(u"x"), "3");
    EXPECT_EQ(s.Text(u"y"), "1");  // an expression argument passes a value
    EXPECT_EQ(s.Text(u"w"), "2");  // a bracketed argument list still passes the variable
}

TEST(VbCodeGenRun, ExitAndReturnLeaveTheProcedure) {
    Script s(
        u"Function F(n)\nF = 1\nIf n Then Exit Function\nF = 2\nEnd Function\n"
        u"Function G(n)\nReturn n * 3\nG = 0\nEnd Function\n"
        u"Dim u\nSub S\nt = \"in\"\nExit Sub\nt = \"after\"\nEnd Sub\n"
        u"Dim t\nS\nu = t");
    EXPECT_EQ(s.Call(u"F", {Variant(true)}), "1");
    EXPECT_EQ(s.Call(u"F", {Variant(false)}), "2");
    EXPECT_EQ(s.Call(u"G", {Variant(4)}), "12");
    EXPECT_EQ(s.Text(u"u"), "in");
}

TEST(VbCodeGenRun, ReturnAtTheGlobalLevelEndsTheGlobalCode) {
    Script s(u"Dim x\nx = 1\nReturn\nx = 2");
    EXPECT_EQ(s.Text(u"x"), "1");
}

TEST(VbCodeGenRun, ForLoopsCountAndLeave) {
    Script s(
        u"Dim s, i, d, z, e\ns = \"\"\nFor i = 1 To 3 : s = s & i : Next\n"
        u"d = \"\"\nFor i = 10 To 1 Step -4 : d = d & i & \",\" : Next\n"
        u"z = \"none\"\nFor i = 1 To 0 : z = \"ran\" : Next\n"
        u"e = \"\"\nFor i = 1 To 9 : If i = 3 Then Exit For\ne = e & i : Next\n"
        u"Function L(n)\nDim k\nFor k = 1 To n : L = L & k : Next\nEnd Function\n"
        u"Function Limit\nDim n, k\nn = 2\nFor k = 1 To n : n = 10 : Limit = k : Next\nEnd Function");
    EXPECT_EQ(s.Text(u"s"), "123");
    EXPECT_EQ(s.Text(u"d"), "10,6,2,");
    EXPECT_EQ(s.Text(u"z"), "none");
    EXPECT_EQ(s.Text(u"e"), "12");
    EXPECT_EQ(s.Call(u"L", {Variant(4)}), "1234");
    EXPECT_EQ(s.Call(u"Limit"), "2");  // the final value is evaluated once
}

TEST(VbCodeGenRun, DoLoopsTestBeforeOrAfterTheBody) {
    Script s(
        u"Dim a, b, c, d, e, f\na = 0\nDo While a < 3 : a = a + 1 : Loop\n"
        u"b = 5\nDo While b < 3 : b = b + 1 : Loop\n"
        u"c = 5\nDo : c = c + 1 : Loop While c < 3\n"
        u"d = 0\nDo : d = d + 1 : Loop Until d >= 4\n"
        u"e = 0\nDo : e = e + 1 : If e = 7 Then Exit Do\nLoop\n"
        u"f = 0\nDo Until f = 2 : f = f + 1 : Loop");
    EXPECT_EQ(s.Text(u"a"), "3");
    EXPECT_EQ(s.Text(u"b"), "5");
    EXPECT_EQ(s.Text(u"c"), "6");
    EXPECT_EQ(s.Text(u"d"), "4");
    EXPECT_EQ(s.Text(u"e"), "7");
    EXPECT_EQ(s.Text(u"f"), "2");
}

TEST(VbCodeGenRun, IfChainsAndSelectCase) {
    Script s(
        u"Function C(n)\nIf n < 0 Then\nC = \"neg\"\nElseIf n = 0 Then\nC = \"zero\"\nElse\nC = \"pos\"\nEnd If\n"
        u"End Function\n"
        u"Function K(n)\nK = \"-\"\nSelect Case n\nCase 1, 2\nK = \"low\"\nCase 2\nK = \"dup\"\nCase \"a\"\nK = \"text\"\n"
        u"Case Else\nK = \"else\"\nEnd Select\nEnd Function\n"
        u"Function NoElse(n)\nNoElse = \"-\"\nSelect Case n\nCase 1\nNoElse = \"one\"\nEnd Select\nEnd Function");
    EXPECT_EQ(s.Call(u"C", {Variant(-1)}), "neg");
    EXPECT_EQ(s.Call(u"C", {Variant(0)}), "zero");
    EXPECT_EQ(s.Call(u"C", {Variant(5)}), "pos");
    EXPECT_EQ(s.Call(u"K", {Variant(2)}), "low");  // the first matching label wins
    EXPECT_EQ(s.Call(u"K", {Variant(UString(u"a"))}), "text");
    EXPECT_EQ(s.Call(u"K", {Variant(9)}), "else");
    EXPECT_EQ(s.Call(u"NoElse", {Variant(2)}), "-");
}

TEST(VbCodeGenRun, DimRedimAndErase) {
    Script s(
        u"Dim u, be, kept, lost, erased\nDim a(2, 3)\nu = UBound(a, 1) & UBound(a, 2)\n"
        u"Dim b()\nbe = IsEmpty(b)\nReDim b(2)\nb(2) = 7\nReDim Preserve b(4)\nkept = b(2) & UBound(b)\n"
        u"ReDim b(1)\nlost = IsEmpty(b(1))\nErase b\nerased = IsEmpty(b)\n"
        u"Dim i = 4, t = \"x\" & \"y\"\n"
        u"Function Loc\nDim v(1)\nv(1) = 3\nReDim Preserve v(2)\nv(2) = 4\nLoc = v(1) + v(2)\nEnd Function");
    EXPECT_EQ(s.Text(u"u"), "23");
    EXPECT_EQ(s.Text(u"be"), "True");
    EXPECT_EQ(s.Text(u"kept"), "74");
    EXPECT_EQ(s.Text(u"lost"), "True");
    EXPECT_EQ(s.Text(u"erased"), "True");
    EXPECT_EQ(s.Text(u"i"), "4");
    EXPECT_EQ(s.Text(u"t"), "xy");
    EXPECT_EQ(s.Call(u"Loc"), "7");
}

TEST(VbCodeGenRun, TryCatchFinallyAndExits) {
    Script s(
        u"Dim s, r, i, h, rr\ns = \"\"\nTry\nThrow \"e\"\ns = \"no\"\nCatch\ns = s & \"c\"\nFinally\ns = s & \"f\"\nEnd Try\n"
        u"r = \"\"\nFor i = 1 To 5\nTry\nIf i = 3 Then Exit For\nr = r & i\nFinally\nr = r & \"f\"\nEnd Try\nNext\n"
        u"h = \"\"\nDo\nTry\nThrow 1\nCatch\nh = h & \"x\"\nIf Len(h) = 2 Then Exit Do\nEnd Try\nLoop\n"
        u"Function F\nTry\nF = 1\nExit Function\nFinally\nF = F + 10\nEnd Try\nEnd Function\n"
        u"Function G\nTry\nThrow 1\nCatch\nReturn 5\nEnd Try\nG = 9\nEnd Function\n"
        u"rr = \"\"\nTry\nTry\nThrow 2\nCatch\nrr = \"in\"\nThrow\nEnd Try\nCatch\nrr = rr & \"out\"\nEnd Try");
    EXPECT_EQ(s.Text(u"s"), "cf");
    EXPECT_EQ(s.Text(u"r"), "1f2ff");
    EXPECT_EQ(s.Text(u"h"), "xx");
    EXPECT_EQ(s.Call(u"F"), "11");
    EXPECT_EQ(s.Call(u"G"), "5");
    EXPECT_EQ(s.Text(u"rr"), "inout");
}

// An exception matches a Catch filter when its message contains the filter's text; the
// exception variable receives the message.
void MessageFilters(TXANVirtMachine& AVm) {
    AVm.OnExceptionIsTest = [](TXANVirtMachine*, plat::Exception* E, const Variant& AType, bool& AResult) {
        AResult = E->Message().ToUtf8().find(plat::VarToUString(AType.Deref()).ToUtf8()) != std::string::npos;
    };
    AVm.OnExceptionToVar = [](TXANVirtMachine*, plat::Exception* E, Variant& AResult) {
        AResult = Variant(E->Message());
    };
}

TEST(VbCodeGenRun, NamedCatchClausesFilterInOrder) {
    Script s(
        u"Dim byZero, undeclared, nothingMatches\nbyZero = \"zero\"\nundeclared = \"Undeclared\"\n"
        u"nothingMatches = \"@@\"\n"
        u"Function Which(n)\nDim e\ne = \"outer\"\nTry\nIf n = 1 Then Which = 1 \\ 0\nIf n = 2 Then NoSuchThing\n"
        u"Catch e As undeclared\nWhich = \"u:\" & InStr(e, \"NoSuchThing\")\n"
        u"Catch e As byZero\nWhich = \"z\"\nEnd Try\nWhich = Which & \"/\" & e\nEnd Function\n"
        u"Function Unmatched\nTry\nTry\nx = 1 \\ 0\nCatch f As nothingMatches\nUnmatched = \"wrong\"\nEnd Try\n"
        u"Catch\nUnmatched = \"re-raised\"\nEnd Try\nEnd Function",
        MessageFilters);
    EXPECT_EQ(s.Call(u"Which", {Variant(1)}), "z/outer");  // the clause's variable hides the local
    EXPECT_NE(s.Call(u"Which", {Variant(2)}).find("u:"), std::string::npos);
    EXPECT_NE(s.Call(u"Which", {Variant(2)}), "u:0/outer");
    EXPECT_EQ(s.Call(u"Unmatched"), "re-raised");
}

// Compiling frees the syntax trees, so what a Catch clause needs at run time (the scope that
// names the exception, the literals) must belong to the bytecode; AddressSanitizer catches a
// pointer into a freed tree here. Len is resolved at run time through the clause's scope.
TEST(VbCodeGenRun, NamedCatchClausesRunAfterTheirTreesAreFreed) {
    Script s(u"Dim kind\nkind = \"zero\"\nFunction F\nDim i\nF = \"\"\nFor i = 1 To 2\nTry\nF = F & 1 \\ 0\n"
             u"Catch e As kind\nF = F & e & Len(e)\nEnd Try\nNext\nEnd Function",
             MessageFilters);
    EXPECT_EQ(s.Call(u"F"), "Division by zero16Division by zero16");
}

// The deepest nesting of each construct that the parser accepts compiles, runs and is freed
// without exhausting the native stack (the sanitizer build's larger frames included).
TEST(VbCodeGenRun, TheDeepestAcceptedNestingRuns) {
    const auto repeat = [](const char16_t* s, int n) {
        std::u16string r;
        for (int i = 0; i < n; ++i) r += s;
        return r;
    };
    using TMake = std::function<std::u16string(int)>;
    const std::vector<std::pair<TMake, std::string>> cases = {
        {[&](int n) { return u"x = " + repeat(u"(", n) + u"1" + repeat(u")", n); }, "1"},
        {[&](int n) { return u"x = " + repeat(u"F(", n) + u"2" + repeat(u")", n); }, "2"},
        {[&](int n) { return u"x = " + repeat(u"-", 2 * n) + u"3"; }, "3"},
        {[&](int n) { return repeat(u"If True Then\n", n) + u"x = 4\n" + repeat(u"End If\n", n); }, "4"},
        {[&](int n) { return repeat(u"Do\n", n) + u"x = 5\n" + repeat(u"Exit Do\nLoop\n", n); }, "5"},
    };
    const auto script = [](const std::u16string& body) {
        return u"Dim x\nFunction F(a)\nF = a\nEnd Function\n" + body + u"\n";
    };
    for (const auto& [make, expected] : cases) {
        int accepted = 0;
        for (int lo = 1, hi = XANMaxNestingDepth; lo <= hi;) {
            const int mid = (lo + hi) / 2;
            TXANVirtMachine probe(new TXANVbLanguage);
            if (plat::CatchAll([&] { probe.Initialize(UString(script(make(mid)))); })) {
                hi = mid - 1;
            } else {
                accepted = mid;
                lo = mid + 1;
            }
        }
        ASSERT_GT(accepted, XANMaxNestingDepth / 4) << expected;
        Script s(script(make(accepted)).c_str());
        EXPECT_EQ(s.Text(u"x"), expected);
    }
}

TEST(VbCodeGenRun, ExitInsideFinallyIsARunTimeError) {
    EXPECT_NE(RunError(u"Dim i\nFor i = 1 To 2\nTry\nFinally\nExit For\nEnd Try\nNext"), "");
    EXPECT_NE(RunError(u"Sub S\nTry\nFinally\nExit Sub\nEnd Try\nEnd Sub\nS"), "");
    EXPECT_EQ(RunError(u"Dim i\nFor i = 1 To 2\nTry\nExit For\nFinally\nEnd Try\nNext"), "");
}

TEST(VbCodeGenRun, UncaughtErrorsReachTheHost) {
    EXPECT_NE(RunError(u"Throw \"boom\""), "");
    EXPECT_NE(RunError(u"Dim x\nx = 1 \\ 0"), "");
    EXPECT_NE(RunError(u"Dim x\nTry\nThrow 1\nFinally\nx = 1\nEnd Try"), "");
    EXPECT_NE(RunError(u"Undefined 1"), "");
}

TEST(VbCodeGenRun, UnboundedRecursionIsACatchableStackOverflow) {
    EXPECT_NE(RunError(u"Function D(n)\nD = D(n + 1)\nEnd Function\nD 0").find("Stack overflow"), std::string::npos);
    Script s(u"Function D(n)\nD = D(n + 1)\nEnd Function\nDim ok\nok = 0\nTry\nD 0\nCatch\nok = 1\nEnd Try");
    EXPECT_EQ(s.Text(u"ok"), "1");
}

TEST(VbCodeGenRun, EvaluationsAndStatementsSeeTheGlobals) {
    Script s(u"Dim x\nx = 4\nFunction Sq(n)\nSq = n * n\nEnd Function");
    EXPECT_EQ(plat::VarToUString(s.Vm().Eval(u"Sq(x) + 1").Deref()).ToUtf8(), "17");
    s.Vm().ExecStmt(u"x = x & \"!\"");
    EXPECT_EQ(s.Text(u"x"), "4!");
}

}  // namespace
}  // namespace xan::vb
