// Two controls whose scripts call each other through their code objects; an error raised in the
// second reaches the first one's caller with its source position.
#include <gtest/gtest.h>

#include <cstdio>

#include "ControlHost.h"

namespace xan::test {
namespace {

// A control that records every position it is asked to add to an error.
class TRecordingControl : public TXANScriptControl {
    XAN_CLASS(TRecordingControl, TXANScriptControl)
    using TXANScriptControl::TXANScriptControl;
    std::vector<plat::Integer> Lines;
    void FormatSourceInfo(plat::Integer ALine, plat::Integer ALinePos, plat::Exception& E) override {
        Lines.push_back(ALine);
        TXANScriptControl::FormatSourceInfo(ALine, ALinePos, E);
    }
};

struct TPair {
    TXANScriptLanguage LanguageA, LanguageB;
    std::string A, B;
};

const std::string kPasA =
    "function Twice(x); begin Result := 2 * x; end;\n"
    "function Main(x);\n"
    "begin\n"
    "  Result := ScriptB.Calc(x) + 1; // call B\n"
    "end;\n";
const std::string kPasB =
    "function Calc(x);\n"
    "begin\n"
    "  if x = 0 then Result := 10 div x // fails\n"
    "  else Result := ScriptA.Twice(x) * 10;\n"
    "end;\n";
const std::string kVbA =
    "Function Twice(x)\n  Twice = 2 * x\nEnd Function\n"
    "Function Main(x)\n"
    "  Main = ScriptB.Calc(x) + 1 ' call B\n"
    "End Function\n";
const std::string kVbB =
    "Function Calc(x)\n"
    "  If x = 0 Then\n"
    "    Calc = 10 / x ' fails\n"
    "  Else\n"
    "    Calc = ScriptA.Twice(x) * 10\n"
    "  End If\n"
    "End Function\n";

const TPair kPairs[] = {
    {slPascal, slPascal, kPasA, kPasB},
    {slNativeVb, slNativeVb, kVbA, kVbB},
    {slPascal, slNativeVb, kPasA, kVbB},
    {slNativeVb, slPascal, kVbA, kPasB},
};

std::string Marker(const TXANScriptControl& AControl, plat::Integer ALine) {
    char text[64];
    std::snprintf(text, sizeof text, "Source: $%X [line: %d, pos: ", AControl.Identity(), ALine);
    return text;
}

TEST(TwoControls, CallEachOtherAndReportTheInnerPosition) {
    for (const TPair& p : kPairs) {
        TRecordingControl a, b;
        a.SetLanguage(p.LanguageA);
        a.Source().SetText(U(p.A).view());
        b.SetLanguage(p.LanguageB);
        b.Source().SetText(U(p.B).view());
        a.Prepare();
        b.Prepare();
        a.AddObject(u"ScriptB", b.Script(), false);
        b.AddObject(u"ScriptA", a.Script(), false);
        a.Open();
        b.Open();
        Variant three[] = {Variant(3)};
        EXPECT_EQ(plat::VarToInt32(a.RunProc(u"Main", three)), 61);
        Variant zero[] = {Variant(0)};
        const TCaught c = Catch([&] { a.RunProc(u"Main", zero); });
        const plat::Integer lineB = LineOf(p.B, "fails"), lineA = LineOf(p.A, "call B");
        EXPECT_NE(c.Message.find("Division by zero"), std::string::npos) << c.Message;
        EXPECT_NE(c.Message.find(Marker(b, lineB)), std::string::npos) << c.Message;
        EXPECT_EQ(c.Message.find("Source: ", c.Message.find("Source: ") + 1), std::string::npos)
            << "one position only: " << c.Message;
        EXPECT_EQ(b.Lines, std::vector<plat::Integer>{lineB});
        EXPECT_EQ(a.Lines, std::vector<plat::Integer>{lineA}) << "the outer script sees the error at its call";
        a.Close(true);
        b.Close(true);
    }
}

}  // namespace
}  // namespace xan::test
