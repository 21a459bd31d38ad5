#pragma once
// Exception classes of the runtime library beyond the core hierarchy, and the shared raisers of
// its fixed messages.
#include "platform/core/Exception.h"

namespace xan::plat {

XAN_EXCEPTION(EPropertyError, Exception)
XAN_EXCEPTION(EPropertyConvertError, Exception)
XAN_EXCEPTION(EComponentError, Exception)
XAN_EXCEPTION(EThread, Exception)

// EListError with "List index out of bounds (<index>)".
[[noreturn]] void RaiseListIndexError(std::int64_t index);

// EConvertError with "Cannot assign a <source class> to a <target class>" ("nil" for no source).
[[noreturn]] void RaiseAssignError(const TObject* source, const TObject& target);

}  // namespace xan::plat
