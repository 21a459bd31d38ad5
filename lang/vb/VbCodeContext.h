#pragma once
// What code generation of one VBScript-dialect syntax tree carries from node to node: the
// bytecode being filled, the scope for compile-time lookups, where the Exit statements go, and
// which protected block a bare Throw re-raises.
#include <cstdint>

#include "vm/bytecode/ByteCode.h"
#include "vm/compiler/CodeGenSupport.h"
#include "vm/compiler/Namespaces.h"

namespace xan::vb {

// Targets of the exit statements; none in ProcL means that leaving the procedure returns from
// the code, none in ForL or DoL means that no enclosing loop of that kind exists.
struct TXANExitLabels {
    TXANLabel* ProcL = nullptr;
    TXANLabel* ForL = nullptr;
    TXANLabel* DoL = nullptr;
};

struct TXANContext {
    TXANByteCode* Code = nullptr;
    TXANAbstractNamespace* CurNamespace = nullptr;  // none disables direct local access
    TXANExitLabels CurExits;
    TXANTry* CurReraise = nullptr;  // none outside exception handlers
    // How many binary operators are being emitted in a jump mode, one inside the other; beyond
    // a bound they are emitted as values so that long operator chains cannot exhaust the stack.
    int JumpNesting = 0;
};

// Restores the exit targets (and the re-raise block) saved at construction.
class TXANExitScope {
public:
    explicit TXANExitScope(TXANContext& C) : FContext(C), FExits(C.CurExits), FReraise(C.CurReraise) {}
    TXANExitScope(const TXANExitScope&) = delete;
    TXANExitScope& operator=(const TXANExitScope&) = delete;
    ~TXANExitScope() {
        FContext.CurExits = FExits;
        FContext.CurReraise = FReraise;
    }

    const TXANExitLabels& Saved() const noexcept { return FExits; }

private:
    TXANContext& FContext;
    TXANExitLabels FExits;
    TXANTry* FReraise;
};

}  // namespace xan::vb
