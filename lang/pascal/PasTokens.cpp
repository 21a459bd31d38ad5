#include "lang/pascal/PasTokens.h"

#include <array>

#include "platform/core/CharCase.h"

namespace xan::pas {

namespace {

struct RawDescription {
    const char16_t* text;
    bool isKeyword;
};

constexpr RawDescription kRawDescriptions[PasTokenCount] = {
    {u"identifier", false}, {u"string constant", false}, {u"number", false},
    {u"real constant", false}, {u"array", true}, {u"begin", true}, {u"case", true},
    {u"const", true}, {u"do", true}, {u"downto", true}, {u"else", true}, {u"end", true},
    {u"except", true}, {u"finally", true}, {u"for", true}, {u"function", true}, {u"if", true},
    {u"nil", true}, {u"of", true}, {u"on", true}, {u"out", true}, {u"procedure", true},
    {u"raise", true}, {u"repeat", true}, {u"then", true}, {u"to", true}, {u"try", true},
    {u"until", true}, {u"uses", true}, {u"var", true}, {u"while", true}, {u"and", true},
    {u"div", true}, {u"/", false}, {u"=", false}, {u">", false}, {u">=", false}, {u"in", true},
    {u"is", true}, {u"<", false}, {u"<=", false}, {u"-", false}, {u"mod", true}, {u"*", false},
    {u"not", true}, {u"<>", false}, {u"or", true}, {u"+", false}, {u"shl", true}, {u"shr", true},
    {u"xor", true}, {u":=", false}, {u"]", false}, {u")", false}, {u":", false}, {u",", false},
    {u"[", false}, {u"(", false}, {u".", false}, {u"..", false}, {u";", false}, {u"@", false},
    {u"comment", false}, {u"end of file", false},
};

using DescriptionTable = std::array<TXANPasTokenDescription, PasTokenCount>;

DescriptionTable BuildDescriptions() {
    DescriptionTable table;
    for (int i = 0; i < PasTokenCount; ++i)
        table[i] = {plat::UString(kRawDescriptions[i].text), kRawDescriptions[i].isKeyword};
    return table;
}

// Reserved words are at most this long; longer identifiers skip the comparison entirely.
constexpr std::size_t kLongestKeyword = 9;

bool EqualsIgnoringAsciiCase(std::u16string_view text, const char16_t* lowerKeyword) noexcept {
    for (char16_t c : text) {
        if (plat::AsciiLower(c) != *lowerKeyword) return false;
        ++lowerKeyword;
    }
    return *lowerKeyword == 0;
}

}  // namespace

const TXANPasTokenDescription& PasTokenDescription(TXANPasToken AToken) {
    static const DescriptionTable table = BuildDescriptions();
    return table[AToken];
}

TXANPasToken PasKeywordToken(std::u16string_view AText) noexcept {
    if (AText.size() < 2 || AText.size() > kLongestKeyword) return ptIdentifier;
    for (int i = 0; i < PasTokenCount; ++i)
        if (kRawDescriptions[i].isKeyword && EqualsIgnoringAsciiCase(AText, kRawDescriptions[i].text))
            return static_cast<TXANPasToken>(i);
    return ptIdentifier;
}

}  // namespace xan::pas
