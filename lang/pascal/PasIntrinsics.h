#pragma once
// The base of the Pascal dialect's built-in routines and constants: the shared base with the
// dialect's round brackets as the call brackets.
#include "vm/interp/IntrinsicBase.h"

namespace xan::pas {

using TPasIntrinsicKind = TXANIntrinsicKind;

class TPasIntrinsic : public TXANIntrinsicBase {
    XAN_CLASS(TPasIntrinsic, TXANIntrinsicBase)
    TPasIntrinsic(Integer AName, plat::UString AStrName, TXANIntrinsicKind AKind, Integer AArgsCount)
        : TXANIntrinsicBase(AName, std::move(AStrName), bkRound, AKind, AArgsCount) {}

protected:
    TPasIntrinsic(const char16_t* AStrName, TXANIntrinsicKind AKind, Integer AArgsCount)
        : TXANIntrinsicBase(AStrName, bkRound, AKind, AArgsCount) {}
};

}  // namespace xan::pas

#define XAN_PAS_INTRINSIC(Self, AStrName, AKind, AArgsCount) \
    XAN_INTRINSIC(::xan::pas::TPasIntrinsic, Self, AStrName, AKind, AArgsCount)
