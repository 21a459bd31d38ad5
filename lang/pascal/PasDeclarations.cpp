#include "lang/pascal/PasDeclarations.h"

namespace xan {

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
            IncParamCount();
            break;
        }
    }
    return true;
}

void TXANProcedureDecl::EmitByteCode(TXANAbstractNamespace*) { RaisePasCodeGenUnavailable(FSourcePos); }

void TXANGlobalVarIniter::Emit(TXANAbstractNamespace*, TXANByteCode*) {
    RaisePasCodeGenUnavailable(FIniter->FSourcePos);
}

void TXANGlobalConstIniter::Emit(TXANAbstractNamespace*, TXANByteCode*) {
    RaisePasCodeGenUnavailable(FIniter->FSourcePos);
}

}  // namespace xan
