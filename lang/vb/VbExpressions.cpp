#include "lang/vb/VbExpressions.h"

#include "lang/vb/VbCompilerError.h"

namespace xan {

void TXANVbExpression::Emit(TXANAbstractNamespace*, TXANByteCode*) { RaiseVbCodeGenerationMissing(FSourcePos); }

}  // namespace xan
