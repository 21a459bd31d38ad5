#pragma once
// What code generation of one Pascal syntax tree carries from node to node: the bytecode being
// filled, the scope for compile-time lookups, where Exit/Break/Continue go, and which protected
// block a bare 'raise' re-raises.
#include <cstdint>

#include "vm/bytecode/ByteCode.h"
#include "vm/compiler/CodeGenSupport.h"
#include "vm/compiler/Namespaces.h"

namespace xan::pas {

// Targets of Exit, Break and Continue; none in ExitL means: return from the code, none in
// BreakL/ContinueL means: not inside a loop.
struct TXANEBC {
    TXANLabel* ExitL = nullptr;
    TXANLabel* BreakL = nullptr;
    TXANLabel* ContinueL = nullptr;
};

struct TXANContext {
    TXANByteCode* Code = nullptr;
    TXANTry* CurReraise = nullptr;                    // none outside exception handlers
    TXANAbstractNamespace* CurNamespace = nullptr;    // none disables direct local access
    TXANEBC CurEBC;
};

}  // namespace xan::pas
