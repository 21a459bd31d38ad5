#pragma once
// The VBScript dialect's built-in constants and routines in registration order.
#include <span>

#include "vm/compiler/LanguageInterface.h"

namespace xan::vb {

// The constants first, then the routines.
std::span<const TXANBuiltin> VbBuiltins() noexcept;

}  // namespace xan::vb
