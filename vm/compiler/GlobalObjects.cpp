#include "vm/compiler/GlobalObjects.h"

#include "vm/bytecode/ByteCode.h"
#include "vm/bytecode/CodeEpoch.h"

namespace xan {

using plat::DISPATCH_METHOD;
using plat::DISPATCH_PROPERTYGET;
using plat::DISPATCH_PROPERTYPUT;
using plat::DISPATCH_PROPERTYPUTREF;

TXANVarObject::TXANVarObject(Integer AName, plat::UString AStrName)
    : TXANGlobalValuedObject(AName, std::move(AStrName), gtVar,
                             DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF, XANResMaskValue) {}

TXANConstObject::TXANConstObject(Integer AName, plat::UString AStrName)
    : TXANGlobalValuedObject(AName, std::move(AStrName), gtConst, DISPATCH_PROPERTYGET, XANResMaskValue) {}

TXANProcObject::TXANProcObject(Integer AName, plat::UString AStrName)
    : TXANDispIdObject(AName, std::move(AStrName), gtProcedure, DISPATCH_METHOD, XANResMaskNone),
      FByteCode(std::make_unique<TXANByteCode>()) {}

// Call sites may remember the value's address, which another object may reuse.
TXANGlobalValuedObject::~TXANGlobalValuedObject() { TXANCodeEpoch::Advance(); }

TXANProcObject::~TXANProcObject() = default;

void TXANProcObject::AddParam(TXANParamKind AKind) {
    if (AKind == pkSimple) FByValueParams.push_back(static_cast<std::uint16_t>(FParamKinds.size()));
    FParamKinds.push_back(AKind);
}

void TXANProcObject::TakeCopy(plat::Variant& AArg) {
    plat::Variant copy(plat::VarDerefAll(AArg));
    AArg.MoveFrom(copy);
}

TXANExternObject::TXANExternObject(Integer AName, plat::UString AStrName, plat::IDispatch* AObj,
                                   TXANCodeObject* ACodeObject, bool APublishMembers)
    : TXANGlobalObject(AName, std::move(AStrName), gtExtern),
      FObj(AObj),
      FCodeObject(ACodeObject),
      FPublishMembers(APublishMembers) {
    if (FObj) FObj->AddRef();
}

TXANExternObject::~TXANExternObject() {
    if (FObj) FObj->Release();
}

}  // namespace xan
