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

std::unique_ptr<IXANParserBase> TXANPasLanguage::CreateParser(IXANParserCallbacks* ACallbacks) {
    return std::make_unique<TXANPasParser>(ACallbacks);
}

void TXANPasLanguage::EnumGlobalObjects(TXANEnumGlobalObjectsProc AProc, void* AData) {
    HandOver<TXANExitObject>(AProc, AData, u"Exit");
    HandOver<TXANBreakObject>(AProc, AData, u"Break");
    HandOver<TXANContinueObject>(AProc, AData, u"Continue");
    for (pas::TPasIntrinsicFactory make : pas::PasIntrinsicFactories()) AProc(AData, make());
}

void TXANPasLanguage::GetUnassignedText(plat::UString& S) { S = u"Unassigned"; }

void TXANPasLanguage::GetNilText(plat::UString& S) { S = u"nil"; }

void TXANPasLanguage::GetNullText(plat::UString& S) { S = u"Null"; }

void TXANPasLanguage::QuoteString(const plat::UString& AText, plat::UString& S) { S = QuoteDoubling(AText, u'\''); }

}  // namespace xan::pas
