#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/rtl/DirUtils.h"
#include "platform/rtl/StrUtils.h"
#include "tests/platform/rtl/RaiseCheck.h"

namespace xan::plat {
namespace {

using testing::RaisedMessage;

TEST(StrUtils, TrimRemovesBlanksUpToSpace) {
    EXPECT_EQ(Trim(u" \t\r\n ab c\x01 "), u"ab c");
    EXPECT_EQ(TrimLeft(u"  x  "), u"x  ");
    EXPECT_EQ(TrimRight(u"  x  "), u"  x");
    EXPECT_EQ(Trim(u"\u00A0x"), u"\u00A0x");  // a no-break space is not a blank
    EXPECT_EQ(Trim(u"   "), u"");
    UString kept(u"abc");
    EXPECT_TRUE(Trim(kept).SharesBufferWith(kept));
}

TEST(StrUtils, PosIsOneBased) {
    EXPECT_EQ(Pos(u"ll", u"Hello"), 3);
    EXPECT_EQ(Pos(u"x", u"Hello"), 0);
    EXPECT_EQ(Pos(u"", u"Hello"), 0);
    EXPECT_EQ(Pos(u"H", u"Hello"), 1);
}

TEST(StrUtils, CopyClampsIndexAndCount) {
    EXPECT_EQ(Copy(u"Hello", 2, 3), u"ell");
    EXPECT_EQ(Copy(u"Hello", 0, 2), u"He");
    EXPECT_EQ(Copy(u"Hello", -5, 2), u"He");
    EXPECT_EQ(Copy(u"Hello", 4, 100), u"lo");
    EXPECT_EQ(Copy(u"Hello", 6, 1), u"");
    EXPECT_EQ(Copy(u"Hello", 2, -1), u"");
    EXPECT_EQ(Copy(u"Hello", INT64_MAX, INT64_MAX), u"");
}

TEST(StrUtils, InsertAndDeleteFollowTheIndexRules) {
    UString s(u"Hello");
    Insert(u"XX", s, 3);
    EXPECT_EQ(s, u"HeXXllo");
    Insert(u"<", s, 0);
    EXPECT_EQ(s, u"<HeXXllo");
    Insert(u">", s, 100);
    EXPECT_EQ(s, u"<HeXXllo>");
    Delete(s, 4, 2);
    EXPECT_EQ(s, u"<Hello>");
    Delete(s, 0, 3);
    Delete(s, 8, 1);
    Delete(s, 2, 0);
    EXPECT_EQ(s, u"<Hello>");
    Delete(s, 6, 100);
    EXPECT_EQ(s, u"<Hell");
}

TEST(StrUtils, StringOfChar) {
    EXPECT_EQ(StringOfChar(u'A', 3), u"AAA");
    EXPECT_EQ(StringOfChar(u'A', 0), u"");
    EXPECT_EQ(StringOfChar(u'A', -2), u"");
}

TEST(DirUtils, MakeEnterAndRemoveDirectories) {
    UString start = GetCurrentDir();
    char templ[] = "/tmp/rtl-dir-XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    UString base = UString::FromUtf8(templ);
    UString sub = base + std::u16string_view(u"/sub");
    MkDir(sub);
    ChDir(sub);
    EXPECT_EQ(GetCurrentDir(), sub);
    ChDir(start);
    UString msg = RaisedMessage<EInOutError>([&] { MkDir(sub); });
    EXPECT_NE(msg.view().find(u"exists"), std::u16string_view::npos);
    RmDir(sub);
    RaisedMessage<EInOutError>([&] { ChDir(sub); });
    try {
        RmDir(sub);
        ADD_FAILURE() << "removed twice";
    } catch (const RaisedException& r) {
        std::unique_ptr<Exception> e(AcquireExceptionObject(r));
        EXPECT_EQ(static_cast<EInOutError*>(e.get())->ErrorCode, ENOENT);
    }
    RmDir(base);
}

}  // namespace
}  // namespace xan::plat
