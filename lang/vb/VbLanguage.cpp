#include "lang/vb/VbLanguage.h"

#include "lang/vb/VbBuiltinList.h"
#include "lang/vb/VbParser.h"

namespace xan::vb {

TXANVbLanguage::TXANVbLanguage() noexcept : TXANLanguageBase({u"Empty", u"Nothing", u"Null", u'"'}) {}

std::unique_ptr<IXANParserBase> TXANVbLanguage::CreateParser(IXANParserCallbacks* ACallbacks) {
    return std::make_unique<TXANVbParser>(ACallbacks);
}

void TXANVbLanguage::EnumGlobalObjects(TXANEnumGlobalObjectsProc AProc, void* AData) {
    EnumFactories(VbIntrinsicFactories(), AProc, AData);
}

}  // namespace xan::vb
