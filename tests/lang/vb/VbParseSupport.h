#pragma once
// Helpers shared by the parser tests: a recording receiver of the parser callbacks and a compact
// text form of syntax trees, so that a test states the expected tree in one line.
#include <memory>
#include <string>
#include <vector>

#include "VbScanSupport.h"
#include "foundation/NameTable.h"
#include "lang/vb/VbParser.h"

namespace xan::vb::test {

// Text forms. Expressions: literals as written ("s" for strings), (op left right), (not x),
// (neg x), (pos x), designators a.b(1)(2) where name{args} is a call without parentheses and
// New a.B!(1) marks the construction call. Statements: see the implementation.
std::string DumpExpr(const TXANVbExpression& AExpr);
std::string DumpStmt(const TXANVbStatement& AStmt);
std::string DumpStmtList(const TXANVbStmtList& AList);
std::string DumpProc(const TXANVbProcDecl& AProc);

// Accepts every statement and object, and reports a name declared twice as a duplicate, the
// way the machine's global table does.
class RecordingCallbacks final : public IXANParserCallbacks {
public:
    Integer GetNameId(const UString& AName) override { return GlobalNameTable().GetNameIndex(AName, true); }
    void GlobalStmtParsed(std::unique_ptr<IXANEmitable> AStmt) override {
        auto* stmt = dynamic_cast<TXANVbStatement*>(AStmt.get());
        Items.push_back(stmt ? DumpStmt(*stmt) : std::string("<not a statement>"));
        Stmts.push_back(std::move(AStmt));
    }
    void GlobalObjParsed(std::unique_ptr<TXANGlobalObject>& AObj, bool& ADuplicateName) override {
        for (const auto& o : Objs) {
            if (o->FName == AObj->FName) {
                ADuplicateName = true;
                ++Rejected;
                return;
            }
        }
        auto* proc = dynamic_cast<TXANVbProcDecl*>(AObj.get());
        Items.push_back(proc ? DumpProc(*proc) : "var " + AObj->FStrName.ToUtf8());
        Objs.push_back(std::move(AObj));
    }
    void UsedUnitParsed(const UString&, bool&) override { ++UsedUnits; }

    std::vector<std::unique_ptr<IXANEmitable>> Stmts;
    std::vector<std::unique_ptr<TXANGlobalObject>> Objs;
    std::vector<std::string> Items;  // statements, procedures and variables in arrival order
    int Rejected = 0;
    int UsedUnits = 0;
};


// Parses a whole script; the callbacks hold what it delivered.
std::unique_ptr<RecordingCallbacks> ParseScript(const UString& ASource);
// The items a whole script delivered (statements, procedures, "var NAME"), joined by " | ".
std::string DumpScript(const UString& ASource);

// The compile error of parsing a whole script, a statement or an expression.
CompileErrorInfo ParseScriptError(const UString& ASource);
CompileErrorInfo ParseStmtError(const UString& ASource);
CompileErrorInfo ParseExprError(const UString& ASource);

std::string DumpParsedExpr(const UString& ASource);  // through ParseExpr
std::string DumpParsedStmt(const UString& ASource);  // through ParseStmt

#define EXPECT_VB_ERROR(AInfo, AMessage, APosition)                 \
    do {                                                            \
        const ::xan::vb::test::CompileErrorInfo e_ = (AInfo);         \
        EXPECT_EQ(e_.message, ::xan::plat::UString(AMessage));      \
        EXPECT_EQ(e_.pos, APosition);                               \
    } while (0)

}  // namespace xan::vb::test
