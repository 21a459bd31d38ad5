#pragma once
// The Pascal dialect's built-in routines and constants in registration order.
#include <span>

#include "vm/compiler/LanguageInterface.h"

namespace xan::pas {

std::span<const TXANIntrinsicFactory> PasIntrinsicFactories() noexcept;

}  // namespace xan::pas
