#include "lang/pascal/PasLanguage.h"

#include "foundation/NameTable.h"
#include "lang/pascal/PasBuiltinList.h"
#include "lang/pascal/PasParser.h"

namespace xan::pas {

namespace {

template <class T>
void HandOver(TXANEnumGlobalObjectsProc AProc, void* AData, const char16_t* AStrName) {
    AProc(AData, new T(GlobalNameTable().GetNameIndex(AStrName, true), plat::UString(AStrName)));
}

}  // namespace

TXANPasLanguage::TXANPasLanguage() noexcept : TXANLanguageBase({u"Unassigned", u"nil", u"Null", u'\''}) {}

std::unique_ptr<IXANParserBase> TXANPasLanguage::CreateParser(IXANParserCallbacks* ACallbacks) {
    return std::make_unique<TXANPasParser>(ACallbacks);
}

void TXANPasLanguage::EnumGlobalObjects(TXANEnumGlobalObjectsProc AProc, void* AData) {
    HandOver<TXANExitObject>(AProc, AData, u"Exit");
    HandOver<TXANBreakObject>(AProc, AData, u"Break");
    HandOver<TXANContinueObject>(AProc, AData, u"Continue");
    EnumFactories(PasIntrinsicFactories(), AProc, AData);
}

}  // namespace xan::pas
