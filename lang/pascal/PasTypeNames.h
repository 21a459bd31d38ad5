#pragma once
// The sixteen element type names an array constructor accepts after 'of'. Their name ids are
// registered in the process-wide name table when the Pascal front end starts up, and type names
// are recognised by id, so any letter case works.
#include <cstdint>

#include "platform/core/Types.h"

namespace xan::pas {

// The variant type code of the type name with id ANameId; false when it is not a type name.
bool PasTypeNameVarType(plat::Integer ANameId, std::uint16_t& AVarType);

}  // namespace xan::pas
