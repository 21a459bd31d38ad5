#include "lang/vb/VbTokens.h"

#include "platform/core/CharCase.h"

namespace xan::vb {

const std::array<TXANVbTokenDescription, XANVbTokenCount> XANVbTokenDescriptions = {{
    {u"identifier", false},
    {u"string constant", false},
    {u"number", false},
    {u"real constant", false},
    {u"date constant", false},
    {u"Imp", true},
    {u"Eqv", true},
    {u"Xor", true},
    {u"Or", true},
    {u"And", true},
    {u"Not", true},
    {u"TypeOf", true},
    {u"Is", true},
    {u">", false},
    {u">=", false},
    {u"<", false},
    {u"<=", false},
    {u"=", false},
    {u"=", false},
    {u"<>", false},
    {u"&", false},
    {u"+", false},
    {u"-", false},
    {u"*", false},
    {u"/", false},
    {u"\\", false},
    {u"Mod", true},
    {u"^", false},
    {u"(", false},
    {u")", false},
    {u",", false},
    {u":", false},
    {u".", false},
    {u"True", true},
    {u"False", true},
    {u"Nothing", true},
    {u"Empty", true},
    {u"Null", true},
    {u"Dim", true},
    {u"Set", true},
    {u"Redim", true},
    {u"Preserve", true},
    {u"For", true},
    {u"To", true},
    {u"Step", true},
    {u"Next", true},
    {u"If", true},
    {u"Then", true},
    {u"Else", true},
    {u"ElseIf", true},
    {u"End", true},
    {u"Do", true},
    {u"Loop", true},
    {u"While", true},
    {u"Until", true},
    {u"Function", true},
    {u"Sub", true},
    {u"ByRef", true},
    {u"ByVal", true},
    {u"Erase", true},
    {u"Call", true},
    {u"Select", true},
    {u"Case", true},
    {u"Exit", true},
    {u"Try", true},
    {u"Catch", true},
    {u"As", true},
    {u"Finally", true},
    {u"Throw", true},
    {u"Return", true},
    {u"New", true},
    {u"comment", false},
    {u"hidden end of line", false},
    {u"end of line", false},
    {u"end of file", false},
}};

plat::UString TokenToStr(TXANVbToken AToken) {
    using namespace std::string_view_literals;
    return plat::UString(u"'") + std::u16string_view(XANVbTokenDescriptions[AToken].S) + u"'"sv;
}

namespace {

// Keywords are ASCII, so comparing with ASCII upper-casing is exact and locale-proof.
bool SameWordAsciiNoCase(std::u16string_view AText, std::u16string_view AWord) noexcept {
    if (AText.size() != AWord.size()) return false;
    for (std::size_t i = 0; i < AText.size(); ++i)
        if (plat::AsciiUpper(AText[i]) != plat::AsciiUpper(AWord[i])) return false;
    return true;
}

}  // namespace

TXANVbToken LookupVbKeyword(std::u16string_view AText) noexcept {
    for (std::size_t t = 0; t < XANVbTokenCount; ++t) {
        const TXANVbTokenDescription& d = XANVbTokenDescriptions[t];
        if (d.IsKeyword && SameWordAsciiNoCase(AText, d.S)) return static_cast<TXANVbToken>(t);
    }
    return ptIdentifier;
}

}  // namespace xan::vb
