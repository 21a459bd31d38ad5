#pragma once
// The error class of every lexical, syntax and compile error of the VBScript front end.
#include "vm/bytecode/CompileError.h"

namespace xan::vb {

class EXANVbCompiler : public EXANCompileBase {
    XAN_CLASS(EXANVbCompiler, EXANCompileBase)
    using EXANCompileBase::EXANCompileBase;
};

// Raises EXANVbCompiler with the message at the position.
[[noreturn]] void RaiseVbCompileError(plat::UString AMsg, plat::Integer ASourcePos);

}  // namespace xan::vb
