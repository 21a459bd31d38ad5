#pragma once
// Compiles Pascal text with the real parser and lists the instructions the code generator emits.
#include <string>
#include <vector>

#include "PasParserTestSupport.h"
#include "vm/bytecode/Fusion.h"
#include "vm/bytecode/InstrCode.h"

namespace xan::pas::test {

// A global scope with nothing in it: every global name is left to run time.
class EmptyGlobalScope : public IXANGlobalScope {
public:
    TXANNameSearchRes SearchGlobal(TXANThread*, Integer, const plat::UString*) override { return {}; }
    const std::vector<TXANGlobalValuedObject*>& GlobalConsts() const override { return none; }
    const std::vector<TXANGlobalValuedObject*>& GlobalVars() const override { return none; }
    std::vector<TXANGlobalValuedObject*> none;
};

// As the code generator emitted them: fused pairs are listed by their unfused codes.
inline std::vector<std::string> CodeNames(const TXANByteCode& code) {
    std::vector<std::string> names;
    for (int i = 0; i < code.Count(); ++i)
        names.push_back(XANInstrCodeName(XANUnfusedCode(static_cast<TXANInstrCode>(code.Code()[i].Code))));
    return names;
}

// The first procedure of a script, compiled.
struct CompiledProc {
    RecordingCallbacks cbs;
    EmptyGlobalScope scope;
    TGlobalObjectsNamespace global{&scope};
    TXANProcedureDecl* proc = nullptr;

    explicit CompiledProc(const plat::UString& source) {
        TXANPasParser parser(&cbs);
        parser.Parse(source);
        proc = cbs.Object<TXANProcedureDecl>(0);
        proc->EmitByteCode(&global);
    }
    const TXANByteCode& Code() const { return *proc->ByteCode(); }
    std::vector<std::string> Names() const { return CodeNames(Code()); }
};

// One statement (or expression) emitted on its own over the empty global scope.
struct CompiledSnippet {
    RecordingCallbacks cbs;
    EmptyGlobalScope scope;
    TGlobalObjectsNamespace global{&scope};
    std::unique_ptr<IXANEmitable> tree;
    TXANByteCode code;

    CompiledSnippet(const plat::UString& source, bool isExpr) {
        TXANPasParser parser(&cbs);
        tree = isExpr ? parser.ParseExpr(source) : parser.ParseStmt(source);
        code.BeginEmit(source, &global, 0);
        tree->Emit(&global, &code);
        code.Emit(icRet);
        code.EndEmit();
    }
    std::vector<std::string> Names() const { return CodeNames(code); }
};

inline std::vector<std::string> StmtCode(const plat::UString& source) { return CompiledSnippet(source, false).Names(); }
inline std::vector<std::string> ExprCode(const plat::UString& source) { return CompiledSnippet(source, true).Names(); }

}  // namespace xan::pas::test
