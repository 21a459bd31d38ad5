// Default behaviour of the interpreter's hook points. The machine overrides them with the call
// machinery, script exceptions, breakpoints and stepping; until then an instruction that needs
// one of those says so instead of doing nothing.
#include "platform/core/Assert.h"
#include "vm/interp/Interpreter.h"
#include "vm/interp/VMErrors.h"

namespace xan {

namespace {

[[noreturn]] void RaiseNotSupportedYet(const char16_t* AWhat) {
    plat::Throw<EXANVMRuntime>(plat::UString(u"Not supported yet: ") + plat::UString(AWhat));
}

}  // namespace

TXANCallExit TXANInterpreter::DoGlobCall(TXANThread&, TXANCallStackFrame&, TXANCall&, plat::Variant*, bool) {
    RaiseNotSupportedYet(u"calls of global names");
}

void TXANInterpreter::DoMemberCall(TXANThread&, TXANCallStackFrame&, TXANCall&, plat::Variant*) {
    RaiseNotSupportedYet(u"member calls");
}

void TXANInterpreter::DoUnnamedCall(TXANThread&, TXANCallStackFrame&, TXANCall&, plat::Variant*) {
    RaiseNotSupportedYet(u"indexing and calling values");
}

void TXANInterpreter::DoUnnamedCallRef(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                                       plat::Variant* ATop) {
    DoUnnamedCall(AThread, AFrame, ACall, ATop);
}

void TXANInterpreter::DoNewUnnamedCall(TXANThread&, TXANCallStackFrame&, TXANCall&, plat::Variant*) {
    RaiseNotSupportedYet(u"object creation");
}

void TXANInterpreter::DoAssignGlobCall(TXANThread&, TXANCallStackFrame&, TXANCall&, plat::Variant*) {
    RaiseNotSupportedYet(u"assignments to global names");
}

void TXANInterpreter::DoAssignMemberCall(TXANThread&, TXANCallStackFrame&, TXANCall&, plat::Variant*) {
    RaiseNotSupportedYet(u"assignments to members");
}

void TXANInterpreter::DoAssignUnnamedCall(TXANThread&, TXANCallStackFrame&, TXANCall&, plat::Variant*) {
    RaiseNotSupportedYet(u"indexed assignments");
}

void TXANInterpreter::DoRaise(TXANThread&, TXANCallStackFrame&, plat::Variant&) {
    RaiseNotSupportedYet(u"raising script exceptions");
}

void TXANInterpreter::DoReraise(TXANThread&, TXANCallStackFrame&, plat::Variant*) {
    RaiseNotSupportedYet(u"re-raising script exceptions");
}

bool TXANInterpreter::DoExceptJmpIfIs(TXANThread&, TXANCallStackFrame&, TXANExcJump&, plat::Variant&) {
    RaiseNotSupportedYet(u"typed exception handlers");
}

void TXANInterpreter::DoExceptDone(TXANThread&, TXANCallStackFrame&) {
    RaiseNotSupportedYet(u"exception handlers");
}

void TXANInterpreter::DoExceptToVar(TXANThread&, TXANCallStackFrame&, plat::Variant*, plat::Variant&) {
    RaiseNotSupportedYet(u"exception values");
}

PXANInstr TXANInterpreter::HandleException(TXANThread&, TXANCallStackFrame&) { return nullptr; }

TXANBreakAction TXANInterpreter::DoBreak(TXANThread&, TXANCallStackFrame& AFrame, std::uint8_t&) {
    if (AFrame.IP->LoadCode() == icBreak) EXANVMRuntime::RaiseError(retIENoBreakpointInfo);
    EXANVMRuntime::RaiseError(retAborted);
}

void TXANInterpreter::OnActivationEnter(TXANThread&, TXANCallStackFrame&) {}

void TXANInterpreter::OnActivationLeave(TXANThread&, TXANCallStackFrame&) noexcept {}

bool TXANInterpreter::DoIsTest(const plat::Variant&, const plat::Variant&) { return false; }

}  // namespace xan
