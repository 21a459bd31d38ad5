#include "lang/vb/VbLanguage.h"

#include "lang/vb/VbBuiltinList.h"
#include "lang/vb/VbParser.h"

namespace xan::vb {

TXANVbLanguage::TXANVbLanguage() noexcept : TXANLanguageBase({u"Empty", u"Nothing", u"Null", u'"'}) {}

std::unique_ptr<IXANParserBase> TXANVbLanguage::CreateParser(IXANParserCallbacks* ACallbacks) {
    return std::make_unique<TXANVbParser>(ACallbacks);
}

std::span<const TXANBuiltin> TXANVbLanguage::Builtins() { return VbBuiltins(); }

}  // namespace xan::vb
