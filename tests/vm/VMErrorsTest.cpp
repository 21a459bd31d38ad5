#include <gtest/gtest.h>

#include "vm/interp/VMErrors.h"

namespace xan {
namespace {

using plat::UString;

template <class E, class F>
UString MessageOfRaised(F&& f) {
    try {
        f();
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        EXPECT_TRUE(e->Is<E>()) << e->ClassName().ToUtf8();
        return e->Message();
    }
    ADD_FAILURE() << "nothing raised";
    return {};
}

TEST(EXANVirtMachine, StateMessagesAreFixed) {
    EXPECT_EQ(MessageOfRaised<EXANVirtMachine>(RaiseVMShouldBeNotInitialized),
              u"Virtual machine should be not initialized.");
    EXPECT_EQ(MessageOfRaised<EXANVirtMachine>(RaiseVMShouldBeInitialized),
              u"Virtual machine should be initialized.");
    EXPECT_EQ(MessageOfRaised<EXANVirtMachine>(RaiseVMShouldBeActive), u"Virtual machine should be active.");
}

TEST(EXANVMRuntime, EveryKindHasItsMessage) {
    EXPECT_EQ(EXANVMRuntime::MessageOf(retOutsideOfLoop), u"BREAK or CONTINUE outside of loop");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retEBCFromFinally), u"Cannot BREAK, CONTINUE or EXIT out of a FINALLY clause");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retCannotAssign), u"Invalid assignment");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retInvalidParamCount), u"Invalid argument count");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retTypeMismatch), u"Invalid type cast or type mismatch");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retObjectRequired), u"Object required but nil found");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retLoopVar), u"For loop control variable must be simple local variable");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retCannotRaiseNil), u"Cannot raise nil exception");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retCannotRaiseLocked), u"Cannot raise locked exception");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retLowOnlyArray), u"Low can be applied only to an array");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retHighOnlyArray), u"High can be applied only to an array");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retViolatesBounds), u"Constant expression violates subrange bounds");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retInvalidDispId), u"Invalid DispId");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retProcRequired), u"Procedural type required.");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retValObjRequired), u"Variable or constant required.");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retAborted), u"Script execution has been aborted.");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retIEInvalidObjKind), u"Internal error: Invalid object kind");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retIEInvalidBracketType), u"Internal error: Invalid bracket type");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retIEInvalidInstr), u"Internal error: Invalid instruction code");
    EXPECT_EQ(EXANVMRuntime::MessageOf(retIENoBreakpointInfo), u"Internal error: No breakpoint info found");
}

TEST(EXANVMRuntime, UnknownKindsShareOneMessage) {
    EXPECT_EQ(EXANVMRuntime::MessageOf(static_cast<TXANRuntimeErrorType>(21)), u"Internal error: Invalid exception type");
    EXPECT_EQ(EXANVMRuntime::MessageOf(static_cast<TXANRuntimeErrorType>(-1)), u"Internal error: Invalid exception type");
}

TEST(EXANVMRuntime, RaiseErrorFormatsTheName) {
    EXPECT_EQ(MessageOfRaised<EXANVMRuntime>([] { EXANVMRuntime::RaiseError(retUndeclaredId, u"Foo"); }),
              u"Undeclared identifier: 'Foo'");
    EXPECT_EQ(MessageOfRaised<EXANVMRuntime>([] { EXANVMRuntime::RaiseError(retTypeMismatch); }),
              u"Invalid type cast or type mismatch");
    // A message without a placeholder ignores the name.
    EXPECT_EQ(MessageOfRaised<EXANVMRuntime>([] { EXANVMRuntime::RaiseError(retCannotAssign, u"X"); }),
              u"Invalid assignment");
}

}  // namespace
}  // namespace xan
