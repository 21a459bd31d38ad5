#pragma once
// A tiny script language used only by the machine's tests, so that the facade is exercised
// through the same front-end contract the real dialects use, without depending on either.
//
//   script   := { 'var' NAME ['=' expr] ';' | 'const' NAME '=' expr ';'
//              | ('func' | 'proc') NAME '(' [NAME {',' NAME}] ')' { stmt } 'end' ';'
//              | stmt }
//   stmt     := NAME '=' expr ';' | 'return' expr ';' | 'raise' expr ';' | expr ';'
//             | 'try' { stmt } 'except' { stmt } 'end' ';' | 'reraise' ';'
//   expr     := term { ('+' | '-') term };   term := factor { '*' factor }
//   factor   := NUMBER | 'TEXT' | NAME [ '(' [expr {',' expr}] ')' ] | '(' expr ')' | 'exc'
//
// 'exc' (the exception being handled, as a value) and 'reraise' belong in an except part.
//
// Inside a func, 'result' is the result variable and parameters are by-value. Every name not
// resolved at compile time is resolved at run time by the machine. The built-ins are Twice(x)
// Shadow (answers "builtin") and CloseMe (closes its own machine); the name emitfail fails
// code generation.
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "foundation/NameTable.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/ByteCode.h"
#include "vm/bytecode/CompileError.h"
#include "vm/compiler/GlobalObjects.h"
#include "vm/compiler/LanguageInterface.h"
#include "vm/compiler/Namespaces.h"
#include "vm/machine/VirtMachine.h"

namespace xan::testlang {

using plat::UString;
using plat::Variant;

class ETestCompiler : public EXANCompileBase {
    XAN_CLASS(ETestCompiler, EXANCompileBase)
    using EXANCompileBase::EXANCompileBase;
};

// ---- Scanner -------------------------------------------------------------------------------

enum class Tok { End, Name, Number, Text, Sym };

struct Token {
    Tok Kind = Tok::End;
    std::u16string Text;
    std::int32_t Pos = 0;  // 1-based source position
    bool Is(const char16_t* s) const { return (Kind == Tok::Sym || Kind == Tok::Name) && Text == s; }
};

inline std::vector<Token> Scan(const UString& src) {
    std::vector<Token> out;
    const std::u16string_view s = src.view();
    std::size_t i = 0;
    auto isAlpha = [](char16_t c) { return c < 128 && (std::isalpha(c) || c == u'_'); };
    auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    while (i < s.size()) {
        const char16_t c = s[i];
        const auto pos = static_cast<std::int32_t>(i + 1);
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') {
            ++i;
        } else if (isAlpha(c)) {
            std::size_t j = i;
            while (j < s.size() && (isAlpha(s[j]) || isDigit(s[j]))) ++j;
            out.push_back({Tok::Name, std::u16string(s.substr(i, j - i)), pos});
            i = j;
        } else if (isDigit(c)) {
            std::size_t j = i;
            while (j < s.size() && isDigit(s[j])) ++j;
            out.push_back({Tok::Number, std::u16string(s.substr(i, j - i)), pos});
            i = j;
        } else if (c == u'\'') {
            const std::size_t close = s.find(u'\'', i + 1);
            if (close == std::u16string_view::npos) plat::Throw<ETestCompiler>(u"Unterminated text", pos);
            out.push_back({Tok::Text, std::u16string(s.substr(i + 1, close - i - 1)), pos});
            i = close + 1;
        } else if (std::u16string_view(u"()+-*=;,").find(c) != std::u16string_view::npos) {
            out.push_back({Tok::Sym, std::u16string(1, c), pos});
            ++i;
        } else {
            plat::Throw<ETestCompiler>(u"Illegal character", pos);
        }
    }
    out.push_back({Tok::End, u"", static_cast<std::int32_t>(s.size() + 1)});
    return out;
}

// ---- Syntax trees --------------------------------------------------------------------------

using Node = std::unique_ptr<IXANEmitable>;

inline std::int32_t Id(const std::u16string& name) { return GlobalNameTable().GetNameIndex(name, true); }

struct Literal : IXANEmitable {
    Variant Value;
    explicit Literal(Variant v) : Value(std::move(v)) { ++LiveCount(); }
    ~Literal() override { --LiveCount(); }
    // Literals alive right now: tests check that compiling, failed or not, leaves no tree behind.
    static int& LiveCount() {
        static int count = 0;
        return count;
    }
    void Emit(TXANAbstractNamespace*, TXANByteCode* bc) override { bc->Emit(icPushLiteral, bc->AddLiteral(Value)); }
};

struct Binary : IXANEmitable {
    TXANInstrCode Op;
    Node L, R;
    Binary(TXANInstrCode op, Node l, Node r) : Op(op), L(std::move(l)), R(std::move(r)) {}
    void Emit(TXANAbstractNamespace* ns, TXANByteCode* bc) override {
        L->Emit(ns, bc);
        R->Emit(ns, bc);
        bc->Emit(Op);
    }
};

// A name, with or without an argument list; a call when it is not a local at compile time.
struct NameRef : IXANEmitable {
    std::u16string Name;
    bool HasParens = false;
    std::vector<Node> Args;
    std::int32_t Pos = 0;
    bool ResultUsed = true;

    void Emit(TXANAbstractNamespace* ns, TXANByteCode* bc) override {
        if (Name == u"emitfail") plat::Throw<ETestCompiler>(u"Cannot emit", Pos);
        std::int32_t old;
        bc->BeginSourcePos(Pos, old);
        const TXANNameSearchRes r = ns->CompileTimeFind(Id(Name));
        if (!HasParens && r.ObjKind == srParam) {
            bc->Emit(icPushArg, r.ParamInfo);
        } else if (!HasParens && r.ObjKind == srResult) {
            bc->Emit(icPushResult);
        } else {
            bc->Emit(icPush, std::uintptr_t(1));
            for (auto& a : Args) a->Emit(ns, bc);
            bc->Emit(icGlobCall, bc->AddCall(Id(Name), UString(Name), HasParens ? bkRound : bkNon,
                                             std::int32_t(Args.size()), false, false, ResultUsed));
        }
        bc->EndSourcePos(old);
    }
};

struct Statement : IXANEmitable {
    std::int32_t Pos = 0;
    virtual void EmitBody(TXANAbstractNamespace* ns, TXANByteCode* bc) = 0;
    void Emit(TXANAbstractNamespace* ns, TXANByteCode* bc) override {
        std::int32_t old;
        bc->BeginSourcePos(Pos, old);
        bc->SetNextInstrBreakable();
        EmitBody(ns, bc);
        bc->EndSourcePos(old);
    }
};

struct AssignStmt : Statement {
    std::u16string Name;
    Node Value;
    void EmitBody(TXANAbstractNamespace* ns, TXANByteCode* bc) override {
        const TXANNameSearchRes r = ns->CompileTimeFind(Id(Name));
        Value->Emit(ns, bc);
        if (r.ObjKind == srParam)
            bc->Emit(icAssignArg, r.ParamInfo);
        else if (r.ObjKind == srResult)
            bc->Emit(icAssignResult);
        else
            bc->Emit(icAssignGlobCall, bc->AddCall(Id(Name), UString(Name), bkNon, 0, false, true, false));
    }
};

struct ExprStmt : Statement {
    Node Expr;
    void EmitBody(TXANAbstractNamespace* ns, TXANByteCode* bc) override {
        Expr->Emit(ns, bc);
        bc->Emit(icPop);
    }
};

struct ReturnStmt : Statement {
    Node Value;
    void EmitBody(TXANAbstractNamespace* ns, TXANByteCode* bc) override {
        Value->Emit(ns, bc);
        bc->Emit(icAssignResult);
        bc->Emit(icRet);
    }
};

struct RaiseStmt : Statement {
    Node Value;
    void EmitBody(TXANAbstractNamespace* ns, TXANByteCode* bc) override {
        Value->Emit(ns, bc);
        bc->Emit(icRaise);
    }
};

// try Body except Handler end: the handler runs with the exception state in two locals.
struct TryStmt : Statement {
    std::vector<Node> Body, Handler;
    std::uintptr_t StateSlot = 0;  // set while emitting, read by exc and reraise inside Handler
    void EmitBody(TXANAbstractNamespace* ns, TXANByteCode* bc) override {
        TXANTry* block = bc->BeginProtectedBlock();
        block->FHandlerLabel = bc->CreateLabel();
        block->FExceptionVar = bc->AddLocalVarArray(2);
        StateSlot = std::uintptr_t(block->FExceptionVar);
        TXANLabel* end = bc->CreateLabel();
        bc->ManualResetNextInstrBreakable();
        for (auto& s : Body) s->Emit(ns, bc);
        bc->EndProtectedBlock();
        bc->Emit(icJump, end);
        bc->BeginExcHdrCode(block);
        bc->BindLabel(block->FHandlerLabel);
        bc->Emit(icSetNamespace, ns);
        for (auto& s : Handler) s->Emit(ns, bc);
        bc->Emit(icExceptDone);
        bc->Emit(icJump, end);
        bc->EndExcHdrCode(block);
        bc->BindLabel(end);
    }
};

struct ExcRef : IXANEmitable {
    TryStmt* Owner;
    explicit ExcRef(TryStmt* owner) : Owner(owner) {}
    void Emit(TXANAbstractNamespace*, TXANByteCode* bc) override { bc->Emit(icExceptToVar, Owner->StateSlot); }
};

struct ReraiseStmt : Statement {
    TryStmt* Owner = nullptr;
    void EmitBody(TXANAbstractNamespace*, TXANByteCode* bc) override { bc->Emit(isReraise, Owner->StateSlot); }
};

// The initialiser of a global variable or constant.
struct GlobalInit : Statement {
    TXANGlobalValuedObject* Target = nullptr;
    Node Value;
    void EmitBody(TXANAbstractNamespace* ns, TXANByteCode* bc) override {
        Value->Emit(ns, bc);
        bc->Emit(Target->GetGlobalObjType() == gtConst ? icAssignGlobalConst : icAssignGlobalVar, Target);
    }
};

// ---- Procedures ----------------------------------------------------------------------------

class ProcNamespace : public TXANAbstractNamespace {
public:
    ProcNamespace(TXANAbstractNamespace* parent, const std::vector<std::u16string>& params, bool isFunc)
        : TXANAbstractNamespace(parent), FParams(params), FIsFunc(isFunc) {}

    TXANNameSearchRes CompileTimeFind(Integer AName) override {
        for (std::size_t i = 0; i < FParams.size(); ++i)
            if (Id(FParams[i]) == AName) return TXANNameSearchRes::Param({std::uint16_t(i), pkSimple});
        if (FIsFunc && AName == Id(u"result")) return TXANNameSearchRes::Result();
        return TXANNameSearchRes::NotFound();
    }
    TXANNameSearchRes Find(TXANThread* t, Integer AName, const UString* AStrName) override {
        TXANNameSearchRes r = CompileTimeFind(AName);
        return r.ObjKind != srNotFound ? r : FParent->Find(t, AName, AStrName);
    }
    void EnumDebugVars(bool, const TXANNamespaceEnumVarsProc&) override {}

private:
    std::vector<std::u16string> FParams;
    bool FIsFunc;
};

class Proc : public TXANProcObject {
public:
    Proc(const std::u16string& name, bool isFunc, std::int32_t pos)
        : TXANProcObject(Id(name), UString(name)), FIsFunc(isFunc), FPos(pos) {
        if (isFunc) FResMask = XANResMaskValue;
    }
    void AddParam(const std::u16string& p) {
        FParams.push_back(p);
        TXANProcObject::AddParam(pkSimple);
    }
    std::vector<Node> Body;
    std::int32_t EndPos = 0;

    void EmitByteCode(TXANAbstractNamespace* AGlobalNamespace) override {
        FNamespace = std::make_unique<ProcNamespace>(AGlobalNamespace, FParams, FIsFunc);
        FByteCode->BeginEmit(FStrName, FNamespace.get(), FPos);
        for (auto& s : Body) s->Emit(FNamespace.get(), FByteCode.get());
        std::int32_t old;
        FByteCode->BeginSourcePos(EndPos, old);
        FByteCode->SetNextInstrBreakable();
        FByteCode->Emit(icRet);
        FByteCode->EndSourcePos(old);
        FByteCode->EndEmit();
    }
    void ReleaseSyntax() noexcept override { Body.clear(); }

private:
    std::vector<std::u16string> FParams;
    bool FIsFunc;
    std::int32_t FPos;
    std::unique_ptr<ProcNamespace> FNamespace;
};

// ---- Parser --------------------------------------------------------------------------------

class Parser : public IXANParserBase {
public:
    explicit Parser(IXANParserCallbacks* cb) : FCallbacks(cb) {}

    void Parse(const UString& src) override {
        Start(src);
        while (Cur().Kind != Tok::End) {
            if (Cur().Is(u"var") || Cur().Is(u"const"))
                ParseGlobal();
            else if (Cur().Is(u"func") || Cur().Is(u"proc"))
                ParseProc();
            else
                FCallbacks->GlobalStmtParsed(ParseStatement());
        }
    }
    Node ParseStmt(const UString& src) override {
        Start(src);
        Node s = ParseStatement();
        ExpectEnd();
        return s;
    }
    Node ParseExpr(const UString& src) override {
        Start(src);
        Node e = ParseExpression();
        ExpectEnd();
        return e;
    }

private:
    void Start(const UString& src) {
        FToks = Scan(src);
        FAt = 0;
    }
    const Token& Cur() const { return FToks[FAt]; }
    Token Next() { return FToks[FAt++]; }
    [[noreturn]] void Fail(const char16_t* msg) const { plat::Throw<ETestCompiler>(msg, Cur().Pos); }
    void Expect(const char16_t* sym) {
        if (!Cur().Is(sym)) Fail((std::u16string(u"'") + sym + u"' expected").c_str());
        ++FAt;
    }
    void ExpectEnd() {
        if (Cur().Kind != Tok::End) Fail(u"End of text expected");
    }
    std::u16string ExpectName() {
        if (Cur().Kind != Tok::Name) Fail(u"Identifier expected");
        return Next().Text;
    }

    void Declare(std::unique_ptr<TXANGlobalObject> obj, std::int32_t pos) {
        bool duplicate = false;
        FCallbacks->GlobalObjParsed(obj, duplicate);
        if (duplicate) plat::Throw<ETestCompiler>(u"Identifier redeclared", pos);
    }

    void ParseGlobal() {
        const bool isConst = Next().Is(u"const");
        const std::int32_t pos = Cur().Pos;
        const std::u16string name = ExpectName();
        std::unique_ptr<TXANGlobalObject> obj;
        if (isConst)
            obj = std::make_unique<TXANConstObject>(Id(name), UString(name));
        else
            obj = std::make_unique<TXANVarObject>(Id(name), UString(name));
        auto* valued = static_cast<TXANGlobalValuedObject*>(obj.get());
        Node init;
        if (isConst || Cur().Is(u"=")) {
            Expect(u"=");
            init = ParseExpression();
        }
        Expect(u";");
        Declare(std::move(obj), pos);
        if (init) {
            auto stmt = std::make_unique<GlobalInit>();
            stmt->Pos = pos;
            stmt->Target = valued;
            stmt->Value = std::move(init);
            FCallbacks->GlobalStmtParsed(std::move(stmt));
        }
    }

    void ParseProc() {
        const bool isFunc = Next().Is(u"func");
        const std::int32_t pos = Cur().Pos;
        auto proc = std::make_unique<Proc>(ExpectName(), isFunc, pos);
        Expect(u"(");
        if (!Cur().Is(u")")) {
            proc->AddParam(ExpectName());
            while (Cur().Is(u",")) {
                ++FAt;
                proc->AddParam(ExpectName());
            }
        }
        Expect(u")");
        while (!Cur().Is(u"end")) {
            if (Cur().Kind == Tok::End) Fail(u"'end' expected");
            proc->Body.push_back(ParseStatement());
        }
        proc->EndPos = Next().Pos;
        Expect(u";");
        Declare(std::move(proc), pos);
    }

    TryStmt* CurrentHandler() const {
        if (FHandlers.empty()) Fail(u"Not inside an except part");
        return FHandlers.back();
    }

    Node ParseTry(std::int32_t pos) {
        auto t = std::make_unique<TryStmt>();
        t->Pos = pos;
        while (!Cur().Is(u"except")) {
            if (Cur().Kind == Tok::End) Fail(u"'except' expected");
            t->Body.push_back(ParseStatement());
        }
        ++FAt;
        FHandlers.push_back(t.get());
        while (!Cur().Is(u"end")) {
            if (Cur().Kind == Tok::End) Fail(u"'end' expected");
            t->Handler.push_back(ParseStatement());
        }
        FHandlers.pop_back();
        ++FAt;
        Expect(u";");
        return t;
    }

    Node ParseStatement() {
        const std::int32_t pos = Cur().Pos;
        if (Cur().Is(u"try")) {
            ++FAt;
            return ParseTry(pos);
        }
        if (Cur().Is(u"reraise")) {
            ++FAt;
            auto s = std::make_unique<ReraiseStmt>();
            s->Pos = pos;
            s->Owner = CurrentHandler();
            Expect(u";");
            return s;
        }
        if (Cur().Is(u"return") || Cur().Is(u"raise")) {
            const bool isReturn = Next().Is(u"return");
            Node value = ParseExpression();
            Expect(u";");
            if (isReturn) {
                auto s = std::make_unique<ReturnStmt>();
                s->Pos = pos;
                s->Value = std::move(value);
                return s;
            }
            auto s = std::make_unique<RaiseStmt>();
            s->Pos = pos;
            s->Value = std::move(value);
            return s;
        }
        if (Cur().Kind == Tok::Name && FToks[FAt + 1].Is(u"=")) {
            auto s = std::make_unique<AssignStmt>();
            s->Pos = pos;
            s->Name = Next().Text;
            ++FAt;
            s->Value = ParseExpression();
            Expect(u";");
            return s;
        }
        auto s = std::make_unique<ExprStmt>();
        s->Pos = pos;
        s->Expr = ParseExpression();
        if (auto* call = dynamic_cast<NameRef*>(s->Expr.get())) call->ResultUsed = false;
        Expect(u";");
        return s;
    }

    Node ParseExpression() {
        Node left = ParseTerm();
        while (Cur().Is(u"+") || Cur().Is(u"-")) {
            const TXANInstrCode op = Next().Is(u"+") ? icPlus : icMinus;
            left = std::make_unique<Binary>(op, std::move(left), ParseTerm());
        }
        return left;
    }
    Node ParseTerm() {
        Node left = ParseFactor();
        while (Cur().Is(u"*")) {
            ++FAt;
            left = std::make_unique<Binary>(icMultiply, std::move(left), ParseFactor());
        }
        return left;
    }
    Node ParseFactor() {
        const Token t = Cur();
        if (t.Kind == Tok::Number) {
            ++FAt;
            return std::make_unique<Literal>(Variant(std::stoi(std::string(t.Text.begin(), t.Text.end()))));
        }
        if (t.Kind == Tok::Text) {
            ++FAt;
            return std::make_unique<Literal>(Variant(UString(t.Text)));
        }
        if (t.Is(u"(")) {
            ++FAt;
            Node e = ParseExpression();
            Expect(u")");
            return e;
        }
        if (t.Kind != Tok::Name) Fail(u"Expression expected");
        if (t.Is(u"exc")) {
            ++FAt;
            return std::make_unique<ExcRef>(CurrentHandler());
        }
        auto ref = std::make_unique<NameRef>();
        ref->Pos = t.Pos;
        ref->Name = Next().Text;
        if (Cur().Is(u"(")) {
            ++FAt;
            ref->HasParens = true;
            if (!Cur().Is(u")")) {
                ref->Args.push_back(ParseExpression());
                while (Cur().Is(u",")) {
                    ++FAt;
                    ref->Args.push_back(ParseExpression());
                }
            }
            Expect(u")");
        }
        return ref;
    }

    IXANParserCallbacks* FCallbacks;
    std::vector<TryStmt*> FHandlers;  // the except parts being parsed, innermost last
    std::vector<Token> FToks;
    std::size_t FAt = 0;
};

// ---- Built-ins and the language ------------------------------------------------------------

struct Twice : TIntrinsic {
    Twice() : TIntrinsic(Id(u"Twice"), u"Twice") {}
    void Execute(TXANVMBase*, TXANCall* call, PXANVarArray args, Variant& result) override {
        if (call->FArgCount != 1) plat::Throw<plat::Exception>(u"Twice takes one argument");
        Variant r;
        plat::VarBinaryOp(r, args[0].Deref(), args[0].Deref(), plat::VarOp::Add);
        result.MoveFrom(r);
    }
};

// Closes the machine that runs it (which must be refused).
struct CloseMe : TIntrinsic {
    CloseMe() : TIntrinsic(Id(u"CloseMe"), u"CloseMe") {}
    void Execute(TXANVMBase* vm, TXANCall*, PXANVarArray, Variant&) override { static_cast<TXANVirtMachine*>(vm)->Close(); }
};

struct Shadow : TIntrinsic {
    Shadow() : TIntrinsic(Id(u"Shadow"), u"Shadow") {}
    void Execute(TXANVMBase*, TXANCall*, PXANVarArray, Variant& result) override { result = Variant(u"builtin"); }
};

class Language : public IXANLanguage {
public:
    static Language* Create() { return new Language(); }

    plat::HRESULT QueryInterface(const plat::TGUID&, void** out) noexcept override {
        *out = nullptr;
        return plat::E_NOINTERFACE;
    }
    std::uint32_t AddRef() noexcept override { return ++FRefs; }
    std::uint32_t Release() noexcept override {
        const std::uint32_t left = --FRefs;
        if (left == 0) delete this;
        return left;
    }

    std::unique_ptr<IXANParserBase> CreateParser(IXANParserCallbacks* cb) override { return std::make_unique<Parser>(cb); }
    std::span<const TXANBuiltin> Builtins() override {
        static constexpr TXANBuiltin builtins[] = {
            {u"Twice", XANMakeIntrinsic<Twice>},
            {u"Shadow", XANMakeIntrinsic<Shadow>},
            {u"CloseMe", XANMakeIntrinsic<CloseMe>},
        };
        return builtins;
    }
    void GetUnassignedText(UString& S) override { S = u"Unassigned"; }
    void GetNilText(UString& S) override { S = u"nil"; }
    void GetNullText(UString& S) override { S = u"Null"; }
    void QuoteString(const UString& AText, UString& S) override { S = QuoteDoubling(AText, u'\''); }

    std::uint32_t RefCount() const noexcept { return FRefs; }

private:
    Language() = default;
    virtual ~Language() = default;
    std::uint32_t FRefs = 1;
};

}  // namespace xan::testlang
