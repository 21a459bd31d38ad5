// The "PerlScript" engine: Perl 5 behind the generic script engine, one interpreter per engine.
//
// Script text is compiled into package main under the file name "script", so Perl's own
// "at script line N" places every error. Globals the host reaches are the subs and package
// variables of main (lexicals declared with `my` at the top of a script are the script's own).
// Named objects are package variables ($host; a script under `use strict` declares `our $host`);
// members of objects published with their members are functions, called with parentheses
// (Greeting()), since they are known only when the script runs.
#include "activescript/plugins/perl/PerlDebug.h"
#include "activescript/plugins/perl/PerlValues.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "activescript/HostObjects.h"
#include "activescript/PlugIn.h"

namespace xan::as::perl {

using plat::Variant;

namespace {

constexpr std::string_view KPlace = " at script line ";
// A syntax check compiles the text without running it: the block queued for the end of the
// compilation stops it with this message. Its subs land in a package dropped afterwards; the
// text is compiled once more when it runs, so its BEGIN blocks (and `use`) run at both times.
constexpr std::string_view KCheckPass = "velmora: syntax checked\n";
// ABeforeEnd runs first when the compilation is complete.
std::string CheckPrefix(const std::string& ABeforeEnd) {
    return "UNITCHECK { " + ABeforeEnd + "die \"velmora: syntax checked\\n\" } package Velmora::Check;\n";
}
// What makes Perl name the text's first line as line AFirstLine + 1 of "script": texts are
// numbered on from the texts parsed before them, as the debugging services count lines.
std::string LineDirective(Integer AFirstLine) {
    return "#line " + std::to_string(AFirstLine + 1) + " \"" + KScriptFile + "\"\n";
}

// The number of lines of a text (Perl ends lines at line feeds).
Integer LineCount(std::string_view AText) { return 1 + static_cast<Integer>(std::count(AText.begin(), AText.end(), '\n')); }
constexpr std::string_view KRunPrefix = "package main;\n";

// Lines Perl adds after the errors of a compilation.
bool IsTrailer(std::string_view ALine) {
    return ALine.find("aborted due to compilation errors") != std::string_view::npos ||
           ALine.find("compilation aborted") != std::string_view::npos ||
           ALine.find("had compilation errors") != std::string_view::npos;
}

// Perl's "text at script line N[, near ...]." becomes the text at line N - 1 - AFirstLine of
// the text whose first line is AFirstLine.
[[noreturn]] void RaisePerlError(const std::string& AMessage, Integer AFirstLine = 0) {
    std::string text;
    for (std::size_t start = 0; start < AMessage.size();) {
        std::size_t end = AMessage.find('\n', start);
        if (end == std::string::npos) end = AMessage.size();
        const std::string_view line(AMessage.data() + start, end - start);
        if (!line.empty() && !IsTrailer(line)) text.append(text.empty() ? "" : "\n").append(line);
        start = end + 1;
    }
    // The first place is the error's; it is dropped from every message that names the same line.
    Integer line = -1;
    std::string place;
    for (std::size_t at = text.find(KPlace); at != std::string::npos; at = text.find(KPlace, at + 1)) {
        std::size_t end = at + KPlace.size();
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        if (end == at + KPlace.size()) continue;
        const std::string number = text.substr(at + KPlace.size(), end - at - KPlace.size());
        if (line < 0) {
            line = std::max<Integer>(std::stoi(number) - 1 - AFirstLine, 0);
            place = number;
        }
        if (number != place) continue;
        if (end < text.size() && text[end] == '.' && (end + 1 == text.size() || text[end + 1] == '\n')) ++end;
        text.erase(at, end - at);
    }
    plat::Throw<EScriptError>(UString::FromUtf8(text), line, 0);
}

// Unqualified names are main's.
std::string Qualified(const UString& AName) {
    std::string name = AName.ToUtf8();
    return name.find("::") == std::string::npos ? "main::" + name : name;
}

I32 NameFlags(const std::string& AName) {
    for (unsigned char c : AName)
        if (c >= 0x80) return SVf_UTF8;
    return 0;
}

class TPerlAdapter;

class TPerlBlock : public TScriptBlock {
public:
    TPerlBlock(TPerlAdapter& AOwner, std::string ACode, Integer AFirstLine)
        : FOwner(AOwner), FCode(std::move(ACode)), FFirstLine(AFirstLine) {}
    void Run() override;

private:
    TPerlAdapter& FOwner;
    std::string FCode;
    Integer FFirstLine;
};

class TPerlAdapter : public TLanguageAdapter {
public:
    TPerlAdapter() : FDebug(FPerl.Get()) {}

    UString ErrorSource() const override { return UString(u"Perl"); }
    TLanguageDebug* Debugging() override { return &FDebug; }

    std::unique_ptr<TScriptBlock> Parse(const UString& ACode) override {
        std::string code = ACode.ToUtf8();
        const Integer first = FNextLine;
        CheckSyntax(code, first);
        FNextLine += LineCount(code);
        return std::make_unique<TPerlBlock>(*this, std::move(code), first);
    }

    // Text evaluated at once is not numbered among the parsed texts, nor debugged.
    Variant Evaluate(const UString& ACode, bool AIsExpression) override {
        return RunText(ACode.ToUtf8(), AIsExpression, 0, false);
    }

    void AddNamedItem(const UString& AName, IDispatch* AObject, bool AVisible, bool AGlobalMembers) override {
        TPerlContext context(FPerl.Get());
        dTHXa(FPerl.Get());
        if (AVisible) {
            const std::string name = Qualified(AName);
            SV* proxy = NewSVFromVariant(aTHX_ Variant(AObject));
            sv_setsv_mg(get_sv(name.c_str(), GV_ADD | NameFlags(name)), proxy);
            SvREFCNT_dec(proxy);
        }
        if (AGlobalMembers) av_push(get_av("Velmora::GlobalMembers", GV_ADD), NewSVFromVariant(aTHX_ Variant(AObject)));
    }

    UString FindGlobal(const UString& AName) override {
        TPerlContext context(FPerl.Get());
        dTHXa(FPerl.Get());
        const std::string name = Qualified(AName);
        if (Sub(aTHX_ name)) return AName;
        GV* gv = gv_fetchpvn_flags(name.data(), name.size(), NameFlags(name), SVt_PV);
        return gv && isGV_with_GP(gv) && (GvSV(gv) || GvAV(gv)) ? AName : UString();
    }

    bool IsProcedure(const UString& AName) override {
        TPerlContext context(FPerl.Get());
        dTHXa(FPerl.Get());
        return Sub(aTHX_ Qualified(AName)) != nullptr;
    }

    Variant AccessGlobal(const UString& AName, TGlobalAccess AAccess, std::span<VarData> AArgs) override {
        TPerlContext context(FPerl.Get());
        dTHXa(FPerl.Get());
        TPerlScope scope(FPerl.Get());
        const std::string name = Qualified(AName);
        if (AAccess == TGlobalAccess::Put) {
            if (AArgs.size() != 1)
                plat::Throw<EScriptError>(UString(u"Wrong number of arguments"), -1, 0, plat::DISP_E_BADPARAMCOUNT);
            sv_setsv_mg(get_sv(name.c_str(), GV_ADD | NameFlags(name)), sv_2mortal(NewSVFromVariant(aTHX_ AArgs.back())));
            return Variant();
        }
        if (CV* sub = Sub(aTHX_ name)) return CallSub(aTHX_ sub, AArgs);
        if (!AArgs.empty())
            plat::Throw<EScriptError>(UString(u"Undefined subroutine &") + UString::FromUtf8(name) + std::u16string_view(u" called"),
                                      -1, 0, plat::DISP_E_TYPEMISMATCH);
        GV* gv = gv_fetchpvn_flags(name.data(), name.size(), NameFlags(name), SVt_PV);
        if (gv && isGV_with_GP(gv) && !GvSV(gv) && GvAV(gv))
            return ToVariant(aTHX_ sv_2mortal(newRV_inc(reinterpret_cast<SV*>(GvAV(gv)))));
        return ToVariant(aTHX_ gv && isGV_with_GP(gv) ? GvSV(gv) : nullptr);
    }

    // Compiles and runs text whose first line is AFirstLine in the global scope: its value when
    // AWantResult. Debugged text is compiled for the debugger when one is attached.
    Variant RunText(const std::string& ACode, bool AWantResult, Integer AFirstLine, bool ADebugged) {
        TPerlContext context(FPerl.Get());
        dTHXa(FPerl.Get());
        TPerlScope scope(FPerl.Get());
        const TPerlDebug::TRun run(FDebug);
        std::string text(KRunPrefix);
        text.append(LineDirective(AFirstLine)).append(ACode);
        SAVEI32(PL_perldb);
        if (ADebugged) PL_perldb |= FDebug.CompileFlags();
        dSP;
        const int count = eval_sv(sv_2mortal(newSVpvn_flags(text.data(), text.size(), SVf_UTF8)),
                                  AWantResult ? G_SCALAR : G_VOID);
        SPAGAIN;
        SV* result = count > 0 ? POPs : nullptr;
        PUTBACK;
        CheckError(aTHX_ AFirstLine);
        return AWantResult ? ToVariant(aTHX_ result) : Variant();
    }

private:
    // A defined sub of that name, or null.
    static CV* Sub(pTHX_ const std::string& AName) {
        CV* sub = get_cvn_flags(AName.data(), AName.size(), NameFlags(AName));
        return sub && (CvROOT(sub) || CvXSUB(sub)) ? sub : nullptr;
    }

    static void CheckError(pTHX_ Integer AFirstLine = 0) {
        if (SvTRUE(ERRSV)) RaisePerlError(TextOf(aTHX_ ERRSV).ToUtf8(), AFirstLine);
    }

    // Arguments go as new variables, so a sub that assigns to its $_[i] changes a by-reference one.
    Variant CallSub(pTHX_ CV* ASub, std::span<VarData> AArgs) {
        const TPerlDebug::TRun run(FDebug);
        std::vector<SV*> args;
        args.reserve(AArgs.size());
        for (const VarData& a : AArgs) args.push_back(sv_2mortal(NewSVFromVariant(aTHX_ a)));
        dSP;
        PUSHMARK(SP);
        EXTEND(SP, static_cast<SSize_t>(args.size()));
        for (SV* a : args) PUSHs(a);
        PUTBACK;
        const int count = call_sv(reinterpret_cast<SV*>(ASub), G_SCALAR | G_EVAL);
        SPAGAIN;
        SV* result = count > 0 ? POPs : nullptr;
        PUTBACK;
        CheckError(aTHX);
        for (std::size_t i = 0; i < args.size(); ++i) WriteBack(aTHX_ args[i], AArgs[i]);
        return ToVariant(aTHX_ result);
    }

    // Compiles the text whose first line is AFirstLine without running it; under a debugger the
    // compilation records the lines that hold statements.
    void CheckSyntax(const std::string& ACode, Integer AFirstLine) {
        TPerlContext context(FPerl.Get());
        dTHXa(FPerl.Get());
        TPerlScope scope(FPerl.Get());
        SAVEI32(PL_perldb);
        PL_perldb |= FDebug.CompileFlags();
        std::string text = CheckPrefix(FDebug.Attached() ? FDebug.PrepareCheck(AFirstLine, LineCount(ACode)) : std::string());
        text.append(LineDirective(AFirstLine)).append(ACode);
        eval_sv(sv_2mortal(newSVpvn_flags(text.data(), text.size(), SVf_UTF8)), G_VOID | G_DISCARD);
        const std::string error = TextOf(aTHX_ ERRSV).ToUtf8();
        eval_pv("delete $Velmora::{'Check::'};", FALSE);
        sv_setpvs(ERRSV, "");
        if (error.rfind(KCheckPass, 0) != 0) RaisePerlError(error, AFirstLine);
    }

    TPerlInterpreter FPerl;
    TPerlDebug FDebug;
    Integer FNextLine = 0;
};

void TPerlBlock::Run() { FOwner.RunText(FCode, false, FFirstLine, true); }

}  // namespace

}  // namespace xan::as::perl

VELMORA_SCRIPT_ENGINE_PLUGIN(xan::as::perl::TPerlAdapter)
