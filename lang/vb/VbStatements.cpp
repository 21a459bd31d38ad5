#include "lang/vb/VbStatements.h"

#include "vm/compiler/Namespaces.h"

namespace xan::vb {

void TXANVbStatement::Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) {
    TXANContext c;
    c.Code = AByteCode;
    c.CurNamespace = ANamespace;
    EmitByteCode(c);
}

void TXANVbStatement::EmitByteCode(TXANContext& C) {
    TXANSourcePosScope position(C.Code, FSourcePos);
    C.Code->SetNextInstrBreakable();
    DoEmitByteCode(C);
}

void TXANVbStmtList::EmitByteCode(TXANContext& C) {
    for (const auto& stmt : FItems) stmt->EmitByteCode(C);
}

TXANVbCatch::TXANVbCatch() = default;
TXANVbCatch::~TXANVbCatch() = default;

}  // namespace xan::vb
