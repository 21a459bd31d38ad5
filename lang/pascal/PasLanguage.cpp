#include "lang/pascal/PasLanguage.h"

#include "lang/pascal/PasBuiltinList.h"
#include "lang/pascal/PasParser.h"

namespace xan::pas {

TXANPasLanguage::TXANPasLanguage() noexcept : TXANLanguageBase({u"Unassigned", u"nil", u"Null", u'\''}) {}

std::unique_ptr<IXANParserBase> TXANPasLanguage::CreateParser(IXANParserCallbacks* ACallbacks) {
    return std::make_unique<TXANPasParser>(ACallbacks);
}

std::span<const TXANBuiltin> TXANPasLanguage::Builtins() { return PasBuiltins(); }

}  // namespace xan::pas
