#include "lang/pascal/PasScanner.h"

#include <string>

#include "lang/pascal/PasCompilerError.h"
#include "lang/pascal/PasNumbers.h"
#include "platform/core/Assert.h"

namespace xan::pas {

using plat::Integer;
using plat::UString;

namespace {

constexpr char16_t kNul = 0, kLf = 10, kCr = 13;

const char16_t* const kUnterminatedString = u"Unterminated string";
const char16_t* const kIntegerSyntax = u"Syntax error in integer constant";
const char16_t* const kFloatSyntax = u"Syntax error in float constant";

bool IsIdentChar(char16_t c) noexcept {
    return IsPasDigit(c) || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

// Blanks are the control characters and every character above U+00FF: between tokens the
// dialect ignores them; inside strings and comments they are ordinary characters.
bool IsBlank(char16_t c) noexcept { return (c >= 1 && c <= 32) || c > 255; }

UString UpperHex(unsigned value) {
    static const char16_t digits[] = u"0123456789ABCDEF";
    std::u16string text;
    do {
        text.insert(text.begin(), digits[value & 15]);
        value >>= 4;
    } while (value);
    return UString(text);
}

}  // namespace

TXANPasScanner::TXANPasScanner(bool SkipComments) : FSkipComments(SkipComments) {}

void TXANPasScanner::Start(const UString& Source) {
    FStrSource = Source;
    FSource = FStrSource.c_str();
    FSourceEnd = FSource + FStrSource.length();
    FCurChar = FSource;
    ReadToken();
}

void TXANPasScanner::SkipToken() { ReadToken(); }

const char16_t* TXANPasScanner::GetSavepoint() const noexcept { return FSource + FTokenStartPos - 1; }

void TXANPasScanner::Rollback(const char16_t* S) {
    XAN_ASSERT("XANSctPasCompiler", S >= FSource && S <= FSourceEnd);
    FCurChar = S;
    ReadToken();
}

UString TXANPasScanner::TokenToStr(TXANPasToken Token) {
    return UString(u"'") + PasTokenDescription(Token).S + std::u16string_view(u"'");
}

void TXANPasScanner::Error(const UString& AMsg, const char16_t* AAt) const {
    plat::Throw<EXANPasCompiler>(AMsg, PosOf(AAt));
}

// A 0 character inside the text (not the terminator) would otherwise end the script silently,
// so it is reported like any other character the dialect does not allow.
void TXANPasScanner::IllegalCharacter(const char16_t* at) const {
    char16_t c = *at;
    UString shown = c == kNul ? UString(u"#0") : UString(&c, 1);
    std::u16string message = u"Illegal character: '";
    message.append(shown.view()).append(u"' ($").append(UpperHex(c).view()).append(u")");
    Error(UString(message), at);
}

void TXANPasScanner::SkipBlanks() noexcept {
    while (IsBlank(*FCurChar)) ++FCurChar;
}

void TXANPasScanner::ReadToken() {
    for (;;) {
        SkipBlanks();
        if (*FCurChar == kNul) {
            if (!AtEndOfText(FCurChar)) IllegalCharacter(FCurChar);
            FToken = ptEOf;
            FTokenStartPos = FTokenEndPos = PosOf(FCurChar);
            return;
        }
        ReadTokenAt(FCurChar);
        if (!(FSkipComments && FToken == ptComment)) return;
    }
}

void TXANPasScanner::ReadTokenAt(const char16_t* start) {
    FTokenStartPos = PosOf(start);
    char16_t c = *start;
    if (c == u'\'' || c == u'#')
        ReadString(start);
    else if (c == u'$' || IsPasDigit(c))
        ReadNumber(start);
    else if (IsIdentChar(c))
        ReadIdentifier(start);
    else
        ReadSymbol(start);
}

void TXANPasScanner::ReadSymbol(const char16_t* start) {
    // One- and two-character symbols; the comment openers hand over to their readers.
    const char16_t next = start[1];
    int length = 1;
    switch (*start) {
        case u'(':
            if (next == u'*') return ReadParenComment(start);
            FToken = ptOpenRound;
            break;
        case u'/':
            if (next == u'/') return ReadLineComment(start);
            FToken = ptDivide;
            break;
        case u'{': return ReadBraceComment(start);
        case u')': FToken = ptCloseRound; break;
        case u'*': FToken = ptMultiply; break;
        case u'+': FToken = ptPlus; break;
        case u',': FToken = ptComma; break;
        case u'-': FToken = ptMinus; break;
        case u';': FToken = ptSemiColon; break;
        case u'=': FToken = ptEqual; break;
        case u'@': FToken = ptReference; break;
        case u'[': FToken = ptOpenBlock; break;
        case u']': FToken = ptCloseBlock; break;
        case u'.':
            FToken = next == u'.' ? ptDoublePeriod : ptPeriod;
            length = next == u'.' ? 2 : 1;
            break;
        case u':':
            FToken = next == u'=' ? ptAssignment : ptColon;
            length = next == u'=' ? 2 : 1;
            break;
        case u'<':
            FToken = next == u'=' ? ptLessEqual : next == u'>' ? ptNotEqual : ptLess;
            length = FToken == ptLess ? 1 : 2;
            break;
        case u'>':
            FToken = next == u'=' ? ptGreaterEqual : ptGreater;
            length = next == u'=' ? 2 : 1;
            break;
        default: IllegalCharacter(start);
    }
    FCurChar = start + length;
    FTokenEndPos = PosOf(FCurChar - 1);
}

void TXANPasScanner::ReadIdentifier(const char16_t* start) {
    const char16_t* p = start;
    while (IsIdentChar(*p)) ++p;
    std::u16string_view text(start, static_cast<std::size_t>(p - start));
    FToken = PasKeywordToken(text);
    if (FToken == ptIdentifier) FSData = UString(text);
    FCurChar = p;
    FTokenEndPos = PosOf(p - 1);
}

void TXANPasScanner::ReadNumber(const char16_t* start) {
    if (*start == u'$')
        ReadHexNumber(start);
    else
        ReadDecimalNumber(start);
}

void TXANPasScanner::ReadHexNumber(const char16_t* start) {
    const char16_t* p = start + 1;
    while (IsPasHexDigit(*p)) ++p;
    if (!PasHexToInt32({start + 1, static_cast<std::size_t>(p - start - 1)}, FIData))
        Error(kIntegerSyntax, p - 1);
    FToken = ptCInteger;
    FCurChar = p;
    FTokenEndPos = PosOf(p - 1);
}

void TXANPasScanner::ReadDecimalNumber(const char16_t* start) {
    const char16_t* p = start;
    bool isFloat = false;
    while (IsPasDigit(*p)) {
        ++p;
        // "1..5" is a range: a point followed by a second point is not part of the number.
        if (*p == u'.' && p[1] != u'.') {
            isFloat = true;
            ++p;
        }
    }
    if (*p == u'E' || *p == u'e') {
        isFloat = true;
        ++p;
        if (*p == u'+' || *p == u'-') ++p;
        while (IsPasDigit(*p)) ++p;
    }
    std::u16string_view text(start, static_cast<std::size_t>(p - start));
    if (isFloat) {
        if (!PasTextToFloat(text, FFData)) Error(kFloatSyntax, p - 1);
        FToken = ptCFloat;
    } else {
        if (!PasDecimalToInt32(text, FIData)) Error(kIntegerSyntax, p - 1);
        FToken = ptCInteger;
    }
    FCurChar = p;
    FTokenEndPos = PosOf(p - 1);
}

void TXANPasScanner::ReadString(const char16_t* start) {
    std::u16string value;
    FCurChar = start;
    for (;;) {
        if (*FCurChar == u'\'')
            AppendQuotedPart(value);
        else if (*FCurChar == u'#')
            AppendCharCode(value);
        else
            break;
    }
    FToken = ptCString;
    FSData = UString(value);
    FTokenEndPos = PosOf(FCurChar - 1);
}

void TXANPasScanner::AppendQuotedPart(std::u16string& value) {
    const char16_t* p = FCurChar + 1;
    for (;;) {
        char16_t c = *p;
        if (c == u'\'') {
            if (p[1] != u'\'') break;
            value.push_back(u'\'');
            p += 2;
            continue;
        }
        // A 0 character inside a literal ends it like a line break does.
        if (c == kNul || c == kLf || c == kCr) Error(kUnterminatedString, p - 1);
        value.push_back(c);
        ++p;
    }
    FCurChar = p + 1;
}

void TXANPasScanner::AppendCharCode(std::u16string& value) {
    const char16_t* hash = FCurChar;
    const char16_t* p = hash + 1;
    std::int32_t code = 0;
    if (*p == u'$') {
        const char16_t* digits = ++p;
        while (IsPasHexDigit(*p)) ++p;
        if (!PasHexToInt32({digits, static_cast<std::size_t>(p - digits)}, code)) Error(kIntegerSyntax, p - 1);
    } else {
        if (!IsPasDigit(*p)) Error(kIntegerSyntax, hash);
        const char16_t* digits = p;
        while (IsPasDigit(*p)) ++p;
        if (!PasDecimalToInt32({digits, static_cast<std::size_t>(p - digits)}, code)) Error(kIntegerSyntax, p - 1);
    }
    value.push_back(static_cast<char16_t>(static_cast<std::uint32_t>(code) & 0xFFFF));
    FCurChar = p;
}

void TXANPasScanner::ReadBraceComment(const char16_t* start) {
    const char16_t* p = start + 1;
    while (*p != u'}' && *p != kNul) ++p;
    if (*p == kNul) {
        if (!AtEndOfText(p)) IllegalCharacter(p);
        return FinishComment(start, p - 1);  // an open comment runs to the end of the text
    }
    FinishComment(start, p);
}

void TXANPasScanner::ReadParenComment(const char16_t* start) {
    // The search starts behind "(*", so "(*)" does not close the comment.
    const char16_t* p = start + 2;
    while (!(p[0] == u'*' && p[1] == u')') && *p != kNul) ++p;
    if (*p == kNul) {
        if (!AtEndOfText(p)) IllegalCharacter(p);
        return FinishComment(start, p - 1);
    }
    FinishComment(start, p + 1);
}

void TXANPasScanner::ReadLineComment(const char16_t* start) {
    const char16_t* p = start + 2;
    while (*p != kNul && *p != kLf && *p != kCr) ++p;
    FinishComment(start, p - 1);
}

void TXANPasScanner::FinishComment(const char16_t* start, const char16_t* last) {
    FToken = ptComment;
    FCurChar = last + 1;
    FTokenEndPos = PosOf(last);
    if (!FSkipComments) FSData = UString(start, static_cast<Integer>(last - start + 1));
}

}  // namespace xan::pas
