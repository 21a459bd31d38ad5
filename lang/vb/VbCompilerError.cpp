#include "lang/vb/VbCompilerError.h"

namespace xan {

void RaiseVbCompileError(plat::UString AMsg, plat::Integer ASourcePos) {
    plat::Throw<EXANVbCompiler>(std::move(AMsg), ASourcePos);
}

void RaiseVbCodeGenerationMissing(plat::Integer ASourcePos) {
    RaiseVbCompileError(u"Code generation of the VBScript dialect is not available yet", ASourcePos);
}

}  // namespace xan
