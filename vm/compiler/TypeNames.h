#pragma once
// The element type names both dialects accept where a declaration names a type (Pascal: after
// 'of' in an array constructor; VBScript: after As in Dim and Redim). They are recognised by name
// id, so any letter case works; the ids are registered in the process-wide name table at
// start-up.
#include <cstdint>

#include "platform/core/Types.h"

namespace xan {

// The variant type code of the type name with id ANameId; false when it names no type.
bool XANTypeNameVarType(plat::Integer ANameId, std::uint16_t& AVarType);

}  // namespace xan
