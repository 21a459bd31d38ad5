#include "platform/rtl/Persistent.h"

#include "platform/rtl/RtlErrors.h"

namespace xan::plat {

void TPersistent::Assign(const TPersistent* source) {
    if (!source) RaiseAssignError(nullptr, *this);
    source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const { RaiseAssignError(this, *dest); }

}  // namespace xan::plat
