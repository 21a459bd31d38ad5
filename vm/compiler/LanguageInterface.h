#pragma once
// The language interface: how the machine obtains a parser and the built-in objects of a
// script language, and how the debugger writes values in that language's syntax.
#include <memory>
#include <span>

#include "platform/core/UString.h"
#include "platform/ole/ComIntf.h"
#include "platform/ole/InterfacedObject.h"
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

// How a dialect writes special values and strings for the debugger.
struct TXANLanguageTexts {
    const char16_t* Unassigned;
    const char16_t* Nil;
    const char16_t* Null;
    char16_t Quote;  // string literals double it inside and are enclosed in it
};

// Creates a built-in object of a language; the receiver owns it.
using TXANIntrinsicFactory = TXANGlobalObject* (*)();

template <class T>
TXANGlobalObject* XANMakeIntrinsic() {
    return new T();
}

// What the languages of both dialects share: reference counting, the texts of special values and
// quoting; a dialect gives its parser and its built-in objects.
class TXANLanguageBase : public plat::TInterfacedObject, public IXANLanguage {
    XAN_CLASS(TXANLanguageBase, plat::TInterfacedObject)
    explicit TXANLanguageBase(const TXANLanguageTexts& ATexts) noexcept : FTexts(ATexts) {}

    void GetUnassignedText(plat::UString& S) override;
    void GetNilText(plat::UString& S) override;
    void GetNullText(plat::UString& S) override;
    void QuoteString(const plat::UString& AText, plat::UString& S) override;

protected:
    // Hands a new object of every factory to AProc, in order.
    static void EnumFactories(std::span<const TXANIntrinsicFactory> AFactories, TXANEnumGlobalObjectsProc AProc,
                              void* AData);

private:
    const TXANLanguageTexts FTexts;
};

}  // namespace xan
