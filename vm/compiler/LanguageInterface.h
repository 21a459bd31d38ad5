#pragma once
// The language interface: how the machine obtains a parser and the built-in objects of a
// script language, and how the debugger writes values in that language's syntax.
#include <memory>
#include <span>
#include <string_view>

#include "platform/core/UString.h"
#include "platform/ole/ComIntf.h"
#include "platform/ole/InterfacedObject.h"
#include "vm/compiler/GlobalObjects.h"
#include "vm/compiler/ParserInterfaces.h"

namespace xan {

// Creates a built-in object of a language; the receiver owns it.
using TXANIntrinsicFactory = TXANGlobalObject* (*)();

// One built-in global object of a language: its name as the language writes it and how to make
// it. A machine makes a built-in the first time a script asks for its name, so one that starts
// and ends without calling a built-in makes none.
struct TXANBuiltin {
    std::u16string_view Name;
    TXANIntrinsicFactory Make;
};

// The first built-in of ABuiltins named AName in any letter case, or null.
const TXANBuiltin* XANFindBuiltin(std::span<const TXANBuiltin> ABuiltins, std::u16string_view AName) noexcept;

// Reference counted through IUnknown; it has no interface identifier of its own.
class IXANLanguage : public virtual plat::IUnknown {
public:
    // A new parser reporting to ACallbacks; the caller owns it.
    virtual std::unique_ptr<IXANParserBase> CreateParser(IXANParserCallbacks* ACallbacks) = 0;
    // Every built-in global object of the language; where two share a name, the first counts.
    virtual std::span<const TXANBuiltin> Builtins() = 0;
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

template <class T>
TXANGlobalObject* XANMakeIntrinsic() {
    return new T();
}

// The entry of a built-in class that names itself (T::Name) and has a default constructor.
template <class T>
constexpr TXANBuiltin XANBuiltin{T::Name, XANMakeIntrinsic<T>};

// What the languages of both dialects share: reference counting, the texts of special values and
// quoting; a dialect gives its parser and its built-in objects.
class TXANLanguageBase : public plat::TInterfacedObject, public IXANLanguage {
    XAN_CLASS(TXANLanguageBase, plat::TInterfacedObject)
    explicit TXANLanguageBase(const TXANLanguageTexts& ATexts) noexcept : FTexts(ATexts) {}

    void GetUnassignedText(plat::UString& S) override;
    void GetNilText(plat::UString& S) override;
    void GetNullText(plat::UString& S) override;
    void QuoteString(const plat::UString& AText, plat::UString& S) override;

private:
    const TXANLanguageTexts FTexts;
};

}  // namespace xan
