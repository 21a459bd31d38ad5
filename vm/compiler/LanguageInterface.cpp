#include "vm/compiler/LanguageInterface.h"

#include <string>

#include "platform/core/CharCase.h"

namespace xan {

plat::UString QuoteDoubling(const plat::UString& AText, char16_t AQuote) {
    std::u16string quoted;
    quoted.reserve(static_cast<std::size_t>(AText.length()) + 2);
    quoted.push_back(AQuote);
    for (char16_t c : AText.view()) {
        quoted.push_back(c);
        if (c == AQuote) quoted.push_back(AQuote);
    }
    quoted.push_back(AQuote);
    return plat::UString(quoted);
}

void TXANLanguageBase::GetUnassignedText(plat::UString& S) { S = FTexts.Unassigned; }

void TXANLanguageBase::GetNilText(plat::UString& S) { S = FTexts.Nil; }

void TXANLanguageBase::GetNullText(plat::UString& S) { S = FTexts.Null; }

void TXANLanguageBase::QuoteString(const plat::UString& AText, plat::UString& S) { S = QuoteDoubling(AText, FTexts.Quote); }

const TXANBuiltin* XANFindBuiltin(std::span<const TXANBuiltin> ABuiltins, std::u16string_view AName) noexcept {
    for (const TXANBuiltin& builtin : ABuiltins)
        if (plat::IdentEquals(builtin.Name, AName)) return &builtin;
    return nullptr;
}

}  // namespace xan
