#pragma once
// The machine's host hooks answered by the wrapper framework: type tests (`is`, `TypeOf … Is`)
// and exception class tests against type objects, host exceptions as wrapped objects and back,
// `New` through a type object's constructor, and event-handler values.
#include "vm/machine/VirtMachine.h"

namespace xan {

// AScriptControl is what event-handler values made by the script are bound to (may be none).
void XANInstallWrapperHooks(TXANVirtMachine& AVM, plat::TObject* AScriptControl = nullptr);

}  // namespace xan
