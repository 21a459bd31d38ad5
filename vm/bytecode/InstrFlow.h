#pragma once
// How one instruction moves the operand stack and where control may go after it. The stack-size
// computation walks code with it; the stepping machinery can use it to find jump targets.
#include <cstdint>

#include "vm/bytecode/Instr.h"
#include "vm/bytecode/Operands.h"

namespace xan {

struct TXANInstrFlow {
    std::int32_t Effect = 0;          // depth change when execution goes on with the next instruction
    bool Ends = false;                // execution never goes on with the next instruction
    const TXANLabel* Target = nullptr;  // where a jump may go, or none
    std::int32_t TargetEffect = 0;    // depth change when the jump is taken
};

// The flow of an emitted instruction. icBreak, icBreakpointJmp and codes outside the set never
// occur in emitted code; meeting one is an assertion failure.
TXANInstrFlow XANInstrFlow(const TXANInstr& AInstr);

}  // namespace xan
