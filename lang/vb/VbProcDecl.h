#pragma once
// Procedures of the VBScript dialect and their locals: parameters, local variables and the
// function result, all kept in one map by name id so that a name is declared once per procedure.
#include <memory>
#include <vector>

#include "foundation/NameHashTable.h"
#include "lang/vb/VbStatements.h"
#include "lang/vb/VbSyntaxEnums.h"
#include "vm/bytecode/Instr.h"
#include "vm/compiler/GlobalObjects.h"

namespace xan::vb {

class TXANVbProcLocal : public TXANNamedItem {
    XAN_CLASS(TXANVbProcLocal, TXANNamedItem)
    TXANVbProcLocal(plat::Integer AName, plat::UString AStrName, TXANVbProcLocalType ALocalType)
        : TXANNamedItem(AName), FStrName(std::move(AStrName)), FLocalType(ALocalType) {}

    plat::UString FStrName;  // the name as written
    TXANVbProcLocalType FLocalType;
};

class TXANVbLocalVarDecl : public TXANVbProcLocal {
    XAN_CLASS(TXANVbLocalVarDecl, TXANVbProcLocal)
    TXANVbLocalVarDecl(plat::Integer AName, plat::UString AStrName)
        : TXANVbProcLocal(AName, std::move(AStrName), TXANVbProcLocalType::ltVar) {}

    plat::Integer FIndex = -1;  // the local-variable slot, given by code generation
};

// Inside a function its own name denotes the result variable.
class TXANVbLocalResultDecl : public TXANVbProcLocal {
    XAN_CLASS(TXANVbLocalResultDecl, TXANVbProcLocal)
    TXANVbLocalResultDecl(plat::Integer AName, plat::UString AStrName)
        : TXANVbProcLocal(AName, std::move(AStrName), TXANVbProcLocalType::ltResult) {}
};

class TXANVbParamDecl : public TXANVbProcLocal {
    XAN_CLASS(TXANVbParamDecl, TXANVbProcLocal)
    TXANVbParamDecl(plat::Integer AName, plat::UString AStrName, TXANParamKind AKind)
        : TXANVbProcLocal(AName, std::move(AStrName), TXANVbProcLocalType::ltParam) {
        FParamInfo.Kind = AKind;
    }

    TXANParamInfo FParamInfo;  // Index: position among the parameters, from 0
};

class TXANVbProcDecl : public TXANProcObject {
    XAN_CLASS(TXANVbProcDecl, TXANProcObject)
    TXANVbProcDecl(plat::Integer AName, plat::UString AStrName, TXANVbProcKind AProcKind, plat::Integer ASourcePos);
    ~TXANVbProcDecl() override;

    // Compiles the procedure into its bytecode.
    void EmitByteCode(TXANAbstractNamespace* AGlobalNamespace) override;
    // The body.
    void ReleaseSyntax() noexcept override { FStmtList.FItems.clear(); }

    // Declares a parameter, local variable or the result and takes it; false, leaving it with the
    // caller, when the name is already a local of this procedure or a parameter repeats the
    // procedure's own name.
    bool AddLocal(std::unique_ptr<TXANVbProcLocal>& ALocal);

    TXANVbProcKind FProcKind;
    std::unique_ptr<TXANAbstractNamespace> FLocalNamespace;  // made by code generation
    TXANNameHashTable FLocalMap{true};                       // owns every local
    std::vector<TXANVbParamDecl*> FParams;                   // declaration order
    std::vector<TXANVbLocalVarDecl*> FLocalVars;             // declaration order
    TXANVbLocalResultDecl* FLocalResult = nullptr;           // functions only
    TXANVbStmtList FStmtList;
    plat::Integer FSourcePos;         // the procedure's name
    plat::Integer FEndSourcePos = 0;  // end of the closing Function or Sub
};

}  // namespace xan::vb
