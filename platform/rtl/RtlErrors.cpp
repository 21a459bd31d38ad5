#include "platform/rtl/RtlErrors.h"

#include "platform/rtl/JoinTexts.h"

namespace xan::plat {

void RaiseListIndexError(std::int64_t index) {
    Throw<EListError>(JoinTexts({u"List index out of bounds (", IntText(index), u")"}));
}

void RaiseAssignError(const TObject* source, const TObject& target) {
    UString from = source ? source->ClassName() : UString(u"nil");
    Throw<EConvertError>(JoinTexts({u"Cannot assign a ", from, u" to a ", target.ClassName()}));
}

}  // namespace xan::plat
