#pragma once
// The base of the Pascal dialect's built-in routines and constants.
//
// Every built-in is a global object the machine resolves by name at run time. Before a routine
// runs, Execute checks that the call's form suits its kind: procedures yield no value, constants
// take no brackets, and only the dialect's own round brackets call a routine. Routines with a
// fixed argument count are checked here too; the others check their own count.
#include <cstdint>

#include "platform/core/UString.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"
#include "vm/compiler/GlobalObjects.h"

namespace xan::pas {

enum class TPasIntrinsicKind : std::uint8_t { bokProcedure, bokFunction, bokConstant };

class TPasIntrinsic : public TIntrinsic {
    XAN_CLASS(TPasIntrinsic, TIntrinsic)
    // The argument count a routine tests itself.
    static constexpr Integer VariableArgs = -1;

    TPasIntrinsic(Integer AName, plat::UString AStrName, TPasIntrinsicKind AKind, Integer AArgsCount);

    // The call check, then DoExecute.
    void Execute(TXANVMBase* AVM, TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) final;
    // The routine itself: AArgs holds ACall->FArgCount values (possibly references), first
    // argument first; AResult is the call's result slot.
    virtual void DoExecute(TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) = 0;

    const TPasIntrinsicKind FKind;
    const Integer FArgsCount;

protected:
    // Registers AStrName in the global name table and takes its id.
    TPasIntrinsic(const char16_t* AStrName, TPasIntrinsicKind AKind, Integer AArgsCount);

private:
    void CheckCall(const TXANCall& ACall) const;
};

}  // namespace xan::pas

// Declares the built-in class Self named AStrName: a final TPasIntrinsic with a default
// constructor and its own DoExecute.
#define XAN_PAS_INTRINSIC(Self, AStrName, AKind, AArgsCount)                                   \
    class Self final : public ::xan::pas::TPasIntrinsic {                                           \
        XAN_CLASS(Self, ::xan::pas::TPasIntrinsic)                                                  \
        Self() : ::xan::pas::TPasIntrinsic(u"" AStrName, ::xan::pas::TPasIntrinsicKind::AKind, AArgsCount) {}                      \
        void DoExecute(::xan::TXANCall* ACall, ::xan::PXANVarArray AArgs,                      \
                       ::xan::plat::Variant& AResult) override;                               \
    };
