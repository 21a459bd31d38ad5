#include "vm/bytecode/InstrCode.h"

namespace xan {

const char* XANInstrCodeName(unsigned code) noexcept {
    static const char* const names[XANInstrCodeCount] = {
#define XAN_INSTR_NAME(name, ...) #name,
        XAN_INSTR_CODES(XAN_INSTR_NAME)
#undef XAN_INSTR_NAME
    };
    return code < unsigned(XANInstrCodeCount) ? names[code] : "?";
}

}  // namespace xan
