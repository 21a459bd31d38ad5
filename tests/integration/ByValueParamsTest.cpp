// A by-value parameter is a copy taken at the call: whatever happens to the caller's variable
// afterwards, and whatever the procedure does to its parameter, the two stay apart. A
// by-reference parameter is the caller's variable. Both, for calls between script procedures,
// calls from the host and calls through another script's code object.
#include <gtest/gtest.h>

#include "PascalHost.h"
#include "platform/ole/DispatchCall.h"

namespace xan::test {
namespace {

using ByValueParams = PascalMachine;

TEST_F(ByValueParams, ParameterKeepsTheValueOfTheCallWhenTheGlobalChanges) {
    Start(u"var g = 1;"
          u"function ChangeThenRead(x); begin g := 5; Result := x; end;"
          u"function Caller; begin g := 1; Result := ChangeThenRead(g) * 10 + g; end;");
    EXPECT_EQ(Int(u"Caller"), 15);
}

TEST_F(ByValueParams, ParameterKeepsItsValueWhenTheSameVariableIsAlsoPassedByReference) {
    Start(u"function Twisted(x; var y); begin y := 7; Result := x; end;"
          u"function Caller; var i = 3; begin Result := Twisted(i, i) * 10 + i; end;");
    EXPECT_EQ(Int(u"Caller"), 37);
}

TEST_F(ByValueParams, IndexedAssignmentChangesOnlyTheCopy) {
    Start(u"function PokeAndRead(a); begin a[0] := 99; Result := a[0]; end;"
          u"procedure PokeRef(var a); begin a[0] := 99; end;"
          u"var ga;"
          u"function LocalArray; var a, seen; begin a := array[1]; a[0] := 1; seen := PokeAndRead(a);"
          u"  Result := seen * 1000 + a[0]; end;"
          u"function GlobalArray; begin ga := array[1]; ga[0] := 2; PokeAndRead(ga); Result := ga[0]; end;"
          u"function ByReference; var a; begin a := array[1]; a[0] := 1; PokeRef(a); Result := a[0]; end;");
    EXPECT_EQ(Int(u"LocalArray"), 99001);
    EXPECT_EQ(Int(u"GlobalArray"), 2);
    EXPECT_EQ(Int(u"ByReference"), 99);
}

TEST_F(ByValueParams, PassingTheParameterOnByReferenceChangesOnlyTheCopy) {
    Start(u"procedure Inc2(var x); begin x := x + 2; end;"
          u"function Outer(x); begin Inc2(x); Result := x; end;"
          u"function Caller; var i = 1; begin Result := Outer(i) * 10 + i; end;");
    EXPECT_EQ(Int(u"Caller"), 31);
}

TEST_F(ByValueParams, StringParameterIsACopyToo) {
    Start(u"var s = 'old';"
          u"function Append(x); begin s := 'new'; x := x + '!'; Result := x; end;"
          u"function Caller; begin Result := Append(s) + '/' + s; end;");
    EXPECT_EQ(Text(u"Caller"), u"old!/new");
}

TEST_F(ByValueParams, HostArgumentsOfRunProc) {
    Start(u"function Change(x); begin x := x + 1; Result := x; end;"
          u"procedure ChangeRef(var x); begin x := x + 1; end;");
    Variant hostVar(10);
    std::vector<Variant> args{Variant::RefTo(&hostVar)};
    // A by-value parameter leaves the host's variable and its reference alone, so the same
    // arguments can be passed again.
    EXPECT_EQ(plat::VarToInt32(vm->RunProc(u"Change", args)), 11);
    EXPECT_EQ(plat::VarToInt32(hostVar), 10);
    ASSERT_TRUE(args[0].IsRef());
    hostVar = Variant(20);
    EXPECT_EQ(plat::VarToInt32(vm->RunProc(u"Change", args)), 21);
    // A plain value given for a by-value parameter is not changed either.
    std::vector<Variant> plain{Variant(5)};
    vm->RunProc(u"Change", plain);
    EXPECT_EQ(plat::VarToInt32(plain[0]), 5);
    // By reference: through the host's reference, or into the host's own argument.
    vm->RunProc(u"ChangeRef", args);
    EXPECT_EQ(plat::VarToInt32(hostVar), 21);
    vm->RunProc(u"ChangeRef", plain);
    EXPECT_EQ(plat::VarToInt32(plain[0]), 6);
}

TEST_F(ByValueParams, ThroughAnotherScriptsCodeObject) {
    TXANVirtMachine other(new pas::TXANPasLanguage());
    other.Initialize(u"function Poke(a); begin a[0] := 99; Result := a[0]; end;"
                     u"procedure PokeRef(var a); begin a[0] := 99; end;");
    other.Open();
    plat::ComPtr<plat::IDispatch> code = plat::ComPtr<plat::IDispatch>::Attach(other.GetCodeObject());
    vm->Initialize(u"function Caller; var a, seen; begin a := array[1]; a[0] := 1; seen := Lib.Poke(a);"
                   u"  Result := seen * 1000 + a[0]; end;"
                   u"function CallerRef; var a; begin a := array[1]; a[0] := 1; Lib.PokeRef(a); Result := a[0]; end;");
    ASSERT_TRUE(vm->AddExternObject(code.Get(), u"Lib", false));
    vm->Open();
    EXPECT_EQ(Int(u"Caller"), 99001);
    EXPECT_EQ(Int(u"CallerRef"), 99);
}

TEST_F(ByValueParams, ThroughTheCodeObjectsDispatchInterface) {
    Start(u"function Change(x); begin x := x + 1; Result := x; end;"
          u"procedure ChangeRef(var x); begin x := x + 1; end;");
    plat::ComPtr<plat::IDispatch> code = plat::ComPtr<plat::IDispatch>::Attach(vm->GetCodeObject());
    Variant hostVar(10);
    EXPECT_EQ(plat::VarToInt32(plat::DispCall(code.Get(), u"Change", {Variant::RefTo(&hostVar)})), 11);
    EXPECT_EQ(plat::VarToInt32(hostVar), 10);
    // A procedure yields no result: invoked as a method without asking for one.
    Variant arg = Variant::RefTo(&hostVar);
    plat::DISPPARAMS params;
    params.rgvarg = &arg;
    params.cArgs = 1;
    const plat::DISPID id = plat::DispIdOfName(code.Get(), u"ChangeRef");
    EXPECT_EQ(code->Invoke(id, plat::IID_NULL, 0, plat::DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), plat::S_OK);
    EXPECT_EQ(plat::VarToInt32(hostVar), 11);
}

TEST_F(ByValueParams, ConstParameterCannotBeAssigned) {
    Start(u"procedure P(const x); begin x := 1; end;"
          u"procedure Caller; var i; begin P(i); end;");
    EXPECT_EQ(RaisedBy([&] { Call(u"Caller"); }), u"Invalid assignment");
}

}  // namespace
}  // namespace xan::test
