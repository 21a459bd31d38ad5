#include "activescript/plugins/perl/PerlDebug.h"

#include <cctype>
#include <cstring>
#include <functional>
#include <map>

#include "activescript/debug/DebugIntf.h"
#include "platform/text/NumText.h"

namespace xan::as::perl {

using plat::UString;

namespace {

constexpr const char* KCodeLinesSub = "Velmora::_code_lines";
// Array elements and hash entries shown under an expanded variable.
constexpr SSize_t KMaxChildren = 1000;

bool InScriptFile(const COP* ACop) {
    const char* file = CopFILE(ACop);
    return file && std::strcmp(file, KScriptFile) == 0;
}

Integer AdapterLine(const COP* ACop) { return static_cast<Integer>(CopLINE(ACop)) - 1; }

// Whether ACop is the statement a breakpoint on its line stops at: the one the compiler keeps in
// the breakable-line data (the line's last), so a line of several statements stops once.
bool IsLineStatement(pTHX_ const COP* ACop) {
    SV** element = av_fetch(get_av("main::_<script", GV_ADD), static_cast<SSize_t>(CopLINE(ACop)), 0);
    return !element || !SvIOK(*element) || SvIVX(*element) == PTR2IV(ACop);
}

// The sub activations on the interpreter's context stacks: how deep the running code is.
Integer SubDepth(pTHX) {
    Integer depth = 0;
    for (PERL_SI* si = PL_curstackinfo; si; si = si->si_prev)
        for (I32 ix = si->si_cxix; ix >= 0; --ix)
            if (CxTYPE(&si->si_cxstack[ix]) == CXt_SUB) ++depth;
    return depth;
}

UString SubName(pTHX_ CV* ACv) {
    GV* gv = CvGV(ACv);
    if (!gv) return UString(u"__ANON__");
    const char* package = GvSTASH(gv) ? HvNAME(GvSTASH(gv)) : nullptr;
    std::string name = package && std::strcmp(package, "main") != 0 ? std::string(package) + "::" : std::string();
    name.append(GvNAME(gv), GvNAMELEN(gv));
    return UString::FromUtf8(name);
}

// Whether a pad name is in scope at the statement with sequence number ASeq.
bool InScope(PADNAME* AName, U32 ASeq) {
    if (PadnameOUTER(AName)) return true;
    const U32 low = COP_SEQ_RANGE_LOW(AName), high = COP_SEQ_RANGE_HIGH(AName);
    return low != PERL_PADSEQ_INTRO && ASeq > low && ASeq <= high;
}

struct TLexical {
    std::string Name;  // with its sigil
    SV* Value;
};

// The lexical variables of an activation in scope at its statement, inner declarations over
// outer ones of the same name.
std::vector<TLexical> LexicalsOf(pTHX_ CV* ACv, I32 ADepth, U32 ASeq) {
    std::vector<TLexical> list;
    PADLIST* padlist = ACv ? CvPADLIST(ACv) : nullptr;
    if (!padlist || ADepth < 1 || ADepth > PadlistMAX(padlist)) return list;
    PADNAMELIST* names = PadlistNAMES(padlist);
    PAD* pad = PadlistARRAY(padlist)[ADepth];
    if (!pad) return list;
    std::map<std::string, std::size_t> index;
    for (SSize_t i = 1; i <= PadnamelistMAX(names) && i <= AvFILLp(pad); ++i) {
        PADNAME* name = PadnamelistARRAY(names)[i];
        if (!name || !PadnamePV(name) || PadnameLEN(name) < 2 || PadnameIsOUR(name)) continue;
        const char sigil = PadnamePV(name)[0];
        if ((sigil != '$' && sigil != '@' && sigil != '%') || !InScope(name, ASeq)) continue;
        SV* value = PadARRAY(pad)[i];
        if (!value) continue;
        std::string text(PadnamePV(name), PadnameLEN(name));
        if (auto found = index.find(text); found != index.end()) list[found->second].Value = value;
        else {
            index.emplace(text, list.size());
            list.push_back({std::move(text), value});
        }
    }
    return list;
}

// Package variables of main the script made: not Perl's special variables, stashes, file
// records, handles or subs.
bool IsScriptGlobal(const std::string& AName) {
    static const std::set<std::string> special = {"ENV", "INC", "ARGV", "ARGVOUT", "STDIN", "STDOUT", "STDERR",
                                                  "a", "b", "_", "0", "Null", "AUTOLOAD", "BEGIN", "END"};
    if (AName.empty() || !(std::isalpha(static_cast<unsigned char>(AName[0])) || AName[0] == '_')) return false;
    if (AName.find("::") != std::string::npos || AName.rfind("_<", 0) == 0) return false;
    return special.count(AName) == 0;
}

// The text of a plain value.
UString PlainText(pTHX_ SV* ASv) {
    if (!SvOK(ASv)) return UString(u"undef");
    return TextOf(aTHX_ ASv);
}

UString PlainType(SV* ASv) {
    if (!SvOK(ASv)) return UString(u"undef");
    if (SvIOK(ASv)) return UString(u"Integer");
    if (SvNOK(ASv)) return UString(u"Number");
    return UString(u"String");
}

// An unblessed, untied array or hash that can be listed without running script code.
bool IsContainer(SV* ATarget) {
    return (SvTYPE(ATarget) == SVt_PVAV || SvTYPE(ATarget) == SVt_PVHV) && !SvOBJECT(ATarget) && !SvRMAGICAL(ATarget);
}

class TPerlVar final : public TLanguageDebugVar {
public:
    // AContainer: the array or hash whose elements are the children (none for a leaf).
    TPerlVar(TPerlDebug& AOwner, SV* AContainer) : FOwner(AOwner), FGeneration(AOwner.Generation()), FContainer(AContainer) {
        Attributes = OBJECT_ATTRIB_ACCESS_PUBLIC;
    }
    bool Expandable() const override { return FContainer != nullptr; }
    std::vector<TLanguageDebugVarRef> Children() override;

    static TLanguageDebugVarRef Of(TPerlDebug& AOwner, pTHX_ const UString& AName, SV* AValue, bool AExpand);

private:
    TPerlDebug& FOwner;
    unsigned FGeneration;
    SV* FContainer;
};

// A variable for AValue (a scalar, an array or a hash); arrays, hashes and references to them
// are expandable one level when AExpand.
TLanguageDebugVarRef TPerlVar::Of(TPerlDebug& AOwner, pTHX_ const UString& AName, SV* AValue, bool AExpand) {
    SV* container = nullptr;
    UString type, value;
    if (SvTYPE(AValue) == SVt_PVAV || SvTYPE(AValue) == SVt_PVHV) {
        const bool array = SvTYPE(AValue) == SVt_PVAV;
        type = UString(array ? u"ARRAY" : u"HASH");
        const SSize_t count = array ? av_top_index(reinterpret_cast<AV*>(AValue)) + 1
                                    : static_cast<SSize_t>(HvUSEDKEYS(reinterpret_cast<HV*>(AValue)));
        value = UString(u"(") + plat::IntToStr(static_cast<Integer>(count)) + UString(array ? u" elements)" : u" keys)");
        if (AExpand && IsContainer(AValue)) container = AValue;
    } else if (SvROK(AValue)) {
        SV* target = SvRV(AValue);
        type = SvOBJECT(target) ? UString::FromUtf8(sv_reftype(target, 1)) : UString::FromUtf8(sv_reftype(target, 0));
        value = TextOf(aTHX_ AValue);
        if (AExpand && IsContainer(target)) container = target;
    } else {
        type = PlainType(AValue);
        value = PlainText(aTHX_ AValue);
    }
    auto var = std::make_shared<TPerlVar>(AOwner, container);
    var->Name = AName;
    var->Type = std::move(type);
    var->Value = std::move(value);
    return var;
}

std::vector<TLanguageDebugVarRef> TPerlVar::Children() {
    std::vector<TLanguageDebugVarRef> list;
    if (!FContainer || FGeneration != FOwner.Generation()) return list;
    TPerlContext context(FOwner.Interp());
    dTHXa(FOwner.Interp());
    TPerlScope scope(FOwner.Interp());
    if (SvTYPE(FContainer) == SVt_PVAV) {
        AV* array = reinterpret_cast<AV*>(FContainer);
        for (SSize_t i = 0; i <= av_top_index(array) && i < KMaxChildren; ++i) {
            SV** element = av_fetch(array, i, 0);
            const UString name = UString(u"[") + plat::IntToStr(static_cast<Integer>(i)) + UString(u"]");
            list.push_back(Of(FOwner, aTHX_ name, element ? *element : &PL_sv_undef, false));
        }
        return list;
    }
    HV* hash = reinterpret_cast<HV*>(FContainer);
    hv_iterinit(hash);
    while (HE* entry = hv_iternext(hash)) {
        if (static_cast<SSize_t>(list.size()) >= KMaxChildren) break;
        list.push_back(Of(FOwner, aTHX_ TextOf(aTHX_ hv_iterkeysv(entry)), hv_iterval(hash, entry), false));
    }
    return list;
}

class TRootVar final : public TLanguageDebugVar {
public:
    explicit TRootVar(std::vector<TLanguageDebugVarRef> AChildren) : FChildren(std::move(AChildren)) {}
    bool Expandable() const override { return true; }
    std::vector<TLanguageDebugVarRef> Children() override { return FChildren; }

private:
    std::vector<TLanguageDebugVarRef> FChildren;
};

// A scalar is shown (and may be written in expressions) by its bare name, as the debugger's
// other languages write variables; arrays and hashes keep their sigils.
UString DisplayName(const std::string& ANameWithSigil) {
    return UString::FromUtf8(ANameWithSigil[0] == '$' ? ANameWithSigil.substr(1) : ANameWithSigil);
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// AExpr with every bare word that stands where a term is expected and names one of AScalars
// turned into that scalar ("n * 10" -> "$n * 10"). Quoted strings, sigiled names, hash keys
// ({name}), calls (name(...)), fat commas and method names are left alone.
// A call of a published object's name (NAME(args)) calls its default member
// ($main::NAME->(args)), as the debugger's conditions are written.
std::string WithScalarsNamed(const std::string& AExpr, const std::set<std::string>& AScalars,
                             const std::function<bool(const std::string&)>& AIsObject) {
    static const std::set<std::string> operators = {"x", "lt", "gt", "le", "ge", "eq", "ne", "cmp", "and", "or", "not", "xor"};
    std::string out;
    bool termExpected = true;
    for (std::size_t i = 0; i < AExpr.size();) {
        const char c = AExpr[i];
        if (c == '"' || c == '\'') {
            std::size_t end = i + 1;
            while (end < AExpr.size() && AExpr[end] != c) end += AExpr[end] == '\\' ? 2 : 1;
            end = std::min(end + 1, AExpr.size());
            out.append(AExpr, i, end - i);
            i = end;
            termExpected = false;
        } else if ((c == '$' || c == '@' || c == '%' || c == '&') && i + 1 < AExpr.size() &&
                   (IsWordChar(AExpr[i + 1]) || AExpr[i + 1] == ':' || AExpr[i + 1] == '{' || AExpr[i + 1] == '$')) {
            std::size_t end = i + 1;
            while (end < AExpr.size() && (IsWordChar(AExpr[end]) || AExpr[end] == ':')) ++end;
            out.append(AExpr, i, end - i);
            termExpected = end == i + 1;  // ${...} or $$ref: the name follows
            i = end;
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t end = i;
            while (end < AExpr.size() && (IsWordChar(AExpr[end]) || (AExpr[end] == ':' && end + 1 < AExpr.size() && AExpr[end + 1] == ':')))
                end += AExpr[end] == ':' ? 2 : 1;
            const std::string word = AExpr.substr(i, end - i);
            std::size_t next = end;
            while (next < AExpr.size() && std::isspace(static_cast<unsigned char>(AExpr[next]))) ++next;
            const bool call = next < AExpr.size() && AExpr[next] == '(';
            const bool fatComma = AExpr.compare(next, 2, "=>") == 0;
            const bool key = !out.empty() && out.back() == '{' && next < AExpr.size() && AExpr[next] == '}';
            const bool method = out.size() >= 2 && out.compare(out.size() - 2, 2, "->") == 0;
            if (termExpected && call && !method && AIsObject(word)) {
                out.append("$main::").append(word).append("->");
                termExpected = true;
            } else if (termExpected && !call && !fatComma && !key && !method && AScalars.count(word)) {
                out.append("$").append(word);
                termExpected = false;
            } else {
                out.append(word);
                // After a method name an operator follows; after an operator word or a function
                // name, a term.
                termExpected = !method && (!termExpected ? operators.count(word) != 0 : true);
            }
            i = end;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t end = i;
            while (end < AExpr.size() && (IsWordChar(AExpr[end]) || AExpr[end] == '.')) ++end;
            out.append(AExpr, i, end - i);
            i = end;
            termExpected = false;
        } else {
            out.push_back(c);
            ++i;
            if (std::isspace(static_cast<unsigned char>(c))) continue;
            termExpected = !(c == ')' || c == ']' || c == '}');
        }
    }
    return out;
}

// Perl's " at expression line 1." (and what follows) is dropped from an evaluation's message.
UString EvaluationMessage(pTHX_ SV* AError) {
    std::string text = TextOf(aTHX_ AError).ToUtf8();
    if (const std::size_t at = text.find(" at expression line "); at != std::string::npos) text.erase(at);
    while (!text.empty() && (text.back() == '\n' || text.back() == '.')) text.pop_back();
    return UString::FromUtf8(text);
}

struct TActivation {
    CV* Cv = nullptr;
    I32 Depth = 1;
    const COP* Cop = nullptr;  // the statement the activation is at
    UString Name;
    bool TopLevel = false;
};

// The interpreter's sub and string-eval activations, innermost first; the outermost string
// eval is the script's top level.
std::vector<TActivation> Activations(pTHX) {
    std::vector<TActivation> list;
    const COP* cop = PL_curcop;
    for (PERL_SI* si = PL_curstackinfo; si; si = si->si_prev)
        for (I32 ix = si->si_cxix; ix >= 0; --ix) {
            PERL_CONTEXT* cx = &si->si_cxstack[ix];
            if (CxTYPE(cx) == CXt_SUB) {
                list.push_back({cx->blk_sub.cv, cx->blk_sub.olddepth + 1, cop, SubName(aTHX_ cx->blk_sub.cv), false});
            } else if (CxTYPE(cx) == CXt_EVAL && !CxTRYBLOCK(cx) && CxOLD_OP_TYPE(cx) == OP_ENTEREVAL) {
                list.push_back({cx->blk_eval.cv, 1, cop, UString(u"(eval)"), false});
            } else {
                continue;
            }
            cop = cx->blk_oldcop;
        }
    if (!list.empty() && list.back().Name == u"(eval)") {
        list.back().Name = UString(u"main");
        list.back().TopLevel = true;
    }
    return list;
}

class TPerlFrame final : public TLanguageFrame {
public:
    TPerlFrame(TPerlDebug& AOwner, TActivation AActivation)
        : FOwner(AOwner), FGeneration(AOwner.Generation()), FAct(std::move(AActivation)), FLine(AdapterLine(FAct.Cop)) {}
    UString Description(bool ALong) override {
        if (!ALong) return FAct.Name;
        return FAct.Name + UString(u", line: ") + plat::IntToStr(FLine);
    }
    Integer Line() override { return FLine; }
    TLanguageDebugVarRef Variables() override;
    TLanguageEvalResult Evaluate(const UString& AExpr) override;

private:
    bool Live() const noexcept { return FGeneration == FOwner.Generation(); }
    std::vector<TLexical> Lexicals(pTHX) const { return LexicalsOf(aTHX_ FAct.Cv, FAct.Depth, FAct.Cop->cop_seq); }
    void AddGlobals(pTHX_ std::vector<TLanguageDebugVarRef>& AList) const;
    // The text that evaluates AExpr with the activation's lexicals bound by name.
    std::string EvaluationText(pTHX_ const std::string& AExpr, const std::vector<TLexical>& ALexicals) const;

    TPerlDebug& FOwner;
    unsigned FGeneration;
    TActivation FAct;
    Integer FLine;
};

TLanguageDebugVarRef TPerlFrame::Variables() {
    std::vector<TLanguageDebugVarRef> list;
    if (Live()) {
        TPerlContext context(FOwner.Interp());
        dTHXa(FOwner.Interp());
        TPerlScope scope(FOwner.Interp());
        for (const TLexical& l : Lexicals(aTHX)) list.push_back(TPerlVar::Of(FOwner, aTHX_ DisplayName(l.Name), l.Value, true));
        if (FAct.TopLevel) AddGlobals(aTHX_ list);
    }
    return std::make_shared<TRootVar>(std::move(list));
}

void TPerlFrame::AddGlobals(pTHX_ std::vector<TLanguageDebugVarRef>& AList) const {
    HV* stash = PL_defstash;
    hv_iterinit(stash);
    std::map<std::string, GV*> globals;  // in name order
    while (HE* entry = hv_iternext(stash)) {
        SV* value = hv_iterval(stash, entry);
        if (SvTYPE(value) != SVt_PVGV || !isGV_with_GP(value)) continue;
        I32 len = 0;
        const std::string name(hv_iterkey(entry, &len), static_cast<std::size_t>(len));
        if (IsScriptGlobal(name)) globals.emplace(name, reinterpret_cast<GV*>(value));
    }
    for (const auto& [name, gv] : globals) {
        if (GvSV(gv) && (SvOK(GvSV(gv)) || SvROK(GvSV(gv)))) AList.push_back(TPerlVar::Of(FOwner, aTHX_ UString::FromUtf8(name), GvSV(gv), true));
        if (GvAV(gv)) AList.push_back(TPerlVar::Of(FOwner, aTHX_ UString::FromUtf8("@" + name), reinterpret_cast<SV*>(GvAV(gv)), true));
        if (GvHV(gv)) AList.push_back(TPerlVar::Of(FOwner, aTHX_ UString::FromUtf8("%" + name), reinterpret_cast<SV*>(GvHV(gv)), true));
    }
}

std::string TPerlFrame::EvaluationText(pTHX_ const std::string& AExpr, const std::vector<TLexical>& ALexicals) const {
    const char* package = CopSTASH(FAct.Cop) && HvNAME(CopSTASH(FAct.Cop)) ? HvNAME(CopSTASH(FAct.Cop)) : "main";
    std::string text = std::string("package ") + package + "; no strict; no warnings; use feature 'refaliasing';\n";
    std::set<std::string> scalars;
    for (std::size_t i = 0; i < ALexicals.size(); ++i) {
        text.append("\\my ").append(ALexicals[i].Name).append(" = $DB::VelmoraFrame[").append(std::to_string(i)).append("];\n");
        if (ALexicals[i].Name[0] == '$') scalars.insert(ALexicals[i].Name.substr(1));
    }
    const auto isObject = [&](const std::string& AName) {
        const std::string name = "main::" + AName;
        if (get_cv(name.c_str(), 0)) return false;
        SV* value = get_sv(name.c_str(), 0);
        return value && ObjectOf(aTHX_ value) != nullptr;
    };
    return text.append("#line 1 \"expression\"\n").append(WithScalarsNamed(AExpr, scalars, isObject));
}

TLanguageEvalResult TPerlFrame::Evaluate(const UString& AExpr) {
    TLanguageEvalResult result;
    if (!Live()) {
        result.Value = std::make_shared<TLeafDebugVar>(AExpr, UString(), UString(u"The frame is no longer active"));
        return result;
    }
    TPerlContext context(FOwner.Interp());
    dTHXa(FOwner.Interp());
    TPerlScope scope(FOwner.Interp());
    const std::vector<TLexical> lexicals = Lexicals(aTHX);
    AV* bound = save_ary(gv_fetchpvs("DB::VelmoraFrame", GV_ADD, SVt_PVAV));  // restored when the scope ends
    for (const TLexical& l : lexicals) av_push(bound, newRV_inc(l.Value));
    const std::string text = EvaluationText(aTHX_ AExpr.ToUtf8(), lexicals);
    // The expression is not itself debugged.
    SAVEI32(PL_perldb);
    PL_perldb = 0;
    dSP;
    const int count = eval_sv(sv_2mortal(newSVpvn_flags(text.data(), text.size(), SVf_UTF8)), G_SCALAR);
    SPAGAIN;
    SV* value = count > 0 ? POPs : &PL_sv_undef;
    PUTBACK;
    if (SvTRUE(ERRSV)) {
        result.Value = std::make_shared<TLeafDebugVar>(AExpr, UString(), EvaluationMessage(aTHX_ ERRSV));
        sv_setpvs(ERRSV, "");
        return result;
    }
    result.Ok = true;
    result.Value = TPerlVar::Of(FOwner, aTHX_ AExpr, value, true);
    return result;
}

void XsDebugStatement(pTHX_ CV* cv) {
    dXSARGS;
    (void)items;
    auto* self = static_cast<TPerlDebug*>(CvXSUBANY(cv).any_ptr);
    if (self->OnStatement(aTHX)) croak_sv(sv_2mortal(newSVpvf("%s\n", KScriptAbortedText)));
    XSRETURN_EMPTY;
}

void XsCodeLines(pTHX_ CV* cv) {
    dXSARGS;
    (void)items;
    static_cast<TPerlDebug*>(CvXSUBANY(cv).any_ptr)->RecordCodeLines(aTHX);
    XSRETURN_EMPTY;
}

}  // namespace

TPerlDebug::TPerlDebug(PerlInterpreter* AInterp) : FInterp(AInterp) {
    TPerlContext context(FInterp);
    dTHXa(FInterp);
    Perl_init_debugger(aTHX);
    CvXSUBANY(newXS("DB::DB", XsDebugStatement, __FILE__)).any_ptr = this;
    CvXSUBANY(newXS(KCodeLinesSub, XsCodeLines, __FILE__)).any_ptr = this;
}

U32 TPerlDebug::CompileFlags() const noexcept { return Attached() ? PERLDBf_LINE : 0; }

std::string TPerlDebug::PrepareCheck(Integer AFirstLine, Integer ACount) {
    FCheckFirst = AFirstLine;
    FCheckCount = ACount;
    dTHXa(FInterp);
    // The compiler marks the elements of the lines that hold statements; they must exist.
    AV* lines = get_av("main::_<script", GV_ADD);
    for (Integer i = 0; i < ACount; ++i) av_store(lines, static_cast<SSize_t>(AFirstLine + i + 1), newSVpvs(""));
    return std::string(KCodeLinesSub) + "(); ";
}

void TPerlDebug::RecordCodeLines(pTHX) {
    AV* lines = get_av("main::_<script", GV_ADD);
    std::lock_guard<std::mutex> lock(FLock);
    for (Integer i = 0; i < FCheckCount; ++i) {
        SV** element = av_fetch(lines, static_cast<SSize_t>(FCheckFirst + i + 1), 0);
        if (element && SvIOK(*element)) FCodeLines.insert(FCheckFirst + i);
    }
}

TPerlDebug::TRun::TRun(TPerlDebug& AOwner) noexcept : FOwner(AOwner) { ++FOwner.FRuns; }

TPerlDebug::TRun::~TRun() {
    if (--FOwner.FRuns == 0) FOwner.RunEnded();
}

void TPerlDebug::RunEnded() {
    FStep = TStep::None;
    FAborting = false;
    ++FGeneration;
    dTHXa(FInterp);
    Rearm(aTHX);
}

void TPerlDebug::SetHost(TLanguageDebugHost* AHost) {
    FHost = AHost;
    Poke();
}

Integer TPerlDebug::CodeLineAt(Integer ALine) {
    std::lock_guard<std::mutex> lock(FLock);
    auto it = FCodeLines.lower_bound(ALine);
    return it == FCodeLines.end() ? -1 : *it;
}

void TPerlDebug::SetLineBreakpoint(Integer ALine, bool AEnabled) {
    {
        std::lock_guard<std::mutex> lock(FLock);
        if (AEnabled) FBreakpoints.insert(ALine);
        else FBreakpoints.erase(ALine);
        FHasBreakpoints = !FBreakpoints.empty();
    }
    Poke();
}

void TPerlDebug::RequestBreak() {
    FHalt = true;
    Poke();
}

void TPerlDebug::Poke() noexcept {
    // Named through the interpreter: the calling thread need not have it as its current one.
    std::atomic_ref<IV>(FInterp->IDBcontrol[DBVARMG_SIGNAL]).store(1);
}

bool TPerlDebug::Armed() const noexcept {
    return FHost.load() && (FHasBreakpoints.load() || FHalt.load() || FStep != TStep::None || FAborting);
}

void TPerlDebug::Rearm(pTHX) noexcept { PL_DBsingle_iv = Armed() ? 1 : 0; }

std::vector<std::unique_ptr<TLanguageFrame>> TPerlDebug::Frames() {
    TPerlContext context(FInterp);
    dTHXa(FInterp);
    std::vector<std::unique_ptr<TLanguageFrame>> frames;
    for (TActivation& a : Activations(aTHX)) frames.push_back(std::make_unique<TPerlFrame>(*this, std::move(a)));
    return frames;
}

bool TPerlDebug::StopsAt(pTHX_ Integer ALine, TDebugStopReason& AReason) {
    if (FHalt.exchange(false)) {
        AReason = TDebugStopReason::Halt;
        return true;
    }
    if (FStep == TStep::Into || (FStep == TStep::Over && SubDepth(aTHX) <= FStepDepth)) {
        AReason = TDebugStopReason::Step;
        return true;
    }
    {
        std::lock_guard<std::mutex> lock(FLock);
        if (FBreakpoints.count(ALine) == 0) return false;
    }
    AReason = TDebugStopReason::Breakpoint;
    return IsLineStatement(aTHX_ PL_curcop);
}

bool TPerlDebug::OnStatement(pTHX) noexcept {
    std::atomic_ref<IV>(PL_DBsignal_iv).store(0);
    bool abort = FAborting;
    if (!abort && FHost.load() && InScriptFile(PL_curcop)) {
        TDebugStopReason reason{};
        if (StopsAt(aTHX_ AdapterLine(PL_curcop), reason)) abort = Stop(reason, SubDepth(aTHX));
    }
    FAborting = abort;
    Rearm(aTHX);
    return abort;
}

bool TPerlDebug::Stop(TDebugStopReason AReason, Integer ADepth) {
    TLanguageDebugHost* host = FHost.load();
    TDebugResume resume = TDebugResume::Abort;
    // A failure of the debugger while stopped ends the script as an abort does.
    (void)plat::CatchAll([&] { resume = host->Stopped(AReason); });
    ++FGeneration;
    switch (resume) {
        case TDebugResume::StepInto: FStep = TStep::Into; break;
        case TDebugResume::StepOver:
            FStep = TStep::Over;
            FStepDepth = ADepth;
            break;
        case TDebugResume::Continue: FStep = TStep::None; break;
        case TDebugResume::Ignore: break;
        case TDebugResume::Abort: return true;
    }
    return false;
}

}  // namespace xan::as::perl
