#pragma once
// The base of the VBScript dialect's built-in routines and constants: the shared base with the
// dialect's round brackets as the call brackets.
#include "vm/interp/IntrinsicBase.h"

namespace xan::vb {

using TVbIntrinsicKind = TXANIntrinsicKind;

class TVbIntrinsic : public TXANIntrinsicBase {
    XAN_CLASS(TVbIntrinsic, TXANIntrinsicBase)
    TVbIntrinsic(Integer AName, plat::UString AStrName, TXANIntrinsicKind AKind, Integer AArgsCount)
        : TXANIntrinsicBase(AName, std::move(AStrName), bkVbRound, AKind, AArgsCount) {}

protected:
    TVbIntrinsic(const char16_t* AStrName, TXANIntrinsicKind AKind, Integer AArgsCount)
        : TXANIntrinsicBase(AStrName, bkVbRound, AKind, AArgsCount) {}
};

}  // namespace xan::vb

#define XAN_VB_INTRINSIC(Self, AStrName, AKind, AArgsCount) \
    XAN_INTRINSIC(::xan::vb::TVbIntrinsic, Self, AStrName, AKind, AArgsCount)
