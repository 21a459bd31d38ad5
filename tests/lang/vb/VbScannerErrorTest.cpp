#include <gtest/gtest.h>

#include "VbScanSupport.h"

namespace xan::vb::test {
namespace {

#define EXPECT_SCAN_ERROR(ASource, AMessage, APosition)      \
    do {                                                     \
        const CompileErrorInfo e_ = ScanError(ASource);      \
        EXPECT_EQ(e_.message, UString(AMessage)) << UString(ASource).ToUtf8(); \
        EXPECT_EQ(e_.pos, APosition) << UString(ASource).ToUtf8();    \
    } while (0)

TEST(VbScannerErrors, IllegalCharactersShowTheCharacterAndItsHexCode) {
    EXPECT_SCAN_ERROR(u"a ; b", u"Illegal character: ';' ($3B)", 3);
    EXPECT_SCAN_ERROR(u"x$", u"Illegal character: '$' ($24)", 2);
    EXPECT_SCAN_ERROR(u"!", u"Illegal character: '!' ($21)", 1);
    EXPECT_SCAN_ERROR(u"a ]", u"Illegal character: ']' ($5D)", 3);
    EXPECT_SCAN_ERROR(u"\x7F", u"Illegal character: '\x7F' ($7F)", 1);
    EXPECT_SCAN_ERROR(u"x\u00A0", u"Illegal character: '\u00A0' ($A0)", 2);
    EXPECT_SCAN_ERROR(u"\u00FF", u"Illegal character: '\u00FF' ($FF)", 1);
    // A letter outside ASCII in the Latin-1 range ends an identifier and is illegal.
    EXPECT_SCAN_ERROR(u"caf\u00E9", u"Illegal character: '\u00E9' ($E9)", 4);
    for (const char16_t* c : {u"%", u"?", u"@", u"`", u"{", u"|", u"}", u"~"}) {
        const CompileErrorInfo e = ScanError(c);
        EXPECT_EQ(e.pos, 1) << UString(c).ToUtf8();
        EXPECT_EQ(e.message.Substr(0, 19), u"Illegal character: ") << UString(c).ToUtf8();
    }
}

TEST(VbScannerErrors, LineContinuationMustEndTheLine) {
    EXPECT_SCAN_ERROR(u"_ x", u"Illegal character: 'x' ($78)", 3);
    EXPECT_SCAN_ERROR(u"a = _ ' note", u"Illegal character: ''' ($27)", 7);
    EXPECT_SCAN_ERROR(u"a = b_", u"<no error>", 0);  // part of the identifier
    EXPECT_SCAN_ERROR(u"_1", u"Illegal character: '1' ($31)", 2);
}

TEST(VbScannerErrors, UnterminatedStringAtTheLastCharacterBeforeTheLineEnd) {
    EXPECT_SCAN_ERROR(u"x = \"abc\r\n\"", u"Unterminated string", 8);
    EXPECT_SCAN_ERROR(u"x = \"abc", u"Unterminated string", 8);
    EXPECT_SCAN_ERROR(u"\"", u"Unterminated string", 1);
    EXPECT_SCAN_ERROR(u"\"a\"\"", u"Unterminated string", 4);
    EXPECT_SCAN_ERROR(u"\"a\nb\"", u"Unterminated string", 2);
}

TEST(VbScannerErrors, BracketedIdentifierErrors) {
    EXPECT_SCAN_ERROR(u"x [ab\ncd]", u"Unterminated identifier", 5);
    EXPECT_SCAN_ERROR(u"[ab", u"Unterminated identifier", 3);
    EXPECT_SCAN_ERROR(u"[", u"Unterminated identifier", 1);
    EXPECT_SCAN_ERROR(u"a = []", u"Identifiers with empty name not supported", 5);
}

TEST(VbScannerErrors, IntegerOutOfRange) {
    EXPECT_SCAN_ERROR(u"2147483648", u"Syntax error in integer constant", 10);
    EXPECT_SCAN_ERROR(u"x = 99999999999999999999 + 1", u"Syntax error in integer constant", 24);
    EXPECT_SCAN_ERROR(u"&100000000", u"Syntax error in integer constant", 10);
    EXPECT_SCAN_ERROR(u"&1000000000", u"Syntax error in integer constant", 11);
}

TEST(VbScannerErrors, MalformedFloats) {
    EXPECT_SCAN_ERROR(u"1.2.3", u"Syntax error in float constant", 5);
    EXPECT_SCAN_ERROR(u"x = 1e", u"Syntax error in float constant", 6);
    EXPECT_SCAN_ERROR(u"1e+", u"Syntax error in float constant", 3);
    EXPECT_SCAN_ERROR(u"1E999", u"Syntax error in float constant", 5);
}

TEST(VbScannerErrors, DateErrorsAtTheCharacterBeforeTheScanStopped) {
    // Invalid calendar date: the scan stopped after the closing '#'.
    EXPECT_SCAN_ERROR(u"#2016/02/30#", u"Syntax error in date constant", 12);
    EXPECT_SCAN_ERROR(u"x = #10:30#", u"Syntax error in date constant", 11);
    // A character that is no item: the scan stopped on it.
    EXPECT_SCAN_ERROR(u"#2016x12/15#", u"Syntax error in date constant", 5);
    // A line end is not a blank inside a date.
    EXPECT_SCAN_ERROR(u"#2016/12/15\r\n#", u"Syntax error in date constant", 11);
    EXPECT_SCAN_ERROR(u"#2016/12/15", u"Syntax error in date constant", 11);
    EXPECT_SCAN_ERROR(u"#", u"Syntax error in date constant", 1);
}

TEST(VbScannerErrors, EmbeddedNulIsAnIllegalCharacterNotTheEndOfText) {
    // Without this check everything after the 0 would silently vanish.
    const char16_t between[] = {u'a', u' ', 0, u' ', u'b'};
    EXPECT_SCAN_ERROR(UString(between, 5), u"Illegal character: '' ($0)", 3);
    const char16_t inString[] = {u'"', u'a', 0, u'b', u'"'};
    EXPECT_SCAN_ERROR(UString(inString, 5), u"Illegal character: '' ($0)", 3);
    const char16_t inComment[] = {u'\'', u'a', 0, u'b'};
    EXPECT_SCAN_ERROR(UString(inComment, 4), u"Illegal character: '' ($0)", 3);
    const char16_t inBrackets[] = {u'[', u'a', 0, u']'};
    EXPECT_SCAN_ERROR(UString(inBrackets, 4), u"Illegal character: '' ($0)", 3);
    const char16_t inDate[] = {u'#', u'1', 0, u'#'};
    EXPECT_SCAN_ERROR(UString(inDate, 4), u"Illegal character: '' ($0)", 3);
    const char16_t afterContinuation[] = {u'a', u'_', u' ', u'_', 0, u'b'};
    EXPECT_SCAN_ERROR(UString(afterContinuation, 6), u"Illegal character: '' ($0)", 5);
}

TEST(VbScannerErrors, ErrorIsAVbCompileErrorAndACompileBase) {
    std::unique_ptr<plat::Exception> caught = plat::CatchAll([] {
        TVBScanner s(true);
        s.Start(u"$");
    });
    ASSERT_TRUE(caught);
    EXPECT_TRUE(caught->Is<EXANVbCompiler>());
    EXPECT_TRUE(caught->Is<EXANCompileBase>());
    EXPECT_EQ(caught->ClassName(), u"EXANVbCompiler");
}

TEST(VbScannerErrors, GarbageNeverCrashesOrHangs) {
    // Every code unit 0..511 alone and inside the constructs with their own loops.
    for (int c = 0; c < 512; ++c) {
        const char16_t ch = static_cast<char16_t>(c);
        for (const std::u16string& text :
             {std::u16string(1, ch), u"\"" + std::u16string(1, ch), u"[" + std::u16string(1, ch),
              u"#1" + std::u16string(1, ch), u"_" + std::u16string(1, ch),
              u"&" + std::u16string(1, ch), u"1e" + std::u16string(1, ch)}) {
            const CompileErrorInfo e = ScanError(UString(std::u16string_view(text)));
            EXPECT_NE(e.pos, -1) << c;  // either no error or a VBScript compile error
        }
    }
}

}  // namespace
}  // namespace xan::vb::test
