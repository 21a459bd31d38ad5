#pragma once
// The Pascal dialect as the machine sees it: its parser and its built-in objects; the texts the
// debugger shows come from the shared language base.
#include <memory>

#include "vm/compiler/LanguageInterface.h"

namespace xan::pas {

class TXANPasLanguage : public TXANLanguageBase {
    XAN_CLASS(TXANPasLanguage, TXANLanguageBase)
    TXANPasLanguage() noexcept;

    std::unique_ptr<IXANParserBase> CreateParser(IXANParserCallbacks* ACallbacks) override;
    // Exit, Break and Continue, then the built-ins in registration order.
    std::span<const TXANBuiltin> Builtins() override;
};

}  // namespace xan::pas
