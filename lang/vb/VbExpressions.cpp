#include "lang/vb/VbExpressions.h"

namespace xan::vb {

// A left-nested chain such as a & b & c & ... is taken apart along the chain in a loop: freeing
// it node by node through the owners' destructors would nest once per operator and could
// exhaust the native stack on a long chain.
TXANVbBinaryOpExpr::~TXANVbBinaryOpExpr() {
    std::unique_ptr<TXANVbExpression> left = std::move(FLeftExpr);
    while (auto* inner = dynamic_cast<TXANVbBinaryOpExpr*>(left.get())) {
        std::unique_ptr<TXANVbExpression> next = std::move(inner->FLeftExpr);
        left = std::move(next);  // frees the inner node, whose left side is already taken
    }
}

// An evaluation: a fresh context whose value is left on the stack for the caller.
void TXANVbExpression::Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) {
    TXANContext c;
    c.Code = AByteCode;
    c.CurNamespace = ANamespace;
    EmitByteCode(c, erStack);
}

void TXANVbExpression::EmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel) {
    TXANSourcePosScope position(C.Code, FSourcePos);
    bool handled = true;
    DoEmitByteCode(C, AEmitRes, AJmpLabel, handled);
    if (!handled) return;
    switch (AEmitRes) {
        case erNoRes: C.Code->Emit(icPop); break;
        case erStack: break;
        case erPopJmpIfTrue: C.Code->Emit(icPopJmpIfTrue, AJmpLabel); break;
        case erPopJmpIfFalse: C.Code->Emit(icPopJmpIfFalse, AJmpLabel); break;
    }
}

bool TXANVbExpression::EmitRefByteCode(TXANContext& C) {
    TXANSourcePosScope position(C.Code, FSourcePos);
    return DoEmitRefByteCode(C);
}

}  // namespace xan::vb
