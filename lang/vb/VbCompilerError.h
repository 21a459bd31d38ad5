#pragma once
// The error class of every lexical, syntax and compile error of the VBScript front end.
#include "vm/CompileError.h"

namespace xan {

class EXANVbCompiler : public EXANCompileBase {
    XAN_CLASS(EXANVbCompiler, EXANCompileBase)
    using EXANCompileBase::EXANCompileBase;
};

// Raises EXANVbCompiler with the message at the position.
[[noreturn]] void RaiseVbCompileError(plat::UString AMsg, plat::Integer ASourcePos);

// Raised by the syntax tree's code-emission operations until code generation for the dialect
// exists, so that compiling a VBScript-dialect script fails with a clear compile error at the
// construct instead of producing wrong code.
[[noreturn]] void RaiseVbCodeGenerationMissing(plat::Integer ASourcePos);

}  // namespace xan
