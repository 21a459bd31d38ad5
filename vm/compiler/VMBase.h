#pragma once
// The machine as the front ends and the built-in routines see it. The full machine derives
// from it; intrinsics receive it so that they can ask it for services without knowing it.
#include "platform/core/UString.h"
#include "platform/ole/Variant.h"

namespace xan {

class TXANVMBase {
public:
    TXANVMBase() = default;
    TXANVMBase(const TXANVMBase&) = delete;
    TXANVMBase& operator=(const TXANVMBase&) = delete;
    virtual ~TXANVMBase() = default;

    // An event-handler value that calls the script procedure AProcName (Unassigned when the
    // host cannot make one).
    virtual void MakeEventHandler(const plat::UString& AProcName, plat::Variant& AResult) = 0;
};

}  // namespace xan
