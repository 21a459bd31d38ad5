#pragma once
// Process-wide constant values, made once and only ever copied.
#include "platform/ole/Variant.h"

namespace xan {

inline const plat::Variant XANUnassigned;
inline const plat::Variant XANNull = plat::Variant::Null();
inline const plat::Variant XANInteger0{std::int32_t(0)};
inline const plat::Variant XANInteger1{std::int32_t(1)};
inline const plat::Variant XANIntegerMinus1{std::int32_t(-1)};

}  // namespace xan
