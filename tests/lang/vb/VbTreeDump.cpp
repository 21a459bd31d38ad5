// Text forms of VBScript-dialect syntax trees for the parser tests.
#include <gtest/gtest.h>

#include <cstdio>

#include "VbParseSupport.h"

namespace xan::vb::test {

namespace {

std::string Utf8(const UString& s) { return s.ToUtf8(); }

std::string DumpLiteral(const plat::Variant& v) {
    switch (v.VType) {
        case plat::varEmpty: return "Empty";
        case plat::varNull: return "Null";
        case plat::varInteger: return std::to_string(v.VInteger);
        case plat::varBoolean: return v.VBoolean ? "True" : "False";
        case plat::varDispatch: return v.VDispatch ? "<object>" : "Nothing";
        case plat::varOleStr: return "\"" + plat::Utf16ToUtf8(v.StrView()) + "\"";
        case plat::varDouble: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%gd", v.VDouble);
            return buf;
        }
        case plat::varDate: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "#%g#", v.VDate);
            return buf;
        }
        default: return "<vt " + std::to_string(v.VType) + ">";
    }
}

const char* BinaryOpText(TXANVbBinaryOp op) {
    static const char* const texts[] = {"+",  "-", "*",  "/",  "\\", "Imp", "Eqv",  "Xor",
                                        "Or", "And", ">", ">=", "<",  "<=",  "=",    "<>",
                                        "&",  "Mod", "^", "Is", "IsNot", "TypeOf"};
    return texts[static_cast<int>(op)];
}

std::string DumpList(const TXANVbExpressionList& AList) {
    std::string s;
    for (std::size_t i = 0; i < AList.size(); ++i) s += (i ? "," : "") + DumpExpr(*AList[i]);
    return s;
}

std::string DumpDesignator(const TXANVbDesignatorExpr& AExpr) {
    const auto* newExpr = dynamic_cast<const TXANVbNewExpr*>(&AExpr);
    std::string s = newExpr ? "New " : "";
    for (std::size_t i = 0; i < AExpr.FItems.size(); ++i) {
        const TXANVbDesignatorItem& item = *AExpr.FItems[i];
        if (item.IsNamed()) s += (i ? "." : "") + Utf8(item.FStrName);
        if (newExpr && &item == newExpr->FNewCallItem) s += "!";
        if (item.FBracketType == bkVbRound)
            s += "(" + DumpList(item.FArgs) + ")";
        else if (!item.FArgs.empty())
            s += "{" + DumpList(item.FArgs) + "}";
    }
    return s;
}

std::string VarName(const TXANVbDimVarDecl& ADecl) {
    if (auto* local = dynamic_cast<const TXANVbProcLocal*>(ADecl.FVar)) return Utf8(local->FStrName);
    if (auto* global = dynamic_cast<const TXANGlobalObject*>(ADecl.FVar)) return Utf8(global->FStrName);
    return "<no var>";
}

std::string TypeSuffix(std::uint16_t AElemType) {
    return AElemType == plat::varVariant ? "" : ":" + std::to_string(AElemType);
}

std::string DumpDim(const TXANVbDimStmt& AStmt) {
    std::string s = "(Dim";
    for (const auto& d : AStmt.FVarDecls) {
        s += " " + VarName(*d);
        if (d->FIsArray) s += "(" + DumpList(d->FArrayDims) + ")";
        s += TypeSuffix(d->FElemType);
        if (d->FIniter) s += "=" + DumpExpr(*d->FIniter);
    }
    return s + ")";
}

std::string DumpRedim(const TXANVbRedimStmt& AStmt) {
    std::string s = AStmt.FPreserve ? "(Redim Preserve" : "(Redim";
    for (const auto& d : AStmt.FVarDecls)
        s += " " + DumpDesignator(*d->FVarExpr) + "(" + DumpList(d->FArrayDims) + ")" + TypeSuffix(d->FElemType);
    return s + ")";
}

std::string DumpIf(const TXANVbIfStmt& AStmt) {
    std::string s = "(If";
    for (std::size_t i = 0; i < AStmt.FBlocks.size(); ++i)
        s += std::string(i ? " ElseIf " : " ") + DumpExpr(*AStmt.FBlocks[i]->FCondition) + " " +
             DumpStmtList(AStmt.FBlocks[i]->FStmtList);
    if (!AStmt.FElseStmtList.Empty()) s += " Else " + DumpStmtList(AStmt.FElseStmtList);
    return s + ")";
}

std::string DumpFor(const TXANVbForStmt& AStmt) {
    std::string s = "(For " + DumpDesignator(*AStmt.FVarExpr) + " " + DumpExpr(*AStmt.FFromExpr) + " " +
                    DumpExpr(*AStmt.FToExpr);
    if (AStmt.FStepExpr) s += " Step " + DumpExpr(*AStmt.FStepExpr);
    return s + " " + DumpStmtList(AStmt.FStmts) + ")";
}

std::string DumpDo(const TXANVbDoLoopStmt& AStmt) {
    const std::string cond =
        AStmt.FExpr ? std::string(AStmt.FLoopType == TXANVbLoopType::ltWhile ? "While " : "Until ") + DumpExpr(*AStmt.FExpr) : "";
    switch (AStmt.FCondCheck) {
        case TXANVbConditionCheck::ccBeforeStmts: return "(Do " + cond + " " + DumpStmtList(AStmt.FStmts) + ")";
        case TXANVbConditionCheck::ccAfterStmts: return "(Do " + DumpStmtList(AStmt.FStmts) + " " + cond + ")";
        default: return "(Do " + DumpStmtList(AStmt.FStmts) + ")";
    }
}

std::string DumpSelect(const TXANVbSelectStmt& AStmt) {
    std::string s = "(Select " + DumpExpr(*AStmt.FExpr);
    for (const auto& sel : AStmt.FSelectors) s += " Case " + DumpList(sel->FLabels) + " " + DumpStmtList(sel->FStmts);
    if (!AStmt.FElseStmts.Empty()) s += " Else " + DumpStmtList(AStmt.FElseStmts);
    return s + ")";
}

std::string DumpTry(const TXANVbTryStmt& AStmt) {
    std::string s = "(Try " + DumpStmtList(AStmt.FTryStmts);
    for (const auto& c : AStmt.FCatches) {
        s += " Catch ";
        if (!c->IsCatchAll()) s += Utf8(c->FStrName) + " As " + DumpExpr(*c->FExpr) + " ";
        s += DumpStmtList(c->FStmts);
    }
    if (!AStmt.FFinallyStmts.Empty()) s += " Finally " + DumpStmtList(AStmt.FFinallyStmts);
    return s + ")";
}

const char* ExitText(TXANVbExitType t) {
    static const char* const texts[] = {"For", "Do", "Function", "Sub"};
    return texts[static_cast<int>(t)];
}

}  // namespace

std::string DumpExpr(const TXANVbExpression& AExpr) {
    if (auto* e = dynamic_cast<const TXANVbBinaryOpExpr*>(&AExpr))
        return std::string("(") + BinaryOpText(e->FOpType) + " " + DumpExpr(*e->FLeftExpr) + " " +
               DumpExpr(*e->FRightExpr) + ")";
    if (auto* e = dynamic_cast<const TXANVbUnaryOpExpr*>(&AExpr)) {
        static const char* const texts[] = {"pos", "neg", "not"};
        return std::string("(") + texts[static_cast<int>(e->FOpType)] + " " + DumpExpr(*e->FOperand) + ")";
    }
    if (auto* e = dynamic_cast<const TXANVbLiteralExpr*>(&AExpr)) return DumpLiteral(e->FValue);
    if (auto* e = dynamic_cast<const TXANVbDesignatorExpr*>(&AExpr)) return DumpDesignator(*e);
    return "<unknown expression>";
}

std::string DumpStmtList(const TXANVbStmtList& AList) {
    std::string s = "[";
    for (std::size_t i = 0; i < AList.FItems.size(); ++i) s += (i ? "; " : "") + DumpStmt(*AList.FItems[i]);
    return s + "]";
}

std::string DumpStmt(const TXANVbStatement& AStmt) {
    if (auto* s = dynamic_cast<const TXANVbAssignmentStmt*>(&AStmt))
        return DumpDesignator(*s->FLeftExpr) + " := " + DumpExpr(*s->FRightExpr);
    if (auto* s = dynamic_cast<const TXANVbExpressionStmt*>(&AStmt)) return DumpDesignator(*s->FExpr);
    if (auto* s = dynamic_cast<const TXANVbCallStmt*>(&AStmt)) return "Call " + DumpDesignator(*s->FDesignator);
    if (auto* s = dynamic_cast<const TXANVbEraseStmt*>(&AStmt)) return "Erase " + DumpDesignator(*s->FExpr);
    if (auto* s = dynamic_cast<const TXANVbDimStmt*>(&AStmt)) return DumpDim(*s);
    if (auto* s = dynamic_cast<const TXANVbRedimStmt*>(&AStmt)) return DumpRedim(*s);
    if (auto* s = dynamic_cast<const TXANVbIfStmt*>(&AStmt)) return DumpIf(*s);
    if (auto* s = dynamic_cast<const TXANVbForStmt*>(&AStmt)) return DumpFor(*s);
    if (auto* s = dynamic_cast<const TXANVbDoLoopStmt*>(&AStmt)) return DumpDo(*s);
    if (auto* s = dynamic_cast<const TXANVbSelectStmt*>(&AStmt)) return DumpSelect(*s);
    if (auto* s = dynamic_cast<const TXANVbExitStmt*>(&AStmt)) return std::string("Exit ") + ExitText(s->FExitType);
    if (auto* s = dynamic_cast<const TXANVbTryStmt*>(&AStmt)) return DumpTry(*s);
    if (auto* s = dynamic_cast<const TXANVbThrowStmt*>(&AStmt))
        return s->FExpr ? "Throw " + DumpExpr(*s->FExpr) : "Throw";
    if (auto* s = dynamic_cast<const TXANVbReturnStmt*>(&AStmt))
        return s->FExpr ? "Return " + DumpExpr(*s->FExpr) : "Return";
    return "<unknown statement>";
}

std::string DumpProc(const TXANVbProcDecl& AProc) {
    std::string s = (AProc.FProcKind == TXANVbProcKind::pkFunction ? "Function " : "Sub ") + Utf8(AProc.FStrName) + "(";
    for (std::size_t i = 0; i < AProc.FParams.size(); ++i) {
        const TXANVbParamDecl& p = *AProc.FParams[i];
        s += (i ? ", " : "") + std::string(p.FParamInfo.Kind == pkByRef ? "" : "ByVal ") + Utf8(p.FStrName);
    }
    s += ") " + DumpStmtList(AProc.FStmtList);
    return s;
}

std::unique_ptr<RecordingCallbacks> ParseScript(const UString& ASource) {
    auto cbs = std::make_unique<RecordingCallbacks>();
    TXANVbParser parser(cbs.get());
    parser.Parse(ASource);
    return cbs;
}

std::string DumpScript(const UString& ASource) {
    std::string s;
    try {
        std::unique_ptr<RecordingCallbacks> cbs = ParseScript(ASource);
        for (std::size_t i = 0; i < cbs->Items.size(); ++i) s += (i ? " | " : "") + cbs->Items[i];
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        return "<error: " + e->Message().ToUtf8() + ">";
    }
    return s;
}

CompileErrorInfo ParseScriptError(const UString& ASource) {
    return VbErrorOf([&] { ParseScript(ASource); });
}

CompileErrorInfo ParseStmtError(const UString& ASource) {
    return VbErrorOf([&] {
        RecordingCallbacks cbs;
        TXANVbParser(&cbs).ParseStmt(ASource);
    });
}

CompileErrorInfo ParseExprError(const UString& ASource) {
    return VbErrorOf([&] {
        RecordingCallbacks cbs;
        TXANVbParser(&cbs).ParseExpr(ASource);
    });
}

std::string DumpParsedExpr(const UString& ASource) {
    RecordingCallbacks cbs;
    std::unique_ptr<IXANEmitable> tree = TXANVbParser(&cbs).ParseExpr(ASource);
    auto* expr = dynamic_cast<TXANVbExpression*>(tree.get());
    return expr ? DumpExpr(*expr) : "<not an expression>";
}

std::string DumpParsedStmt(const UString& ASource) {
    RecordingCallbacks cbs;
    std::unique_ptr<IXANEmitable> tree = TXANVbParser(&cbs).ParseStmt(ASource);
    auto* stmt = dynamic_cast<TXANVbStatement*>(tree.get());
    return stmt ? DumpStmt(*stmt) : "<not a statement>";
}

}  // namespace xan::vb::test
