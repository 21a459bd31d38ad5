#include "wrappers/WrapperData.h"

#include "platform/core/CharCase.h"
#include "wrappers/WrapperClasses.h"

namespace xan {

namespace {
constexpr std::uint32_t kGet = XANInvokeGet;
constexpr std::uint32_t kMethod = XANInvokeMethod;

TXANInvokeItemAttrs OptAttr(bool AHasOptionalParams) { return AHasOptionalParams ? iiaOptParams : 0; }

// Functions without a declared result type answer variants.
TXANDebugTypeFunc ResultDebugType(const TXANTypeWrapperClass* AResultType) {
    return AResultType ? XANDebugTypeOf(AResultType) : TVarDebugType::Get(plat::varVariant);
}

TXANDebugTypeFunc ConstantDebugType(const TXANTypeWrapperClass* AType, plat::Word AVarType) {
    return AType ? XANDebugTypeOf(AType) : TVarDebugType::Get(AVarType);
}
}  // namespace

TXANDebugTypeFunc XANDebugTypeOf(const TXANTypeWrapperClass* AType) {
    return AType ? TVarDebugType::Get(AType->GetVarType()) : TXANDebugTypeFunc();
}

std::uint32_t XANReadWriteFlags(const TXANTypeWrapperClass* AType, bool AIsReadable, bool AIsWritable) {
    std::uint32_t flags = AIsReadable ? kGet : 0;
    if (AIsWritable) flags |= AType && AType->GetVarType() == plat::varDispatch ? XANInvokePutRef : XANInvokePut;
    return flags;
}

// ---- Every table ---------------------------------------------------------------------------------

TXANDispWrapperData::TXANDispWrapperData(const TXANWrapperClass* AWrapperClass)
    : TXANWrapperData(AWrapperClass), FDispInfo(std::make_unique<TXANDispInfo>()) {}

TXANDispWrapperData::~TXANDispWrapperData() = default;

TXANInvokeItem* TXANDispWrapperData::AddItem(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                             TXANDebugTypeFunc ADebugType, TXANInvokeItemAttrs AAttrs,
                                             plat::Integer AParamCount, bool AHasOptionalParams,
                                             std::uint32_t AInvokeFlags) {
    auto item = std::make_unique<TXANInvokeItem>();
    item->Name = AName;
    item->UppName = plat::IdentUpperCase(AName);
    item->InvokeProc = std::move(AInvokeProc);
    item->DebugType = std::move(ADebugType);
    item->Attrs = AAttrs | OptAttr(AHasOptionalParams);
    item->ParamCount = AParamCount;
    item->MinParamCount = AHasOptionalParams ? AParamCount : 2147483647;
    item->InvokeFlags = AInvokeFlags;
    item->ResMask = (item->Attrs & iiaNoResult) ? 0u : 0xFFFFFFFFu;
    return FDispInfo->Add(std::move(item));
}

// ---- Classes and records ---------------------------------------------------------------------------

void TXANTypeWrapperData::AddField(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                   const TXANTypeWrapperClass* AType) {
    AddItem(AName, std::move(AInvokeProc), XANDebugTypeOf(AType), 0, 0, false, XANReadWriteFlags(AType, true, true));
}

void TXANTypeWrapperData::AddClassField(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                        const TXANTypeWrapperClass* AType) {
    AddItem(AName, std::move(AInvokeProc), XANDebugTypeOf(AType), iiaMetaMember, 0, false,
            XANReadWriteFlags(AType, true, true));
}

void TXANTypeWrapperData::AddConstant(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                      const TXANTypeWrapperClass* AType, plat::Word AVarType) {
    AddItem(AName, std::move(AInvokeProc), ConstantDebugType(AType, AVarType), iiaMetaMember, 0, false, kGet);
}

void TXANTypeWrapperData::AddConstructor(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                         plat::Integer AParamsCount, bool AHasOptionalParams) {
    const auto* own = static_cast<const TXANTypeWrapperClass*>(FWrapperClass);
    AddItem(AName, std::move(AInvokeProc), XANDebugTypeOf(own), ConstructorAttrs(), AParamsCount, AHasOptionalParams,
            kMethod);
}

void TXANTypeWrapperData::AddProcedure(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                       plat::Integer AParamsCount, bool AHasOptionalParams) {
    AddItem(AName, std::move(AInvokeProc), {}, iiaNoResult, AParamsCount, AHasOptionalParams, kMethod);
}

void TXANTypeWrapperData::AddFunction(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                      const TXANTypeWrapperClass* AResultType, plat::Integer AParamsCount,
                                      bool AHasOptionalParams) {
    AddItem(AName, std::move(AInvokeProc), ResultDebugType(AResultType), 0, AParamsCount, AHasOptionalParams, kMethod);
}

void TXANTypeWrapperData::AddClassProcedure(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                            plat::Integer AParamsCount, bool AHasOptionalParams) {
    AddItem(AName, std::move(AInvokeProc), {}, iiaNoResult | iiaMetaMember, AParamsCount, AHasOptionalParams,
            kMethod);
}

void TXANTypeWrapperData::AddClassFunction(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                           const TXANTypeWrapperClass* AResultType, plat::Integer AParamsCount,
                                           bool AHasOptionalParams) {
    AddItem(AName, std::move(AInvokeProc), ResultDebugType(AResultType), iiaMetaMember, AParamsCount,
            AHasOptionalParams, kMethod);
}

void TXANTypeWrapperData::AddProperty(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                      const TXANTypeWrapperClass* AType, bool AIsReadable, bool AIsWritable,
                                      plat::Integer AParamsCount, bool AIsProtected, bool AIsDefault) {
    TXANInvokeItemAttrs attrs = AIsDefault ? iiaDefaultProp : 0;
    if (AIsProtected && HonoursProtected()) attrs |= iiaHidden;
    AddItem(AName, std::move(AInvokeProc), XANDebugTypeOf(AType), attrs, AParamsCount, false,
            XANReadWriteFlags(AType, AIsReadable, AIsWritable));
}

void TXANTypeWrapperData::AddClassProperty(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                           const TXANTypeWrapperClass* AType, bool AIsReadable, bool AIsWritable,
                                           plat::Integer AParamsCount, bool AIsProtected) {
    TXANInvokeItemAttrs attrs = iiaMetaMember;
    if (AIsProtected && HonoursProtected()) attrs |= iiaHidden;
    AddItem(AName, std::move(AInvokeProc), XANDebugTypeOf(AType), attrs, AParamsCount, false,
            XANReadWriteFlags(AType, AIsReadable, AIsWritable));
}

void TXANClassWrapperData::AddPropertyRedecl(const plat::UString& AName, bool AIsDefault) {
    FRedecls.emplace_back(AName, AIsDefault);
}

// ---- Units ----------------------------------------------------------------------------------------

void TXANUnitWrapperData::AddConstant(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                      const TXANTypeWrapperClass* AType, plat::Word AVarType) {
    AddItem(AName, std::move(AInvokeProc), ConstantDebugType(AType, AVarType), 0, 0, false, kGet);
}

void TXANUnitWrapperData::AddVariable(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                      const TXANTypeWrapperClass* AType) {
    AddItem(AName, std::move(AInvokeProc), XANDebugTypeOf(AType), 0, 0, false, XANReadWriteFlags(AType, true, true));
}

void TXANUnitWrapperData::AddProcedure(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                       plat::Integer AParamsCount, bool AHasOptionalParams) {
    AddItem(AName, std::move(AInvokeProc), {}, iiaNoResult, AParamsCount, AHasOptionalParams, kMethod);
}

void TXANUnitWrapperData::AddFunction(const plat::UString& AName, TXANInvokeProc AInvokeProc,
                                      const TXANTypeWrapperClass* AResultType, plat::Integer AParamsCount,
                                      bool AHasOptionalParams) {
    AddItem(AName, std::move(AInvokeProc), ResultDebugType(AResultType), 0, AParamsCount, AHasOptionalParams, kMethod);
}

void TXANUnitWrapperData::AddType(const TXANTypeWrapperClass* AWrapperClass, TXANInvokeProc AInvokeProc) {
    AddItem(AWrapperClass->GetTypeName(), std::move(AInvokeProc), XANDebugTypeOf(AWrapperClass), 0, 0, false, kGet);
    if (const auto* enumClass = dynamic_cast<const TXANEnumWrapperClass*>(AWrapperClass))
        FFoundEnums.push_back(enumClass);
}

}  // namespace xan
