#pragma once
// The base of both dialects' built-in routines and constants.
//
// Every built-in is a global object the machine resolves by name at run time. Before a routine
// runs, Execute checks that the call's form suits its kind: a procedure yields no value, a
// constant takes no brackets, and only the dialect's own call brackets call a routine (square
// brackets index a value; the other dialect's round brackets are no call here). Routines with a
// fixed argument count are checked here too; the others check their own count. It raises the
// machine's run-time errors, which is why it lives beside them rather than in the front-end
// contract.
#include <cstdint>
#include <string_view>

#include "platform/core/UString.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"
#include "vm/compiler/GlobalObjects.h"

namespace xan {

enum class TXANIntrinsicKind : std::uint8_t { bokProcedure, bokFunction, bokConstant };

// What the call check does with a call.
enum class TXANCallCheck : std::uint8_t {
    ccRun,           // run the routine at once
    ccCheckCount,    // the argument count must equal the routine's count, then run
    ccTypeMismatch,  // the call's form does not suit the built-in
};

class TXANIntrinsicBase : public TIntrinsic {
    XAN_CLASS(TXANIntrinsicBase, TIntrinsic)
    // The argument count of a routine that tests its count itself.
    static constexpr Integer VariableArgs = -1;

    // ACallBrackets: the brackets that call a routine in the dialect.
    TXANIntrinsicBase(Integer AName, plat::UString AStrName, TXANBracketType ACallBrackets, TXANIntrinsicKind AKind,
                      Integer AArgsCount);

    // The call check, then DoExecute.
    void Execute(TXANVMBase* AVM, TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) override;
    // The routine itself: AArgs holds ACall->FArgCount values (possibly references), first
    // argument first; AResult is the call's result slot.
    virtual void DoExecute(TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) = 0;

    // The check for a call with ABracketType of a built-in of AKind in a dialect whose routines
    // are called with ACallBrackets.
    static TXANCallCheck CallCheckOf(TXANBracketType ACallBrackets, TXANIntrinsicKind AKind,
                                     TXANBracketType ABracketType, bool AResultUsed, bool AVariableArgs) noexcept;

    const TXANIntrinsicKind FKind;
    const Integer FArgsCount;
    const TXANBracketType FCallBrackets;

protected:
    // Registers AStrName in the global name table and takes its id.
    TXANIntrinsicBase(const char16_t* AStrName, TXANBracketType ACallBrackets, TXANIntrinsicKind AKind,
                      Integer AArgsCount);

private:
    void CheckCall(const TXANCall& ACall) const;
};

}  // namespace xan

// Declares the built-in class Self named AStrName, derived from the dialect's base Base: final,
// with a default constructor, its own DoExecute and its name as Name. AKind is a TXANIntrinsicKind enumerator.
#define XAN_INTRINSIC(Base, Self, AStrName, AKind, AArgsCount)                                 \
    class Self final : public Base {                                                           \
        XAN_CLASS(Self, Base)                                                                  \
        static constexpr std::u16string_view Name = u"" AStrName;                              \
        Self() : Base(Name.data(), ::xan::TXANIntrinsicKind::AKind, AArgsCount) {}             \
        void DoExecute(::xan::TXANCall* ACall, ::xan::PXANVarArray AArgs,                      \
                       ::xan::plat::Variant& AResult) override;                               \
    };
