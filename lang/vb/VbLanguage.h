#pragma once
// The VBScript dialect as the machine sees it: its parser, its built-in objects and the texts
// the debugger shows for special values and strings.
#include <memory>

#include "platform/ole/InterfacedObject.h"
#include "vm/compiler/LanguageInterface.h"

namespace xan::vb {

class TXANVbLanguage : public plat::TInterfacedObject, public IXANLanguage {
    XAN_CLASS(TXANVbLanguage, plat::TInterfacedObject)
    std::unique_ptr<IXANParserBase> CreateParser(IXANParserCallbacks* ACallbacks) override;
    // The built-ins in registration order, constants first; a fresh set on every call.
    void EnumGlobalObjects(TXANEnumGlobalObjectsProc AProc, void* AData) override;
    void GetUnassignedText(plat::UString& S) override;
    void GetNilText(plat::UString& S) override;
    void GetNullText(plat::UString& S) override;
    void QuoteString(const plat::UString& AText, plat::UString& S) override;
};

}  // namespace xan::vb
