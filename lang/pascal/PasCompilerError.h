#pragma once
// The error class of every lexical, syntax and compile error of the Pascal front end.
#include "vm/bytecode/CompileError.h"

namespace xan::pas {

class EXANPasCompiler : public EXANCompileBase {
    XAN_CLASS(EXANPasCompiler, EXANCompileBase)
    using EXANCompileBase::EXANCompileBase;
};

}  // namespace xan::pas
