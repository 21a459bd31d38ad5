#include "lang/vb/VbStatements.h"

#include "lang/vb/VbCompilerError.h"
#include "vm/Namespaces.h"

namespace xan {

void TXANVbStatement::Emit(TXANAbstractNamespace*, TXANByteCode*) { RaiseVbCodeGenerationMissing(FSourcePos); }

TXANVbCatch::TXANVbCatch() = default;
TXANVbCatch::~TXANVbCatch() = default;

}  // namespace xan
