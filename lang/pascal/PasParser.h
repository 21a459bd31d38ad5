#pragma once
// The Pascal-dialect parser: reads a script with the scanner, builds syntax trees and hands
// every result to the parser callbacks as soon as it is complete. It also parses a single
// statement or expression for evaluation on demand. The first error ends parsing.
#include <cstdint>
#include <memory>

#include "lang/pascal/PasDeclarations.h"
#include "lang/pascal/PasScanner.h"
#include "vm/compiler/NestingGuard.h"
#include "vm/compiler/ParserInterfaces.h"

namespace xan::pas {

enum class TXANPasParserTryState : std::uint8_t { ptsNowhere, ptsInTry, ptsInExcept, ptsInFinally };

class TXANPasParser : public IXANParserBase {
public:
    // A parameter's position is stored in 16 bits.
    static constexpr int MaxParamCount = 65535;

    explicit TXANPasParser(IXANParserCallbacks* ACbs);

    void Parse(const plat::UString& ASource) override;
    std::unique_ptr<IXANEmitable> ParseStmt(const plat::UString& ASource) override;
    std::unique_ptr<IXANEmitable> ParseExpr(const plat::UString& ASource) override;

private:
    using TokenSet = std::uint64_t;
    friend TXANNestingGuard<TXANPasParser>;
    using TNestingGuard = TXANNestingGuard<TXANPasParser>;
    int& NestingDepth() noexcept { return FDepth; }
    [[noreturn]] void NestingTooDeep() const;
    class TryStateGuard;

    // Token handling.
    TXANPasToken Tok() const noexcept { return FScanner.Token(); }
    void Start(const plat::UString& ASource);
    void Skip();
    void Expect(TokenSet ATokens) const;
    void ExpectSkip(TXANPasToken AToken);
    [[noreturn]] void InvalidToken() const;
    [[noreturn]] void Error(const plat::UString& AMsg, Integer APos) const;
    [[noreturn]] void DuplicateName(const plat::UString& AName) const;
    // The current identifier's text and id; skips it.
    plat::UString TakeIdentifier(Integer& AName);

    // Declarations.
    void ParseScript();
    void ParseUses();
    void ParseGlobalVarSection();
    void ParseGlobalVarList();
    void ParseGlobalConstSection();
    void ParseGlobalConstDecl();
    void AcceptGlobal(std::unique_ptr<TXANGlobalObject> AObj);
    void ParseProcedure();
    void ParseParams(TXANProcedureDecl& AProc);
    void ParseLocalVarSection(TXANProcedureDecl& AProc);
    void ParseLocalConstSection(TXANProcedureDecl& AProc);
    void AddLocal(TXANProcedureDecl& AProc, std::unique_ptr<TXANProcLocal> ALocal);
    void ParseMainBlock();

    // Statements.
    void ParseStmtList(TXANStmtList& AList);
    TXANStatementPtr ParseStatement();
    TXANStatementPtr ParseDesignatorStmt();
    TXANStatementPtr ParseCompound();
    TXANStatementPtr ParseIf();
    TXANStatementPtr ParseCase();
    std::unique_ptr<TXANCaseSelector> ParseCaseSelector();
    TXANStatementPtr ParseRepeat();
    TXANStatementPtr ParseWhile();
    TXANStatementPtr ParseFor();
    TXANStatementPtr ParseTry();
    void ParseExceptPart(TXANTryStmt& ATry);
    std::unique_ptr<TXANExceptionBlock> ParseHandlers();
    std::unique_ptr<TXANExceptionSubBlock> ParseHandler();
    TXANStatementPtr ParseRaise();

    // Expressions.
    TXANExpressionPtr ParseExpression();
    TXANExpressionPtr ParseSimpleExpression();
    TXANExpressionPtr ParseTerm();
    TXANExpressionPtr ParseFactor();
    TXANExpressionPtr ParseLiteral();
    TXANExpressionPtr ParseUnary();
    std::unique_ptr<TXANDesignatorExpr> ParseDesignator();
    void ParseBracketGroup(TXANDesignatorExpr& ADesignator);
    TXANExpressionPtr ParseSet();
    TXANExpressionPtr ParseArray();
    std::uint16_t ParseElemType();
    TXANExpressionPtr ParseEventMake();
    void ParseExpressionList(TXANExpressionList& AList);

    IXANParserCallbacks* FCbs;
    TXANPasScanner FScanner{true};
    TXANPasParserTryState FTryState = TXANPasParserTryState::ptsNowhere;
    Integer FLastSkippedPos = 0;
    int FDepth = 0;
};

}  // namespace xan::pas
