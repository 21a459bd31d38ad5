#pragma once
// The type names accepted after As in Dim and Redim (Dim a(10) As Integer). They are recognised
// by name id, so the words are entered into the process-wide name table once and compared as
// ids: the parser already holds the id of every identifier it keeps.
#include <cstdint>

#include "platform/core/Types.h"

namespace xan::vb {

// The variant type code of the type named by ANameId; false when the id names no type.
bool VbTypeCodeOfNameId(plat::Integer ANameId, std::uint16_t& AVarType);

}  // namespace xan::vb
