#include "lang/vb/VbCompilerError.h"

namespace xan::vb {

void RaiseVbCompileError(plat::UString AMsg, plat::Integer ASourcePos) {
    plat::Throw<EXANVbCompiler>(std::move(AMsg), ASourcePos);
}

}  // namespace xan::vb
