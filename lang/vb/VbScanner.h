#pragma once
// The VBScript-dialect scanner: source text in, one token at a time out, with the 1-based UTF-16
// positions of the token's first and last character and its value.
//
// Line ends are tokens (ptEOl) because they end statements; a '_' at the end of a line joins it
// with the next one and never reaches the parser. The end of the text is reported once as ptEOl
// and then as ptEOf for ever, so a last line without a line break still ends its statement.
// The parser looks ahead by taking a save point and rolling back to it, which costs one token
// scan.
#include <string>

#include "lang/vb/VbTokens.h"
#include "platform/core/Types.h"
#include "platform/core/UString.h"

namespace xan::vb {

// Where scanning resumes after a rollback. Besides the character address it keeps whether the
// end of the text had already been reported, so that rolling back onto the final ptEOl gives
// ptEOl again rather than ptEOf.
struct TVbSavepoint {
    const char16_t* Cur = nullptr;
    bool LastEOlSkipped = false;
};

class TVBScanner {
public:
    explicit TVBScanner(bool SkipComments);
    TVBScanner(const TVBScanner&) = delete;
    TVBScanner& operator=(const TVBScanner&) = delete;

    // Keeps the source alive, positions at its first character and reads the first token.
    void Start(const plat::UString& Source);
    void SkipToken();
    // The save point of the current token.
    TVbSavepoint GetSavepoint() const noexcept;
    // Continues at S (a save point of the current source) and reads the token that starts there.
    void Rollback(const TVbSavepoint& S);

    static plat::UString TokenToStr(TXANVbToken Token) { return vb::TokenToStr(Token); }

    TXANVbToken Token() const noexcept { return FToken; }
    plat::Integer TokenStartPos() const noexcept { return FTokenStartPos; }
    plat::Integer TokenEndPos() const noexcept { return FTokenEndPos; }
    // Identifier text as written (between the brackets for [a b]), string value, or a comment's
    // text without the apostrophe.
    const plat::UString& SData() const noexcept { return FSData; }
    plat::Integer IData() const noexcept { return FIData; }
    long double FData() const noexcept { return FFData; }
    plat::TDateTime DData() const noexcept { return FDData; }

private:
    plat::Integer PosOf(const char16_t* p) const noexcept {
        return static_cast<plat::Integer>(p - FSource) + 1;
    }
    // A 0 character before the real end of the text: the text would silently end there.
    bool IsEmbeddedNul(const char16_t* p) const noexcept { return *p == 0 && p != FSourceEnd; }
    [[noreturn]] void Error(plat::UString AMsg, const char16_t* AAt) const;
    [[noreturn]] void IllegalCharacter(const char16_t* AAt) const;
    // An error about the text ending too early at ATerminator (a line end or a 0), reported at the
    // character before it; a 0 inside the text is reported as what it is.
    [[noreturn]] void PrematureEnd(const char16_t* ATerminator, const char16_t* AMsg) const;

    void ReadToken();
    void SkipBlanks() noexcept;
    void ReadEndOfText();
    void ReadTokenAt(const char16_t* AStart);
    void Finish(TXANVbToken AToken, const char16_t* AStart, const char16_t* AAfter) noexcept;
    void ReadLineEnd(const char16_t* AStart);
    void ReadComparison(const char16_t* AStart);
    void ReadAmpersand(const char16_t* AStart);
    void ReadIdentifier(const char16_t* AStart);
    void ReadBracketedIdentifier(const char16_t* AStart);
    void ReadNumber(const char16_t* AStart);
    void ReadHexNumber(const char16_t* AStart);
    void ReadString(const char16_t* AStart);
    void ReadDate(const char16_t* AStart);
    void ReadComment(const char16_t* AStart);
    void ReadLineContinuation(const char16_t* AStart);

    plat::UString FStrSource;
    const char16_t* FSource;
    const char16_t* FSourceEnd;  // the terminating 0 character
    const char16_t* FCurChar;
    bool FSkipComments;
    TXANVbToken FToken = ptEOf;
    plat::Integer FTokenStartPos = 0;
    plat::UString FSData;
    plat::Integer FIData = 0;
    long double FFData = 0;
    plat::TDateTime FDData = 0;
    plat::Integer FTokenEndPos = 0;
    bool FLastEOlSkipped = false;
    std::u16string FBuffer;  // scratch for string values with doubled quotes
};

}  // namespace xan::vb
