#pragma once
// Declarations of the Pascal dialect: procedures with their locals, and the initialisers of
// global variables and constants (emitted as global statements).
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/NameHashTable.h"
#include "lang/pascal/PasStatements.h"
#include "vm/bytecode/Instr.h"
#include "vm/compiler/GlobalObjects.h"

namespace xan::pas {

enum class TXANProcKind : std::uint8_t { pkFunction, pkProcedure };
enum class TXANProcLocalType : std::uint8_t { ltVar, ltConst, ltResult, ltParam };

class TXANProcLocal : public TXANNamedItem {
    XAN_CLASS(TXANProcLocal, TXANNamedItem)
    TXANProcLocal(Integer AName, plat::UString AStrName, TXANProcLocalType ALocalType) noexcept
        : TXANNamedItem(AName), FStrName(std::move(AStrName)), FLocalType(ALocalType) {}

    plat::UString FStrName;
    TXANProcLocalType FLocalType;
};

class TXANLocalVarDecl : public TXANProcLocal {
    XAN_CLASS(TXANLocalVarDecl, TXANProcLocal)
    TXANLocalVarDecl(Integer AName, plat::UString AStrName, TXANExpressionPtr AExpr) noexcept
        : TXANProcLocal(AName, std::move(AStrName), TXANProcLocalType::ltVar), FExpr(std::move(AExpr)) {}

    TXANExpressionPtr FExpr;  // initialiser, or none
    Integer FIndex = -1;      // slot, set by code generation
};

class TXANLocalConstDecl : public TXANProcLocal {
    XAN_CLASS(TXANLocalConstDecl, TXANProcLocal)
    TXANLocalConstDecl(Integer AName, plat::UString AStrName, TXANExpressionPtr AExpr) noexcept
        : TXANProcLocal(AName, std::move(AStrName), TXANProcLocalType::ltConst), FExpr(std::move(AExpr)) {}

    bool IsLiteral() const noexcept;

    TXANExpressionPtr FExpr;
    plat::Variant FValue;  // a literal's value, set by code generation
    Integer FIndex = -1;   // otherwise the frame slot the value is computed into on entry
};

class TXANLocalResultDecl : public TXANProcLocal {
    XAN_CLASS(TXANLocalResultDecl, TXANProcLocal)
    TXANLocalResultDecl(Integer AName, plat::UString AStrName) noexcept
        : TXANProcLocal(AName, std::move(AStrName), TXANProcLocalType::ltResult) {}
};

class TXANParamDecl : public TXANProcLocal {
    XAN_CLASS(TXANParamDecl, TXANProcLocal)
    TXANParamDecl(Integer AName, plat::UString AStrName, TXANParamKind AKind) noexcept
        : TXANProcLocal(AName, std::move(AStrName), TXANProcLocalType::ltParam) {
        FParamInfo.Kind = AKind;
    }

    TXANParamInfo FParamInfo;  // Index: position in the parameter list, set by AddLocal
};

class TXANProcedureDecl : public TXANProcObject {
    XAN_CLASS(TXANProcedureDecl, TXANProcObject)
    // A function yields a value, a procedure does not.
    TXANProcedureDecl(Integer AName, plat::UString AStrName, TXANProcKind AProcKind);
    ~TXANProcedureDecl() override;

    // Takes the local when its name id is new among this procedure's locals; otherwise answers
    // false and leaves it with the caller.
    bool AddLocal(std::unique_ptr<TXANProcLocal>& ALocal);
    void EmitByteCode(TXANAbstractNamespace* AGlobalNamespace) override;
    // The body and the initialisers of locals.
    void ReleaseSyntax() noexcept override;

    TXANProcKind FProcKind;
    std::unique_ptr<TXANAbstractNamespace> FLocalNamespace;  // made by code generation
    TXANNameHashTable FLocalMap{true};                        // every local, owning
    std::vector<TXANParamDecl*> FParams;
    std::vector<TXANLocalVarDecl*> FLocalVars;
    std::vector<TXANLocalConstDecl*> FLocalConsts;
    TXANLocalResultDecl* FLocalResult = nullptr;
    TXANStmtList FStmtList;
    Integer FSourcePos = 0;     // end of the procedure's name
    Integer FEndSourcePos = 0;  // end of the body's 'end'

private:
    static void EmitLocalConst(TXANContext& C, TXANLocalConstDecl& AConst);
};

// The initialiser of a global variable, emitted as a global statement.
class TXANGlobalVarIniter : public IXANEmitable {
public:
    TXANGlobalVarIniter(TXANVarObject* AVar, TXANExpressionPtr AIniter) noexcept
        : FVar(AVar), FIniter(std::move(AIniter)) {}
    void Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) override;

    TXANVarObject* FVar;  // owned by the machine's global table
    TXANExpressionPtr FIniter;
};

class TXANGlobalConstIniter : public IXANEmitable {
public:
    TXANGlobalConstIniter(TXANConstObject* AConst, TXANExpressionPtr AIniter) noexcept
        : FConst(AConst), FIniter(std::move(AIniter)) {}
    void Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) override;

    TXANConstObject* FConst;
    TXANExpressionPtr FIniter;
};

}  // namespace xan::pas
