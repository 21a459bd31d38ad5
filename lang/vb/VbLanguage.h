#pragma once
// The VBScript dialect as the machine sees it: its parser and its built-in objects; the texts
// the debugger shows come from the shared language base.
#include <memory>

#include "vm/compiler/LanguageInterface.h"

namespace xan::vb {

class TXANVbLanguage : public TXANLanguageBase {
    XAN_CLASS(TXANVbLanguage, TXANLanguageBase)
    TXANVbLanguage() noexcept;

    std::unique_ptr<IXANParserBase> CreateParser(IXANParserCallbacks* ACallbacks) override;
    // The built-ins in registration order, constants first; a fresh set on every call.
    std::span<const TXANBuiltin> Builtins() override;
};

}  // namespace xan::vb
