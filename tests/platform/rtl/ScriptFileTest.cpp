// Script files in the encodings editors save them in.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/rtl/ScriptFile.h"

namespace xan::plat {
namespace {

TEST(ScriptFile, EveryEncodingGivesTheSameText) {
    const std::u16string want = u"x := '\u00E9\u20AC';\r\n";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"UTF-8", "x := '\xC3\xA9\xE2\x82\xAC';\r\n"},
        {"UTF-8 with BOM", "\xEF\xBB\xBFx := '\xC3\xA9\xE2\x82\xAC';\r\n"},
        {"UTF-16 LE", std::string("\xFF\xFEx\0 \0:\0=\0 \0'\0\xE9\0\xAC\x20'\0;\0\r\0\n\0", 26)},
        {"UTF-16 BE", std::string("\xFE\xFF\0x\0 \0:\0=\0 \0'\0\xE9\x20\xAC\0'\0;\0\r\0\n", 26)},
        {"Windows-1252", "x := '\xE9\x80';\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeScriptText(c.bytes).view(), want) << c.name;
}

TEST(ScriptFile, Utf8ValidityFollowsTheStrictForm) {
    const struct {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"plain", true},
        {"\xF0\x9F\x98\x80", true},   // U+1F600
        {"\xC3", false},              // truncated
        {"\xC0\xAF", false},          // overlong '/'
        {"\xE0\x80\xAF", false},      // overlong
        {"\xED\xA0\x80", false},      // a surrogate
        {"\xF4\x90\x80\x80", false},  // past U+10FFFF
        {"\xE9t\xE9", false},         // Windows-1252 text
        {"a\x80", false},             // a lone continuation byte
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

TEST(ScriptFile, AnOddUtf16TailShowsAsAReplacement) {
    EXPECT_EQ(DecodeScriptText(std::string("\xFF\xFEx\0y", 5)).view(), u"x\uFFFD");
}

TEST(ScriptFile, LoadingReadsAndDecodesOrSaysWhy) {
    const std::string path = testing::TempDir() + "velmora_script_file_test.vbs";
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBFMsgBox \"\xC3\xA9\"";
    UString text;
    std::string error;
    ASSERT_TRUE(LoadScriptFile(path, text, error)) << error;
    EXPECT_EQ(text.view(), u"MsgBox \"\u00E9\"");
    std::remove(path.c_str());
    EXPECT_FALSE(LoadScriptFile(path, text, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace xan::plat
