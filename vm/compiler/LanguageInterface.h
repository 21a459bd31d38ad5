#pragma once
// The language interface: how the machine obtains a parser and the built-in objects of a
// script language, and how the debugger writes values in that language's syntax.
#include <memory>

#include "platform/core/UString.h"
#include "platform/ole/ComIntf.h"
#include "vm/compiler/GlobalObjects.h"
#include "vm/compiler/ParserInterfaces.h"

namespace xan {

// Receives one built-in object; the receiver owns it from then on.
using TXANEnumGlobalObjectsProc = void (*)(void* AData, TXANGlobalObject* AObject);

// Reference counted through IUnknown; it has no interface identifier of its own.
class IXANLanguage : public virtual plat::IUnknown {
public:
    // A new parser reporting to ACallbacks; the caller owns it.
    virtual std::unique_ptr<IXANParserBase> CreateParser(IXANParserCallbacks* ACallbacks) = 0;
    // Creates every built-in global object of the language and hands each to AProc.
    virtual void EnumGlobalObjects(TXANEnumGlobalObjectsProc AProc, void* AData) = 0;
    virtual void GetUnassignedText(plat::UString& S) = 0;
    virtual void GetNilText(plat::UString& S) = 0;
    virtual void GetNullText(plat::UString& S) = 0;
    // AText as a string literal of the language.
    virtual void QuoteString(const plat::UString& AText, plat::UString& S) = 0;

protected:
    ~IXANLanguage() = default;
};

// AText with every AQuote doubled, enclosed in AQuote: the string-literal form both dialects use
// with their own quote character.
plat::UString QuoteDoubling(const plat::UString& AText, char16_t AQuote);

}  // namespace xan
