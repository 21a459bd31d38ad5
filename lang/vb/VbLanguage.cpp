#include "lang/vb/VbLanguage.h"

#include "lang/vb/VbBuiltinList.h"
#include "lang/vb/VbParser.h"

namespace xan::vb {

std::unique_ptr<IXANParserBase> TXANVbLanguage::CreateParser(IXANParserCallbacks* ACallbacks) {
    return std::make_unique<TXANVbParser>(ACallbacks);
}

void TXANVbLanguage::EnumGlobalObjects(TXANEnumGlobalObjectsProc AProc, void* AData) {
    for (TVbIntrinsicFactory make : VbIntrinsicFactories()) AProc(AData, make());
}

void TXANVbLanguage::GetUnassignedText(plat::UString& S) { S = u"Empty"; }

void TXANVbLanguage::GetNilText(plat::UString& S) { S = u"Nothing"; }

void TXANVbLanguage::GetNullText(plat::UString& S) { S = u"Null"; }

void TXANVbLanguage::QuoteString(const plat::UString& AText, plat::UString& S) { S = QuoteDoubling(AText, u'"'); }

}  // namespace xan::vb
