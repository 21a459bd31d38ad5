#pragma once
// The base of the VBScript dialect's built-in routines and constants.
//
// Every built-in is a global object the machine resolves by name at run time. Before a routine
// runs, Execute checks that the call's form suits its kind: a procedure yields no value, a
// constant takes no brackets, and square or Pascal brackets never call a built-in. Routines with
// a fixed argument count are checked here too; the others check their own count.
#include <cstdint>

#include "platform/core/UString.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"
#include "vm/compiler/GlobalObjects.h"

namespace xan::vb {

enum class TVbIntrinsicKind : std::uint8_t { bokProcedure, bokFunction, bokConstant };

// What the call check does with a call.
enum class TVbCallCheck : std::uint8_t {
    ccRun,           // run the routine at once
    ccCheckCount,    // the argument count must equal the routine's count, then run
    ccTypeMismatch,  // the call's form does not suit the built-in
};

class TVbIntrinsic : public TIntrinsic {
    XAN_CLASS(TVbIntrinsic, TIntrinsic)
    // The argument count of a routine that tests its count itself.
    static constexpr Integer VariableArgs = -1;

    TVbIntrinsic(Integer AName, plat::UString AStrName, TVbIntrinsicKind AKind, Integer AArgsCount);

    // The call check, then DoExecute.
    void Execute(TXANVMBase* AVM, TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) override;
    // The routine itself: AArgs holds ACall->FArgCount values (possibly references), first
    // argument first; AResult is the call's result slot.
    virtual void DoExecute(TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) = 0;

    // The check for a call of a built-in of AKind: one lookup in a constant table.
    static TVbCallCheck CallCheckOf(TVbIntrinsicKind AKind, TXANBracketType ABracketType, bool AResultUsed,
                                    bool AVariableArgs) noexcept;

    const TVbIntrinsicKind FKind;
    const Integer FArgsCount;

protected:
    // Registers AStrName in the global name table and takes its id.
    TVbIntrinsic(const char16_t* AStrName, TVbIntrinsicKind AKind, Integer AArgsCount);

private:
    void CheckCall(const TXANCall& ACall) const;
};

}  // namespace xan::vb

// Declares the built-in class Self named AStrName: a final TVbIntrinsic with a default
// constructor and its own DoExecute.
#define XAN_VB_INTRINSIC(Self, AStrName, AKind, AArgsCount)                                    \
    class Self final : public ::xan::vb::TVbIntrinsic {                                            \
        XAN_CLASS(Self, ::xan::vb::TVbIntrinsic)                                                   \
        Self() : ::xan::vb::TVbIntrinsic(u"" AStrName, ::xan::vb::TVbIntrinsicKind::AKind, AArgsCount) {}            \
        void DoExecute(::xan::TXANCall* ACall, ::xan::PXANVarArray AArgs,                      \
                       ::xan::plat::Variant& AResult) override;                               \
    };
