#pragma once
// The recursive-descent parser of the VBScript dialect.
//
// It pulls tokens from the scanner, builds the syntax tree, declares names as it meets them and
// hands every top-level statement, procedure and global variable to the callbacks the moment it
// has been parsed. Recursion is bounded by a nesting limit so that absurdly nested text
// (thousands of parentheses) is a compile error, never a native stack overflow.
#include <array>
#include <memory>

#include "lang/vb/VbExpressions.h"
#include "lang/vb/VbProcDecl.h"
#include "lang/vb/VbScanner.h"
#include "lang/vb/VbStatements.h"
#include "lang/vb/VbSyntaxEnums.h"
#include "lang/vb/VbTokenSet.h"
#include "vm/compiler/NestingGuard.h"
#include "vm/compiler/ParserInterfaces.h"

namespace xan::vb {

class TXANVbParser : public IXANParserBase {
public:
    explicit TXANVbParser(IXANParserCallbacks* ACbs);

    void Parse(const plat::UString& ASource) override;
    std::unique_ptr<IXANEmitable> ParseStmt(const plat::UString& ASource) override;
    std::unique_ptr<IXANEmitable> ParseExpr(const plat::UString& ASource) override;

private:
    using TTokenSet = TXANVbTokenSet;

    // Each parenthesis, unary operator, argument list and block counts one nesting level.
    friend TXANNestingGuard<TXANVbParser>;
    using TNestingGuard = TXANNestingGuard<TXANVbParser>;
    int& NestingDepth() noexcept { return FNestingDepth; }
    [[noreturn]] void NestingTooDeep() const;

    // Facts about the last step of a designator that decide how a statement starting with it
    // reads (assignment, call with or without parentheses).
    struct TDesignatorTail {
        bool IsArgList = false;
        std::size_t ArgCount = 0;
    };

    // Token handling.
    TXANVbToken Token() const noexcept { return FScanner.Token(); }
    bool IsSeparator() const noexcept;
    void Skip();
    void Expect(TTokenSet ATokens) const;
    void ExpectSkip(TTokenSet ATokens);
    void SkipSeparators();
    plat::Integer NameIdOf(const plat::UString& AName) const;
    [[noreturn]] void Error(plat::UString AMsg, plat::Integer APos) const;
    [[noreturn]] void InvalidToken() const;
    void StartScanner(const plat::UString& ASource);
    void ResetState() noexcept;

    // Program and procedures.
    void ParseGlobalStatements();
    void ParseProcDecl();
    void ParseParams(TXANVbProcDecl& AProc);
    void ParseProcBody(TXANVbProcDecl& AProc);
    void ReportGlobalObject(std::unique_ptr<TXANGlobalObject> AObj, const plat::UString& AStrName);

    // Statements.
    void ParseStmtList(TXANVbStmtList& AList);
    std::unique_ptr<TXANVbStatement> ParseStatement();
    std::unique_ptr<TXANVbStatement> ParseAssignmentOrCall();
    std::unique_ptr<TXANVbStatement> ParseSet();
    std::unique_ptr<TXANVbStatement> ParseCall();
    std::unique_ptr<TXANVbStatement> ParseErase();
    std::unique_ptr<TXANVbStatement> ParseExit();
    std::unique_ptr<TXANVbStatement> ParseDim();
    std::unique_ptr<TXANVbDimVarDecl> ParseDimVar();
    void DeclareVariable(TXANVbDimVarDecl& ADecl, const plat::UString& AStrName);
    std::unique_ptr<TXANVbStatement> ParseRedim();
    std::unique_ptr<TXANVbRedimVarDecl> ParseRedimVar();
    std::uint16_t ParseAsType();
    std::unique_ptr<TXANVbStatement> ParseFor();
    std::unique_ptr<TXANVbStatement> ParseIf();
    void ParseBlockIf(TXANVbIfStmt& AStmt);
    void ParseSingleLineIf(TXANVbIfStmt& AStmt);
    std::unique_ptr<TXANVbStatement> ParseDo();
    std::unique_ptr<TXANVbStatement> ParseSelect();
    std::unique_ptr<TXANVbStatement> ParseThrow();
    std::unique_ptr<TXANVbStatement> ParseReturn();
    std::unique_ptr<TXANVbStatement> ParseTry();
    void ParseCatches(TXANVbTryStmt& AStmt);
    bool IsNamedCatchAhead();
    void ParseLoopBody(TXANVbExitType AExitType, TXANVbStmtList& AList);

    // Expressions.
    std::unique_ptr<TXANVbExpression> ParseExpression();
    std::unique_ptr<TXANVbExpression> ParseBinaryLevel(int ALevel);
    std::unique_ptr<TXANVbExpression> ParseTypeOf();
    std::unique_ptr<TXANVbExpression> ParseFactor();
    std::unique_ptr<TXANVbExpression> ParseLiteral();
    std::unique_ptr<TXANVbDesignatorExpr> ParseDesignator(TDesignatorTail* ATail = nullptr);
    void ParseDesignatorSteps(TXANVbDesignatorExpr& ADesignator, TDesignatorTail* ATail);
    std::unique_ptr<TXANVbExpression> ParseNew();
    std::unique_ptr<TXANVbDesignatorItem> ParseNamedItem();
    void ParseArgList(TXANVbExpressionList& AArgs);
    void ParseExpressionList(TXANVbExpressionList& AList);
    // How many enclosing constructs an Exit of AType may leave.
    int& ExitPoints(TXANVbExitType AType) { return FExitPntCounts[static_cast<std::size_t>(AType)]; }

    IXANParserCallbacks* FCbs;  // not owned
    TVBScanner FScanner;
    plat::Integer FLastSkippedPos = 0;
    TXANVbProcDecl* FCurrentProc = nullptr;
    std::array<int, XANVbExitTypeCount> FExitPntCounts{};
    int FOnlyColonBRCount = 0;
    TXANVbParserTryState FTryState = TXANVbParserTryState::ptsNowhere;
    int FNestingDepth = 0;
};

}  // namespace xan::vb
