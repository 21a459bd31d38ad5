#include "lang/pascal/PasParser.h"

#include <initializer_list>

#include "lang/pascal/PasCompilerError.h"
#include "vm/compiler/TypeNames.h"

namespace xan::pas {

using enum TXANForCounterKind;
using enum TXANTryStmtType;
using enum TXANProcKind;
using enum TXANUnaryOp;
using enum TXANBinaryOp;
using enum TXANPasParserTryState;

using plat::UString;

namespace {

constexpr std::uint64_t Set(std::initializer_list<TXANPasToken> ATokens) {
    std::uint64_t s = 0;
    for (TXANPasToken t : ATokens) s |= std::uint64_t(1) << t;
    return s;
}

constexpr bool In(TXANPasToken AToken, std::uint64_t ASet) { return (ASet >> AToken) & 1; }

const char16_t* const kInvalidToken = u"Invalid token: %s.";
const char16_t* const kAlreadyExists = u"Object or value named '%s' already exists.";
const char16_t* const kTypeExpected = u"Type identifier expected";
const char16_t* const kReraiseOutside = u"Re-raising an exception only allowed in exception handler";
const char16_t* const kTooManyParams = u"Too many parameters (more than %d)";

constexpr std::uint64_t kScriptStart = Set({ptBegin, ptConst, ptFunction, ptProcedure, ptUses, ptVar, ptEOf});
constexpr std::uint64_t kDeclStart = Set({ptBegin, ptConst, ptFunction, ptProcedure, ptVar, ptEOf});
constexpr std::uint64_t kLocalDeclStart = Set({ptVar, ptConst, ptBegin});
constexpr std::uint64_t kListEnd = Set({ptElse, ptEnd, ptUntil});
// Tokens that start a statement, counting those before which a statement is empty.
constexpr std::uint64_t kStmtStart = Set({ptIdentifier, ptBegin, ptCase, ptFor, ptIf, ptRaise, ptRepeat, ptTry,
                                          ptWhile, ptElse, ptEnd, ptUntil, ptSemiColon});
constexpr std::uint64_t kExprStart = Set({ptIdentifier, ptCInteger, ptCFloat, ptCString, ptNil, ptOpenRound, ptNot,
                                          ptMinus, ptPlus, ptOpenBlock, ptArray, ptReference});
constexpr std::uint64_t kParamStart = Set({ptConst, ptVar, ptOut, ptIdentifier});

bool RelationalOp(TXANPasToken t, TXANBinaryOp& op) {
    switch (t) {
        case ptGreater: op = bopGreater; return true;
        case ptGreaterEqual: op = bopGreaterEqual; return true;
        case ptEqual: op = bopEqual; return true;
        case ptLess: op = bopLess; return true;
        case ptLessEqual: op = bopLessEqual; return true;
        case ptNotEqual: op = bopNotEqual; return true;
        case ptIn: op = bopIn; return true;
        case ptIs: op = bopIs; return true;
        default: return false;
    }
}

bool AdditiveOp(TXANPasToken t, TXANBinaryOp& op) {
    switch (t) {
        case ptPlus: op = bopPlus; return true;
        case ptMinus: op = bopMinus; return true;
        case ptOr: op = bopOr; return true;
        case ptXor: op = bopXor; return true;
        default: return false;
    }
}

bool MultiplicativeOp(TXANPasToken t, TXANBinaryOp& op) {
    switch (t) {
        case ptMultiply: op = bopMultiply; return true;
        case ptDivide: op = bopDivide; return true;
        case ptDiv: op = bopDiv; return true;
        case ptMod: op = bopMod; return true;
        case ptAnd: op = bopAnd; return true;
        case ptShl: op = bopShl; return true;
        case ptShr: op = bopShr; return true;
        default: return false;
    }
}

}  // namespace

void TXANPasParser::NestingTooDeep() const { Error(SXANNestingTooDeep, FScanner.TokenEndPos()); }

// Sets the try state for one part of a try statement and restores it on every way out.
class TXANPasParser::TryStateGuard {
public:
    explicit TryStateGuard(TXANPasParser& AParser) : FParser(AParser), FSaved(AParser.FTryState) {}
    TryStateGuard(const TryStateGuard&) = delete;
    TryStateGuard& operator=(const TryStateGuard&) = delete;
    ~TryStateGuard() { FParser.FTryState = FSaved; }

private:
    TXANPasParser& FParser;
    TXANPasParserTryState FSaved;
};

TXANPasParser::TXANPasParser(IXANParserCallbacks* ACbs) : FCbs(ACbs) {}

// ---- Entry points ----------------------------------------------------------------------------

void TXANPasParser::Start(const UString& ASource) {
    FTryState = ptsNowhere;
    FLastSkippedPos = 0;
    FDepth = 0;
    FScanner.Start(ASource);
}

void TXANPasParser::Parse(const UString& ASource) {
    Start(ASource);
    ParseScript();
    Expect(Set({ptEOf}));
}

std::unique_ptr<IXANEmitable> TXANPasParser::ParseStmt(const UString& ASource) {
    Start(ASource);
    TXANStatementPtr stmt = ParseStatement();
    Expect(Set({ptEOf}));
    return stmt;
}

std::unique_ptr<IXANEmitable> TXANPasParser::ParseExpr(const UString& ASource) {
    Start(ASource);
    TXANExpressionPtr expr = ParseExpression();
    Expect(Set({ptEOf}));
    return expr;
}

// ---- Token handling --------------------------------------------------------------------------

void TXANPasParser::Skip() {
    FLastSkippedPos = FScanner.TokenEndPos();
    FScanner.SkipToken();
}

void TXANPasParser::Expect(TokenSet ATokens) const {
    if (!In(Tok(), ATokens)) InvalidToken();
}

void TXANPasParser::ExpectSkip(TXANPasToken AToken) {
    Expect(Set({AToken}));
    Skip();
}

void TXANPasParser::InvalidToken() const {
    RaiseCompileErrorFmt<EXANPasCompiler>(kInvalidToken, FScanner.TokenEndPos(), TXANPasScanner::TokenToStr(Tok()));
}

void TXANPasParser::Error(const UString& AMsg, Integer APos) const { plat::Throw<EXANPasCompiler>(AMsg, APos); }

void TXANPasParser::DuplicateName(const UString& AName) const {
    RaiseCompileErrorFmt<EXANPasCompiler>(kAlreadyExists, FLastSkippedPos, AName);
}

UString TXANPasParser::TakeIdentifier(Integer& AName) {
    Expect(Set({ptIdentifier}));
    UString text = FScanner.SData();
    AName = FCbs->GetNameId(text);
    Skip();
    return text;
}

// ---- Declarations ----------------------------------------------------------------------------

void TXANPasParser::ParseScript() {
    Expect(kScriptStart);
    if (Tok() == ptUses) ParseUses();
    for (;;) {
        Expect(kDeclStart);
        switch (Tok()) {
            case ptVar: ParseGlobalVarSection(); break;
            case ptConst: ParseGlobalConstSection(); break;
            case ptProcedure:
            case ptFunction: ParseProcedure(); break;
            case ptBegin: return ParseMainBlock();
            default: return;  // end of file
        }
    }
}

void TXANPasParser::ParseUses() {
    Skip();
    for (;;) {
        Expect(Set({ptIdentifier}));
        UString name = FScanner.SData();
        Skip();
        bool duplicate = false;
        FCbs->UsedUnitParsed(name, duplicate);
        if (duplicate) DuplicateName(name);
        if (Tok() != ptComma) break;
        Skip();
    }
    ExpectSkip(ptSemiColon);
}

void TXANPasParser::ParseGlobalVarSection() {
    Skip();
    do {
        ParseGlobalVarList();
        ExpectSkip(ptSemiColon);
    } while (Tok() == ptIdentifier);
}

void TXANPasParser::ParseGlobalVarList() {
    for (;;) {
        Integer name;
        UString text = TakeIdentifier(name);
        auto var = std::make_unique<TXANVarObject>(name, text);
        if (Tok() == ptEqual) {
            Skip();
            TXANExpressionPtr initer = ParseExpression();
            FCbs->GlobalStmtParsed(std::make_unique<TXANGlobalVarIniter>(var.get(), std::move(initer)));
        }
        AcceptGlobal(std::move(var));
        if (Tok() != ptComma) return;
        Skip();
    }
}

void TXANPasParser::ParseGlobalConstSection() {
    Skip();
    do {
        ParseGlobalConstDecl();
        ExpectSkip(ptSemiColon);
    } while (Tok() == ptIdentifier);
}

void TXANPasParser::ParseGlobalConstDecl() {
    Integer name;
    UString text = TakeIdentifier(name);
    ExpectSkip(ptEqual);
    TXANExpressionPtr initer = ParseExpression();
    auto constant = std::make_unique<TXANConstObject>(name, text);
    FCbs->GlobalStmtParsed(std::make_unique<TXANGlobalConstIniter>(constant.get(), std::move(initer)));
    AcceptGlobal(std::move(constant));
}

void TXANPasParser::AcceptGlobal(std::unique_ptr<TXANGlobalObject> AObj) {
    bool duplicate = false;
    FCbs->GlobalObjParsed(AObj, duplicate);
    if (duplicate) DuplicateName(AObj->FStrName);
}

void TXANPasParser::ParseProcedure() {
    TXANProcKind kind = Tok() == ptFunction ? pkFunction : pkProcedure;
    Skip();
    Integer name;
    UString text = TakeIdentifier(name);
    auto proc = std::make_unique<TXANProcedureDecl>(name, text, kind);
    proc->FSourcePos = FLastSkippedPos;
    if (kind == pkFunction) {
        static const UString kResult(u"Result");
        AddLocal(*proc, std::make_unique<TXANLocalResultDecl>(FCbs->GetNameId(kResult), kResult));
    }
    if (Tok() == ptOpenRound) ParseParams(*proc);
    ExpectSkip(ptSemiColon);
    for (;;) {
        Expect(kLocalDeclStart);
        if (Tok() == ptVar)
            ParseLocalVarSection(*proc);
        else if (Tok() == ptConst)
            ParseLocalConstSection(*proc);
        else
            break;
    }
    Skip();  // begin
    ParseStmtList(proc->FStmtList);
    Expect(Set({ptEnd}));
    proc->FEndSourcePos = FScanner.TokenEndPos();
    Skip();
    ExpectSkip(ptSemiColon);
    AcceptGlobal(std::move(proc));
}

void TXANPasParser::ParseParams(TXANProcedureDecl& AProc) {
    Skip();  // (
    if (Tok() != ptCloseRound) {
        for (;;) {
            Expect(kParamStart);
            TXANParamKind kind = pkSimple;
            if (Tok() != ptIdentifier) {
                kind = Tok() == ptConst ? pkConst : pkByRef;
                Skip();
            }
            if (AProc.ParamCount() == MaxParamCount)
                RaiseCompileErrorFmt<EXANPasCompiler>(kTooManyParams, FScanner.TokenEndPos(), MaxParamCount);
            Integer name;
            UString text = TakeIdentifier(name);
            AddLocal(AProc, std::make_unique<TXANParamDecl>(name, text, kind));
            if (Tok() != ptSemiColon) break;
            Skip();
        }
    }
    ExpectSkip(ptCloseRound);
}

void TXANPasParser::ParseLocalVarSection(TXANProcedureDecl& AProc) {
    Skip();
    do {
        for (;;) {
            Integer name;
            UString text = TakeIdentifier(name);
            TXANExpressionPtr initer;
            if (Tok() == ptEqual) {
                Skip();
                initer = ParseExpression();
            }
            AddLocal(AProc, std::make_unique<TXANLocalVarDecl>(name, text, std::move(initer)));
            if (Tok() != ptComma) break;
            Skip();
        }
        ExpectSkip(ptSemiColon);
    } while (Tok() == ptIdentifier);
}

void TXANPasParser::ParseLocalConstSection(TXANProcedureDecl& AProc) {
    Skip();
    do {
        Integer name;
        UString text = TakeIdentifier(name);
        ExpectSkip(ptEqual);
        TXANExpressionPtr initer = ParseExpression();
        AddLocal(AProc, std::make_unique<TXANLocalConstDecl>(name, text, std::move(initer)));
        ExpectSkip(ptSemiColon);
    } while (Tok() == ptIdentifier);
}

void TXANPasParser::AddLocal(TXANProcedureDecl& AProc, std::unique_ptr<TXANProcLocal> ALocal) {
    if (!AProc.AddLocal(ALocal)) DuplicateName(ALocal->FStrName);
}

void TXANPasParser::ParseMainBlock() {
    Skip();  // begin
    TXANStmtList list;
    ParseStmtList(list);
    for (TXANStatementPtr& stmt : list.FItems) FCbs->GlobalStmtParsed(std::move(stmt));
    ExpectSkip(ptEnd);
    ExpectSkip(ptSemiColon);
}

// ---- Statements ------------------------------------------------------------------------------

void TXANPasParser::ParseStmtList(TXANStmtList& AList) {
    for (;;) {
        TXANStatementPtr stmt = ParseStatement();
        if (!dynamic_cast<TXANPasEmptyStmt*>(stmt.get())) AList.FItems.push_back(std::move(stmt));
        if (In(Tok(), kListEnd)) return;
        ExpectSkip(ptSemiColon);
        if (!In(Tok(), kStmtStart)) return;
    }
}

TXANStatementPtr TXANPasParser::ParseStatement() {
    Expect(kStmtStart);
    TNestingGuard nesting(*this);
    switch (Tok()) {
        case ptIdentifier: return ParseDesignatorStmt();
        case ptBegin: return ParseCompound();
        case ptIf: return ParseIf();
        case ptCase: return ParseCase();
        case ptRepeat: return ParseRepeat();
        case ptWhile: return ParseWhile();
        case ptFor: return ParseFor();
        case ptTry: return ParseTry();
        case ptRaise: return ParseRaise();
        default: return std::make_unique<TXANPasEmptyStmt>(FLastSkippedPos);
    }
}

TXANStatementPtr TXANPasParser::ParseDesignatorStmt() {
    std::unique_ptr<TXANDesignatorExpr> designator = ParseDesignator();
    if (Tok() != ptAssignment) {
        Integer pos = designator->FSourcePos;
        return std::make_unique<TXANExpressionStmt>(pos, std::move(designator));
    }
    Integer pos = FScanner.TokenEndPos();
    Skip();
    TXANExpressionPtr value = ParseExpression();
    return std::make_unique<TXANAssignmentStmt>(pos, std::move(designator), std::move(value));
}

TXANStatementPtr TXANPasParser::ParseCompound() {
    Skip();
    auto compound = std::make_unique<TXANCompound>(0);
    ParseStmtList(compound->FStmtList);
    Expect(Set({ptEnd}));
    compound->FSourcePos = FScanner.TokenEndPos();
    Skip();
    return compound;
}

TXANStatementPtr TXANPasParser::ParseIf() {
    auto stmt = std::make_unique<TXANIfStmt>(FScanner.TokenEndPos());
    Skip();
    stmt->FIfExpr = ParseExpression();
    ExpectSkip(ptThen);
    stmt->FThenStmt = ParseStatement();
    if (Tok() == ptElse) {
        Skip();
        stmt->FElseStmt = ParseStatement();
    }
    return stmt;
}

TXANStatementPtr TXANPasParser::ParseCase() {
    auto stmt = std::make_unique<TXANCaseStmt>(FScanner.TokenEndPos());
    Skip();
    stmt->FCaseExpr = ParseExpression();
    ExpectSkip(ptOf);
    do {
        stmt->FSelectors.push_back(ParseCaseSelector());
        ExpectSkip(ptSemiColon);
    } while (!In(Tok(), Set({ptElse, ptEnd})));
    if (Tok() == ptElse) {
        Skip();
        ParseStmtList(stmt->FElseStmts);
    }
    ExpectSkip(ptEnd);
    return stmt;
}

std::unique_ptr<TXANCaseSelector> TXANPasParser::ParseCaseSelector() {
    auto selector = std::make_unique<TXANCaseSelector>();
    for (;;) {
        TXANExpressionPtr first = ParseExpression();
        TXANExpressionPtr second;
        if (Tok() == ptDoublePeriod) {
            Skip();
            second = ParseExpression();
        }
        selector->FLabels.push_back(std::make_unique<TXANCaseLabel>(FLastSkippedPos, std::move(first), std::move(second)));
        if (Tok() != ptComma) break;
        Skip();
    }
    ExpectSkip(ptColon);
    selector->FStmt = ParseStatement();
    return selector;
}

TXANStatementPtr TXANPasParser::ParseRepeat() {
    auto stmt = std::make_unique<TXANRepeatStmt>(FScanner.TokenEndPos());
    Skip();
    ParseStmtList(stmt->FStmtList);
    ExpectSkip(ptUntil);
    stmt->FRepeatExpr = ParseExpression();
    return stmt;
}

TXANStatementPtr TXANPasParser::ParseWhile() {
    auto stmt = std::make_unique<TXANWhileStmt>(FScanner.TokenEndPos());
    Skip();
    stmt->FWhileExpr = ParseExpression();
    ExpectSkip(ptDo);
    stmt->FStmt = ParseStatement();
    return stmt;
}

TXANStatementPtr TXANPasParser::ParseFor() {
    auto stmt = std::make_unique<TXANForStmt>(FScanner.TokenEndPos());
    Skip();
    Integer name;
    UString text = TakeIdentifier(name);
    stmt->FVarExpr = std::make_unique<TXANDesignatorExpr>(FLastSkippedPos);
    stmt->FVarExpr->FItems.push_back(std::make_unique<TXANDesignatorItem>(name, text, FLastSkippedPos));
    ExpectSkip(ptAssignment);
    stmt->FFromExpr = ParseExpression();
    Expect(Set({ptTo, ptDownto}));
    stmt->FCounterKind = Tok() == ptTo ? ckTo : ckDownto;
    Skip();
    stmt->FToExpr = ParseExpression();
    ExpectSkip(ptDo);
    stmt->FStmt = ParseStatement();
    return stmt;
}

TXANStatementPtr TXANPasParser::ParseTry() {
    auto stmt = std::make_unique<TXANTryStmt>(FScanner.TokenEndPos());
    Skip();
    TryStateGuard restore(*this);
    FTryState = ptsInTry;
    ParseStmtList(stmt->FTryStmtList);
    Expect(Set({ptExcept, ptFinally}));
    if (Tok() == ptExcept) {
        Skip();
        FTryState = ptsInExcept;
        ParseExceptPart(*stmt);
    } else {
        Skip();
        FTryState = ptsInFinally;
        stmt->FTryStmtType = ttFinally;
        ParseStmtList(stmt->FFinallyStmtList);
    }
    ExpectSkip(ptEnd);
    return stmt;
}

void TXANPasParser::ParseExceptPart(TXANTryStmt& ATry) {
    ATry.FTryStmtType = ttExcept;
    if (In(Tok(), Set({ptOn, ptElse})))
        ATry.FExceptionBlock = ParseHandlers();
    else
        ParseStmtList(ATry.FExceptStmtList);
}

std::unique_ptr<TXANExceptionBlock> TXANPasParser::ParseHandlers() {
    auto block = std::make_unique<TXANExceptionBlock>();
    while (Tok() == ptOn) {
        block->FBlocks.push_back(ParseHandler());
        ExpectSkip(ptSemiColon);
    }
    if (Tok() == ptElse) {
        block->FHasElse = true;
        block->FElseSourcePos = FScanner.TokenEndPos();
        Skip();
        ParseStmtList(block->FElseStmtList);
    }
    return block;
}

std::unique_ptr<TXANExceptionSubBlock> TXANPasParser::ParseHandler() {
    Integer pos = FScanner.TokenEndPos();
    Skip();  // on
    Integer name = -1;
    UString text;
    if (Tok() == ptIdentifier) {
        // 'on E: T do' names the exception; 'on T do' does not. Only the token after the
        // identifier tells, so look ahead and go back when it is not ':'.
        const char16_t* savepoint = FScanner.GetSavepoint();
        TXANPasParserTryState savedState = FTryState;
        Integer savedLast = FLastSkippedPos;
        UString candidate = FScanner.SData();
        Skip();
        if (Tok() == ptColon) {
            text = candidate;
            name = FCbs->GetNameId(text);
            Skip();
        } else {
            FScanner.Rollback(savepoint);
            FTryState = savedState;
            FLastSkippedPos = savedLast;
        }
    }
    auto handler = std::make_unique<TXANExceptionSubBlock>(name, text, pos);
    handler->FExpr = ParseExpression();
    ExpectSkip(ptDo);
    handler->FStmt = ParseStatement();
    return handler;
}

TXANStatementPtr TXANPasParser::ParseRaise() {
    Integer pos = FScanner.TokenEndPos();
    Skip();
    if (In(Tok(), kExprStart)) return std::make_unique<TXANRaiseStmt>(pos, ParseExpression());
    if (FTryState != ptsInExcept) Error(kReraiseOutside, pos);
    return std::make_unique<TXANRaiseStmt>(pos, nullptr);
}

// ---- Expressions -----------------------------------------------------------------------------

TXANExpressionPtr TXANPasParser::ParseExpression() {
    Expect(kExprStart);
    TNestingGuard nesting(*this);
    TXANExpressionPtr left = ParseSimpleExpression();
    TXANBinaryOp op;
    while (RelationalOp(Tok(), op)) {
        nesting.Add();
        Skip();
        TXANExpressionPtr right = ParseSimpleExpression();
        left = std::make_unique<TXANBinaryExpr>(FLastSkippedPos, op, std::move(left), std::move(right));
    }
    return left;
}

TXANExpressionPtr TXANPasParser::ParseSimpleExpression() {
    TNestingGuard nesting(*this, 0);  // counts the operators of the chain
    TXANExpressionPtr left = ParseTerm();
    TXANBinaryOp op;
    while (AdditiveOp(Tok(), op)) {
        nesting.Add();
        Skip();
        TXANExpressionPtr right = ParseTerm();
        left = std::make_unique<TXANBinaryExpr>(FLastSkippedPos, op, std::move(left), std::move(right));
    }
    return left;
}

TXANExpressionPtr TXANPasParser::ParseTerm() {
    TNestingGuard nesting(*this, 0);  // counts the operators of the chain
    TXANExpressionPtr left = ParseFactor();
    TXANBinaryOp op;
    while (MultiplicativeOp(Tok(), op)) {
        nesting.Add();
        Skip();
        TXANExpressionPtr right = ParseFactor();
        left = std::make_unique<TXANBinaryExpr>(FLastSkippedPos, op, std::move(left), std::move(right));
    }
    return left;
}

TXANExpressionPtr TXANPasParser::ParseFactor() {
    Expect(kExprStart);
    TNestingGuard nesting(*this);
    switch (Tok()) {
        case ptIdentifier: return ParseDesignator();
        case ptCInteger:
        case ptCFloat:
        case ptCString:
        case ptNil: return ParseLiteral();
        case ptOpenRound: {
            Skip();
            TXANExpressionPtr inner = ParseExpression();
            ExpectSkip(ptCloseRound);
            return inner;
        }
        case ptNot:
        case ptMinus:
        case ptPlus: return ParseUnary();
        case ptOpenBlock: return ParseSet();
        case ptArray: return ParseArray();
        default: return ParseEventMake();
    }
}

TXANExpressionPtr TXANPasParser::ParseLiteral() {
    plat::Variant value;
    switch (Tok()) {
        case ptCInteger: value = plat::Variant(FScanner.IData()); break;
        case ptCFloat: value = plat::Variant(static_cast<double>(FScanner.FData())); break;
        case ptCString: value = plat::Variant(FScanner.SData()); break;
        default: value = plat::Variant(static_cast<plat::IDispatch*>(nullptr)); break;  // nil
    }
    Skip();
    return std::make_unique<TXANLiteral>(FLastSkippedPos, std::move(value));
}

TXANExpressionPtr TXANPasParser::ParseUnary() {
    TXANUnaryOp op = Tok() == ptNot ? uopNot : Tok() == ptMinus ? uopMinus : uopPlus;
    Skip();
    TXANExpressionPtr operand = ParseFactor();
    return std::make_unique<TXANUnaryExpr>(FLastSkippedPos, op, std::move(operand));
}

std::unique_ptr<TXANDesignatorExpr> TXANPasParser::ParseDesignator() {
    auto designator = std::make_unique<TXANDesignatorExpr>(0);
    Integer name;
    UString text = TakeIdentifier(name);
    designator->FItems.push_back(std::make_unique<TXANDesignatorItem>(name, text, FLastSkippedPos));
    for (;;) {
        if (Tok() == ptPeriod) {
            Skip();
            text = TakeIdentifier(name);
            designator->FItems.push_back(std::make_unique<TXANDesignatorItem>(name, text, FLastSkippedPos));
        } else if (Tok() == ptOpenRound || Tok() == ptOpenBlock) {
            ParseBracketGroup(*designator);
        } else {
            break;
        }
    }
    designator->FSourcePos = FLastSkippedPos;
    return designator;
}

void TXANPasParser::ParseBracketGroup(TXANDesignatorExpr& ADesignator) {
    bool round = Tok() == ptOpenRound;
    TXANDesignatorItem* last = ADesignator.FItems.back().get();
    // A second group in a row (f(1)(2), a[1][2]) applies to the value of the first.
    if (!last->IsNamed() || last->FBracketType != bkNon) {
        ADesignator.FItems.push_back(std::make_unique<TXANDesignatorItem>(-1, UString(), 0));
        last = ADesignator.FItems.back().get();
    }
    last->FBracketType = round ? bkRound : bkBlock;
    Skip();
    if (!(round && Tok() == ptCloseRound)) ParseExpressionList(last->FArgs);
    ExpectSkip(round ? ptCloseRound : ptCloseBlock);
    last->FSourcePos = FLastSkippedPos;
}

void TXANPasParser::ParseExpressionList(TXANExpressionList& AList) {
    for (;;) {
        AList.push_back(ParseExpression());
        if (Tok() != ptComma) return;
        Skip();
    }
}

TXANExpressionPtr TXANPasParser::ParseSet() {
    auto set = std::make_unique<TXANPasSetExpr>(0);
    Skip();  // [
    if (Tok() != ptCloseBlock) {
        for (;;) {
            TXANExpressionPtr left = ParseExpression();
            TXANExpressionPtr right;
            if (Tok() == ptDoublePeriod) {
                Skip();
                right = ParseExpression();
            }
            set->FSetElements.push_back(std::make_unique<TXANSetElement>(FLastSkippedPos, std::move(left), std::move(right)));
            if (Tok() != ptComma) break;
            Skip();
        }
    }
    ExpectSkip(ptCloseBlock);
    set->FSourcePos = FLastSkippedPos;
    return set;
}

TXANExpressionPtr TXANPasParser::ParseArray() {
    auto array = std::make_unique<TXANArrayExpr>(0);
    Skip();  // array
    ExpectSkip(ptOpenBlock);
    for (;;) {
        TXANExpressionPtr low = ParseExpression();
        TXANExpressionPtr high;
        if (Tok() == ptDoublePeriod) {
            Skip();
            high = ParseExpression();
        } else {
            // array[n] has the bounds 0 .. n.
            high = std::move(low);
            low = std::make_unique<TXANLiteral>(high->FSourcePos, plat::Variant(0));
        }
        array->FArrayDims.push_back(std::make_unique<TXANArrayDim>(FLastSkippedPos, std::move(low), std::move(high)));
        if (Tok() != ptComma) break;
        Skip();
    }
    ExpectSkip(ptCloseBlock);
    if (Tok() == ptOf) {
        Skip();
        array->FElemVarType = ParseElemType();
    }
    array->FSourcePos = FLastSkippedPos;
    return array;
}

std::uint16_t TXANPasParser::ParseElemType() {
    Expect(Set({ptIdentifier}));
    std::uint16_t varType = 0;
    if (!XANTypeNameVarType(FCbs->GetNameId(FScanner.SData()), varType)) Error(kTypeExpected, FScanner.TokenEndPos());
    Skip();
    return varType;
}

TXANExpressionPtr TXANPasParser::ParseEventMake() {
    Skip();  // @
    Integer name;
    UString text = TakeIdentifier(name);
    return std::make_unique<TXANEventMakeExpr>(FLastSkippedPos, name, text);
}

}  // namespace xan::pas
