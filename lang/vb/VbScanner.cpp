#include "lang/vb/VbScanner.h"

#include "lang/vb/VbChars.h"
#include "lang/vb/VbCompilerError.h"
#include "lang/vb/VbDateLiteral.h"
#include "lang/vb/VbNumbers.h"
#include "platform/core/DateUtils.h"
#include "platform/text/NumText.h"

namespace xan::vb {

namespace {

constexpr const char16_t* SUnterminatedString = u"Unterminated string";
constexpr const char16_t* SUnterminatedIdentifier = u"Unterminated identifier";
constexpr const char16_t* SEmptyIdentifier = u"Identifiers with empty name not supported";
constexpr const char16_t* SIntegerSyntax = u"Syntax error in integer constant";
constexpr const char16_t* SFloatSyntax = u"Syntax error in float constant";
constexpr const char16_t* SDateSyntax = u"Syntax error in date constant";

// The tokens spelled by one character that needs no lookahead; ptIdentifier for the others.
TXANVbToken SingleCharToken(char16_t c) noexcept {
    switch (c) {
        case u'(': return ptOpenRound;
        case u')': return ptCloseRound;
        case u'*': return ptMultiply;
        case u'+': return ptPlus;
        case u',': return ptComma;
        case u'-': return ptMinus;
        case u'.': return ptDot;
        case u'/': return ptDivide;
        case u'\\': return ptIntDivide;
        case u'^': return ptExp;
        case u':': return ptColon;
        case u'=': return ptEqual;
        default: return ptIdentifier;
    }
}

int CurrentYear() { return plat::DecodeDate(plat::Date()).year; }

}  // namespace

TVBScanner::TVBScanner(bool SkipComments)
    : FSource(FStrSource.c_str()), FSourceEnd(FSource), FCurChar(FSource), FSkipComments(SkipComments) {}

void TVBScanner::Start(const plat::UString& Source) {
    FStrSource = Source;
    FSource = FStrSource.c_str();
    FSourceEnd = FSource + FStrSource.length();
    FCurChar = FSource;
    FLastEOlSkipped = false;
    ReadToken();
}

void TVBScanner::SkipToken() { ReadToken(); }

TVbSavepoint TVBScanner::GetSavepoint() const noexcept {
    return {FSource + FTokenStartPos - 1, FLastEOlSkipped && FToken == ptEOf};
}

void TVBScanner::Rollback(const TVbSavepoint& S) {
    FCurChar = S.Cur;
    FLastEOlSkipped = S.LastEOlSkipped;
    ReadToken();
}

void TVBScanner::Error(plat::UString AMsg, const char16_t* AAt) const {
    RaiseVbCompileError(std::move(AMsg), PosOf(AAt));
}

void TVBScanner::IllegalCharacter(const char16_t* AAt) const {
    const char16_t c = *AAt;
    // A 0 character is shown by its code only; inside quotes it would end the message early
    // for every reader that treats text as 0-terminated.
    const std::u16string_view shown = c == 0 ? std::u16string_view() : std::u16string_view(AAt, 1);
    using namespace std::string_view_literals;
    Error(plat::UString(u"Illegal character: '") + shown + u"' ($"sv + plat::IntToHex(c, 0) + u")"sv, AAt);
}

void TVBScanner::PrematureEnd(const char16_t* ATerminator, const char16_t* AMsg) const {
    if (IsEmbeddedNul(ATerminator)) IllegalCharacter(ATerminator);
    Error(AMsg, ATerminator - 1);
}

void TVBScanner::ReadToken() {
    do {
        SkipBlanks();
        if (*FCurChar == 0)
            ReadEndOfText();
        else
            ReadTokenAt(FCurChar);
    } while (FToken == ptHiddenEOl || (FSkipComments && FToken == ptComment));
}

void TVBScanner::SkipBlanks() noexcept {
    while (IsVbBlank(*FCurChar)) ++FCurChar;
}

void TVBScanner::ReadEndOfText() {
    if (IsEmbeddedNul(FCurChar)) IllegalCharacter(FCurChar);
    FToken = FLastEOlSkipped ? ptEOf : ptEOl;
    FLastEOlSkipped = true;
    FTokenStartPos = FTokenEndPos = PosOf(FCurChar);
}

void TVBScanner::Finish(TXANVbToken AToken, const char16_t* AStart, const char16_t* AAfter) noexcept {
    FToken = AToken;
    FTokenStartPos = PosOf(AStart);
    FTokenEndPos = PosOf(AAfter) - 1;
    FCurChar = AAfter;
}

void TVBScanner::ReadTokenAt(const char16_t* AStart) {
    const char16_t c = *AStart;
    if (IsVbLineEnd(c)) return ReadLineEnd(AStart);
    if (IsVbDigit(c)) return ReadNumber(AStart);
    if (IsVbLetter(c)) return ReadIdentifier(AStart);
    switch (c) {
        case u'"': return ReadString(AStart);
        case u'#': return ReadDate(AStart);
        case u'&': return ReadAmpersand(AStart);
        case u'\'': return ReadComment(AStart);
        case u'[': return ReadBracketedIdentifier(AStart);
        case u'_': return ReadLineContinuation(AStart);
        case u'<': case u'>': return ReadComparison(AStart);
        default: break;
    }
    const TXANVbToken token = SingleCharToken(c);
    if (token == ptIdentifier) IllegalCharacter(AStart);
    Finish(token, AStart, AStart + 1);
}

void TVBScanner::ReadLineEnd(const char16_t* AStart) {
    const char16_t* p = AStart + 1;
    if (*AStart == 13 && *p == 10) ++p;
    Finish(ptEOl, AStart, p);
}

void TVBScanner::ReadComparison(const char16_t* AStart) {
    const char16_t next = AStart[1];
    if (*AStart == u'<') {
        if (next == u'=') return Finish(ptLessEqual, AStart, AStart + 2);
        if (next == u'>') return Finish(ptNotEqual, AStart, AStart + 2);
        return Finish(ptLess, AStart, AStart + 1);
    }
    if (next == u'=') return Finish(ptGreaterEqual, AStart, AStart + 2);
    Finish(ptGreater, AStart, AStart + 1);
}

void TVBScanner::ReadAmpersand(const char16_t* AStart) {
    if (IsVbHexDigit(AStart[1])) return ReadHexNumber(AStart);
    Finish(ptStrConcat, AStart, AStart + 1);
}

void TVBScanner::ReadIdentifier(const char16_t* AStart) {
    const char16_t* p = AStart + 1;
    while (IsVbIdentChar(*p)) ++p;
    const std::u16string_view text(AStart, static_cast<std::size_t>(p - AStart));
    const TXANVbToken token = LookupVbKeyword(text);
    if (token == ptIdentifier) FSData = plat::UString(text);
    Finish(token, AStart, p);
}

void TVBScanner::ReadBracketedIdentifier(const char16_t* AStart) {
    const char16_t* p = AStart + 1;
    while (*p != u']') {
        if (*p == 0 || IsVbLineEnd(*p)) PrematureEnd(p, SUnterminatedIdentifier);
        ++p;
    }
    if (p == AStart + 1) Error(SEmptyIdentifier, AStart);
    FSData = plat::UString(AStart + 1, static_cast<plat::Integer>(p - AStart - 1));
    Finish(ptIdentifier, AStart, p + 1);
}

void TVBScanner::ReadNumber(const char16_t* AStart) {
    const char16_t* p = AStart;
    bool isFloat = false;
    while (IsVbDigit(*p)) {
        ++p;
        if (*p == u'.') {
            ++p;
            isFloat = true;
        }
    }
    if (*p == u'E' || *p == u'e') {
        isFloat = true;
        ++p;
        if (*p == u'+' || *p == u'-') ++p;
        while (IsVbDigit(*p)) ++p;
    }
    const std::u16string_view text(AStart, static_cast<std::size_t>(p - AStart));
    if (isFloat) {
        if (!ConvertVbFloat(text, FFData)) Error(SFloatSyntax, p - 1);
        return Finish(ptCFloat, AStart, p);
    }
    if (!ConvertVbDecimal(text, FIData)) Error(SIntegerSyntax, p - 1);
    Finish(ptCInteger, AStart, p);
}

void TVBScanner::ReadHexNumber(const char16_t* AStart) {
    const char16_t* p = AStart + 1;
    while (IsVbHexDigit(*p)) ++p;
    if (!ConvertVbHex({AStart + 1, static_cast<std::size_t>(p - AStart - 1)}, FIData))
        Error(SIntegerSyntax, p - 1);
    Finish(ptCInteger, AStart, p);
}

void TVBScanner::ReadString(const char16_t* AStart) {
    const char16_t* p = AStart + 1;
    bool doubledQuotes = false;
    for (;; ++p) {
        if (*p == u'"') {
            if (p[1] != u'"') break;
            doubledQuotes = true;
            ++p;
        } else if (*p == 0 || IsVbLineEnd(*p)) {
            PrematureEnd(p, SUnterminatedString);
        }
    }
    const std::u16string_view raw(AStart + 1, static_cast<std::size_t>(p - AStart - 1));
    if (!doubledQuotes) {
        FSData = plat::UString(raw);
    } else {
        FBuffer.clear();
        for (std::size_t i = 0; i < raw.size(); ++i) {
            FBuffer.push_back(raw[i]);
            if (raw[i] == u'"') ++i;  // the second quote of a pair
        }
        FSData = plat::UString(std::u16string_view(FBuffer));
    }
    Finish(ptCString, AStart, p + 1);
}

void TVBScanner::ReadDate(const char16_t* AStart) {
    const char16_t* p = AStart + 1;
    if (!ScanVbDateLiteral(p, CurrentYear(), FDData)) {
        if (IsEmbeddedNul(p)) IllegalCharacter(p);
        Error(SDateSyntax, p - 1);
    }
    Finish(ptCDate, AStart, p);
}

void TVBScanner::ReadComment(const char16_t* AStart) {
    const char16_t* p = AStart + 1;
    while (*p != 0 && !IsVbLineEnd(*p)) ++p;
    // Skipped comments are never looked at, so their text is not copied.
    if (!FSkipComments) FSData = plat::UString(AStart + 1, static_cast<plat::Integer>(p - AStart - 1));
    Finish(ptComment, AStart, p);
}

void TVBScanner::ReadLineContinuation(const char16_t* AStart) {
    const char16_t* p = AStart + 1;
    while (IsVbBlank(*p)) ++p;
    if (*p == 13) {
        ++p;
        if (*p == 10) ++p;
    } else if (*p == 10) {
        ++p;
    } else if (*p != 0) {
        IllegalCharacter(p);
    }
    Finish(ptHiddenEOl, AStart, p);
}

}  // namespace xan::vb
