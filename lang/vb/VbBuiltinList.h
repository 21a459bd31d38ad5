#pragma once
// The VBScript dialect's built-in constants and routines in registration order.
#include <span>

#include "lang/vb/VbIntrinsics.h"

namespace xan::vb {

// Makes a new built-in object; the caller owns it.
using TVbIntrinsicFactory = TVbIntrinsic* (*)();

// The constants first, then the routines.
std::span<const TVbIntrinsicFactory> VbIntrinsicFactories() noexcept;

}  // namespace xan::vb
