#pragma once
// The Pascal-dialect scanner: source text in, one token at a time out, with the 1-based UTF-16
// positions of the token's first and last character and its value. The parser looks ahead by
// taking a save point (a character address) and rolling back to it, which costs one token scan.
#include "lang/pascal/PasTokens.h"
#include "platform/core/Types.h"
#include "platform/core/UString.h"

namespace xan::pas {

class TXANPasScanner {
public:
    explicit TXANPasScanner(bool SkipComments);
    TXANPasScanner(const TXANPasScanner&) = delete;
    TXANPasScanner& operator=(const TXANPasScanner&) = delete;
    // The text buffer is shared, not copied, so the character pointers stay valid in a move.
    TXANPasScanner(TXANPasScanner&&) noexcept = default;

    // Keeps the source alive, positions at its first character and reads the first token.
    void Start(const plat::UString& Source);
    void SkipToken();
    // The address of the current token's first character.
    const char16_t* GetSavepoint() const noexcept;
    // Continues at S (a save point of this source) and reads the token that starts there.
    void Rollback(const char16_t* S);

    // The token's description between single quotes: 'begin', 'end of file', ':='.
    static plat::UString TokenToStr(TXANPasToken Token);

    TXANPasToken Token() const noexcept { return FToken; }
    plat::Integer TokenStartPos() const noexcept { return FTokenStartPos; }
    plat::Integer TokenEndPos() const noexcept { return FTokenEndPos; }
    // Identifier text as written, string value, or a comment's full text.
    const plat::UString& SData() const noexcept { return FSData; }
    plat::Integer IData() const noexcept { return FIData; }
    long double FData() const noexcept { return FFData; }

private:
    plat::Integer PosOf(const char16_t* p) const noexcept {
        return static_cast<plat::Integer>(p - FSource) + 1;
    }
    bool AtEndOfText(const char16_t* p) const noexcept { return p == FSourceEnd; }
    [[noreturn]] void Error(const plat::UString& AMsg, const char16_t* AAt) const;

    void ReadToken();
    void SkipBlanks() noexcept;
    void ReadTokenAt(const char16_t* start);
    void ReadSymbol(const char16_t* start);
    void ReadIdentifier(const char16_t* start);
    void ReadNumber(const char16_t* start);
    void ReadHexNumber(const char16_t* start);
    void ReadDecimalNumber(const char16_t* start);
    void ReadString(const char16_t* start);
    void AppendQuotedPart(std::u16string& value);
    void AppendCharCode(std::u16string& value);
    void ReadBraceComment(const char16_t* start);
    void ReadParenComment(const char16_t* start);
    void ReadLineComment(const char16_t* start);
    void FinishComment(const char16_t* start, const char16_t* last);
    [[noreturn]] void IllegalCharacter(const char16_t* at) const;

    plat::UString FStrSource;
    const char16_t* FSource = nullptr;
    const char16_t* FSourceEnd = nullptr;  // the terminating 0 character
    const char16_t* FCurChar = nullptr;
    bool FSkipComments;
    TXANPasToken FToken = ptEOf;
    plat::Integer FTokenStartPos = 0;
    plat::UString FSData;
    plat::Integer FIData = 0;
    long double FFData = 0;
    plat::Integer FTokenEndPos = 0;
};

}  // namespace xan::pas
