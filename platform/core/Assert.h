#pragma once
// Internal consistency checks. They raise EAssertionFailed naming the unit, never abort, so a
// failed check in a host process is an error the host can report rather than a crash.
#include "platform/core/Exception.h"

namespace xan::plat {
[[noreturn]] void AssertFailed(const char* unit, const char* condition, const char* file, int line);
}

#define XAN_ASSERT(unit, cond) \
    ((cond) ? void(0) : ::xan::plat::AssertFailed(unit, #cond, __FILE__, __LINE__))
