#pragma once
// The Pascal dialect's built-in routines and constants in registration order.
#include <span>

#include "lang/pascal/PasIntrinsics.h"

namespace xan::pas {

// Makes a new built-in object; the caller owns it.
using TPasIntrinsicFactory = TPasIntrinsic* (*)();

std::span<const TPasIntrinsicFactory> PasIntrinsicFactories() noexcept;

}  // namespace xan::pas
