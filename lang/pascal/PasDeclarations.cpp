#include "lang/pascal/PasDeclarations.h"

#include "lang/pascal/PasNamespaces.h"
#include "platform/core/Assert.h"

namespace xan::pas {

using enum TXANProcKind;
using enum TXANProcLocalType;

TXANProcedureDecl::TXANProcedureDecl(Integer AName, plat::UString AStrName, TXANProcKind AProcKind)
    : TXANProcObject(AName, std::move(AStrName)), FProcKind(AProcKind) {
    FResMask = AProcKind == pkFunction ? XANResMaskValue : XANResMaskNone;
}

TXANProcedureDecl::~TXANProcedureDecl() = default;

bool TXANProcedureDecl::AddLocal(std::unique_ptr<TXANProcLocal>& ALocal) {
    if (!FLocalMap.Add(ALocal.get())) return false;
    TXANProcLocal* local = ALocal.release();
    switch (local->FLocalType) {
        case ltVar: FLocalVars.push_back(static_cast<TXANLocalVarDecl*>(local)); break;
        case ltConst: FLocalConsts.push_back(static_cast<TXANLocalConstDecl*>(local)); break;
        case ltResult: FLocalResult = static_cast<TXANLocalResultDecl*>(local); break;
        case ltParam: {
            auto* param = static_cast<TXANParamDecl*>(local);
            param->FParamInfo.Index = static_cast<std::uint16_t>(FParams.size());
            FParams.push_back(param);
            AddParam(param->FParamInfo.Kind);
            break;
        }
    }
    return true;
}

void TXANProcedureDecl::EmitByteCode(TXANAbstractNamespace* AGlobalNamespace) {
    XAN_ASSERT("XANSctPasCompiler", !FLocalNamespace);  // a procedure is compiled once
    FLocalNamespace = std::make_unique<TXANProcLocalNamespace>(AGlobalNamespace, this);
    TXANContext c;
    c.Code = FByteCode.get();
    c.CurNamespace = FLocalNamespace.get();
    TXANByteCode& code = *FByteCode;
    code.BeginEmit(FStrName, FLocalNamespace.get(), FSourcePos);
    for (TXANLocalVarDecl* v : FLocalVars) v->FIndex = code.AddLocalVar();
    for (TXANLocalVarDecl* v : FLocalVars) {
        if (!v->FExpr) continue;
        v->FExpr->EmitByteCode(c, erStack);
        code.Emit(icAssignLocalVar, static_cast<std::uintptr_t>(v->FIndex));
    }
    for (TXANLocalConstDecl* k : FLocalConsts)
        if (!k->IsLiteral()) k->FIndex = code.AddLocalVar();
    for (TXANLocalConstDecl* k : FLocalConsts) EmitLocalConst(c, *k);
    FStmtList.EmitByteCode(c);
    TXANSourcePosScope end(&code, FEndSourcePos);
    code.SetNextInstrBreakable();
    code.Emit(icRet);
    code.EndEmit();
}

void TXANProcedureDecl::ReleaseSyntax() noexcept {
    FStmtList.FItems.clear();
    for (TXANLocalVarDecl* v : FLocalVars) v->FExpr.reset();
    for (TXANLocalConstDecl* k : FLocalConsts) k->FExpr.reset();
}

bool TXANLocalConstDecl::IsLiteral() const noexcept { return dynamic_cast<TXANLiteral*>(FExpr.get()) != nullptr; }

// A literal's value is known now. Any other initialiser may use the procedure's parameters, so
// it is evaluated on every entry into a slot of the frame: recursive activations and threads
// running the procedure at the same time each see their own value.
void TXANProcedureDecl::EmitLocalConst(TXANContext& C, TXANLocalConstDecl& AConst) {
    if (AConst.IsLiteral()) {
        AConst.FValue = static_cast<TXANLiteral&>(*AConst.FExpr).FValue;
        return;
    }
    AConst.FExpr->EmitByteCode(C, erStack);
    C.Code->Emit(icAssignLocalVar, static_cast<std::uintptr_t>(AConst.FIndex));
}

namespace {

void EmitGlobalIniter(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode, TXANExpression& AIniter,
                      TXANInstrCode AAssign, TXANGlobalValuedObject* ATarget) {
    TXANContext c;
    c.Code = AByteCode;
    c.CurNamespace = ANamespace;
    TXANSourcePosScope position(AByteCode, AIniter.FSourcePos);
    AByteCode->SetNextInstrBreakable();
    AIniter.EmitByteCode(c, erStack);
    AByteCode->Emit(AAssign, ATarget);
}

}  // namespace

void TXANGlobalVarIniter::Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) {
    EmitGlobalIniter(ANamespace, AByteCode, *FIniter, icAssignGlobalVar, FVar);
}

void TXANGlobalConstIniter::Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) {
    EmitGlobalIniter(ANamespace, AByteCode, *FIniter, icAssignGlobalConst, FConst);
}

}  // namespace xan::pas
