#include "lang/vb/VbParser.h"

#include "lang/vb/VbCompilerError.h"
#include "vm/compiler/TypeNames.h"

namespace xan::vb {

using enum TXANVbExitType;
using enum TXANVbLoopType;
using enum TXANVbConditionCheck;
using enum TXANVbProcKind;
using enum TXANVbParserTryState;

using plat::UString;

namespace {

constexpr const char16_t* SInvalidExit = u"Invalid \"exit\" instruction";
constexpr const char16_t* SReraiseOutsideHandler = u"Re-raising an exception only allowed in exception handler";
constexpr const char16_t* STypeIdentifierExpected = u"Type identifier expected";
constexpr const char16_t* SInvalidParentheses = u"Invalid use of parentheses in procedure call.";

// Restores a parser field when the construct that changed it ends, normally or by an error.
template <class T>
class TRestoreOnExit {
public:
    explicit TRestoreOnExit(T& AField) : FField(AField), FSaved(AField) {}
    TRestoreOnExit(T& AField, T ANewValue) : FField(AField), FSaved(AField) { FField = ANewValue; }
    ~TRestoreOnExit() { FField = FSaved; }
    TRestoreOnExit(const TRestoreOnExit&) = delete;
    TRestoreOnExit& operator=(const TRestoreOnExit&) = delete;

private:
    T& FField;
    T FSaved;
};

UString AlreadyExistsMessage(const UString& AStrName) {
    return UString(u"Object or value named '") + AStrName + UString(u"' already exists.");
}

}  // namespace

void TXANVbParser::NestingTooDeep() const { Error(SXANNestingTooDeep, FScanner.TokenEndPos()); }

TXANVbParser::TXANVbParser(IXANParserCallbacks* ACbs) : FCbs(ACbs), FScanner(true) {}

// ---- Entry points ----------------------------------------------------------------------------

void TXANVbParser::Parse(const UString& ASource) {
    StartScanner(ASource);
    if (IsSeparator()) SkipSeparators();
    ParseGlobalStatements();
    ExpectSkip({ptEOf});
}

std::unique_ptr<IXANEmitable> TXANVbParser::ParseStmt(const UString& ASource) {
    StartScanner(ASource);
    std::unique_ptr<TXANVbStatement> stmt = ParseStatement();
    ExpectSkip({ptEOl});
    Expect({ptEOf});
    return stmt;
}

std::unique_ptr<IXANEmitable> TXANVbParser::ParseExpr(const UString& ASource) {
    StartScanner(ASource);
    std::unique_ptr<TXANVbExpression> expr = ParseExpression();
    ExpectSkip({ptEOl});
    Expect({ptEOf});
    return expr;
}

void TXANVbParser::StartScanner(const UString& ASource) {
    ResetState();
    FScanner.Start(ASource);
}

void TXANVbParser::ResetState() noexcept {
    FLastSkippedPos = 0;
    FCurrentProc = nullptr;
    FExitPntCounts.fill(0);
    FOnlyColonBRCount = 0;
    FTryState = ptsNowhere;
    FNestingDepth = 0;
}

// ---- Token handling --------------------------------------------------------------------------

bool TXANVbParser::IsSeparator() const noexcept {
    return Token() == ptColon || (Token() == ptEOl && FOnlyColonBRCount == 0);
}

void TXANVbParser::Skip() {
    FLastSkippedPos = FScanner.TokenEndPos();
    FScanner.SkipToken();
}

void TXANVbParser::Expect(TTokenSet ATokens) const {
    if (!ATokens.Contains(Token())) InvalidToken();
}

void TXANVbParser::ExpectSkip(TTokenSet ATokens) {
    Expect(ATokens);
    Skip();
}

// At least one separator, then any number: blank lines, comment lines and runs of colons are free.
void TXANVbParser::SkipSeparators() {
    if (!IsSeparator()) InvalidToken();
    do Skip();
    while (IsSeparator());
}

plat::Integer TXANVbParser::NameIdOf(const UString& AName) const { return FCbs->GetNameId(AName); }

void TXANVbParser::Error(UString AMsg, plat::Integer APos) const { RaiseVbCompileError(std::move(AMsg), APos); }

void TXANVbParser::InvalidToken() const {
    Error(UString(u"Invalid token: ") + TokenToStr(Token()) + UString(u"."), FScanner.TokenEndPos());
}

// ---- Program and procedures ------------------------------------------------------------------

void TXANVbParser::ParseGlobalStatements() {
    for (;;) {
        if (VbStatementStart.Contains(Token())) {
            // A run of statements is handed over once it has been parsed completely.
            TXANVbStmtList run;
            ParseStmtList(run);
            for (std::unique_ptr<TXANVbStatement>& stmt : run.FItems) FCbs->GlobalStmtParsed(std::move(stmt));
        } else if (Token() == ptFunction || Token() == ptSub) {
            ParseProcDecl();
        } else {
            return;
        }
    }
}

void TXANVbParser::ParseProcDecl() {
    const TXANVbProcKind kind = Token() == ptFunction ? pkFunction : pkSub;
    Skip();
    Expect({ptIdentifier});
    const UString name = FScanner.SData();
    const plat::Integer nameId = NameIdOf(name);
    auto proc = std::make_unique<TXANVbProcDecl>(nameId, name, kind, FScanner.TokenStartPos());
    Skip();
    if (kind == pkFunction) {
        std::unique_ptr<TXANVbProcLocal> result = std::make_unique<TXANVbLocalResultDecl>(nameId, name);
        proc->AddLocal(result);  // the first local: it cannot collide
    }
    if (Token() == ptOpenRound) ParseParams(*proc);
    SkipSeparators();
    ParseProcBody(*proc);
    ExpectSkip({ptEnd});
    Expect({kind == pkFunction ? ptFunction : ptSub});
    proc->FEndSourcePos = FScanner.TokenEndPos();
    Skip();
    SkipSeparators();
    ReportGlobalObject(std::move(proc), name);
}

void TXANVbParser::ParseParams(TXANVbProcDecl& AProc) {
    Skip();  // (
    if (Token() == ptCloseRound) return Skip();
    for (;;) {
        Expect({ptByRef, ptByVal, ptIdentifier});
        TXANParamKind kind = pkByRef;
        if (Token() != ptIdentifier) {
            if (Token() == ptByVal) kind = pkSimple;
            Skip();
            Expect({ptIdentifier});
        }
        const UString name = FScanner.SData();
        std::unique_ptr<TXANVbProcLocal> param = std::make_unique<TXANVbParamDecl>(NameIdOf(name), name, kind);
        Skip();
        if (!AProc.AddLocal(param)) Error(AlreadyExistsMessage(name), FLastSkippedPos);
        Expect({ptComma, ptCloseRound});
        const bool last = Token() == ptCloseRound;
        Skip();
        if (last) return;
    }
}

void TXANVbParser::ParseProcBody(TXANVbProcDecl& AProc) {
    TRestoreOnExit<TXANVbProcDecl*> currentProc(FCurrentProc, &AProc);
    const TXANVbExitType exitType = AProc.FProcKind == pkFunction ? etFunction : etSub;
    TRestoreOnExit<int> exitPoints(ExitPoints(exitType), ExitPoints(exitType) + 1);
    Expect(VbStatementStart.With({ptEnd}));
    ParseStmtList(AProc.FStmtList);
}

void TXANVbParser::ReportGlobalObject(std::unique_ptr<TXANGlobalObject> AObj, const UString& AStrName) {
    bool duplicate = false;
    FCbs->GlobalObjParsed(AObj, duplicate);
    // A rejected object is still ours and goes with AObj.
    if (duplicate) Error(AlreadyExistsMessage(AStrName), FLastSkippedPos);
}

// ---- Statements ------------------------------------------------------------------------------

void TXANVbParser::ParseStmtList(TXANVbStmtList& AList) {
    while (VbStatementStart.Contains(Token())) {
        AList.Add(ParseStatement());
        // Inside a single-line If the line end closes every list up to that If.
        if (FOnlyColonBRCount > 0 && Token() == ptEOl) return;
        SkipSeparators();
    }
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseStatement() {
    TNestingGuard nesting(*this);
    Expect(VbStatementStart);
    switch (Token()) {
        case ptSet: return ParseSet();
        case ptErase: return ParseErase();
        case ptCall: return ParseCall();
        case ptExit: return ParseExit();
        case ptDim: return ParseDim();
        case ptRedim: return ParseRedim();
        case ptFor: return ParseFor();
        case ptIf: return ParseIf();
        case ptDo: return ParseDo();
        case prSelect: return ParseSelect();
        case ptThrow: return ParseThrow();
        case ptReturn: return ParseReturn();
        case ptTry: return ParseTry();
        default: return ParseAssignmentOrCall();
    }
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseAssignmentOrCall() {
    const plat::Integer pos = FScanner.TokenStartPos();
    TDesignatorTail tail;
    std::unique_ptr<TXANVbDesignatorExpr> designator = ParseDesignator(&tail);
    if (Token() == ptEqual) {
        const plat::Integer assignPos = FScanner.TokenStartPos();
        Skip();
        return std::make_unique<TXANVbAssignmentStmt>(assignPos, std::move(designator), ParseExpression());
    }
    const bool argsFollow = VbExpressionStart.Contains(Token()) || Token() == ptComma;
    if (argsFollow && (!tail.IsArgList || tail.ArgCount == 1)) {
        // Arguments without parentheses: Foo 1, 2 and Foo (1), 2 alike.
        TXANVbExpressionList& args = designator->LastItem().FArgs;
        if (!tail.IsArgList) args.push_back(ParseExpression());
        while (Token() == ptComma) {
            Skip();
            args.push_back(ParseExpression());
        }
    } else if (tail.IsArgList && tail.ArgCount >= 2) {
        Error(SInvalidParentheses, FScanner.TokenEndPos());
    }
    return std::make_unique<TXANVbExpressionStmt>(pos, std::move(designator));
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseSet() {
    Skip();
    Expect({ptIdentifier});
    std::unique_ptr<TXANVbDesignatorExpr> target = ParseDesignator();
    Expect({ptEqual});
    const plat::Integer assignPos = FScanner.TokenStartPos();
    Skip();
    return std::make_unique<TXANVbAssignmentStmt>(assignPos, std::move(target), ParseExpression());
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseCall() {
    const plat::Integer pos = FScanner.TokenStartPos();
    Skip();
    Expect({ptIdentifier});
    return std::make_unique<TXANVbCallStmt>(pos, ParseDesignator());
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseErase() {
    const plat::Integer pos = FScanner.TokenStartPos();
    Skip();
    Expect({ptIdentifier});
    return std::make_unique<TXANVbEraseStmt>(pos, ParseDesignator());
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseExit() {
    const plat::Integer pos = FScanner.TokenStartPos();
    Skip();
    Expect({ptFor, ptDo, ptFunction, ptSub});
    TXANVbExitType exitType;
    switch (Token()) {
        case ptFor: exitType = etFor; break;
        case ptDo: exitType = etDo; break;
        case ptFunction: exitType = etFunction; break;
        default: exitType = etSub; break;
    }
    if (ExitPoints(exitType) == 0) Error(SInvalidExit, FScanner.TokenEndPos());
    Skip();
    return std::make_unique<TXANVbExitStmt>(pos, exitType);
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseDim() {
    auto stmt = std::make_unique<TXANVbDimStmt>(FScanner.TokenStartPos());
    Skip();
    for (;;) {
        stmt->FVarDecls.push_back(ParseDimVar());
        if (Token() != ptComma) return stmt;
        Skip();
    }
}

std::unique_ptr<TXANVbDimVarDecl> TXANVbParser::ParseDimVar() {
    Expect({ptIdentifier});
    const UString name = FScanner.SData();
    auto decl = std::make_unique<TXANVbDimVarDecl>(NameIdOf(name), FScanner.TokenStartPos());
    Skip();
    DeclareVariable(*decl, name);
    if (Token() == ptOpenRound) {
        decl->FIsArray = true;
        Skip();
        if (Token() != ptCloseRound) ParseExpressionList(decl->FArrayDims);
        ExpectSkip({ptCloseRound});
        if (Token() == ptAs) decl->FElemType = ParseAsType();
    } else if (Token() == ptEqual) {
        Skip();
        decl->FIniter = ParseExpression();
    }
    return decl;
}

// Inside a procedure a local; elsewhere (also inside top-level blocks) a global variable,
// reported at once so that later statements and procedures see it.
void TXANVbParser::DeclareVariable(TXANVbDimVarDecl& ADecl, const UString& AStrName) {
    if (FCurrentProc) {
        auto var = std::make_unique<TXANVbLocalVarDecl>(ADecl.FIdentifier, AStrName);
        TXANVbLocalVarDecl* declared = var.get();
        std::unique_ptr<TXANVbProcLocal> local = std::move(var);
        if (!FCurrentProc->AddLocal(local)) Error(AlreadyExistsMessage(AStrName), FLastSkippedPos);
        ADecl.FVar = declared;
        return;
    }
    auto var = std::make_unique<TXANVarObject>(ADecl.FIdentifier, AStrName);
    ADecl.FVar = var.get();
    ReportGlobalObject(std::move(var), AStrName);
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseRedim() {
    auto stmt = std::make_unique<TXANVbRedimStmt>(FScanner.TokenStartPos());
    Skip();
    Expect({ptPreserve, ptIdentifier});
    if (Token() == ptPreserve) {
        stmt->FPreserve = true;
        Skip();
    }
    for (;;) {
        stmt->FVarDecls.push_back(ParseRedimVar());
        if (Token() != ptComma) return stmt;
        Skip();
    }
}

std::unique_ptr<TXANVbRedimVarDecl> TXANVbParser::ParseRedimVar() {
    Expect({ptIdentifier});
    const plat::Integer pos = FScanner.TokenStartPos();
    auto variable = std::make_unique<TXANVbDesignatorExpr>(pos);
    variable->AddItem(ParseNamedItem());
    auto decl = std::make_unique<TXANVbRedimVarDecl>(std::move(variable), pos);
    ExpectSkip({ptOpenRound});
    ParseExpressionList(decl->FArrayDims);
    ExpectSkip({ptCloseRound});
    if (Token() == ptAs) decl->FElemType = ParseAsType();
    return decl;
}

std::uint16_t TXANVbParser::ParseAsType() {
    Skip();  // As
    Expect({ptIdentifier});
    const plat::Integer nameId = NameIdOf(FScanner.SData());
    Skip();
    std::uint16_t varType = plat::varVariant;
    if (!XANTypeNameVarType(nameId, varType)) Error(STypeIdentifierExpected, FLastSkippedPos);
    return varType;
}

void TXANVbParser::ParseLoopBody(TXANVbExitType AExitType, TXANVbStmtList& AList) {
    TRestoreOnExit<int> exitPoints(ExitPoints(AExitType), ExitPoints(AExitType) + 1);
    ParseStmtList(AList);
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseFor() {
    const plat::Integer pos = FScanner.TokenStartPos();
    auto stmt = std::make_unique<TXANVbForStmt>(pos);
    Skip();
    Expect({ptIdentifier});
    stmt->FVarExpr = std::make_unique<TXANVbDesignatorExpr>(pos);
    stmt->FVarExpr->AddItem(ParseNamedItem());
    ExpectSkip({ptEqual});
    stmt->FFromExpr = ParseExpression();
    ExpectSkip({ptTo});
    stmt->FToExpr = ParseExpression();
    if (Token() == ptStep) {
        Skip();
        stmt->FStepExpr = ParseExpression();
    }
    SkipSeparators();
    ParseLoopBody(etFor, stmt->FStmts);
    ExpectSkip({ptNext});
    return stmt;
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseIf() {
    const plat::Integer pos = FScanner.TokenStartPos();
    auto stmt = std::make_unique<TXANVbIfStmt>(pos);
    Skip();
    std::unique_ptr<TXANVbExpression> condition = ParseExpression();
    ExpectSkip({ptThen});
    stmt->FBlocks.push_back(std::make_unique<TXANVbIfBlock>(pos, std::move(condition)));
    if (VbStatementStart.Contains(Token()))
        ParseSingleLineIf(*stmt);
    else
        ParseBlockIf(*stmt);
    return stmt;
}

void TXANVbParser::ParseBlockIf(TXANVbIfStmt& AStmt) {
    SkipSeparators();
    Expect(VbStatementStart.With({ptElse, ptElseIf, ptEnd}));
    ParseStmtList(AStmt.FBlocks.back()->FStmtList);
    while (Token() == ptElseIf) {
        const plat::Integer pos = FScanner.TokenStartPos();
        AStmt.FSourcePos = pos;
        Skip();
        std::unique_ptr<TXANVbExpression> condition = ParseExpression();
        ExpectSkip({ptThen});
        SkipSeparators();
        AStmt.FBlocks.push_back(std::make_unique<TXANVbIfBlock>(pos, std::move(condition)));
        ParseStmtList(AStmt.FBlocks.back()->FStmtList);
    }
    if (Token() == ptElse) {
        Skip();
        SkipSeparators();
        ParseStmtList(AStmt.FElseStmtList);
    }
    ExpectSkip({ptEnd});
    ExpectSkip({ptIf});
}

// Statements separated by colons up to the line end; Else is recognised only after a colon.
void TXANVbParser::ParseSingleLineIf(TXANVbIfStmt& AStmt) {
    TRestoreOnExit<int> onlyColons(FOnlyColonBRCount, FOnlyColonBRCount + 1);
    ParseStmtList(AStmt.FBlocks.back()->FStmtList);
    if (Token() == ptElse) {
        Skip();
        ParseStmtList(AStmt.FElseStmtList);
    }
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseDo() {
    auto stmt = std::make_unique<TXANVbDoLoopStmt>(FScanner.TokenStartPos());
    Skip();
    if (Token() == ptWhile || Token() == ptUntil) {
        stmt->FLoopType = Token() == ptWhile ? ltWhile : ltUntil;
        Skip();
        stmt->FExpr = ParseExpression();
        stmt->FCondCheck = ccBeforeStmts;
        if (IsSeparator()) SkipSeparators();
    } else {
        SkipSeparators();
    }
    ParseLoopBody(etDo, stmt->FStmts);
    ExpectSkip({ptLoop});
    // A condition at both ends is left for the separator check, which rejects it.
    if (stmt->FCondCheck == ccNoCondition && (Token() == ptWhile || Token() == ptUntil)) {
        stmt->FLoopType = Token() == ptWhile ? ltWhile : ltUntil;
        Skip();
        stmt->FExpr = ParseExpression();
        stmt->FCondCheck = ccAfterStmts;
    }
    return stmt;
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseSelect() {
    auto stmt = std::make_unique<TXANVbSelectStmt>(FScanner.TokenStartPos());
    Skip();
    ExpectSkip({ptCase});
    stmt->FExpr = ParseExpression();
    SkipSeparators();
    Expect({ptCase, ptEnd});
    while (Token() == ptCase) {
        const plat::Integer pos = FScanner.TokenStartPos();
        stmt->FSourcePos = pos;
        Skip();
        if (Token() == ptElse) {
            // Case Else ends the clauses: a Case after it fails the End check below.
            Skip();
            if (IsSeparator()) SkipSeparators();
            ParseStmtList(stmt->FElseStmts);
            break;
        }
        auto selector = std::make_unique<TXANVbCaseSelector>(pos);
        ParseExpressionList(selector->FLabels);
        if (IsSeparator()) SkipSeparators();
        ParseStmtList(selector->FStmts);
        stmt->FSelectors.push_back(std::move(selector));
    }
    ExpectSkip({ptEnd});
    ExpectSkip({prSelect});
    return stmt;
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseThrow() {
    Skip();
    const plat::Integer pos = FLastSkippedPos;  // the end of Throw
    if (VbExpressionStart.Contains(Token())) return std::make_unique<TXANVbThrowStmt>(pos, ParseExpression());
    if (FTryState != ptsInCatch) Error(SReraiseOutsideHandler, pos);
    return std::make_unique<TXANVbThrowStmt>(pos, nullptr);
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseReturn() {
    const plat::Integer pos = FScanner.TokenStartPos();
    Skip();
    if (FCurrentProc && FCurrentProc->FProcKind == pkFunction)
        return std::make_unique<TXANVbReturnStmt>(pos, ParseExpression());
    return std::make_unique<TXANVbReturnStmt>(pos, nullptr);
}

std::unique_ptr<TXANVbStatement> TXANVbParser::ParseTry() {
    TRestoreOnExit<TXANVbParserTryState> tryState(FTryState);
    auto stmt = std::make_unique<TXANVbTryStmt>(FScanner.TokenStartPos());
    Skip();
    SkipSeparators();
    FTryState = ptsInTry;
    ParseStmtList(stmt->FTryStmts);
    ParseCatches(*stmt);
    // Without a Catch clause the Finally part is required.
    if (stmt->FCatches.empty() || Token() == ptFinally) {
        ExpectSkip({ptFinally});
        SkipSeparators();
        FTryState = ptsInFinally;
        ParseStmtList(stmt->FFinallyStmts);
    }
    ExpectSkip({ptEnd});
    ExpectSkip({ptTry});
    return stmt;
}

void TXANVbParser::ParseCatches(TXANVbTryStmt& AStmt) {
    while (Token() == ptCatch) {
        Skip();
        auto clause = std::make_unique<TXANVbCatch>();
        if (IsNamedCatchAhead()) {
            clause->FStrName = FScanner.SData();
            clause->FName = NameIdOf(clause->FStrName);
            Skip();
            Skip();  // As
            clause->FExpr = ParseExpression();
        }
        TXANVbCatch& added = *clause;
        AStmt.FCatches.push_back(std::move(clause));
        SkipSeparators();
        FTryState = ptsInCatch;
        ParseStmtList(added.FStmts);
        if (added.IsCatchAll()) return;  // nothing can follow a catch-all
    }
}

// Whether the current token is an identifier followed by As; the parser and scanner are left
// exactly where they were.
bool TXANVbParser::IsNamedCatchAhead() {
    if (Token() != ptIdentifier) return false;
    const TVbSavepoint savepoint = FScanner.GetSavepoint();
    const plat::Integer lastSkippedPos = FLastSkippedPos;
    Skip();
    const bool named = Token() == ptAs;
    FScanner.Rollback(savepoint);
    FLastSkippedPos = lastSkippedPos;
    return named;
}

}  // namespace xan::vb
