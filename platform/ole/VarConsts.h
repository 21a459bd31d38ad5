#pragma once
// The process-wide constant values (made before any code runs and only ever copied) and the
// type names of variant type codes.
#include "platform/ole/Variant.h"

namespace xan::plat {

extern const Variant UnassignedVariant;  // Empty
extern const Variant NullVariant;
extern const Variant ZeroVariant;      // Integer 0
extern const Variant OneVariant;       // Integer 1
extern const Variant MinusOneVariant;  // Integer -1

// The name of a type code: "Unassigned", "Null", "Smallint", "Integer", "Single", "Double",
// "Currency", "Date", "String", "Object", "Error", "Boolean", "Variant", "Unknown", "Decimal",
// "$0F", "ShortInt", "Byte", "Word", "LongWord", "Int64"; 256 "String", 257 "Any"; a
// registered extension type its class name without the first character; any other code
// "Unknown type $<hex>" (low 12 bits, upper case, no leading zeros). The array flag puts
// "array of " in front.
UString VarTypeName(VarType vt);
// The type name of a value (references followed).
UString VarTypeNameOf(const VarData& v);

// Extension types: a type code the value model names after a class ("TFoo" shows "Foo").
void RegisterVarExtensionType(VarType vt, UString className);
void UnregisterVarExtensionType(VarType vt);

}  // namespace xan::plat
