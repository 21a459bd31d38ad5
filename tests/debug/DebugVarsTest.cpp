// Stack frames, debug variables and evaluation in a paused frame, in both dialects.
#include <gtest/gtest.h>

#include <thread>

#include "platform/ole/SafeArray.h"
#include "tests/debug/DebugHost.h"

namespace xan::test {
namespace {

using plat::SafeArray;

// A variable's children as "name: type = value" lines.
std::vector<std::string> ChildLines(const TXANPasDebugVar& AVar) {
    std::vector<std::string> lines;
    if (!AVar.Children) return lines;
    AVar.Children->Enum([](const TXANPasDebugVar& v, void* cookie, bool&) {
        static_cast<std::vector<std::string>*>(cookie)->push_back(v.Name.ToUtf8() + ": " + v.Type_.ToUtf8() + " = " +
                                                                   v.Value.ToUtf8());
    }, &lines);
    return lines;
}

// The child named AName.
TXANPasDebugVar Child(const TXANPasDebugVar& AVar, const std::string& AName) {
    TXANPasDebugVar found;
    AVar.Children->Enum([&](const TXANPasDebugVar& v, void*, bool& stop) {
        if (v.Name.ToUtf8() != AName) return;
        found = v;
        stop = true;
    }, nullptr);
    return found;
}

std::string Line(const TXANPasDebugVar& AVar) {
    return AVar.Name.ToUtf8() + ": " + AVar.Type_.ToUtf8() + " = " + AVar.Value.ToUtf8();
}

class DebugVarsTest : public ::testing::TestWithParam<Dialect> {
protected:
    const char16_t* Pick(const char16_t* APascal, const char16_t* AVb) const {
        return GetParam() == Dialect::Pascal ? APascal : AVb;
    }
    bool Pascal() const { return GetParam() == Dialect::Pascal; }

    // Runs AProc of ASource with a breakpoint at @bp; AInspect runs in the break.
    void AtBreak(const char16_t* ASource, const char16_t* AProc,
                 std::function<void(TXANPasStackFrames&)> AInspect) {
        host.onStop = [&](const TXANPasStackFramesRef& AFrames, const TStop&) {
            AInspect(*AFrames);
            kept = AFrames;
            return rkContinue;
        };
        host.Start(ASource, {"@bp"});
        if (AProc) host.vm->RunProc(AProc);
        ASSERT_EQ(host.stops.size(), 1u);
    }

    void RunF(int AArg) {
        std::vector<Variant> args{Variant(AArg)};
        host.vm->RunProc(u"F", args);
    }

    TDebugHost host{GetParam()};
    TXANPasStackFramesRef kept;
};

const char16_t* const PascalFunc =
    u"var g = 7;\n"
    u"function F(a);\n"
    u"const c = 3;\n"
    u"var x;\n"
    u"begin\n"
    u"  x := a * c;\n"
    u"  Result := x + 1; // @bp\n"
    u"end;\n"
    u"begin\n"
    u"end;\n";

const char16_t* const VbFunc =
    u"Dim g\n"
    u"g = 7\n"
    u"Function F(a)\n"
    u"  Dim x\n"
    u"  x = a * 3\n"
    u"  F = x + 1 ' @bp\n"
    u"End Function\n";

TEST_P(DebugVarsTest, FramesDescribeTheCallStackInnermostFirst) {
    host.Start(Pick(PascalFunc, VbFunc), {"@bp"});
    host.onStop = [&](const TXANPasStackFramesRef& AFrames, const TStop&) {
        EXPECT_EQ(AFrames->Count(), 1);
        EXPECT_EQ(plat::IdentUpperCase(AFrames->Items(0)->Description()), u"F");
        EXPECT_EQ(AFrames->Items(0)->Line(), host.Line("@bp"));
        EXPECT_EQ(AFrames->Items(0)->VM(), host.vm.get());
        return rkContinue;
    };
    RunF(2);
    EXPECT_EQ(host.stops.size(), 1u);
}

TEST_P(DebugVarsTest, LocalsAreParametersConstantsVariablesAndTheResult) {
    std::vector<std::string> locals;
    host.onStop = [&](const TXANPasStackFramesRef& AFrames, const TStop&) {
        TXANPasDebugVar root;
        AFrames->Items(0)->GetVariables(root);
        EXPECT_EQ(Line(root), "Locals: object = {...}");
        locals = ChildLines(root);
        return rkContinue;
    };
    host.Start(Pick(PascalFunc, VbFunc), {"@bp"});
    RunF(2);
    for (std::string& l : locals) l = plat::IdentUpperCase(UString::FromUtf8(l.substr(0, l.find(':')))).ToUtf8() + l.substr(l.find(':'));
    // In the order the front end reports them (the VBScript function has no constant).
    const std::vector<std::string> expected =
        Pascal() ? std::vector<std::string>{"A: Integer = 2", "C: Integer = 3", "X: Integer = 6",
                                            "RESULT: Unassigned = Unassigned"}
                 : std::vector<std::string>{"A: Integer = 2", "X: Integer = 6", "F: Unassigned = Empty"};
    EXPECT_EQ(locals, expected);
}

TEST_P(DebugVarsTest, GlobalCodeListsGlobalsConstantsFirst) {
    AtBreak(Pick(u"const k = 'It''s';\nvar v, w;\nbegin\n  v := 1; // @bp\nend;\n",
                 u"Dim k, v, w\nk = \"It's\"\nv = 1 ' @bp\n"),
            nullptr, [&](TXANPasStackFrames& AFrames) {
                TXANPasDebugVar root;
                AFrames.Items(0)->GetVariables(root);
                EXPECT_EQ(Line(root), "Globals: object = {...}");
                const std::string empty = Pascal() ? "Unassigned" : "Empty";
                EXPECT_EQ(ChildLines(root), (std::vector<std::string>{"k: String = 'It''s'", "v: Unassigned = " + empty,
                                                                      "w: Unassigned = " + empty}));
            });
}

TEST_P(DebugVarsTest, EvalSeesThePausedProcedureAndReportsErrorsAsVariables) {
    host.onStop = [&](const TXANPasStackFramesRef& AFrames, const TStop&) {
        TXANPasStackFrame& frame = *AFrames->Items(0);
        TXANPasDebugVar v;
        frame.Eval(u"x + a", v);
        EXPECT_EQ(Line(v), "x + a: Integer = 8");
        frame.Eval(u"g", v);
        EXPECT_EQ(Line(v), "g: Integer = 7");
        frame.Eval(u"1+", v);
        EXPECT_EQ(v.Type_, u"Error");
        EXPECT_FALSE(v.Value.empty());
        Variant value = Variant(5);
        EXPECT_FALSE(frame.Eval(u"1+", value));
        EXPECT_TRUE(value.IsEmpty());
        EXPECT_TRUE(frame.Eval(u"x * 2", value));
        EXPECT_EQ(plat::VarToInt32(value), 12);
        return rkContinue;
    };
    host.Start(Pick(PascalFunc, VbFunc), {"@bp"});
    RunF(2);
    EXPECT_EQ(host.stops.size(), 1u);
}

TEST_P(DebugVarsTest, GlobalFrameFindsOnlyGlobalNames) {
    host.onStop = [&](const TXANPasStackFramesRef& AFrames, const TStop&) {
        TXANPasDebugVar v;
        AFrames->Items(AFrames->Count() - 1)->Eval(u"x", v);
        EXPECT_EQ(v.Type_, u"Error") << Line(v);
        return rkContinue;
    };
    const char16_t* source = Pick(u"var r;\nfunction F(a);\nvar x;\nbegin\n  x := a;\n  Result := x; // @bp\nend;\n"
                                  u"begin\n  r := F(1);\nend;\n",
                                  u"Dim r\nFunction F(a)\n  Dim x\n  x = a\n  F = x ' @bp\nEnd Function\nr = F(1)\n");
    host.vm->OnFormatException = nullptr;
    host.Start(source, {"@bp"});
    EXPECT_EQ(host.stops.size(), 1u);
}

TEST_P(DebugVarsTest, FramesAreReadableOnlyOnTheBreakedThreadDuringTheBreak) {
    UString fromOtherThread;
    host.Start(Pick(PascalFunc, VbFunc), {"@bp"});
    host.onStop = [&](const TXANPasStackFramesRef& AFrames, const TStop&) {
        std::thread other([&] {
            fromOtherThread = RaisedBy([&] {
                TXANPasDebugVar v;
                AFrames->Items(0)->Eval(u"a", v);
            });
        });
        other.join();
        kept = AFrames;
        return rkContinue;
    };
    RunF(2);
    EXPECT_EQ(fromOtherThread, u"Debug evaluation is only allowed from the breaked thread.");
    // The host kept the snapshot: its activations are gone, and it says so.
    EXPECT_EQ(RaisedBy([&] {
                  TXANPasDebugVar v;
                  kept->Items(0)->GetVariables(v);
              }),
              u"The debugger break of this stack frame has ended.");
    EXPECT_EQ(kept->Items(0)->Line(), host.Line("@bp"));
}

TEST_P(DebugVarsTest, ValueTextsFollowTheLanguage) {
    plat::ComPtr<IXANLanguage> lang(NewLanguage(GetParam()));
    auto text = [&](const Variant& v) {
        TXANPasDebugVar var;
        TDebugVarUtils::FillVar(u"v", TDebugVarUtils::TypeName(v), lang.Get(), v, var);
        return var.Type_.ToUtf8() + " = " + var.Value.ToUtf8();
    };
    EXPECT_EQ(text(Variant()), Pascal() ? "Unassigned = Unassigned" : "Unassigned = Empty");
    EXPECT_EQ(text(Variant::Null()), "Null = Null");
    EXPECT_EQ(text(Variant(static_cast<plat::IDispatch*>(nullptr))), Pascal() ? "Object = nil" : "Object = Nothing");
    EXPECT_EQ(text(Variant(u"It's")), "String = 'It''s'");
    EXPECT_EQ(text(Variant(true)), "Boolean = True");
    Variant target(42);
    EXPECT_EQ(text(Variant::RefTo(&target)), "Integer = 42");
    EXPECT_EQ(text(Variant::Adopt(plat::VarData(static_cast<plat::VarType>(258), 0))), "Unknown type $102 = ");
}

TEST_P(DebugVarsTest, ArraysListTheirDimensionsLazily) {
    plat::ComPtr<IXANLanguage> lang(NewLanguage(GetParam()));
    const SafeArray::Bound bounds[] = {{1, 2}, {0, 3}};
    Variant matrix = Variant::FromArray(SafeArray::Create(plat::varInteger, bounds));
    for (std::int32_t i = 1; i <= 2; ++i)
        for (std::int32_t j = 0; j < 3; ++j) {
            const std::int32_t idx[] = {i, j};
            matrix.MutableArray().Put(idx, Variant(i * 10 + j));
        }
    TXANPasDebugVar var;
    TDebugVarUtils::FillVar(u"m", TDebugVarUtils::TypeName(matrix), lang.Get(), matrix, var);
    EXPECT_EQ(Line(var), "m: array of Integer = {...}");
    EXPECT_EQ(ChildLines(var), (std::vector<std::string>{"[1]: array = {...}", "[2]: array = {...}"}));
    EXPECT_EQ(ChildLines(Child(var, "[2]")),
              (std::vector<std::string>{"[0]: Integer = 20", "[1]: Integer = 21", "[2]: Integer = 22"}));

    Variant variants = Variant::FromArray(SafeArray::Create1(plat::varVariant, 0, 2));
    const std::int32_t first[] = {0};
    variants.MutableArray().Put(first, Variant(u"x"));
    TDebugVarUtils::FillVar(u"v", TDebugVarUtils::TypeName(variants), lang.Get(), variants, var);
    EXPECT_EQ(ChildLines(var), (std::vector<std::string>{"[0]: Variant = 'x'", std::string("[1]: Variant = ") +
                                                                                   (Pascal() ? "Unassigned" : "Empty")}));

    Variant empty = Variant::FromArray(SafeArray::Create1(plat::varInteger, 0, 0));
    TDebugVarUtils::FillVar(u"e", TDebugVarUtils::TypeName(empty), lang.Get(), empty, var);
    EXPECT_EQ(Line(var), "e: array of Integer = {...}");
    EXPECT_FALSE(var.Children);
}

TEST_P(DebugVarsTest, ArraysOfTheScriptAreCapturedWhenListed) {
    AtBreak(Pick(u"var a;\nbegin\n  a := array[2];\n  a[0] := 1;\n  a[1] := 'two';\n  a[2] := 3;\n  a := 0; // @bp\nend;\n",
                 u"Dim a\na = Array(1, \"two\", 3)\na = 0 ' @bp\n"),
            nullptr, [&](TXANPasStackFrames& AFrames) {
                TXANPasDebugVar root;
                AFrames.Items(0)->GetVariables(root);
                EXPECT_EQ(ChildLines(Child(root, "a")),
                          (std::vector<std::string>{"[0]: Variant = 1", "[1]: Variant = 'two'", "[2]: Variant = 3"}));
            });
}

TEST_P(DebugVarsTest, HostObjectsListTheirReadableProperties) {
    plat::ComPtr<IXANLanguage> lang(NewLanguage(GetParam()));
    plat::ComPtr<THostObject> obj(new THostObject());
    obj->Add(u"Name", [](const plat::DISPPARAMS&, Variant* r) { return *r = Variant(u"box"), plat::S_OK; });
    obj->Add(u"Broken", [](const plat::DISPPARAMS&, Variant*) { return plat::E_FAIL; });
    obj->Add(u"Items", [](const plat::DISPPARAMS&, Variant*) { return plat::S_OK; });
    obj->Add(u"Run", [](const plat::DISPPARAMS&, Variant*) { return plat::S_OK; });
    obj->Add(u"Code", [](const plat::DISPPARAMS&, Variant* r) { return *r = Variant(0), plat::S_OK; });
    obj->SetTypeInfo(new plat::TMemberTypeInfo({{u"Name", 1, plat::INVOKE_PROPERTYGET, 0, plat::varOleStr, {}},
                                                {u"Broken", 2, plat::INVOKE_PROPERTYGET, 0, plat::varInteger, {}},
                                                {u"Items", 3, plat::INVOKE_PROPERTYGET, 1, plat::varVariant, {}},
                                                {u"Run", 4, plat::INVOKE_FUNC, 0, plat::varEmpty, {}},
                                                {u"Code", 5, plat::INVOKE_PROPERTYGET, 0, plat::VT_HRESULT, {}}}));
    TXANPasDebugVar var;
    const Variant value(static_cast<plat::IDispatch*>(obj.Get()));
    TDebugVarUtils::FillVar(u"o", TDebugVarUtils::TypeName(value), lang.Get(), value, var);
    EXPECT_EQ(Line(var), "o: Object = {...}");
    EXPECT_EQ(ChildLines(var), (std::vector<std::string>{"Name: String = 'box'", "Broken: Error = Inaccessible value",
                                                         "Items[]: Collection = {...}", "Code: Unknown type $19 = 0"}));
    // Without type information an object has no children.
    plat::ComPtr<THostObject> plain(new THostObject());
    TDebugVarUtils::FillVar(u"p", u"Object", lang.Get(), Variant(static_cast<plat::IDispatch*>(plain.Get())), var);
    EXPECT_FALSE(var.Children);
}

INSTANTIATE_TEST_SUITE_P(BothDialects, DebugVarsTest, ::testing::Values(Dialect::Pascal, Dialect::Vb),
                         [](const ::testing::TestParamInfo<Dialect>& info) { return DialectName(info.param); });

}  // namespace
}  // namespace xan::test
