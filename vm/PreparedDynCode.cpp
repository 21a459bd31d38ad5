#include "vm/PreparedDynCode.h"

namespace xan {

TPreparedDynCode::~TPreparedDynCode() {
    FByteCode.reset();
    FParsed.reset();
}

}  // namespace xan
