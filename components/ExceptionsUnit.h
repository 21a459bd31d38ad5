#pragma once
// The unit "Exceptions": the runtime library's exception classes as script types, so scripts
// name them in handlers (`on E: EDivByZero do`, `Catch e As Exception`), test them and create
// them. Every class offers Message (read and write) and, from the root class, ClassName.
#include "wrappers/Binding.h"

namespace xan {

struct Exceptions_sw : TXANUnitWrapperT<Exceptions_sw> {
    static constexpr const char16_t* UnitName = u"Exceptions";
    static void AddMembers(TXANUnitMembers& m);
};

// Registers the class wrappers of the exception classes and the unit (idempotent).
void XANRegisterExceptionWrappers();

}  // namespace xan
