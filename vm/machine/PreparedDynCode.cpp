#include "vm/machine/PreparedDynCode.h"

namespace xan {

TPreparedDynCode::~TPreparedDynCode() {
    FByteCode.reset();
    FParsed.reset();
}

}  // namespace xan
