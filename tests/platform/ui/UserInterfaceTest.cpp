#include <gtest/gtest.h>

#include <sstream>

#include "platform/ui/ConsoleUserInterface.h"
#include "platform/ui/UserInterface.h"

namespace xan::plat {
namespace {

struct Console {
    std::istringstream in;
    std::ostringstream out, err;
    ConsoleUserInterface ui{in, out, err};
    explicit Console(const char* input = "") : in(input) {}
};

TEST(ConsoleUserInterface, MessagesGoToStandardOutputWithANewline) {
    Console c;
    c.ui.ShowMessage(u"Hello, wörld");
    EXPECT_EQ(c.ui.MessageDlg(u"Second", DlgType::Warning, DlgButtons::OkCancel, nullptr), DlgResult::Ok);
    UString caption(u"Title");
    EXPECT_EQ(c.ui.MessageDlg(u"Third", DlgType::Error, DlgButtons::Ok, &caption), DlgResult::Ok);
    EXPECT_EQ(c.out.str(), "Hello, w\xC3\xB6rld\nSecond\nThird\n");
    EXPECT_EQ(c.err.str(), "");
}

TEST(ConsoleUserInterface, AnswersWithoutAPersonNeverRetry) {
    Console c;
    EXPECT_EQ(c.ui.MessageDlg(u"q", DlgType::Confirmation, DlgButtons::YesNo, nullptr), DlgResult::Yes);
    EXPECT_EQ(c.ui.MessageDlg(u"q", DlgType::Confirmation, DlgButtons::YesNoCancel, nullptr), DlgResult::Yes);
    EXPECT_EQ(c.ui.MessageDlg(u"q", DlgType::Error, DlgButtons::AbortRetryIgnore, nullptr), DlgResult::Abort);
    EXPECT_EQ(c.ui.MessageDlg(u"q", DlgType::Error, DlgButtons::RetryCancel, nullptr), DlgResult::Cancel);
    EXPECT_EQ(c.ui.ConfirmYesCancel(u"Script is running. Terminate it first?"), DlgResult::Yes);
    EXPECT_EQ(c.out.str(), "q\nq\nq\nq\nScript is running. Terminate it first?\n");
}

TEST(ConsoleUserInterface, InputReadsOneLineAndCancelsAtEndOfInput) {
    Console c("Alice\r\n\nlast line without break");
    UString value(u"initial");
    ASSERT_TRUE(c.ui.InputQuery(u"Caption", u"Name?", value));
    EXPECT_EQ(value, u"Alice");
    ASSERT_TRUE(c.ui.InputQuery(u"Caption", u"Name?", value));
    EXPECT_EQ(value, u"");  // an empty line is a confirmed empty answer
    ASSERT_TRUE(c.ui.InputQuery(u"Caption", u"Name?", value));
    EXPECT_EQ(value, u"last line without break");
    value = u"kept";
    EXPECT_FALSE(c.ui.InputQuery(u"Caption", u"Name?", value));
    EXPECT_EQ(value, u"kept");
    EXPECT_EQ(c.out.str(), "");  // prompts only when asked for
}

TEST(ConsoleUserInterface, PromptsWhenAskedAndDecodesUtf8) {
    std::istringstream in("Zoë\n");
    std::ostringstream out, err;
    ConsoleUserInterface ui(in, out, err, true);
    UString value;
    ASSERT_TRUE(ui.InputQuery(u"Caption", u"Name?", value));
    EXPECT_EQ(value, u"Zoë");
    EXPECT_EQ(out.str(), "Name? ");
}

TEST(ConsoleUserInterface, BeepAndErrorsGoToStandardError) {
    Console c;
    c.ui.Beep();
    Exception e(u"Something failed");
    c.ui.ShowException(e);
    c.ui.ProcessOneMessage(true);  // no queue: returns at once
    EXPECT_EQ(c.err.str(), "\aSomething failed\n");
    EXPECT_EQ(c.out.str(), "");
    EXPECT_EQ(c.ui.ApplicationHandle(), 0u);
}

TEST(UI, SetUIInstallsAndNullRestoresTheConsole) {
    IUserInterface& console = UI();
    EXPECT_NE(dynamic_cast<ConsoleUserInterface*>(&console), nullptr);
    Console c;
    SetUI(&c.ui);
    UI().ShowMessage(u"through the service");
    EXPECT_EQ(c.out.str(), "through the service\n");
    SetUI(nullptr);
    EXPECT_EQ(&UI(), &console);
}

TEST(MsgBoxStyle, DecodesButtonsAndType) {
    MsgBoxStyle s = DecodeMsgBoxStyle(0);
    EXPECT_EQ(s.buttons, DlgButtons::Ok);
    EXPECT_EQ(s.type, DlgType::Information);
    s = DecodeMsgBoxStyle(4 + 32);  // Yes/No, confirmation
    EXPECT_EQ(s.buttons, DlgButtons::YesNo);
    EXPECT_EQ(s.type, DlgType::Confirmation);
    s = DecodeMsgBoxStyle(22);  // 22 and 7 = 6 counts as OK; 22 shr 4 = 1 is the error type
    EXPECT_EQ(s.buttons, DlgButtons::Ok);
    EXPECT_EQ(s.type, DlgType::Error);
    s = DecodeMsgBoxStyle(5 + 48);
    EXPECT_EQ(s.buttons, DlgButtons::RetryCancel);
    EXPECT_EQ(s.type, DlgType::Warning);
    s = DecodeMsgBoxStyle(7 + 64);  // type 4 counts as information
    EXPECT_EQ(s.buttons, DlgButtons::Ok);
    EXPECT_EQ(s.type, DlgType::Information);
    s = DecodeMsgBoxStyle(-1);  // every bit set: 7 -> OK, 7 -> information
    EXPECT_EQ(s.buttons, DlgButtons::Ok);
    EXPECT_EQ(s.type, DlgType::Information);
    EXPECT_EQ(DecodeMsgBoxStyle(2).buttons, DlgButtons::AbortRetryIgnore);
    EXPECT_EQ(DecodeMsgBoxStyle(3).buttons, DlgButtons::YesNoCancel);
}

TEST(MsgBoxStyle, StandardCaptionsAndResultCodes) {
    EXPECT_EQ(StandardCaption(DlgType::Information), u"Information");
    EXPECT_EQ(StandardCaption(DlgType::Error), u"Error");
    EXPECT_EQ(StandardCaption(DlgType::Confirmation), u"Confirm");
    EXPECT_EQ(StandardCaption(DlgType::Warning), u"Warning");
    EXPECT_EQ(static_cast<Integer>(DlgResult::Ok), 1);
    EXPECT_EQ(static_cast<Integer>(DlgResult::Ignore), 5);
    EXPECT_EQ(static_cast<Integer>(DlgResult::No), 7);
}

}  // namespace
}  // namespace xan::plat
