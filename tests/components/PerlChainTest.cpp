// Two Perl scripts, each in an interpreter of its own, one calling the other through its code
// object: each call switches to the callee's interpreter and back, and the callee's error comes
// back to the outer caller with the callee's position, once.
#include <gtest/gtest.h>

#include "ControlHost.h"
#include "components/ActiveXRunner.h"

namespace xan::test {
namespace {

const std::string KInner = R"($calls = 0;
sub Twice { $calls++; return 2 * $_[0] }
sub Fails {
  my $zero = 0;
  return 1 / $zero; # inner fails
}
)";

const std::string KOuter = R"($calls = 0;
sub Relay { $calls++; return $other->Twice($_[0]) + 1 }
sub RelayFails { return $other->Fails() }
)";

std::size_t Count(const std::string& AText, const std::string& APart) {
    std::size_t n = 0;
    for (std::size_t at = AText.find(APart); at != std::string::npos; at = AText.find(APart, at + 1)) ++n;
    return n;
}

TEST(PerlCallsPerl, EachScriptKeepsItsOwnInterpreter) {
    XANEnsureScriptEngines();
    auto inner = NewControl(slPerl, KInner);
    auto outer = NewControl(slPerl, KOuter);
    inner->Open();
    outer->AddObject(u"other", inner->Script(), false);
    outer->Open();
    std::vector<Variant> args{Variant(20)};
    EXPECT_EQ(plat::VarToInt32(outer->RunProc(u"Relay", args)), 41);
    EXPECT_EQ(plat::VarToInt32(inner->ReadVar(u"calls")), 1);
    EXPECT_EQ(plat::VarToInt32(outer->ReadVar(u"calls")), 1);
    const TCaught c = Catch([&] { outer->RunProc(u"RelayFails"); });
    EXPECT_NE(c.Message.find("Illegal division by zero"), std::string::npos) << c.Message;
    char marker[64];
    std::snprintf(marker, sizeof marker, "Source: $%X [line: %d, pos: ", inner->Identity(), LineOf(KInner, "inner fails"));
    EXPECT_NE(c.Message.find(marker), std::string::npos) << c.Message;
    EXPECT_EQ(Count(c.Message, "Source: "), 1u) << c.Message;
    outer->Close(true);
    inner->Close(true);
}

}  // namespace
}  // namespace xan::test
