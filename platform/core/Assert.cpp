#include "platform/core/Assert.h"

#include <string>

namespace xan::plat {

void AssertFailed(const char* unit, const char* condition, const char* file, int line) {
    std::string text = std::string("Assertion failure in ") + unit + ": " + condition + " (" + file + ", line " +
                       std::to_string(line) + ")";
    Throw<EAssertionFailed>(UString::FromUtf8(text));
}

}  // namespace xan::plat
