#pragma once
// Helpers of the built-in routine tests: call descriptors as the code generator makes them,
// running a built-in as the machine does, and checking what it raised.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "lang/pascal/PasIntrinsics.h"
#include "platform/core/Exception.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"
#include "vm/interp/VMErrors.h"

namespace xan::pas::test {

using plat::UString;
using plat::Variant;

// A call of AArgCount arguments in ABracket brackets, in an expression when AResultUsed.
inline std::unique_ptr<TXANCall> MakeCall(Integer AArgCount, TXANBracketType ABracket = bkRound,
                                          bool AResultUsed = true) {
    auto call = std::make_unique<TXANCall>();
    call->FBracketType = ABracket;
    call->FArgCount = AArgCount;
    call->FResMask = AResultUsed ? XANResMaskValue : XANResMaskNone;
    return call;
}

// Runs ARoutine through the call check with AArgs (which may hold references) and answers
// the result slot.
inline Variant RunCall(TPasIntrinsic& ARoutine, std::vector<Variant>& AArgs, TXANBracketType ABracket = bkRound,
                   bool AResultUsed = true) {
    auto call = MakeCall(Integer(AArgs.size()), ABracket, AResultUsed);
    Variant result;
    ARoutine.Execute(nullptr, call.get(), AArgs.data(), result);
    return result;
}

// A fresh T called in an expression with round brackets and the given argument values.
template <class T>
Variant Call(std::initializer_list<Variant> AArgs) {
    T routine;
    std::vector<Variant> args(AArgs);
    return RunCall(routine, args);
}

// A fresh constant T read without brackets.
template <class T>
Variant Value() {
    T constant;
    std::vector<Variant> none;
    return RunCall(constant, none, bkNon);
}

// A fresh T called as a statement: Execute with no result wanted.
template <class T>
void Perform(std::vector<Variant>& AArgs) {
    T routine;
    RunCall(routine, AArgs, AArgs.empty() ? bkNon : bkRound, false);
}

inline std::unique_ptr<plat::Exception> RaisedBy(const std::function<void()>& f) {
    try {
        f();
    } catch (const plat::RaisedException& r) {
        return std::unique_ptr<plat::Exception>(plat::AcquireExceptionObject(r));
    }
    return nullptr;
}

// f raised an exception of class E (or a descendant) with AMessage.
template <class E>
::testing::AssertionResult Raises(const std::function<void()>& f, std::u16string_view AMessage) {
    const std::unique_ptr<plat::Exception> e = RaisedBy(f);
    if (!e) return ::testing::AssertionFailure() << "nothing was raised";
    if (!e->InheritsFrom(E::StaticClass()))
        return ::testing::AssertionFailure() << "raised " << e->ClassName().ToUtf8() << ": " << e->Message().ToUtf8();
    if (e->Message().view() != AMessage)
        return ::testing::AssertionFailure() << "message was \"" << e->Message().ToUtf8() << "\"";
    return ::testing::AssertionSuccess();
}

// f raised the machine's run-time error of AKind.
inline ::testing::AssertionResult RaisesRuntime(const std::function<void()>& f, TXANRuntimeErrorType AKind) {
    return Raises<EXANVMRuntime>(f, EXANVMRuntime::MessageOf(AKind).view());
}

inline constexpr std::u16string_view SInvalidCast = u"Invalid variant type conversion";

// The text of a string result (fails the test for any other type).
inline UString Text(const Variant& AValue) {
    EXPECT_EQ(AValue.VType, plat::varOleStr);
    return AValue.VType == plat::varOleStr ? AValue.AsUString() : UString();
}

}  // namespace xan::pas::test
