// The "TclScript" engine: Tcl 8.6 behind the generic script engine, one interpreter per engine.
#include <mutex>
#include <regex>
#include <string>
#include <vector>

#include "activescript/HostObjects.h"
#include "activescript/PlugIn.h"
#include "activescript/plugins/tcl/TclDebug.h"
#include "activescript/plugins/tcl/TclValues.h"

namespace xan::as::tcl {

using plat::Variant;

namespace {

std::string Utf8Of(Tcl_Obj* AObj) {
    int len = 0;
    const char* s = Tcl_GetStringFromObj(AObj, &len);
    return std::string(s, static_cast<std::size_t>(len));
}

// Line (from 0) and column (from 1) of a byte offset in a text.
void PlaceOf(const std::string& AText, std::size_t AOffset, Integer& ALine, Integer& AColumn) {
    ALine = 0;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < AOffset && i < AText.size(); ++i)
        if (AText[i] == '\n') {
            ++ALine;
            lineStart = i + 1;
        }
    AColumn = static_cast<Integer>(AOffset - lineStart + 1);
}

class TTclAdapter;

class TTclBlock : public TScriptBlock {
public:
    TTclBlock(TTclAdapter& AOwner, std::string AText, Integer AFirstLine)
        : FOwner(AOwner), FText(std::move(AText)), FFirstLine(AFirstLine) {}
    void Run() override;

private:
    TTclAdapter& FOwner;
    std::string FText;
    Integer FFirstLine;
};

class TTclAdapter : public TLanguageAdapter {
public:
    TTclAdapter() {
        static std::once_flag once;
        std::call_once(once, [] {
            Tcl_FindExecutable(nullptr);
            InstallValueTypes();
        });
        FInterp = Tcl_CreateInterp();
        FObjects = std::make_unique<TTclObjects>(FInterp);
        Tcl_Init(FInterp);  // the script library; a missing one only leaves its procedures out
        Tcl_ResetResult(FInterp);
        FDebug = std::make_unique<TTclDebug>(FInterp);
        FDebug->RecordBuiltinGlobals();
        // Commands the script does not define are looked up among the members of the objects
        // published with their members.
        Tcl_CreateObjCommand(FInterp, "::unknown", &TTclAdapter::Unknown, this, nullptr);
    }
    ~TTclAdapter() override {
        FDebug.reset();
        Tcl_DeleteInterp(FInterp);
        FObjects.reset();
    }

    UString ErrorSource() const override { return UString(u"Tcl"); }
    TLanguageDebug* Debugging() override { return FDebug.get(); }

    std::unique_ptr<TScriptBlock> Parse(const UString& ACode) override {
        std::string text = ACode.ToUtf8();
        CheckSyntax(text);
        const Integer firstLine = FDebug->AddText(text);
        return std::make_unique<TTclBlock>(*this, std::move(text), firstLine);
    }

    Variant Evaluate(const UString& ACode, bool AIsExpression) override {
        std::string text = ACode.ToUtf8();
        Tcl_Obj* script = Tcl_NewStringObj(text.data(), static_cast<int>(text.size()));
        Tcl_IncrRefCount(script);
        TTclDebug::TRun run(*FDebug, nullptr);
        const int rc = AIsExpression ? Tcl_ExprObj(FInterp, script, &FExprResult) : Tcl_EvalObjEx(FInterp, script, TCL_EVAL_GLOBAL);
        Tcl_DecrRefCount(script);
        if (run.Aborted()) RaiseAborted();
        if (rc != TCL_OK) RaiseTclError(text);
        if (!AIsExpression) return Variant();
        Variant v = ToVariant(*FObjects, FExprResult);
        Tcl_DecrRefCount(FExprResult);
        return v;
    }

    void RunScript(const std::string& AText, Integer AFirstLine) {
        FSource = AText;
        TTclDebug::TRun run(*FDebug, &AText, AFirstLine);
        const int rc = Tcl_EvalEx(FInterp, AText.data(), static_cast<int>(AText.size()), TCL_EVAL_GLOBAL);
        if (run.Aborted()) RaiseAborted();
        if (rc != TCL_OK) RaiseTclError(AText);
    }

    void AddNamedItem(const UString& AName, IDispatch* AObject, bool AVisible, bool AGlobalMembers) override {
        if (AVisible) {
            // The item's name is a command of its own: `host Name`.
            const std::string command = FObjects->CommandFor(AObject);
            Tcl_CreateAlias(FInterp, AName.ToUtf8().c_str(), FInterp, command.c_str(), 0, nullptr);
            // ... and a function of expressions calling its default member: `Name(args)`.
            FFunctions.push_back(std::make_unique<THostFunction>(THostFunction{this, plat::ComPtr<IDispatch>(AObject)}));
            Tcl_CreateObjCommand(FInterp, ("::tcl::mathfunc::" + AName.ToUtf8()).c_str(), &TTclAdapter::HostFunction,
                                 FFunctions.back().get(), nullptr);
        }
        if (AGlobalMembers) FGlobalMembers.emplace_back(AObject);
    }

    UString FindGlobal(const UString& AName) override {
        const std::string name = AName.ToUtf8();
        if (IsProc(name) || Tcl_GetVar2Ex(FInterp, name.c_str(), nullptr, TCL_GLOBAL_ONLY)) return AName;
        return UString();
    }

    bool IsProcedure(const UString& AName) override {
        const std::string name = AName.ToUtf8();
        return IsProc(name) && !Tcl_GetVar2Ex(FInterp, name.c_str(), nullptr, TCL_GLOBAL_ONLY);
    }

    Variant AccessGlobal(const UString& AName, TGlobalAccess AAccess, std::span<VarData> AArgs) override {
        const std::string name = AName.ToUtf8();
        if (AAccess == TGlobalAccess::Put) {
            if (!Tcl_SetVar2Ex(FInterp, name.c_str(), nullptr, FromVariant(*FObjects, AArgs.back()),
                               TCL_GLOBAL_ONLY | TCL_LEAVE_ERR_MSG))
                RaiseTclError(std::string());
            return Variant();
        }
        if (!IsProc(name)) {
            Tcl_Obj* value = Tcl_GetVar2Ex(FInterp, name.c_str(), nullptr, TCL_GLOBAL_ONLY | TCL_LEAVE_ERR_MSG);
            if (!value) RaiseTclError(std::string());
            return ToVariant(*FObjects, value);
        }
        std::vector<Tcl_Obj*> words{Tcl_NewStringObj(name.c_str(), -1)};
        for (const VarData& a : AArgs) words.push_back(FromVariant(*FObjects, a));
        for (Tcl_Obj* w : words) Tcl_IncrRefCount(w);
        TTclDebug::TRun run(*FDebug, nullptr);
        const int rc = Tcl_EvalObjv(FInterp, static_cast<int>(words.size()), words.data(), TCL_EVAL_GLOBAL);
        for (Tcl_Obj* w : words) Tcl_DecrRefCount(w);
        if (run.Aborted()) RaiseAborted();
        if (rc != TCL_OK) RaiseTclError(FSource);
        return ToVariant(*FObjects, Tcl_GetObjResult(FInterp));
    }

private:
    bool IsProc(const std::string& AName) {
        Tcl_CmdInfo info;
        return Tcl_GetCommandInfo(FInterp, AName.c_str(), &info) != 0 && AName.find("::") == std::string::npos &&
               FindProcLine(AName) >= 0;
    }

    // The line (from 0) of "proc NAME" in the script, or -1.
    Integer FindProcLine(const std::string& AName) const {
        std::size_t at = 0;
        Integer line = 0;
        while (at < FSource.size()) {
            std::size_t end = FSource.find('\n', at);
            if (end == std::string::npos) end = FSource.size();
            const std::string row = FSource.substr(at, end - at);
            const std::size_t first = row.find_first_not_of(" \t");
            if (first != std::string::npos && row.compare(first, 5 + AName.size() + 1, "proc " + AName + " ") == 0)
                return line;
            at = end + 1;
            ++line;
        }
        return -1;
    }

    // Tcl checks little before it runs: unbalanced braces, brackets and quotes are what a
    // parse finds.
    void CheckSyntax(const std::string& AText) {
        const char* p = AText.data();
        int left = static_cast<int>(AText.size());
        while (left > 0) {
            Tcl_Parse parse;
            if (Tcl_ParseCommand(FInterp, p, left, 0, &parse) != TCL_OK) {
                Integer line, column;
                PlaceOf(AText, static_cast<std::size_t>(parse.commandStart ? parse.commandStart - AText.data() : p - AText.data()),
                        line, column);
                const std::string message = Utf8Of(Tcl_GetObjResult(FInterp));
                Tcl_FreeParse(&parse);
                Tcl_ResetResult(FInterp);
                plat::Throw<EScriptError>(UString::FromUtf8(message), line, column);
            }
            const char* next = parse.commandStart + parse.commandSize;
            Tcl_FreeParse(&parse);
            left -= static_cast<int>(next - p);
            p = next;
        }
    }

    // The error in the interpreter as the script's error, at its line: for an error inside a
    // procedure, the procedure's line plus the line within its body.
    [[noreturn]] void RaiseTclError(const std::string& AText) {
        const std::string message = Utf8Of(Tcl_GetObjResult(FInterp));
        Tcl_Obj* options = Tcl_GetReturnOptions(FInterp, TCL_ERROR);
        Tcl_IncrRefCount(options);
        Integer line = -1;
        Tcl_Obj* key = Tcl_NewStringObj("-errorinfo", -1);
        Tcl_Obj* info = nullptr;
        Tcl_IncrRefCount(key);
        Tcl_DictObjGet(nullptr, options, key, &info);
        static const std::regex inProc(R"re(\(procedure "([^"]+)" line (\d+)\))re");
        std::smatch m;
        const std::string infoText = info ? Utf8Of(info) : std::string();
        if (std::regex_search(infoText, m, inProc)) {
            const Integer procLine = FindProcLine(m[1].str());
            if (procLine >= 0) line = procLine + std::stoi(m[2].str()) - 1;
        } else {
            Tcl_SetStringObj(key, "-errorline", -1);
            Tcl_Obj* errorLine = nullptr;
            int n = 0;
            if (Tcl_DictObjGet(nullptr, options, key, &errorLine) == TCL_OK && errorLine &&
                Tcl_GetIntFromObj(nullptr, errorLine, &n) == TCL_OK && !AText.empty())
                line = n - 1;
        }
        Tcl_DecrRefCount(key);
        Tcl_DecrRefCount(options);
        Tcl_ResetResult(FInterp);
        plat::Throw<EScriptError>(UString::FromUtf8(message), line, 0);
    }

    [[noreturn]] void RaiseAborted() {
        Tcl_ResetResult(FInterp);
        plat::Throw<EScriptError>(UString(KScriptAbortedMessage));
    }

    struct THostFunction {
        TTclAdapter* Owner;
        plat::ComPtr<IDispatch> Obj;
    };
    // A published object called as a function of an expression. In the debugger's evaluations
    // Tcl's truth values 0 and 1 (what its conditions yield) go as Booleans, so a condition
    // handed to a host object reaches it as one.
    static int HostFunction(ClientData AData, Tcl_Interp* AInterp, int AObjc, Tcl_Obj* const AObjv[]) {
        auto* f = static_cast<THostFunction*>(AData);
        TTclAdapter& self = *f->Owner;
        Tcl_Obj* result = nullptr;
        std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
            std::vector<Variant> args;
            for (int i = 1; i < AObjc; ++i) {
                args.push_back(ToVariant(*self.FObjects, AObjv[i]));
                const Variant& a = args.back();
                if (self.FDebug->Evaluating() && a.VType == plat::varInteger && (a.VInteger == 0 || a.VInteger == 1))
                    args.back() = Variant(a.VInteger == 1);
            }
            result = FromVariant(*self.FObjects, HostCall(f->Obj.Get(), plat::DISPID_VALUE, args));
        });
        if (e) {
            Tcl_SetObjResult(AInterp, Tcl_NewStringObj(e->Message().ToUtf8().c_str(), -1));
            return TCL_ERROR;
        }
        Tcl_SetObjResult(AInterp, result);
        return TCL_OK;
    }

    static int Unknown(ClientData AData, Tcl_Interp* AInterp, int AObjc, Tcl_Obj* const AObjv[]) {
        auto* self = static_cast<TTclAdapter*>(AData);
        const std::string name = AObjc > 1 ? Utf8Of(AObjv[1]) : std::string();
        for (const plat::ComPtr<IDispatch>& obj : self->FGlobalMembers) {
            if (HostMemberId(obj.Get(), UString::FromUtf8(name)) == plat::DISPID_UNKNOWN) continue;
            std::vector<Tcl_Obj*> words{Tcl_NewStringObj(self->FObjects->CommandFor(obj.Get()).c_str(), -1)};
            for (int i = 1; i < AObjc; ++i) words.push_back(AObjv[i]);
            for (Tcl_Obj* w : words) Tcl_IncrRefCount(w);
            const int rc = Tcl_EvalObjv(AInterp, static_cast<int>(words.size()), words.data(), 0);
            for (Tcl_Obj* w : words) Tcl_DecrRefCount(w);
            return rc;
        }
        Tcl_SetObjResult(AInterp, Tcl_ObjPrintf("invalid command name \"%s\"", name.c_str()));
        return TCL_ERROR;
    }

    Tcl_Interp* FInterp = nullptr;
    std::unique_ptr<TTclObjects> FObjects;
    std::vector<plat::ComPtr<IDispatch>> FGlobalMembers;
    std::string FSource;
    Tcl_Obj* FExprResult = nullptr;
    std::unique_ptr<TTclDebug> FDebug;
    std::vector<std::unique_ptr<THostFunction>> FFunctions;
};

void TTclBlock::Run() { FOwner.RunScript(FText, FFirstLine); }

}  // namespace

}  // namespace xan::as::tcl

VELMORA_SCRIPT_ENGINE_PLUGIN(xan::as::tcl::TTclAdapter)
