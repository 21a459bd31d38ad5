// The script control's states, properties, events, named items, running forms and messages.
#include <gtest/gtest.h>

#include "ControlHost.h"
#include "platform/ole/HResult.h"
#include "platform/rtl/TypInfo.h"

namespace xan::test {
namespace {

const std::string kPascal =
    "var G;\n"
    "function Twice(x); begin Result := 2 * x; end;\n"
    "procedure Bump(var a; var b); begin a := a + 1; b := b + 'b'; end;\n"
    "procedure Fail; begin G := 1 div 0; end;\n"
    "begin G := 1; end;\n";
const std::string kVb =
    "Dim G\n"
    "Function Twice(x)\n  Twice = 2 * x\nEnd Function\n"
    "Sub Bump(ByRef a, ByRef b)\n  a = a + 1\n  b = b & \"b\"\nEnd Sub\n"
    "Sub Fail\n  G = 1 / 0\nEnd Sub\n"
    "G = 1\n";

struct TDialectCase {
    TXANScriptLanguage Language;
    const std::string* Source;
};
const TDialectCase kDialects[] = {{slPascal, &kPascal}, {slNativeVb, &kVb}};

std::unique_ptr<TXANScriptControl> InState(TXANScriptControlState AState, TXANScriptLanguage ALanguage = slPascal) {
    auto control = NewControl(ALanguage, ALanguage == slPascal ? kPascal : kVb);
    if (AState == ssPrepared) control->Prepare();
    if (AState == ssActive) control->Open();
    return control;
}

class TDummyPrepared : public TXANPreparedCode {};

// ---- The state machine ------------------------------------------------------------------------

struct TOperation {
    const char* Name;
    TXANStateSet Allowed;
    std::function<void(TXANScriptControl&)> Run;
};

const TXANStateSet kAny = XANStates(ssInactive, ssPrepared, ssActive);

std::vector<TOperation> Operations() {
    static TDummyPrepared dummy;
    return {
        {"Prepare", XANStates(ssInactive), [](auto& c) { c.Prepare(); }},
        {"Open", XANStates(ssInactive, ssPrepared), [](auto& c) { c.Open(); }},
        {"Close", kAny, [](auto& c) { c.Close(); }},
        {"Active := True", kAny, [](auto& c) { c.SetActive(true); }},
        {"Active := False", kAny, [](auto& c) { c.SetActive(false); }},
        {"PrepareExpr", XANStates(ssPrepared, ssActive), [](auto& c) { c.PrepareExpr(u"1 + 2"); }},
        {"PrepareStmt", XANStates(ssPrepared, ssActive), [](auto& c) { c.PrepareStmt(u"G := 3"); }},
        {"Eval text", XANStates(ssActive), [](auto& c) { c.Eval(u"G"); }},
        {"Eval prepared", XANStates(ssActive),
         [](auto& c) {
             if (c.State() != ssActive) c.Eval(dummy);
             else c.Eval(*c.PrepareExpr(u"G"));
         }},
        {"ExecuteStatement text", XANStates(ssActive), [](auto& c) { c.ExecuteStatement(u"G := 2"); }},
        {"ExecuteStatement prepared", XANStates(ssActive),
         [](auto& c) {
             if (c.State() != ssActive) c.ExecuteStatement(dummy);
             else c.ExecuteStatement(*c.PrepareStmt(u"G := 2"));
         }},
        {"RunProc", XANStates(ssActive), [](auto& c) { c.RunProc(u"Fail2"); }},
        {"RunProc with arguments", XANStates(ssActive),
         [](auto& c) {
             Variant args[] = {Variant(4)};
             c.RunProc(u"Twice", args);
         }},
        {"ReadVar", XANStates(ssActive), [](auto& c) { c.ReadVar(u"G"); }},
        {"WriteVar", XANStates(ssActive), [](auto& c) { c.WriteVar(u"G", Variant(5)); }},
        {"Language :=", XANStates(ssInactive), [](auto& c) { c.SetLanguage(slPascal); }},
        {"Source line change", XANStates(ssInactive), [](auto& c) { c.Source().Add(u"// more"); }},
        {"Source :=", XANStates(ssInactive), [](auto& c) { plat::TStringList other; c.SetSource(&other); }},
        {"Debugger :=", XANStates(ssInactive), [](auto& c) { c.SetDebugger(nullptr); }},
        {"ExceptionSourceInfo :=", XANStates(ssInactive), [](auto& c) { c.SetExceptionSourceInfo(true); }},
        {"CodeObject", XANStates(ssPrepared, ssActive), [](auto& c) { c.CodeObject(); }},
        {"Script", XANStates(ssPrepared, ssActive), [](auto& c) { c.Script(); }},
        {"AddObject", kAny, [](auto& c) { c.AddObject(u"Obj", Variant(), false); }},
        {"AddOrSetValue", kAny, [](auto& c) { c.AddOrSetValue(u"V", Variant(1)); }},
        {"TryReadValue", kAny, [](auto& c) { Variant v; c.TryReadValue(u"V", v); }},
        {"RemoveObject", XANStates(ssInactive), [](auto& c) { c.RemoveObject(u"V"); }},
        {"ClearObjects", XANStates(ssInactive), [](auto& c) { c.ClearObjects(); }},
        {"ClearEventHandlers", kAny, [](auto& c) { c.ClearEventHandlers(); }},
        {"AddUnit", kAny, [](auto& c) { c.AddUnit(System_sw::Class(), false); }},
    };
}

TEST(ScriptControlState, EveryOperationInEveryState) {
    for (const TOperation& op : Operations()) {
        for (TXANScriptControlState state : {ssInactive, ssPrepared, ssActive}) {
            auto control = InState(state);
            const TCaught c = Catch([&] { op.Run(*control); });
            const bool refused = c.Message == "Invalid script control state";
            EXPECT_EQ(refused, !(op.Allowed & XANStates(state))) << op.Name << " in state " << int(state) << ": "
                                                                 << c.Message;
            if (refused) {
                EXPECT_EQ(c.ClassName, "EXANScriptControl");
                EXPECT_EQ(control->State(), state) << op.Name << ": a refused operation changes nothing";
            }
        }
    }
}

TEST(ScriptControlState, TransitionsAndEvents) {
    std::vector<std::string> fired;  // outlives the control, whose destruction closes it again
    auto control = NewControl(slPascal, kPascal);
    control->BeforePrepare = [&](plat::TObject* s) { fired.push_back(s == control.get() ? "BeforePrepare" : "?"); };
    control->BeforeOpen = [&](plat::TObject*) { fired.push_back("BeforeOpen:" + std::to_string(control->State())); };
    control->AfterClose = [&](plat::TObject*) { fired.push_back("AfterClose"); };
    control->Close();
    control->Open();
    EXPECT_EQ(control->State(), ssActive);
    control->SetActive(false);
    EXPECT_EQ(control->State(), ssInactive);
    control->Prepare();
    control->SetActive(false);
    EXPECT_EQ(control->State(), ssPrepared) << "a prepared control stays prepared";
    control->SetActive(true);
    EXPECT_TRUE(control->Active());
    EXPECT_EQ(fired, (std::vector<std::string>{"AfterClose", "BeforePrepare", "BeforeOpen:1", "AfterClose",
                                               "BeforePrepare", "BeforeOpen:1"}));
}

TEST(ScriptControlState, CompileErrorLeavesInactiveUntilCorrected) {
    auto control = NewControl(slPascal, "var x;\nbegin x := 1 +; end;\n");
    const TCaught c = Catch([&] { control->Prepare(); });
    EXPECT_EQ(c.ClassName, "EXANPasCompiler");
    EXPECT_EQ(control->State(), ssInactive);
    EXPECT_EQ(control->Runner(), nullptr);
    control->Close();
    control->Source().Put(1, u"begin x := 1 + 2; end;");
    control->Open();
    EXPECT_EQ(plat::VarToInt32(control->ReadVar(u"x")), 3);
}

TEST(ScriptControlState, RuntimeErrorOfGlobalCode) {
    for (bool closeOnError : {true, false}) {
        auto control = NewControl(slPascal, "var x;\nfunction F; begin Result := 7; end;\nbegin x := 1 div 0; end;\n");
        const TCaught c = Catch([&] { control->Open(closeOnError); });
        EXPECT_TRUE(c.Raised);
        EXPECT_EQ(control->State(), closeOnError ? ssInactive : ssActive);
        if (!closeOnError) {
            EXPECT_EQ(plat::VarToInt32(control->RunProc(u"F")), 7);
        }
    }
}

TEST(ScriptControlState, LanguageTable) {
    EXPECT_EQ(XANLanguageInfo(slRexx).EngineName, std::u16string_view(u"ObjectREXXScript"));
    EXPECT_EQ(XANLanguageKind(slNativeVb), slkNative);
}

TEST(ScriptControlState, SourceChangeRefusedWhilePrepared) {
    auto control = InState(ssPrepared);
    const UString before = control->Source().Text();
    EXPECT_TRUE(Catch([&] { control->Source().Put(0, u"var H;"); }).Raised);
    EXPECT_TRUE(Catch([&] { control->Source().Clear(); }).Raised);
    EXPECT_EQ(control->Source().Text(), before);
}

TEST(ScriptControlState, DestroyingAPreparedOrActiveControl) {
    for (TXANScriptControlState state : {ssPrepared, ssActive}) {
        int closed = 0;
        {
            auto control = InState(state);
            control->AfterClose = [&](plat::TObject*) { ++closed; };
        }
        EXPECT_EQ(closed, 1);
    }
}

// ---- Running forms ----------------------------------------------------------------------------

TEST(ScriptControlRun, EvalExecAndPreparedFormsInBothDialects) {
    for (const TDialectCase& d : kDialects) {
        auto control = NewControl(d.Language, *d.Source);
        control->Open();
        const bool pas = d.Language == slPascal;
        EXPECT_EQ(plat::VarToInt32(control->Eval(u"Twice(G) + 1")), 3);
        control->ExecuteStatement(pas ? u"G := 10" : u"G = 10");
        auto expr = control->PrepareExpr(u"Twice(G)");
        auto stmt = control->PrepareStmt(pas ? u"G := G + 1" : u"G = G + 1");
        control->ExecuteStatement(*stmt);
        control->ExecuteStatement(*stmt);
        EXPECT_EQ(plat::VarToInt32(control->Eval(*expr)), 24);
        control->WriteVar(u"g", Variant(50));
        EXPECT_EQ(plat::VarToInt32(control->ReadVar(u"G")), 50);
        Variant arg[] = {Variant(21)};
        EXPECT_EQ(plat::VarToInt32(control->RunProc(u"Twice", arg)), 42);
    }
}

TEST(ScriptControlRun, PreparedWhilePreparedRunsOnceActive) {
    auto control = InState(ssPrepared);
    auto expr = control->PrepareExpr(u"Twice(G)");
    control->Open();
    EXPECT_EQ(plat::VarToInt32(control->Eval(*expr)), 2);
}

TEST(ScriptControlRun, RunProcWritesBackByReferenceArguments) {
    for (const TDialectCase& d : kDialects) {
        auto control = NewControl(d.Language, *d.Source);
        control->Open();
        Variant args[] = {Variant(1), Variant(u"a")};
        control->RunProc(u"Bump", args);
        EXPECT_EQ(plat::VarToInt32(args[0]), 2);
        EXPECT_EQ(plat::VarToUString(args[1]), u"ab");
    }
}

TEST(ScriptControlRun, CodeObjectIsTheScript) {
    auto control = InState(ssActive);
    Variant script = control->Script();
    EXPECT_EQ(script.Dispatch(), control->CodeObject());
    auto other = NewControl(slNativeVb, "Function Use\n  Use = S.Twice(5)\nEnd Function\n");
    other->AddObject(u"S", script, false);
    other->Open();
    EXPECT_EQ(plat::VarToInt32(other->RunProc(u"Use")), 10);
}

// ---- Error messages ------------------------------------------------------------------------------

TEST(ScriptControlErrors, SourceInformationFollowsTheProperty) {
    for (const TDialectCase& d : kDialects) {
        for (bool info : {true, false}) {
            auto control = NewControl(d.Language, *d.Source);
            control->SetExceptionSourceInfo(info);
            control->Open();
            const TCaught c = Catch([&] { control->RunProc(u"Fail"); });
            const std::string line = std::to_string(LineOf(*d.Source, d.Language == slPascal ? "1 div 0" : "1 / 0"));
            char id[16];
            std::snprintf(id, sizeof id, "%X", control->Identity());
            const std::string suffix = std::string("\r\nSource: $") + id + " [line: " + line + ", pos: ";
            if (info) {
                EXPECT_NE(c.Message.find(suffix), std::string::npos) << c.Message;
            } else {
                EXPECT_EQ(c.Message, "Division by zero");
            }
        }
    }
}

TEST(ScriptControlErrors, CompileErrorsCarryTheirPosition) {
    auto control = NewControl(slNativeVb, "Dim a\na = (1 +\n");
    const TCaught c = Catch([&] { control->Prepare(); });
    EXPECT_NE(c.Message.find("[line: 1, pos: "), std::string::npos) << c.Message;
}

TEST(ScriptControlErrors, MarkerIsNotAddedTwice) {
    TXANScriptControl control;
    plat::Exception e(u"Boom\r\nSource: $1 [line: 3, pos: 4]");
    control.FormatSourceInfo(7, 8, e);
    EXPECT_EQ(e.Message(), u"Boom\r\nSource: $1 [line: 3, pos: 4]");
    plat::Exception other(u"Bracket [x] only");
    control.FormatSourceInfo(7, 8, other);
    EXPECT_NE(other.Message().ToUtf8().find("[line: 7, pos: 8]"), std::string::npos);
}

// ---- Named items ---------------------------------------------------------------------------------

TEST(ScriptControlNamedItems, NamesIgnoreCaseAcrossKinds) {
    TXANScriptControl control;
    control.AddObject(u"Form1", Variant(), false);
    const TCaught value = Catch([&] { control.AddOrSetValue(u"FORM1", Variant(1)); });
    EXPECT_EQ(value.Message, "Value named item required. 'FORM1' is an object.");
    EXPECT_EQ(value.Code, plat::E_FAIL);
    const TCaught twice = Catch([&] { control.AddObject(u"form1", Variant(), true); });
    EXPECT_EQ(twice.Message, "Object or value named 'form1' already exists.");
    EXPECT_EQ(twice.Code, plat::E_FAIL);
    control.AddOrSetValue(u"Limit", Variant(1));
    EXPECT_EQ(Catch([&] { control.AddObject(u"LIMIT", Variant(), false); }).Message,
              "Object or value named 'LIMIT' already exists.");
    Variant v = Variant(5);
    EXPECT_FALSE(control.TryReadValue(u"form1", v));
    EXPECT_EQ(v.VType, plat::varEmpty);
    control.AddOrSetValue(u"limit", Variant(2));
    EXPECT_TRUE(control.TryReadValue(u"LiMiT", v));
    EXPECT_EQ(plat::VarToInt32(v), 2);
    EXPECT_EQ(control.NamedItems().Count(), 2);
    control.RemoveObject(u"FORM1");
    control.RemoveObject(u"nothing");
    EXPECT_EQ(control.NamedItems().Count(), 1);
}

TEST(ScriptControlNamedItems, ValuesAreSharedWithTheScript) {
    for (const TDialectCase& d : kDialects) {
        const bool pas = d.Language == slPascal;
        auto control = NewControl(d.Language, pas ? "procedure SetIt; begin Counter := Counter + 1; end;"
                                                  : "Sub SetIt\n  Counter = Counter + 1\nEnd Sub\n");
        control->AddOrSetValue(u"Counter", Variant(1));
        control->Open();
        control->RunProc(u"SetIt");
        Variant v;
        ASSERT_TRUE(control->TryReadValue(u"counter", v));
        EXPECT_EQ(plat::VarToInt32(v), 2);
        control->AddOrSetValue(u"Late", Variant(u"late"));
        EXPECT_EQ(plat::VarToUString(control->Eval(u"Late")), u"late");
        control->AddOrSetValue(u"Counter", Variant(40));
        EXPECT_EQ(plat::VarToInt32(control->Eval(u"Counter + 2")), 42);
    }
}

TEST(ScriptControlNamedItems, HolderIsThereWithoutItems) {
    auto control = InState(ssActive, slNativeVb);
    EXPECT_EQ(plat::VarToInt32(control->Eval(UString(u"VarType(") + UString(XANNamedValuesHolderName) + UString(u")"))), plat::varDispatch);
}

TEST(ScriptControlNamedItems, HolderDispatchRules) {
    Variant a(1), b(2);
    plat::ComPtr<TNamedValuesHolder> holder(new TNamedValuesHolder());
    holder->AddValue(u"a", a);
    holder->AddValue(u"B", b);
    holder->AddValue(u"A", b);
    const char16_t* names[] = {u"b", u"x"};
    plat::DISPID ids[2] = {0, 0};
    EXPECT_EQ(holder->GetIDsOfNames(plat::IDispatch::IID, names, 2, 0, ids), plat::S_OK);
    EXPECT_EQ(ids[0], 2);
    const char16_t* unknown[] = {u"x", u"a"};
    EXPECT_EQ(holder->GetIDsOfNames(plat::IDispatch::IID, unknown, 2, 0, ids), plat::DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], -1);
    EXPECT_EQ(ids[1], -1);
    plat::DISPPARAMS none{};
    Variant result;
    struct TCase {
        plat::DISPID Id;
        std::uint16_t Flags;
        std::uint32_t Args;
        plat::HRESULT Want;
    };
    const TCase cases[] = {
        {0, plat::DISPATCH_PROPERTYGET, 0, plat::DISP_E_MEMBERNOTFOUND},
        {3, plat::DISPATCH_PROPERTYGET, 0, plat::DISP_E_MEMBERNOTFOUND},
        {1, plat::DISPATCH_PROPERTYGET | plat::DISPATCH_METHOD, 0, plat::S_OK},
        {1, plat::DISPATCH_PROPERTYGET, 1, plat::DISP_E_BADPARAMCOUNT},
        {1, plat::DISPATCH_PROPERTYPUT, 0, plat::DISP_E_BADPARAMCOUNT},
        {1, plat::DISPATCH_PROPERTYPUT, 1, plat::S_OK},
        {1, plat::DISPATCH_METHOD, 0, plat::DISP_E_TYPEMISMATCH},
        {1, plat::DISPATCH_PROPERTYPUTREF, 1, plat::DISP_E_TYPEMISMATCH},
    };
    for (const TCase& c : cases) {
        plat::Variant arg(9);
        plat::DISPPARAMS params{&arg, nullptr, c.Args, 0};
        EXPECT_EQ(holder->Invoke(c.Id, plat::IDispatch::IID, 0, c.Flags, c.Args ? &params : &none, &result, nullptr,
                                 nullptr),
                  c.Want)
            << c.Id << " " << c.Flags;
    }
    EXPECT_EQ(plat::VarToInt32(a), 9) << "a put reaches the bound storage";
    std::uint32_t count = 7;
    holder->GetTypeInfoCount(&count);
    EXPECT_EQ(count, 0u);
}

TEST(ScriptControlNamedItems, ObjectsAddedWhileActiveAreVisible) {
    auto control = InState(ssActive);
    auto other = InState(ssActive);
    control->AddObject(u"Other", other->Script(), false);
    EXPECT_EQ(plat::VarToInt32(control->Eval(u"Other.Twice(4)")), 8);
    control->AddObject(u"Published", other->Script(), true);
    EXPECT_EQ(plat::VarToInt32(control->Eval(u"Published.Twice(5)")), 10);
}

TEST(ScriptControlNamedItems, ItemsOutliveCloseUnlessCleared) {
    auto control = NewControl(slPascal, "function F; begin Result := V; end;");
    control->AddOrSetValue(u"V", Variant(3));
    control->Open();
    control->Close();
    control->Open();
    EXPECT_EQ(plat::VarToInt32(control->RunProc(u"F")), 3);
    control->Close(true, true);
    EXPECT_EQ(control->NamedItems().Count(), 0);
}

// ---- Language and debugger ----------------------------------------------------------------------

TEST(ScriptControlDebugger, LanguageKindsDoNotMixOnOneDebugger) {
    TTestDebugger debugger;
    TXANScriptControl pascal, vbscript, nativeVb;
    pascal.SetLanguage(slPascal);
    pascal.SetDebugger(&debugger);
    const TCaught c = Catch([&] { vbscript.SetDebugger(&debugger); });
    EXPECT_EQ(c.Message, "Cannot connect ActiveX and Pascal scripts to single debugger.");
    EXPECT_EQ(vbscript.Debugger(), nullptr);
    nativeVb.SetLanguage(slNativeVb);
    nativeVb.SetDebugger(&debugger);
    EXPECT_EQ(debugger.ScriptCount(), 2);
    EXPECT_EQ(Catch([&] { nativeVb.SetLanguage(slLua); }).Message,
              "Cannot connect ActiveX and Pascal scripts to single debugger.");
    EXPECT_EQ(nativeVb.Language(), slNativeVb);
    nativeVb.SetLanguage(slPascal);
    EXPECT_EQ(debugger.Changes.back(), u"language");
}

TEST(ScriptControlDebugger, DebugNameNeedsTheDebuggerFirst) {
    TTestDebugger debugger;
    TXANScriptControl control;
    control.SetLanguage(slPascal);
    control.SetDebugName(u"Main");
    EXPECT_EQ(control.DebugName(), u"");
    control.SetDebugger(&debugger);
    control.SetDebugName(u"Main");
    EXPECT_EQ(control.DebugName(), u"Main");
    EXPECT_EQ(control.DebugModule(), debugger.FindOrAddModule(u"Main"));
    TTestDebugger other;
    control.SetDebugModule(other.FindOrAddModule(u"Foreign"));
    EXPECT_EQ(control.DebugName(), u"Main") << "a module of another debugger is ignored";
    control.SetDebugger(nullptr);
    EXPECT_EQ(control.DebugModule(), nullptr);
}

TEST(ScriptControlDebugger, DestroyedDebuggerIsForgotten) {
    TXANScriptControl control;
    control.SetLanguage(slPascal);
    {
        TTestDebugger debugger;
        control.SetDebugger(&debugger);
    }
    EXPECT_EQ(control.Debugger(), nullptr);
}

// ---- Persisted properties ------------------------------------------------------------------------

TEST(ScriptControlProperties, RestoredThroughTypeInformationWhileLoading) {
    TTestDebugger debugger;
    plat::TComponent form;
    auto* control = new TXANScriptControl(&form);
    plat::TStringList source;
    source.SetText(u"var X;\nbegin X := 5; end;");
    form.BeginLoading();
    // Stored order: Active first, DebugName before Debugger would be read.
    plat::SetOrdProp(*control, plat::FindPropInfo(*control, u"Active"), 1);
    plat::SetObjectProp(*control, plat::FindPropInfo(*control, u"Source"), &source);
    plat::SetEnumProp(*control, plat::FindPropInfo(*control, u"Language"), u"slPascal");
    plat::SetStrProp(*control, plat::FindPropInfo(*control, u"DebugName"), u"Loaded");
    plat::SetObjectProp(*control, plat::FindPropInfo(*control, u"Debugger"), &debugger);
    plat::SetOrdProp(*control, plat::FindPropInfo(*control, u"ExceptionSourceInfo"), 0);
    EXPECT_EQ(control->State(), ssInactive);
    form.EndLoading();
    EXPECT_EQ(control->DebugName(), u"Loaded");
    EXPECT_TRUE(control->Active());
    EXPECT_EQ(plat::VarToInt32(control->ReadVar(u"X")), 5);
    EXPECT_EQ(plat::GetEnumProp(*control, plat::FindPropInfo(*control, u"Language")), u"slPascal");
    EXPECT_EQ(plat::GetOrdProp(*control, plat::FindPropInfo(*control, u"ExceptionSourceInfo")), 0);
    control->Close();
}

}  // namespace
}  // namespace xan::test
