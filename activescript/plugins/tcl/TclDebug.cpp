#include "activescript/plugins/tcl/TclDebug.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "activescript/debug/DebugIntf.h"
#include "platform/core/Exception.h"
#include "platform/text/NumText.h"

// Exported by the interpreter library without a public declaration: clears a cancellation once
// the cancelled evaluation has unwound, so the interpreter runs again.
extern "C" int TclResetCancellation(Tcl_Interp* AInterp, int AForce);

namespace xan::as::tcl {

using plat::UString;

namespace {

constexpr const char16_t KGlobalLevel[] = u"global level";

UString Utf8(std::string_view AText) { return UString::FromUtf8(AText); }

std::string TextOf(Tcl_Obj* AObj) {
    int len = 0;
    const char* s = Tcl_GetStringFromObj(AObj, &len);
    return std::string(s, static_cast<std::size_t>(len));
}

// A counted reference to a Tcl value.
class TObj {
public:
    TObj() = default;
    explicit TObj(Tcl_Obj* AObj) : FObj(AObj) {
        if (FObj) Tcl_IncrRefCount(FObj);
    }
    TObj(const TObj& AOther) : TObj(AOther.FObj) {}
    TObj& operator=(const TObj&) = delete;
    void Swap(TObj& AOther) noexcept { std::swap(FObj, AOther.FObj); }
    ~TObj() {
        if (FObj) Tcl_DecrRefCount(FObj);
    }
    Tcl_Obj* Get() const noexcept { return FObj; }
    explicit operator bool() const noexcept { return FObj != nullptr; }

private:
    Tcl_Obj* FObj = nullptr;
};

Tcl_Obj* Words(std::initializer_list<Tcl_Obj*> AWords) {
    Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
    for (Tcl_Obj* w : AWords) Tcl_ListObjAppendElement(nullptr, list, w);
    return list;
}

Tcl_Obj* Str(std::string_view AText) { return Tcl_NewStringObj(AText.data(), static_cast<int>(AText.size())); }

// A command (a list of words) run at an absolute level through uplevel.
Tcl_Obj* AtLevel(Integer ALevel, Tcl_Obj* ACommand) {
    return Words({Str("::uplevel"), Str("#" + std::to_string(ALevel)), ACommand});
}

// Runs ACommand (a list of words, or a script text when AScript); the result or the message.
bool Run(Tcl_Interp* AInterp, Tcl_Obj* ACommand, TObj& AResult, bool AScript = false) {
    TObj command(ACommand);
    int rc;
    if (AScript) {
        int len = 0;
        const char* text = Tcl_GetStringFromObj(command.Get(), &len);
        rc = Tcl_EvalEx(AInterp, text, len, 0);  // a frame of its own, so `info frame -1` is the caller
    } else {
        rc = Tcl_EvalObjEx(AInterp, command.Get(), 0);
    }
    TObj result(Tcl_GetObjResult(AInterp));
    AResult.Swap(result);
    Tcl_ResetResult(AInterp);
    return rc == TCL_OK;
}

std::string DictText(Tcl_Obj* ADict, const char* AKey) {
    TObj key(Str(AKey));
    Tcl_Obj* value = nullptr;
    if (Tcl_DictObjGet(nullptr, ADict, key.Get(), &value) != TCL_OK || !value) return std::string();
    return TextOf(value);
}

int DictInt(Tcl_Obj* ADict, const char* AKey, int ADefault) {
    TObj key(Str(AKey));
    Tcl_Obj* value = nullptr;
    int n = ADefault;
    if (Tcl_DictObjGet(nullptr, ADict, key.Get(), &value) != TCL_OK || !value || Tcl_GetIntFromObj(nullptr, value, &n) != TCL_OK)
        return ADefault;
    return n;
}

// Line ALine (from 1) of AText, without its line break; empty when there is none.
std::string_view LineOf(std::string_view AText, int ALine) {
    std::size_t at = 0;
    for (int i = 1; i < ALine; ++i) {
        at = AText.find('\n', at);
        if (at == std::string_view::npos) return {};
        ++at;
    }
    return AText.substr(at, AText.find('\n', at) - at);
}

bool HasType(Tcl_Obj* AObj, const char* AName) { return AObj->typePtr && std::strcmp(AObj->typePtr->name, AName) == 0; }

// Tcl values are text; the type shown is the form the interpreter holds the value in now.
std::string TypeName(Tcl_Obj* AObj) {
    static const std::pair<const char*, const char*> KNames[] = {
        {"int", "int"},         {"wideInt", "int"},         {"bignum", "int"},          {"double", "double"},
        {"list", "list"},       {"dict", "dict"},           {"booleanString", "boolean"}, {"velmoraBoolean", "boolean"},
        {"velmoraEmpty", "empty"}, {"velmoraNull", "null"}, {"velmoraDate", "date"}};
    for (const auto& [type, name] : KNames)
        if (HasType(AObj, type)) return name;
    return "string";
}

// Values the script holds as lists or dictionaries show their elements.
bool IsContainer(Tcl_Obj* AObj) {
    int n = 0;
    if (HasType(AObj, "dict")) return Tcl_DictObjSize(nullptr, AObj, &n) == TCL_OK && n > 0;
    return HasType(AObj, "list") && Tcl_ListObjLength(nullptr, AObj, &n) == TCL_OK && n > 0;
}

TLanguageDebugVarRef Leaf(const std::string& AName, Tcl_Obj* AValue) {
    auto var = std::make_shared<TLeafDebugVar>(Utf8(AName), Utf8(TypeName(AValue)), Utf8(TextOf(AValue)));
    var->Attributes = OBJECT_ATTRIB_ACCESS_PUBLIC;
    return var;
}

// The elements of a list (by index) or the entries of a dictionary (by key).
std::vector<TLanguageDebugVarRef> ElementsOf(Tcl_Obj* AValue) {
    std::vector<TLanguageDebugVarRef> list;
    if (HasType(AValue, "dict")) {
        Tcl_DictSearch search;
        Tcl_Obj *key = nullptr, *value = nullptr;
        int done = 0;
        if (Tcl_DictObjFirst(nullptr, AValue, &search, &key, &value, &done) != TCL_OK) return list;
        for (; !done; Tcl_DictObjNext(&search, &key, &value, &done)) list.push_back(Leaf(TextOf(key), value));
        Tcl_DictObjDone(&search);
        return list;
    }
    int n = 0;
    Tcl_Obj** items = nullptr;
    if (Tcl_ListObjGetElements(nullptr, AValue, &n, &items) != TCL_OK) return list;
    for (int i = 0; i < n; ++i) list.push_back(Leaf("[" + std::to_string(i) + "]", items[i]));
    return list;
}

// The root of a frame's variables.
class TListVar final : public TLanguageDebugVar {
public:
    explicit TListVar(std::vector<TLanguageDebugVarRef> AItems) : FItems(std::move(AItems)) {}
    bool Expandable() const override { return !FItems.empty(); }
    std::vector<TLanguageDebugVarRef> Children() override { return FItems; }

private:
    std::vector<TLanguageDebugVarRef> FItems;
};

}  // namespace

// ---- Evaluations the debugger asks for --------------------------------------------------------

// While it lives, the trace lets commands pass and the interpreter's result and error state are
// kept for the script.
class TTclDebug::TQuiet {
public:
    explicit TQuiet(TTclDebug& AOwner) : FOwner(AOwner), FState(Tcl_SaveInterpState(AOwner.FInterp, TCL_OK)) {
        ++FOwner.FEvaluations;
    }
    ~TQuiet() {
        --FOwner.FEvaluations;
        Tcl_RestoreInterpState(FOwner.FInterp, FState);
    }
    TQuiet(const TQuiet&) = delete;
    TQuiet& operator=(const TQuiet&) = delete;

private:
    TTclDebug& FOwner;
    Tcl_InterpState FState;
};

namespace {

// A variable of a level, read when shown; arrays, lists and dictionaries list their elements
// when asked (during the stop that showed them).
class TTclVar final : public TLanguageDebugVar {
public:
    TTclVar(TTclDebug& AOwner, Integer ALevel, const std::string& AName)
        : FOwner(AOwner), FLevel(ALevel), FName(AName), FGeneration(AOwner.Generation()) {
        Name = Utf8(AName);
        Attributes = OBJECT_ATTRIB_ACCESS_PUBLIC;
        TTclDebug::TQuiet quiet(AOwner);
        Tcl_Interp* interp = AOwner.Interp();
        TObj result;
        if (Run(interp, AtLevel(ALevel, Words({Str("::array"), Str("size"), Str(AName)})), result) && IsArray()) {
            FArray = true;
            Type = u"array";
            Value = Utf8("(" + TextOf(result.Get()) + " elements)");
            return;
        }
        if (!Run(interp, AtLevel(ALevel, Words({Str("::set"), Str(AName)})), result)) {
            Type = u"undefined";
            return;
        }
        Type = Utf8(TypeName(result.Get()));
        Value = Utf8(TextOf(result.Get()));
        FContainer = IsContainer(result.Get());
    }
    bool Expandable() const override { return FArray || FContainer; }
    std::vector<TLanguageDebugVarRef> Children() override {
        if (!Expandable() || FOwner.Generation() != FGeneration) return {};
        TTclDebug::TQuiet quiet(FOwner);
        Tcl_Interp* interp = FOwner.Interp();
        TObj result;
        if (!FArray) {
            if (!Run(interp, AtLevel(FLevel, Words({Str("::set"), Str(FName)})), result)) return {};
            return ElementsOf(result.Get());
        }
        std::vector<TLanguageDebugVarRef> list;
        int n = 0;
        Tcl_Obj** keys = nullptr;
        if (!Run(interp, AtLevel(FLevel, Words({Str("::array"), Str("names"), Str(FName)})), result) ||
            !Run(interp, Words({Str("::lsort"), Str("-dictionary"), result.Get()}), result) ||
            Tcl_ListObjGetElements(nullptr, result.Get(), &n, &keys) != TCL_OK)
            return list;
        for (int i = 0; i < n; ++i) {
            const std::string key = TextOf(keys[i]);
            TObj value;
            if (Run(interp, AtLevel(FLevel, Words({Str("::set"), Str(FName + "(" + key + ")")})), value))
                list.push_back(Leaf(key, value.Get()));
        }
        return list;
    }

private:
    bool IsArray() {
        TObj result;
        int flag = 0;
        return Run(FOwner.Interp(), AtLevel(FLevel, Words({Str("::array"), Str("exists"), Str(FName)})), result) &&
               Tcl_GetBooleanFromObj(nullptr, result.Get(), &flag) == TCL_OK && flag;
    }

    TTclDebug& FOwner;
    Integer FLevel;
    std::string FName;
    unsigned FGeneration;
    bool FArray = false, FContainer = false;
};

bool IsNameStart(char C) { return std::isalpha(static_cast<unsigned char>(C)) || C == '_'; }
bool IsNameChar(char C) { return std::isalnum(static_cast<unsigned char>(C)) || C == '_' || C == ':'; }

// Skips a balanced group opened at AText[AAt] (braces or brackets) or a quoted string.
std::size_t SkipGroup(std::string_view AText, std::size_t AAt) {
    const char open = AText[AAt];
    const char close = open == '{' ? '}' : open == '[' ? ']' : '"';
    int depth = 0;
    for (std::size_t i = AAt; i < AText.size(); ++i) {
        if (AText[i] == '\\') {
            ++i;
            continue;
        }
        if (AText[i] == close && (close == '"' ? i > AAt : --depth == 0)) return i + 1;
        if (AText[i] == open && close != '"') ++depth;
    }
    return AText.size();
}

}  // namespace

// ---- Frames -------------------------------------------------------------------------------------

namespace {

// One procedure activation (or the global level) of the stopped interpreter, addressed by its
// absolute level, which is what uplevel and upvar take.
class TTclFrame final : public TLanguageFrame {
public:
    TTclFrame(TTclDebug& AOwner, Integer ALevel, Integer ALine, std::string AProc)
        : FOwner(AOwner), FLevel(ALevel), FLine(ALine), FProc(std::move(AProc)) {}
    UString Description(bool ALong) override {
        UString text = FProc.empty() ? UString(KGlobalLevel) : Utf8(FProc.substr(FProc.rfind("::") == 0 ? 2 : 0));
        if (ALong) text = text + UString(u", line: ") + plat::IntToStr(FLine);
        return text;
    }
    Integer Line() override { return FLine; }
    TLanguageDebugVarRef Variables() override {
        std::vector<TLanguageDebugVarRef> vars;
        for (const std::string& name : VariableNames()) vars.push_back(std::make_shared<TTclVar>(FOwner, FLevel, name));
        return std::make_shared<TListVar>(std::move(vars));
    }
    // The expression is Tcl's (`expr`), at the frame's level; a bare name of a variable there
    // reads the variable, as a debugger's user writes it.
    TLanguageEvalResult Evaluate(const UString& AExpr) override {
        const std::string text = AExpr.ToUtf8();
        TTclDebug::TQuiet quiet(FOwner);
        TObj result;
        TLanguageEvalResult answer;
        answer.Ok = Run(FOwner.Interp(), AtLevel(FLevel, Words({Str("::expr"), Str(WithVariables(text))})), result);
        if (answer.Ok) answer.Value = Leaf(text, result.Get());
        else answer.Value = std::make_shared<TLeafDebugVar>(AExpr, UString(u"error"), Utf8(TextOf(result.Get())));
        return answer;
    }

private:
    std::vector<std::string> VariableNames() {
        TTclDebug::TQuiet quiet(FOwner);
        TObj result;
        Tcl_Obj* command = FLevel == 0 ? Words({Str("::info"), Str("globals")}) : AtLevel(FLevel, Words({Str("::info"), Str("vars")}));
        std::vector<std::string> names;
        int n = 0;
        Tcl_Obj** items = nullptr;
        if (!Run(FOwner.Interp(), command, result) || Tcl_ListObjGetElements(nullptr, result.Get(), &n, &items) != TCL_OK)
            return names;
        for (int i = 0; i < n; ++i) {
            std::string name = TextOf(items[i]);
            if (FLevel != 0 || !FOwner.IsBuiltinGlobal(name)) names.push_back(std::move(name));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    bool Exists(const std::string& AName) {
        TObj result;
        int flag = 0;
        return Run(FOwner.Interp(), AtLevel(FLevel, Words({Str("::info"), Str("exists"), Str(AName)})), result) &&
               Tcl_GetBooleanFromObj(nullptr, result.Get(), &flag) == TCL_OK && flag;
    }

    // AExpr with each bare word that names a variable of the level (not a function's name, not
    // inside quotes, braces or a command substitution) read as that variable.
    std::string WithVariables(const std::string& AExpr) {
        std::string out;
        std::size_t i = 0;
        while (i < AExpr.size()) {
            const char c = AExpr[i];
            std::size_t end = i + 1;
            if (c == '{' || c == '[' || c == '"') {
                end = SkipGroup(AExpr, i);
            } else if (c == '$') {
                while (end < AExpr.size() && IsNameChar(AExpr[end])) ++end;
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                while (end < AExpr.size() && (IsNameChar(AExpr[end]) || AExpr[end] == '.')) ++end;
            } else if (IsNameStart(c)) {
                while (end < AExpr.size() && IsNameChar(AExpr[end])) ++end;
                std::size_t next = end;
                while (next < AExpr.size() && AExpr[next] == ' ') ++next;
                const std::string name = AExpr.substr(i, end - i);
                if ((next >= AExpr.size() || AExpr[next] != '(') && Exists(name)) {
                    out += "${" + name + "}";
                    i = end;
                    continue;
                }
            }
            out.append(AExpr, i, end - i);
            i = end;
        }
        return out;
    }

    TTclDebug& FOwner;
    Integer FLevel;
    Integer FLine;
    std::string FProc;  // empty for the global level
};

}  // namespace

// ---- The debugger -------------------------------------------------------------------------------

// The handler belongs to the thread that creates it, the one that drives the interpreter.
TTclDebug::TTclDebug(Tcl_Interp* AInterp) : FInterp(AInterp), FAsync(Tcl_AsyncCreate(&TTclDebug::Async, this)) {}

TTclDebug::~TTclDebug() {
    Tcl_AsyncDelete(FAsync);
    if (FTrace) Tcl_DeleteTrace(FInterp, FTrace);
}

void TTclDebug::RecordBuiltinGlobals() {
    TQuiet quiet(*this);
    TObj result;
    int n = 0;
    Tcl_Obj** items = nullptr;
    if (Run(FInterp, Words({Str("::info"), Str("globals")}), result) &&
        Tcl_ListObjGetElements(nullptr, result.Get(), &n, &items) == TCL_OK)
        for (int i = 0; i < n; ++i) FBuiltinGlobals.insert(TextOf(items[i]));
    // Set by the interpreter on the first error or on demand.
    for (const char* name : {"errorInfo", "errorCode", "tcl_rcFileName", "tcl_interactive"}) FBuiltinGlobals.insert(name);
}

Integer TTclDebug::AddText(const std::string& AText) {
    std::lock_guard<std::mutex> guard(FLock);
    const Integer first = FLineCount;
    ScanCodeLines(AText, first, FCode);
    FLineCount += static_cast<Integer>(std::count(AText.begin(), AText.end(), '\n')) + 1;
    return first;
}

TTclDebug::TRun::TRun(TTclDebug& AOwner, const std::string* AText, Integer AFirstLine) : FOwner(AOwner) {
    FOwner.FRuns.push_back({AText, AFirstLine});
    FOwner.ApplyTrace();
}

TTclDebug::TRun::~TRun() {
    FOwner.FRuns.pop_back();
    if (!FOwner.FRuns.empty()) return;
    FOwner.FStep = TStep::None;
    if (std::exchange(FOwner.FAborting, false)) TclResetCancellation(FOwner.FInterp, 1);
    FOwner.ApplyTrace();
}

void TTclDebug::SetHost(TLanguageDebugHost* AHost) {
    FHost = AHost;
    ApplyTrace();
}

void TTclDebug::ApplyTrace() {
    const bool wanted = FHost.load() != nullptr && (Armed() || FAborting);
    if (wanted && !FTrace) FTrace = Tcl_CreateObjTrace(FInterp, 0, 0, &TTclDebug::Trace, this, nullptr);
    else if (!wanted && FTrace) {
        Tcl_DeleteTrace(FInterp, FTrace);
        FTrace = nullptr;
        FLastLines.clear();  // the lines seen before are stale once something is armed again
    }
}

Integer TTclDebug::CodeLineAt(Integer ALine) {
    std::lock_guard<std::mutex> guard(FLock);
    const auto it = FCode.Lines.lower_bound(std::max<Integer>(ALine, 0));
    return it == FCode.Lines.end() ? -1 : *it;
}

void TTclDebug::SetLineBreakpoint(Integer ALine, bool AEnabled) {
    std::lock_guard<std::mutex> guard(FLock);
    if (AEnabled) FBreakpoints.insert(ALine);
    else FBreakpoints.erase(ALine);
    FBreakpointCount = static_cast<int>(FBreakpoints.size());
    Tcl_AsyncMark(FAsync);  // the trace goes in or out on the script's thread
}

void TTclDebug::RequestBreak() {
    FHalt = true;
    Tcl_AsyncMark(FAsync);
}

int TTclDebug::Async(ClientData AData, Tcl_Interp* AInterp, int ACode) {
    auto* self = static_cast<TTclDebug*>(AData);
    // Without an interpreter the handler runs from the event loop, between commands.
    return self->OnAsync(AInterp != nullptr && !self->FRuns.empty(), ACode);
}

int TTclDebug::OnAsync(bool AInScript, int ACode) {
    if (AInScript && FAborting) return Abort();
    if (!AInScript || FEvaluations > 0 || !FHalt.exchange(false)) {
        ApplyTrace();  // a halt still pending stops at the trace's next command
        return ACode;
    }
    // Code compiled inline may never reach the trace: the break stops here.
    const TPlace place = InterruptedPlace();
    const Tcl_InterpState state = Tcl_SaveInterpState(FInterp, ACode);
    const bool abort = Stop(place, TDebugStopReason::Halt);
    FInterrupted = TInterrupted();
    ACode = Tcl_RestoreInterpState(FInterp, state);
    return abort ? Abort() : ACode;
}

int TTclDebug::Abort() {
    FAborting = true;
    ApplyTrace();
    // The cancellation takes the message's value and releases it.
    Tcl_CancelEval(FInterp, Str(KScriptAbortedText), nullptr, TCL_CANCEL_UNWIND);
    Tcl_SetObjResult(FInterp, Str(KScriptAbortedText));
    return TCL_ERROR;
}

TTclDebug::TPlace TTclDebug::InterruptedPlace() {
    TPlace place = CurrentPlace();
    TQuiet quiet(*this);
    TObj level;
    int current = 0;
    if (!Run(FInterp, Str("::info level"), level, true) || Tcl_GetIntFromObj(nullptr, level.Get(), &current) != TCL_OK)
        return place;
    if (place.Level == current) return place;
    place = TPlace{current, -1};
    TObj proc;
    if (!Run(FInterp, AtLevel(current, Str("::namespace which -command [::lindex [::info level 0] 0]")), proc)) return place;
    FInterrupted.Proc = TextOf(proc.Get());
    std::lock_guard<std::mutex> guard(FLock);
    const auto it = FCode.ProcBodies.find(FInterrupted.Proc);
    if (it != FCode.ProcBodies.end()) FInterrupted.Place = TPlace{current, it->second};
    return place;
}

int TTclDebug::Trace(ClientData AData, Tcl_Interp*, int, const char*, Tcl_Command, int, Tcl_Obj* const[]) {
    return static_cast<TTclDebug*>(AData)->OnCommand();
}

bool TTclDebug::Armed() const noexcept {
    return FStep != TStep::None || FBreakpointCount.load(std::memory_order_relaxed) > 0 ||
           FHalt.load(std::memory_order_relaxed);
}

int TTclDebug::OnCommand() {
    if (FEvaluations > 0) return TCL_OK;
    if (!FAborting) {
        if (!Armed()) {
            ApplyTrace();
            return TCL_OK;
        }
        const TPlace place = CurrentPlace();
        TDebugStopReason reason;
        if (!StopsAt(place, NewStatement(place), reason) || !Stop(place, reason)) return TCL_OK;
    }
    return Abort();
}

TTclDebug::TPlace TTclDebug::CurrentPlace() {
    TQuiet quiet(*this);
    TObj frame, level;
    TPlace place;
    int current = 0;
    if (!Run(FInterp, Str("::info frame -1"), frame, true) || !Run(FInterp, Str("::info level"), level, true) ||
        Tcl_GetIntFromObj(nullptr, level.Get(), &current) != TCL_OK)
        return place;
    place.Level = current - DictInt(frame.Get(), "level", 0);
    place.Line = MapLine(frame.Get(), place.Level);
    return place;
}

Integer TTclDebug::MapLine(Tcl_Obj* AFrame, Integer ALevel) const {
    const int line = DictInt(AFrame, "line", 0);
    const std::string type = DictText(AFrame, "type");
    if (line <= 0) return -1;
    if (type == "proc") {
        std::lock_guard<std::mutex> guard(FLock);
        const auto it = FCode.ProcBodies.find(DictText(AFrame, "proc"));
        return it == FCode.ProcBodies.end() ? -1 : it->second + line - 1;
    }
    if (type != "eval" || ALevel != 0 || FRuns.empty() || !FRuns.back().Text) return -1;
    // Text evaluated from a substitution counts its own lines too: the frame is the running
    // text's only when its command stands on that line of it.
    const TRunText& run = FRuns.back();
    std::string command = DictText(AFrame, "cmd");
    command.erase(std::min(command.find('\n'), command.size()));
    const std::string_view row = LineOf(*run.Text, line);
    return row.find(command) == std::string_view::npos ? -1 : run.FirstLine + line - 1;
}

bool TTclDebug::NewStatement(const TPlace& APlace) {
    if (APlace.Level < 0) return false;
    // Leaving a level forgets what was seen deeper: the next call there starts afresh.
    FLastLines.resize(static_cast<std::size_t>(APlace.Level) + 1, -2);
    // A command substituted inside an expression counts its lines from the expression: it is
    // part of the statement that holds it.
    if (APlace.Line < 0) return false;
    Integer& last = FLastLines[static_cast<std::size_t>(APlace.Level)];
    const bool fresh = last != APlace.Line;
    last = APlace.Line;
    return fresh;
}

bool TTclDebug::StopsAt(const TPlace& APlace, bool ANew, TDebugStopReason& AReason) {
    if (FHalt.exchange(false)) {
        AReason = TDebugStopReason::Halt;
        return true;
    }
    if (!ANew || APlace.Line < 0) return false;
    if (FBreakpointCount > 0) {
        std::lock_guard<std::mutex> guard(FLock);
        if (FBreakpoints.count(APlace.Line)) {
            AReason = TDebugStopReason::Breakpoint;
            return true;
        }
    }
    AReason = TDebugStopReason::Step;
    return FStep == TStep::Into || (FStep == TStep::Over && APlace.Level <= FStepLevel);
}

bool TTclDebug::Stop(const TPlace& APlace, TDebugStopReason AReason) {
    TLanguageDebugHost* host = FHost;
    if (!host) return false;
    const TStep step = std::exchange(FStep, TStep::None);
    TDebugResume resume = TDebugResume::Continue;
    // A failure of the debugger while stopped ends the script as an abort does.
    const bool failed = plat::CatchAll([&] { resume = host->Stopped(AReason); }) != nullptr;
    ++FGeneration;
    if (failed) resume = TDebugResume::Abort;
    switch (resume) {
        case TDebugResume::Ignore: FStep = step; break;
        case TDebugResume::StepInto: FStep = TStep::Into; break;
        case TDebugResume::StepOver:
            FStep = TStep::Over;
            FStepLevel = APlace.Level;
            break;
        case TDebugResume::Abort: return true;
        case TDebugResume::Continue: break;
    }
    ApplyTrace();  // out again when nothing is armed any more
    return false;
}

std::vector<std::unique_ptr<TLanguageFrame>> TTclDebug::Frames() {
    std::vector<std::unique_ptr<TLanguageFrame>> frames;
    TQuiet quiet(*this);
    TObj depthObj, levelObj;
    int depth = 0, current = 0;
    if (!Run(FInterp, Str("::info frame"), depthObj, true) || !Run(FInterp, Str("::info level"), levelObj, true) ||
        Tcl_GetIntFromObj(nullptr, depthObj.Get(), &depth) != TCL_OK ||
        Tcl_GetIntFromObj(nullptr, levelObj.Get(), &current) != TCL_OK)
        return frames;
    // `info frame` lists the commands in progress, outermost first (the last is the query's own
    // frame); each level shows as its innermost command with a line in the script.
    std::set<Integer> seen;
    for (int k = depth - 1; k >= 1; --k) {
        TObj frame;
        if (!Run(FInterp, Str("::info frame " + std::to_string(k)), frame, true)) continue;
        const Integer level = current - DictInt(frame.Get(), "level", current + 1);
        if (level < 0 || seen.count(level)) continue;
        const Integer line = MapLine(frame.Get(), level);
        if (line < 0) continue;
        seen.insert(level);
        frames.push_back(std::make_unique<TTclFrame>(*this, level, line, level == 0 ? std::string() : DictText(frame.Get(), "proc")));
    }
    const TPlace& interrupted = FInterrupted.Place;
    if (interrupted.Level > 0 && !seen.count(interrupted.Level))
        frames.insert(frames.begin(), std::make_unique<TTclFrame>(*this, interrupted.Level, interrupted.Line, FInterrupted.Proc));
    return frames;
}

}  // namespace xan::as::tcl
