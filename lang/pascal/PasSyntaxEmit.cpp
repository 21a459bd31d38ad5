// Emit entry points of the expression and statement nodes. The dialect's code generation is
// not part of the build yet; until it is, emitting a tree fails with a clear compile error at
// the node's position instead of producing code.
#include "lang/pascal/PasCompilerError.h"
#include "lang/pascal/PasExpressions.h"
#include "lang/pascal/PasStatements.h"

namespace xan {

void RaisePasCodeGenUnavailable(Integer ASourcePos) {
    plat::Throw<EXANPasCompiler>(u"Code generation of the Pascal dialect is not available yet", ASourcePos);
}

void TXANExpression::Emit(TXANAbstractNamespace*, TXANByteCode*) { RaisePasCodeGenUnavailable(FSourcePos); }

void TXANStatement::Emit(TXANAbstractNamespace*, TXANByteCode*) { RaisePasCodeGenUnavailable(FSourcePos); }

}  // namespace xan
