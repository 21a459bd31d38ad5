#pragma once
// The Pascal dialect's built-in objects: Exit, Break and Continue, then the routines and
// constants.
#include <span>

#include "vm/compiler/LanguageInterface.h"

namespace xan::pas {

std::span<const TXANBuiltin> PasBuiltins() noexcept;

}  // namespace xan::pas
